#include "DemoBudget.h"
#include "DemoSupport.h"

#include "Ids.h"
#include "SqlQuery.h"

#include <QDate>

namespace ccp::DemoData {

namespace {

#define S(x) QStringLiteral(x)
// The working institute of the demo and the day the scheme starts.
constexpr int WorkingDwg = 3;
const QDate SchemeStart(2019, 1, 1);

struct Aggregate { const char *code; const char *desc; };
const Aggregate IncomeAggregates[] = {
    {"07", "Proventi da gestioni economiche"},
    {"08", "Rimborsi e restituzione somme"},
    {"09", "Alienazione di beni materiali"},
    {"10", "Alienazione di beni immateriali"},
    {"11", "Sponsor e utilizzo locali"},
    {"13", "Mutui"},
};

// Items and sub-items added here; flow 1 income, 2 expense.
struct Item { int flow; const char *agg; const char *code; const char *desc; int corId; };
const Item Items[] = {
    {1, "07", "01", "Azienda agraria", 3},
    {1, "07", "02", "Azienda speciale", 3},
    {1, "08", "01", "Rimborsi da famiglie", 3},
    {1, "08", "02", "Rimborsi dallo Stato", 1},
    {1, "09", "01", "Alienazione di beni materiali", 1},
    {1, "10", "01", "Alienazione di beni immateriali", 1},
    {1, "11", "01", "Contributi da imprese per sponsorizzazioni", 3},
    {1, "11", "02", "Canoni per concessione di locali", 3},
    {1, "13", "01", "Mutui", 2},
};

struct Sub { int flow; const char *agg; const char *item; const char *code; const char *desc; };
const Sub SubItems[] = {
    {1, "07", "01", "001", "Vendita di prodotti agricoli"},
    {1, "11", "02", "001", "Concessione della palestra"},
    {1, "11", "02", "002", "Concessione delle aule"},
    {2, "A", "A03", "002", "Sussidi per alunni con disabilità"},
    {2, "A", "A04", "001", "Tirocini in azienda"},
    {2, "A", "A05", "001", "Viaggi di istruzione"},
    {2, "A", "A05", "002", "Uscite didattiche"},
    {2, "P", "P01", "001", "Laboratorio di robotica"},
    {2, "P", "P02", "001", "Laboratorio teatrale"},
    {2, "P", "P03", "001", "Certificazioni linguistiche"},
    {2, "P", "P04", "001", "Formazione sulla sicurezza"},
};

// A model of the working institute for one item and year, with its amounts in cents on the
// item, on one of its sub-items (code, optional) and on its aggregate.
struct Model { int flow; const char *agg; const char *item; const char *sub; int year; bool frozen; int cents; };
const Model Models[] = {
    {2, "A", "A01", "001", 2026, true, 1200000},
    {2, "A", "A02", "001", 2026, false, 800000},
    {2, "P", "P01", "001", 2025, false, 350000},
    {1, "06", "01", "001", 2026, false, 2500000},
};

class Writer
{
public:
    explicit Writer(QSqlDatabase db) : m_db(std::move(db)) {}

