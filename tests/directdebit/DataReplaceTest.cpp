#include "AcbFixture.h"
#include "EbcFDataReplace.h"
#include "EbcRDblLstAcbSelect.h"
#include "EbcUAluGen.h"
#include "EbcUDataReplace.h"
#include "Money.h"
#include "TfrVeFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QTreeWidget>

namespace ccp::acbtest {

using namespace ccp::directdebit;

class Replace : public AcbFixture
{
protected:
    void SetUp() override
    {
        AcbFixture::SetUp();
        auto xml = readXmlDocument(t.db(), QStringLiteral("EBCREPLACE"));
        ASSERT_TRUE(xml.ok()) << qPrintable(xml.error());
        auto parsed = parseReplaceDefinition(xml.value());
        ASSERT_TRUE(parsed.ok());
        fields = parsed.value();
    }
    const ReplaceField &field(const QString &name)
    {
        for (const ReplaceField &f : fields)
            if (f.name == name)
                return f;
        ADD_FAILURE() << "no field " << qPrintable(name);
        return fields.first();
    }
    // The first n coordinates of pupils of the working year, by id.
    QList<int> coordinates(int n)
    {
        QList<int> ids;
        QSqlQuery q(t.db());
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT FIRST %1 Acb.iAcbId FROM TAcb_AluCoordBan Acb WHERE EXISTS (SELECT 1 "
                                          "FROM TSit_Situazioni Sit WHERE Sit.iAnaId = Acb.iAnaId AND Sit.dStart = "
                                          "'2026-09-01') ORDER BY Acb.iAcbId").arg(n)));
        while (q.next())
            ids << q.value(0).toInt();
        return ids;
    }
    QString idList(const QList<int> &ids)
    {
        QStringList s;
        for (int id : ids)
            s << QString::number(id);
        return s.join(u',');
    }
    QString methods(const QList<int> &ids)
    {
        return scalar(QStringLiteral("SELECT LIST(COALESCE(iMpgId, 0), ',') FROM (SELECT iMpgId FROM TAcb_AluCoordBan "
                                     "WHERE iAcbId IN (%1) ORDER BY iAcbId)").arg(idList(ids))).toString();
    }

    QList<ReplaceField> fields;
};

TEST_F(Replace, EmptyOldValueReplacesOnlyRecordsWithoutAValue)
{
    const QList<int> ids = coordinates(6);
    exec(QStringLiteral("UPDATE TAcb_AluCoordBan SET iMpgId = NULL WHERE iAcbId IN (%1, %2)").arg(ids[1]).arg(ids[4]));
    auto n = runReplace(t.db(), {field(QStringLiteral("iMpgId")), QVariant(), 3, false, ids});
    ASSERT_TRUE(n.ok()) << qPrintable(n.error());
    EXPECT_EQ(n.value(), 2);
    EXPECT_EQ(methods(ids), QStringLiteral("11,3,11,11,3,11"));
}

TEST_F(Replace, AnyValueReplacesEveryRecordAndBeforeExecSkipsThoseHoldingTheValue)
{
    const QList<int> ids = coordinates(5);
    exec(QStringLiteral("UPDATE TAcb_AluCoordBan SET iMpgId = 3 WHERE iAcbId = %1").arg(ids[2]));
    exec(QStringLiteral("UPDATE TAcb_AluCoordBan SET iMpgId = NULL WHERE iAcbId = %1").arg(ids[3]));
    // The old value given is ignored when any value is asked.
    auto n = runReplace(t.db(), {field(QStringLiteral("iMpgId")), 11, 3, true, ids});
    ASSERT_TRUE(n.ok()) << qPrintable(n.error());
    EXPECT_EQ(n.value(), 4) << "the record already paying by transfer is skipped, not counted";
    EXPECT_EQ(methods(ids), QStringLiteral("3,3,3,3,3"));

    auto old = runReplace(t.db(), {field(QStringLiteral("iMpgId")), 3, 11, false, ids.mid(0, 2)});
    ASSERT_TRUE(old.ok());
    EXPECT_EQ(old.value(), 2);
    EXPECT_EQ(methods(ids), QStringLiteral("11,11,3,3,3"));
}

