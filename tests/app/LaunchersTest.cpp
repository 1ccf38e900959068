#include "AnaFAnagrafiche.h"
#include "AppFixture.h"
#include "EbcMAtt.h"
#include "EbcMParam.h"
#include "EbcUContext.h"
#include "EbcUWindows.h"
#include "EbsMAtt.h"
#include "ModAnaMAtt.h"
#include "TVeGlobalValues.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace ccp;
using namespace ccp::app;
using ccp::apptest::AppTest;

namespace {

// The main window as the launchers see it.
class FakeMain : public EbcMainServices
{
public:
    bool childOpen = false;
    QHash<QString, QWidget *> open;
    int paramDialogs = 0;
    int refreshes = 0;
    bool hasChildWindows() const override { return childOpen; }
    QWidget *FindOpenWindow(const QString &caption) const override
    {
        if (open.contains(caption))
            return open.value(caption);
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == caption)
                return w;
        return nullptr;
    }
    void RefreshPanels() override { ++refreshes; }
    bool OpenParamDialog() override
    {
        ++paramDialogs;
        return true;
    }
};

class LaunchersTest : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        if (HasFatalFailure())
            return;
        att = std::make_unique<TdmEbcAtt>(db(), QStringLiteral("SYSDBA"));
        att->setServices(&main);
    }
    void TearDown() override
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            delete w;
        att.reset();
        AppTest::TearDown();
    }
    void setMovementContext(int ansId, int anfId)
    {
        setContext(QStringLiteral("EBCP_SprIstId"), 200);
        setContext(QStringLiteral("EBSP_CauAnsId"), 34);
        setContext(QStringLiteral("VEUP_AnsId"), ansId);
        setContext(QStringLiteral("EBCP_AnfId"), anfId);
    }
    int windowsTitled(const QString &title) const
    {
        int n = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->windowTitle() == title && !w->isHidden())
                ++n;
        return n;
    }

    FakeMain main;
    std::unique_ptr<TdmEbcAtt> att;
};

struct YearCase
{
    const char *name;
    int ansId;
    int anfId;
    bool opens;
};

class MovementsYearTest : public LaunchersTest, public ::testing::WithParamInterface<YearCase>
{
};

