#pragma once
#include "Money.h"
#include "Result.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

namespace ccp::movements {

// Texts of bar-code entry (Italian), one place.
namespace BarCodeMessages {
inline const QString InvalidCode = QStringLiteral("Codice non valido");
inline const QString NoPupil = QStringLiteral("Codice non valido: alunno inesistente.");
inline const QString NoCausale = QStringLiteral("Codice non valido: causale inesistente.");
inline const QString LoadFailed = QStringLiteral("Caricamento fallito");
inline const QString DateOutsideYear =
    QStringLiteral("La data dev'essere interna all'anno finanziario di lavoro.");
inline const QString MovementAfterStatement = QStringLiteral(
    "La data del movimento non può essere successiva alla data dell'estratto conto.");
// "La data del%s dev'essere maggiore o uguale a %s": `which` follows "del" directly.
QString dateBeforeOpening(const QString &which, const QDate &opening);
inline const QString OfStatement = QStringLiteral("l'estratto conto");
inline const QString OfMovement = QStringLiteral(" movimento");
// The conversion error of a code whose rest is not a whole number.
QString notAnInteger(const QString &text);
} // namespace BarCodeMessages

// The statements of bar-code entry.
namespace BarCodeSql {
extern const QString PupilCheck;
extern const QString LearnerCheck;
extern const QString CausaleCheck;
extern const QString InsertMovement;
} // namespace BarCodeSql

// Fixed values of the readings.
namespace BarCode {
inline constexpr int LearnerCategory = 6;     // TAnaCag.iCagId of adult-education learners
inline constexpr int LearnerSituation = -60;  // situation id passed for a learner's movement
inline constexpr int NoPerson = -1;           // person id passed for a pupil's movement
} // namespace BarCode

// What bar-code entry needs of the working context.
struct BarCodeContext
{
    int sprIstId = 0;       // EBCP_SprIstId, the working account
    int anfValore = 0;      // value of the working financial year (EBCP_AnfId)
    int cauAnsId = 0;       // EBSP_CauAnsId, the school year of the causali
    QDate accountStart;     // TSprIst.dStart of the working account
    QDate dataEc;           // initial statement date (EBCP_MvmDataEc)
    QDate dataMov;          // initial movement date (EBCP_MvmDataMov)

    // Reads the keys from the global values and the year value and opening date from `db`.
    static Result<BarCodeContext> fromGlobals(QSqlDatabase db);
    // A date parameter of the global values (stored as "yyyy-MM-dd"); null when not set.
    static QDate parameterDate(const QString &key);
};

// The date rules checked on entering the code edit; the first failing one wins.
struct BarCodeDateCheck
{
    enum Field { None, StatementDate, MovementDate };
    Field field = None;
    QString message;
    bool ok() const { return field == None; }
};
BarCodeDateCheck checkBarCodeDates(const QDate &dataEc, const QDate &dataMov, int anfValore,
                                   const QDate &accountStart);

// One code as read, with the panel's dates at the moment of reading.
struct BarCodeReading
{
    QString code;
    QDate dataMov;
    QDate dataEc;
};

// One movement creation attempted by a reading.
struct BarCodeCreation
{
    int iCauId = 0;
    int iAnaId = 0;
    int iSitId = 0;
    int iMvmId = 0;         // 0 when it failed
    Money amount;
    QString error;          // the server's text when it failed
    bool ok() const { return iMvmId != 0; }
};

struct BarCodeOutcome
{
    Status status;                    // a refused code carries its message
    QList<BarCodeCreation> creations; // movements attempted by this reading, in order
};

// The reading rules and the scan state: a payer code ("9" pupil, "8" adult learner) and a
// causale code ("0"/"1"), in either order, create a movement through the database procedure.
class TEbsBarCodeReader
{
public:
    TEbsBarCodeReader(QSqlDatabase db, const BarCodeContext &context);

    const BarCodeContext &context() const { return m_ctx; }
    QSqlDatabase database() const { return m_db; }

    // Handles one code; a refused code leaves the state as it was.
    BarCodeOutcome read(const BarCodeReading &reading);
    // Creates one movement in one transaction (rolled back on failure).
    BarCodeCreation createMovement(int cauId, int anaId, int sitId, const QDate &dataMov,
                                   const QDate &dataEc);

    bool pupilSelected() const { return m_pupil; }
    int pupilSitId() const { return m_pupilSitId; }
    bool learnerSelected() const { return m_learner; }
    int learnerAnaId() const { return m_learnerAnaId; }
    bool causaleSelected() const { return m_causale; }
    int causaleId() const { return m_cauId; }
    QChar kindDigit() const { return m_kind; }
    int highlightedMvmId() const { return m_highlighted; }

private:
    Result<bool> exists(const QString &sql, const QString &param, int value, int cagOrAns);

    QSqlDatabase m_db;
    BarCodeContext m_ctx;
    bool m_pupil = false;
    int m_pupilSitId = 0;
    bool m_learner = false;
    int m_learnerAnaId = 0;
    bool m_causale = false;
    int m_cauId = 0;
    QChar m_kind;
    int m_highlighted = -1;
};

// Readings handled strictly one after the other: a reading that arrives while another is being
// handled (a creation, a message, the list refresh) waits its turn, whole and in order.
// Refusals and failed creations are shown through the message channel.
class TEbsBarCodeQueue : public QObject
{
    Q_OBJECT
public:
    explicit TEbsBarCodeQueue(TEbsBarCodeReader &reader, QObject *parent = nullptr);

    TEbsBarCodeReader &reader() { return m_reader; }
    void enqueue(const BarCodeReading &reading);
    bool busy() const { return m_busy; }
    int pending() const { return int(m_pending.size()); }

Q_SIGNALS:
    // A movement was created and committed: refresh the list and highlight it.
    void movementCreated(int iMvmId);
    // A reading has been handled (after its messages and movementCreated signals).
    void readingHandled(const ccp::movements::BarCodeReading &reading,
                        const ccp::movements::BarCodeOutcome &outcome);

private:
    TEbsBarCodeReader &m_reader;
    QList<BarCodeReading> m_pending;
    bool m_busy = false;
};

// Readings stored by a scanner, one code per line, handled exactly as the panel handles them
// with the given dates (messages through the message channel); empty lines are skipped.
struct BarCodeBatchReport
{
    QList<int> createdIds;     // movements created, in order
    QList<int> refusedLines;   // 1-based lines refused or whose movement failed
};
BarCodeBatchReport scanBatch(TEbsBarCodeQueue &queue, const QStringList &lines, const QDate &dataMov,
                             const QDate &dataEc,
                             const std::function<void(int line, const BarCodeOutcome &outcome)> &onLine = {});

} // namespace ccp::movements
