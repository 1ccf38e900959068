#pragma once
#include "Result.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

namespace ccp::budget {

// Where start-up and the launchers leave the working year and institute for this module.
namespace AbcKeys {
inline const QString AnfValore = QStringLiteral("ABC_AnfValore");
inline const QString DwgId = QStringLiteral("ABC_DwgId");
inline const QString AnfInizio = QStringLiteral("ABC_AnfInizio");
inline const QString AnfFine = QStringLiteral("ABC_AnfFine");
} // namespace AbcKeys

// The financial year the budget windows work in, as the institute keeps it.
struct BudgetYear
{
    int anfValore = 0;
    int dwgId = 0;
    QDate start;
    QDate end;

    // From the global values; bounds missing or left from another year give 1 January to
    // 31 December of the year.
    static BudgetYear fromGlobalValues();
    static BudgetYear calendar(int anfValore, int dwgId);
};

// Cash flow (1 income, 2 expense) and total type (1 in the total, 2 outside) of a window.
struct BudgetView
{
    int flow = 1;
    int totalType = 1;
    bool income() const { return flow == 1; }
};

// Texts of the budget windows (Italian), one place.
namespace AbcMessages {
inline const QString NoWriteRights = QStringLiteral("Attenzione!\r\nL'utente non ha i diritti di scrittura e modifica.");
inline const QString Frozen = QStringLiteral(
    "Attenzione!\r\nL'elemento selezionato non può essere modificato perchè esistono uno o più modelli congelati "
    "che fanno riferimento ad esso");
inline const QString ModelsQuestion = QStringLiteral(
    "Attenzione!\r\nAggiornando l'elemento selezionato \r\nsi aggiorneranno automaticamente anche tutti i modelli "
    "che fanno riferimento ad esso.\r\nContinuare?");
inline const QString StartPostponed = QStringLiteral(
    "Attenzione!\r\nLa data di avvio della voce o progetto non può essere posticipata perchè esistono uno o più "
    "modelli che fanno riferimento ad essa");
inline const QString EndBeforeStart =
    QStringLiteral("Attenzione!\r\nLa data di fine deve essere maggiore o uguale alla data d'inizio");
inline const QString NoAccount = QStringLiteral("Attenzione!\r\nAlmeno un conto deve essere selezionato");
inline const QString AccountSwap = QStringLiteral(
    "Attenzione!\r\nL'elemento selezionato non può passare da competenza a residuio viceversa, perchè uno o più "
    "modelli fanno riferimento ad esso.\r\nE'possibile solamente passare ad entrambi");
inline const QString AggregateChange = QStringLiteral(
    "Attenzione!\r\nImpossibile cambiare l'aggregato della voce o progetto perchè ci sono uno o più modelli che "
    "fanno riferimento ad essa");
inline const QString Overlap = QStringLiteral(
    "Attenzione!\r\nEsiste una voce o progetto con lo stesso codice.Cambiare codice o data di fine del progetto.");
inline const QString AggregateCodeTaken =
    QStringLiteral("Attenzione!\r\nEsiste già un aggregato con lo stesso codice nell'esercizio finanziario.");
inline const QString NoMoreSubItemCodes =
    QStringLiteral("Attenzione!\r\nLa voce ha già tutti i codici di sottovoce disponibili (da 001 a 999).");
QString startAfterYear(const QDate &yearEnd);
QString startBeforeYear(const QDate &yearStart);
QString endInYearStart(const QDate &minimum);
QString endBeforeModels(const QDate &minimum);
QString wrongCode(const QString &aggregateCode);
// "Attenzione!", a line break, "Campo obbligatorio " and the label in quotation marks; the
// aggregate's message has a blank after "Attenzione!".
QString required(const QString &label, bool blankAfterTitle = false);
} // namespace AbcMessages

// The field a refused post puts the focus on.
enum class Field { None, Aggregate, Code, Description, Start, End, Competence, Residues };

// Why a post is abandoned: a message to show (empty after a question answered No) and the
// field to go back to.
struct Refusal
{
    QString message;
    Field field = Field::None;
};
using Verdict = std::optional<Refusal>;

// ICORID: 1 competence only, 2 residues only, 3 both; 0 when neither is ticked.
int corIdOf(bool competence, bool residues);
inline bool hasCompetence(int corId) { return corId == 1 || corId == 3; }
inline bool hasResidues(int corId) { return corId == 2 || corId == 3; }
// ITCKID of an item of this aggregate.
int tckIdFor(int aggId);

// ---- code proposals and checks -------------------------------------------------------------
bool isNumericCode(const QString &code);
// One more than the highest numeric code, in two digits.
QString nextAggregateCode(const QStringList &codes);
// From the aggregate's code and the codes of its items valid in the year (see the .cpp).
QString nextItemCode(const QString &aggregateCode, const QStringList &itemCodes);
// One more than the highest numeric code, in three digits; empty when 999 is taken.
QString nextSubItemCode(const QStringList &codes);
// Exactly the aggregate's code followed by digits (a numeric aggregate: the digits alone).
bool itemCodeFits(const QString &aggregateCode, const QString &code);

// ---- use by the budget models ----------------------------------------------------------------
enum class UseKind { Aggregate, Item, SubItem };

struct ModelUse
{
    bool used = false;
    bool frozen = false;    // a model using it has an approval with ILOCKED = 1
    int lastYear = 0;       // latest financial year of those models
    // The last day an item used by models must stay open: 31 December of the latest year.
    QDate closingBound() const { return lastYear > 0 ? QDate(lastYear, 12, 31) : QDate(); }
};

// Models (of any institute: a shared row serves them all) that use the row, directly or
// through their amounts.
Result<ModelUse> modelUse(QSqlDatabase db, UseKind kind, int id);

// ---- rows under a post -----------------------------------------------------------------------
struct AggregateValues
{
    int id = 0;                 // 0: new
    QString code;
};

struct ItemValues
{
    int id = 0;                 // 0: new
    int aggId = 0;
    QString aggregateCode;
    QString code;
    QDate start;
    QDate end;
    bool competence = false;
    bool residues = false;
    int dwgId = 0;              // 0: shared
};

// The item as stored, for the checks of an edit.
struct StoredItem
{
    int aggId = 0;
    QString code;
    QDate start;
    QDate end;
    int corId = 3;
};

struct SubItemValues
{
    int id = 0;
    QString code;
    bool competence = false;
    bool residues = false;
    int storedCorId = 3;
};

// The reads behind the proposals and the checks, for one year, institute and view.
class BudgetStore
{
public:
    BudgetStore(QSqlDatabase db, BudgetYear year, BudgetView view);

