#include "DemoBeneficiaries.h"
#include "DemoSupport.h"

#include "Ids.h"
#include "SqlQuery.h"

#include <QDate>
#include <QRegularExpression>

namespace ccp::DemoBeneficiaries {

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }

struct Foreign
{
    const char *town;
    int state;
    const char *name;
    const char *country;
    const char *vat;
    const char *address;
    const char *iban;
    const char *bic;
};

const Foreign ForeignBeneficiaries[] = {
    {"Monaco di Baviera", 216, "Lehrmittel Huber GmbH", "DE", "DE129273398", "Leopoldstraße 12",
     "DE89370400440532013000", "COBADEFFXXX"},
    {"Lione", 215, "Éditions du Rhône SARL", "FR", "FR40303265045", "12 rue de la République",
     "FR1420041010050500013M02606", "PSSTFRPPLYO"},
    {"Lugano", 241, "Viaggi Ceresio SA", "CH", "CHE116281710", "Via Nassa 5",
     "CH9300762011623852957", "UBSWCHZH80A"},
};

Result<int> scalarInt(QSqlDatabase db, const QString &sql, const QVariantMap &params = {})
{
    auto v = SqlQuery::scalar(db, sql, params);
    if (!v)
        return v.status();
    return v->toInt();
}

} // namespace

