#include "AcbFixture.h"
#include "EbcUExpBanche.h"
#include "RidReader.h"
#include "TVeGlobalValues.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace ccp::acbtest {

using namespace ccp::directdebit;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// The demo school's direct debits of October 2026, exported with the shipped layout.
class Export : public AcbFixture
{
protected:
    void SetUp() override
    {
        AcbFixture::SetUp();
        ASSERT_TRUE(installShippedLayouts(root.path()).ok());
        auto catalogue = loadCatalogue(root.path());
        ASSERT_TRUE(catalogue.ok());
        auto layout = loadLayout(root.path(), catalogue->first());
        ASSERT_TRUE(layout.ok());
        run.layout = layout.value();
        run.mainDirectory = root.path();
        run.path = QDir(root.path()).filePath(QStringLiteral("out/RID.txt"));
        run.mittente = QStringLiteral("AB123");
        auto &v = fw::TVeGlobalValuesManager::instance();
        params = ExportParams{v.intValue(QStringLiteral("VEUP_DwgId")), v.intValue(QStringLiteral("VEUP_AnsId")),
                              v.intValue(QStringLiteral("EBCP_SprIstId")), 11, QDate(2026, 10, 1), QDate(2026, 10, 31), {}};
        run.movement = MovementParams{params.sprIstId, QDate(2026, 11, 2)};
        firstMovement = count(QStringLiteral("SELECT MAX(iMvmId) FROM TMvm_MovimentiCcp")) + 1;
    }

    void load()
    {
        auto rows = loadDetailRows(t.db(), params);
        ASSERT_TRUE(rows.ok()) << qPrintable(rows.error());
        run.rows = rows.value();
        run.dispositions = buildDispositions(run.rows, run.mittente, QStringLiteral("RID"), run.movement.date,
                                             QDate(2026, 11, 2));
    }

    int newMovements() { return count(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp WHERE iMvmId >= %1").arg(firstMovement)); }

    QTemporaryDir root;
    ExportRun run;
    ExportParams params;
    int firstMovement = 0;
};

TEST_F(Export, TheDemoFileReadsRecordByRecordAndAddsUp)
{
    load();
    ASSERT_GT(run.dispositions.size(), 10);
    ASSERT_TRUE(writeExport(t.db(), run).ok());
    const RidFile f = readRid(readAll(run.path));
    ASSERT_TRUE(f.error.isEmpty()) << qPrintable(f.error);
    EXPECT_EQ(f.sender, QStringLiteral("AB123"));
    EXPECT_EQ(f.name.trimmed(), QStringLiteral("RID20261102"));
    EXPECT_EQ(f.dispositions.size(), run.dispositions.size());
    qint64 sum = 0;
    for (const RidDisposition &d : f.dispositions)
        sum += d.cents;
    EXPECT_EQ(f.totalCents, sum);
    // Every component of the month not yet booked, read straight from the tables, is in the file once.
    const qint64 due = Money::fromVariant(scalar(QStringLiteral(
        "SELECT SUM(Cca.fCcaImportoIst) FROM TAcb_AluCoordBan Acb INNER JOIN TAcbCau AcbCau ON (AcbCau.iAcbId = Acb.iAcbId) "
        "INNER JOIN TCauCca CauCca ON (CauCca.iCauId = AcbCau.iCauId) INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = CauCca.iCcaId) "
        "WHERE Acb.iMpgId = 11 AND Cca.dCcaDataScadenza BETWEEN '2026-10-01' AND '2026-10-31' AND NOT EXISTS (SELECT 1 "
        "FROM TMvm_MovimentiCcp M JOIN TMvmCca C ON (C.iMvmId = M.iMvmId) WHERE M.iAnaId = Acb.iAnaId AND M.iCauId = AcbCau.iCauId "
        "AND C.iCcaId = Cca.iCcaId)")))
                          .cents();
    EXPECT_EQ(sum, due);
    EXPECT_EQ(f.dispositions[0].dueDate, QStringLiteral("311026"));
    EXPECT_FALSE(readAll(logPath(root.path(), run.path)).isEmpty());
    EXPECT_EQ(readBankIni(root.path()).mittente, QStringLiteral("AB123"));
    EXPECT_EQ(newMovements(), 0);
}

TEST_F(Export, RecordedComponentsAreBookedOnceAndLeaveTheNextExport)
{
    load();
    run.recordMovements = true;
    ASSERT_TRUE(writeExport(t.db(), run).ok());
    const RidFile f = readRid(readAll(run.path));
    ASSERT_TRUE(f.error.isEmpty()) << qPrintable(f.error);
    EXPECT_EQ(newMovements(), run.rows.size());
    EXPECT_EQ(Money::fromVariant(scalar(QStringLiteral("SELECT SUM(fMvmImporto) FROM TMvm_MovimentiCcp WHERE iMvmId >= %1")
                                            .arg(firstMovement)))
                  .cents(),
              f.totalCents);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp Mvm WHERE Mvm.iMvmId >= %1 AND (Mvm.iMvmProgr = 0 "
                                   "OR Mvm.fMvmImporto <> (SELECT SUM(C.fMvmCcaImporto) FROM TMvmCca C WHERE C.iMvmId = Mvm.iMvmId))")
                  .arg(firstMovement)),
              0);
    auto again = loadDetailRows(t.db(), params);
    ASSERT_TRUE(again.ok());
    EXPECT_TRUE(again->isEmpty());
    // The other components of the same causale stay due.
    params.to = QDate(2027, 1, 31);
    EXPECT_FALSE(loadDetailRows(t.db(), params)->isEmpty());
}

