#include "FrameworkTestSupport.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeGlobalValues.h"
#include "TVeParamDialog.h"
#include "TestDatabase.h"
#include "TfrVeFilter.h"
#include "VeMessageDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::fw;

namespace {

class ParamDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << qPrintable(t.error());
        manager.setParamSets({QStringLiteral("TST")});
        const ParamDef defs[] = {
            {QStringLiteral("TST_Nome"), QStringLiteral("Nome"), QStringLiteral("Generali"), ParamKind::Text, QStringLiteral("scuola"), QStringLiteral("TST"), 1},
            {QStringLiteral("TST_Conto"), QStringLiteral("Conto"), QStringLiteral("Generali"), ParamKind::List, QString(), QStringLiteral("TST"), 2},
            {QStringLiteral("TST_Anno"), QStringLiteral("Anno"), QStringLiteral("Generali"), ParamKind::List, QString(), QStringLiteral("TST"), 3},
            {QStringLiteral("TST_Stampa"), QStringLiteral("Stampa codici"), QStringLiteral("Stampe"), ParamKind::Check, QStringLiteral("1"), QStringLiteral("TST"), 1},
            {QStringLiteral("TST_Importo"), QStringLiteral("Importo"), QStringLiteral("Stampe"), ParamKind::Hidden, QString(), QStringLiteral("TST"), 2},
            {QStringLiteral("TST_Postale"), QStringLiteral("Ufficio postale"), QStringLiteral("Postali"), ParamKind::Text, QString(), QStringLiteral("TST"), 1},
        };
        for (const ParamDef &d : defs)
            ASSERT_TRUE(manager.define(d).ok());
        ASSERT_TRUE(manager.setValue(QStringLiteral("TST_Conto"), QStringLiteral("12")).ok());
        ASSERT_TRUE(manager.load().ok());
        manager.FillListParam = [](const ParamDef &def, QList<ParamChoice> &items) {
            if (def.key == QStringLiteral("TST_Conto"))
                items = {{11, QStringLiteral("Conto 11")}, {12, QStringLiteral("Conto 12")}};
            else
                items = {{34, QStringLiteral("2025/26")}, {35, QStringLiteral("2026/27")}};
        };
        // A whole category can disappear (e.g. post-office parameters for a bank account).
        manager.BeforeCreateCtrl = [](const ParamDef &def) { return def.key != QStringLiteral("TST_Postale"); };
    }

    test::TestDatabase t;
    RecordingMessageSink messages;
    TVeParamManager manager{t.db(), QStringLiteral("TESTER")};
};

TEST_F(ParamDialogTest, ControlsFollowTheDefinitionsAndOkStoresEveryValue)
{
    TVeParamDialog dialog(manager);
    EXPECT_EQ(dialog.control(QStringLiteral("tst_postale")), nullptr);

    auto *nome = qobject_cast<QLineEdit *>(dialog.control(QStringLiteral("TST_Nome")));
    auto *conto = qobject_cast<QComboBox *>(dialog.control(QStringLiteral("TST_Conto")));
    auto *anno = qobject_cast<QComboBox *>(dialog.control(QStringLiteral("TST_Anno")));
    auto *stampa = qobject_cast<QCheckBox *>(dialog.control(QStringLiteral("TST_Stampa")));
    QWidget *importo = dialog.control(QStringLiteral("TST_Importo"));
    ASSERT_TRUE(nome && conto && anno && stampa && importo);
    EXPECT_EQ(nome->text(), QStringLiteral("scuola"));      // the default
    EXPECT_EQ(conto->currentText(), QStringLiteral("Conto 12"));  // the stored id
    EXPECT_EQ(anno->currentIndex(), -1);                     // nothing stored: no entry
    EXPECT_TRUE(stampa->isChecked());
    EXPECT_FALSE(importo->isVisibleTo(&dialog));

    nome->setText(QStringLiteral("Liceo"));
    stampa->setChecked(false);
    qobject_cast<QLineEdit *>(importo)->setText(QStringLiteral("150.00"));
    dialog.show();
    dialog.okButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    TVeParamManager reread(t.db(), QStringLiteral("TESTER"));
    reread.setParamSets({QStringLiteral("TST")});
    ASSERT_TRUE(reread.load().ok());
    EXPECT_EQ(reread.value(QStringLiteral("TST_Nome")), QStringLiteral("Liceo"));
    EXPECT_EQ(reread.value(QStringLiteral("TST_Conto")), QStringLiteral("12"));
    EXPECT_EQ(reread.value(QStringLiteral("TST_Anno")), QStringLiteral("0"));  // no selection stores "0"
    EXPECT_EQ(reread.value(QStringLiteral("TST_Stampa")), QStringLiteral("0"));
    EXPECT_EQ(reread.value(QStringLiteral("TST_Importo")), QStringLiteral("150.00"));
    EXPECT_EQ(GetValues(QStringLiteral("TST_Nome")).toString(), QStringLiteral("Liceo"));
}

