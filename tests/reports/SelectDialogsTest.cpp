#include "EbsFRptSelAnnoScol.h"
#include "EbsFRptSelDate.h"
#include "ReportSelection.h"

#include "SqlQuery.h"
#include "TVeDBDateEdit.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"
#include "TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace ccp::reports {
namespace {

class SelectDialogs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << qPrintable(t.error());
        auto &g = fw::TVeGlobalValuesManager::instance();
        g.SetValues(QStringLiteral("VEUP_AnsId"), 26);
        g.SetValues(QStringLiteral("EBSP_CauAnsId"), 26);
        g.SetValues(QStringLiteral("EBCP_AnfId"), 26);
        g.SetValues(QStringLiteral("VEUP_DwgId"), 3);
        g.SetValues(QStringLiteral("EBSP_PrintBarCode"), 1);
        g.SetValues(QStringLiteral("INIZIOUTENTE"), QDate(2026, 1, 1));
        g.SetValues(QStringLiteral("FINEUTENTE"), QDate(2026, 12, 31));
        g.SetValues(QStringLiteral("EBCP_SprIstId"), test::scalar(t.db(), QStringLiteral("SELECT MIN(iSprIstId) FROM TSprIst")));
    }

    int count(const QString &sql) { return test::scalar(t.db(), sql).toInt(); }

    test::TestDatabase t{true};
};

TEST_F(SelectDialogs, DateEditsRefuseDatesOutsideTheYearOrInTheWrongOrder)
{
    struct Row
    {
        const char *name;
        int anfId;
        QDate start;
        QDate end;
        bool leaveStart;  // else the end edit is left
        bool accepted;
    };
    const Row rows[] = {
        {"last day of the previous year as start", 26, {2025, 12, 31}, {}, true, false},
        {"first day of the year as start", 26, {2026, 1, 1}, {}, true, true},
        {"day after the year's last as end", 26, {2026, 1, 1}, {2027, 1, 1}, false, false},
        {"end before start", 26, {2026, 3, 10}, {2026, 3, 9}, false, false},
        {"start after end", 26, {2026, 3, 10}, {2026, 3, 9}, true, false},
        {"same day", 26, {2026, 3, 10}, {2026, 3, 10}, false, true},
        {"no financial year: any day", 0, {2025, 12, 31}, {2026, 1, 5}, true, true},
    };
    for (const Row &r : rows) {
        TfmEbsRptSelDate d(t.db());
        d.anfId = r.anfId;
        d.show();
        d.startEdit()->setDate(r.start);
        d.endEdit()->setDate(r.end);
        fw::TVeDBDateEdit *left = r.leaveStart ? d.startEdit() : d.endEdit();
        d.endEdit()->setFocus();
        EXPECT_EQ(d.checkDate(left), r.accepted) << r.name;
        if (!r.accepted) {
            EXPECT_EQ(d.focusWidget(), left) << r.name;
            EXPECT_EQ(left->selectedText(), left->text()) << r.name;
        }
        // OK goes through the same checks.
        fw::RecordingMessageSink messages;
        d.accept();
        EXPECT_EQ(d.result() == QDialog::Accepted, r.accepted && r.end.isValid()) << r.name;
        if (d.result() == QDialog::Accepted) {
            EXPECT_EQ(d.dStart, r.start) << r.name;
            EXPECT_EQ(d.dEnd, r.end) << r.name;
        }
    }
}

TEST_F(SelectDialogs, ComponentsKeepTheirTicksAndCountTheTickedOfEachType)
{
    TfmEbsRptSelDateList d(t.db());
    d.setListSelect(QStringLiteral(
        "SELECT Cca.iCcaId, Tcc.iTccId_P, Cca.sCcaLDesc FROM TCca_CompCausali Cca"
        " INNER JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId) WHERE Cca.DDELETE IS NULL ORDER BY 2, 3"));
    d.show();
    QListWidget *list = d.list();
    ASSERT_GE(list->count(), 4);
    const QList<int> untick = {0, 2, list->count() - 1};
    for (int i : untick)
        list->item(i)->setCheckState(Qt::Unchecked);
    d.hide();
    d.dStart = QDate(2026, 2, 1);
    d.show();
    ASSERT_EQ(d.startEdit()->date(), QDate(2026, 2, 1));

    QList<int> ticked;
    for (int i = 0; i < list->count(); ++i) {
        EXPECT_EQ(list->item(i)->checkState() == Qt::Checked, !untick.contains(i)) << "item " << i;
        if (list->item(i)->checkState() == Qt::Checked)
            ticked << list->item(i)->data(Qt::UserRole).toInt();
    }
    // The types of the ticked components, read from the database.
    int expected[5] = {};
    for (int id : ticked) {
        const int type = test::scalar(t.db(), QStringLiteral(
            "SELECT Tcc.iTccId_P FROM TCca_CompCausali Cca INNER JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId)"
            " WHERE Cca.iCcaId = %1").arg(id)).toInt();
        if (type >= 1 && type <= 4)
            ++expected[type];
    }
    int total = 0;
    for (int type = 1; type <= 4; ++type) {
        EXPECT_EQ(d.typeCount(type), expected[type]) << "type " << type;
        total += expected[type];
    }
    EXPECT_GT(total, 0);
    EXPECT_EQ(d.untickedIds().size(), untick.size());
}

