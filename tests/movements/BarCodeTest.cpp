// Bar-code entry: the reading rules, the creation through the database procedure, the queue
// of readings and the panel as a scanner drives it.
#include "EbsRBarCode.h"
#include "EbsUBarCode.h"
#include "SqlQuery.h"
#include "TVeDBDateEdit.h"
#include "TVeGlobalValues.h"
#include "TVeParamManager.h"
#include "TVeQueryModel.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include "Connection.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QMutex>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace ccp;
using namespace ccp::movements;

namespace {

class BarCodeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << t.error().toStdString();
        fw::TVeGlobalValuesManager::instance().clear();
        fw::TVeParamManager params(t.db(), QStringLiteral("SYSDBA"));
        ASSERT_TRUE(params.load().ok());
        auto c = BarCodeContext::fromGlobals(t.db());
        ASSERT_TRUE(c.ok()) << c.error().toStdString();
        ctx = c.value();
        ASSERT_GT(ctx.sprIstId, 0);
        ASSERT_GT(ctx.anfValore, 2000);
        ASSERT_GT(ctx.cauAnsId, 0);
        day = QDate(ctx.anfValore, 6, 15);
        sitId = intOf(QStringLiteral("SELECT MIN(iSitId) FROM TSit_Situazioni"));
        const QString inYear = QStringLiteral(
            "SELECT MIN(Cau.iCauId) FROM TCau_Causali Cau INNER JOIN VAns_AnniScolast Ans ON "
            "(Ans.dAnsVeltoInizio = Cau.dStart) WHERE Ans.iAnsId %1 %2 AND Cau.lCauTipo = 0 AND "
            "EXISTS (SELECT 1 FROM TCauCca C WHERE C.iCauId = Cau.iCauId)");
        cauId = intOf(inYear.arg(QStringLiteral("=")).arg(ctx.cauAnsId));
        otherCauId = intOf(inYear.arg(QStringLiteral("<>")).arg(ctx.cauAnsId));
        learnerId = intOf(QStringLiteral("SELECT MIN(iAnaId) FROM TAnaCag WHERE iCagId = 6"));
        pupilAnaId = intOf(QStringLiteral("SELECT MIN(iAnaId) FROM TAnaCag WHERE iCagId = 1 AND iAnaId NOT IN "
                                          "(SELECT iAnaId FROM TAnaCag WHERE iCagId = 6)"));
        ASSERT_GT(sitId, 0);
        ASSERT_GT(cauId, 0);
        ASSERT_GT(otherCauId, 0);
        ASSERT_GT(learnerId, 0);
        ASSERT_GT(pupilAnaId, 0);
        cauTotal = Money::fromVariant(test::scalar(
            t.db(), QStringLiteral("SELECT SUM(Cca.fCcaImportoIst) FROM TCauCca C INNER JOIN TCca_CompCausali Cca "
                                   "ON (Cca.iCcaId = C.iCcaId) WHERE C.iCauId = %1").arg(cauId)));
        cauComponents = intOf(QStringLiteral("SELECT COUNT(*) FROM TCauCca WHERE iCauId = %1").arg(cauId));
    }

    int intOf(const QString &sql) { return test::scalar(t.db(), sql).toInt(); }
    int movements() { return intOf(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp")); }
    BarCodeReading reading(const QString &code) const { return {code, day, day}; }
    QStringList messages() const
    {
        QStringList l;
        for (const auto &e : sink.entries())
            l << e.text;
        return l;
    }

    test::TestDatabase t{true};
    fw::RecordingMessageSink sink;
    BarCodeContext ctx;
    QDate day;
    int sitId = 0, cauId = 0, otherCauId = 0, learnerId = 0, pupilAnaId = 0, cauComponents = 0;
    Money cauTotal;
};

// ---- date rules -----------------------------------------------------------------------------

struct DateRow
{
    const char *name;
    QDate ec;
    QDate mov;
    BarCodeDateCheck::Field field;
    QString message;
};

TEST(BarCodeDates, FirstFailingRuleWins)
{
    const QDate opening(2026, 3, 1);
    const QString outside = BarCodeMessages::DateOutsideYear;
    const QList<DateRow> rows = {
        {"both inside", QDate(2026, 5, 2), QDate(2026, 5, 1), BarCodeDateCheck::None, {}},
        {"same day", QDate(2026, 3, 1), QDate(2026, 3, 1), BarCodeDateCheck::None, {}},
        {"last day of the year", QDate(2026, 12, 31), QDate(2026, 12, 31), BarCodeDateCheck::None, {}},
        {"statement in the year before", QDate(2025, 12, 31), QDate(2026, 5, 1), BarCodeDateCheck::StatementDate, outside},
        {"statement in the next year", QDate(2027, 1, 1), QDate(2026, 5, 1), BarCodeDateCheck::StatementDate, outside},
        {"both outside: statement first", QDate(2027, 1, 1), QDate(2025, 1, 1), BarCodeDateCheck::StatementDate, outside},
        {"movement outside", QDate(2026, 5, 1), QDate(2025, 12, 31), BarCodeDateCheck::MovementDate, outside},
        {"statement missing", QDate(), QDate(2026, 5, 1), BarCodeDateCheck::StatementDate, outside},
        {"movement missing", QDate(2026, 5, 1), QDate(), BarCodeDateCheck::MovementDate, outside},
        {"statement before opening", QDate(2026, 2, 28), QDate(2026, 2, 27), BarCodeDateCheck::StatementDate,
         QStringLiteral("La data dell'estratto conto dev'essere maggiore o uguale a 01/03/2026")},
        {"movement before opening", QDate(2026, 3, 2), QDate(2026, 2, 28), BarCodeDateCheck::MovementDate,
         QStringLiteral("La data del movimento dev'essere maggiore o uguale a 01/03/2026")},
        {"movement after statement", QDate(2026, 3, 1), QDate(2026, 3, 2), BarCodeDateCheck::MovementDate,
         BarCodeMessages::MovementAfterStatement},
    };
    for (const DateRow &r : rows) {
        const BarCodeDateCheck c = checkBarCodeDates(r.ec, r.mov, 2026, opening);
        EXPECT_EQ(c.field, r.field) << r.name;
        EXPECT_EQ(c.message, r.message) << r.name;
    }
    // Without an opening date only the year and the order count.
    EXPECT_TRUE(checkBarCodeDates(QDate(2026, 1, 1), QDate(2026, 1, 1), 2026, QDate()).ok());
    EXPECT_EQ(checkBarCodeDates(QDate(2026, 1, 1), QDate(2026, 1, 2), 2026, QDate()).message,
              BarCodeMessages::MovementAfterStatement);
}

// ---- reading rules ----------------------------------------------------------------------------

struct SequenceRow
{
    const char *name;
    QStringList codes;       // "P" pupil, "C" causale ("0"), "K" causale ("1"), others as they stand
    int created;
    QStringList messages;
};

TEST_F(BarCodeTest, SequencesOfReadings)
{
    const QString p = QStringLiteral("9%1").arg(sitId);
    const QString c = QStringLiteral("0%1").arg(cauId);
    const QString k = QStringLiteral("1%1").arg(cauId);
    const QString noPupil = QStringLiteral("9999999");
    const QList<SequenceRow> rows = {
        {"pupil then causale", {p, c}, 1, {}},
        {"causale then pupil", {c, p}, 1, {}},
        {"pupil twice then causale", {p, p, c}, 1, {}},
        {"causale with kind digit 1", {p, k}, 1, {}},
        {"unknown kind", {QStringLiteral("7123")}, 0, {BarCodeMessages::InvalidCode}},
        {"empty rest", {QStringLiteral("9")}, 0, {BarCodeMessages::notAnInteger(QString())}},
        {"rest not a number", {QStringLiteral("9AB")}, 0, {BarCodeMessages::notAnInteger(QStringLiteral("AB"))}},
        {"rest too large", {QStringLiteral("099999999999")}, 0,
         {BarCodeMessages::notAnInteger(QStringLiteral("99999999999"))}},
        {"pupil that does not exist", {noPupil, c}, 0, {BarCodeMessages::NoPupil}},
        {"causale of another year", {p, QStringLiteral("0%1").arg(otherCauId)}, 0, {BarCodeMessages::NoCausale}},
        {"refusal keeps the pupil", {p, QStringLiteral("7123"), c}, 1, {BarCodeMessages::InvalidCode}},
        {"refusal keeps the causale", {c, noPupil, p}, 1, {BarCodeMessages::NoPupil}},
        {"two pairs", {p, c, c, p}, 2, {}},
        {"a causale alone waits", {c, c}, 0, {}},
    };
    for (const SequenceRow &r : rows) {
        TEbsBarCodeReader reader(t.db(), ctx);
        TEbsBarCodeQueue queue(reader);
        QList<int> created;
        QObject::connect(&queue, &TEbsBarCodeQueue::movementCreated, [&](int id) { created << id; });
        sink.clear();
        const int before = movements();
        for (const QString &code : r.codes)
            queue.enqueue(reading(code));
        EXPECT_EQ(movements() - before, r.created) << r.name;
        EXPECT_EQ(int(created.size()), r.created) << r.name;
        EXPECT_EQ(messages(), r.messages) << r.name;
        EXPECT_EQ(reader.highlightedMvmId(), created.isEmpty() ? -1 : created.last()) << r.name;
        for (int id : created) {
            SqlQuery q(t.db());
            ASSERT_TRUE(q.prepare(QStringLiteral(
                "SELECT iSitId, iCauId, iSprIstId, dMvmDataMov, dMvmDataEc, fMvmImporto, lMvmTipo, "
                "(SELECT COUNT(*) FROM TMvmCca A WHERE A.iMvmId = M.iMvmId) nSplit, "
                "(SELECT SUM(fMvmCcaImporto) FROM TMvmCca A WHERE A.iMvmId = M.iMvmId) fSplit "
                "FROM TMvm_MovimentiCcp M WHERE iMvmId = :id")).ok());
            q.bind(QStringLiteral("id"), id);
            ASSERT_TRUE(q.exec().ok());
            ASSERT_TRUE(q.next()) << r.name;
            EXPECT_EQ(q.integer(QStringLiteral("iSitId")), sitId) << r.name;
            EXPECT_EQ(q.integer(QStringLiteral("iCauId")), cauId) << r.name;
            EXPECT_EQ(q.integer(QStringLiteral("iSprIstId")), ctx.sprIstId) << r.name;
            EXPECT_EQ(q.date(QStringLiteral("dMvmDataMov")), day) << r.name;
            EXPECT_EQ(q.date(QStringLiteral("dMvmDataEc")), day) << r.name;
            EXPECT_EQ(q.money(QStringLiteral("fMvmImporto")), cauTotal) << r.name;
            EXPECT_EQ(q.money(QStringLiteral("fSplit")), cauTotal) << r.name;
            EXPECT_EQ(q.integer(QStringLiteral("nSplit")), cauComponents) << r.name;
        }
        // After a creation neither pupil nor causale is left selected.
        if (r.created > 0 && r.codes.size() % 2 == 0 && r.messages.isEmpty()) {
            EXPECT_FALSE(reader.pupilSelected()) << r.name;
            EXPECT_FALSE(reader.causaleSelected()) << r.name;
        }
    }
}

TEST_F(BarCodeTest, RefusedCodeLeavesTheSelectionsAsTheyWere)
{
    TEbsBarCodeReader reader(t.db(), ctx);
    ASSERT_TRUE(reader.read(reading(QStringLiteral("1%1").arg(cauId))).status.ok());
    EXPECT_EQ(reader.kindDigit(), QChar(u'1'));
    for (const QString &bad : {QStringLiteral("0%1").arg(otherCauId), QStringLiteral("9999999"),
                               QStringLiteral("8%1").arg(pupilAnaId), QStringLiteral("X1")}) {
        EXPECT_FALSE(reader.read(reading(bad)).status.ok()) << bad.toStdString();
        EXPECT_TRUE(reader.causaleSelected());
        EXPECT_EQ(reader.causaleId(), cauId);
        EXPECT_EQ(reader.kindDigit(), QChar(u'1'));
        EXPECT_FALSE(reader.pupilSelected());
        EXPECT_FALSE(reader.learnerSelected());
    }
}

TEST_F(BarCodeTest, LearnerStaysForEveryFurtherCausale)
{
    TEbsBarCodeReader reader(t.db(), ctx);
    const QString learner = QStringLiteral("8%1").arg(learnerId);
    const QString c = QStringLiteral("0%1").arg(cauId);

    EXPECT_EQ(reader.read(reading(QStringLiteral("8%1").arg(pupilAnaId))).status.error(), BarCodeMessages::NoPupil);
    ASSERT_TRUE(reader.read(reading(learner)).status.ok());
    QList<int> ids;
    for (int i = 0; i < 2; ++i) {
        const BarCodeOutcome o = reader.read(reading(c));
        ASSERT_EQ(o.creations.size(), 1);
        ASSERT_TRUE(o.creations[0].ok()) << o.creations[0].error.toStdString();
        EXPECT_EQ(o.creations[0].amount, cauTotal);
        ids << o.creations[0].iMvmId;
    }
    EXPECT_TRUE(reader.learnerSelected());
    for (int id : ids) {
        EXPECT_EQ(intOf(QStringLiteral("SELECT iAnaId FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)), learnerId);
        EXPECT_TRUE(test::scalar(t.db(), QStringLiteral("SELECT iSitId FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)).isNull());
    }

    // A pupil waiting when the causale arrives: one movement for each, with the same causale.
    ASSERT_TRUE(reader.read(reading(QStringLiteral("9%1").arg(sitId))).status.ok());
    const BarCodeOutcome both = reader.read(reading(c));
    ASSERT_EQ(both.creations.size(), 2);
    EXPECT_EQ(both.creations[0].iSitId, sitId);
    EXPECT_EQ(both.creations[0].iAnaId, BarCode::NoPerson);
    EXPECT_EQ(both.creations[1].iAnaId, learnerId);
    EXPECT_EQ(both.creations[1].iSitId, BarCode::LearnerSituation);
    EXPECT_TRUE(both.creations[0].ok() && both.creations[1].ok());
    EXPECT_EQ(reader.highlightedMvmId(), both.creations[1].iMvmId);
    EXPECT_FALSE(reader.causaleSelected());
}

TEST_F(BarCodeTest, FailedCreationLeavesNothingAndClearsTheSelections)
{
    // A fault after the movement row is written: the split rows cannot be stored.
    SqlQuery ddl(t.db());
    ASSERT_TRUE(ddl.execDirect(QStringLiteral(
        "CREATE TRIGGER TMVMCCA_TEST_FAULT FOR TMvmCca BEFORE INSERT AS BEGIN "
        "EXCEPTION E_EBC 'guasto di prova'; END")).ok()) << ddl.lastError().toStdString();
    const int before = movements();
    const QVariant totalsBefore = test::scalar(t.db(), QStringLiteral(
        "SELECT fCaiCassaAtt FROM TCai_CassaIst WHERE iSprIstId = %1 AND iCaiEsercizioFin = %2")
        .arg(ctx.sprIstId).arg(ctx.anfValore));

    TEbsBarCodeReader reader(t.db(), ctx);
    TEbsBarCodeQueue queue(reader);
    QSignalSpy created(&queue, &TEbsBarCodeQueue::movementCreated);
    queue.enqueue(reading(QStringLiteral("9%1").arg(sitId)));
    queue.enqueue(reading(QStringLiteral("0%1").arg(cauId)));

    EXPECT_EQ(messages(), QStringList{BarCodeMessages::LoadFailed});
    EXPECT_EQ(created.count(), 0);
    EXPECT_EQ(movements(), before);
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral(
        "SELECT fCaiCassaAtt FROM TCai_CassaIst WHERE iSprIstId = %1 AND iCaiEsercizioFin = %2")
        .arg(ctx.sprIstId).arg(ctx.anfValore)), totalsBefore);
    EXPECT_FALSE(reader.pupilSelected());
    EXPECT_FALSE(reader.causaleSelected());
    EXPECT_EQ(reader.highlightedMvmId(), -1);
    // No transaction was left open on the connection.
    EXPECT_TRUE(t.db().transaction());
    t.db().rollback();
}

TEST_F(BarCodeTest, MovementRefusedByTheDatabaseIsReportedWithItsReason)
{
    TEbsBarCodeReader reader(t.db(), ctx);
    const BarCodeCreation c = reader.createMovement(cauId, BarCode::NoPerson, sitId, QDate(ctx.anfValore + 5, 1, 1),
                                                    QDate(ctx.anfValore + 5, 1, 1));
    EXPECT_FALSE(c.ok());
    EXPECT_TRUE(c.error.contains(QStringLiteral("non rientra"))) << c.error.toStdString();
}

// The batch command reports the database's refusal on the line of the reading that caused it.
TEST_F(BarCodeTest, ScanCommandReportsAClosedAccountOnItsLine)
{
    const QString admin = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/admin/ccp-admin");
    ASSERT_TRUE(QFileInfo::exists(admin)) << admin.toStdString();
    SqlQuery q(t.db());
    // Closed at the end of the year: the reading's day comes before the closing date.
    ASSERT_TRUE(q.exec(QStringLiteral("UPDATE TSprIst SET dEnd = '%1-12-31' WHERE iSprIstId = %2")
                           .arg(ctx.anfValore).arg(ctx.sprIstId)).ok());
    const int before = movements();
    QTemporaryDir dir;
    QFile readings(dir.filePath(QStringLiteral("letture.txt")));
    ASSERT_TRUE(readings.open(QIODevice::WriteOnly));
    readings.write(QStringLiteral("9%1\n0%2\n").arg(sitId).arg(cauId).toUtf8());
    readings.close();

    // The command opens the database file itself.
    t.db().close();
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CCP_DB_PASSWORD"), QStringLiteral("masterkey"));
    p.setProcessEnvironment(env);
    const QString date = day.toString(QStringLiteral("dd/MM/yyyy"));
    p.start(admin, {QStringLiteral("scan"), QStringLiteral("--file"), readings.fileName(), QStringLiteral("--data-mov"), date,
                    QStringLiteral("--data-ec"), date, QStringLiteral("--database"), t.file(), QStringLiteral("--user"),
                    QStringLiteral("SYSDBA")});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_TRUE(t.db().open());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("riga 2: Il conto è chiuso dal 31/12/%1: i suoi movimenti non si possono "
                                            "più registrare né modificare.").arg(ctx.anfValore)))
        << err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("Righe rifiutate: 2")));
    EXPECT_EQ(movements(), before);
}

// Two workstations scanning at the same moment on the same account-year: every pair becomes one
// movement, no reading fails, and the progressive numbers stay unique and without gaps.
TEST_F(BarCodeTest, TwoWorkstationsScanningAtOnce)
{
    constexpr int Pairs = 150;
    const int before = movements();
    std::atomic<int> failures{0};
    QStringList errors;
    QMutex errorsLock;
    auto station = [&](int n) {
        const QString name = QStringLiteral("station-%1").arg(n);
        {
            auto db = Db::open(t.settings(), name);
            if (!db) {
                ++failures;
                return;
            }
            TEbsBarCodeReader reader(db.value(), ctx);
            for (int i = 0; i < Pairs; ++i) {
                reader.read(reading(QStringLiteral("9%1").arg(sitId)));
                const BarCodeOutcome o = reader.read(reading(QStringLiteral("0%1").arg(cauId)));
                if (!o.status || o.creations.size() != 1 || !o.creations[0].ok()) {
                    ++failures;
                    QMutexLocker l(&errorsLock);
                    errors << (o.creations.isEmpty() ? o.status.error() : o.creations[0].error);
                }
            }
        }
        Db::close(name);
    };
    std::thread a(station, 1), b(station, 2);
    a.join();
    b.join();
    EXPECT_EQ(failures.load(), 0) << errors.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(movements() - before, 2 * Pairs);
    const QString year = QStringLiteral("FROM TMvm_MovimentiCcp WHERE iSprIstId = %1 AND dMvmDataMov BETWEEN '%2-01-01' "
                                        "AND '%2-12-31'").arg(ctx.sprIstId).arg(ctx.anfValore);
    const int count = intOf(QStringLiteral("SELECT COUNT(*) ") + year);
    EXPECT_EQ(intOf(QStringLiteral("SELECT COUNT(DISTINCT iMvmProgr) ") + year), count);
    EXPECT_EQ(intOf(QStringLiteral("SELECT MIN(iMvmProgr) ") + year), 1);
    EXPECT_EQ(intOf(QStringLiteral("SELECT MAX(iMvmProgr) ") + year), count);
}

// ---- the queue ----------------------------------------------------------------------------------

// Readings that arrive while one is handled (here: from the list refresh after a creation and from
// a message being shown) wait their turn: none lost, none merged, in the order read.
TEST_F(BarCodeTest, ReadingsArrivingDuringHandlingWaitTheirTurn)
{
    const int sit2 = intOf(QStringLiteral("SELECT MIN(iSitId) FROM TSit_Situazioni WHERE iSitId > %1").arg(sitId));
    ASSERT_GT(sit2, sitId);
    TEbsBarCodeReader reader(t.db(), ctx);
    TEbsBarCodeQueue queue(reader);
    QStringList order;
    QList<int> pendingSeen;
    QObject::connect(&queue, &TEbsBarCodeQueue::readingHandled,
                     [&](const BarCodeReading &r, const BarCodeOutcome &) { order << r.code; });
    bool injected = false;
    QObject::connect(&queue, &TEbsBarCodeQueue::movementCreated, [&](int) {
        if (injected)
            return;
        injected = true;
        // The scanner goes on while the list refreshes.
        queue.enqueue(reading(QStringLiteral("7000")));
        queue.enqueue(reading(QStringLiteral("9%1").arg(sit2)));
        queue.enqueue(reading(QStringLiteral("0%1").arg(cauId)));
        pendingSeen << queue.pending();
        EXPECT_TRUE(queue.busy());
    });
    const int before = movements();
    queue.enqueue(reading(QStringLiteral("9%1").arg(sitId)));
    queue.enqueue(reading(QStringLiteral("0%1").arg(cauId)));

    EXPECT_EQ(pendingSeen, QList<int>{3});
    EXPECT_FALSE(queue.busy());
    EXPECT_EQ(queue.pending(), 0);
    EXPECT_EQ(order, (QStringList{QStringLiteral("9%1").arg(sitId), QStringLiteral("0%1").arg(cauId),
                                  QStringLiteral("7000"), QStringLiteral("9%1").arg(sit2),
                                  QStringLiteral("0%1").arg(cauId)}));
    EXPECT_EQ(messages(), QStringList{BarCodeMessages::InvalidCode});
    EXPECT_EQ(movements() - before, 2);
    EXPECT_EQ(intOf(QStringLiteral("SELECT iSitId FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(reader.highlightedMvmId())),
              sit2);
}

class ReenteringSink : public fw::MessageSink
{
public:
    fw::MsgResult show(const QString &text, fw::MsgType, fw::MsgButtons) override
    {
        texts << text;
        if (onShow)
            std::exchange(onShow, nullptr)();
        return fw::MsgResult::Ok;
    }
    QStringList texts;
    std::function<void()> onShow;
};

TEST_F(BarCodeTest, ReadingsDuringAMessageAreKept)
{
    ReenteringSink s;
    fw::MessageSink *previous = fw::setMessageSink(&s);
    TEbsBarCodeReader reader(t.db(), ctx);
    TEbsBarCodeQueue queue(reader);
    s.onShow = [&]() {
        queue.enqueue(reading(QStringLiteral("9%1").arg(sitId)));
        queue.enqueue(reading(QStringLiteral("0%1").arg(cauId)));
    };
    const int before = movements();
    queue.enqueue(reading(QStringLiteral("5")));
    fw::setMessageSink(previous);
    EXPECT_EQ(s.texts, QStringList{BarCodeMessages::InvalidCode});
    EXPECT_EQ(movements() - before, 1);
}

// Stored readings, one per line: the same rules, the lines refused named by number.
TEST_F(BarCodeTest, BatchOfStoredReadings)
{
    TEbsBarCodeReader reader(t.db(), ctx);
    TEbsBarCodeQueue queue(reader);
    const QDate ec(ctx.anfValore, 3, 10), mov(ctx.anfValore, 3, 9);
    const QString p = QStringLiteral("9%1").arg(sitId), c = QStringLiteral("0%1").arg(cauId);
    const QStringList lines = {p + u'\r', QString(), c, QStringLiteral("7123"), c, QStringLiteral(" ") + p,
                               QStringLiteral("0%1").arg(otherCauId), QString()};
    QList<int> linesSeen;
    const int before = movements();
    const BarCodeBatchReport report =
        scanBatch(queue, lines, mov, ec, [&](int line, const BarCodeOutcome &) { linesSeen << line; });
    EXPECT_EQ(linesSeen, (QList<int>{1, 3, 4, 5, 6, 7}));
    EXPECT_EQ(report.refusedLines, (QList<int>{4, 7}));
    ASSERT_EQ(report.createdIds.size(), 2);
    EXPECT_EQ(movements() - before, 2);
    EXPECT_EQ(messages(), (QStringList{BarCodeMessages::InvalidCode, BarCodeMessages::NoCausale}));
    for (int id : report.createdIds) {
        EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT dMvmDataEc FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)).toDate(), ec);
        EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT dMvmDataMov FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)).toDate(), mov);
    }
}

