#include "ReportStore.h"
#include "ReportTestUtil.h"

#include "SqlQuery.h"

#include <gtest/gtest.h>

namespace ccp::reports {
namespace {

QString xml(int id, const QString &caption)
{
    return QStringLiteral("<report id=\"%1\" title=\"Prova %1\"><section dataset=\"frdRighe\"><detail height=\"5\">"
                          "<text x=\"0\" y=\"0\" w=\"50\" h=\"5\">%2</text></detail></section></report>")
        .arg(id)
        .arg(caption);
}

std::vector<StoredTemplate> release(const QString &version)
{
    return {{14801, QStringLiteral("Prova 14801"), xml(14801, QStringLiteral("Uno ") + version)},
            {14802, QStringLiteral("Prova 14802"), xml(14802, QStringLiteral("Due ") + version)}};
}

QString stored(QSqlDatabase db, int id)
{
    return test::scalar(db, QStringLiteral("SELECT bYRptTemplate FROM TYRpt_RptTemplate WHERE iYRptId = %1").arg(id)).toString();
}

TEST(ReportUpgrade, KeepsWhatTheOfficeEditedAndUpdatesTheRest)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    ASSERT_TRUE(installTemplates(t.db(), release(QStringLiteral("v1"))));
    const QString edited = xml(14801, QStringLiteral("Uno, come lo vuole la segreteria"));
    SqlQuery q(t.db());
    ASSERT_TRUE(q.run(QStringLiteral("UPDATE TYRpt_RptTemplate SET bYRptTemplate = :x WHERE iYRptId = 14801"),
                      {{QStringLiteral("x"), edited}}));

    auto v2 = installTemplates(t.db(), release(QStringLiteral("v2")));
    ASSERT_TRUE(v2) << qPrintable(v2.error());
    EXPECT_EQ(v2.value().kept, QList<int>{14801});
    EXPECT_EQ(v2.value().written, 1);
    EXPECT_EQ(stored(t.db(), 14801), edited);
    EXPECT_EQ(stored(t.db(), 14802), release(QStringLiteral("v2"))[1].xml);

    // Still the office's at the next upgrade.
    auto v3 = installTemplates(t.db(), release(QStringLiteral("v3")));
    ASSERT_TRUE(v3);
    EXPECT_EQ(v3.value().kept, QList<int>{14801});
}

TEST(ReportUpgrade, EditedIntoSomethingUnreadableIsReplacedAndSaidSo)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    ASSERT_TRUE(installTemplates(t.db(), release(QStringLiteral("v1"))));
    SqlQuery q(t.db());
    ASSERT_TRUE(q.exec(QStringLiteral("UPDATE TYRpt_RptTemplate SET bYRptTemplate = '<report id=\"14802\"><sezione/>' WHERE iYRptId = 14802")));
    auto n = installTemplates(t.db(), release(QStringLiteral("v2")));
    ASSERT_TRUE(n) << qPrintable(n.error());
    EXPECT_EQ(n.value().repaired, QList<int>{14802});
    EXPECT_TRUE(n.value().kept.isEmpty());
    EXPECT_EQ(stored(t.db(), 14802), release(QStringLiteral("v2"))[1].xml);
}

TEST(ReportUpgrade, TemplateStoredWithoutFingerprintIsReplaced)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    SqlQuery q(t.db());
    ASSERT_TRUE(q.run(QStringLiteral("INSERT INTO TYRpt_RptTemplate (iYRptId, sYRptDesc, bYRptTemplate) VALUES (14801, 'Vecchio', :x)"),
                      {{QStringLiteral("x"), xml(14801, QStringLiteral("vecchio"))}}));
    auto n = installTemplates(t.db(), release(QStringLiteral("v2")));
    ASSERT_TRUE(n);
    EXPECT_TRUE(n.value().kept.isEmpty());
    EXPECT_EQ(stored(t.db(), 14801), release(QStringLiteral("v2"))[0].xml);
}

} // namespace
} // namespace ccp::reports