TEST_F(SelectDialogs, OnlyAttendingPupilsAndTheOtherCategory)
{
    TfmEbsRptSelAluCau d(t.db(), true);
    d.show();
    const int all = d.rows()->rowCount();
    ASSERT_GT(all, 0);
    EXPECT_TRUE(d.selectText().contains(QStringLiteral("1=1")));
    EXPECT_FALSE(d.selectText().contains(QStringLiteral("**MY_FILTER**")));

    // Make one pupil of the grid a leaver: "Solo frequentanti" leaves them out.
    const int leaver = d.rows()->table().value(0, QStringLiteral("iSitId")).toInt();
    SqlQuery q(t.db());
    ASSERT_TRUE(q.run(QStringLiteral("UPDATE TSit_Situazioni SET iPosAttId = 2 WHERE iSitId = :s"), {{QStringLiteral("s"), leaver}}));
    d.ckFreq()->setChecked(true);
    EXPECT_TRUE(d.selectText().contains(QStringLiteral("iPosAttId=1")));
    EXPECT_EQ(d.rows()->rowCount(), all - 1);
    EXPECT_FALSE(d.rows()->tickedValues(QStringLiteral("iSitId")).contains(leaver));

    const int other = d.cbBen()->findData(6);
    ASSERT_GE(other, 0);
    d.cbBen()->setCurrentIndex(other);
    EXPECT_EQ(d.selectText(), TfmEbsRptSelAluCau::OtherPeopleSql);
    EXPECT_EQ(d.rows()->rowCount(), count(QStringLiteral("SELECT COUNT(*) FROM TAnaCag WHERE iCagId = 6")));
    d.cbBen()->setCurrentIndex(d.cbBen()->findData(1));
    EXPECT_EQ(d.rows()->rowCount(), all - 1);
}

TEST_F(SelectDialogs, PupilsDialogNeedsACausaleAndPrintsOnlyTheTickedPupils)
{
    int shown = 0;
    auto answer = [&](QDialog &dialog) {
        ++shown;
        auto &d = static_cast<TfmEbsRptSelAluCau &>(dialog);
        d.show();
        fw::RecordingMessageSink messages;
        d.accept();
        EXPECT_NE(d.result(), QDialog::Accepted);
        EXPECT_EQ(messages.lastText(), QStringLiteral("Nessuna causale selezionata: impossibile procedere."));
        EXPECT_GT(d.cbCausali()->count(), 1);
        d.cbCausali()->setCurrentIndex(1);
        // Two pupils only.
        d.rows()->tickAll(false);
        d.rows()->setTicked(0, true);
        d.rows()->setTicked(2, true);
        d.accept();
        return d.result();
    };
    auto prepared = selectAndPrepare(t.db(), 14004, nullptr, answer);
    ASSERT_TRUE(prepared) << qPrintable(prepared.error());
    ASSERT_TRUE(prepared.value().has_value());
    EXPECT_EQ(shown, 1);
    auto rows = prepared.value()->data->open(QStringLiteral("frdalunni"), {});
    ASSERT_TRUE(rows) << qPrintable(rows.error());
    EXPECT_EQ(rows.value().rowCount(), 2);
}

