// The balance procedures against sums over the rows, on the demo school and on a generated
// account of 20,000 movements over three account-years running September to August: at every
// month end the four types add up to the account, and by statement date what a period carries
// plus what is stated in it is what the account holds at its end.
#include "Money.h"
#include "SqlQuery.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QMap>
#include <array>
#include <vector>

using namespace ccp;

namespace {

using Types = std::array<qint64, 4>;  // cents of taxes, contributions, quotas, other

struct Movement
{
    int account;
    QDate date, statement;
    int sign;     // +1 income, -1 expense
    Types parts;  // unsigned; the part of no type 1-3 is "other"
};

struct AccountYear
{
    int account;
    QDate first, last;
    Types opening;
    qint64 openingTotal;
};

// Everything the procedures read, read back as plain rows.
struct Rows
{
    std::vector<Movement> movements;
    std::vector<AccountYear> years;

    void read(QSqlDatabase db)
    {
        QMap<int, Types> split;
        SqlQuery s(db);
        ASSERT_TRUE(s.exec(QStringLiteral("SELECT MvmCca.iMvmId, COALESCE(Tcc.iTccId_P, Tcc.iTccId), MvmCca.fMvmCcaImporto "
                                          "FROM TMvmCca MvmCca LEFT JOIN TCca_CompCausali Cca ON Cca.iCcaId = MvmCca.iCcaId "
                                          "LEFT JOIN TTcc_TipoCompCaus Tcc ON Tcc.iTccId = Cca.iTccId")).ok());
        while (s.next()) {
            const int type = s.value(1).toInt();
            split[s.value(0).toInt()][type >= 1 && type <= 3 ? type - 1 : 3] += s.money(2).cents();
        }
        SqlQuery m(db);
        ASSERT_TRUE(m.exec(QStringLiteral("SELECT iMvmId, iSprIstId, dMvmDataMov, dMvmDataEc, lMvmTipo, fMvmImporto "
                                          "FROM TMvm_MovimentiCcp")).ok());
        while (m.next()) {
            Types parts = split.value(m.value(0).toInt(), Types{});
            parts[3] = m.money(5).cents() - parts[0] - parts[1] - parts[2];
            movements.push_back({m.value(1).toInt(), m.value(2).toDate(), m.value(3).toDate(),
                                 m.value(4).toInt() == 1 ? -1 : 1, parts});
        }
        SqlQuery y(db);
        ASSERT_TRUE(y.exec(QStringLiteral(
            "SELECT Cai.iSprIstId, COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)), "
            "COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE)), Cai.fCaiCassaIn, "
            "(SELECT fCaiTccImportoIniz FROM TCaiTcc WHERE iCaiId = Cai.iCaiId AND iTccId = 1), "
            "(SELECT fCaiTccImportoIniz FROM TCaiTcc WHERE iCaiId = Cai.iCaiId AND iTccId = 2), "
            "(SELECT fCaiTccImportoIniz FROM TCaiTcc WHERE iCaiId = Cai.iCaiId AND iTccId = 3), "
            "(SELECT fCaiTccImportoIniz FROM TCaiTcc WHERE iCaiId = Cai.iCaiId AND iTccId = 4) "
            "FROM TCai_CassaIst Cai ORDER BY 1, 2")).ok());
        while (y.next())
            years.push_back({y.value(0).toInt(), y.value(1).toDate(), y.value(2).toDate(),
                             {y.money(4).cents(), y.money(5).cents(), y.money(6).cents(), y.money(7).cents()},
                             y.money(3).cents()});
    }

    // The year a date reads: the one holding it, else the latest one ended before it.
    const AccountYear *yearAt(int account, QDate d) const
    {
        const AccountYear *best = nullptr;
        for (const AccountYear &y : years) {
            if (y.account != account)
                continue;
            if (y.first <= d && d <= y.last)
                return &y;
            if (y.last < d && (!best || best->last < y.last))
                best = &y;
        }
        return best;
    }

