#pragma once
#include "Money.h"
#include "TVeParamManager.h"

#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <functional>
#include <memory>

namespace ccp::app {

namespace ParamKeys {
inline const QString CauAnsId = QStringLiteral("EBSP_CauAnsId");
inline const QString CausaleInId = QStringLiteral("EBSP_CausaleInId");
inline const QString CausaleOutId = QStringLiteral("EBSP_CausaleOutId");
inline const QString ImpIstCauIn = QStringLiteral("EBSP_ImpIstCauIn");
inline const QString ImpEraCauIn = QStringLiteral("EBSP_ImpEraCauIn");
inline const QString ImpIstCauOut = QStringLiteral("EBSP_ImpIstCauOut");
inline const QString SprCabProvId = QStringLiteral("EBSP_SprCabProvId");
inline const QString SprComuneId = QStringLiteral("EBSP_SprComuneId");
inline const QString NrUffPostale = QStringLiteral("EBSP_NrUffPostale");
inline const QString SprIstId = QStringLiteral("EBCP_SprIstId");
inline const QString AnfId = QStringLiteral("EBCP_AnfId");
inline const QString MvmBenefCateg = QStringLiteral("EBCP_MvmBenefCateg");
inline const QString MvmDataEc = QStringLiteral("EBCP_MvmDataEc");
inline const QString DwgId = QStringLiteral("VEUP_DwgId");
inline const QString AnsId = QStringLiteral("VEUP_AnsId");
inline const QString MovementsCategory = QStringLiteral("EBCC_Movimenti");
inline const QString DefaultsCategory = QStringLiteral("Valori di default.");
} // namespace ParamKeys

namespace ParamMessages {
inline const QString MissingDefaultCausali = QStringLiteral(
    "Impostare il parametro causale di ingresso e/o il parametro causale di uscita\r\nnella categoria 'Valori di default.'");
inline const QString MissingCausaliYear = QStringLiteral("Impostare l'anno scolastico delle causali");
} // namespace ParamMessages

// The choice lists of the parameters and the facts their rules need, read from the database.
class EbcParamRules
{
public:
    explicit EbcParamRules(QSqlDatabase db) : m_db(std::move(db)) {}

    QList<fw::ParamChoice> institutes() const;
    QList<fw::ParamChoice> schoolYears() const;
    // The working school year and the one whose id is one higher.
    QList<fw::ParamChoice> causaliYears(int ansId) const;
    // Causali of a school year of one kind (0 income, 1 expense), fees flag ignored.
    QList<fw::ParamChoice> causali(int cauAnsId, int tipo) const;
    struct Sums
    {
        Money ist;
        Money era;
    };
    Sums causaleSums(int cauId) const;
    QList<fw::ParamChoice> postOffices() const;
    // Municipalities of one province (0: all).
    QList<fw::ParamChoice> municipalities(int proId) const;
    int provinceOfBranch(int sprId) const;
    // Accounts of the institute valid in the financial year (all of them when none is, or
    // when `anfId` is 0).
    QList<fw::ParamChoice> accounts(int dwgId, int anfId) const;
    QList<fw::ParamChoice> financialYearsOfAccount(int sprIstId) const;
    QList<fw::ParamChoice> financialYearsOfInstitute(int dwgId) const;
    QList<fw::ParamChoice> payerCategories() const;
    QString accountType(int sprIstId) const;

private:
    QList<fw::ParamChoice> list(const QString &sql, const QVariantMap &params = {}) const;
    QSqlDatabase m_db;
};

// What the dependencies need from the open dialog (the Qt dialog, or a fake in tests).
class ParamForm
{
public:
    virtual ~ParamForm() = default;
    virtual bool has(const QString &key) const = 0;
    // The text the control would store ("0" for a list without choice).
    virtual QString current(const QString &key) const = 0;
    // Fills a list again (through the manager's FillListParam), keeping the choice if offered.
    virtual void refill(const QString &key) = 0;
    virtual void setText(const QString &key, const QString &value) = 0;
    virtual void setRowVisible(const QString &key, bool visible) = 0;
    virtual void setAccountTypeText(const QString &text) = 0;
};

// The rules between parameters while the dialog is open: which lists are filled with what,
// which controls exist, what a change refills or writes.
class EbcParamDependencies
{
public:
    using StoredValue = std::function<QString(const QString &key)>;
    EbcParamDependencies(const EbcParamRules &rules, StoredValue stored);

    // A dialog starts: the edited values are the stored ones.
    void reset();
    void attach(ParamForm *form) { m_form = form; }
    ParamForm *form() const { return m_form; }

    QList<fw::ParamChoice> fill(const fw::ParamDef &def);    // FillListParam
    bool create(const fw::ParamDef &def);                    // BeforeCreateCtrl
    void changed(const QString &key);                        // a control changed
    QString edited(const QString &key) const;
    int editedInt(const QString &key) const;
    QString accountTypeText() const;

private:
    void sync(const QString &key);
    void updateAccountRows();
    void writeSums(const QString &causaleKey);

    const EbcParamRules &m_rules;
    StoredValue m_stored;
    ParamForm *m_form = nullptr;
    QHash<QString, QString> m_edit;    // upper key -> text
    bool m_cauAnsChosen = false;
    bool m_yearsByInstitute = false;
    bool m_yearErrorShown = false;
};

// The program's parameter data module: the manager of every parameter set of the program and
// the suite's shared packages, customised through its events.
class TdmEbcParam : public QObject
{
    Q_OBJECT
public:
    TdmEbcParam(QSqlDatabase db, const QString &user, QObject *parent = nullptr);
    ~TdmEbcParam() override;

    fw::TVeParamManager &manager() { return *m_manager; }
    EbcParamDependencies &dependencies() { return m_deps; }
    Status load() { return m_manager->load(); }
    // The parameter dialog, modal; true when confirmed.
    bool Execute();

private:
    void afterCreate(const fw::ParamDef &def, QWidget *control);

    EbcParamRules m_rules;
    fw::TVeParamManager *m_manager;
    EbcParamDependencies m_deps;
    std::unique_ptr<ParamForm> m_form;
};

} // namespace ccp::app