Status load(QSqlDatabase db)
{
    const QDate since(2018, 1, 1);
    SqlQuery q(db);
    auto run = [&](const QString &sql, const QVariantMap &params) { return q.run(sql, params); };
    auto next = [&](const char *table) { return Ids::next(db, QString::fromLatin1(table)); };

    // Foreign towns and beneficiaries with a seat there and foreign bank details (BIC).
    for (const Foreign &f : ForeignBeneficiaries) {
        auto com = next("TCOM_COMUNI");
        auto srpc = next("TSRPC");
        auto comCap = next("TCOMCAP");
        auto ben = next("TBEN_BENEFICIARI");
        auto bca = next("TBENBCA");
        auto seb = next("TSEB_SEDIBEN");
        auto spr = next("TSPRBEN");
        for (const auto *r : {&com, &srpc, &comCap, &ben, &bca, &seb, &spr})
            if (!*r)
                return r->status();
        TRY(run(S("INSERT INTO TCOM_COMUNI (ICOMID, SCOMDESC, DSTART) VALUES (:id, :d, '0001-01-01')"),
                {{S("id"), *com}, {S("d"), S(f.town).toUpper()}}));
        TRY(run(S("INSERT INTO TSRPC (ISRPCID, ISTAID, ICOMID, DSTART, IPROID, SSRPCCOMRISTAT, SSRPCCODCATA) "
                  "SELECT :id, S.ISTAID, :com, '0001-01-01', 20000, S.SSTAISTAT, S.SSTACODICE FROM TSTA_STATI S WHERE S.ISTAID = :sta"),
                {{S("id"), *srpc}, {S("com"), *com}, {S("sta"), f.state}}));
        TRY(run(S("INSERT INTO TCOMCAP (ICOMCAPID, ISRPCID, DSTART) VALUES (:id, :srpc, :d)"),
                {{S("id"), *comCap}, {S("srpc"), *srpc}, {S("d"), since}}));
        TRY(run(S("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, SBENPARTITAIVA, LBENAVVPAGAMENTO, LBENPRIVACY, "
                  "LBENEND, LBENOBBLTRACC, LBENESTERO, SBENSTATO, DSTART) VALUES (:id, :rs, :iva, 0, 0, 0, 1, 1, :st, :d)"),
                {{S("id"), *ben}, {S("rs"), S(f.name)}, {S("iva"), S(f.vat)}, {S("st"), S(f.country)}, {S("d"), since}}));
        TRY(run(S("INSERT INTO TBENBCA (IBENBCAID, IBENID, IBCAID) VALUES (:id, :ben, 1)"), {{S("id"), *bca}, {S("ben"), *ben}}));
        TRY(run(S("INSERT INTO TSEB_SEDIBEN (ISEBID, IBENID, ICOMCAPID, SSEBINDIRIZZO, LSEBRIFERIMENTO, DSTART) "
                  "VALUES (:id, :ben, :cc, :ind, 1, :d)"),
                {{S("id"), *seb}, {S("ben"), *ben}, {S("cc"), *comCap}, {S("ind"), S(f.address)}, {S("d"), since}}));
        TRY(run(S("INSERT INTO TSPRBEN (ISPRBENID, IBENID, IMPGID, SSPRBENIBAN, SSPRBENBIC, LSPRBENBANESTERA, "
                  "LSPRBENCNTDED, DSTART) VALUES (:id, :ben, 3, :iban, :bic, 1, 1, :d)"),
                {{S("id"), *spr}, {S("ben"), *ben}, {S("iban"), S(f.iban)}, {S("bic"), S(f.bic)}, {S("d"), since}}));
    }

    // Legal data and a web site for the first companies (legal persons).
    SqlQuery companies(db);
    TRY(companies.exec(S("SELECT FIRST 10 B.IBENID, B.SBENRAGSOC FROM TBEN_BENEFICIARI B "
                         "WHERE B.IANAID IS NULL AND B.LBENESTERO = 0 ORDER BY B.IBENID")));
    QList<int> ids;
    QStringList names;
    while (companies.next()) {
        ids << companies.value(0).toInt();
        names << companies.value(1).toString();
    }
    auto bologna = scalarInt(db, S("SELECT FIRST 1 S.ISRPCID FROM TSRPC S INNER JOIN TCOM_COMUNI C ON (C.ICOMID = S.ICOMID) "
                                   "WHERE S.SSRPCCOMRISTAT = '037006'"));
    if (!bologna)
        return bologna.status();
    for (int i = 0; i < ids.size(); ++i) {
        auto leg = next("TLEG_DATILEGALI");
        auto swb = next("TSWB_SITIWEB");
        if (!leg || !swb)
            return !leg ? leg.status() : swb.status();
        TRY(run(S("INSERT INTO TLEG_DATILEGALI (ILEGID, IBENID, SLEGNUMCCIA, ILEGSRPCCCIA, ILEGANNOFATT, FLEGFATTURATO, "
                  "SLEGPOSIZINPS, SLEGCODDITTAINAIL, DSTART) VALUES (:id, :ben, :ccia, :bo, 2025, :fatt, :inps, :inail, :d)"),
                {{S("id"), *leg}, {S("ben"), ids[i]}, {S("ccia"), S("BO-%1").arg(310000 + 1733 * i)}, {S("bo"), *bologna},
                 {S("fatt"), QString(QString::number(180000 + 47250 * i) + S(".5000"))}, {S("inps"), S("13%1").arg(80011 + 97 * i)},
                 {S("inail"), S("0%1").arg(4470021 + 311 * i)}, {S("d"), since}}));
        QString site = names[i].toLower();
        site.remove(QRegularExpression(S("[^a-z]")));
        TRY(run(S("INSERT INTO TSWB_SITIWEB (ISWBID, IBENID, SSWBSITO) VALUES (:id, :ben, :s)"),
                {{S("id"), *swb}, {S("ben"), ids[i]}, {S("s"), S("https://www.%1.example").arg(site.left(30))}}));
    }
    if (ids.size() < 3)
        return {};

    // A natural person represents the first company; the third company took the second's place.
    auto rep = scalarInt(db, S("SELECT FIRST 1 B.IBENID FROM TBEN_BENEFICIARI B WHERE B.IANAID IS NOT NULL ORDER BY B.IBENID"));
    if (!rep)
        return rep.status();
    auto rps = next("TRPS_RAPPR");
    auto bca = next("TBENBCA");
    auto sos = next("TSOS_SOSTITUZIONI");
    auto tel = next("TTEB_TELEFONO");
    if (!rps || !bca || !sos || !tel)
        return Status::failure(S("Dati dimostrativi: identificativi non disponibili."));
    TRY(run(S("INSERT INTO TRPS_RAPPR (IRPSID, IBENID, IBENID_P, DSTART) VALUES (:id, :ben, :p, :d)"),
            {{S("id"), *rps}, {S("ben"), *rep}, {S("p"), ids[0]}, {S("d"), QDate(2022, 9, 1)}}));
    TRY(run(S("INSERT INTO TBENBCA (IBENBCAID, IBENID, IBCAID) VALUES (:id, :ben, 4)"), {{S("id"), *bca}, {S("ben"), *rep}}));
    TRY(run(S("INSERT INTO TSOS_SOSTITUZIONI (ISOSID, IBENID, IBENID_P, DSTART) VALUES (:id, :ben, :p, :d)"),
            {{S("id"), *sos}, {S("ben"), ids[2]}, {S("p"), ids[1]}, {S("d"), QDate(2024, 1, 1)}}));
    TRY(run(S("INSERT INTO TTEB_TELEFONO (ITEBID, IBENID, STEBTELEFONO, STEBDESC, LTEBVIEW) VALUES (:id, :ben, :t, 'Cellulare', 0)"),
            {{S("id"), *tel}, {S("ben"), *rep}, {S("t"), S("333 4412987")}}));
    return {};
}

} // namespace ccp::DemoBeneficiaries
