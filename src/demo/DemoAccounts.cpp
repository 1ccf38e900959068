#include "DemoAccounts.h"
#include "DemoSupport.h"

#include "AbiUIBAN.h"
#include "Money.h"
#include "SqlQuery.h"

#include <QDate>
#include <QList>
#include <QMap>

namespace ccp::DemoData {

namespace {
QString S(const char *s) { return QString::fromUtf8(s); }

// A causale with its components (id, top-level type, amount) of one kind.
struct Causale
{
    int cauId = 0;
    QList<std::tuple<int, int, Money>> components;
    Money total() const
    {
        Money m;
        for (const auto &c : components)
            m += std::get<2>(c);
        return m;
    }
};

Result<QList<Causale>> causaliOfKind(QSqlDatabase db, int tipo)
{
    SqlQuery q(db);
    TRY(q.prepare(S("SELECT L.iCauId, Cca.iCcaId, COALESCE(Tcc.iTccId_P, Tcc.iTccId), Cca.fCcaImportoIst "
                    "FROM TCauCca L INNER JOIN TCau_Causali Cau ON (Cau.iCauId = L.iCauId) "
                    "INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = L.iCcaId) "
                    "INNER JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId) "
                    "WHERE Cau.lCauTipo = :tipo AND Cca.fCcaImportoIst > 0 ORDER BY L.iCauId, Cca.iCcaId")));
    q.bind(S("tipo"), tipo);
    TRY(q.exec());
    QList<Causale> list;
    while (q.next()) {
        const int cauId = q.value(0).toInt();
        if (list.isEmpty() || list.last().cauId != cauId)
            list.append(Causale{cauId, {}});
        list.last().components.append({q.value(1).toInt(), q.value(2).toInt(), q.money(3)});
    }
    return list;
}

class Accounts
{
public:
    explicit Accounts(QSqlDatabase db) : m_db(std::move(db)) {}
    Status run();

private:
    Result<int> account(int sprId, const QString &abi, const QString &cab, const QString &number,
                        const QString &holder, const QDate &opened);
    // Creates the year with its opening per type (types 1-4) through the year procedure.
    Status openYear(int sprIstId, int year, const QDate &first, const QDate &last, const QMap<int, Money> &opening);
    // One movement a month between the two days, income and some expenses; adds its split
    // rows to `byType`.
    Status movements(int sprIstId, int year, const QDate &from, const QDate &to, QMap<int, Money> &byType);

