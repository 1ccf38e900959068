#include "AbiMBen.h"
#include "AbiRDettagli.h"
#include "AbiUSedi.h"
#include "QtTestApp.h"
#include "SqlQuery.h"
#include "TVeDBLookupEdit.h"
#include "TVeQueryCollection.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::ben;
using fw::MsgResult;

namespace {

[[maybe_unused]] static const bool s_qtApplication = test::registerQtApplication("test_beneficiaries");

// ---- seat rules, without a window --------------------------------------------------------------

struct SeatRow
{
    const char *label;
    SeatInput in;
    QList<MsgResult> answers;
    QStringList asked;     // messages in order
    bool ok;
    SeatField focus;
    bool reference;
};

class SeatRules : public ::testing::TestWithParam<SeatRow> {};

TEST_P(SeatRules, AskAndRefuse)
{
    const SeatRow &r = GetParam();
    fw::RecordingMessageSink sink;
    for (MsgResult a : r.answers)
        sink.answer(a);
    const SeatCheck c = checkSeat(r.in);
    QStringList asked;
    for (const auto &e : sink.entries())
        asked << e.text;
    EXPECT_EQ(asked, r.asked);
    EXPECT_EQ(c.ok, r.ok);
    EXPECT_EQ(c.focus, r.focus);
    if (c.ok)
        EXPECT_EQ(c.reference, r.reference);
}

SeatInput seat(bool inserting, bool reference, bool was, int others, const char *cap, bool domestic = true,
               const char *address = "Via Roma 1")
{
    SeatInput in;
    in.inserting = inserting;
    in.reference = reference;
    in.wasReference = was;
    in.otherSeats = others;
    in.cap = QString::fromLatin1(cap);
    in.domestic = domestic;
    in.address = QString::fromLatin1(address);
    return in;
}

INSTANTIATE_TEST_SUITE_P(
    Seats, SeatRules,
    ::testing::Values(
        SeatRow{"first_seat_becomes_reference", seat(true, false, false, 0, "40100"), {}, {}, true, SeatField::None, true},
        SeatRow{"new_reference_with_others_asks_yes", seat(true, true, false, 2, "40100"), {MsgResult::Yes},
                {referenceQuestion()}, true, SeatField::None, true},
        SeatRow{"new_reference_with_others_asks_no", seat(true, true, false, 2, "40100"), {MsgResult::No},
                {referenceQuestion()}, false, SeatField::Reference, true},
        SeatRow{"edit_unticking_reference_refused", seat(false, false, true, 1, "40100"), {},
                {noReferenceMessage()}, false, SeatField::Reference, false},
        SeatRow{"second_seat_not_reference", seat(true, false, false, 1, "40100"), {}, {}, true, SeatField::None, false},
        SeatRow{"empty_address", seat(true, false, false, 0, "40100", true, "  "), {},
                {invalidMessage(QStringLiteral("Indirizzo"))}, false, SeatField::Address, true},
        SeatRow{"empty_cap_domestic", seat(true, false, false, 0, ""), {}, {invalidMessage(QStringLiteral("CAP"))},
                false, SeatField::Cap, true},
        SeatRow{"empty_cap_abroad", seat(true, false, false, 0, "", false), {}, {}, true, SeatField::None, true},
        SeatRow{"four_digits_asks_length", seat(true, false, false, 0, "4010"), {MsgResult::Yes},
                {capLengthQuestion()}, true, SeatField::None, true},
        SeatRow{"four_digits_cancel", seat(true, false, false, 0, "4010"), {MsgResult::Cancel},
                {capLengthQuestion()}, false, SeatField::Cap, true},
        SeatRow{"five_letters_non_numeric_first", seat(true, false, false, 0, "ABCDE"), {MsgResult::Yes},
                {capNotNumericQuestion()}, true, SeatField::None, true},
        SeatRow{"three_letters_both_questions", seat(true, false, false, 0, "ABC"), {MsgResult::Yes, MsgResult::No},
                {capNotNumericQuestion(), capLengthQuestion()}, false, SeatField::Cap, true},
        SeatRow{"zero_cap_is_not_a_number", seat(true, false, false, 0, "00000"), {MsgResult::No},
                {capNotNumericQuestion()}, false, SeatField::Cap, true}),
    [](const ::testing::TestParamInfo<SeatRow> &info) { return std::string(info.param.label); });

// ---- legal data pairs ----------------------------------------------------------------------------

TEST(LegalRules, PairsGoTogether)
{
    struct Row { const char *label; LegalInput in; LegalField expected; };
    const QVariant bologna(123);
    const QList<Row> rows = {
        {"empty", {}, LegalField::None},
        {"year_without_turnover", {QStringLiteral("2024"), QString()}, LegalField::Turnover},
        {"turnover_without_year", {QString(), QStringLiteral("1.500,00")}, LegalField::Year},
        {"both", {QStringLiteral("2024"), QStringLiteral("€ 1.500,00")}, LegalField::None},
        {"ccia_place_without_number", {QString(), QString(), bologna}, LegalField::CciaNumber},
        {"tribunal_number_without_place", {QString(), QString(), {}, {}, {}, QString(), QStringLiteral("12")}, LegalField::TribunalPlace},
        {"prefecture_both", {QString(), QString(), {}, {}, bologna, QString(), QString(), QStringLiteral("7")}, LegalField::None},
    };
    for (const Row &r : rows) {
        fw::RecordingMessageSink sink;
        EXPECT_EQ(checkLegal(r.in), r.expected) << r.label;
        EXPECT_EQ(sink.entries().size(), r.expected == LegalField::None ? 0 : 1) << r.label;
    }
}

// ---- frames on a database ------------------------------------------------------------------------

class DetailFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << t.error().toStdString();
        for (int id : {1, 2, 3})
            exec(QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC) VALUES (%1, 'Ben %1')").arg(id));
        bologna = test::scalar(t.db(), QStringLiteral("SELECT FIRST 1 ISRPCID FROM TSRPC WHERE SSRPCCOMRISTAT = '037006'")).toInt();
        ASSERT_GT(bologna, 0);
    }
    void exec(const QString &sql)
    {
        SqlQuery q(t.db());
        auto s = q.exec(sql);
        ASSERT_TRUE(s.ok()) << sql.toStdString() << " " << s.error().toStdString();
    }
    int count(const QString &sql) { return test::scalar(t.db(), sql).toInt(); }

    test::TestDatabase t;
    fw::RecordingMessageSink sink;
    int bologna = 0;
};

