#include "EbsMDataSets.h"

#include "EbsUCca.h"
#include "Money.h"
#include "TVeGlobalValues.h"

namespace ccp::fees {

namespace {

QString mpgSelect()
{
    return QStringLiteral("SELECT TMpg.iMpgId, TMpg.sMpgDescS, TMpg.sMpgDescL, lMpgRisc, lMpgPag, TMpg.iLocked FROM "
                          "TMpg_ModPagam TMpg");
}

} // namespace

void TdmEbsDataSets::setupComponents()
{
    // ---- components ------------------------------------------------------------------------
    auto *cca = xqcCompCaus;
    auto *bindings = new TEbsCcaBindings(cca);
    bindings->setObjectName(QStringLiteral("ccaBindings"));
    cca->setSelectText(CcaSql::select());
    cca->setKeyField(QStringLiteral("iCcaId"));
    cca->setTableName(QStringLiteral("TCca_CompCausali"));
    cca->setSortKeys(QStringLiteral("sCcaLDesc"));
    cca->setParam(QStringLiteral("iAnsId"), 0);
    cca->setParam(QStringLiteral("ShowAll"), 1);
    cca->setParam(QStringLiteral("lCcaTipo"), 0);
    cca->setStatements(fw::VeOperation::Insert, {CcaSql::insert()});
    cca->setStatements(fw::VeOperation::Update, {CcaSql::update(), CcaSql::recomputeCausaliRette()});
    cca->setStatements(fw::VeOperation::Delete, {CcaSql::remove()});
    // A new component starts with zero amounts rather than none: sums and splits stay numbers.
    cca->setDefault(QStringLiteral("fCcaImportoIst"), Money().toVariant());
    cca->setDefault(QStringLiteral("fCcaImportoEra"), Money().toVariant());
    cca->VeBeforeExec = [this, cca, bindings](fw::VeExecContext &x) {
        if (x.operation == fw::VeOperation::Insert && x.index == 0) {
            const auto bounds = CcaRules::schoolYearBounds(m_db, fw::TVeGlobalValuesManager::instance().intValue(
                                                                     QStringLiteral("EBSP_CauAnsId")));
            if (!bounds) {
                x.fail(bounds.error());
                return;
            }
            x.params.set(QStringLiteral("dStart"), bounds->start);
            x.params.set(QStringLiteral("dEnd"), bounds->end);
            x.params.set(QStringLiteral("iDwgId"), bindings->chosenDwgId);
            x.params.set(QStringLiteral("lCcaTipo"), cca->param(QStringLiteral("lCcaTipo")).toInt());
        } else if (x.operation == fw::VeOperation::Update && x.index == 0) {
            x.params.set(QStringLiteral("iDwgId"), bindings->chosenDwgId);
        }
    };
    cca->VeAfterUpdate = [this]() {
        if (xqcCaus->isOpen())
            xqcCaus->refresh();
    };

    // ---- payment methods --------------------------------------------------------------------
    auto *mpg = xqcModPagam;
    mpg->setSelectText(mpgSelect());
    mpg->setKeyField(QStringLiteral("iMpgId"));
    mpg->setTableName(QStringLiteral("TMpg_ModPagam"));
    mpg->setSortKeys(QStringLiteral("sMpgDescS"));
    mpg->setStatements(fw::VeOperation::Insert,
                       {QStringLiteral(" INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag)  "
                                       "VALUES(:VEGENID, :SMPGDESCS, :SMPGDESCL, :lMpgRisc, :lMpgPag)      ")});
    mpg->setStatements(fw::VeOperation::Update,
                       {QStringLiteral(" UPDATE TMPG_MODPAGAM SET SMPGDESCL = :SMPGDESCL, SMPGDESCS = :SMPGDESCS, "
                                       "LMPGRISC = :LMPGRISC, LMPGPAG = :LMPGPAG WHERE IMPGID = :VECURRID")});
    // No delete list: payment methods are never deleted here.
    mpg->setDefault(QStringLiteral("lMpgRisc"), 0);
    mpg->setDefault(QStringLiteral("lMpgPag"), 0);
}

} // namespace ccp::fees
