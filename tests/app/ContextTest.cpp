#include "AppFixture.h"
#include "EbcUContext.h"
#include "TVeGlobalValues.h"

using namespace ccp;
using namespace ccp::app;
using ccp::apptest::AppTest;

namespace {

struct KeysCase
{
    const char *name;
    QList<std::pair<QString, QVariant>> values;
    QString keys;
    bool ok;
    QString message;
};

class CheckContextKeysTest : public AppTest, public ::testing::WithParamInterface<KeysCase>
{
};

TEST_P(CheckContextKeysTest, ComposesOneWarning)
{
    const KeysCase &c = GetParam();
    for (const auto &[key, value] : c.values)
        setContext(key, value);
    EXPECT_EQ(CheckContextKeys(c.keys), c.ok);
    if (c.ok) {
        EXPECT_TRUE(m_sink.entries().isEmpty());
    } else {
        ASSERT_EQ(m_sink.entries().size(), 1);
        EXPECT_EQ(m_sink.entries().first().text, c.message);
        EXPECT_EQ(m_sink.entries().first().type, fw::MsgType::Warning);
        EXPECT_EQ(m_sink.entries().first().buttons, fw::MsgButtons::Ok);
    }
}

const QString threeKeys = QStringLiteral("VEUP_DwgId,EBCP_AnfId,EBCP_SprIstId");

INSTANTIATE_TEST_SUITE_P(
    Messages, CheckContextKeysTest,
    ::testing::Values(
        KeysCase{"ThreeMissing", {}, threeKeys, false,
                 QStringLiteral("E' necessario impostare l'istituto di lavoro, l'anno finanziario e il conto.")},
        KeysCase{"TwoMissingCommaBecomesAnd", {{QStringLiteral("EBCP_AnfId"), 42}}, threeKeys, false,
                 QStringLiteral("E' necessario impostare l'istituto di lavoro e il conto.")},
        KeysCase{"ZeroAndTextCountAsMissing",
                 {{QStringLiteral("VEUP_DwgId"), QStringLiteral("0")}, {QStringLiteral("EBCP_AnfId"), QStringLiteral("abc")},
                  {QStringLiteral("EBCP_SprIstId"), 200}},
                 threeKeys, false, QStringLiteral("E' necessario impostare l'istituto di lavoro e l'anno finanziario.")},
        KeysCase{"AllSet",
                 {{QStringLiteral("VEUP_DwgId"), 10}, {QStringLiteral("EBCP_AnfId"), QStringLiteral("42")},
                  {QStringLiteral("EBCP_SprIstId"), 200}},
                 threeKeys, true, QString()}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(AppTest, AccountTypeFollowsTheAccountsBank)
{
    EXPECT_EQ(accountType(db(), apptest::Fx::PostalAccount), QStringLiteral("Postale"));
    EXPECT_EQ(accountType(db(), apptest::Fx::CashAccount), QStringLiteral("Cassa"));
    EXPECT_EQ(accountType(db(), apptest::Fx::BankAccount), QStringLiteral("Bancario"));
    EXPECT_EQ(accountType(db(), apptest::Fx::PlainBankAccount), QStringLiteral("Bancario"));
    EXPECT_EQ(accountType(db(), apptest::Fx::OtherBankAccount), QString());
    EXPECT_EQ(accountType(db(), 9999), QString());
}

TEST_F(AppTest, UserPeriodWithoutOwnDatesIsTheCalendarYear)
{
    auto p = readUserPeriod(db(), apptest::Fx::PostalAccount, 2022);
    ASSERT_TRUE(p.ok()) << p.error().toStdString();
    EXPECT_EQ(p.value().start, QDate(2022, 1, 1));
    EXPECT_EQ(p.value().end, QDate(2022, 12, 31));
}

TEST_F(AppTest, WorkingContextRecomputesFromTheGlobalValues)
{
    setContext(QStringLiteral("EBCP_AnfId"), QStringLiteral("23"));
    setContext(QStringLiteral("EBCP_SprIstId"), QStringLiteral("200"));
    setContext(QStringLiteral("VEUP_DwgId"), QStringLiteral("10"));
    auto &ctx = WorkingContext::instance();
    ctx.refreshPeriod(db());
    EXPECT_EQ(ctx.financialYear(), 2023);
    EXPECT_EQ(fw::GetValues(QStringLiteral("INIZIOUTENTE")).toDate(), QDate(2023, 2, 1));
    EXPECT_EQ(fw::GetValues(QStringLiteral("FINEUTENTE")).toDate(), QDate(2024, 1, 31));
    ctx.publishBudget(db());
    // The institute's own start, the financial year's own end.
    EXPECT_EQ(ctx.budget.start, QDate(2023, 2, 1));
    EXPECT_EQ(ctx.budget.end, QDate(2023, 12, 31));
    EXPECT_EQ(fw::GetValues(QStringLiteral("ABC_AnfValore")).toInt(), 2023);
    setContext(QStringLiteral("EBCP_AnfId"), QStringLiteral("22"));
    ctx.refreshPeriod(db());
    ctx.publishBudget(db());
    EXPECT_FALSE(ctx.budget.start.isValid()) << "no row of the institute for 2022";
}

TEST_F(AppTest, InstituteListOfASingleOwner)
{
    EXPECT_FALSE(instituteIsGroup(db(), apptest::Fx::SingleInstitute));
    auto list = instituteList(db(), apptest::Fx::SingleInstitute, false, 0);
    ASSERT_TRUE(list.ok()) << list.error().toStdString();
    EXPECT_EQ(list.value(), (QList<InstituteEntry>{{QStringLiteral("Istituto Uno"), 10}}));
}

TEST_F(AppTest, InstituteListOfAGroupFollowsTheSchoolYear)
{
    EXPECT_TRUE(instituteIsGroup(db(), apptest::Fx::Group));
    // 2022/2023: the member that left in 2020 and the accounting owner are out.
    auto now = instituteList(db(), apptest::Fx::Group, true, 34);
    ASSERT_TRUE(now.ok()) << now.error().toStdString();
    EXPECT_EQ(now.value(), (QList<InstituteEntry>{{QStringLiteral("Scuola A"), 21}}));
    // 2019/2020 starts while both were members.
    auto then = instituteList(db(), apptest::Fx::Group, true, 30);
    ASSERT_TRUE(then.ok());
    EXPECT_EQ(then.value(), (QList<InstituteEntry>{{QStringLiteral("Scuola A"), 21}, {QStringLiteral("Scuola B"), 22}}));
    // No working school year: the list stays empty.
    auto none = instituteList(db(), apptest::Fx::Group, true, 0);
    ASSERT_TRUE(none.ok());
    EXPECT_TRUE(none.value().isEmpty());
}

} // namespace
