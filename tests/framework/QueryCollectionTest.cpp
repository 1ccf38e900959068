#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "TVeQueryModel.h"
#include "TVeSearchCondition.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::fw;

namespace {

const QString kMpgSelect = QStringLiteral(
    "SELECT TMpg.iMpgId, TMpg.sMpgDescS, TMpg.sMpgDescL, lMpgRisc, lMpgPag, TMpg.iLocked FROM TMpg_ModPagam TMpg");
const QString kMpgInsert = QStringLiteral(
    " INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag)  VALUES(:VEGENID, :SMPGDESCS, "
    ":SMPGDESCL, :lMpgRisc, :lMpgPag)      ");
const QString kMpgUpdate = QStringLiteral(
    "UPDATE TMPG_MODPAGAM SET SMPGDESCL = :SMPGDESCL, SMPGDESCS = :SMPGDESCS, LMPGRISC = :LMPGRISC, "
    "LMPGPAG = :LMPGPAG WHERE IMPGID = :VECURRID");

class PaymentMethods : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.ok()) << qPrintable(db.error());
        ccp::test::scalar(db.db(), QStringLiteral("DELETE FROM TMpg_ModPagam"));
        coll = std::make_unique<TVeQueryCollection>(db.db());
        coll->setSelectText(kMpgSelect);
        coll->setStatements(VeOperation::Insert, {kMpgInsert});
        coll->setStatements(VeOperation::Update, {kMpgUpdate});
        ASSERT_TRUE(coll->open().ok());
    }
    int rows() { return ccp::test::scalar(db.db(), QStringLiteral("SELECT COUNT(*) FROM TMpg_ModPagam")).toInt(); }
    void fill(const QString &code, const QString &desc)
    {
        ASSERT_TRUE(coll->insert());
        coll->setFieldValue(QStringLiteral("sMpgDescS"), code);
        coll->setFieldValue(QStringLiteral("sMpgDescL"), desc);
        coll->setFieldValue(QStringLiteral("lMpgRisc"), 1);
        coll->setFieldValue(QStringLiteral("lMpgPag"), 0);
    }

    ccp::test::TestDatabase db;
    RecordingMessageSink sink;
    std::unique_ptr<TVeQueryCollection> coll;
};

TEST_F(PaymentMethods, InsertEditAndNoDeleteThroughTheGivenStatements)
{
    fill(QStringLiteral("BON"), QStringLiteral("Bonifico"));
    ASSERT_TRUE(coll->post()) << qPrintable(sink.lastText());
    const QVariant id = coll->lastValue(QStringLiteral("VEGENID"));
    ASSERT_TRUE(id.isValid());
    EXPECT_EQ(coll->mode(), DataMode::Browse);
    EXPECT_EQ(coll->currentKey().toInt(), id.toInt());
    EXPECT_EQ(ccp::test::scalar(db.db(), QStringLiteral("SELECT sMpgDescL FROM TMpg_ModPagam WHERE iMpgId = %1").arg(id.toInt())).toString(),
              QStringLiteral("Bonifico"));

    ASSERT_TRUE(coll->edit());
    coll->setFieldValue(QStringLiteral("SMPGDESCL"), QStringLiteral("Bonifico bancario"));
    ASSERT_TRUE(coll->post());
    EXPECT_EQ(coll->lastValue(QStringLiteral("VECURRID")).toInt(), id.toInt());
    EXPECT_EQ(ccp::test::scalar(db.db(), QStringLiteral("SELECT sMpgDescL FROM TMpg_ModPagam WHERE iMpgId = %1").arg(id.toInt())).toString(),
              QStringLiteral("Bonifico bancario"));
    EXPECT_EQ(coll->fieldValue(QStringLiteral("sMpgDescL")).toString(), QStringLiteral("Bonifico bancario"));
    EXPECT_FALSE(coll->canDelete());
    EXPECT_FALSE(coll->deleteCurrent());
    EXPECT_EQ(rows(), 1);
}

TEST_F(PaymentMethods, RequiredFieldRefusesThePostAndKeepsTheRowInEdit)
{
    coll->setRequired(QStringLiteral("sMpgDescS"), QStringLiteral("Codice"));
    fill(QString(), QStringLiteral("Senza codice"));
    EXPECT_FALSE(coll->post());
    EXPECT_EQ(sink.lastText(), QStringLiteral("Il campo Codice è obbligatorio."));
    EXPECT_EQ(coll->mode(), DataMode::Insert);
    EXPECT_EQ(rows(), 0);
}

