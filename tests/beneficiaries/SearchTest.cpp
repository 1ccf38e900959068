#include "AbiFBenSearch.h"
#include "AbiFSearchLoco.h"
#include "QtTestApp.h"
#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "TVeQueryModel.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::ben;

namespace {

class SearchTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(t.ok()) << t.error().toStdString(); }
    void run(const QString &sql)
    {
        SqlQuery q(t.db());
        ASSERT_TRUE(q.exec(sql).ok()) << sql.toStdString();
    }
    // A town named like an Italian one, in Germany.
    void addForeignMilano()
    {
        run(QStringLiteral("INSERT INTO TCOM_COMUNI (ICOMID, SCOMDESC, DSTART) VALUES (990001, 'MILANO', '0001/01/01')"));
        run(QStringLiteral("INSERT INTO TSRPC (ISRPCID, ISTAID, ICOMID, IPROID, DSTART) VALUES (990001, 216, 990001, 20000, '0001/01/01')"));
    }
    QList<int> states(fw::TfmVeSearch &f)
    {
        QList<int> out;
        f.collection()->fetchAll();
        for (int i = 0; i < f.collection()->count(); ++i)
            out << f.collection()->value(i, QStringLiteral("ISTAID")).toInt();
        return out;
    }

    test::TestDatabase t;
    fw::RecordingMessageSink sink;
};

const QString Places = QStringLiteral("SELECT P.ISRPCID, P.SCOMDESC, P.SPROSIGLA, P.ISTAID FROM VSRPC P"
                                      " WHERE P.DDELETE IS NULL AND P.SCOMDESC IS NOT NULL AND ##WHERE##");

TEST_F(SearchTest, PlaceSearchNarrowsByNameAndState)
{
    addForeignMilano();
    TfmSearchLoco f(t.db());
    f.setSelectText(Places);
    f.setColumns({fw::SearchColumn::make(QStringLiteral("ISRPCID"), QString(), false, 0, false),
                  fw::SearchColumn::make(QStringLiteral("SCOMDESC"), QStringLiteral("Comune"), true, 300),
                  fw::SearchColumn::make(QStringLiteral("SPROSIGLA"), QStringLiteral("Provincia"), true, 60),
                  fw::SearchColumn::make(QStringLiteral("ISTAID"), QString(), false, 0, false)});
    f.setSearchText(QStringLiteral("milano"));
    f.setStateId(1);
    ASSERT_TRUE(f.openList());
    const QList<int> home = states(f);
    ASSERT_FALSE(home.isEmpty());
    EXPECT_EQ(home.count(1), home.size()) << "only the home state's towns";

    f.setStateId(216);
    EXPECT_EQ(states(f), QList<int>{216});
    EXPECT_EQ(f.collection()->value(0, QStringLiteral("SCOMDESC")).toString(), QStringLiteral("MILANO"));

    f.setStateId(TfmSearchLoco::AllStates);
    EXPECT_EQ(states(f).size(), home.size() + 1);

    // A quote in the text is a letter like the others.
    f.setSearchText(QStringLiteral("D'ARCO"));
    EXPECT_TRUE(sink.entries().isEmpty()) << sink.lastText().toStdString();
}

