#include "MvmWinFixture.h"

#include "EbsFCauComp.h"
#include "QtTestApp.h"
#include "WorkingContext.h"
#include "TVeAccess.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeGlobalValues.h"

#include <QApplication>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace ccp::mvmwin {

void MvmWinFixture::SetUp()
{
    test::ensureQtApplication("test_movements");
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    ASSERT_TRUE(test::loadWorkingContext(t.db()));
    fw::TVeAccessProfile::setCurrent(fw::TVeAccessProfile::administrator(QStringLiteral("SYSDBA")));

    const char *rows[] = {
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (9100, 'QUOTA', 'Quota', 0, 1, NULL, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (9102, 'GITA', 'Gita', 0, 1, NULL, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (9103, 'CORSO', 'Corso', 0, 1, NULL, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (9200, 'SPESA', 'Spesa', 1, 1, NULL, '2026-09-01', '2027-08-31')",
    };
    for (const char *sql : rows)
        exec(QString::fromUtf8(sql));
    struct Comp { int id; const char *name; int amount; int tipo; int cau; };
    const Comp comps[] = {
        {9001, "Alfa", 60, 0, 9100}, {9002, "Beta", 40, 0, 9100}, {9005, "Epsilon", 60, 0, 9102}, {9006, "Zeta", 30, 0, 9103},
        {9007, "Eta", 20, 0, 9103}, {9008, "Theta", 25, 1, 9200},
    };
    int link = 9500;
    for (const Comp &c : comps) {
        exec(QStringLiteral("INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, "
                            "lCcaTipo, lCcaRette, iTccId, iAggId, iVproId, iDwgId, dStart, dEnd) SELECT FIRST 1 %1, '%2', '%2', "
                            "%3, 0, %4, 1, iTccId, iAggId, iVproId, iDwgId, dStart, dEnd FROM TCca_CompCausali WHERE "
                            "dStart = '2026-09-01' AND lCcaTipo = %4")
                 .arg(c.id).arg(QString::fromLatin1(c.name)).arg(c.amount).arg(c.tipo));
        exec(QStringLiteral("INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (%1, %2, %3, "
                            "'2026-09-01', '2027-08-31')")
                 .arg(++link).arg(c.cau).arg(c.id));
    }
}

void MvmWinFixture::TearDown()
{
    w.reset();
    fees::TfmEbsCauComp::release();
    store.reset();
    fw::TVeGlobalValuesManager::instance().clear();
}

void MvmWinFixture::exec(const QString &sql)
{
    QSqlQuery q(t.db());
    ASSERT_TRUE(q.exec(sql)) << qPrintable(sql) << " " << qPrintable(q.lastError().text());
}

movements::TfmEbcMvm *MvmWinFixture::openWindow(int sprIstId, bool show)
{
    fw::SetValues(QStringLiteral("EBCP_SprIstId"), QString::number(sprIstId));
    store = std::make_unique<movements::TdmEbcMvm>(t.db());
    w = std::make_unique<movements::TfmEbcMvm>(*store);
    w->frEbcMvm->ShowSplitDialog = [this](fees::TfmEbsCauComp &d) {
        Shown s{d.DefinitionMode, d.AmountText, {}};
        for (int r = 1; r <= d.ComponentCount(); ++r)
            s.components << QStringLiteral("%1:%2").arg(d.ComponentIdAt(r)).arg(d.AmountTextAt(r));
        shown << s;
        if (d.DefinitionMode && onDialog)
            onDialog(d);
    };
    if (show) {
        w->resize(1200, 800);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    } else {
        w->openList();
    }
    return w.get();
}

void MvmWinFixture::startMovement(int cauId)
{
    movements::TfrEbcMvm *f = frame();
    ASSERT_TRUE(f->insert());
    ASSERT_TRUE(f->xdlCategoria->chooseKey(4));
    ASSERT_TRUE(f->xdlBen->chooseKey(1));
    ASSERT_TRUE(f->xdlCausale->chooseKey(cauId));
}

void MvmWinFixture::typeAmount(const QString &text)
{
    fw::TVeDBCurrencyEdit *e = frame()->xdcImpIst;
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Return);
}

QStringList MvmWinFixture::splitOf(int mvmId)
{
    QStringList out;
    QSqlQuery q(t.db());
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    EXPECT_TRUE(q.exec(QStringLiteral("SELECT iCcaId, fMvmCcaImporto FROM TMvmCca WHERE iMvmId = %1 ORDER BY iCcaId").arg(mvmId)));
    while (q.next())
        out << QStringLiteral("%1:%2").arg(q.value(0).toInt()).arg(Money::fromVariant(q.value(1)).toSql());
    return out;
}

int MvmWinFixture::lastMovementId()
{
    return scalar(QStringLiteral("SELECT MAX(iMvmId) FROM TMvm_MovimentiCcp")).toInt();
}

} // namespace ccp::mvmwin