TEST_F(DetailFrameTest, SecondReferenceSeatTakesTheFlagAndAddressIsResolved)
{
    TfrSedi f(t.db());
    f.openFor(1);
    auto *c = f.collection();
    auto addSeat = [&](const QString &address, bool reference, const QString &cap, const QString &fraction) {
        ASSERT_TRUE(f.insert());
        c->setFieldValue(QStringLiteral("SSEBINDIRIZZO"), address);
        c->setFieldValue(QStringLiteral("ISRPCID"), bologna);
        c->setFieldValue(QStringLiteral("SCAPVALUE"), cap);
        c->setFieldValue(QStringLiteral("SFRAQUADESC"), fraction);
        c->setFieldValue(QStringLiteral("LSEBRIFERIMENTO"), reference ? 1 : 0);
        f.OnPostExecute();
        ASSERT_FALSE(c->isEditing()) << sink.lastText().toStdString();
    };
    addSeat(QStringLiteral("Via Uno 1"), false, QStringLiteral("40121"), QString());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TSEB_SEDIBEN WHERE IBENID = 1 AND LSEBRIFERIMENTO = 1")), 1)
        << "the first seat is the reference";
    sink.answer(MsgResult::Yes);
    addSeat(QStringLiteral("Via Due 2"), true, QStringLiteral("40121"), QStringLiteral("Borgo Panigale"));
    EXPECT_EQ(sink.entries().first().text, referenceQuestion());
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT SSEBINDIRIZZO FROM TSEB_SEDIBEN WHERE IBENID = 1 AND LSEBRIFERIMENTO = 1")).toString(),
              QStringLiteral("Via Due 2"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TSEB_SEDIBEN WHERE IBENID = 1")), 2);
    // Same municipality, postcode and hamlet again: the same postcode entry, nothing new.
    const int fractions = count(QStringLiteral("SELECT COUNT(*) FROM TFRAQUA"));
    const int entries = count(QStringLiteral("SELECT COUNT(*) FROM TCOMCAP"));
    addSeat(QStringLiteral("Via Tre 3"), false, QStringLiteral("40121"), QStringLiteral("Borgo Panigale"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TFRAQUA")), fractions);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TCOMCAP")), entries);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(DISTINCT ICOMCAPID) FROM TSEB_SEDIBEN WHERE IBENID = 1 AND SSEBINDIRIZZO <> 'Via Uno 1'")), 1);

    // The reference seat cannot be deleted.
    sink.clear();
    ASSERT_GE(c->locate(count(QStringLiteral("SELECT ISEBID FROM TSEB_SEDIBEN WHERE IBENID = 1 AND LSEBRIFERIMENTO = 1"))).value(), 0);
    EXPECT_FALSE(f.deleteCurrent());
    EXPECT_EQ(sink.lastText(), deleteReferenceMessage());
}

