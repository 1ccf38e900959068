#include "TVeAccess.h"
#include "TVeFilter.h"
#include "TVeGlobalValues.h"
#include "TVeLaunchers.h"
#include "TVeParamManager.h"
#include "TestDatabase.h"
#include "VeExpression.h"

#include <QDate>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::fw;

namespace {

TEST(VeExpressionTest, EvaluatesTheFilterFormsOverRowValues)
{
    const QVariantMap open{{QStringLiteral("DEND"), QVariant(QMetaType(QMetaType::QDate))},
                           {QStringLiteral("LBENEND"), QVariant(QMetaType(QMetaType::Int))},
                           {QStringLiteral("SNAME"), QStringLiteral("ROSSI")}};
    const QVariantMap closed{{QStringLiteral("DEND"), QDate(2024, 3, 1)},
                             {QStringLiteral("LBENEND"), 1},
                             {QStringLiteral("SNAME"), QStringLiteral("VERDI")}};
    const QVariantMap zero{{QStringLiteral("LBENEND"), 0}, {QStringLiteral("SNAME"), QStringLiteral("O'NEIL")}};
    struct Case { const char *name; QString expr; QVariantMap row; bool match; };
    const QList<Case> cases = {
        {"is null", QStringLiteral("dEnd IS NULL"), open, true},
        {"is null, set", QStringLiteral("dEnd IS NULL"), closed, false},
        {"or of null and zero", QStringLiteral("(lBenEnd is null) or (lBenEnd = 0)"), zero, true},
        {"or of null and zero, one", QStringLiteral("(lBenEnd is null) or (lBenEnd = 0)"), closed, false},
        {"like prefix", QStringLiteral("sName LIKE 'RO%'"), open, true},
        {"like prefix, other", QStringLiteral("sName LIKE 'RO%'"), closed, false},
        {"quote in literal", QStringLiteral("sName = 'O''NEIL'"), zero, true},
        {"null comparison is not true", QStringLiteral("lBenEnd <> 1"), open, false},
        {"not of unknown is not true", QStringLiteral("NOT (lBenEnd = 1)"), open, false},
        {"date comparison", QStringLiteral("dEnd >= '2024-01-01' AND dEnd < '2024-12-31'"), closed, true},
        {"and binds tighter", QStringLiteral("lBenEnd = 1 OR lBenEnd = 0 AND sName = 'X'"), closed, true},
        {"not like", QStringLiteral("sName NOT LIKE '%L'"), zero, false},
        {"not like, other", QStringLiteral("sName NOT LIKE '%I'"), zero, true},
    };
    for (const Case &c : cases) {
        auto e = VeExpression::parse(c.expr);
        ASSERT_TRUE(e.ok()) << c.name << qPrintable(e.error());
        EXPECT_EQ(e->matches([&](const QString &f) { return c.row.value(f.toUpper()); }), c.match) << c.name;
    }
    EXPECT_EQ(VeExpression::parse(QStringLiteral("(lBenEnd is null) or (sName = 'O''N')"))->toSql(),
              QStringLiteral("((lBenEnd IS NULL) OR (sName = 'O''N'))"));
    for (const char *bad : {"dEnd IS", "sName = 'x", "a = 1; DROP TABLE T", "a = = 1", "(a = 1", "a = 1)"})
        EXPECT_FALSE(VeExpression::parse(QString::fromUtf8(bad)).ok()) << bad;
}

FilterDefinition coordinates()
{
    return {QStringLiteral("EBC_ACBFL"), QStringLiteral("Coordinate"),
            {{QStringLiteral("Ana.sAnaCognome"), QStringLiteral("Cognome"), FilterFieldType::Text},
             {QStringLiteral("Acb.iMpgId"), QStringLiteral("Modalità"), FilterFieldType::Integer},
             {QStringLiteral("Cac.fCacImporto"), QStringLiteral("Importo"), FilterFieldType::Money},
             {QStringLiteral("Cac.dCacDataScadenza"), QStringLiteral("Scadenza"), FilterFieldType::Date}}};
}

TEST(FilterBuilder, QuotesValuesAndGroupsAndBeforeOr)
{
    TVeFilter f;
    f.conditions = {{QStringLiteral("Ana.sAnaCognome"), FilterOperator::Equal, QStringLiteral("D'Amico")},
                    {QStringLiteral("Cac.fCacImporto"), FilterOperator::GreaterOrEqual, QStringLiteral("1.234,50")},
                    {QStringLiteral("Cac.dCacDataScadenza"), FilterOperator::Less, QStringLiteral("15/03/2024"), true},
                    {QStringLiteral("ana.sanacognome"), FilterOperator::StartsWith, QStringLiteral("50%_")}};
    auto sql = f.toSql(coordinates());
    ASSERT_TRUE(sql.ok()) << qPrintable(sql.error());
    EXPECT_EQ(sql.value(), QStringLiteral("((Ana.sAnaCognome = 'D''Amico') AND (Cac.fCacImporto >= 1234.5000)) OR "
                                          "((Cac.dCacDataScadenza < '2024-03-15') AND "
                                          "(UPPER(Ana.sAnaCognome) LIKE '50\\%\\_%' ESCAPE '\\'))"));
    struct Bad { const char *name; FilterCondition c; };
    const QList<Bad> bad = {
        {"unknown field", {QStringLiteral("1=1) OR (1"), FilterOperator::Equal, QStringLiteral("1")}},
        {"integer with sql", {QStringLiteral("Acb.iMpgId"), FilterOperator::Equal, QStringLiteral("1 OR 1=1")}},
        {"money text", {QStringLiteral("Cac.fCacImporto"), FilterOperator::Equal, QStringLiteral("abc")}},
        {"bad date", {QStringLiteral("Cac.dCacDataScadenza"), FilterOperator::Equal, QStringLiteral("31/02/2024")}},
    };
    for (const Bad &b : bad) {
        TVeFilter one;
        one.conditions = {b.c};
        EXPECT_FALSE(one.toSql(coordinates()).ok()) << b.name;
    }
    EXPECT_EQ(TVeFilter::applyToSelect(QStringLiteral("SELECT * FROM T WHERE a = 1 /*AND VERPTFILTER*/"), QStringLiteral("b = 2")),
              QStringLiteral("SELECT * FROM T WHERE a = 1 AND (b = 2)"));
}

TEST(FilterBuilder, DefinitionsAndSavedFiltersRoundTripThroughXml)
{
    const FilterDefinition def = coordinates();
    auto back = FilterDefinition::fromXml(def.toXml());
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back->fields.size(), def.fields.size());
    EXPECT_EQ(back->fields[2].type, FilterFieldType::Money);
    EXPECT_EQ(back->fields[1].caption, QStringLiteral("Modalità"));
    EXPECT_FALSE(FilterDefinition::fromXml(QStringLiteral("<filterdefinition><field name=\"a; DROP\"/></filterdefinition>")).ok());