TEST_P(MovementsYearTest, SchoolYearMustFallInTheFinancialYear)
{
    static bool registered = false;
    if (!registered) {
        fw::TVeFormRegistry::instance().registerClass(QStringLiteral("TfmEbcMvm"), [](QWidget *parent) {
            return new QWidget(parent);
        });
        registered = true;
    }
    const YearCase &c = GetParam();
    setMovementContext(c.ansId, c.anfId);
    EXPECT_EQ(att->xafMovimenti->execute(), c.opens);
    if (c.opens) {
        EXPECT_TRUE(m_sink.entries().isEmpty()) << messages().join(u'|').toStdString();
        ASSERT_FALSE(EbcWindows::movements.isNull());
        EXPECT_EQ(EbcWindows::movements->windowTitle(), QStringLiteral("Movimenti"));
        EXPECT_EQ(main.paramDialogs, 0);
    } else {
        ASSERT_EQ(m_sink.entries().size(), 1);
        EXPECT_EQ(m_sink.entries().first().type, fw::MsgType::Error);
        EXPECT_EQ(m_sink.lastText(),
                  QStringLiteral("Impossibile procedere in quanto l'anno scolastico di lavoro 2041/2042\r\nnon rientra "
                                 "nell'esercizio finanziario 2043.\r\n\r\nModificare l'anno scolastico o l'anno "
                                 "finanziario di lavoro."));
        EXPECT_EQ(main.paramDialogs, 1);
        EXPECT_EQ(main.refreshes, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Rule, MovementsYearTest,
                         ::testing::Values(YearCase{"SameId", 41, 41, true}, YearCase{"YearBefore", 41, 42, true},
                                           YearCase{"TwoYearsApart", 41, 43, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(LaunchersTest, MovementsRefusalOpensTheParametersAsTheirCommandDoes)
{
    // A window open: the context must not change under it, so no dialog after the refusal.
    setMovementContext(41, 43);
    setContext(QStringLiteral("VEUP_DwgId"), apptest::Fx::Group);
    main.childOpen = true;
    EXPECT_FALSE(att->xafMovimenti->execute());
    ASSERT_EQ(messages().size(), 2);
    EXPECT_EQ(messages().last(), QStringLiteral("Bisogna chiudere tutte le finestre attive per modificare i parametri."));
    EXPECT_EQ(main.paramDialogs, 0);
    EXPECT_EQ(main.refreshes, 0);

    // No window: the dialog, then everything the command runs after it (group and its members).
    m_sink.clear();
    main.childOpen = false;
    setContext(QStringLiteral("VEUP_AnsId"), 34);
    setContext(QStringLiteral("EBCP_AnfId"), 43);
    auto &ctx = WorkingContext::instance();
    ctx.isGroup = false;
    ctx.institutes.clear();
    EXPECT_FALSE(att->xafMovimenti->execute());
    EXPECT_EQ(main.paramDialogs, 1);
    EXPECT_EQ(main.refreshes, 1);
    EXPECT_TRUE(ctx.isGroup);
    EXPECT_EQ(ctx.institutes, (QList<InstituteEntry>{{QStringLiteral("Scuola A"), 21}}));
}

TEST_F(LaunchersTest, ParametersRefusedWhileAWindowIsOpen)
{
    main.childOpen = true;
    EXPECT_FALSE(att->xacParam->execute());
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Bisogna chiudere tutte le finestre attive per modificare i parametri.")});
    EXPECT_EQ(main.paramDialogs, 0);
    EXPECT_EQ(main.refreshes, 0);

    m_sink.clear();
    main.childOpen = false;
    setContext(QStringLiteral("EBCP_AnfId"), 23);
    setContext(QStringLiteral("EBCP_SprIstId"), 200);
    EXPECT_TRUE(att->xacParam->execute());
    EXPECT_TRUE(m_sink.entries().isEmpty());
    EXPECT_EQ(main.paramDialogs, 1);
    EXPECT_EQ(main.refreshes, 1);
    // After the dialog the user period follows the context.
    EXPECT_EQ(fw::GetValues(QStringLiteral("INIZIOUTENTE")).toDate(), QDate(2023, 2, 1));
}

struct ReportCase
{
    const char *name;
    int account;
    int report;
    QString refusal;
};

class ReportTypeTest : public LaunchersTest, public ::testing::WithParamInterface<ReportCase>
{
};

TEST_P(ReportTypeTest, ReportNeedsItsAccountType)
{
    setContext(QStringLiteral("EBCP_SprIstId"), GetParam().account);
    EXPECT_EQ(att->checkReport(GetParam().report), GetParam().refusal.isEmpty());
    EXPECT_EQ(messages(), GetParam().refusal.isEmpty() ? QStringList() : QStringList{GetParam().refusal});
}

const QString postalOnly =
    QStringLiteral("Il report selezionato è disponibile solo se\r\nil conto di lavoro è di tipo 'postale'.");
const QString cashOnly = QStringLiteral("Il report selezionato è disponibile solo se\r\nil conto di lavoro è di tipo 'cassa'.");

INSTANTIATE_TEST_SUITE_P(Reports, ReportTypeTest,
                         ::testing::Values(ReportCase{"PostalReportOnCash", 201, 14003, postalOnly},
                                           ReportCase{"PostalReportOnPostal", 200, 14003, QString()},
                                           ReportCase{"CashReportOnBank", 202, 14010, cashOnly},
                                           ReportCase{"CashReportOnCash", 201, 14010, QString()},
                                           ReportCase{"OtherReportAnyAccount", 202, 14001, QString()}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(LaunchersTest, InitAnfRefusedWithMovementsOpenBeforeAnyKeyCheck)
{
    QWidget movements;
    main.open.insert(QStringLiteral("Movimenti"), &movements);
    EXPECT_FALSE(att->xafInitAnf->execute());
    EXPECT_EQ(messages(), QStringList{QStringLiteral(
                              "Impossibile procedere con le operazioni di inizio anno\r\nin quanto la finestra Movimenti è aperta.")});
}

TEST_F(LaunchersTest, InitAnfRefusedOnAClosedAccount)
{
    setContext(QStringLiteral("EBCP_SprIstId"), apptest::Fx::ClosedAccount);
    EXPECT_FALSE(att->xafInitAnf->execute());
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Impossibile procedere in quanto il conto corrente è chiuso.")});
}

TEST_F(LaunchersTest, BudgetLaunchersNeedTheFinancialYear)
{
    EXPECT_FALSE(att->ebsAtt().xafAggregati->execute());
    EXPECT_EQ(messages(), QStringList{QStringLiteral("E' necessario impostare l'anno finanziario di lavoro.")});
    m_sink.clear();
    setContext(QStringLiteral("EBCP_AnfId"), 23);
    setContext(QStringLiteral("VEUP_DwgId"), 10);
    EXPECT_FALSE(att->ebsAtt().xafVoci->execute());
    EXPECT_EQ(fw::GetValues(QStringLiteral("ABC_AnfValore")).toInt(), 2023);
    EXPECT_EQ(fw::GetValues(QStringLiteral("ABC_DwgId")).toInt(), 10);
}

TEST_F(LaunchersTest, ReleaseNotesOpenOnceAndDropTheMarker)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    QDir(root.path()).mkpath(QStringLiteral("bin"));
    QDir(root.path()).mkpath(QStringLiteral("etc/Ebc"));
    TdmEbcAtt::setProgramFolder(QDir(root.path()).filePath(QStringLiteral("bin")));
    const QString marker = QDir(root.path()).filePath(QStringLiteral("etc/Ebc/Ebc_Version.txt"));
    QFile(marker).open(QIODevice::WriteOnly);
    // Without the notes: said once, and the marker goes so that it is not said at every start.
    EXPECT_FALSE(att->runReleaseNotes());
    EXPECT_FALSE(QFile::exists(marker));
    ASSERT_EQ(m_sink.entries().size(), 1);
    EXPECT_TRUE(m_sink.lastText().contains(QStringLiteral("Ebc_Notizie.pdf")));
    EXPECT_EQ(att->xasNotizie->directory, QDir::cleanPath(QDir(root.path()).filePath(QStringLiteral("etc/Ebc"))));
    EXPECT_FALSE(att->xasNotizie->enabled);
    TdmEbcAtt::setProgramFolder(QString());
}

TEST_F(LaunchersTest, PeopleRegistryOneWindowPerCaption)
{
    EXPECT_FALSE(att->xafAlunni->execute()) << "the launcher runs the registry's own instead of itself";
    EXPECT_EQ(windowsTitled(QStringLiteral("Alunni")), 1);
    EXPECT_FALSE(att->xafAlunni->execute());
    EXPECT_EQ(windowsTitled(QStringLiteral("Alunni")), 1);
    att->xafTutori->execute();
    EXPECT_EQ(windowsTitled(QStringLiteral("Genitori/tutori")), 1);

    people::TfmAnaAnagrafiche *pupils = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->windowTitle() == QStringLiteral("Alunni"))
            pupils = qobject_cast<people::TfmAnaAnagrafiche *>(w);
    ASSERT_NE(pupils, nullptr);
    EXPECT_EQ(pupils->category(), 1);
    EXPECT_TRUE(pupils->detailsReadOnly());
    EXPECT_EQ(att->modAnaAtt().CategorieNascoste, std::optional<QList<int>>(QList<int>{}));
}

} // namespace