    Status run()
    {
        for (const char *table : {"TAGG_AGGREGATI", "TVPRO_VOCIPROGETTI", "TSVO_SOTTOVOCI", "TMPR_MODPROGETTI",
                                  "TVOI_VOCIIMPORTI", "TAPR_APPPROGETTI"})
            TRY(generatorPastRows(QString::fromLatin1(table)));
        for (const Aggregate &a : IncomeAggregates)
            TRY(insertAggregate(a));
        for (const Item &i : Items)
            TRY(insertItem(i));
        for (const Sub &s : SubItems)
            TRY(insertSub(s));
        for (const Model &m : Models)
            TRY(insertModel(m));
        return {};
    }

private:
    // The scheme's rows were written with ids of their own: new ids start after them.
    Status generatorPastRows(const QString &table)
    {
        const QString key = table == S("TAGG_AGGREGATI") ? S("IAGGID")
            : table == S("TVPRO_VOCIPROGETTI")           ? S("IVPROID")
            : table == S("TSVO_SOTTOVOCI")               ? S("ISVOID")
            : table == S("TMPR_MODPROGETTI")             ? S("IMPRID")
            : table == S("TVOI_VOCIIMPORTI")             ? S("IVOIID")
                                                         : S("IAPRID");
        auto top = SqlQuery::scalar(m_db, S("SELECT COALESCE(MAX(%1), 0) FROM %2").arg(key, table));
        if (!top)
            return top.status();
        auto cur = SqlQuery::scalar(m_db, S("SELECT GEN_ID(G_%1, 0) FROM RDB$DATABASE").arg(table));
        if (!cur)
            return cur.status();
        const qint64 delta = top.value().toLongLong() - cur.value().toLongLong();
        if (delta > 0)
            return SqlQuery::scalar(m_db, S("SELECT GEN_ID(G_%1, %2) FROM RDB$DATABASE").arg(table).arg(delta)).status();
        return {};
    }

    Result<int> lookup(const QString &sql, const QVariantMap &params)
    {
        auto v = SqlQuery::scalar(m_db, sql, params);
        if (!v)
            return v.status();
        if (!v.value().isValid() || v.value().isNull())
            return Status::failure(S("Dati dimostrativi del bilancio: riga mancante per %1").arg(params.values().constFirst().toString()));
        return v.value().toInt();
    }
    Result<int> aggregateId(int flow, const char *code)
    {
        return lookup(S("SELECT FIRST 1 IAGGID FROM TAGG_AGGREGATI WHERE IFLSID = :F AND SAGGDESCS = :C AND DDELETE IS NULL"),
                      {{S("C"), QString::fromLatin1(code)}, {S("F"), flow}});
    }
    Result<int> itemId(int flow, const char *agg, const char *code)
    {
        auto a = aggregateId(flow, agg);
        if (!a)
            return a;
        return lookup(S("SELECT FIRST 1 IVPROID FROM TVPRO_VOCIPROGETTI WHERE IAGGID = :A AND SVPROCOD = :C AND DDELETE IS NULL"),
                      {{S("C"), QString::fromLatin1(code)}, {S("A"), a.value()}});
    }

    Status insertAggregate(const Aggregate &a)
    {
        auto id = Ids::next(m_db, S("TAGG_AGGREGATI"));
        if (!id)
            return id.status();
        SqlQuery q(m_db);
        TRY(q.prepare(S("INSERT INTO TAGG_AGGREGATI (IAGGID, IDWGID, SAGGDESCS, SAGGDESCL, IFLSID, ITITOID, DSTART) "
                        "VALUES (:ID, NULL, :S, :L, 1, 1, :D)")));
        q.bind(S("ID"), id.value()).bind(S("S"), QString::fromLatin1(a.code)).bind(S("L"), QString::fromUtf8(a.desc))
            .bind(S("D"), SchemeStart);
        return q.exec();
    }

    Status insertItem(const Item &i)
    {
        auto agg = aggregateId(i.flow, i.agg);
        if (!agg)
            return agg.status();
        auto id = Ids::next(m_db, S("TVPRO_VOCIPROGETTI"));
        if (!id)
            return id.status();
        SqlQuery q(m_db);
        TRY(q.prepare(S("INSERT INTO TVPRO_VOCIPROGETTI (IVPROID, ICORID, IAGGID, IDWGID, ITCKID, SVPROCOD, SVPRODESCS, "
                        "SVPRODESCL, DSTART) VALUES (:ID, :COR, :AGG, NULL, :TCK, :C, :S, :S, :D)")));
        q.bind(S("ID"), id.value()).bind(S("COR"), i.corId).bind(S("AGG"), agg.value())
            .bind(S("TCK"), agg.value() == 13 || agg.value() == 14 ? 2 : -1).bind(S("C"), QString::fromLatin1(i.code))
            .bind(S("S"), QString::fromUtf8(i.desc)).bind(S("D"), SchemeStart);
        return q.exec();
    }