    TVeFilter f;
    f.name = QStringLiteral("Scaduti");
    f.conditions = {{QStringLiteral("Ana.sAnaCognome"), FilterOperator::Contains, QStringLiteral("<&'\">")},
                    {QStringLiteral("Acb.iMpgId"), FilterOperator::IsEmpty, {}, true}};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scaduti.xml"));
    ASSERT_TRUE(f.saveToFile(path).ok());
    auto loaded = TVeFilter::loadFromFile(path);
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(loaded->name, f.name);
    EXPECT_EQ(loaded->conditions, f.conditions);
    EXPECT_FALSE(TVeFilter::loadFromFile(dir.filePath(QStringLiteral("none.xml"))).ok());
}

TEST(ParamManager, ValuesAreKeptPerUserAndPublished)
{
    ccp::test::TestDatabase db;
    ASSERT_TRUE(db.ok());
    TVeGlobalValuesManager::instance().clear();
    TVeParamManager anna(db.db(), QStringLiteral("anna"));
    ASSERT_TRUE(anna.load().ok());
    ASSERT_TRUE(anna.define({QStringLiteral("EBCP_MvmDataMov"), QStringLiteral("Data movimento"),
                             QStringLiteral("EBCC_Movimenti"), ParamKind::Date, QString(), QStringLiteral("EBC"), 1}).ok());
    ASSERT_TRUE(anna.define({QStringLiteral("EBCP_MvmBenefCateg"), QStringLiteral("Categoria"),
                             QStringLiteral("EBCC_Movimenti"), ParamKind::List, QStringLiteral("0"), QStringLiteral("EBC"), 2}).ok());
    EXPECT_TRUE(GetValues(QStringLiteral("EBCP_MvmDataMov")).isNull());
    EXPECT_EQ(GetValues(QStringLiteral("EBCP_MvmBenefCateg")).toString(), QStringLiteral("0"));
    ASSERT_TRUE(anna.setValue(QStringLiteral("ebcp_mvmbenefcateg"), QStringLiteral("3")).ok());
    EXPECT_EQ(GetValues(QStringLiteral("EBCP_MvmBenefCateg")).toString(), QStringLiteral("3"));
    EXPECT_FALSE(anna.setValue(QStringLiteral("NON_DEFINITO"), QStringLiteral("1")).ok());

    TVeParamManager bruno(db.db(), QStringLiteral("bruno"));
    ASSERT_TRUE(bruno.load().ok());
    EXPECT_EQ(bruno.value(QStringLiteral("EBCP_MvmBenefCateg")), QStringLiteral("0"));
    EXPECT_EQ(GetValues(QStringLiteral("EBCP_MvmBenefCateg")).toString(), QStringLiteral("0"));
    EXPECT_TRUE(bruno.categories().contains(QStringLiteral("EBCC_Movimenti")));

    TVeParamManager again(db.db(), QStringLiteral("ANNA"));
    again.FillListParam = [](const ParamDef &, QList<ParamChoice> &items) {
        items << ParamChoice{3, QStringLiteral("Alunni")} << ParamChoice{4, QStringLiteral("Altri")};
    };
    ASSERT_TRUE(again.load().ok());
    EXPECT_EQ(again.value(QStringLiteral("EBCP_MvmBenefCateg")), QStringLiteral("3"));
    EXPECT_EQ(again.GetVeuParamValue(QStringLiteral("EBCP_MvmBenefCateg")), QStringLiteral("Alunni"));
    TVeGlobalValuesManager::instance().clear();
}