TEST_F(SelectDialogs, IncomeCausaliOrOutgoOnesAndTheTickedOnesPrinted)
{
    const int outgo = count(QStringLiteral(
        "SELECT COUNT(*) FROM TCau_Causali Cau INNER JOIN TAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cau.dStart)"
        " AND (Ans.dAnsVeltoFine = Cau.dEnd) WHERE Ans.iAnsId = 26 AND Cau.lCauTipo = 1 AND Cau.DDELETE IS NULL"));
    ASSERT_GE(outgo, 2);
    QVariant dropped;
    auto answer = [&](QDialog &dialog) {
        auto &d = static_cast<TfmEbsSelRptAnnoScolCau &>(dialog);
        d.show();
        const DataTable &income = d.rows()->table();
        for (int r = 0; r < income.rowCount(); ++r)
            EXPECT_EQ(income.value(r, QStringLiteral("lCauTipo")).toInt(), 0);
        d.ckEntrate()->click();
        const DataTable &rows = d.rows()->table();
        EXPECT_EQ(rows.rowCount(), outgo);
        for (int r = 0; r < rows.rowCount(); ++r)
            EXPECT_EQ(rows.value(r, QStringLiteral("lCauTipo")).toInt(), 1);
        dropped = rows.value(0, QStringLiteral("iCauId"));
        d.rows()->setTicked(0, false);
        d.accept();
        return d.result();
    };
    auto prepared = selectAndPrepare(t.db(), 14002, nullptr, answer);
    ASSERT_TRUE(prepared) << qPrintable(prepared.error());
    ASSERT_TRUE(prepared.value().has_value());
    auto printed = prepared.value()->data->open(QStringLiteral("frdcau"), {});
    ASSERT_TRUE(printed) << qPrintable(printed.error());
    EXPECT_EQ(printed.value().rowCount(), outgo - 1);
    for (int r = 0; r < printed.value().rowCount(); ++r) {
        EXPECT_EQ(printed.value().value(r, QStringLiteral("lCauTipo")).toInt(), 1);
        EXPECT_NE(printed.value().value(r, QStringLiteral("iCauId")), dropped);
    }
}

TEST_F(SelectDialogs, ReportFilterBindsTextAndSplitsLongLists)
{
    const QString sql = QStringLiteral("SELECT Cau.sCauSDesc FROM TCau_Causali Cau WHERE (1 = 1) /*AND VERPTFILTER*/");
    const QString code = test::scalar(t.db(), QStringLiteral("SELECT FIRST 1 sCauSDesc FROM TCau_Causali WHERE sCauSDesc IS NOT NULL")).toString();
    QVariantList many;
    for (int i = 0; i < 2500; ++i)
        many << i;
    many << test::scalar(t.db(), QStringLiteral("SELECT MAX(iCauId) FROM TCau_Causali"));
    struct Row
    {
        const char *name;
        QString key;
        QVariantList values;
        int rows;
    };
    const Row rows[] = {
        {"a quote cannot widen the list", QStringLiteral("Cau.sCauSDesc"), {QStringLiteral("x') OR (1 = 1"), code}, 
         count(QStringLiteral("SELECT COUNT(*) FROM TCau_Causali WHERE sCauSDesc = '%1'").arg(code))},
        {"more ids than one list takes", QStringLiteral("Cau.iCauId"), many,
         count(QStringLiteral("SELECT COUNT(*) FROM TCau_Causali WHERE iCauId < 2500 OR iCauId = (SELECT MAX(iCauId) FROM TCau_Causali)"))},
        {"nothing ticked", QStringLiteral("Cau.iCauId"), {}, 0},
    };
    for (const Row &r : rows) {
        const ReportFilter f = keyFilter(r.key, r.values);
        auto table = readTable(t.db(), withFilter(sql, f), f.params);
        ASSERT_TRUE(table) << r.name << ": " << qPrintable(table.error());
        EXPECT_EQ(table.value().rowCount(), r.rows) << r.name;
    }
}

TEST_F(SelectDialogs, AnUnknownDialogIsAnErrorNotAPrint)
{
    TVefrDBDataSet ds;
    ds.ShowSelectForm = true;
    ds.SelectForm = QStringLiteral("TfmNonEsiste");
    auto go = runSelectForm(ds, t.db(), nullptr, [](QDialog &) { return int(QDialog::Accepted); });
    EXPECT_FALSE(go.ok());
}