// The owner may go away while a reading is handled (its window closed from a slot): the readings
// still waiting are dropped with it, nothing touches the queue afterwards.
TEST_F(BarCodeTest, QueueDeletedWhileHandlingStopsCleanly)
{
    TEbsBarCodeReader reader(t.db(), ctx);
    auto *queue = new TEbsBarCodeQueue(reader);
    int handled = 0;
    QObject::connect(queue, &TEbsBarCodeQueue::readingHandled, [&](const BarCodeReading &, const BarCodeOutcome &) {
        ++handled;
        queue->enqueue(reading(QStringLiteral("9%1").arg(sitId)));
        delete queue;
    });
    queue->enqueue(reading(QStringLiteral("0%1").arg(cauId)));
    EXPECT_EQ(handled, 1);
    EXPECT_TRUE(reader.causaleSelected());
    EXPECT_FALSE(reader.pupilSelected());
}

// ---- the panel ------------------------------------------------------------------------------------

class BarCodePanelTest : public BarCodeTest
{
protected:
    void SetUp() override
    {
        BarCodeTest::SetUp();
        if (HasFatalFailure())
            return;
        reader = std::make_unique<TEbsBarCodeReader>(t.db(), ctx);
        queue = std::make_unique<TEbsBarCodeQueue>(*reader);
        host = std::make_unique<QWidget>();
        auto *other = new QLineEdit(host.get());
        other->setObjectName(QStringLiteral("other"));
        other->move(0, 0);
        frame = new TfrEbsBarCode(host.get());
        frame->move(0, 40);
        frame->setDateRules(ctx.anfValore, ctx.accountStart);
        frame->setDates(day, day);
        frame->setQueue(queue.get());
        host->resize(500, 120);
        host->show();
        QApplication::setActiveWindow(host.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
    }
    void TearDown() override
    {
        host.reset();
        queue.reset();
        reader.reset();
    }
    void focus(QWidget *w)
    {
        w->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<TEbsBarCodeReader> reader;
    std::unique_ptr<TEbsBarCodeQueue> queue;
    std::unique_ptr<QWidget> host;
    TfrEbsBarCode *frame = nullptr;
};

TEST_F(BarCodePanelTest, EnteringTheCodeChecksTheDates)
{
    frame->setDates(QDate(ctx.anfValore, 1, 1), QDate(ctx.anfValore, 1, 2));
    focus(frame->edBarCode);
    EXPECT_EQ(messages(), QStringList{BarCodeMessages::MovementAfterStatement});
    EXPECT_TRUE(frame->deData2->hasFocus());

    sink.clear();
    frame->setDates(QDate(ctx.anfValore + 1, 1, 1), QDate(ctx.anfValore, 1, 2));
    focus(frame->edBarCode);
    EXPECT_EQ(messages(), QStringList{BarCodeMessages::DateOutsideYear});
    EXPECT_TRUE(frame->deData1->hasFocus());

    sink.clear();
    frame->setDates(day, day);
    focus(frame->edBarCode);
    EXPECT_TRUE(sink.entries().isEmpty());
    EXPECT_TRUE(frame->edBarCode->hasFocus());
}

TEST_F(BarCodePanelTest, ScannerTypingCreatesTheMovement)
{
    focus(frame->edBarCode);
    QSignalSpy read(frame, &TfrEbsBarCode::codeRead);
    QSignalSpy created(queue.get(), &TEbsBarCodeQueue::movementCreated);
    const int before = movements();

    QTest::keyClicks(frame->edBarCode, QStringLiteral("7123"));
    QTest::keyClick(frame->edBarCode, Qt::Key_Return);
    EXPECT_EQ(messages(), QStringList{BarCodeMessages::InvalidCode});
    EXPECT_TRUE(frame->edBarCode->text().isEmpty());

    QTest::keyClicks(frame->edBarCode, QStringLiteral("0%1").arg(cauId));
    QTest::keyClick(frame->edBarCode, Qt::Key_Enter);
    QTest::keyClicks(frame->edBarCode, QStringLiteral("9%1").arg(sitId));
    QTest::keyClick(frame->edBarCode, Qt::Key_Return);
    QTest::keyClick(frame->edBarCode, Qt::Key_Return);   // an empty Enter is no reading

    EXPECT_EQ(read.count(), 3);
    ASSERT_EQ(created.count(), 1);
    EXPECT_EQ(movements() - before, 1);
    EXPECT_EQ(created.at(0).at(0).toInt(), reader->highlightedMvmId());
    EXPECT_TRUE(frame->edBarCode->text().isEmpty());
}

TEST_F(BarCodePanelTest, LeavingTheCodeWithTextReadsItAndComesBack)
{
    focus(frame->edBarCode);
    QSignalSpy read(frame, &TfrEbsBarCode::codeRead);
    QTest::keyClicks(frame->edBarCode, QStringLiteral("9%1").arg(sitId));
    focus(host->findChild<QLineEdit *>(QStringLiteral("other")));
    QCoreApplication::processEvents();
    ASSERT_EQ(read.count(), 1);
    EXPECT_EQ(read.at(0).at(0).toString(), QStringLiteral("9%1").arg(sitId));
    EXPECT_TRUE(reader->pupilSelected());
    EXPECT_TRUE(frame->edBarCode->hasFocus());
    EXPECT_TRUE(frame->edBarCode->text().isEmpty());
    EXPECT_TRUE(sink.entries().isEmpty());
}

} // namespace