TEST_F(Replace, SignatureDatesOfManyMandatesAreSetOnlyWhereMissing)
{
    const QList<int> ids = coordinates(4);
    exec(QStringLiteral("UPDATE TAcb_AluCoordBan SET dAcbDataFirma = NULL WHERE iAcbId IN (%1)").arg(idList(ids)));
    exec(QStringLiteral("UPDATE TAcb_AluCoordBan SET dAcbDataFirma = '2025-09-01' WHERE iAcbId = %1").arg(ids[2]));
    auto n = runReplace(t.db(), {field(QStringLiteral("dAcbDataFirma")), QVariant(), QDate(2026, 9, 20), false, ids});
    ASSERT_TRUE(n.ok()) << qPrintable(n.error());
    EXPECT_EQ(n.value(), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT LIST(dAcbDataFirma, ',') FROM (SELECT dAcbDataFirma FROM TAcb_AluCoordBan "
                                    "WHERE iAcbId IN (%1) ORDER BY iAcbId)").arg(idList(ids))).toString(),
              QStringLiteral("2026-09-20,2026-09-20,2025-09-01,2026-09-20"));
}

TEST_F(Replace, AFailingStatementInTheMiddleLeavesEveryRecordAsItWas)
{
    const QList<int> ids = coordinates(6);
    const QString before = methods(ids);
    ReplaceField f = field(QStringLiteral("iMpgId"));
    // Division by zero on the fourth record only.
    f.updateScript = QStringLiteral("UPDATE TAcb_AluCoordBan SET iMpgId = :NEWVALUE WHERE iAcbId = :SELECTEDID "
                                    "AND 1 = 1 / (iAcbId - %1)").arg(ids[3]);
    f.beforeExec.clear();
    auto n = runReplace(t.db(), {f, QVariant(), 3, true, ids});
    EXPECT_FALSE(n.ok());
    EXPECT_EQ(methods(ids), before);
}

TEST_F(Replace, ACausaleGivenToFiftyPupilsOfWhomTenHaveItAddsFortyLinksWithTheirComponents)
{
    const QList<int> ids = coordinates(50);
    ASSERT_EQ(ids.size(), 50);
    for (int i = 0; i < 50; i += 5)
        scalar(QStringLiteral("SELECT iAcbCauId FROM PEbc_AcbCauAdd(%1, 9100)").arg(ids[i]));
    const int linksBefore = count(QStringLiteral("SELECT COUNT(*) FROM TAcbCau"));
    auto n = runReplace(t.db(), {field(QStringLiteral("iCauId")), QVariant(), 9100, false, ids});
    ASSERT_TRUE(n.ok()) << qPrintable(n.error());
    EXPECT_EQ(n.value(), 40);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TAcbCau")), linksBefore + 40);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TAcbCau WHERE iCauId = 9100 AND iAcbId IN (%1)").arg(idList(ids))), 50)
        << "one link each, none twice";
    // Every link has the causale's two components, unpaid: 100,00 per pupil.
    QSqlQuery q(t.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT Cac.fCacImporto FROM TCac_CcaAcbCau Cac JOIN TAcbCau L ON L.iAcbCauId = "
                                      "Cac.iAcbCauId WHERE L.iCauId = 9100 AND Cac.lCacPagato = 0")));
    Money total;
    int rows = 0;
    while (q.next()) {
        total += Money::fromVariant(q.value(0));
        ++rows;
    }
    EXPECT_EQ(rows, 100);
    EXPECT_EQ(total, Money::fromEuros(5000));
}