TEST_F(SelectDialogs, MovementsListFollowsTheTickedComponents)
{
    const int account = fw::TVeGlobalValuesManager::instance().intValue(QStringLiteral("EBCP_SprIstId"));
    TfmEbcRptSelCcaAlu d(t.db());
    d.dStart = QDate(2026, 1, 1);
    d.dEnd = QDate(2026, 12, 31);
    d.anfId = 26;
    d.show();
    auto movements = [&](const QString &componentCondition) {
        return count(QStringLiteral(
            "SELECT COUNT(*) FROM TMvm_MovimentiCcp M WHERE M.iSprIstId = %1 AND M.dMvmDataEc BETWEEN '2026-01-01' AND '2026-12-31'"
            " AND EXISTS (SELECT 1 FROM TMvmCca MC WHERE MC.iMvmId = M.iMvmId AND MC.fMvmCcaImporto > 0 AND %2)")
            .arg(account).arg(componentCondition));
    };
    ASSERT_GT(d.list()->count(), 1);
    QStringList listed;
    for (int i = 0; i < d.list()->count(); ++i)
        listed << d.list()->item(i)->data(Qt::UserRole).toString();
    ASSERT_GT(d.rows()->rowCount(), 0);
    EXPECT_EQ(d.rows()->rowCount(), movements(QStringLiteral("MC.iCcaId IN (%1)").arg(listed.join(u','))));
    for (int i = 1; i < d.list()->count(); ++i)
        d.list()->item(i)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(d.rows()->rowCount(), movements(QStringLiteral("MC.iCcaId = %1").arg(listed.first())));
    d.list()->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(d.rows()->rowCount(), 0);
}

TEST_F(SelectDialogs, ShowingTheSchoolYearKeepsTheTicks)
{
    TfmEbcRptSelDateList d(t.db());
    d.setListSelect(QStringLiteral(
        "SELECT DISTINCT Cca.iCcaId, Tcc.iTccId_P, Cca.sCcaLDesc FROM TCca_CompCausali Cca"
        " INNER JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId)"
        " INNER JOIN VAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cca.dStart)"
        " WHERE (Ans.iAnsId = :iAnfId OR Ans.iAnsId = :iAnfId - 1) ORDER BY 2, 3"),
        {{QStringLiteral("iAnfId"), 26}});
    d.show();
    ASSERT_GT(d.list()->count(), 2);
    const QString plain = d.list()->item(1)->text();
    d.list()->item(1)->setCheckState(Qt::Unchecked);
    d.showYear()->setChecked(true);
    ASSERT_GT(d.list()->count(), 2);
    EXPECT_TRUE(d.list()->item(1)->text().startsWith(plain + QStringLiteral(" - 20"))) << qPrintable(d.list()->item(1)->text());
    EXPECT_EQ(d.list()->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(d.list()->item(0)->checkState(), Qt::Checked);
}

TEST_F(SelectDialogs, SpaceTicksAndUnticksTheCurrentRowAndNoneTickedIsRefused)
{
    TfmEbcElencoXClassi d(t.db());
    d.show();
    ASSERT_GT(d.rows()->rowCount(), 1);
    d.grid()->setFocus();
    d.grid()->setCurrentIndex(d.rows()->index(1, 1));
    QTest::keyClick(d.grid(), Qt::Key_Space);
    EXPECT_FALSE(d.rows()->isTicked(1));
    EXPECT_TRUE(d.filter().condition.contains(QStringLiteral("VCls.iClsId IN (")));
    QTest::keyClick(d.grid(), Qt::Key_Space);
    EXPECT_TRUE(d.rows()->isTicked(1));
    EXPECT_TRUE(d.filter().condition.isEmpty());

    d.rows()->tickAll(false);
    d.startEdit()->setDate(QDate(2026, 9, 1));
    d.endEdit()->setDate(QDate(2026, 10, 1));
    fw::RecordingMessageSink messages;
    d.accept();
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(messages.lastText(), QStringLiteral("Nessuna riga selezionata: impossibile procedere."));
}

TEST_F(SelectDialogs, PupilsInClassOrderKeepTheirTicks)
{
    TfmEbsRptSelAluCau d(t.db(), true);
    d.show();
    ASSERT_GT(d.rows()->rowCount(), 2);
    const QVariant unticked = d.rows()->table().value(0, QStringLiteral("iSitId"));
    d.rows()->setTicked(0, false);
    ASSERT_EQ(d.sortOrder()->count(), 2);
    d.sortOrder()->setCurrentIndex(1);
    const DataTable &rows = d.rows()->table();
    QString previous;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString cls = rows.value(r, QStringLiteral("sClsSDesc")).toString().trimmed();
        EXPECT_LE(QString::localeAwareCompare(previous, cls), 0) << "row " << r;
        previous = cls;
        EXPECT_EQ(d.rows()->isTicked(r), rows.value(r, QStringLiteral("iSitId")) != unticked) << "row " << r;
    }
    EXPECT_EQ(d.rows()->tickedCount(), rows.rowCount() - 1);
}

} // namespace
} // namespace ccp::reports