FilterDefinition definition()
{
    FilterDefinition def;
    def.code = QStringLiteral("TEST");
    def.fields = {{QStringLiteral("Ana.sAnaCognome"), QStringLiteral("Cognome"), FilterFieldType::Text},
                  {QStringLiteral("Acb.dStart"), QStringLiteral("Inizio"), FilterFieldType::Date},
                  {QStringLiteral("Acb.fImporto"), QStringLiteral("Importo"), FilterFieldType::Money}};
    return def;
}

TEST(FilterFrame, RowsBecomeConditionsAndBack)
{
    TfrVeFilter frame;
    frame.setDefinition(definition());
    frame.addCondition();
    frame.addCondition();
    ASSERT_EQ(frame.conditionCount(), 2);
    EXPECT_FALSE(frame.row(0).join->isVisibleTo(&frame));  // the first joins nothing
    frame.row(0).field->setCurrentIndex(0);
    frame.row(0).op->setCurrentIndex(frame.row(0).op->findData(int(FilterOperator::StartsWith)));
    QTest::keyClicks(frame.row(0).value, QStringLiteral("O'Neil"));
    frame.row(1).field->setCurrentIndex(2);
    frame.row(1).op->setCurrentIndex(frame.row(1).op->findData(int(FilterOperator::Greater)));
    frame.row(1).join->setCurrentIndex(1);  // O
    frame.row(1).value->setText(QStringLiteral("1.000,50"));

    const TVeFilter f = frame.filter();
    const QList<FilterCondition> expected = {
        {QStringLiteral("Ana.sAnaCognome"), FilterOperator::StartsWith, QStringLiteral("O'Neil"), false},
        {QStringLiteral("Acb.fImporto"), FilterOperator::Greater, QStringLiteral("1.000,50"), true},
    };
    EXPECT_EQ(f.conditions, expected);
    const Result<QString> sql = frame.condition();
    ASSERT_TRUE(sql.ok()) << qPrintable(sql.error());
    EXPECT_TRUE(sql->contains(QStringLiteral("O''NEIL"), Qt::CaseInsensitive)) << qPrintable(*sql);
    EXPECT_TRUE(sql->contains(QStringLiteral(" OR "))) << qPrintable(*sql);

    // Loading a saved filter shows the same rows; removing one drops it.
    TfrVeFilter other;
    other.setDefinition(definition());
    other.setFilter(f);
    EXPECT_EQ(other.filter().conditions, expected);
    other.row(0).remove->click();
    EXPECT_EQ(other.conditionCount(), 1);
    // The one left first joins nothing any more.
    EXPECT_FALSE(other.filter().conditions.first().orWithPrevious);
    EXPECT_FALSE(other.row(0).join->isVisibleTo(&other));
}

TEST(FilterFrame, DialogRefusesAnUnreadableValue)
{
    RecordingMessageSink messages;
    TfmVeFilter dialog;
    dialog.frame()->setDefinition(definition());
    dialog.frame()->addCondition();
    dialog.frame()->row(0).field->setCurrentIndex(1);  // a date
    dialog.frame()->row(0).value->setText(QStringLiteral("31/02/2026"));
    dialog.show();
    dialog.okButton()->click();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(messages.entries().size(), 1);
    EXPECT_EQ(messages.entries()[0].type, MsgType::Error);
    dialog.frame()->row(0).value->setText(QStringLiteral("28/02/2026"));
    dialog.okButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

} // namespace