    QSqlDatabase m_db;
    QList<Causale> m_income, m_expense;
};

Result<int> Accounts::account(int sprId, const QString &abi, const QString &cab, const QString &number,
                              const QString &holder, const QDate &opened)
{
    auto id = SqlQuery::scalar(m_db, S("SELECT NEXT VALUE FOR G_TSPRIST FROM RDB$DATABASE"));
    if (!id)
        return id.status();
    auto iban = abiban::BuildIBAN(abi, cab, number);
    if (!iban)
        return iban.status();
    const QString cin = abiban::IBANCalculator().DomesticBBAN()->CheckLetter();
    const QString check = abiban::IBANCalculator().CheckDigits();
    SqlQuery q(m_db);
    TRY(q.prepare(S("INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, sSprIstNumCc, sSprIstIntest, sSprIstCin, "
                    "sSprIstCinInt, sSprIstStato, iSprIstPgm, dStart) VALUES (:id, 3, :spr, :num, :int, :cin, :check, "
                    "'IT', 2, :d)")));
    q.bind(S("id"), id->toInt()).bind(S("spr"), sprId).bind(S("num"), number).bind(S("int"), holder)
        .bind(S("cin"), cin).bind(S("check"), check).bind(S("d"), opened);
    TRY(q.exec());
    return id->toInt();
}

Status Accounts::openYear(int sprIstId, int year, const QDate &first, const QDate &last, const QMap<int, Money> &opening)
{
    Money sum;
    for (int t = 1; t <= 4; ++t)
        sum += opening.value(t);
    SqlQuery q(m_db);
    TRY(q.prepare(S("EXECUTE PROCEDURE PEBC_INITANNOFIN(:anno, :conto, :saldo, :tasse, :contributi, :quote, :diversi, 0, "
                    ":inizio, :fine)")));
    q.bind(S("anno"), year).bind(S("conto"), sprIstId).bind(S("saldo"), sum).bind(S("tasse"), opening.value(1))
        .bind(S("contributi"), opening.value(2)).bind(S("quote"), opening.value(3)).bind(S("diversi"), opening.value(4));
    if (first.isValid())
        q.bind(S("inizio"), first).bind(S("fine"), last);
    else
        q.bindNull(S("inizio"), QMetaType(QMetaType::QDate)).bindNull(S("fine"), QMetaType(QMetaType::QDate));
    return q.exec();
}

Status Accounts::movements(int sprIstId, int year, const QDate &from, const QDate &to, QMap<int, Money> &byType)
{
    SqlQuery mvm(m_db), split(m_db), upd(m_db);
    TRY(mvm.prepare(S("INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, lMvmTipo, fMvmImporto, fMvmDifferenza, "
                      "iMvmProgr, dMvmDataMov, dMvmDataEc, iCbmId, iBenId, iLocked) VALUES (:id, :acc, :cau, :tipo, :imp, 0, 0, "
                      ":d, :d, 4, :ben, 0)")));
    auto ben = SqlQuery::scalar(m_db, S("SELECT MIN(iBenId) FROM TBEN_BENEFICIARI"));
    if (!ben)
        return ben.status();
    TRY(split.prepare(S("INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (NEXT VALUE FOR G_TMVMCCA, "
                        ":mvm, :cca, :imp)")));
    TRY(upd.prepare(S("EXECUTE PROCEDURE PEbc_MvmUpdTabs(:acc, :anno)")));
    Money balance;
    for (Money m : byType)
        balance += m;
    int n = 0;
    for (QDate day = from; day <= to; day = day.addDays(9), ++n) {
        // Two incomes for every expense, and no expense the account cannot pay.
        const bool expense = n % 3 == 2 && !m_expense.isEmpty()
                             && m_expense[n % m_expense.size()].total() + m_expense[n % m_expense.size()].total() <= balance;
        const QList<Causale> &pool = expense ? m_expense : m_income;
        const Causale &cau = pool[n % pool.size()];
        auto id = SqlQuery::scalar(m_db, S("SELECT NEXT VALUE FOR G_TMVM_MOVIMENTICCP FROM RDB$DATABASE"));
        if (!id)
            return id.status();
        mvm.bind(S("id"), id->toInt()).bind(S("acc"), sprIstId).bind(S("cau"), cau.cauId).bind(S("tipo"), expense ? 1 : 0)
            .bind(S("imp"), cau.total()).bind(S("d"), day).bind(S("ben"), *ben);
        TRY(mvm.exec());
        for (const auto &[ccaId, type, amount] : cau.components) {
            split.bind(S("mvm"), id->toInt()).bind(S("cca"), ccaId).bind(S("imp"), amount);
            TRY(split.exec());
            byType[type] += expense ? -amount : amount;
        }
        balance += expense ? -cau.total() : cau.total();
        upd.bind(S("acc"), sprIstId).bind(S("anno"), year);
        TRY(upd.exec());
    }
    return {};
}

Status Accounts::run()
{
    auto income = causaliOfKind(m_db, 0);
    auto expense = causaliOfKind(m_db, 1);
    if (!income || !expense)
        return Status::failure(income ? expense.error() : income.error());
    m_income = *income;
    m_expense = *expense;
    if (m_income.isEmpty())
        return Status::failure(S("Nessuna causale di entrata per i conti dimostrativi."));
    auto branch = SqlQuery::scalar(m_db, S("SELECT FIRST 1 S.iSprId FROM TSpr_SportelliCab S INNER JOIN TBan_Banche B "
                                           "ON (B.iBanId = S.iBanId) WHERE B.sBanAbi = '01030' AND S.sSprCab = '02498'"));
    if (!branch || branch->isNull())
        return Status::failure(S("Filiale della tesoreria non trovata per i conti dimostrativi."));
    const QString holder = S("Istituto di Istruzione Superiore \"Colle dei Gelsi\"");

    // Projects account: financial years from September to August.
    auto projects = account(branch->toInt(), S("01030"), S("02498"), S("000000420117"), holder, QDate(2024, 9, 1));
    if (!projects)
        return projects.status();
    QMap<int, Money> opening{{1, Money::fromEuros(0)}, {2, Money::fromCents(152000)}, {3, Money::fromCents(48050)},
                             {4, Money::fromCents(7500)}};
    TRY(openYear(*projects, 2025, QDate(2024, 9, 1), QDate(2025, 8, 31), opening));
    TRY(movements(*projects, 2025, QDate(2024, 9, 12), QDate(2025, 8, 20), opening));
    TRY(openYear(*projects, 2026, QDate(2025, 9, 1), QDate(2026, 8, 31), opening));
    QMap<int, Money> year2026 = opening;
    TRY(movements(*projects, 2026, QDate(2025, 9, 8), QDate(2026, 6, 30), year2026));

    // A bank account closed at the end of 2025: its movements are locked.
    auto closed = account(branch->toInt(), S("01030"), S("02498"), S("000000177305"), holder, QDate(2019, 3, 1));
    if (!closed)
        return closed.status();
    QMap<int, Money> closedOpening{{1, Money()}, {2, Money::fromCents(30000)}, {3, Money()}, {4, Money::fromCents(2500)}};
    TRY(openYear(*closed, 2025, QDate(), QDate(), closedOpening));
    TRY(movements(*closed, 2025, QDate(2025, 2, 3), QDate(2025, 6, 30), closedOpening));
    SqlQuery close(m_db);
    TRY(close.prepare(S("UPDATE TSprIst SET dEnd = :d WHERE iSprIstId = :id")));
    close.bind(S("d"), QDate(2025, 12, 31)).bind(S("id"), *closed);
    TRY(close.exec());
    TRY(close.prepare(S("EXECUTE PROCEDURE PEbc_ContoOnOff(:id)")));
    close.bind(S("id"), *closed);
    return close.exec();
}

} // namespace

Status loadAccounts(QSqlDatabase db) { return Accounts(std::move(db)).run(); }

} // namespace ccp::DemoData
