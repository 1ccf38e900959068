#include "AppFixture.h"
#include "EbcMParam.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "TVeParamDialog.h"

#include <QComboBox>
#include <QLineEdit>

using namespace ccp;
using namespace ccp::app;
using ccp::apptest::AppTest;
using fw::ParamChoice;
namespace K = ParamKeys;

namespace {

QList<int> idsOf(const QList<ParamChoice> &list)
{
    QList<int> out;
    for (const auto &c : list)
        out << c.id.toInt();
    return out;
}

// The dialog as the dependencies see it: lists with a current id, texts, visible rows.
class FakeForm : public ParamForm
{
public:
    FakeForm(EbcParamDependencies &deps, fw::TVeParamManager &manager) : m_deps(deps), m_manager(manager) {}
    QHash<QString, QList<ParamChoice>> lists;
    QHash<QString, QString> values;
    QHash<QString, bool> visible;
    QString accountType;

    void create()
    {
        for (const auto &def : m_manager.definitions()) {
            if (!m_deps.create(def))
                continue;
            values.insert(def.key.toUpper(), m_manager.value(def.key));
            visible.insert(def.key.toUpper(), true);
            if (def.kind == fw::ParamKind::List || def.kind == fw::ParamKind::Institute
                || def.kind == fw::ParamKind::SchoolYear)
                lists.insert(def.key.toUpper(), m_deps.fill(def));
        }
    }
    // The user chooses an entry.
    void choose(const QString &key, int id)
    {
        values.insert(key.toUpper(), QString::number(id));
        m_deps.changed(key);
    }
    QList<int> ids(const QString &key) const { return idsOf(lists.value(key.toUpper())); }

    bool has(const QString &key) const override { return values.contains(key.toUpper()); }
    QString current(const QString &key) const override
    {
        if (!lists.contains(key.toUpper()))
            return values.value(key.toUpper());
        const QString v = values.value(key.toUpper());
        return ids(key).contains(v.toInt()) ? v : QStringLiteral("0");
    }
    void refill(const QString &key) override
    {
        lists.insert(key.toUpper(), m_deps.fill(*m_manager.definition(key)));
        if (!ids(key).contains(values.value(key.toUpper()).toInt()))
            values.insert(key.toUpper(), QStringLiteral("0"));
    }
    void setText(const QString &key, const QString &value) override { values.insert(key.toUpper(), value); }
    void setRowVisible(const QString &key, bool v) override { visible.insert(key.toUpper(), v); }
    void setAccountTypeText(const QString &text) override { accountType = text; }

private:
    EbcParamDependencies &m_deps;
    fw::TVeParamManager &m_manager;
};

class ParamTest : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        if (HasFatalFailure())
            return;
        module = std::make_unique<TdmEbcParam>(db(), QStringLiteral("TEST"));
        ASSERT_TRUE(module->load().ok());
    }
    void store(const QList<std::pair<QString, QString>> &values)
    {
        ASSERT_TRUE(module->manager().setValues(values).ok());
    }
    // Opens the dialog's rules on a fake form.
    FakeForm &open()
    {
        module->dependencies().reset();
        form = std::make_unique<FakeForm>(module->dependencies(), module->manager());
        form->create();
        module->dependencies().attach(form.get());
        return *form;
    }
    std::unique_ptr<TdmEbcParam> module;
    std::unique_ptr<FakeForm> form;
};

TEST_F(ParamTest, ChangingTheSchoolYearRefillsAndWarnsAboutDefaults)
{
    store({{K::AnsId, QStringLiteral("34")}, {K::CauAnsId, QStringLiteral("34")},
           {K::CausaleInId, QStringLiteral("500")}, {K::CausaleOutId, QStringLiteral("0")}});
    FakeForm &f = open();
    EXPECT_EQ(f.ids(K::CauAnsId), (QList<int>{34, 35}));
    f.choose(K::AnsId, 35);
    EXPECT_EQ(f.ids(K::CauAnsId), (QList<int>{35, 36}));
    EXPECT_EQ(f.current(K::CauAnsId), QStringLiteral("0")) << "34 is no longer offered";
    EXPECT_EQ(messages(), QStringList{ParamMessages::MissingDefaultCausali});
    EXPECT_EQ(m_sink.entries().first().type, fw::MsgType::Warning);
}