    QSqlDatabase database() const { return m_db; }
    const BudgetYear &year() const { return m_year; }
    const BudgetView &view() const { return m_view; }

    Result<QString> proposeAggregateCode() const;
    Result<QString> proposeItemCode(int aggId, int itemId) const;
    Result<QString> proposeSubItemCode(int itemId) const;
    Result<QString> aggregateCode(int aggId) const;
    // Another aggregate of the flow, the institute or shared, valid in the year, with the code.
    Result<bool> aggregateCodeTaken(const QString &code, int selfId) const;
    // Another item of the aggregate and code, the institute's or shared, valid at some day of
    // [start, end].
    Result<bool> itemOverlaps(const ItemValues &item) const;

    // The posting rules, in the order the user meets them. Questions are asked here; a No
    // abandons the post silently.
    Verdict checkAggregate(const AggregateValues &agg) const;
    Verdict checkItem(const ItemValues &item, const std::optional<StoredItem> &stored) const;
    Verdict checkSubItem(const SubItemValues &sub) const;

private:
    Result<QStringList> codes(const QString &sql, const QVariantMap &params) const;
    Verdict checkUse(UseKind kind, int id, bool frozenRefuses) const;

    QSqlDatabase m_db;
    BudgetYear m_year;
    BudgetView m_view;
};

// The statements of the budget windows.
namespace AbcSql {
extern const QString AggregatesSelect;
extern const QString AggregateInsert;
extern const QString AggregateUpdate;
extern const QString ItemsSelect;
extern const QString ItemInsert;
extern const QString ItemUpdate;
extern const QString SubItemsFollowDates;
extern const QString SubItemsFollowDatesAndAccounts;
extern const QString SubItemsSelect;
extern const QString SubItemInsert;
extern const QString SubItemUpdate;
extern const QString FlowsSelect;
extern const QString TotalTypesSelect;
// The aggregate lookup of the items window for a view and year.
QString aggregateLookup(const BudgetView &view, const BudgetYear &year);
} // namespace AbcSql

} // namespace ccp::budget