    Status insertSub(const Sub &s)
    {
        auto item = itemId(s.flow, s.agg, s.item);
        if (!item)
            return item.status();
        auto id = Ids::next(m_db, S("TSVO_SOTTOVOCI"));
        if (!id)
            return id.status();
        // A sub-item takes its item's accounts, institute and dates.
        SqlQuery q(m_db);
        TRY(q.prepare(S("INSERT INTO TSVO_SOTTOVOCI (ISVOID, ICORID, IVPROID, IDWGID, SSVODESCS, SSVODESCL, DSTART, DEND) "
                        "SELECT :ID, ICORID, IVPROID, IDWGID, :C, :L, DSTART, DEND FROM TVPRO_VOCIPROGETTI WHERE IVPROID = :ITEM")));
        q.bind(S("ID"), id.value()).bind(S("C"), QString::fromLatin1(s.code)).bind(S("L"), QString::fromUtf8(s.desc))
            .bind(S("ITEM"), item.value());
        return q.exec();
    }

    Status insertModel(const Model &m)
    {
        auto agg = aggregateId(m.flow, m.agg);
        if (!agg)
            return agg.status();
        auto item = itemId(m.flow, m.agg, m.item);
        if (!item)
            return item.status();
        auto sub = lookup(S("SELECT FIRST 1 ISVOID FROM TSVO_SOTTOVOCI WHERE IVPROID = :I AND SSVODESCS = :C"),
                          {{S("C"), QString::fromLatin1(m.sub)}, {S("I"), item.value()}});
        if (!sub)
            return sub.status();
        auto mpr = Ids::next(m_db, S("TMPR_MODPROGETTI"));
        if (!mpr)
            return mpr.status();
        SqlQuery q(m_db);
        TRY(q.prepare(S("INSERT INTO TMPR_MODPROGETTI (IMPRID, IVPROID, IDWGID, IMPRESERCIZIOFIN, DSTART) "
                        "VALUES (:ID, :ITEM, :DWG, :Y, :D)")));
        q.bind(S("ID"), mpr.value()).bind(S("ITEM"), item.value()).bind(S("DWG"), WorkingDwg).bind(S("Y"), m.year)
            .bind(S("D"), QDate(m.year, 1, 1));
        TRY(q.exec());
        SqlQuery voi(m_db);
        TRY(voi.prepare(S("INSERT INTO TVOI_VOCIIMPORTI (IVOIID, IMPRID, IAGGID, IVPROID, ISVOID, FVOIIMPORTO) "
                          "VALUES (:ID, :MPR, :AGG, :ITEM, :SUB, :AMOUNT)")));
        auto voiId = Ids::next(m_db, S("TVOI_VOCIIMPORTI"));
        if (!voiId)
            return voiId.status();
        voi.bind(S("ID"), voiId.value()).bind(S("MPR"), mpr.value()).bind(S("AGG"), agg.value())
            .bind(S("ITEM"), item.value()).bind(S("SUB"), sub.value()).bind(S("AMOUNT"), Money::fromCents(m.cents));
        TRY(voi.exec());
        auto apr = Ids::next(m_db, S("TAPR_APPPROGETTI"));
        if (!apr)
            return apr.status();
        SqlQuery approval(m_db);
        TRY(approval.prepare(S("INSERT INTO TAPR_APPPROGETTI (IAPRID, IMPRID, DAPRDATA, ILOCKED) VALUES (:ID, :MPR, :D, :L)")));
        approval.bind(S("ID"), apr.value()).bind(S("MPR"), mpr.value()).bind(S("D"), QDate(m.year, 1, 31))
            .bind(S("L"), m.frozen ? 1 : 0);
        return approval.exec();
    }

    QSqlDatabase m_db;
};

} // namespace

Status loadBudget(QSqlDatabase db) { return Writer(std::move(db)).run(); }

} // namespace ccp::DemoData