TEST_F(PaymentMethods, StatementListRunsInOrderWithHooksFlagsAndBoundPairs)
{
    struct Call { QString when; QString table; VeOperation op; int index; };
    QList<Call> calls;
    int beforeInsert = 0;
    QVariant genId;
    coll->setStatements(VeOperation::Insert,
                        {kMpgInsert,
                         QStringLiteral("UPDATE TMpg_ModPagam SET sMpgDescL = :sExtra WHERE iMpgId = :iNewId"),
                         QStringLiteral("DELETE FROM TMpg_ModPagam")});
    coll->VeBeforeInsert = [&](VeListContext &ctx) {
        ++beforeInsert;
        // Appended at each post after removing what an earlier post appended.
        while (ctx.statements.size() > 3)
            ctx.statements.removeLast();
        ctx.statements << QStringLiteral("UPDATE TMpg_ModPagam SET lMpgPag = 1 WHERE iMpgId = :iNewId");
    };
    coll->VeBeforeExec = [&](VeExecContext &ctx) {
        calls << Call{QStringLiteral("before"), ctx.tableName, ctx.operation, ctx.index};
        if (ctx.index == 1)
            ctx.params.set(QStringLiteral("sExtra"), QStringLiteral("dal gancio"));
        if (ctx.index >= 1)
            ctx.params.set(QStringLiteral("iNewId"), genId);
        if (ctx.index == 2)
            ctx.execute = false;
    };
    coll->VeAfterExec = [&](VeExecContext &ctx) {
        calls << Call{QStringLiteral("after"), ctx.tableName, ctx.operation, ctx.index};
        if (ctx.index == 0)
            genId = ctx.params.value(QStringLiteral("VEGENID"));
    };
    fill(QStringLiteral("CON"), QStringLiteral("Contanti"));
    ASSERT_TRUE(coll->post()) << qPrintable(sink.lastText());
    EXPECT_EQ(beforeInsert, 1);
    const QStringList expected = {QStringLiteral("before TMPG_MODPAGAM 0"), QStringLiteral("after TMPG_MODPAGAM 0"),
                                  QStringLiteral("before TMPG_MODPAGAM 1"), QStringLiteral("after TMPG_MODPAGAM 1"),
                                  QStringLiteral("before TMPG_MODPAGAM 2"), QStringLiteral("before TMPG_MODPAGAM 3"),
                                  QStringLiteral("after TMPG_MODPAGAM 3")};
    QStringList got;
    for (const Call &c : calls) {
        EXPECT_EQ(c.op, VeOperation::Insert);
        got << QStringLiteral("%1 %2 %3").arg(c.when, c.table).arg(c.index);
    }
    EXPECT_EQ(got, expected);
    ASSERT_EQ(rows(), 1);  // the skipped DELETE did not run
    EXPECT_EQ(ccp::test::scalar(db.db(), QStringLiteral("SELECT sMpgDescL || lMpgPag FROM TMpg_ModPagam")).toString(),
              QStringLiteral("dal gancio1"));
    EXPECT_EQ(genId, coll->lastValue(QStringLiteral("VEGENID")));
    EXPECT_EQ(coll->statements(VeOperation::Insert).size(), 4);

    // A second post: the hook replaces its statement, it does not pile up.
    calls.clear();
    fill(QStringLiteral("ASS"), QStringLiteral("Assegno"));
    ASSERT_TRUE(coll->post());
    EXPECT_EQ(beforeInsert, 2);
    EXPECT_EQ(coll->statements(VeOperation::Insert).size(), 4);
    EXPECT_EQ(rows(), 2);
}

TEST_F(PaymentMethods, FailureInTheMiddleOfTheListRollsBackEverythingAndStaysInEdit)
{
    coll->setStatements(VeOperation::Insert,
                        {kMpgInsert, QStringLiteral("INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS) VALUES (NULL, 'X')"),
                         QStringLiteral("UPDATE TMpg_ModPagam SET lMpgPag = 1")});
    int afterInsert = 0;
    coll->VeAfterInsert = [&] { ++afterInsert; };
    fill(QStringLiteral("ERR"), QStringLiteral("Errata"));
    EXPECT_FALSE(coll->post());
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(coll->mode(), DataMode::Insert);
    EXPECT_EQ(coll->fieldValue(QStringLiteral("sMpgDescS")).toString(), QStringLiteral("ERR"));
    EXPECT_TRUE(coll->fieldValue(QStringLiteral("iMpgId")).isNull());
    ASSERT_FALSE(sink.entries().isEmpty());
    EXPECT_EQ(sink.entries().last().type, MsgType::Error);
    EXPECT_TRUE(sink.lastText().startsWith(QStringLiteral("Impossibile salvare i dati.")));
    EXPECT_GT(sink.lastText().size(), QStringLiteral("Impossibile salvare i dati.\r\n").size());
    EXPECT_EQ(afterInsert, 0);

    // The user corrects the list (here: the owner drops the bad statement) and posts again.
    coll->statements(VeOperation::Insert).removeAt(1);
    ASSERT_TRUE(coll->post());
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(afterInsert, 1);
}

