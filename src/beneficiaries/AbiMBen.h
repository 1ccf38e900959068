#pragma once
#include "Result.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>

namespace ccp::fw {
class TVeQueryCollection;
struct VeExecContext;
}

namespace ccp::ben {

// Beneficiary categories (TBCA_BENCATEG).
namespace Bca {
inline constexpr int Legal = 1;
inline constexpr int Natural = 2;
inline constexpr int Publisher = 3;
inline constexpr int Representative = 4;
} // namespace Bca

// The people category of a beneficiary's person (TCag_AnaCateg).
inline constexpr int BeneficiaryPersonCategory = 4;

// "Attenzione!" and "Valore non valido per il campo "label"".
QString invalidMessage(const QString &label);
QString historicizeQuestion();

// An existing person with the control code of the one being posted.
struct PersonMatch
{
    int anaId = 0;
    QString surname;
    QString name;
    QDate birth;
    QString fiscalCode;
    QString town;
    QString province;
    QString state;
};
Result<QList<PersonMatch>> peopleWithControlCode(QSqlDatabase db, int code, int exceptAnaId = 0);

// The list of beneficiaries; the ##WHERE## slot takes the view and the search. The
// publishers' list also has the publisher flag LEDITORE and the id IEDIBCAID of the
// publisher or representative category row.
QString beneficiaryListSql(bool publishers = false);
// Active or historicized rows, and the typed name (bound; empty: every name).
struct ListCondition
{
    QString sql;
    QVariantMap params;
};
ListCondition listCondition(bool historicized, const QString &search, bool publishers = false);

// The registry's data module: the beneficiary list with its detail, the current beneficiary
// and person, and the rules of a beneficiary's post. Each post is one transaction: the
// person, the beneficiary, its category, the person's category and the copied seat.
class TdmBeneficiari : public QObject
{
    Q_OBJECT
public:
    explicit TdmBeneficiari(QSqlDatabase db, QObject *parent = nullptr);
    ~TdmBeneficiari() override;

    // Opens the list (mode 1: publishers; this program opens mode 0, option 1).
    Status open(int mode = 0, int option = 1);
    QSqlDatabase db() const { return m_db; }
    fw::TVeQueryCollection *xqcBeneficiari() const { return m_ben; }
    int openMode() const { return m_mode; }
    // Mode 1: the publishers and their representatives.
    bool publisherMode() const { return m_mode == 1; }
    int option() const { return m_option; }

    // The list: active or historicized, narrowed by a name.
    Status setView(bool historicized, const QString &search);
    bool historicizedView() const { return m_historicized; }
    const QString &searchText() const { return m_search; }

    // Natural person ("Fisica") or legal: chooses the statements of the next post.
    void setNatural(bool natural);
    bool isNatural() const { return m_natural; }
    // Follows the current row of the list (browse mode).
    void followCurrent();
    int currentBenId() const { return m_benId; }
    int currentAnaId() const { return m_anaId; }

    // Validates, asks what must be asked, then posts in one transaction. False when refused
    // or failed (the message was shown, the row stays in edit).
    bool post();

    // Chooses among people with the same control code: the chosen id, or none for a new
    // person. Default: the dialog "Codice di controllo Beneficiari".
    std::function<std::optional<int>(const QList<PersonMatch> &)> chooseDuplicate;

private:
    void setStatements();
    void beforeExec(fw::VeExecContext &ctx);
    void afterExec(fw::VeExecContext &ctx);
    QString text(const QString &field) const;

    QSqlDatabase m_db;
    fw::TVeQueryCollection *m_ben;
    int m_mode = 0;
    int m_option = 1;
    bool m_historicized = false;
    QString m_search;
    bool m_natural = false;

    int m_benId = 0;
    int m_anaId = 0;
    // Prepared by post() for the statements of one post.
    struct PostPlan
    {
        bool skipPersonInsert = false;
        bool skipPersonCategory = false;
        bool skipBeneficiary = false;
        QDate endDate;
        int controlCode = 0;
        QString personKey;
        QString fiscalCode;
    } m_plan;
};

} // namespace ccp::ben
