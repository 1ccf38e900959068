#include "EbsMAtt.h"

#include "EbcUContext.h"
#include "EbcUWindows.h"
#include "EbsMDataSets.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"

namespace ccp::app {

namespace {

fw::TVeAttForm *formLauncher(fw::TdmVeAttivazioni &module, const QString &name, const QString &caption,
                             const QString &formClass, int help)
{
    auto *l = module.add(new fw::TVeAttForm(name));
    l->caption = caption;
    l->formClass = formClass;
    l->helpContext = help;
    return l;
}

} // namespace

QString TdmEbsAtt::notAvailableMessage(const QString &caption)
{
    return QStringLiteral("La finestra \"%1\" non è ancora disponibile in questa versione del programma.").arg(caption);
}

bool TdmEbsAtt::requireWindow(const fw::TVeAttForm &launcher)
{
    if (fw::TVeFormRegistry::instance().contains(launcher.formClass))
        return true;
    fw::showInfo(notAvailableMessage(launcher.caption));
    return false;
}

TdmEbsAtt::TdmEbsAtt(QObject *parent) : fw::TdmVeAttivazioni(parent)
{
    xafCausali = formLauncher(*this, QStringLiteral("xafCausali"), QStringLiteral("Causali"),
                              QStringLiteral("TfmEbsCau"), 1000);
    xafCompCaus = formLauncher(*this, QStringLiteral("xafCompCaus"), QStringLiteral("Componenti di causali"),
                               QStringLiteral("TfmEbsCca"), 1001);
    xafAggregati = formLauncher(*this, QStringLiteral("xafAggregati"), QStringLiteral("Aggregati"),
                                QStringLiteral("TfmAggregati"), 1002);
    xafVoci = formLauncher(*this, QStringLiteral("xafVoci"), QStringLiteral("Voci"), QStringLiteral("TfmVoci"), 1003);
    xafTipoCompCau = formLauncher(*this, QStringLiteral("xafTipoCompCau"), QStringLiteral("Tipologie componenti"),
                                  QStringLiteral("TfmEbsTipologie"), 0);
    xafTipoPagamento = formLauncher(*this, QStringLiteral("xafTipoPagamento"),
                                    QStringLiteral("Modalità di pagamento"), QStringLiteral("TfmEbsModPagamento"), 0);

    for (fw::TVeAttForm *l : {xafCausali, xafCompCaus, xafTipoCompCau, xafTipoPagamento})
        l->BeforeExecute = [l](fw::TVeAttivazione &) { return requireWindow(*l); };
    xafCausali->OnInitForm = [](fw::TVeAttForm &, QWidget *form) { EbcWindows::causali = form; };
    xafCompCaus->OnInitForm = [](fw::TVeAttForm &, QWidget *form) { EbcWindows::components = form; };
    xafAggregati->BeforeExecute = [this](fw::TVeAttivazione &) { return budgetBeforeExecute(*xafAggregati, 1); };
    xafVoci->BeforeExecute = [this](fw::TVeAttivazione &) { return budgetBeforeExecute(*xafVoci, 2); };
}

void TdmEbsAtt::setHelpFile(const QString &file) { m_helpFile = file; }

void TdmEbsAtt::setDatabase(QSqlDatabase db)
{
    m_db = std::move(db);
    if (!m_dataSets)
        m_dataSets = new fees::TdmEbsDataSets(m_db, this);
}

bool TdmEbsAtt::budgetBeforeExecute(fw::TVeAttForm &launcher, int kind)
{
    if (ParamAnfIdName.isEmpty()) {
        fw::showWarning(QStringLiteral("Impostare la proprietà 'ParamAnfIdName' del datamodule"));
        return false;
    }
    auto &values = fw::TVeGlobalValuesManager::instance();
    if (!values.isSet(ParamAnfIdName)) {
        fw::showWarning(QStringLiteral("E' necessario impostare l'anno finanziario di lavoro."));
        return false;
    }
    // What the budget-items module works on.
    values.SetValues(QStringLiteral("ABC_AnfValore"), financialYearValue(m_db, values.intValue(ParamAnfIdName)));
    values.SetValues(QStringLiteral("ABC_DwgId"), values.intValue(Keys::DwgId));
    if (!requireWindow(launcher))
        return false;
    if (!launcher.openForms().isEmpty())
        return true;   // the launch brings the open window forward
    return !BudgetCanOpen || BudgetCanOpen(kind);
}

} // namespace ccp::app