TEST_F(PaymentMethods, AutomaticStatementsInsertUpdateAndDelete)
{
    coll->setStatements(VeOperation::Insert, {});
    coll->setStatements(VeOperation::Update, {});
    coll->setAutoDelete(true);
    fill(QStringLiteral("AUT"), QStringLiteral("Automatica"));
    ASSERT_TRUE(coll->post()) << qPrintable(sink.lastText());
    ASSERT_TRUE(coll->edit());
    coll->setFieldValue(QStringLiteral("sMpgDescL"), QStringLiteral("Cambiata"));
    ASSERT_TRUE(coll->post());
    EXPECT_EQ(ccp::test::scalar(db.db(), QStringLiteral("SELECT sMpgDescS || sMpgDescL FROM TMpg_ModPagam")).toString(),
              QStringLiteral("AUTCambiata"));
    ASSERT_TRUE(coll->deleteCurrent());
    EXPECT_EQ(rows(), 0);
}

TEST_F(PaymentMethods, SearchTextWithQuotesWildcardsAndSqlIsOnlyEverData)
{
    const QStringList descs = {QStringLiteral("O'Neil"), QStringLiteral("100% sicuro"), QStringLiteral("x_y"),
                               QStringLiteral("'; DROP TABLE TMpg_ModPagam; --"), QStringLiteral("Bonifico")};
    for (int i = 0; i < descs.size(); ++i) {
        fill(QStringLiteral("C%1").arg(i), descs[i]);
        ASSERT_TRUE(coll->post());
    }
    const QString select = QStringLiteral(
        "SELECT TMpg.iMpgId, TMpg.sMpgDescS, TMpg.sMpgDescL AS sDesc FROM TMpg_ModPagam TMpg WHERE ##WHERE##");
    const QList<SearchColumn> columns = {{QStringLiteral("sMpgDescS"), QStringLiteral("Codice"), true},
                                         {QStringLiteral("sDesc"), QStringLiteral("Descrizione"), true}};
    struct Case { const char *name; QString text; QStringList found; };
    const QList<Case> cases = {
        {"quote", QStringLiteral("'"), {QStringLiteral("O'Neil"), QStringLiteral("'; DROP TABLE TMpg_ModPagam; --")}},
        {"percent", QStringLiteral("%"), {QStringLiteral("100% sicuro")}},
        {"underscore", QStringLiteral("_"), {QStringLiteral("x_y"), QStringLiteral("'; DROP TABLE TMpg_ModPagam; --")}},
        {"sql", QStringLiteral("'; DROP TABLE TMpg_ModPagam; --"), {QStringLiteral("'; DROP TABLE TMpg_ModPagam; --")}},
        {"case-insensitive", QStringLiteral("bonif"), {QStringLiteral("Bonifico")}},
        {"empty", QString(), descs},
    };
    TVeQueryCollection search(db.db());
    search.setSelectText(select);
    search.setSortKeys(QStringLiteral("sDesc"));
    for (const Case &c : cases) {
        const SearchCondition cond = VeSearch::contains(select, columns, c.text);
        if (c.text.size() > 1) {
            EXPECT_FALSE(cond.sql.contains(c.text)) << c.name;
        }
        search.setWhere(cond.sql, cond.params);
        ASSERT_TRUE(search.open().ok()) << c.name;
        QStringList found;
        for (int i = 0; i < search.count(); ++i)
            found << search.value(i, QStringLiteral("sDesc")).toString();
        QStringList want = c.found;
        want.sort();
        found.sort();
        EXPECT_EQ(found, want) << c.name;

        // The literal form finds the same rows.
        search.setWhere(VeSearch::containsLiteral({QStringLiteral("TMpg.sMpgDescS"), QStringLiteral("TMpg.sMpgDescL")}, c.text));
        ASSERT_TRUE(search.open().ok()) << c.name;
        EXPECT_EQ(search.count(), c.found.size()) << c.name;
    }
    EXPECT_EQ(rows(), descs.size());
}

} // namespace
