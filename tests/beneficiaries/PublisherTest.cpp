#include "AbiFBen.h"
#include "AbiMBen.h"
#include "AbiRBen.h"
#include "AbiRDettagli.h"
#include "SqlQuery.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDataSource.h"
#include "TVeQueryCollection.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QTableView>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::ben;

namespace {

class PublisherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << t.error().toStdString();
        for (const char *sql : {"INSERT INTO TEDI_EDITORI (IEDIID, SEDIDESCS, SEDIDESCL) VALUES (7, '88-08', 'Editrice Prova')",
                                "INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, SBENCODFISCALE, SBENPARTITAIVA) VALUES (901, 'Zeta Libri', 'B2', '03')",
                                "INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, SBENCODFISCALE, SBENPARTITAIVA) VALUES (902, 'Alfa Agente', NULL, '01')",
                                "INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, SBENCODFISCALE, SBENPARTITAIVA) VALUES (903, 'Idraulico', 'A1', NULL)",
                                "INSERT INTO TBENBCA (IBENBCAID, IBENID, IBCAID) VALUES (901, 901, 3)",
                                "INSERT INTO TBENBCA (IBENBCAID, IBENID, IBCAID) VALUES (902, 902, 4)",
                                "INSERT INTO TBENBCA (IBENBCAID, IBENID, IBCAID) VALUES (903, 903, 1)"}) {
            SqlQuery q(t.db());
            ASSERT_TRUE(q.exec(QString::fromLatin1(sql)).ok()) << sql;
        }
        dm = std::make_unique<TdmBeneficiari>(t.db());
    }
    QList<int> ids()
    {
        QList<int> out;
        auto *c = dm->xqcBeneficiari();
        c->fetchAll();
        for (int i = 0; i < c->count(); ++i)
            out << c->value(i, QStringLiteral("IBENID")).toInt();
        return out;
    }
    int count(const QString &sql) { return test::scalar(t.db(), sql).toInt(); }

    test::TestDatabase t;
    fw::RecordingMessageSink sink;
    std::unique_ptr<TdmBeneficiari> dm;
};

TEST_F(PublisherTest, PublishersListTheirOwnAndKeepTheirCategoryRow)
{
    ASSERT_TRUE(dm->open(1, 1).ok());
    TfmBeneficiari w(*dm);
    EXPECT_EQ(ids(), (QList<int>{902, 901})) << "publishers and representatives only";

    TfrBeneficiari *f = w.frame();
    auto *c = dm->xqcBeneficiari();
    ASSERT_TRUE(f->insert());
    c->setFieldValue(QStringLiteral("SBENRAGSOC"), QStringLiteral("Nuova Editrice"));
    c->setFieldValue(QStringLiteral("IEDIID"), 7);
    f->dataSource()->reload();
    f->xacPost()->trigger();
    ASSERT_FALSE(c->isEditing()) << sink.lastText().toStdString();
    const int id = count(QStringLiteral("SELECT IBENID FROM TBEN_BENEFICIARI WHERE SBENRAGSOC = 'Nuova Editrice'"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TBENBCA WHERE IBENID = %1 AND IBCAID IN (1, 3)").arg(id)), 2)
        << "a new publisher is legal and a publisher";
    EXPECT_EQ(count(QStringLiteral("SELECT IEDIID FROM TBEN_BENEFICIARI WHERE IBENID = %1").arg(id)), 7);

    // No longer a publisher: it stays in the list as a representative, without its code.
    ASSERT_GE(c->locate(id).value(), 0);
    ASSERT_TRUE(f->edit());
    c->setFieldValue(QStringLiteral("LEDITORE"), 0);
    f->dataSource()->reload();
    f->xacPost()->trigger();
    ASSERT_FALSE(c->isEditing()) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TBENBCA WHERE IBENID = %1 AND IBCAID = 4").arg(id)), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TBENBCA WHERE IBENID = %1 AND IBCAID = 3").arg(id)), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TBEN_BENEFICIARI WHERE IBENID = %1 AND IEDIID IS NULL").arg(id)), 1);
}

} // namespace