TEST_F(ParamTest, NoWarningWhenBothDefaultCausaliAreSet)
{
    store({{K::AnsId, QStringLiteral("34")}, {K::CauAnsId, QStringLiteral("34")},
           {K::CausaleInId, QStringLiteral("500")}, {K::CausaleOutId, QStringLiteral("501")}});
    open().choose(K::AnsId, 33);
    EXPECT_TRUE(m_sink.entries().isEmpty());
}

TEST_F(ParamTest, DefaultCausaliFollowTheCausaliYear)
{
    store({{K::AnsId, QStringLiteral("34")}, {K::CauAnsId, QStringLiteral("34")}});
    FakeForm &f = open();
    EXPECT_EQ(f.ids(K::CausaleInId), (QList<int>{500}));
    EXPECT_EQ(f.ids(K::CausaleOutId), (QList<int>{501}));
    f.choose(K::CauAnsId, 35);
    EXPECT_EQ(f.ids(K::CausaleInId), (QList<int>{502}));
    EXPECT_TRUE(f.ids(K::CausaleOutId).isEmpty());
}

TEST_F(ParamTest, UnreadableCausaliYearIsAnErrorAndEmptyLists)
{
    store({{K::CauAnsId, QStringLiteral("nessuno")}});
    FakeForm &f = open();
    EXPECT_TRUE(f.ids(K::CausaleInId).isEmpty());
    EXPECT_TRUE(f.ids(K::CausaleOutId).isEmpty());
    EXPECT_EQ(messages(), QStringList{ParamMessages::MissingCausaliYear}) << "said once for both lists";
    EXPECT_EQ(m_sink.entries().first().type, fw::MsgType::Error);
}

TEST_F(ParamTest, ChoosingADefaultCausaleWritesItsSums)
{
    store({{K::AnsId, QStringLiteral("34")}, {K::CauAnsId, QStringLiteral("34")}});
    FakeForm &f = open();
    f.choose(K::CausaleInId, 500);
    EXPECT_EQ(f.values.value(K::ImpIstCauIn.toUpper()), QStringLiteral("15.75"));
    EXPECT_EQ(f.values.value(K::ImpEraCauIn.toUpper()), QStringLiteral("2.00"));
    f.choose(K::CausaleOutId, 501);
    EXPECT_EQ(f.values.value(K::ImpIstCauOut.toUpper()), QStringLiteral("7.00"));
    EXPECT_EQ(f.values.value(K::ImpIstCauIn.toUpper()), QStringLiteral("15.75")) << "the income sums stay";
}

TEST_F(ParamTest, PostOfficeParametersOnlyForAPostalAccount)
{
    struct Case
    {
        const char *name;
        int account;
        bool postOffice;
        bool statementDate;
    };
    for (const Case &c : {Case{"postal", 200, true, true}, Case{"bank", 202, false, true},
                          Case{"cash", 201, false, false}, Case{"none", 0, false, false}}) {
        store({{K::SprIstId, QString::number(c.account)}});
        FakeForm &f = open();
        EXPECT_EQ(f.has(K::SprCabProvId), c.postOffice) << c.name;
        EXPECT_EQ(f.has(K::SprComuneId), c.postOffice) << c.name;
        EXPECT_EQ(f.has(K::NrUffPostale), c.postOffice) << c.name;
        EXPECT_EQ(f.has(K::MvmDataEc), c.statementDate) << c.name;
    }
}

TEST_F(ParamTest, ChoosingAnotherAccountHidesWhatItDoesNotUse)
{
    store({{K::DwgId, QStringLiteral("10")}, {K::AnfId, QStringLiteral("23")}, {K::SprIstId, QStringLiteral("200")}});
    FakeForm &f = open();
    f.choose(K::SprIstId, 202);
    EXPECT_EQ(f.accountType, QStringLiteral("Bancario"));
    EXPECT_FALSE(f.visible.value(K::SprCabProvId.toUpper()));
    EXPECT_TRUE(f.visible.value(K::MvmDataEc.toUpper()));
    f.choose(K::SprIstId, 201);
    EXPECT_EQ(f.accountType, QStringLiteral("Cassa"));
    EXPECT_FALSE(f.visible.value(K::MvmDataEc.toUpper()));
    EXPECT_EQ(f.ids(K::AnfId), (QList<int>{23})) << "the years of the cash account";
    f.choose(K::SprIstId, 200);
    EXPECT_TRUE(f.visible.value(K::SprCabProvId.toUpper()));
    EXPECT_EQ(f.ids(K::AnfId), (QList<int>{22, 23}));
}