    // By movement date: the year's opening and its movements up to the date.
    Types balance(int account, QDate d, qint64 *total) const
    {
        Types out{};
        *total = 0;
        const AccountYear *y = yearAt(account, d);
        if (!y)
            return out;
        out = y->opening;
        *total = y->openingTotal;
        for (const Movement &m : movements) {
            if (m.account != account || m.date < y->first || m.date > d || m.date > y->last)
                continue;
            for (int t = 0; t < 4; ++t) {
                out[t] += m.sign * m.parts[t];
                *total += m.sign * m.parts[t];
            }
        }
        return out;
    }

    // What the movements stated from `from` to `to` add, per type.
    Types stated(int account, QDate from, QDate to) const
    {
        Types out{};
        for (const Movement &m : movements)
            if (m.account == account && m.statement.isValid() && from <= m.statement && m.statement <= to)
                for (int t = 0; t < 4; ++t)
                    out[t] += m.sign * m.parts[t];
        return out;
    }
};

Types procedure(QSqlDatabase db, const char *name, int account, int byStatement, QDate d)
{
    Types out{};
    for (int t = 1; t <= 4; ++t) {
        SqlQuery q(db);
        EXPECT_TRUE(q.prepare(QStringLiteral("SELECT fTccImporto FROM %1(:a, :t, :e, :d)").arg(QLatin1String(name))).ok());
        q.bind(QStringLiteral("a"), account).bind(QStringLiteral("t"), t).bind(QStringLiteral("e"), byStatement)
            .bind(QStringLiteral("d"), d);
        EXPECT_TRUE(q.exec().ok());
        EXPECT_TRUE(q.next());
        out[t - 1] = q.money(0).cents();
    }
    return out;
}

std::vector<QDate> monthEnds(QDate from, QDate to)
{
    std::vector<QDate> out;
    for (QDate d(from.year(), from.month(), 1); d <= to; d = d.addMonths(1))
        out.push_back(d.addMonths(1).addDays(-1));
    return out;
}

// Per-type balances by movement date at every month end of every account, against the rows.
void checkMonthEnds(QSqlDatabase db, const Rows &rows, QDate from, QDate to)
{
    QList<int> accounts;
    for (const AccountYear &y : rows.years)
        if (!accounts.contains(y.account))
            accounts << y.account;
    for (int account : accounts)
        for (QDate d : monthEnds(from, to)) {
            SCOPED_TRACE(QStringLiteral("conto %1 al %2").arg(account).arg(d.toString(Qt::ISODate)).toStdString());
            qint64 total = 0;
            const Types want = rows.balance(account, d, &total);
            const Types got = procedure(db, "PEbc_SaldoXTcc", account, 0, d);
            EXPECT_EQ(got, want);
            EXPECT_EQ(got[0] + got[1] + got[2] + got[3], total);
        }
}

// By statement date: the carry-over into a period plus what is stated in it is the balance at
// its end.
void checkStatements(QSqlDatabase db, const Rows &rows, int account, QDate from, QDate to, int months)
{
    for (QDate start(from.year(), from.month(), 1); start.addMonths(months) <= to; start = start.addMonths(months)) {
        const QDate end = start.addMonths(months).addDays(-1);
        SCOPED_TRACE(QStringLiteral("conto %1 dal %2 al %3").arg(account).arg(start.toString(Qt::ISODate), end.toString(Qt::ISODate))
                         .toStdString());
        Types want = procedure(db, "PEbc_RiportoXTcc", account, 1, start);
        const Types added = rows.stated(account, start, end);
        for (int t = 0; t < 4; ++t)
            want[t] += added[t];
        EXPECT_EQ(procedure(db, "PEbc_SaldoXTcc", account, 1, end), want);
    }
}

TEST(BalanceInvariants, DemoSchool)
{
    test::TestDatabase t(true);
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    Rows rows;
    rows.read(t.db());
    ASSERT_FALSE(rows.movements.empty());
    ASSERT_FALSE(rows.years.empty());
    QDate first = rows.years.front().first, last = rows.years.front().last;
    for (const AccountYear &y : rows.years) {
        first = std::min(first, y.first);
        last = std::max(last, y.last);
        // Within a year the demo's openings stand as given: periods of a month.
        checkStatements(t.db(), rows, y.account, y.first, y.last, 1);
    }
    checkMonthEnds(t.db(), rows, first, last.addMonths(2));
}

// Three account-years from September to August, then a gap; 20,000 movements of both kinds,
// split over taxes, a contribution sub-type, quotas, other and a component of no type, stated
// up to three weeks later (every 29th never).
class GeneratedAccount : public ::testing::Test
{
protected:
    static constexpr int Account = 700;

    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << qPrintable(t.error());
        const char *seed[] = {
            "INSERT INTO TDwg_DataOwnerGrp (iDwgId, sDwgSDesc) VALUES (700, 'Istituto')",
            "INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS) VALUES (700, '07601', 'Poste')",
            "INSERT INTO TSPR_SPORTELLICAB (ISPRID, IBANID, SSPRCAB) VALUES (700, 700, '03200')",
            "INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, dStart) VALUES (700, 700, 700, '2019-01-01')",
            "INSERT INTO TCca_CompCausali (iCcaId, sCcaLDesc, lCcaTipo, iTccId) VALUES (701, 'Tassa', 0, 100)",
            "INSERT INTO TCca_CompCausali (iCcaId, sCcaLDesc, lCcaTipo, iTccId) VALUES (702, 'Laboratorio', 0, 111)",
            "INSERT INTO TCca_CompCausali (iCcaId, sCcaLDesc, lCcaTipo, iTccId) VALUES (703, 'Mensa', 0, 123)",
            "INSERT INTO TCca_CompCausali (iCcaId, sCcaLDesc, lCcaTipo, iTccId) VALUES (704, 'Spese', 1, 131)",
            "INSERT INTO TCca_CompCausali (iCcaId, sCcaLDesc, lCcaTipo, iTccId) VALUES (705, 'Senza tipo', 0, NULL)",
            "EXECUTE PROCEDURE PEBC_INITANNOFIN(2021, 700, 1000, 100, 200, 300, 400, 0, '2020-09-01', '2021-08-31')",
            "EXECUTE PROCEDURE PEBC_INITANNOFIN(2022, 700, 0, 0, 0, 0, 0, 0, '2021-09-01', '2022-08-31')",
            "EXECUTE PROCEDURE PEBC_INITANNOFIN(2023, 700, 0, 0, 0, 0, 0, 0, '2022-09-01', '2023-08-31')",
            "EXECUTE BLOCK AS\n"
            "DECLARE i INTEGER = 0;\n"
            "DECLARE id INTEGER;\n"
            "DECLARE k SMALLINT;\n"
            "DECLARE a NUMERIC(18,4);\n"
            "DECLARE b NUMERIC(18,4);\n"
            "DECLARE d DATE;\n"
            "BEGIN\n"
            "  WHILE (i < 20000) DO\n"
            "  BEGIN\n"
            "    id = NEXT VALUE FOR G_TMVM_MOVIMENTICCP;\n"
            "    k = IIF(MOD(i, 5) = 0, 1, 0);\n"
            "    a = 1 + MOD(i * 7, 90) + MOD(i, 4) * 0.25;\n"
            "    b = MOD(i * 3, 40) + 0.5;\n"
            "    d = DATEADD(MOD(i * 13, 1095) DAY TO DATE '2020-09-01');\n"
            "    INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, lMvmTipo, fMvmImporto, fMvmDifferenza, iMvmProgr,\n"
            "      dMvmDataMov, dMvmDataEc, iLocked)\n"
            "    VALUES (:id, 700, :k, :a + :b, MOD(:i, 3) - 1, 0, :d,\n"
            "      IIF(MOD(:i, 29) = 0, NULL, DATEADD(MOD(:i, 22) DAY TO :d)), 0);\n"
            "    INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto)\n"
            "    VALUES (NEXT VALUE FOR G_TMVMCCA, :id, IIF(:k = 1, 704, 701 + MOD(:i, 3)), :a);\n"
            "    IF (MOD(i, 7) <> 0) THEN\n"  // every seventh leaves its second part without a split row
            "      INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto)\n"
            "      VALUES (NEXT VALUE FOR G_TMVMCCA, :id, IIF(MOD(:i, 2) = 0, 705, 702), :b);\n"
            "    i = i + 1;\n"
            "  END\n"
            "END",
            "EXECUTE PROCEDURE PEbc_MvmUpdTabs(700, 2021)",
        };
        for (const char *sql : seed) {
            SqlQuery q(t.db());
            const Status s = q.execDirect(QString::fromLatin1(sql));
            ASSERT_TRUE(s.ok()) << qPrintable(s.error()) << "\n in " << sql;
        }
        rows.read(t.db());
        // Each later year opens with the closing of the one before, summed here from the rows.
        for (int i = 1; i < int(rows.years.size()); ++i) {
            qint64 total = 0;
            const Types closing = rows.balance(Account, rows.years[i - 1].last, &total);
            for (int type = 1; type <= 4; ++type) {
                SqlQuery q(t.db());
                ASSERT_TRUE(q.execDirect(QStringLiteral("UPDATE TCaiTcc SET fCaiTccImportoIniz = %1 WHERE iTccId = %2 AND "
                                                        "iCaiId = (SELECT iCaiId FROM TCai_CassaIst WHERE iSprIstId = %3 "
                                                        "AND dCaiInizioAnno = '%4')")
                                             .arg(Money::fromCents(closing[type - 1]).toSql()).arg(type).arg(Account)
                                             .arg(rows.years[i].first.toString(Qt::ISODate))).ok());
            }
            SqlQuery q(t.db());
            ASSERT_TRUE(q.execDirect(QStringLiteral("UPDATE TCai_CassaIst SET fCaiCassaIn = %1 WHERE iSprIstId = %2 AND "
                                                    "dCaiInizioAnno = '%3'")
                                         .arg(Money::fromCents(total).toSql()).arg(Account)
                                         .arg(rows.years[i].first.toString(Qt::ISODate))).ok());
            rows.years[i].opening = closing;
            rows.years[i].openingTotal = total;
        }
    }

    test::TestDatabase t;
    Rows rows;
};

TEST_F(GeneratedAccount, TypesAddUpAtEveryMonthEndAndStatementsCarryOver)
{
    ASSERT_EQ(rows.movements.size(), 20000u);
    checkMonthEnds(t.db(), rows, QDate(2020, 9, 1), QDate(2023, 12, 31));
    // Quarters from October: July to September spans the end of each year.
    checkStatements(t.db(), rows, Account, QDate(2020, 10, 1), QDate(2023, 12, 31), 3);

    // By statement date the account holds the first opening and every movement stated by then.
    for (QDate d : {QDate(2020, 12, 31), QDate(2021, 8, 31), QDate(2021, 9, 1), QDate(2022, 12, 31), QDate(2023, 9, 30)}) {
        SCOPED_TRACE(d.toString(Qt::ISODate).toStdString());
        Types want = rows.years.front().opening;
        const Types added = rows.stated(Account, QDate(2000, 1, 1), d);
        for (int type = 0; type < 4; ++type)
            want[type] += added[type];
        EXPECT_EQ(procedure(t.db(), "PEbc_SaldoXTcc", Account, 1, d), want);
    }
}

} // namespace
