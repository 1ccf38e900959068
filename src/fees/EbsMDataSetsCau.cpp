#include "EbsMDataSets.h"
#include "EbsUCau.h"

namespace ccp::fees {

namespace {

bool isStatement(const QString &sql, QLatin1String verb)
{
    return sql.trimmed().startsWith(verb, Qt::CaseInsensitive);
}

// Binds the causali school year's bounds; refuses the post when that year is not set.
void bindSchoolYear(QSqlDatabase db, fw::VeExecContext &x)
{
    auto bounds = CausaliSchoolYear(db);
    if (!bounds) {
        x.fail(bounds.error());
        return;
    }
    if (!bounds->valid()) {
        x.fail(QStringLiteral("Impostare l'anno scolastico delle causali"));
        return;
    }
    x.params.set(QStringLiteral("dStart"), bounds->start);
    x.params.set(QStringLiteral("dEnd"), bounds->end);
}

} // namespace

void TdmEbsDataSets::setupCausali()
{
    using fw::VeOperation;

    // Causali of the causali school year, of every institute.
    xqcCaus->setSelectText(CauSql::CausaliSelect);
    xqcCaus->setKeyField(QStringLiteral("iCauId"));
    xqcCaus->setTableName(QStringLiteral("TCau_Causali"));
    xqcCaus->setSortKeys(QStringLiteral("sCauSDesc"));
    xqcCaus->setParam(QStringLiteral("iAnsId"), 0);
    xqcCaus->setParam(QStringLiteral("ShowAll"), 1);
    xqcCaus->setParam(QStringLiteral("lCauTipo"), 0);
    xqcCaus->setStatements(VeOperation::Insert, {CauSql::CausaliInsert});
    xqcCaus->setStatements(VeOperation::Update, {CauSql::CausaliUpdate});
    // Causali are never deleted here: no delete list.
    xqcCaus->setRequired(QStringLiteral("sCauLDesc"), QStringLiteral("Descrizione"));
    xqcCaus->setRequired(QStringLiteral("sCauSDesc"), QStringLiteral("Codice"));
    xqcCaus->VeBeforeExec = [this](fw::VeExecContext &x) {
        if (x.operation != VeOperation::Insert || !isStatement(x.sql, QLatin1String("INSERT")))
            return;
        bindSchoolYear(m_db, x);
        x.params.set(QStringLiteral("lCauTipo"), causaliTipo);
        x.params.set(QStringLiteral("lCauRette"), 1);
    };

    // The links of the current causale to its components.
    xqcCauCca->setSelectText(CauSql::LinksSelect);
    xqcCauCca->setKeyField(QStringLiteral("iCauCcaId"));
    xqcCauCca->setTableName(QStringLiteral("TCauCca"));
    xqcCauCca->setSortKeys(QStringLiteral("sCcaSDesc"));
    xqcCauCca->setParam(QStringLiteral("iCauId"), 0);
    xqcCauCca->setStatements(VeOperation::Insert,
                             {CauSql::LinkInsert, CauSql::RecomputeRette, CauSql::SetInstitute});
    xqcCauCca->setStatements(VeOperation::Update, {CauSql::LinkUpdate, CauSql::RecomputeRette});
    xqcCauCca->setStatements(VeOperation::Delete, {CauSql::LinkDelete, CauSql::RecomputeRette});
    xqcCauCca->setRequired(QStringLiteral("iCcaId"), QStringLiteral("Codice"));
    xqcCauCca->VeBeforeExec = [this](fw::VeExecContext &x) {
        const QVariant cauId = xqcCauCca->param(QStringLiteral("iCauId"));
        if (isStatement(x.sql, QLatin1String("INSERT"))) {
            x.params.set(QStringLiteral("iCauId"), cauId);
            bindSchoolYear(m_db, x);
        } else if (isStatement(x.sql, QLatin1String("UPDATE")) && x.tableName == QLatin1String("TCAU_CAUSALI")) {
            x.params.set(QStringLiteral("iCauId"), cauId);
            if (x.index == 2)
                x.params.set(QStringLiteral("iDwgId"), chosenComponentDwg);
        }
    };
    // Once the post is committed, the causali list shows the sums, fees flag and institute
    // just written, and an open components list the new links.
    auto afterLinkPost = [this]() {
        if (xqcCaus->isOpen())
            xqcCaus->refresh();
        if (xqcCompCaus->isOpen())
            xqcCompCaus->refresh();
    };
    xqcCauCca->VeAfterInsert = afterLinkPost;
    xqcCauCca->VeAfterUpdate = afterLinkPost;
    xqcCauCca->VeAfterDelete = afterLinkPost;

    // How many components a causale has (for the movement entry frame).
    qquCompXCau->setSelectText(CauSql::ComponentCount);
    qquCompXCau->setKeyField(QStringLiteral("iCount"));
    qquCompXCau->setParam(QStringLiteral("iCauId"), 0);
}

} // namespace ccp::fees