TEST_F(Replace, ReplacingACausaleMovesItsLinkAndComponentRows)
{
    const QList<int> ids = coordinates(3);
    for (int id : ids)
        scalar(QStringLiteral("SELECT iAcbCauId FROM PEbc_AcbCauAdd(%1, 9100)").arg(id));
    auto n = runReplace(t.db(), {field(QStringLiteral("iCauId")), 9100, 9101, false, ids.mid(0, 2)});
    ASSERT_TRUE(n.ok()) << qPrintable(n.error());
    EXPECT_EQ(n.value(), 2);
    const int moved = scalar(QStringLiteral("SELECT iAcbCauId FROM TAcbCau WHERE iAcbId = %1 AND iCauId = 9101").arg(ids[0])).toInt();
    EXPECT_EQ(componentRows(moved), QStringList{QStringLiteral("9003:75.5000::0")});
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TAcbCau WHERE iAcbId = %1 AND iCauId = 9100").arg(ids[2])), 1);
}

// ---- shipped documents ---------------------------------------------------------------------

TEST_F(Replace, ShippingKeepsADocumentTheInstallationChanged)
{
    auto ship = [&](const QString &code, const QString &text) {
        return scalar(QStringLiteral("SELECT iEsito FROM PEbc_ShipXml('EBC', '%1', 'Prova', '%2')").arg(code, text)).toInt();
    };
    auto text = [&](const QString &code) { return readXmlDocument(t.db(), code).value(); };
    EXPECT_EQ(ship(QStringLiteral("PROVA"), QStringLiteral("<a>1</a>")), 1) << "missing: added";
    EXPECT_EQ(ship(QStringLiteral("PROVA"), QStringLiteral("<a>2</a>")), 2) << "unchanged: updated";
    EXPECT_EQ(text(QStringLiteral("PROVA")), QStringLiteral("<a>2</a>"));
    exec(QStringLiteral("UPDATE TYXar_XmlArchivio SET bYXarXmlFile = '<a>nostro</a>' WHERE sYXarCodice = 'PROVA'"));
    EXPECT_EQ(ship(QStringLiteral("PROVA"), QStringLiteral("<a>3</a>")), 0) << "changed here: kept";
    EXPECT_EQ(text(QStringLiteral("PROVA")), QStringLiteral("<a>nostro</a>"));
    EXPECT_EQ(ship(QStringLiteral("EBCREPLACE"), text(QStringLiteral("EBCREPLACE")).replace(u'\'', QStringLiteral("''"))), 2)
        << "the shipped data-replace definition counts as unchanged";
}

// ---- the selection frame and the wizard ------------------------------------------------------

class Wizard : public Replace
{
protected:
    void SetUp() override
    {
        Replace::SetUp();
        w = std::make_unique<TfmEbcDataReplace>(t.db(), 26, QString());
        ASSERT_TRUE(w->start());
        w->show();
    }
    TfrEbcDblLstAcbSelect *selection() { return w->frEbcDblLstAcbSelect1; }
    QStringList column(QTreeWidget *list, int c)
    {
        QStringList out;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            out << list->topLevelItem(i)->text(c);
        return out;
    }
    std::unique_ptr<TfmEbcDataReplace> w;
};

TEST_F(Wizard, SelectionSortsTheClassColumnByClassThenPupilAndMovesRows)
{
    QTreeWidget *left = selection()->lvDisponibili;
    const int all = left->topLevelItemCount();
    ASSERT_GT(all, 2);
    left->sortByColumn(1, Qt::AscendingOrder);
    const QStringList classes = column(left, 1);
    const QStringList pupils = column(left, 0);
    for (int i = 1; i < all; ++i) {
        const int c = classes[i - 1].compare(classes[i], Qt::CaseInsensitive);
        ASSERT_LE(c, 0) << "row " << i;
        if (c == 0)
            ASSERT_LE(pupils[i - 1].compare(pupils[i], Qt::CaseInsensitive), 0) << "row " << i;
    }
    left->topLevelItem(0)->setSelected(true);
    left->topLevelItem(1)->setSelected(true);
    selection()->btAdd->click();
    EXPECT_EQ(selection()->selectedIds().size(), 2);
    EXPECT_EQ(left->topLevelItemCount(), all - 2);
    selection()->btAddAll->click();
    EXPECT_EQ(selection()->selectedIds().size(), all);
    selection()->btRemoveAll->click();
    EXPECT_TRUE(selection()->selectedIds().isEmpty());
}

