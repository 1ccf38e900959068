#include "CcaFixture.h"

#include "TVeGlobalValues.h"

#include "QtTestApp.h"

#include <QApplication>
#include <QSqlError>
#include <QSqlQuery>

namespace ccp::feescca {

void ensureQtApplication()
{
    test::ensureQtApplication("test_fees");
}

void CcaFixture::SetUp()
{
    ensureQtApplication();
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    const char *rows[] = {
        "INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) VALUES (41, 2026, '2026-09-01', '2027-08-31')",
        "INSERT INTO TDwg_DataOwnerGrp (iDwgId, sDwgSDesc) VALUES (10, 'IC UNO')",
        "INSERT INTO TDwg_DataOwnerGrp (iDwgId, sDwgSDesc) VALUES (20, 'IC DUE')",
        "INSERT INTO TAGG_AGGREGATI (IAGGID, IDWGID, SAGGDESCS, SAGGDESCL, IFLSID, ITITOID, DSTART) VALUES (500, NULL, '01', 'Avanzo di amministrazione', 1, 1, '2000-01-01')",
        "INSERT INTO TAGG_AGGREGATI (IAGGID, IDWGID, SAGGDESCS, SAGGDESCL, IFLSID, ITITOID, DSTART) VALUES (501, 10, '05', 'Contributi da privati', 1, 1, '2000-01-01')",
        "INSERT INTO TAGG_AGGREGATI (IAGGID, IDWGID, SAGGDESCS, SAGGDESCL, IFLSID, ITITOID, DSTART) VALUES (502, 20, '06', 'Altrui', 1, 1, '2000-01-01')",
        "INSERT INTO TAGG_AGGREGATI (IAGGID, IDWGID, SAGGDESCS, SAGGDESCL, IFLSID, ITITOID, DSTART) VALUES (503, NULL, 'A', 'Attivita', 2, 1, '2000-01-01')",
        "INSERT INTO TVPRO_VOCIPROGETTI (IVPROID, IAGGID, IDWGID, SVPROCOD, SVPRODESCS, DSTART) VALUES (600, 501, 10, '0501', 'Famiglie vincolati', '2000-01-01')",
        "INSERT INTO TVPRO_VOCIPROGETTI (IVPROID, IAGGID, IDWGID, SVPROCOD, SVPRODESCS, DSTART) VALUES (601, 501, NULL, '0502', 'Famiglie non vincolati', '2000-01-01')",
        "INSERT INTO TVPRO_VOCIPROGETTI (IVPROID, IAGGID, IDWGID, SVPROCOD, SVPRODESCS, DSTART) VALUES (602, 500, NULL, '0101', 'Non vincolato', '2000-01-01')",
        "INSERT INTO TSVO_SOTTOVOCI (ISVOID, IVPROID, IDWGID, SSVODESCS, SSVODESCL, DSTART) VALUES (650, 600, 10, '001', 'Gite', '2000-01-01')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, lCcaTipo, lCcaRette, iTccId, iAggId, iVproId, iDwgId, dStart, dEnd) VALUES (700, 'ASSIC', 'Assicurazione', 8, 0, 0, 1, 120, 501, 600, 10, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, lCcaTipo, lCcaRette, iTccId, iAggId, iVproId, iDwgId, dStart, dEnd) VALUES (701, 'MENSA', 'Mensa', 60, 0, 0, 1, 123, 501, 601, 10, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, lCcaTipo, lCcaRette, iTccId, iAggId, iVproId, iDwgId, dStart, dEnd) VALUES (702, 'GITA', 'Gita', 40, 0, 0, 0, 2, 501, 601, NULL, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, lCcaTipo, lCcaRette, iTccId, iAggId, iVproId, iDwgId, dStart, dEnd) VALUES (703, 'RIMB', 'Rimborso', 20, 0, 1, 0, 130, 503, NULL, NULL, '2026-09-01', '2027-08-31')",
        // Causale 800: insurance and meals; 801: insurance and trip (named by a tax payment).
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (800, 'ISCR', 'Iscrizione', 0, 1, 10, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (801, 'GITE', 'Gite', 0, 0, 10, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (1, 800, 700, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (2, 800, 701, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (3, 801, 700, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (4, 801, 702, '2026-09-01', '2027-08-31')",
        "INSERT INTO TVrs_VersRegTasse (iVrsId, iCauId, fVrsImporto) VALUES (1, 801, 30)",
    };
    for (const char *sql : rows)
        exec(QString::fromUtf8(sql));
    auto &values = fw::TVeGlobalValuesManager::instance();
    values.clear();
    values.SetValues(QStringLiteral("EBSP_CauAnsId"), 41);
    values.SetValues(QStringLiteral("VEUP_DwgId"), 10);
    values.SetValues(QStringLiteral("VEP_DecimalSeparator"), QStringLiteral(","));
    values.SetValues(QStringLiteral("EBCP_CcaRette"), QStringLiteral("1"));
    ds = std::make_unique<fees::TdmEbsDataSets>(t.db());
}

void CcaFixture::TearDown()
{
    ds.reset();
    fw::TVeGlobalValuesManager::instance().clear();
}

void CcaFixture::exec(const QString &sql)
{
    QSqlQuery q(t.db());
    ASSERT_TRUE(q.exec(sql)) << qPrintable(sql) << " " << qPrintable(q.lastError().text());
}

} // namespace ccp::feescca
