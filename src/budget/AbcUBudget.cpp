#include "AbcUBudget.h"

#include "SqlQuery.h"
#include "TVeDBDateEdit.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"

#include <algorithm>

namespace ccp::budget {

// ---- year -----------------------------------------------------------------------------------

BudgetYear BudgetYear::calendar(int anfValore, int dwgId)
{
    return {anfValore, dwgId, QDate(anfValore, 1, 1), QDate(anfValore, 12, 31)};
}

BudgetYear BudgetYear::fromGlobalValues()
{
    const auto &values = fw::TVeGlobalValuesManager::instance();
    BudgetYear y = calendar(values.intValue(AbcKeys::AnfValore), values.intValue(AbcKeys::DwgId));
    const QDate start = values.GetValues(AbcKeys::AnfInizio).toDate();
    const QDate end = values.GetValues(AbcKeys::AnfFine).toDate();
    // Bounds published for another year (the parameters changed since) do not count.
    if (start.isValid() && end.isValid() && start <= end && (start.year() == y.anfValore || end.year() == y.anfValore)) {
        y.start = start;
        y.end = end;
    }
    return y;
}

// ---- messages -------------------------------------------------------------------------------

namespace AbcMessages {
QString startAfterYear(const QDate &yearEnd)
{
    return QStringLiteral("Attenzione!\r\nLa data di avvio della voce non può essere accettata \r\nin quanto non rientra "
                          "nell'esercizio finanziario selezionato \r\nData avvio massima: ")
        + fw::formatDate(yearEnd);
}
QString startBeforeYear(const QDate &yearStart)
{
    return QStringLiteral("Attenzione!\r\nLa data di avvio della voce non può essere accettata \r\nin quanto non rientra "
                          "nell'esercizio finanziario di inserimento \r\nData avvio minima: ")
        + fw::formatDate(yearStart);
}
QString endInYearStart(const QDate &minimum)
{
    return QStringLiteral("Attenzione!\r\nLa data di chiusura della voce non può essere accettata in quanto non rientra "
                          "nell'esercizio finanziario selezionato.\r\nData chiusura minima: ")
        + fw::formatDate(minimum);
}
QString endBeforeModels(const QDate &minimum)
{
    return QStringLiteral("Attenzione ! \r\nLa data di chiusura della voce o progetto deve essere posticipata perchè "
                          "esistono uno o più modelli che fanno riferimento ad essa.\r\nData chiusura minima: ")
        + fw::formatDate(minimum);
}
QString wrongCode(const QString &aggregateCode)
{
    return QStringLiteral("Attenzione!\r\nIl codice immesso è errato\r\nCodice consentito: %1 + numero").arg(aggregateCode);
}
QString required(const QString &label, bool blankAfterTitle)
{
    return QStringLiteral("Attenzione!") + (blankAfterTitle ? QStringLiteral(" ") : QString())
        + QStringLiteral("\r\nCampo obbligatorio \"") + label + u'"';
}
} // namespace AbcMessages

// ---- small rules ----------------------------------------------------------------------------

int corIdOf(bool competence, bool residues)
{
    if (competence && residues)
        return 3;
    return competence ? 1 : residues ? 2 : 0;
}

int tckIdFor(int aggId) { return aggId == 13 || aggId == 14 ? 2 : -1; }

bool isNumericCode(const QString &code)
{
    return !code.isEmpty() && std::all_of(code.begin(), code.end(), [](QChar c) { return c.isDigit(); });
}

namespace {

// The highest code that reads as a number, 0 when none does.
int highestNumber(const QStringList &codes)
{
    int top = 0;
    for (const QString &c : codes)
        if (isNumericCode(c.trimmed()))
            top = std::max(top, c.trimmed().toInt());
    return top;
}

QString twoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

} // namespace

QString nextAggregateCode(const QStringList &codes) { return twoDigits(highestNumber(codes) + 1); }

QString nextItemCode(const QString &aggregateCode, const QStringList &itemCodes)
{
    const QString a = aggregateCode.trimmed();
    if (isNumericCode(a))
        return twoDigits(highestNumber(itemCodes) + 1);
    // A01, A05 -> A06: the aggregate's code taken out, the rest read as a number.
    QStringList rests;
    for (const QString &c : itemCodes)
        if (!a.isEmpty() && c.contains(a))
            rests << QString(c.trimmed()).remove(a);
    const int next = highestNumber(rests) + 1;
    return a + (next < 99 ? twoDigits(next) : QString::number(next));
}

QString nextSubItemCode(const QStringList &codes)
{
    const int next = highestNumber(codes) + 1;
    return next > 999 ? QString() : QStringLiteral("%1").arg(next, 3, 10, QLatin1Char('0'));
}

bool itemCodeFits(const QString &aggregateCode, const QString &code)
{
    const QString a = aggregateCode.trimmed();
    if (a.isEmpty())
        return false;
    if (isNumericCode(a))
        return isNumericCode(code);
    return code.startsWith(a) && isNumericCode(code.mid(a.size()));
}

// ---- use by models --------------------------------------------------------------------------

Result<ModelUse> modelUse(QSqlDatabase db, UseKind kind, int id)
{
    ModelUse use;
    if (id <= 0)
        return use;
    // The column names are the program's own, never user text.
    const QString column = kind == UseKind::Aggregate ? QStringLiteral("IAGGID")
        : kind == UseKind::Item                       ? QStringLiteral("IVPROID")
                                                      : QStringLiteral("ISVOID");
    const QString direct = kind == UseKind::Item ? QStringLiteral("(M.IVPROID = :ID) OR ") : QString();
    const QString sql = QStringLiteral(
        "SELECT COUNT(*), MAX(M.IMPRESERCIZIOFIN), MAX(CASE WHEN EXISTS (SELECT 1 FROM TAPR_APPPROGETTI A "
        "WHERE A.IMPRID = M.IMPRID AND A.ILOCKED = 1 AND A.DDELETE IS NULL) THEN 1 ELSE 0 END) "
        "FROM TMPR_MODPROGETTI M WHERE M.DDELETE IS NULL AND (%1EXISTS (SELECT 1 FROM TVOI_VOCIIMPORTI V "
        "WHERE V.IMPRID = M.IMPRID AND V.%2 = :ID AND V.DDELETE IS NULL))")
                            .arg(direct, column);
    SqlQuery q(db);
    if (auto s = q.prepare(sql); !s)
        return s;
    q.bind(QStringLiteral("ID"), id);
    if (auto s = q.exec(); !s)
        return s;
    if (q.next()) {
        use.used = q.value(0).toInt() > 0;
        use.lastYear = q.value(1).toInt();
        use.frozen = q.value(2).toInt() == 1;
    }
    return use;
}

// ---- store ----------------------------------------------------------------------------------

BudgetStore::BudgetStore(QSqlDatabase db, BudgetYear year, BudgetView view)
    : m_db(std::move(db)), m_year(std::move(year)), m_view(view)
{
}

Result<QStringList> BudgetStore::codes(const QString &sql, const QVariantMap &params) const
{
    SqlQuery q(m_db);
    if (auto s = q.run(sql, params); !s)
        return s;
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

Result<QString> BudgetStore::proposeAggregateCode() const
{
    // Numbered within the flow and total type: the out-of-total 99 does not push the others.
    auto c = codes(QStringLiteral("SELECT SAGGDESCS FROM TAGG_AGGREGATI WHERE DDELETE IS NULL AND IFLSID = :IFLSID "
                                  "AND ITITOID = :ITITOID AND ((IDWGID = :IDWGID) OR (IDWGID IS NULL))"),
                   {{QStringLiteral("IFLSID"), m_view.flow},
                    {QStringLiteral("ITITOID"), m_view.totalType},
                    {QStringLiteral("IDWGID"), m_year.dwgId}});
    if (!c)
        return c.status();
    return nextAggregateCode(c.value());
}

Result<QString> BudgetStore::aggregateCode(int aggId) const
{
    auto v = SqlQuery::scalar(m_db, QStringLiteral("SELECT SAGGDESCS FROM TAGG_AGGREGATI WHERE IAGGID = :IAGGID"),
                              {{QStringLiteral("IAGGID"), aggId}});
    if (!v)
        return v.status();
    return v.value().toString().trimmed();
}

Result<QString> BudgetStore::proposeItemCode(int aggId, int itemId) const
{
    auto a = aggregateCode(aggId);
    if (!a)
        return a;
    auto c = codes(QStringLiteral("SELECT SVPROCOD FROM TVPRO_VOCIPROGETTI WHERE IAGGID = :IAGGID AND DDELETE IS NULL "
                                  "AND IVPROID <> :IVPROID AND ((IDWGID = :IDWGID) OR (IDWGID IS NULL)) "
                                  "AND DSTART <= :DFINE AND ((DEND IS NULL) OR (DEND >= :DINIZIO))"),
                   {{QStringLiteral("IAGGID"), aggId},
                    {QStringLiteral("IVPROID"), itemId},
                    {QStringLiteral("IDWGID"), m_year.dwgId},
                    {QStringLiteral("DFINE"), m_year.end},
                    {QStringLiteral("DINIZIO"), m_year.start}});
    if (!c)
        return c.status();
    return nextItemCode(a.value(), c.value());
}

Result<QString> BudgetStore::proposeSubItemCode(int itemId) const
{
    auto c = codes(QStringLiteral("SELECT SSVODESCS FROM TSVO_SOTTOVOCI WHERE IVPROID = :IVPROID AND DDELETE IS NULL "
                                  "AND ((IDWGID = :IDWGID) OR (IDWGID IS NULL))"),
                   {{QStringLiteral("IVPROID"), itemId}, {QStringLiteral("IDWGID"), m_year.dwgId}});
    if (!c)
        return c.status();
    return nextSubItemCode(c.value());
}

Result<bool> BudgetStore::aggregateCodeTaken(const QString &code, int selfId) const
{
    auto v = SqlQuery::scalar(
        m_db,
        QStringLiteral("SELECT COUNT(*) FROM TAGG_AGGREGATI WHERE DDELETE IS NULL AND IFLSID = :IFLSID "
                       "AND UPPER(TRIM(SAGGDESCS)) = :CODE AND IAGGID <> :IAGGID AND ((IDWGID = :IDWGID) OR (IDWGID IS NULL)) "
                       "AND ((DSTART IS NULL) OR (DSTART <= :DFINE)) AND ((DEND IS NULL) OR (DEND >= :DINIZIO))"),
        {{QStringLiteral("IFLSID"), m_view.flow},
         {QStringLiteral("CODE"), code.trimmed().toUpper()},
         {QStringLiteral("IAGGID"), selfId},
         {QStringLiteral("IDWGID"), m_year.dwgId},
         {QStringLiteral("DFINE"), m_year.end},
         {QStringLiteral("DINIZIO"), m_year.start}});
    if (!v)
        return v.status();
    return v.value().toInt() > 0;
}

Result<bool> BudgetStore::itemOverlaps(const ItemValues &item) const
{
    // An open end reaches every later day; a far date keeps the statement one shape.
    const QDate end = item.end.isValid() ? item.end : QDate(9999, 12, 31);
    auto v = SqlQuery::scalar(
        m_db,
        QStringLiteral("SELECT COUNT(*) FROM TVPRO_VOCIPROGETTI WHERE DDELETE IS NULL AND IAGGID = :IAGGID "
                       "AND SVPROCOD = :SVPROCOD AND IVPROID <> :IVPROID AND ((IDWGID = :IDWGID) OR (IDWGID IS NULL)) "
                       "AND DSTART <= :DEND AND ((DEND IS NULL) OR (DEND >= :DSTART))"),
        {{QStringLiteral("IAGGID"), item.aggId},
         {QStringLiteral("SVPROCOD"), item.code},
         {QStringLiteral("IVPROID"), item.id},
         {QStringLiteral("IDWGID"), item.dwgId > 0 ? item.dwgId : m_year.dwgId},
         {QStringLiteral("DEND"), end},
         {QStringLiteral("DSTART"), item.start}});
    if (!v)
        return v.status();
    return v.value().toInt() > 0;
}

Verdict BudgetStore::checkUse(UseKind kind, int id, bool frozenRefuses) const
{
    auto use = modelUse(m_db, kind, id);
    if (!use)
        return Refusal{use.error(), Field::None};
    if (!use->used)
        return std::nullopt;
    if (frozenRefuses && use->frozen)
        return Refusal{AbcMessages::Frozen, Field::Code};
    if (!fw::askYesNo(AbcMessages::ModelsQuestion))
        return Refusal{QString(), Field::None};
    return std::nullopt;
}

Verdict BudgetStore::checkAggregate(const AggregateValues &agg) const
{
    if (agg.code.trimmed().isEmpty())
        return Refusal{AbcMessages::required(QStringLiteral("Codice")), Field::Code};
    auto taken = aggregateCodeTaken(agg.code, agg.id);
    if (!taken)
        return Refusal{taken.error(), Field::Code};
    if (taken.value())
        return Refusal{AbcMessages::AggregateCodeTaken, Field::Code};
    if (agg.id > 0)
        return checkUse(UseKind::Aggregate, agg.id, true);
    return std::nullopt;
}

Verdict BudgetStore::checkItem(const ItemValues &item, const std::optional<StoredItem> &stored) const
{
    const bool editing = stored.has_value() && item.id > 0;
    ModelUse use;
    if (editing) {
        auto u = modelUse(m_db, UseKind::Item, item.id);
        if (!u)
            return Refusal{u.error(), Field::None};
        use = u.value();
    }
    const bool used = editing && use.used;

    if (!item.start.isValid())
        return Refusal{AbcMessages::required(QStringLiteral("Data inizio")), Field::Start};
    if (item.start > m_year.end)
        return Refusal{AbcMessages::startAfterYear(m_year.end), Field::Start};
    if (!editing && item.start < m_year.start)
        return Refusal{AbcMessages::startBeforeYear(m_year.start), Field::Start};
    if (used && stored->start.isValid() && item.start > stored->start)
        return Refusal{AbcMessages::StartPostponed, Field::Start};
    if (item.end.isValid()) {
        if (item.end <= m_year.start)
            return Refusal{AbcMessages::endInYearStart(m_year.start.addDays(1)), Field::End};
        if (used && use.closingBound().isValid() && item.end <= use.closingBound())
            return Refusal{AbcMessages::endBeforeModels(use.closingBound().addDays(1)), Field::End};
        if (item.end < item.start)
            return Refusal{AbcMessages::EndBeforeStart, Field::End};
    }
    const int cor = corIdOf(item.competence, item.residues);
    if (cor == 0)
        return Refusal{AbcMessages::NoAccount, Field::Competence};
    if (used && ((stored->corId == 1 && cor == 2) || (stored->corId == 2 && cor == 1)))
        return Refusal{AbcMessages::AccountSwap, Field::Competence};
    if (item.aggId <= 0)
        return Refusal{AbcMessages::required(QStringLiteral("Aggregato"), true), Field::Aggregate};
    if (item.code.trimmed().isEmpty())
        return Refusal{AbcMessages::required(QStringLiteral("Codice")), Field::Code};
    if (!itemCodeFits(item.aggregateCode, item.code))
        return Refusal{AbcMessages::wrongCode(item.aggregateCode), Field::Code};
    if (used) {
        const bool aggChanged = item.aggId != stored->aggId;
        if (use.frozen && (aggChanged || item.code != stored->code))
            return Refusal{AbcMessages::Frozen, Field::Code};
        if (!fw::askYesNo(AbcMessages::ModelsQuestion))
            return Refusal{QString(), Field::None};
        if (aggChanged)
            return Refusal{AbcMessages::AggregateChange, Field::Aggregate};
    }
    auto overlaps = itemOverlaps(item);
    if (!overlaps)
        return Refusal{overlaps.error(), Field::Code};
    if (overlaps.value())
        return Refusal{AbcMessages::Overlap, Field::Code};
    return std::nullopt;
}

Verdict BudgetStore::checkSubItem(const SubItemValues &sub) const
{
    const int cor = corIdOf(sub.competence, sub.residues);
    if (cor == 0)
        return Refusal{AbcMessages::NoAccount, Field::Competence};
    ModelUse use;
    if (sub.id > 0) {
        auto u = modelUse(m_db, UseKind::SubItem, sub.id);
        if (!u)
            return Refusal{u.error(), Field::None};
        use = u.value();
    }
    if (use.used && ((sub.storedCorId == 1 && cor == 2) || (sub.storedCorId == 2 && cor == 1)))
        return Refusal{AbcMessages::AccountSwap, Field::Competence};
    if (sub.code.trimmed().isEmpty())
        return Refusal{AbcMessages::required(QStringLiteral("Codice")), Field::Code};
    if (!use.used)
        return std::nullopt;
    if (use.frozen)
        return Refusal{AbcMessages::Frozen, Field::Code};
    if (!fw::askYesNo(AbcMessages::ModelsQuestion))
        return Refusal{QString(), Field::None};
    return std::nullopt;
}

// ---- statements -----------------------------------------------------------------------------

namespace AbcSql {

const QString AggregatesSelect = QStringLiteral(
    "SELECT IAGGID, IDWGID, SAGGDESCS, SAGGDESCL, IFLSID, ITITOID, DSTART, DEND FROM TAGG_AGGREGATI "
    "WHERE (DDELETE IS NULL) AND (IFLSID = :IFLSID) AND (ITITOID = :ITITOID) "
    "AND ((IDWGID = :IDWGID) OR (IDWGID IS NULL)) AND ((DSTART IS NULL) OR (DSTART <= :DFINE)) "
    "AND ((DEND IS NULL) OR (DEND >= :DINIZIO))");
const QString AggregateInsert = QStringLiteral(
    " INSERT INTO TAGG_AGGREGATI (IAGGID, IDWGID, SAGGDESCS, SAGGDESCL, IFLSID, ITITOID, DSTART, DEND) VALUES "
    "(:VEGENID, :IDWGID, :SAGGDESCS, :SAGGDESCL, :IFLSID, :ITITOID, :DSTART, :DEND)");
const QString AggregateUpdate = QStringLiteral(
    "UPDATE TAGG_AGGREGATI SET SAGGDESCS = :SAGGDESCS, SAGGDESCL = :SAGGDESCL WHERE IAGGID = :VECURRID");

const QString ItemsSelect = QStringLiteral(
    "SELECT V.IVPROID, V.ICORID, V.IAGGID, V.IDWGID, V.ITCKID, V.SVPROCOD, V.SVPRODESCS, V.DSTART, V.DEND, "
    "A.SAGGDESCS, "
    "CAST(CASE WHEN V.ICORID IN (1, 3) THEN 1 ELSE 0 END AS SMALLINT) AS LCOMPETENZA, "
    "CAST(CASE WHEN V.ICORID IN (2, 3) THEN 1 ELSE 0 END AS SMALLINT) AS LRESIDUI, "
    "CAST(CASE WHEN V.ICORID IN (1, 3) THEN 'SI' ELSE 'NO' END AS VARCHAR(2)) AS COMPETENZA, "
    "CAST(CASE WHEN V.ICORID IN (2, 3) THEN 'SI' ELSE 'NO' END AS VARCHAR(2)) AS RESIDUI "
    "FROM TVPRO_VOCIPROGETTI V INNER JOIN TAGG_AGGREGATI A ON (A.IAGGID = V.IAGGID) "
    "WHERE (V.DDELETE IS NULL) AND (A.IFLSID = :IFLSID) AND (A.ITITOID = :ITITOID) "
    "AND ((V.IDWGID = :IDWGID) OR (V.IDWGID IS NULL)) AND (V.DSTART <= :DFINE) "
    "AND ((V.DEND IS NULL) OR (V.DEND >= :DINIZIO))");
const QString ItemInsert = QStringLiteral(
    "INSERT INTO TVPRO_VOCIPROGETTI (IVPROID, ICORID, IAGGID, IDWGID, ITCKID, SVPROCOD, SVPRODESCS, DSTART, DEND) "
    "VALUES (:VEGENID, :ICORID, :IAGGID, :IDWGID, :ITCKID, :SVPROCOD, :SVPRODESCS, :DSTART, :DEND)");
const QString ItemUpdate = QStringLiteral(
    "UPDATE TVPRO_VOCIPROGETTI SET ICORID = :ICORID, IAGGID = :IAGGID, IDWGID = :IDWGID, ITCKID = :ITCKID, "
    "SVPROCOD = :SVPROCOD, SVPRODESCS = :SVPRODESCS, DSTART = :DSTART, DEND = :DEND WHERE IVPROID = :VECURRID");
const QString SubItemsFollowDates = QStringLiteral(
    " UPDATE TSVO_SOTTOVOCI SET TSVO_SOTTOVOCI.DSTART = :DSTART, TSVO_SOTTOVOCI.DEND = :DEND "
    "WHERE TSVO_SOTTOVOCI.IVPROID = :IVPROID");
const QString SubItemsFollowDatesAndAccounts = QStringLiteral(
    " UPDATE TSVO_SOTTOVOCI SET TSVO_SOTTOVOCI.ICORID = :ICORID, TSVO_SOTTOVOCI.DSTART = :DSTART, "
    "TSVO_SOTTOVOCI.DEND = :DEND WHERE TSVO_SOTTOVOCI.IVPROID = :IVPROID");

const QString SubItemsSelect = QStringLiteral(
    "SELECT ISVOID, ICORID, IVPROID, IDWGID, SSVODESCS, SSVODESCL, DSTART, DEND, "
    "CAST(CASE WHEN ICORID IN (1, 3) THEN 1 ELSE 0 END AS SMALLINT) AS LCOMPETENZA, "
    "CAST(CASE WHEN ICORID IN (2, 3) THEN 1 ELSE 0 END AS SMALLINT) AS LRESIDUI, "
    "CAST(CASE WHEN ICORID IN (1, 3) THEN 'SI' ELSE 'NO' END AS VARCHAR(2)) AS COMPETENZA, "
    "CAST(CASE WHEN ICORID IN (2, 3) THEN 'SI' ELSE 'NO' END AS VARCHAR(2)) AS RESIDUI "
    "FROM TSVO_SOTTOVOCI WHERE (IVPROID = :IVPROID) AND (DDELETE IS NULL) "
    "AND ((IDWGID = :IDWGID) OR (IDWGID IS NULL))");
const QString SubItemInsert = QStringLiteral(
    " INSERT INTO TSVO_SOTTOVOCI (ISVOID, ICORID, IDWGID, IVPROID, SSVODESCS, SSVODESCL, DSTART, DEND) VALUES "
    "(:VEGENID, :ICORID, :IDWGID, :IVPROID, :SSVODESCS, :SSVODESCL, :DSTART, :DEND)");
const QString SubItemUpdate = QStringLiteral(
    " UPDATE TSVO_SOTTOVOCI SET TSVO_SOTTOVOCI.ICORID = :ICORID, TSVO_SOTTOVOCI.SSVODESCS = :SSVODESCS, "
    "TSVO_SOTTOVOCI.SSVODESCL = :SSVODESCL, TSVO_SOTTOVOCI.DSTART = :DSTART, TSVO_SOTTOVOCI.DEND = :DEND "
    "WHERE TSVO_SOTTOVOCI.ISVOID = :VECURRID");

const QString FlowsSelect = QStringLiteral("SELECT IFLSID, UPPER(SFLSDESCL) FROM TFLS_FLUSSOCASSA ORDER BY IFLSID");
const QString TotalTypesSelect = QStringLiteral("SELECT ITITOID, UPPER(STITODESCL) FROM TTITO_TIPOTOTALE ORDER BY ITITOID");

QString aggregateLookup(const BudgetView &view, const BudgetYear &year)
{
    // Only numbers and dates written by the program go into the text.
    const QString end = year.end.toString(QStringLiteral("MM/dd/yyyy"));
    const QString start = year.start.toString(QStringLiteral("MM/dd/yyyy"));
    return QStringLiteral(
               " SELECT TAGG_AGGREGATI.IAGGID, TAGG_AGGREGATI.SAGGDESCS, TAGG_AGGREGATI.SAGGDESCL FROM TAGG_AGGREGATI "
               "WHERE ##WHERE## AND (TAGG_AGGREGATI.DDELETE IS NULL) AND (TAGG_AGGREGATI.IFLSID = %1) "
               "AND (TAGG_AGGREGATI.ITITOID = %2) AND (TAGG_AGGREGATI.DSTART <= '%3') "
               "AND ((TAGG_AGGREGATI.DEND > '%4') OR (TAGG_AGGREGATI.DEND IS NULL)) "
               "AND ((TAGG_AGGREGATI.IDWGID = %5) OR (TAGG_AGGREGATI.IDWGID IS NULL))")
        .arg(view.flow)
        .arg(view.totalType)
        .arg(end, start)
        .arg(year.dwgId);
}

} // namespace AbcSql

} // namespace ccp::budget