TEST_F(Wizard, AQuoteInAFilterValueIsQuotedNotPasted)
{
    const int acb = coordinates(1).first();
    exec(QStringLiteral("UPDATE TAcb_AluCoordBan SET sAcbIntestatario = 'D''Amico Rosa' WHERE iAcbId = %1").arg(acb));
    selection()->ShowFilterDialog = [](fw::TfmVeFilter &dialog) {
        fw::TfrVeFilter *f = dialog.frame();
        f->setFilter({{{QStringLiteral("sAcbIntestatario"), fw::FilterOperator::Equal, QStringLiteral("D'Amico Rosa")}}, {}});
        return int(QDialog::Accepted);
    };
    selection()->acFilter->trigger();
    EXPECT_TRUE(messages.entries().isEmpty()) << qPrintable(messages.lastText());
    ASSERT_EQ(selection()->lvDisponibili->topLevelItemCount(), 1);
    selection()->btAddAll->click();
    EXPECT_EQ(selection()->selectedIds(), QList<int>{acb});
    EXPECT_TRUE(selection()->acApplyFilter->isChecked());

    selection()->acApplyFilter->trigger();   // off: every pupil again
    EXPECT_FALSE(selection()->isFilterApplied());
    EXPECT_GT(selection()->lvDisponibili->topLevelItemCount(), 1);
}

TEST_F(Wizard, AnyValueDisablesTheOldValueAndReplacesEveryChosenRecord)
{
    w->lbFieldList->setCurrentRow(1);   // payment method
    ASSERT_TRUE(w->next());
    selection()->lvDisponibili->sortByColumn(0, Qt::AscendingOrder);
    selection()->lvDisponibili->topLevelItem(0)->setSelected(true);
    selection()->lvDisponibili->topLevelItem(1)->setSelected(true);
    selection()->btAdd->click();
    const QList<int> chosen = selection()->selectedIds();
    ASSERT_TRUE(w->next());
    ASSERT_EQ(w->currentPage(), int(TfmEbcDataReplace::ValuesPage));
    w->ckAny->setChecked(true);
    auto *newValue = qobject_cast<QComboBox *>(w->edNew);
    ASSERT_NE(newValue, nullptr);
    newValue->setCurrentIndex(newValue->findText(QStringLiteral("Bonifico bancario")));
    w->okButton()->click();
    ASSERT_GE(messages.entries().size(), 2);
    EXPECT_EQ(messages.entries()[0].text, ReplaceText::Confirm);
    EXPECT_EQ(messages.lastText(), QStringLiteral("Inserito il dato Tipo di pagamento a 2 alunni"));
    EXPECT_EQ(methods(chosen), QStringLiteral("3,3"));
    EXPECT_EQ(w->result(), int(QDialog::Accepted));
}

TEST_F(Wizard, ACausaleIsNeededAndNoChosenRecordReportsZero)
{
    ASSERT_TRUE(w->next());   // the causale, first in the list
    ASSERT_TRUE(w->next());
    auto *oldValue = qobject_cast<QComboBox *>(w->edOld);
    auto *newValue = qobject_cast<QComboBox *>(w->edNew);
    ASSERT_NE(oldValue, nullptr);
    EXPECT_EQ(oldValue->itemText(0), TfmEbcDataReplace::vuoto());
    w->okButton()->click();
    EXPECT_EQ(messages.lastText(), ReplaceText::NewValueRequired) << "no link without a causale";
    EXPECT_TRUE(w->isVisible());
    newValue->setCurrentIndex(newValue->findData(9100));
    w->okButton()->click();
    EXPECT_EQ(messages.lastText(), QStringLiteral("Inserito il dato Causale a 0 alunni"));
}

} // namespace ccp::acbtest
