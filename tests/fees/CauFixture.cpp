#include "CauFixture.h"

#include "EbsUCau.h"
#include "TVeGlobalValues.h"

#include "QtTestApp.h"

#include <QApplication>
#include <QSqlError>
#include <QSqlQuery>

namespace ccp::feescau {

void ensureApplication()
{
    test::ensureQtApplication("test_fees");
}

[[maybe_unused]] static const bool s_qtApplication = test::registerQtApplication("test_fees");

void CauFixture::SetUp()
{
    ensureApplication();
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    const char *rows[] = {
        "INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) VALUES (40, 2025, '2025-09-01', '2026-08-31')",
        "INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) VALUES (41, 2026, '2026-09-01', '2027-08-31')",
        "INSERT INTO TDwg_DataOwnerGrp (iDwgId, sDwgSDesc) VALUES (10, 'IC UNO')",
        "INSERT INTO TDwg_DataOwnerGrp (iDwgId, sDwgSDesc) VALUES (20, 'IC DUE')",
        // Components of 2026/27.
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, lCcaRette, iDwgId, dStart, dEnd) VALUES (700, 'TASSA', 'Tassa', 50, 0, 1, NULL, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, lCcaRette, iDwgId, dStart, dEnd) VALUES (701, 'ASSIC', 'Assicurazione', 8, 0, 0, 10, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, lCcaRette, iDwgId, dStart, dEnd) VALUES (702, 'GITA', 'Gita', 30, 0, 1, 20, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, lCcaRette, iDwgId, dStart, dEnd) VALUES (703, 'MENSA', 'Mensa', 12.5, 0, 1, 10, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, lCcaRette, iDwgId, dStart, dEnd) VALUES (704, 'RIMB', 'Rimborso', 20, 1, 0, NULL, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, lCcaRette, iDwgId, dStart, dEnd) VALUES (705, 'VECCHIA', 'Tassa 2025', 40, 0, 1, NULL, '2025-09-01', '2026-08-31')",
        // Causali of 2026/27.
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (800, 'ISCR', 'Iscrizione', 0, 1, NULL, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (801, 'GITE', 'Gite', 0, 1, 20, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (802, 'DUE', 'Assicurazione e mensa', 0, 0, 10, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (803, 'RIMB', 'Rimborsi', 1, 0, NULL, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (901, 800, 700, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (902, 801, 702, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (903, 802, 701, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (904, 802, 703, '2026-09-01', '2027-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (905, 803, 704, '2026-09-01', '2027-08-31')",
        // The trip causale is already paid on the tax register.
        "INSERT INTO TVrs_VersRegTasse (iVrsId, iCauId, fVrsImporto) VALUES (1, 801, 30)",
        // Causali of 2025/26, to be copied.
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (900, 'ISCR', 'Iscrizione', 0, 1, NULL, '2025-09-01', '2026-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (901, 'ISC', 'Iscrizione', 0, 1, NULL, '2025-09-01', '2026-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (902, 'BUS', 'Trasporto', 0, 1, 20, '2025-09-01', '2026-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (903, 'MENSA', 'Mensa', 0, 1, 10, '2025-09-01', '2026-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (904, 'iscr', 'Iscrizione', 0, 0, NULL, '2025-09-01', '2026-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (905, 'RIMB', 'Rimborsi vecchi', 1, 0, NULL, '2025-09-01', '2026-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) VALUES (906, 'GITE', 'Gite', 0, 1, NULL, '2025-09-01', '2026-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (9010, 903, 705, '2025-09-01', '2026-08-31')",
    };
    for (const char *sql : rows)
        exec(QString::fromLatin1(sql));
    auto &values = fw::TVeGlobalValuesManager::instance();
    values.clear();
    values.SetValues(fees::CauKeys::CauAnsId, QStringLiteral("41"));
    values.SetValues(fees::CauKeys::AnsId, QStringLiteral("41"));
    values.SetValues(fees::CauKeys::DwgId, QStringLiteral("10"));
    ds = std::make_unique<fees::TdmEbsDataSets>(t.db());
}

void CauFixture::TearDown()
{
    ds.reset();
    fw::TVeGlobalValuesManager::instance().clear();
}

void CauFixture::exec(const QString &sql)
{
    QSqlQuery q(t.db());
    ASSERT_TRUE(q.exec(sql)) << qPrintable(sql) << " " << qPrintable(q.lastError().text());
}

QList<int> CauFixture::ids(const QString &sql)
{
    QSqlQuery q(t.db());
    EXPECT_TRUE(q.exec(sql)) << qPrintable(sql) << " " << qPrintable(q.lastError().text());
    QList<int> out;
    while (q.next())
        out << q.value(0).toInt();
    std::sort(out.begin(), out.end());
    return out;
}

QStringList CauFixture::messages() const
{
    QStringList out;
    for (const auto &e : sink.entries())
        out << e.text;
    return out;
}

} // namespace ccp::feescau