TEST_F(DetailFrameTest, DatabaseHoldsOneReferenceSeatAcrossWorkstations)
{
    exec(QStringLiteral("INSERT INTO TSEB_SEDIBEN (ISEBID, IBENID, SSEBINDIRIZZO, LSEBRIFERIMENTO) VALUES (1, 2, 'A', 1)"));
    QSqlDatabase other = t.openAnother(QStringLiteral("i15_other"));
    SqlQuery q(other);
    const Status s = q.exec(QStringLiteral("INSERT INTO TSEB_SEDIBEN (ISEBID, IBENID, SSEBINDIRIZZO, LSEBRIFERIMENTO) VALUES (2, 2, 'B', 1)"));
    EXPECT_FALSE(s.ok());
    SqlQuery ok(other);
    EXPECT_TRUE(ok.exec(QStringLiteral("INSERT INTO TSEB_SEDIBEN (ISEBID, IBENID, SSEBINDIRIZZO, LSEBRIFERIMENTO) VALUES (3, 3, 'C', 1)")).ok())
        << "another beneficiary has its own";
}

TEST_F(DetailFrameTest, RepresentativeCategoryFollowsItsLinks)
{
    TfrRappresentanti f(t.db());
    auto *c = f.collection();
    auto represent = [&](int who, int whom) {
        f.openFor(whom);
        ASSERT_TRUE(f.insert());
        c->setFieldValue(QStringLiteral("IBENID"), who);
        c->setFieldValue(QStringLiteral("DSTART"), QDate(2024, 1, 1));
        f.OnPostExecute();
        ASSERT_FALSE(c->isEditing()) << sink.lastText().toStdString();
    };
    const QString cat4 = QStringLiteral("SELECT COUNT(*) FROM TBENBCA WHERE IBENID = 3 AND IBCAID = 4");
    represent(3, 1);
    represent(3, 2);
    EXPECT_EQ(count(cat4), 1) << "one category row however many it represents";
    // Removing one link keeps the category; removing the last removes it.
    f.openFor(1);
    ASSERT_GE(c->locate(count(QStringLiteral("SELECT IRPSID FROM TRPS_RAPPR WHERE IBENID_P = 1"))).value(), 0);
    sink.answer(MsgResult::Yes);
    ASSERT_TRUE(f.deleteCurrent());
    EXPECT_EQ(count(cat4), 1);
    f.openFor(2);
    ASSERT_GE(c->locate(count(QStringLiteral("SELECT IRPSID FROM TRPS_RAPPR WHERE IBENID_P = 2"))).value(), 0);
    sink.answer(MsgResult::Yes);
    ASSERT_TRUE(f.deleteCurrent());
    EXPECT_EQ(count(cat4), 0);
}

} // namespace
