#include "AbiFBen.h"
#include "AbiMBen.h"
#include "AbiRBen.h"
#include "SqlQuery.h"
#include "TVeDataSource.h"
#include "TVeQueryCollection.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QAction>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::ben;

namespace {

class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << t.error().toStdString();
        SqlQuery q(t.db());
        for (const char *sql : {"INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, LBENEND) VALUES (901, 'Cartoleria Rossi', 0)",
                                "INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, LBENEND) VALUES (902, 'Ferramenta Bianchi', 0)",
                                "INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, LBENEND, DEND) VALUES (903, 'Tipografia Vecchia', 1, '2020-01-01')"})
            ASSERT_TRUE(q.exec(QString::fromLatin1(sql)).ok());
        dm = std::make_unique<TdmBeneficiari>(t.db());
        ASSERT_TRUE(dm->open().ok());
        w = std::make_unique<TfmBeneficiari>(*dm);
        w->show();
    }
    QStringList names()
    {
        QStringList out;
        auto *c = dm->xqcBeneficiari();
        c->fetchAll();
        for (int i = 0; i < c->count(); ++i)
            out << c->value(i, QStringLiteral("SBENRAGSOC")).toString();
        return out;
    }

    test::TestDatabase t;
    fw::RecordingMessageSink sink;
    std::unique_ptr<TdmBeneficiari> dm;
    std::unique_ptr<TfmBeneficiari> w;
};

TEST_F(WindowTest, SearchWaitsForThePauseAndTheViewSwitches)
{
    EXPECT_TRUE(w->searchEdit()->text().isEmpty()) << "the placeholder is never searched for";
    QTest::keyClicks(w->searchEdit(), QStringLiteral("bian"));
    EXPECT_EQ(names().size(), 2) << "nothing before the pause";
    QTest::qWait(TfmBeneficiari::SearchDelayMs + 300);
    EXPECT_EQ(names(), QStringList{QStringLiteral("Ferramenta Bianchi")});

    w->searchEdit()->clear();
    w->applySearch();
    w->xacStorico()->trigger();
    EXPECT_EQ(names(), QStringList{QStringLiteral("Tipografia Vecchia")});
    w->xacStorico()->trigger();
    EXPECT_EQ(names().size(), 2);
}

TEST_F(WindowTest, ClosingWhileEditingAsks)
{
    TfrBeneficiari *f = w->frame();
    ASSERT_TRUE(f->edit());
    // Cancel keeps the window and the edit; No drops the edit and closes.
    sink.answer(fw::MsgResult::Cancel);
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(dm->xqcBeneficiari()->isEditing());
    sink.answer(fw::MsgResult::No);
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(dm->xqcBeneficiari()->isEditing());
}

TEST_F(WindowTest, NaturalPersonShowsItsFieldsAndPostsFromTheFrame)
{
    TfrBeneficiari *f = w->frame();
    ASSERT_TRUE(f->insert());
    EXPECT_TRUE(f->rbGiuridica->isChecked()) << "a new beneficiary starts as legal";
    f->rbFisica->click();
    EXPECT_TRUE(dm->isNatural());
    auto *c = dm->xqcBeneficiari();
    c->setFieldValue(QStringLiteral("SANACOGNOME"), QStringLiteral("Verdi"));
    c->setFieldValue(QStringLiteral("SANANOME"), QStringLiteral("Anna"));
    c->setFieldValue(QStringLiteral("DANANASCITA"), QDate(1980, 5, 5));
    f->dataSource()->reload();
    f->xacPost()->trigger();
    ASSERT_FALSE(c->isEditing()) << sink.lastText().toStdString();
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM TBEN_BENEFICIARI B INNER JOIN TANA_ANAGRAFICHE A"
                                                  " ON (A.IANAID = B.IANAID) WHERE B.SBENRAGSOC = 'Verdi Anna'")).toInt(), 1);
}

} // namespace
