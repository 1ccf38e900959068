#include "AppFixture.h"

#include "EbcUContext.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"

#include <QApplication>
#include "QtTestApp.h"
#include <memory>

using namespace Qt::StringLiterals;

namespace ccp::apptest {

QString exec(QSqlDatabase db, const QStringList &statements)
{
    for (const QString &sql : statements) {
        SqlQuery q(db);
        if (auto s = q.exec(sql); !s)
            return sql + QStringLiteral(" -> ") + s.error();
    }
    return {};
}

QString loadFixture(QSqlDatabase db)
{
    return exec(db, {
        // Institutes: a single owner, and a group whose second member left in 2020.
        u"INSERT INTO TDow_DataOwner (iDowId, sDowSDesc) VALUES (1, 'Istituto Uno')"_s,
        u"INSERT INTO TDow_DataOwner (iDowId, sDowSDesc) VALUES (2, 'Scuola A')"_s,
        u"INSERT INTO TDow_DataOwner (iDowId, sDowSDesc) VALUES (3, 'Scuola B')"_s,
        u"INSERT INTO TDow_DataOwner (iDowId, sDowSDesc) VALUES (4, 'Contabilita'' 2019 D.M. 44/2001')"_s,
        u"INSERT INTO TDwg_DataOwnerGrp (iDwgId, iDowId, sDwgSDesc) VALUES (10, 1, 'IC Uno')"_s,
        u"INSERT INTO TDwg_DataOwnerGrp (iDwgId, iDowId, sDwgSDesc) VALUES (20, NULL, 'Gruppo')"_s,
        u"INSERT INTO TDwg_DataOwnerGrp (iDwgId, iDowId, sDwgSDesc) VALUES (21, 2, 'Scuola A')"_s,
        u"INSERT INTO TDwg_DataOwnerGrp (iDwgId, iDowId, sDwgSDesc) VALUES (22, 3, 'Scuola B')"_s,
        u"INSERT INTO TDwg_DataOwnerGrp (iDwgId, iDowId, sDwgSDesc) VALUES (23, 4, 'Contabilita')"_s,
        u"INSERT INTO TOtgDwg (iOtgDwgId, iDwgId, iDowId) VALUES (1, 20, 2)"_s,
        u"INSERT INTO TOtgDwg (iOtgDwgId, iDwgId, iDowId, dStart, dEnd) VALUES (2, 20, 3, '2019-01-01', '2020-06-30')"_s,
        u"INSERT INTO TOtgDwg (iOtgDwgId, iDwgId, iDowId) VALUES (3, 20, 4)"_s,
        // School years 2019 and 2021-2024, years 41 (2041) for the movements rule.
        u"INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) VALUES (30, 2019, '2019-09-01', '2020-08-31')"_s,
        u"INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) VALUES (33, 2021, '2021-09-01', '2022-08-31')"_s,
        u"INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) VALUES (34, 2022, '2022-09-01', '2023-08-31')"_s,
        u"INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) VALUES (35, 2023, '2023-09-01', '2024-08-31')"_s,
        u"INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) VALUES (36, 2024, '2024-09-01', '2025-08-31')"_s,
        u"INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) VALUES (41, 2041, '2041-09-01', '2042-08-31')"_s,
        u"INSERT INTO TAnf_AnniFinanz (iAnfId, iAnfValore, dAnfVeltoInizio, dAnfVeltoFine) VALUES (22, 2022, '2022-01-01', '2022-12-31')"_s,
        u"INSERT INTO TAnf_AnniFinanz (iAnfId, iAnfValore, dAnfVeltoInizio, dAnfVeltoFine) VALUES (23, 2023, '2023-01-01', '2023-12-31')"_s,
        u"INSERT INTO TAnf_AnniFinanz (iAnfId, iAnfValore, dAnfVeltoInizio, dAnfVeltoFine) VALUES (41, 2041, '2041-01-01', '2041-12-31')"_s,
        u"INSERT INTO TAnf_AnniFinanz (iAnfId, iAnfValore, dAnfVeltoInizio, dAnfVeltoFine) VALUES (42, 2042, '2042-01-01', '2042-12-31')"_s,
        u"INSERT INTO TAnf_AnniFinanz (iAnfId, iAnfValore, dAnfVeltoInizio, dAnfVeltoFine) VALUES (43, 2043, '2043-01-01', '2043-12-31')"_s,
        u"INSERT INTO TDwgAnf (iDwgAnfId, iDwgId, iAnfId, dDwgAnfInizio) VALUES (1, 10, 23, '2023-02-01')"_s,
        // A bank with a category of its own and one without; branches of the post, the cash and
        // the banks in two different places.
        u"INSERT INTO TBan_Banche (iBanId, sBanAbi, sBanDescS, iCbaId) VALUES (910, '01234', 'Banca Dieci', 1)"_s,
        u"INSERT INTO TBan_Banche (iBanId, sBanAbi, sBanDescS, iCbaId) VALUES (911, '05678', 'Banca Undici', NULL)"_s,
        u"INSERT INTO TSpr_SportelliCab (iSprId, iBanId, sSprCab, iSrpcId) VALUES (100, 2, '11111', (SELECT MIN(iSrpcId) FROM TSrpc WHERE iProId = (SELECT MIN(iProId) FROM TSrpc WHERE iProId IS NOT NULL)))"_s,
        u"INSERT INTO TSpr_SportelliCab (iSprId, iBanId, sSprCab) VALUES (101, 3, '40299')"_s,
        u"INSERT INTO TSpr_SportelliCab (iSprId, iBanId, sSprCab) VALUES (102, 910, '22222')"_s,
        u"INSERT INTO TSpr_SportelliCab (iSprId, iBanId, sSprCab) VALUES (103, 1, '33333')"_s,
        u"INSERT INTO TSpr_SportelliCab (iSprId, iBanId, sSprCab) VALUES (104, 911, '44444')"_s,
        // Accounts of the single institute (the postal one opened in 2020, the others in 2023).
        u"INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, sSprIstNumCc, iSprIstPgm, dStart) VALUES (200, 10, 100, '12345678', 2, '2020-01-01')"_s,
        u"INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, sSprIstNumCc, iSprIstPgm, dStart) VALUES (201, 10, 101, 'CASSA', 2, '2023-03-01')"_s,
        u"INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, sSprIstNumCc, iSprIstPgm, dStart) VALUES (202, 10, 102, '000099', 2, '2023-03-01')"_s,
        u"INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, sSprIstNumCc, iSprIstPgm, dStart) VALUES (203, 10, 103, '000100', 2, '2023-03-01')"_s,
        u"INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, sSprIstNumCc, iSprIstPgm, dStart, dEnd) VALUES (204, 21, 100, '555', 2, '2015-01-01', '2021-12-31')"_s,
        u"INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, sSprIstNumCc, iSprIstPgm, dStart) VALUES (205, 22, 104, '777', 2, '2015-01-01')"_s,
        u"INSERT INTO TCai_CassaIst (iCaiId, iSprIstId, iCaiEsercizioFin) VALUES (300, 200, 2022)"_s,
        u"INSERT INTO TCai_CassaIst (iCaiId, iSprIstId, iCaiEsercizioFin, dCaiInizioAnno, dCaiFineAnno) VALUES (301, 200, 2023, '2023-02-01', '2024-01-31')"_s,
        u"INSERT INTO TCai_CassaIst (iCaiId, iSprIstId, iCaiEsercizioFin) VALUES (302, 201, 2023)"_s,
        u"INSERT INTO TCai_CassaIst (iCaiId, iSprIstId, iCaiEsercizioFin) VALUES (303, 204, 2041)"_s,
        // Causali of 2022/2023 (one income with two components, one expense) and of 2023/2024.
        u"INSERT INTO TCau_Causali (iCauId, sCauLDesc, lCauTipo, dStart, dEnd) VALUES (500, 'Tassa di iscrizione', 0, '2022-09-01', '2023-08-31')"_s,
        u"INSERT INTO TCau_Causali (iCauId, sCauLDesc, lCauTipo, dStart, dEnd) VALUES (501, 'Rimborso', 1, '2022-09-01', '2023-08-31')"_s,
        u"INSERT INTO TCau_Causali (iCauId, sCauLDesc, lCauTipo, dStart, dEnd) VALUES (502, 'Contributo', 0, '2023-09-01', '2024-08-31')"_s,
        u"INSERT INTO TCca_CompCausali (iCcaId, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, lCcaTipo) VALUES (600, 'Iscrizione', 10.50, 2, 0)"_s,
        u"INSERT INTO TCca_CompCausali (iCcaId, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, lCcaTipo) VALUES (601, 'Assicurazione', 5.25, 0, 0)"_s,
        u"INSERT INTO TCca_CompCausali (iCcaId, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, lCcaTipo) VALUES (602, 'Rimborso', 7, 0, 1)"_s,
        u"INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId) VALUES (1, 500, 600)"_s,
        u"INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId) VALUES (2, 500, 601)"_s,
        u"INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId) VALUES (3, 501, 602)"_s,
    });
}

void AppTest::SetUp()
{
    ensureApplication();
    ASSERT_TRUE(m_db.ok()) << m_db.error().toStdString();
    const QString failed = loadFixture(db());
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    fw::TVeGlobalValuesManager::instance().clear();
}

void AppTest::TearDown() { fw::TVeGlobalValuesManager::instance().clear(); }

void AppTest::setContext(const QString &key, const QVariant &value) { fw::SetValues(key, value); }

QStringList AppTest::messages() const
{
    QStringList out;
    for (const auto &e : m_sink.entries())
        out << e.text;
    return out;
}

void ensureApplication()
{
    test::ensureQtApplication("test_app");
}

[[maybe_unused]] static const bool s_qtApplication = test::registerQtApplication("test_app");

} // namespace ccp::apptest
