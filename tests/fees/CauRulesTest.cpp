#include "CauFixture.h"
#include "EbsUCau.h"
#include "Money.h"
#include "TVeGlobalValues.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace ccp;
using namespace ccp::fees;
using ccp::feescau::CauFixture;

namespace {

using CauRulesTest = CauFixture;

QString idList(const QList<int> &ids)
{
    QStringList s;
    for (int id : ids)
        s << QString::number(id);
    return s.join(u',');
}

TEST_F(CauRulesTest, ComponentLookupOffersByInstitute)
{
    struct Row
    {
        const char *name;
        bool showAll;
        int tipo;
        int dwg;
        QList<int> expected;
    };
    const Row rows[] = {
        {"all institutes", true, 0, -1, {700, 701, 702, 703}},
        {"only without institute", true, 0, 0, {700}},
        {"only institute 10, not the shared ones", true, 0, 10, {701, 703}},
        {"only institute 20", true, 0, 20, {702}},
        {"fees components only", false, 0, -1, {700, 702, 703}},
        {"expense components", true, 1, -1, {704}},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const QString sql = withoutSearchCondition(FilterComponentLookup(r.showAll, r.tipo, 41, r.dwg));
        EXPECT_EQ(idList(ids(sql)), idList(r.expected));
    }
    // Another year lists its own components only.
    EXPECT_EQ(idList(ids(withoutSearchCondition(FilterComponentLookup(true, 0, 40, -1)))), QStringLiteral("705"));
    EXPECT_EQ(dwgFilterOf(QVariant()), 0) << "a causale without institute reads as 0";
    EXPECT_EQ(dwgFilterOf(20), 20);
}

TEST_F(CauRulesTest, CausaleInUseByTaxRegisterOrMovement)
{
    EXPECT_TRUE(CausaleInUse(t.db(), 801).value()) << "tax-register payment";
    EXPECT_FALSE(CausaleInUse(t.db(), 800).value());
    EXPECT_FALSE(CausaleInUse(t.db(), 802).value());
}

TEST_F(CauRulesTest, ChangingAndRemovingLinksRecomputesTheFeesFlag)
{
    fw::TVeQueryCollection *links = ds->xqcCauCca;
    links->setParam(QStringLiteral("iCauId"), 802);
    ASSERT_TRUE(links->open().ok());
    ASSERT_EQ(links->count(), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT lCauRette FROM TCau_Causali WHERE iCauId = 802")).toInt(), 0);
    // Replace the non-fees component (701) with a fees one: the minimum becomes 1.
    ASSERT_TRUE(links->locate(903).ok());
    ASSERT_TRUE(links->edit());
    links->setFieldValue(QStringLiteral("iCcaId"), 700);
    ASSERT_TRUE(links->post()) << qPrintable(sink.lastText());
    EXPECT_EQ(scalar(QStringLiteral("SELECT iCcaId FROM TCauCca WHERE iCauCcaId = 903")).toInt(), 700);
    EXPECT_EQ(scalar(QStringLiteral("SELECT lCauRette FROM TCau_Causali WHERE iCauId = 802")).toInt(), 1);
    // A delete keeps the flag the minimum of what is left.
    exec(QStringLiteral("UPDATE TCca_CompCausali SET lCcaRette = 0 WHERE iCcaId = 703"));
    ASSERT_TRUE(links->locate(903).ok());
    sink.answer(fw::MsgResult::Yes);
    ASSERT_TRUE(links->deleteCurrent());
    EXPECT_EQ(scalar(QStringLiteral("SELECT lCauRette FROM TCau_Causali WHERE iCauId = 802")).toInt(), 0);
    EXPECT_EQ(links->count(), 1);
}

// ---- duplication ----------------------------------------------------------------------------

TEST_F(CauRulesTest, DuplicationOffersOnlyWhatDoesNotExist)
{
    auto c = DuplicationCandidates(t.db(), 40, 41, 10, 0);
    ASSERT_TRUE(c.ok()) << qPrintable(c.error());
    QList<int> offered;
    for (const auto &x : c.value())
        offered << x.cauId;
    std::sort(offered.begin(), offered.end());
    // 900 exists (same code and description); 901 has another code, 904 a code in other case;
    // 902 belongs to institute 20; 905 is an expense causale; 906 is not hidden by the trip
    // causale of institute 20 in the target year.
    EXPECT_EQ(idList(offered), QStringLiteral("901,903,904,906"));

    auto expense = DuplicationCandidates(t.db(), 40, 41, 10, 1);
    ASSERT_EQ(expense->size(), 1);
    EXPECT_EQ(expense->first().cauId, 905);
    EXPECT_TRUE(DuplicationCandidates(t.db(), 41, 41, 10, 0)->isEmpty()) << "a year against itself";
}

TEST_F(CauRulesTest, DuplicationStopsAtAFailureAndKeepsWhatWasCopied)
{
    // Another workstation creates the second one in the meantime.
    exec(QStringLiteral("INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, dStart, dEnd) VALUES (820, 'iscr', 'Iscrizione', 0, 0, '2026-09-01', '2027-08-31')"));
    const DuplicationOutcome out = DuplicateCausali(t.db(), 41, {903, 904, 906});
    EXPECT_FALSE(out.ok());
    EXPECT_EQ(out.copied, 1);
    EXPECT_EQ(out.failedCauId, 904);
    EXPECT_TRUE(out.error.contains(QStringLiteral("esiste già"))) << qPrintable(out.error);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TCau_Causali WHERE sCauSDesc = 'MENSA' AND dStart = '2026-09-01'")).toInt(), 1)
        << "the first copy stays";
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TCauCca Ccc INNER JOIN TCau_Causali Cau ON Cau.iCauId = Ccc.iCauId WHERE Cau.sCauSDesc = 'MENSA' AND Cau.dStart = '2026-09-01'")).toInt(), 1)
        << "with its component";
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TCau_Causali WHERE sCauSDesc = 'GITE' AND iDwgId IS NULL AND dStart = '2026-09-01'")).toInt(), 0)
        << "the third is not attempted";
    // Copied causali are no longer offered.
    auto again = DuplicationCandidates(t.db(), 40, 41, 10, 0);
    QList<int> offered;
    for (const auto &x : again.value())
        offered << x.cauId;
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(idList(offered), QStringLiteral("901,906"));

    const DuplicationOutcome ok = DuplicateCausali(t.db(), 41, {906});
    EXPECT_TRUE(ok.ok());
    EXPECT_EQ(ok.copied, 1);
}

// ---- causale search -------------------------------------------------------------------------

TEST_F(CauRulesTest, SearchListsTheYearWithItsDescriptionAndInstitutes)
{
    auto rows = [&](CauSearchOptions o) {
        QSqlQuery q(t.db());
        const QString sql = withoutSearchCondition(SearchCausaliSql(o));
        EXPECT_TRUE(q.exec(sql)) << qPrintable(sql) << qPrintable(q.lastError().text());
        QStringList out;
        while (q.next())
            out << q.value(1).toString() + u'|' + (q.value(3).isNull() ? QStringLiteral("-") : Money::fromVariant(q.value(3)).toList());
        out.sort();
        return out;
    };
    exec(QStringLiteral("INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, dStart, dEnd) VALUES (810, 'VUOTA', 'Senza componenti', 0, 1, '2026-09-01', '2027-08-31')"));
    CauSearchOptions o;
    o.showAll = true;
    o.tipo = 0;
    o.dwgId = 10;
    o.ansId = 41;
    EXPECT_EQ(rows(o), (QStringList{QStringLiteral("Assicurazione e mensa (A.S.: 2026/2027)|20,50"),
                                    QStringLiteral("Iscrizione (A.S.: 2026/2027)|50,00"),
                                    QStringLiteral("Senza componenti (A.S.: 2026/2027)|-")}))
        << "the trip causale of institute 20 is not listed";
    o.allInstitutes = true;
    EXPECT_EQ(rows(o).size(), 4);
    o.showAll = false;
    EXPECT_EQ(rows(o).size(), 3) << "without the causale outside the fees program";
    o.ansId = 40;
    o.showAll = true;
    EXPECT_TRUE(rows(o).contains(QStringLiteral("Mensa (A.S.: 2025/2026)|40,00")));
}

} // namespace
