#include "ReportPreview.h"
#include "ReportTestUtil.h"

#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace ccp::reports {
namespace {

const char *listXml = R"(<report id="5" title="Elenco">
  <section dataset="frdRighe">
    <detail height="10"><text x="0" y="0" w="100" h="5">Riga [frdRighe."n"]</text></detail>
  </section>
  <pageFooter height="8"><text x="0" y="0" w="100" h="5">Pagina [PAGE] di [PAGES]</text></pageFooter>
</report>)";

std::unique_ptr<SqlDataModule> rows(int n)
{
    DataTable t({QStringLiteral("n")});
    for (int i = 1; i <= n; ++i)
        t.addRow({i});
    auto m = std::make_unique<SqlDataModule>();
    m->setTable(QStringLiteral("frdRighe"), t);
    return m;
}

TEST(ReportPreview, KeysMoveThroughThePages)
{
    TfmReportPreview preview;
    preview.show();
    ASSERT_TRUE(preview.run(test::reportTemplate(listXml).value(), rows(100), {QStringLiteral("Elenco"), {}, {}}));
    ASSERT_EQ(preview.pageCount(), 4);  // 26 rows of 10 mm on a page
    EXPECT_EQ(preview.currentPage(), 0);
    struct Step
    {
        const char *name;
        int key;
        Qt::KeyboardModifiers mods;
        int page;
    };
    const Step steps[] = {
        {"page down", Qt::Key_PageDown, Qt::NoModifier, 1},
        {"end", Qt::Key_End, Qt::NoModifier, 3},
        {"page down at the end", Qt::Key_PageDown, Qt::NoModifier, 3},
        {"page up", Qt::Key_PageUp, Qt::NoModifier, 2},
        {"home", Qt::Key_Home, Qt::ControlModifier, 0},
        {"page up at the start", Qt::Key_PageUp, Qt::NoModifier, 0},
    };
    for (const Step &s : steps) {
        QTest::keyClick(&preview, Qt::Key(s.key), s.mods);
        EXPECT_EQ(preview.currentPage(), s.page) << s.name;
    }
    EXPECT_TRUE(preview.pages().pageTexts(3).contains(QStringLiteral("Pagina 4 di 4")));
}

// Esc (or "Chiudi") in the main window takes the sub-window away too, not only its contents.
TEST(ReportPreview, ClosingInsideTheMainWindowRemovesItsSubWindow)
{
    QMdiArea area;
    auto *preview = new TfmReportPreview;
    QMdiSubWindow *sub = area.addSubWindow(preview);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    area.show();
    sub->show();
    ASSERT_TRUE(preview->run(test::reportTemplate(listXml).value(), rows(3), {QStringLiteral("Elenco"), {}, {}}));
    QPointer<QMdiSubWindow> guard(sub);
    QTest::keyClick(preview, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(area.subWindowList().isEmpty());
    EXPECT_TRUE(guard.isNull());
}

TEST(ReportPreview, StoppedLayoutKeepsItsPagesAndSavesThem)
{
    TfmReportPreview preview;
    preview.show();
    // Stopped as soon as the third page is there, as the stop button does.
    QObject stopper;
    int seen = 0;
    auto *timer = new QTimer(&stopper);
    QObject::connect(timer, &QTimer::timeout, &preview, [&] {
        seen = preview.pageCount();
        if (seen >= 3)
            preview.stop();
    });
    timer->start(0);
    EXPECT_TRUE(preview.run(test::reportTemplate(listXml).value(), rows(3000), {QStringLiteral("Elenco"), {}, {}}));
    EXPECT_GE(preview.pageCount(), 3);
    EXPECT_LT(preview.pageCount(), 100);
    EXPECT_FALSE(preview.pages().complete);
    const QString file = test::tempFile(QStringLiteral("interrotta.pdf"));
    ASSERT_TRUE(preview.savePdf(file));
    EXPECT_TRUE(test::pdfText(file).contains(QStringLiteral("Riga 1")));
}

} // namespace
} // namespace ccp::reports
