#include "AcbFixture.h"

#include "Money.h"
#include "QtTestApp.h"
#include "WorkingContext.h"
#include "TVeAccess.h"
#include "TVeGlobalValues.h"

#include <QSqlError>
#include <QSqlQuery>

namespace ccp::acbtest {

void AcbFixture::SetUp()
{
    test::ensureQtApplication("test_directdebit");
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    ASSERT_TRUE(test::loadWorkingContext(t.db()));
    fw::TVeAccessProfile::setCurrent(fw::TVeAccessProfile::administrator(QStringLiteral("SYSDBA")));

    exec(QStringLiteral("INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) "
                        "VALUES (9100, 'QUOTA', 'Quota', 0, 1, NULL, '2026-09-01', '2027-08-31')"));
    exec(QStringLiteral("INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) "
                        "VALUES (9101, 'GITA', 'Gita', 0, 1, NULL, '2026-09-01', '2027-08-31')"));
    struct Comp { int id; const char *name; const char *amount; const char *due; int cau; };
    const Comp comps[] = {{9001, "Alfa", "60", "'2026-10-31'", 9100},
                          {9002, "Beta", "40", "'2027-01-31'", 9100},
                          {9003, "Gamma", "75.5", "NULL", 9101}};
    int link = 9500;
    for (const Comp &c : comps) {
        exec(QStringLiteral("INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, "
                            "lCcaTipo, lCcaRette, iTccId, dCcaDataScadenza, dStart, dEnd) SELECT FIRST 1 %1, '%2', '%2', "
                            "%3, 0, 0, 1, iTccId, %4, dStart, dEnd FROM TCca_CompCausali WHERE dStart = '2026-09-01' "
                            "AND lCcaTipo = 0")
                 .arg(c.id).arg(QString::fromLatin1(c.name), QString::fromLatin1(c.amount), QString::fromLatin1(c.due)));
        exec(QStringLiteral("INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (%1, %2, %3, "
                            "'2026-09-01', '2027-08-31')")
                 .arg(++link).arg(c.cau).arg(c.id));
    }
}

void AcbFixture::TearDown() { fw::TVeGlobalValuesManager::instance().clear(); }

void AcbFixture::exec(const QString &sql)
{
    QSqlQuery q(t.db());
    ASSERT_TRUE(q.exec(sql)) << qPrintable(sql) << " " << qPrintable(q.lastError().text());
}

int AcbFixture::freePupil(int skip)
{
    return scalar(QStringLiteral(
                      "SELECT FIRST 1 SKIP %1 Sit.iAnaId FROM TSit_Situazioni Sit WHERE Sit.dStart = '2026-09-01' "
                      "AND Sit.iClsPstId IS NOT NULL AND EXISTS (SELECT 1 FROM TAnaGpt G WHERE G.iAnaId = Sit.iAnaId) "
                      "AND NOT EXISTS (SELECT 1 FROM TAcb_AluCoordBan A WHERE A.iAnaId = Sit.iAnaId) ORDER BY Sit.iAnaId")
                      .arg(skip))
        .toInt();
}

int AcbFixture::parentOf(int pupil, int skip)
{
    return scalar(QStringLiteral("SELECT FIRST 1 SKIP %2 iAnaId_P FROM TAnaGpt WHERE iAnaId = %1 ORDER BY iGptId")
                      .arg(pupil)
                      .arg(skip))
        .toInt();
}

QStringList AcbFixture::componentRows(int acbCauId)
{
    QStringList out;
    QSqlQuery q(t.db());
    EXPECT_TRUE(q.exec(QStringLiteral("SELECT iCcaId, fCacImporto, dCacDataScadenza, lCacPagato FROM TCac_CcaAcbCau "
                                      "WHERE iAcbCauId = %1 ORDER BY iCcaId")
                           .arg(acbCauId)));
    while (q.next())
        out << QStringLiteral("%1:%2:%3:%4")
                   .arg(q.value(0).toString(), Money::fromVariant(q.value(1)).toSqlExact(),
                        q.value(2).toDate().toString(Qt::ISODate), q.value(3).toString());
    return out;
}

int AcbFixture::newCoordinates(int pupil, int parent)
{
    const int id = scalar(QStringLiteral("SELECT l_iCntId FROM PYSetGetId('TACB_ALUCOORDBAN', 0)")).toInt();
    exec(QStringLiteral("INSERT INTO TAcb_AluCoordBan (iAcbId, iAnaId, iAnaId_Gen, iMpgId, sAcbIntestatario) "
                        "VALUES (%1, %2, %3, 11, 'X')")
             .arg(id)
             .arg(pupil)
             .arg(parent));
    return id;
}

} // namespace ccp::acbtest