TEST_F(SearchTest, BeneficiarySearchLooksInTheColumnOfTheCursor)
{
    run(QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, SBENCODFISCALE) VALUES (901, 'Cartoleria Rss', 'AAA111')"));
    run(QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, SBENCODFISCALE) VALUES (902, 'Bianchi', 'RSSBNC')"));
    TfmAbiBenSearch f(t.db());
    f.setSelectText(QStringLiteral("SELECT B.IBENID, B.SBENRAGSOC, B.SBENCODFISCALE FROM TBEN_BENEFICIARI B WHERE ##WHERE##"));
    f.setColumns({fw::SearchColumn::make(QStringLiteral("IBENID"), QString(), false, 0, false),
                  fw::SearchColumn::make(QStringLiteral("SBENRAGSOC"), QStringLiteral("Ragione sociale"), true, 300),
                  fw::SearchColumn::make(QStringLiteral("SBENCODFISCALE"), QStringLiteral("Codice fiscale"), true, 150)});
    ASSERT_TRUE(f.openList());
    const auto ids = [&f] {
        QList<int> out;
        f.collection()->fetchAll();
        for (int i = 0; i < f.collection()->count(); ++i)
            out << f.collection()->value(i, QStringLiteral("IBENID")).toInt();
        return out;
    };
    f.setSearchText(QStringLiteral("rss"));
    EXPECT_EQ(ids(), QList<int>{901}) << "the name column first";

    f.setSearchText(QStringLiteral("bnc"));
    ASSERT_TRUE(ids().isEmpty());
    QTest::keyClick(f.searchEdit(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(f.grid()->currentIndex().column(), 1) << "the keyboard moves to the next column";
    EXPECT_TRUE(f.searchText().isEmpty()) << "another column starts afresh";
    EXPECT_EQ(ids().size(), 2);
    f.setSearchText(QStringLiteral("rss"));
    EXPECT_EQ(ids(), QList<int>{902});
    EXPECT_EQ(f.grid()->currentIndex().column(), 1) << "the search keeps the cursor in its column";
}

class MultiSelectTest : public SearchTest
{
protected:
    void SetUp() override
    {
        SearchTest::SetUp();
        // id, name, historicized, traceability done, fiscal code, seats, bank details
        struct Row { int id; const char *name; const char *end; const char *tracc; const char *cf; bool seat; bool bank; };
        const Row rows[] = {{1, "Alfa completa", "0", "1", "'CF1'", true, true},
                            {2, "Beta senza sede", "NULL", "0", "'CF2'", false, true},
                            {3, "Gamma senza codice", "0", "NULL", "''", true, true},
                            {4, "Delta storica", "1", "1", "'CF4'", true, true},
                            {5, "Epsilon senza conto", "0", "1", "NULL", true, false}};
        for (const Row &r : rows) {
            run(QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, LBENEND, LBENOBBLTRACC, SBENCODFISCALE)"
                               " VALUES (%1, '%2', %3, %4, %5)")
                    .arg(r.id).arg(QString::fromLatin1(r.name), QString::fromLatin1(r.end), QString::fromLatin1(r.tracc),
                                   QString::fromLatin1(r.cf)));
            if (r.seat)
                run(QStringLiteral("INSERT INTO TSEB_SEDIBEN (ISEBID, IBENID, SSEBINDIRIZZO) VALUES (%1, %1, 'Via Roma')").arg(r.id));
            if (r.bank)
                run(QStringLiteral("INSERT INTO TSPRBEN (ISPRBENID, IBENID) VALUES (%1, %1)").arg(r.id));
        }
    }
    QList<int> listed(TfmAbiMultiSelectBen &d)
    {
        QList<int> out;
        for (int r = 0; r < d.rowCount(); ++r)
            out << d.grid->item(r, 0)->data(Qt::UserRole).toInt();
        std::sort(out.begin(), out.end());
        return out;
    }
};

TEST_F(MultiSelectTest, BoxesAndTextNarrowTheList)
{
    struct Case { const char *label; bool storico, tracc, oil; const char *text; QList<int> ids; };
    const Case cases[] = {
        {"active, empty flag counts as active", false, false, false, "", {1, 2, 3, 5}},
        {"historicized only", true, false, false, "", {4}},
        {"traceability to fulfil, empty flag included", false, true, false, "", {2, 3}},
        {"oil data incomplete: no seat, no code, no bank", false, false, true, "", {2, 3, 5}},
        {"typed name, any case", false, false, false, "SENZA", {2, 3, 5}},
        {"typed name with a quote", false, false, false, "l'alfa", {}},
    };
    for (const Case &c : cases) {
        TfmAbiMultiSelectBen d(t.db());
        d.ckStorico->setChecked(c.storico);
        d.ckTracciabilita->setChecked(c.tracc);
        d.ckOil->setChecked(c.oil);
        d.edFiltra->setText(QString::fromLatin1(c.text));
        ASSERT_TRUE(d.applyFilter()) << c.label;
        EXPECT_EQ(listed(d), c.ids) << c.label;
    }
}

TEST_F(MultiSelectTest, OkGivesTheTickedIdsAndRefusesNone)
{
    TfmAbiMultiSelectBen d(t.db());
    d.show();
    ASSERT_EQ(d.rowCount(), 4);
    d.accept();
    EXPECT_EQ(sink.lastText(), QStringLiteral("Non è stato selezionato nessun beneficiario."));
    EXPECT_EQ(d.result(), QDialog::Rejected);
    d.setTicked(0, true);
    d.setTicked(2, true);
    const QList<int> expected{d.grid->item(0, 0)->data(Qt::UserRole).toInt(), d.grid->item(2, 0)->data(Qt::UserRole).toInt()};
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.selectedIds(), expected);

    // A box clicked filters again: the ticks go, except that the third box ticks every row.
    QTest::mouseClick(d.ckTracciabilita, Qt::LeftButton, {}, QPoint(5, d.ckTracciabilita->height() / 2));
    EXPECT_TRUE(d.selectedIds().isEmpty());
    QTest::mouseClick(d.ckOil, Qt::LeftButton, {}, QPoint(5, d.ckOil->height() / 2));
    EXPECT_EQ(d.selectedIds().size(), d.rowCount());
    EXPECT_GT(d.rowCount(), 0);
}

} // namespace
