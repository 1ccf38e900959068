#include "EbcMParam.h"

#include "EbcUContext.h"
#include "SqlQuery.h"
#include "TVeParamDialog.h"
#include "VeMessageDlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace ccp::app {

using fw::ParamChoice;
using fw::ParamDef;
namespace K = ParamKeys;

namespace {

int toInt(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

bool is(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace

// ---- rules -----------------------------------------------------------------------------------

QList<ParamChoice> EbcParamRules::list(const QString &sql, const QVariantMap &params) const
{
    QList<ParamChoice> out;
    SqlQuery q(m_db);
    if (!q.prepare(sql))
        return out;
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        q.bind(it.key(), it.value());
    if (!q.exec())
        return out;
    while (q.next())
        out << ParamChoice{q.value(0).toInt(), q.value(1).toString()};
    return out;
}

QList<ParamChoice> EbcParamRules::institutes() const
{
    return list(QStringLiteral(
        "SELECT Dwg.iDwgId, COALESCE(Dwg.sDwgSDesc, Dow.sDowSDesc) FROM TDwg_DataOwnerGrp Dwg"
        " LEFT OUTER JOIN TDow_DataOwner Dow ON (Dow.iDowId = Dwg.iDowId)"
        " WHERE Dwg.DDELETE IS NULL ORDER BY 2"));
}

QList<ParamChoice> EbcParamRules::schoolYears() const
{
    return list(QStringLiteral("SELECT iAnsId, sAnsAnnoDesc FROM VAns_AnniScolast ORDER BY iAnsValore DESC"));
}

QList<ParamChoice> EbcParamRules::causaliYears(int ansId) const
{
    return list(QStringLiteral("SELECT DISTINCT VAns.iAnsId, VAns.sAnsAnnoDesc FROM VAns_AnniScolast VAns "
                               "WHERE VAns.iAnsId = %1 OR VAns.iAnsId = %2 ORDER BY VAns.iAnsValore")
                    .arg(ansId).arg(ansId + 1));
}

QList<ParamChoice> EbcParamRules::causali(int cauAnsId, int tipo) const
{
    return list(QStringLiteral(
                    "SELECT Cau.iCauId, Cau.sCauLDesc FROM TCau_Causali Cau"
                    " INNER JOIN VAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cau.dStart AND Ans.dAnsVeltoFine = Cau.dEnd)"
                    " WHERE Ans.iAnsId = :iAnsId AND Cau.lCauTipo = :lCauTipo AND Cau.DDELETE IS NULL"
                    " ORDER BY Cau.sCauLDesc"),
                {{QStringLiteral("iAnsId"), cauAnsId}, {QStringLiteral("lCauTipo"), tipo}});
}

EbcParamRules::Sums EbcParamRules::causaleSums(int cauId) const
{
    Sums sums;
    SqlQuery q(m_db);
    if (!q.prepare(QStringLiteral(
            "SELECT (SELECT SUM(Cca.fCcaImportoIst) FROM TCca_CompCausali Cca"
            "   INNER JOIN TCauCca Ccc ON (Ccc.iCcaId = Cca.iCcaId) WHERE Ccc.iCauId = Cau.iCauId) fCauImportoIst,"
            " (SELECT SUM(Cca.fCcaImportoEra) FROM TCca_CompCausali Cca"
            "   INNER JOIN TCauCca Ccc ON (Ccc.iCcaId = Cca.iCcaId) WHERE Ccc.iCauId = Cau.iCauId) fCauImportoEra"
            " FROM TCau_Causali Cau WHERE Cau.iCauId = :iCauId")))
        return sums;
    q.bind(QStringLiteral("iCauId"), cauId);
    if (q.exec() && q.next()) {
        sums.ist = q.money(0);
        sums.era = q.money(1);
    }
    return sums;
}

QList<ParamChoice> EbcParamRules::postOffices() const
{
    return list(QStringLiteral(
        "SELECT Spr.iSprId, Spr.sSprCab || ' - ' || COALESCE(Com.sComDesc, '') FROM TSpr_SportelliCab Spr"
        " LEFT OUTER JOIN TSrpc Srpc ON (Srpc.iSrpcId = Spr.iSrpcId)"
        " LEFT OUTER JOIN TCom_Comuni Com ON (Com.iComId = Srpc.iComId)"
        " WHERE Spr.iBanId = 2 ORDER BY Spr.sSprCab"));
}

QList<ParamChoice> EbcParamRules::municipalities(int proId) const
{
    if (proId == 0)
        return list(QStringLiteral(
            " SELECT Srpc.iSrpcId, Com.sComDesc FROM TSrpc Srpc LEFT OUTER JOIN TCom_Comuni Com ON (Com.iComId = Srpc.iComId)"
            " WHERE Srpc.dEnd IS NULL ORDER BY Com.sComDesc"));
    return list(QStringLiteral(
                    " SELECT Srpc.iSrpcId, Com.sComDesc FROM TSrpc Srpc LEFT OUTER JOIN TCom_Comuni Com ON (Com.iComId = Srpc.iComId)"
                    " WHERE Srpc.dEnd IS NULL AND Srpc.iProId = %1 ORDER BY Com.sComDesc")
                    .arg(proId));
}

int EbcParamRules::provinceOfBranch(int sprId) const
{
    auto r = SqlQuery::scalar(m_db, QStringLiteral(
        "SELECT Srpc.iProId FROM TSpr_SportelliCab Spr INNER JOIN TSrpc Srpc ON (Srpc.iSrpcId = Spr.iSrpcId)"
        " WHERE Spr.iSprId = :iSprId"), {{QStringLiteral("iSprId"), sprId}});
    return r ? r.value().toInt() : 0;
}

QList<ParamChoice> EbcParamRules::accounts(int dwgId, int anfId) const
{
    const QString all = QStringLiteral(
        "SELECT Spi.iSprIstId, Spi.sSprIstNumCc FROM TSprIst Spi"
        " WHERE Spi.iDwgId = :iDwgId AND Spi.iSprIstPgm = 2 AND Spi.DDELETE IS NULL ORDER BY Spi.sSprIstNumCc");
    if (anfId != 0) {
        // Valid in the year: open on its first day, or opened during it.
        auto valid = list(QStringLiteral(
                              "SELECT Spi.iSprIstId, Spi.sSprIstNumCc FROM TSprIst Spi"
                              " INNER JOIN TAnf_AnniFinanz Anf ON (Anf.iAnfId = :iAnfId)"
                              " WHERE Spi.iDwgId = :iDwgId AND Spi.iSprIstPgm = 2 AND Spi.DDELETE IS NULL"
                              "   AND ((COALESCE(Spi.dStart, DATE '1900-01-01') <= Anf.dAnfVeltoInizio"
                              "         AND (Spi.dEnd IS NULL OR Spi.dEnd > Anf.dAnfVeltoInizio))"
                              "     OR (Spi.dStart >= Anf.dAnfVeltoInizio AND Spi.dStart < Anf.dAnfVeltoFine))"
                              " ORDER BY Spi.sSprIstNumCc"),
                          {{QStringLiteral("iDwgId"), dwgId}, {QStringLiteral("iAnfId"), anfId}});
        if (!valid.isEmpty())
            return valid;
    }
    return list(all, {{QStringLiteral("iDwgId"), dwgId}});
}

QList<ParamChoice> EbcParamRules::financialYearsOfAccount(int sprIstId) const
{
    return list(QStringLiteral(
                    " SELECT Anf.iAnfId, CAST(Anf.iAnfValore AS VARCHAR(4)) sAnfAnnoDesc FROM TAnf_AnniFinanz Anf"
                    " INNER JOIN TCai_CassaIst Cai ON (Cai.iCaiEsercizioFin = Anf.iAnfValore)"
                    " WHERE Cai.iSprIstId = %1 ORDER BY iAnfValore")
                    .arg(sprIstId));
}

QList<ParamChoice> EbcParamRules::financialYearsOfInstitute(int dwgId) const
{
    return list(QStringLiteral(
                    "SELECT DISTINCT Anf.iAnfId, CAST(Anf.iAnfValore AS VARCHAR(4)) sAnfAnnoDesc, Anf.iAnfValore"
                    " FROM TAnf_AnniFinanz Anf INNER JOIN TCai_CassaIst Cai ON (Cai.iCaiEsercizioFin = Anf.iAnfValore)"
                    " INNER JOIN TSprIst Spi ON (Spi.iSprIstId = Cai.iSprIstId)"
                    " WHERE Spi.iDwgId = :iDwgId ORDER BY Anf.iAnfValore"),
                {{QStringLiteral("iDwgId"), dwgId}});
}

QList<ParamChoice> EbcParamRules::payerCategories() const
{
    return list(QStringLiteral("SELECT iCbmId, sCbmDesc FROM TCbm_CatBenefMvm ORDER BY sCbmDesc"));
}

QString EbcParamRules::accountType(int sprIstId) const { return app::accountType(m_db, sprIstId); }

// ---- dependencies ----------------------------------------------------------------------------

EbcParamDependencies::EbcParamDependencies(const EbcParamRules &rules, StoredValue stored)
    : m_rules(rules), m_stored(std::move(stored))
{
}

void EbcParamDependencies::reset()
{
    m_edit.clear();
    m_cauAnsChosen = false;
    m_yearsByInstitute = false;
    m_yearErrorShown = false;
    m_form = nullptr;
}

QString EbcParamDependencies::edited(const QString &key) const
{
    const auto it = m_edit.constFind(key.toUpper());
    return it != m_edit.constEnd() ? it.value() : m_stored(key);
}

int EbcParamDependencies::editedInt(const QString &key) const { return toInt(edited(key)); }

QString EbcParamDependencies::accountTypeText() const
{
    const int account = editedInt(K::SprIstId);
    return account ? m_rules.accountType(account) : QString();
}

QList<ParamChoice> EbcParamDependencies::fill(const ParamDef &def)
{
    const QString &key = def.key;
    if (is(key, K::DwgId))
        return m_rules.institutes();
    if (is(key, K::AnsId))
        return m_rules.schoolYears();
    if (is(key, K::CauAnsId))
        return m_rules.causaliYears(editedInt(K::AnsId));
    if (is(key, K::CausaleInId) || is(key, K::CausaleOutId)) {
        // Until a year is chosen in the dialog the lists follow the stored one.
        const QString year = m_cauAnsChosen ? edited(K::CauAnsId) : m_stored(K::CauAnsId);
        bool ok = false;
        const int cauAnsId = year.trimmed().toInt(&ok);
        if (!ok) {
            if (!m_yearErrorShown)
                fw::showError(ParamMessages::MissingCausaliYear);
            m_yearErrorShown = true;
            return {};
        }
        return m_rules.causali(cauAnsId, is(key, K::CausaleInId) ? 0 : 1);
    }
    if (is(key, K::SprCabProvId))
        return m_rules.postOffices();
    if (is(key, K::SprComuneId)) {
        const int branch = editedInt(K::SprCabProvId);
        return m_rules.municipalities(branch ? m_rules.provinceOfBranch(branch) : 0);
    }
    if (is(key, K::SprIstId))
        return m_rules.accounts(editedInt(K::DwgId), editedInt(K::AnfId));
    if (is(key, K::AnfId))
        return m_yearsByInstitute ? m_rules.financialYearsOfInstitute(editedInt(K::DwgId))
                                  : m_rules.financialYearsOfAccount(editedInt(K::SprIstId));
    if (is(key, K::MvmBenefCateg))
        return m_rules.payerCategories();
    return {};
}

bool EbcParamDependencies::create(const ParamDef &def)
{
    const bool postOffice = is(def.key, K::SprCabProvId) || is(def.key, K::SprComuneId) || is(def.key, K::NrUffPostale);
    const bool statementDate = is(def.key, K::MvmDataEc);
    if (!postOffice && !statementDate)
        return true;
    int account = editedInt(K::SprIstId);
    if (account == 0 && def.category == K::MovementsCategory)
        account = toInt(m_stored(K::SprIstId));
    if (account == 0)
        return false;
    const QString type = m_rules.accountType(account);
    return postOffice ? type == AccountType::Postal : type != AccountType::Cash;
}

void EbcParamDependencies::sync(const QString &key)
{
    if (m_form && m_form->has(key))
        m_edit.insert(key.toUpper(), m_form->current(key));
}

void EbcParamDependencies::updateAccountRows()
{
    if (!m_form)
        return;
    const int account = editedInt(K::SprIstId);
    const QString type = account ? m_rules.accountType(account) : QString();
    m_form->setAccountTypeText(type);
    for (const QString &key : {K::SprCabProvId, K::SprComuneId, K::NrUffPostale})
        if (m_form->has(key))
            m_form->setRowVisible(key, account != 0 && type == AccountType::Postal);
    if (m_form->has(K::MvmDataEc))
        m_form->setRowVisible(K::MvmDataEc, account != 0 && type != AccountType::Cash);
}

void EbcParamDependencies::writeSums(const QString &causaleKey)
{
    const int cauId = editedInt(causaleKey);
    if (!m_form || cauId == 0)
        return;
    const EbcParamRules::Sums sums = m_rules.causaleSums(cauId);
    if (is(causaleKey, K::CausaleInId)) {
        if (m_form->has(K::ImpIstCauIn))
            m_form->setText(K::ImpIstCauIn, sums.ist.toSql());
        if (m_form->has(K::ImpEraCauIn))
            m_form->setText(K::ImpEraCauIn, sums.era.toSql());
    } else if (m_form->has(K::ImpIstCauOut)) {
        m_form->setText(K::ImpIstCauOut, sums.ist.toSql());
    }
}

void EbcParamDependencies::changed(const QString &key)
{
    if (!m_form)
        return;
    sync(key);
    auto refill = [this](const QString &k) {
        if (m_form->has(k)) {
            m_form->refill(k);
            sync(k);
        }
    };
    if (is(key, K::AnsId)) {
        refill(K::CauAnsId);
        if (edited(K::CausaleInId).trimmed() == QStringLiteral("0")
            || edited(K::CausaleOutId).trimmed() == QStringLiteral("0"))
            fw::showWarning(ParamMessages::MissingDefaultCausali);
    } else if (is(key, K::CauAnsId)) {
        m_cauAnsChosen = true;
        m_yearErrorShown = false;
        refill(K::CausaleInId);
        refill(K::CausaleOutId);
    } else if (is(key, K::CausaleInId) || is(key, K::CausaleOutId)) {
        writeSums(key);
    } else if (is(key, K::SprCabProvId)) {
        refill(K::SprComuneId);
    } else if (is(key, K::DwgId)) {
        m_yearsByInstitute = true;
        refill(K::AnfId);
        refill(K::SprIstId);
        updateAccountRows();
    } else if (is(key, K::AnfId)) {
        refill(K::SprIstId);
        updateAccountRows();
    } else if (is(key, K::SprIstId)) {
        m_yearsByInstitute = false;
        refill(K::AnfId);
        updateAccountRows();
    }
}

// ---- the Qt dialog seen by the dependencies --------------------------------------------------

namespace {

class DialogForm : public ParamForm
{
public:
    explicit DialogForm(fw::TVeParamDialog *dialog, fw::TVeParamManager &manager)
        : m_dialog(dialog), m_manager(manager)
    {
    }
    fw::TVeParamDialog *dialog() const { return m_dialog; }
    QLabel *typeLabel = nullptr;

    bool has(const QString &key) const override { return m_dialog->control(key) != nullptr; }
    QString current(const QString &key) const override
    {
        const ParamDef *def = m_manager.definition(key);
        QWidget *c = m_dialog->control(key);
        return def && c ? fw::TVeParamDialog::writeDefault(*def, c) : QString();
    }
    void refill(const QString &key) override { m_dialog->refillList(key); }
    void setText(const QString &key, const QString &value) override
    {
        if (auto *edit = qobject_cast<QLineEdit *>(m_dialog->control(key)))
            edit->setText(value);
    }
    void setRowVisible(const QString &key, bool visible) override
    {
        QWidget *c = m_dialog->control(key);
        if (!c || !c->parentWidget())
            return;
        if (auto *form = qobject_cast<QFormLayout *>(c->parentWidget()->layout()))
            form->setRowVisible(c, visible);
    }
    void setAccountTypeText(const QString &text) override
    {
        if (typeLabel)
            typeLabel->setText(QStringLiteral("Tipo di conto: %1").arg(text.isEmpty() ? QStringLiteral("-") : text));
    }

private:
    fw::TVeParamDialog *m_dialog;
    fw::TVeParamManager &m_manager;
};

} // namespace

TdmEbcParam::TdmEbcParam(QSqlDatabase db, const QString &user, QObject *parent)
    : QObject(parent),
      m_rules(db),
      m_manager(new fw::TVeParamManager(db, user, this)),
      m_deps(m_rules, [this](const QString &key) { return m_manager->value(key); })
{
    m_manager->FillListParam = [this](const ParamDef &def, QList<ParamChoice> &items) { items = m_deps.fill(def); };
    m_manager->BeforeCreateCtrl = [this](const ParamDef &def) { return m_deps.create(def); };
    m_manager->AfterCreateCtrl = [this](const ParamDef &def, QWidget *control) { afterCreate(def, control); };
}

TdmEbcParam::~TdmEbcParam() = default;

void TdmEbcParam::afterCreate(const ParamDef &def, QWidget *control)
{
    auto *dialog = qobject_cast<fw::TVeParamDialog *>(control->window());
    if (!dialog)
        return;
    auto *form = static_cast<DialogForm *>(m_form.get());
    if (!form || form->dialog() != dialog) {
        m_form = std::make_unique<DialogForm>(dialog, *m_manager);
        form = static_cast<DialogForm *>(m_form.get());
        m_deps.attach(form);
    }
    auto *box = qobject_cast<QComboBox *>(control);
    if (box && def.category == K::MovementsCategory)
        box->setFixedWidth(200);
    if (box) {
        const QString key = def.key;
        QObject::connect(box, &QComboBox::currentIndexChanged, dialog, [this, key] { m_deps.changed(key); });
    }
    if (is(def.key, K::SprIstId) && control->parentWidget()) {
        if (auto *layout = qobject_cast<QFormLayout *>(control->parentWidget()->layout())) {
            int row = -1;
            QFormLayout::ItemRole role;
            layout->getWidgetPosition(control, &row, &role);
            form->typeLabel = new QLabel(control->parentWidget());
            form->typeLabel->setObjectName(QStringLiteral("lblTipoConto"));
            layout->insertRow(row + 1, QString(), form->typeLabel);
            form->setAccountTypeText(m_deps.accountTypeText());
        }
    }
}

bool TdmEbcParam::Execute()
{
    m_deps.reset();
    const bool ok = m_manager->Execute();
    m_deps.attach(nullptr);
    m_form.reset();
    return ok;
}

} // namespace ccp::app
