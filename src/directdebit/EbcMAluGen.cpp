#include "EbcMAluGen.h"

#include "EbcUAluGen.h"
#include "EbcUSepaSdd.h"
#include "TVeQueryCollection.h"

namespace ccp::directdebit {

using fw::TVeQueryCollection;
using fw::VeOperation;

TdmEbcAluGen::TdmEbcAluGen(QSqlDatabase db, QObject *parent) : QObject(parent), m_db(std::move(db))
{
    xqcAluGen = new TVeQueryCollection(m_db, this);
    xqcAluGen->setObjectName(QStringLiteral("xqcAluGen"));
    xqcAluGen->setSelectText(AcbSql::AluGenSelect);
    xqcAluGen->setKeyField(QStringLiteral("iAcbId"));
    xqcAluGen->setTableName(QStringLiteral("TACB_ALUCOORDBAN"));
    xqcAluGen->setStatements(VeOperation::Insert, {AcbSql::AluGenInsert});
    xqcAluGen->setStatements(VeOperation::Update, {AcbSql::AluGenUpdate});
    xqcAluGen->setStatements(VeOperation::Delete, {AcbSql::AluGenDelete});

    xqcAcbCau = new TVeQueryCollection(m_db, this);
    xqcAcbCau->setObjectName(QStringLiteral("xqcAcbCau"));
    xqcAcbCau->setSelectText(AcbSql::AcbCauSelect);
    xqcAcbCau->setKeyField(QStringLiteral("iAcbCauId"));
    xqcAcbCau->setTableName(QStringLiteral("TACBCAU"));
    // The link and its component rows are written by one post.
    xqcAcbCau->setStatements(VeOperation::Insert, {AcbSql::AcbCauInsert, AcbSql::AcbCauComponents});
    xqcAcbCau->setStatements(VeOperation::Update, {AcbSql::AcbCauUpdate});
    xqcAcbCau->setStatements(VeOperation::Delete, AcbSql::AcbCauDelete);
    xqcAcbCau->VeBeforeExec = [this](fw::VeExecContext &ctx) {
        if (ctx.operation != VeOperation::Delete)
            ctx.params.set(QStringLiteral("IACBID"), xqcAluGen->currentKey());
    };

    xqcCcaAcbCau = new TVeQueryCollection(m_db, this);
    xqcCcaAcbCau->setObjectName(QStringLiteral("xqcCcaAcbCau"));
    xqcCcaAcbCau->setSelectText(AcbSql::CacSelect);
    xqcCcaAcbCau->setKeyField(QStringLiteral("iCacId"));
    xqcCcaAcbCau->setTableName(QStringLiteral("TCAC_CCAACBCAU"));
    xqcCcaAcbCau->setStatements(VeOperation::Update, {AcbSql::CacUpdate});

    connect(xqcAluGen, &TVeQueryCollection::currentChanged, this, [this] {
        if (!m_opening && !xqcAluGen->isEditing())
            followAluGen();
    });
    connect(xqcAcbCau, &TVeQueryCollection::currentChanged, this, [this] {
        if (!m_opening && !xqcAcbCau->isEditing())
            followAcbCau();
    });
    // A post changes the rows below: a new link has its components, a deleted one none.
    connect(xqcAluGen, &TVeQueryCollection::posted, this, [this] { followAluGen(true); });
    connect(xqcAcbCau, &TVeQueryCollection::posted, this, [this] { followAcbCau(true); });
}

Status TdmEbcAluGen::open(int ansId)
{
    close();
    if (Status s = fillMissingMandates(m_db); !s)
        return s;
    m_opening = true;
    xqcAluGen->setParam(QStringLiteral("iAnsId"), ansId);
    xqcAcbCau->setParam(QStringLiteral("iAnsId"), ansId);
    Status s = xqcAluGen->open();
    m_opening = false;
    if (!s)
        return s;
    return followAluGen();
}

void TdmEbcAluGen::close()
{
    xqcCcaAcbCau->close();
    xqcAcbCau->close();
    xqcAluGen->close();
}

Status TdmEbcAluGen::followAluGen(bool force)
{
    const QVariant key = xqcAluGen->currentKey();
    if (!force && xqcAcbCau->isOpen() && xqcAcbCau->param(QStringLiteral("iAcbId")) == key)
        return {};
    m_opening = true;
    xqcAcbCau->close();
    xqcAcbCau->setParam(QStringLiteral("iAcbId"), key.isValid() ? key : QVariant(0));
    Status s = xqcAcbCau->open();
    m_opening = false;
    if (!s)
        return s;
    return followAcbCau(true);
}

Status TdmEbcAluGen::followAcbCau(bool force)
{
    const QVariant key = xqcAcbCau->currentKey();
    if (!force && xqcCcaAcbCau->isOpen() && xqcCcaAcbCau->param(QStringLiteral("iAcbCauId")) == key)
        return {};
    xqcCcaAcbCau->close();
    xqcCcaAcbCau->setParam(QStringLiteral("iAcbCauId"), key.isValid() ? key : QVariant(0));
    return xqcCcaAcbCau->open();
}

} // namespace ccp::directdebit