TEST(AccessProfile, LocalAdministratorHoldsEveryRightOthersOnlyWhatIsGranted)
{
    ccp::test::TestDatabase db;
    ASSERT_TRUE(db.ok());
    auto admin = TVeAccessProfile::load(db.db(), QStringLiteral("SYSDBA"));
    ASSERT_TRUE(admin.ok()) << qPrintable(admin.error());
    EXPECT_TRUE(admin->HasRight(Rights::BarCodeEntry));
    auto mario = TVeAccessProfile::load(db.db(), QStringLiteral("mario"));
    ASSERT_TRUE(mario.ok());
    EXPECT_FALSE(mario->HasRight(Rights::BarCodeEntry));
    ASSERT_TRUE(TVeAccessProfile::grant(db.db(), QStringLiteral("mario"), Rights::BarCodeEntry).ok());
    mario = TVeAccessProfile::load(db.db(), QStringLiteral("MARIO"));
    EXPECT_TRUE(mario->HasRight(Rights::BarCodeEntry));
    EXPECT_FALSE(mario->HasRight(Rights::BudgetWrite));
    ASSERT_TRUE(TVeAccessProfile::revoke(db.db(), QStringLiteral("mario"), Rights::BarCodeEntry).ok());
    EXPECT_FALSE(TVeAccessProfile::load(db.db(), QStringLiteral("mario"))->HasRight(Rights::BarCodeEntry));

    // Rights that cannot be read give none, and say so.
    QString error;
    db.db().close();
    const auto blind = TVeAccessProfile::forSession(db.db(), QStringLiteral("sysdba"), &error);
    EXPECT_FALSE(blind.HasRight(Rights::BarCodeEntry));
    EXPECT_FALSE(blind.isAdministrator());
    EXPECT_TRUE(error.startsWith(QStringLiteral("Impossibile leggere i diritti dell'utente SYSDBA"))) << qPrintable(error);
}

class FakeHost : public TVeLauncherHost
{
public:
    void showForm(QWidget *form, bool modal) override { shown << std::pair{form, modal}; }
    void bringToFront(QWidget *form) override { fronted << form; }
    QList<std::pair<QWidget *, bool>> shown;
    QList<QWidget *> fronted;
};

TEST(Launchers, BeforeExecuteRefusesAndSingleInstanceIsBroughtForward)
{
    FakeHost host;
    TVeAttivazione::setHost(&host);
    int created = 0;
    TVeFormRegistry::instance().registerClass(QStringLiteral("TfmTestLauncher"), [&](QWidget *parent) {
        ++created;
        return new QWidget(parent);
    });
    TdmVeAttivazioni module;
    module.addPage({QStringLiteral("xpgTabelle"), QStringLiteral("Tabelle"), 2, true});
    auto *form = module.add(new TVeAttForm(QStringLiteral("xafTest")));
    form->formClass = QStringLiteral("TfmTestLauncher");
    form->caption = QStringLiteral("Prova");
    bool allow = false;
    int after = 0;
    form->BeforeExecute = [&](TVeAttivazione &) { return allow; };
    form->AfterExecute = [&](TVeAttivazione &) { ++after; };

    EXPECT_FALSE(form->execute());
    EXPECT_EQ(created, 0);
    EXPECT_EQ(after, 0);

    allow = true;
    EXPECT_TRUE(form->execute());
    EXPECT_TRUE(form->execute());
    EXPECT_EQ(created, 1);
    ASSERT_EQ(host.shown.size(), 1);
    EXPECT_EQ(host.fronted, QList<QWidget *>{host.shown.first().first});
    EXPECT_EQ(after, 2);

    delete host.shown.first().first;  // closed: the next launch opens a new window
    EXPECT_TRUE(form->execute());
    EXPECT_EQ(created, 2);
    delete host.shown.last().first;

    form->enabled = false;
    EXPECT_FALSE(form->execute());

    TVeAttivazione::setHost(nullptr);
}

} // namespace