// The file and the movements come together or not at all; a previous file stays as it was.
TEST_F(Export, AFailureLeavesNeitherFileNorMovements)
{
    load();
    run.recordMovements = true;
    QDir().mkpath(QFileInfo(run.path).absolutePath());
    struct Row
    {
        const char *name;
        const char *prepare;
        const char *undo;
        ExportHooks hooks;
        QString message;
    };
    const Row rows[] = {
        {"failure while the movements are inserted", "", "",
         ExportHooks{[](int i) { return i == 3 ? Status::failure(QStringLiteral("guasto")) : Status(); }, {}},
         QStringLiteral("guasto")},
        {"failure at the rename", "", "", ExportHooks{{}, [](const QString &, const QString &) { return false; }},
         QStringLiteral("Impossibile scrivere il file")},
        {"closed account", "UPDATE TSprIst SET dEnd = '2026-10-31' WHERE iSprIstId = %1",
         "UPDATE TSprIst SET dEnd = NULL WHERE iSprIstId = %1", {}, QStringLiteral("Il conto è chiuso dal 31/10/2026")},
        {"year locked by the next one",
         "UPDATE TMvm_MovimentiCcp SET iLocked = 1 WHERE iMvmId = (SELECT MIN(iMvmId) FROM TMvm_MovimentiCcp "
         "WHERE iSprIstId = %1 AND dMvmDataMov BETWEEN '2026-01-01' AND '2026-12-31')",
         "UPDATE TMvm_MovimentiCcp SET iLocked = 0 WHERE iSprIstId = %1", {},
         QStringLiteral("I movimenti dell'anno finanziario 2026 del conto sono stati bloccati")},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        QFile old(run.path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
        old.write("previous");
        old.close();
        if (*r.prepare)
            exec(QString::fromUtf8(r.prepare).arg(params.sprIstId));
        const Status s = writeExport(t.db(), run, r.hooks);
        if (*r.undo)
            exec(QString::fromUtf8(r.undo).arg(params.sprIstId));
        ASSERT_FALSE(s.ok());
        EXPECT_TRUE(s.error().contains(r.message)) << qPrintable(s.error());
        EXPECT_EQ(readAll(run.path), QByteArray("previous"));
        EXPECT_EQ(newMovements(), 0);
        EXPECT_EQ(QDir(QFileInfo(run.path).absolutePath()).entryList(QDir::Files), QStringList{QStringLiteral("RID.txt")});
    }
}

} // namespace ccp::acbtest
