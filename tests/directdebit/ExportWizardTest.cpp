#include "AcbFixture.h"
#include "EbcFExpBanche.h"
#include "EbcUSddExport.h"
#include "ReportStore.h"
#include "RidReader.h"
#include "StampeContestuali.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace ccp::acbtest {

using namespace ccp::directdebit;

// The wizard on the demo school, October 2026, with its own main directory and home folder.
class ExportWizard : public AcbFixture
{
protected:
    void SetUp() override
    {
        AcbFixture::SetUp();
        home = qgetenv("HOME");
        qputenv("HOME", root.path().toUtf8());
        ASSERT_TRUE(installShippedLayouts(root.path()).ok());
        w = std::make_unique<TfwEbcExport_Banche>(t.db(), root.path());
        w->deDal->setDate(QDate(2026, 10, 1));
        w->deAl->setDate(QDate(2026, 10, 31));
        firstMovement = count(QStringLiteral("SELECT MAX(iMvmId) FROM TMvm_MovimentiCcp")) + 1;
    }
    void TearDown() override
    {
        w.reset();
        qputenv("HOME", home);
        AcbFixture::TearDown();
    }

    // To the export page with every class checked and `pick` pupils selected (none: all).
    void toExport(int pick = 0)
    {
        ASSERT_TRUE(w->next());
        w->pmClassi->actions().at(0)->trigger();   // "Seleziona tutto"
        ASSERT_GT(w->grAlunni->topLevelItemCount(), pick);
        for (int i = 0; i < pick; ++i)
            w->grAlunni->topLevelItem(i)->setSelected(true);
        ASSERT_TRUE(w->next());
        w->edMittente->setText(QStringLiteral("AB123"));
        w->rebuildDispositions();
        w->edFileExport->setText(QDir(root.path()).filePath(QStringLiteral("RID.Txt")));
    }

    int newMovements() { return count(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp WHERE iMvmId >= %1").arg(firstMovement)); }

    QTemporaryDir root;
    QByteArray home;
    std::unique_ptr<TfwEbcExport_Banche> w;
    int firstMovement = 0;
};

TEST_F(ExportWizard, ThePagesLeadFromTheClassesToTheDispositionsOfTheOnlyBank)
{
    EXPECT_EQ(w->cbModPagamento->currentText(), QStringLiteral("RID"));
    ASSERT_TRUE(w->next());
    ASSERT_GT(w->lbClassi->count(), 0);
    EXPECT_EQ(w->grAlunni->topLevelItemCount(), 0);   // no class checked yet
    w->lbClassi->item(0)->setCheckState(Qt::Checked);
    const int oneClass = w->grAlunni->topLevelItemCount();
    w->pmClassi->actions().at(2)->trigger();          // "Inverti selezione"
    EXPECT_EQ(w->lbClassi->item(0)->checkState(), Qt::Unchecked);
    EXPECT_GT(w->grAlunni->topLevelItemCount(), oneClass);

    ASSERT_TRUE(w->next());
    EXPECT_EQ(w->cbBanca->currentText(), QStringLiteral("CBI RID standard"));
    QSet<int> payers;
    for (const DetailRow &r : w->detailRows())
        payers.insert(r.iAnaIdGen);
    EXPECT_EQ(w->lbNumDisposizioni->text().toInt(), payers.size());

    // Every disposition carries the sender typed after the page was entered.
    w->edMittente->setText(QStringLiteral("ZZ999"));
    Q_EMIT w->edMittente->editingFinished();
    for (const Disposition &d : w->dispositions())
        EXPECT_EQ(d.data.mittente, QStringLiteral("ZZ999"));
    w->edNOME_SUPPORTO->setText(QStringLiteral("RID/03"));
    Q_EMIT w->edNOME_SUPPORTO->editingFinished();
    EXPECT_EQ(QFileInfo(w->edFileExport->text()).fileName(),
              QStringLiteral("RID03") + QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".Txt"));
}

// Dates are typed as everywhere else in the program and count even while the focus is still
// in the field; an emptied date stops the page.
TEST_F(ExportWizard, TypedDatesCountWhenThePageIsLeft)
{
    w->deDal->selectAll();
    QTest::keyClicks(w->deDal, QStringLiteral("01092026"));
    w->deAl->selectAll();
    QTest::keyClicks(w->deAl, QStringLiteral("31/12/2026"));
    ASSERT_TRUE(w->next());
    EXPECT_EQ(w->deDal->date(), QDate(2026, 9, 1));
    EXPECT_EQ(w->deAl->date(), QDate(2026, 12, 31));
    ASSERT_TRUE(w->prior());
    w->deAl->selectAll();
    QTest::keyClick(w->deAl, Qt::Key_Delete);
    EXPECT_FALSE(w->next());
    EXPECT_EQ(messages.lastText(), QStringLiteral("Indicare le date di scadenza dei dati da esportare."));
}

TEST_F(ExportWizard, OnlyTheSelectedPupilsAreExported)
{
    toExport(1);
    ASSERT_FALSE(w->detailRows().isEmpty());
    for (const DetailRow &r : w->detailRows())
        EXPECT_EQ(r.iAnaId, w->detailRows().first().iAnaId);
    EXPECT_EQ(w->lbNumDisposizioni->text(), QStringLiteral("1"));
}

TEST_F(ExportWizard, DecliningTheReplacementChangesNothing)
{
    toExport();
    w->ckCreaMovimento->setChecked(true);
    QFile old(w->edFileExport->text());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous");
    old.close();
    messages.answer(fw::MsgResult::No);
    w->accept();
    EXPECT_EQ(messages.lastText(), ExpText::ReplaceFile);
    EXPECT_NE(w->result(), QDialog::Accepted);
    QFile f(w->edFileExport->text());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("previous"));
    EXPECT_FALSE(QFileInfo::exists(bankIniPath(root.path())));
    EXPECT_EQ(newMovements(), 0);
}

