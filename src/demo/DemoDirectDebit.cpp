#include "DemoDirectDebit.h"
#include "DemoSupport.h"

#include "AbiUIBAN.h"
#include "SqlQuery.h"

#include <QDate>

namespace ccp::DemoDirectDebit {

namespace {

#define S(x) QStringLiteral(x)
constexpr int Pupils = 120;
constexpr int Rid = 11;

Result<int> nextId(QSqlDatabase db, const QString &table)
{
    auto v = SqlQuery::scalar(db, S("SELECT l_iCntId FROM PYSetGetId(:t, 0)"), {{S("t"), table}});
    if (!v)
        return v.status();
    return v.value().toInt();
}

// A valid IBAN at a bank of the demo, with its branch registered.
Result<QString> ibanFor(QSqlDatabase db, int n)
{
    auto abi = SqlQuery::scalar(db, S("SELECT FIRST 1 SKIP :n sBanAbi FROM TBan_Banche WHERE DDELETE IS NULL "
                                      "AND CHAR_LENGTH(sBanAbi) = 5 ORDER BY iBanId"),
                                {{S("n"), n % 30}});
    if (!abi)
        return abi.status();
    if (!abi.value().isValid())
        return Result<QString>::failure(S("Dati dimostrativi: nessuna banca per le coordinate."));
    const QString cab = QString::number(3200 + n % 40).rightJustified(5, u'0');
    bool added = false;
    auto bank = abiban::FindOrAddBank(db, abi.value().toString(), added);
    if (!bank)
        return bank.status();
    if (auto br = abiban::FindOrAddBranch(db, cab, bank.value(), added); !br)
        return br.status();
    return abiban::BuildIBAN(abi.value().toString(), cab, QString::number(410000 + n * 37).rightJustified(12, u'0'));
}

// The instalments causale of 2026/27 with its three components.
Result<int> instalmentsCausale(QSqlDatabase db)
{
    auto cau = nextId(db, S("TCAU_CAUSALI"));
    if (!cau)
        return cau;
    SqlQuery q(db);
    TRY(q.prepare(S("INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) "
                    "VALUES (:id, 'RATE', 'Contributo scolastico a rate (RID)', 0, 1, NULL, '2026-09-01', '2027-08-31')")));
    q.bind(S("id"), cau.value());
    TRY(q.exec());
    SqlQuery cca(db), link(db);
    TRY(cca.prepare(S("INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, lCcaTipo, "
                      "lCcaRette, iTccId, iAggId, iVproId, iSvoId, dCcaDataScadenza, dStart, dEnd) SELECT FIRST 1 :id, :s, :l, "
                      ":imp, 0, 0, 1, iTccId, iAggId, iVproId, iSvoId, :due, dStart, dEnd FROM TCca_CompCausali "
                      "WHERE dStart = '2026-09-01' AND lCcaTipo = 0 ORDER BY iCcaId")));
    TRY(link.prepare(S("INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) "
                       "VALUES (:id, :cau, :cca, '2026-09-01', '2027-08-31')")));
    const struct { const char *code; const char *name; int cents; QDate due; } rates[] = {
        {"RATA1", "Prima rata", 5000, QDate(2026, 10, 31)},
        {"RATA2", "Seconda rata", 4000, QDate(2027, 1, 31)},
        {"RATA3", "Terza rata", 3000, QDate(2027, 4, 30)},
    };
    for (const auto &r : rates) {
        auto id = nextId(db, S("TCCA_COMPCAUSALI"));
        if (!id)
            return id;
        cca.bind(S("id"), id.value()).bind(S("s"), QString::fromLatin1(r.code)).bind(S("l"), QString::fromLatin1(r.name))
            .bind(S("imp"), Money::fromCents(r.cents)).bind(S("due"), r.due);
        TRY(cca.exec());
        auto lid = nextId(db, S("TCAUCCA"));
        if (!lid)
            return lid;
        link.bind(S("id"), lid.value()).bind(S("cau"), cau.value()).bind(S("cca"), id.value());
        TRY(link.exec());
    }
    return cau;
}

} // namespace

Status load(QSqlDatabase db)
{
    auto have = SqlQuery::scalar(db, S("SELECT COUNT(*) FROM TAcb_AluCoordBan"));
    if (!have)
        return have.status();
    // Pupils of 2026/27 with a parent and without coordinates, in a fixed order.
    SqlQuery free(db);
    TRY(free.prepare(S("SELECT FIRST :n Sit.iAnaId, (SELECT FIRST 1 G.iAnaId_P FROM TAnaGpt G WHERE G.iAnaId = Sit.iAnaId "
                       "ORDER BY G.iGptId DESC) iGen FROM TSit_Situazioni Sit WHERE Sit.dStart = '2026-09-01' "
                       "AND Sit.iSitOrdine = 1 AND EXISTS (SELECT 1 FROM TAnaGpt G WHERE G.iAnaId = Sit.iAnaId) "
                       "AND NOT EXISTS (SELECT 1 FROM TAcb_AluCoordBan A WHERE A.iAnaId = Sit.iAnaId) ORDER BY Sit.iAnaId")));
    free.bind(S("n"), qMax(0, Pupils - have.value().toInt()));
    TRY(free.exec());
    QList<std::pair<int, int>> pupils;
    while (free.next())
        pupils.append({free.value(0).toInt(), free.value(1).toInt()});
    free.finish();
    SqlQuery acb(db);
    // The mandate id is left to the database's default code; the signature dates are spread
    // over the last school years.
    TRY(acb.prepare(S("INSERT INTO TAcb_AluCoordBan (iAcbId, iAnaId, iAnaId_Gen, iMpgId, sAcbIBan, sAcbIntestatario, "
                      "dAcbDataFirma) SELECT :id, :ana, :gen, :mpg, :iban, sAnaCognome || ' ' || sAnaNome, :firma "
                      "FROM TAna_Anagrafiche WHERE iAnaId = :gen")));
    int n = 0;
    for (const auto &[pupil, parent] : pupils) {
        auto iban = ibanFor(db, n++);
        if (!iban)
            return iban.status();
        auto id = nextId(db, S("TACB_ALUCOORDBAN"));
        if (!id)
            return id.status();
        acb.bind(S("id"), id.value()).bind(S("ana"), pupil).bind(S("gen"), parent).bind(S("mpg"), Rid)
            .bind(S("iban"), iban.value()).bind(S("firma"), QDate(2024 + n % 2, 1 + n % 12, 1 + n % 28));
        TRY(acb.exec());
    }

    // Coordinates made before by other parts of the demo have their mandates signed too.
    SqlQuery sign(db);
    TRY(sign.exec(S("UPDATE TAcb_AluCoordBan SET dAcbDataFirma = '2025-09-15' WHERE dAcbDataFirma IS NULL")));

    // The instalments go to every pupil of the year with coordinates; every third has paid the first.
    auto cau = instalmentsCausale(db);
    if (!cau)
        return cau.status();
    SqlQuery coords(db), add(db), paid(db);
    TRY(coords.prepare(S("SELECT Acb.iAcbId FROM TAcb_AluCoordBan Acb WHERE EXISTS (SELECT 1 FROM TSit_Situazioni Sit "
                         "WHERE Sit.iAnaId = Acb.iAnaId AND Sit.dStart = '2026-09-01') ORDER BY Acb.iAcbId")));
    TRY(coords.exec());
    QList<int> ids;
    while (coords.next())
        ids << coords.value(0).toInt();
    coords.finish();
    TRY(add.prepare(S("SELECT iAcbCauId FROM PEbc_AcbCauAdd(:acb, :cau)")));
    SqlQuery used(db);
    TRY(used.prepare(S("INSERT INTO TAcm_AcbMandatoUso (iAcmId, iAcbId, sAcmMandato, sAcmSeqTp, dAcmIncasso, fAcmImporto, "
                       "sAcmEndToEnd, sAcmFile) SELECT NEXT VALUE FOR G_TACM_ACBMANDATOUSO, iAcbId, sAcbMandato, 'FRST', "
                       "'2026-10-31', 50, 'DEMO-' || iAcbId, 'SDD20261020.xml' FROM TAcb_AluCoordBan "
                       "WHERE iAcbId = :acb AND sAcbMandato IS NOT NULL")));
    TRY(paid.prepare(S("UPDATE TCac_CcaAcbCau SET lCacPagato = 1 WHERE iAcbCauId = :link "
                       "AND dCacDataScadenza = '2026-10-31'")));
    for (int i = 0; i < ids.size(); ++i) {
        add.bind(S("acb"), ids[i]).bind(S("cau"), cau.value());
        TRY(add.exec());
        if (!add.next())
            return Status::failure(S("Dati dimostrativi: causale a rate non collegata."));
        const int link = add.value(0).toInt();
        add.finish();
        if (i % 3 == 0) {
            paid.bind(S("link"), link);
            TRY(paid.exec());
            // The first instalment went to the bank under the pupil's mandate: the next is RCUR.
            used.bind(S("acb"), ids[i]);
            TRY(used.exec());
        }
    }
    return {};
}

} // namespace ccp::DemoDirectDebit