TEST_F(ParamTest, ChoosingABranchNarrowsTheMunicipalities)
{
    store({{K::SprIstId, QStringLiteral("200")}});
    FakeForm &f = open();
    const int all = f.ids(K::SprComuneId).size();
    f.choose(K::SprCabProvId, 100);
    const int province = test::scalar(db(), QStringLiteral(
        "SELECT Srpc.iProId FROM TSpr_SportelliCab Spr JOIN TSrpc Srpc ON Srpc.iSrpcId = Spr.iSrpcId WHERE Spr.iSprId = 100")).toInt();
    const int expected = test::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM TSrpc WHERE dEnd IS NULL AND iProId = %1")
                                                .arg(province)).toInt();
    EXPECT_EQ(f.ids(K::SprComuneId).size(), expected);
    EXPECT_LT(expected, all);
    // Stored branch: the list is narrowed when the dialog opens.
    store({{K::SprCabProvId, QStringLiteral("100")}});
    EXPECT_EQ(open().ids(K::SprComuneId).size(), expected);
}

TEST_F(ParamTest, InstituteAndYearAndAccountFollowEachOther)
{
    store({{K::DwgId, QStringLiteral("10")}, {K::AnfId, QStringLiteral("22")}, {K::SprIstId, QStringLiteral("200")}});
    FakeForm &f = open();
    // Only the postal account was open in 2022.
    EXPECT_EQ(f.ids(K::SprIstId), (QList<int>{200}));
    f.choose(K::AnfId, 23);
    EXPECT_EQ(f.ids(K::SprIstId), (QList<int>{202, 203, 200, 201}));
    // An institute whose accounts all lie outside the year still lists them.
    f.choose(K::DwgId, 21);
    EXPECT_EQ(f.ids(K::AnfId), (QList<int>{41})) << "years with a cash row for the institute";
    EXPECT_EQ(f.current(K::AnfId), QStringLiteral("0"));
    EXPECT_EQ(f.ids(K::SprIstId), (QList<int>{204}));
    f.choose(K::AnfId, 41);
    EXPECT_EQ(f.ids(K::SprIstId), (QList<int>{204})) << "closed in 2021, listed all the same";
}

TEST_F(ParamTest, AListWithoutChoiceStoresZero)
{
    store({{K::DwgId, QStringLiteral("10")}, {K::AnfId, QStringLiteral("23")}, {K::SprIstId, QStringLiteral("200")},
           {K::AnsId, QStringLiteral("34")}, {K::CauAnsId, QStringLiteral("34")}});
    module->dependencies().reset();
    fw::TVeParamDialog dialog(module->manager());
    auto *account = qobject_cast<QComboBox *>(dialog.control(K::SprIstId));
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(account->currentData().toInt(), 200);
    auto *year = qobject_cast<QComboBox *>(dialog.control(K::AnfId));
    ASSERT_NE(year, nullptr);
    year->setCurrentIndex(-1);
    auto *causale = qobject_cast<QComboBox *>(dialog.control(K::CausaleInId));
    ASSERT_NE(causale, nullptr);
    causale->setCurrentIndex(causale->findData(500));
    const auto values = dialog.values();
    auto valueOf = [&values](const QString &key) {
        for (const auto &[k, v] : values)
            if (k.compare(key, Qt::CaseInsensitive) == 0)
                return v;
        return QStringLiteral("<none>");
    };
    EXPECT_EQ(valueOf(K::AnfId), QStringLiteral("0"));
    EXPECT_EQ(valueOf(K::CausaleOutId), QStringLiteral("0"));
    // The dialog's own wiring: the causale's sums reached the hidden key.
    EXPECT_EQ(valueOf(K::ImpIstCauIn), QStringLiteral("15.75"));
}

} // namespace