TEST_F(ExportWizard, OkWritesTheFileBooksTheMovementsAndRemembersTheBank)
{
    toExport();
    w->ckCreaMovimento->setChecked(true);
    QString opened;
    w->OpenFolder = [&](const QString &folder) { opened = folder; };
    messages.answer(fw::MsgResult::Yes);   // open the folder
    w->accept();
    EXPECT_EQ(messages.lastText(), ExpText::Produced);
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_EQ(QDir(opened), QDir(root.path()));
    QFile f(w->edFileExport->text());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const RidFile rid = readRid(f.readAll());
    ASSERT_TRUE(rid.error.isEmpty()) << qPrintable(rid.error);
    EXPECT_EQ(rid.dispositions.size(), w->dispositions().size());
    EXPECT_EQ(newMovements(), w->detailRows().size());
    const BankIni ini = readBankIni(root.path());
    EXPECT_EQ(ini.mittente, QStringLiteral("AB123"));
    EXPECT_EQ(ini.banca, QStringLiteral("CBI RID standard"));
}

TEST_F(ExportWizard, TheSepaFormatAsksForTheSchoolsSepaDataBeforeWritingItsFile)
{
    toExport();
    w->selectBank(QStringLiteral("SEPA SDD (CBI XML)"));
    const QString path = QDir(root.path()).filePath(QStringLiteral("SDD.xml"));
    w->edFileExport->setText(path);

    // A creditor identifier with wrong check digits: refused before the file, focus on it.
    w->edIdCreditore->setText(QStringLiteral("IT00ZZZ80012345678"));
    w->edCUC->setText(QStringLiteral("1234567A"));
    w->accept();
    EXPECT_TRUE(messages.lastText().contains(QStringLiteral("cifre di controllo"))) << qPrintable(messages.lastText());
    EXPECT_FALSE(QFileInfo::exists(path));

    // IT + check digits over 80012345678 followed by IT00 (98 - 80012345678182900 mod 97 = 48).
    w->edIdCreditore->setText(QStringLiteral("IT48ZZZ80012345678"));
    w->ckCreaMovimento->setChecked(true);
    messages.answer(fw::MsgResult::No);
    w->accept();
    ASSERT_EQ(messages.lastText(), ExpText::Produced);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("<Id>IT48ZZZ80012345678</Id>"));
    EXPECT_EQ(newMovements(), w->detailRows().size());
    EXPECT_EQ(SddSettings::load(bankIniPath(root.path())).cuc, QStringLiteral("1234567A"));

    // The next time the remembered SEPA format comes back with its data and an .xml file.
    TfwEbcExport_Banche again(t.db(), root.path());
    ASSERT_TRUE(again.next());
    ASSERT_TRUE(again.next());
    EXPECT_EQ(again.cbBanca->currentText(), QStringLiteral("SEPA SDD (CBI XML)"));
    EXPECT_EQ(again.edIdCreditore->text(), QStringLiteral("IT48ZZZ80012345678"));
    EXPECT_TRUE(again.edFileExport->text().endsWith(QStringLiteral(".xml"))) << qPrintable(again.edFileExport->text());
}

namespace {

// Keeps what the contextual print would preview.
struct CapturedPrint : reports::TReportActivation
{
    Status preview(int id, int, std::unique_ptr<reports::DataModule> d, const reports::PdfInfo &) override
    {
        reportId = id;
        data = std::move(d);
        return {};
    }
    Status exportPdf(int, int, reports::DataModule &, const QString &, const reports::PdfInfo &) override { return {}; }
    int reportId = -1;
    std::unique_ptr<reports::DataModule> data;
};

} // namespace

// Each button prints its category's shipped report on the rows the page shows.
TEST_F(ExportWizard, ThePrintsReadTheDetailRowsAndTheDispositions)
{
    ASSERT_TRUE(reports::installTemplates(t.db()).ok());
    toExport();
    CapturedPrint captured;
    w->PrintActivation = &captured;
    qint64 cents = 0;
    for (const DetailRow &r : w->detailRows())
        cents += r.importo;
    struct Row { const char *name; QPushButton *button; int reportId; const char *dataSet; qsizetype rows; };
    const Row rows[] = {{"Riepilogo", w->btRiepilogo, 14020, "frriepilogopagam", w->detailRows().size()},
                        {"Brogliaccio", w->btBrogliaccio, 14021, "frbrogliaccioesp", w->dispositions().size()}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        captured.reportId = -1;
        r.button->click();
        ASSERT_EQ(captured.reportId, r.reportId) << qPrintable(messages.lastText());
        auto table = captured.data->open(QString::fromLatin1(r.dataSet), {});
        ASSERT_TRUE(table.ok());
        EXPECT_EQ(table->rowCount(), r.rows);
        Money sum;
        for (int i = 0; i < table->rowCount(); ++i)
            sum += Money::fromVariant(table->value(i, QStringLiteral("fImporto")));
        EXPECT_EQ(sum.cents(), cents);
    }
}

} // namespace ccp::acbtest
