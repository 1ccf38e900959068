#include "ReportTreePage.h"

#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace ccp::reports {
namespace {

QStringList nodeTexts(const QTreeWidget *tree)
{
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *tab = tree->topLevelItem(i);
        out << tab->text(0);
        for (int j = 0; j < tab->childCount(); ++j)
            out << QStringLiteral("  ") + tab->child(j)->text(0);
    }
    return out;
}

TEST(ReportTree, VersamentiGoesOnceAtAnyDepth)
{
    const std::vector<ReportInfo> list = {
        {14001, QStringLiteral("Tasse scolastiche"), QStringLiteral("Componenti di causali"), {}},
        {14090, QStringLiteral("Versamenti"), QStringLiteral("Versamenti per alunno"), {}},
        {14091, QStringLiteral("Elenchi"), QStringLiteral("Versamenti"), {}},
    };
    TfrReportTree page({}, {}, nullptr, list);
    EXPECT_TRUE(page.removeNode(QStringLiteral("Versamenti")));
    EXPECT_EQ(nodeTexts(page.tree()), (QStringList{QStringLiteral("Tasse scolastiche"), QStringLiteral("  Componenti di causali"),
                                                   QStringLiteral("Elenchi"), QStringLiteral("  Versamenti")}));
    EXPECT_TRUE(page.removeNode(QStringLiteral("Versamenti")));
    EXPECT_FALSE(page.removeNode(QStringLiteral("Versamenti")));
}

TEST(ReportTree, EnterAndDoubleClickRunThePrintOfTheNodeNotOfATab)
{
    QList<int> asked;
    ReportHost host;
    // Refusing stops the print before its choices are shown.
    host.check = [&](int id) {
        asked << id;
        return false;
    };
    TfrReportTree page({}, host);
    page.resize(300, 400);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    QTreeWidget *tree = page.tree();
    QTreeWidgetItem *tab = tree->topLevelItem(0);
    ASSERT_NE(tab, nullptr);
    ASSERT_GE(tab->childCount(), 2);
    const int first = tab->child(0)->data(0, Qt::UserRole).toInt();
    const int second = tab->child(1)->data(0, Qt::UserRole).toInt();

    tree->setCurrentItem(tab);
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_TRUE(asked.isEmpty());

    tree->setCurrentItem(tab->child(0));
    QTest::keyClick(tree, Qt::Key_Return);
    const QRect rect = tree->visualItemRect(tab->child(1));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(asked, (QList<int>{first, second}));
}

} // namespace
} // namespace ccp::reports
