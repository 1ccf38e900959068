#include "AccFixture.h"

#include "QtTestApp.h"
#include "WorkingContext.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"

#include <QSqlError>
#include <QSqlQuery>

static const bool qtRegistered = ccp::test::registerQtApplication("test_accounts");

namespace ccp::acctest {

void AccFixture::SetUp()
{
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    ASSERT_TRUE(test::loadWorkingContext(t.db()));
    for (int y = 2008; y <= 2012; ++y)
        exec(QStringLiteral("INSERT INTO TAnf_AnniFinanz (iAnfId, iAnfValore, dAnfVeltoInizio, dAnfVeltoFine) "
                            "VALUES (%1, %2, '%2-01-01', '%2-12-31')")
                 .arg(y - 1900)
                 .arg(y));
    postalBranch = scalar(QStringLiteral("SELECT MIN(iSprId) FROM TSpr_SportelliCab WHERE iBanId = 2")).toInt();
    int id = 9800;
    for (int type : {1, 2, 3, 4, 100}) {
        exec(QStringLiteral("INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, "
                            "lCcaTipo, lCcaRette, iTccId, iAggId, iVproId, iDwgId, dStart, dEnd) SELECT FIRST 1 %1, 'T%2', "
                            "'Tipo %2', 0, 0, lCcaTipo, 0, %2, iAggId, iVproId, iDwgId, dStart, dEnd FROM TCca_CompCausali")
                 .arg(++id)
                 .arg(type));
        componentOfType.insert(type, id);
    }
    account = addAccount();
}

void AccFixture::TearDown() { fw::TVeGlobalValuesManager::instance().clear(); }

void AccFixture::exec(const QString &sql)
{
    QSqlQuery q(t.db());
    ASSERT_TRUE(q.exec(sql)) << qPrintable(sql) << " " << qPrintable(q.lastError().text());
}

int AccFixture::addAccount(int sprId, const QDate &start)
{
    const int id = scalar(QStringLiteral("SELECT COALESCE(MAX(iSprIstId), 0) + 1 FROM TSprIst")).toInt();
    SqlQuery q(t.db());
    EXPECT_TRUE(q.prepare(QStringLiteral("INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, sSprIstNumCc, iSprIstPgm, dStart) "
                                         "VALUES (:id, 3, :spr, :num, 2, :d)")));
    q.bind(QStringLiteral("id"), id).bind(QStringLiteral("spr"), sprId ? sprId : postalBranch)
        .bind(QStringLiteral("num"), QStringLiteral("%1").arg(id, 8, 10, QLatin1Char('0')))
        .bind(QStringLiteral("d"), start);
    const Status s = q.exec();
    EXPECT_TRUE(s.ok()) << qPrintable(s.error());
    return id;
}

int AccFixture::addYear(int sprIstId, int year, const QDate &first, const QDate &last, const QList<Money> &opening)
{
    const int id = scalar(QStringLiteral("SELECT NEXT VALUE FOR G_TCAI_CASSAIST FROM RDB$DATABASE")).toInt();
    Money sum;
    for (Money m : opening)
        sum += m;
    SqlQuery q(t.db());
    EXPECT_TRUE(q.prepare(QStringLiteral("INSERT INTO TCai_CassaIst (iCaiId, iSprIstId, iCaiEsercizioFin, dCaiInizioAnno, "
                                         "dCaiFineAnno, fCaiCassaIn) VALUES (:id, :acc, :y, :a, :b, :s)")));
    q.bind(QStringLiteral("id"), id).bind(QStringLiteral("acc"), sprIstId).bind(QStringLiteral("y"), year)
        .bind(QStringLiteral("s"), sum);
    if (first.isValid())
        q.bind(QStringLiteral("a"), first).bind(QStringLiteral("b"), last);
    else
        q.bindNull(QStringLiteral("a"), QMetaType(QMetaType::QDate)).bindNull(QStringLiteral("b"), QMetaType(QMetaType::QDate));
    const Status s = q.exec();
    EXPECT_TRUE(s.ok()) << qPrintable(s.error());
    for (int type = 1; type <= 4; ++type)
        exec(QStringLiteral("INSERT INTO TCaiTcc (iCaiId, iTccId, fCaiTccImportoIniz) VALUES (%1, %2, %3)")
                 .arg(id)
                 .arg(type)
                 .arg(opening.value(type - 1).toSqlExact()));
    return id;
}

int AccFixture::addMovement(int sprIstId, const QDate &day, int tipo, const QMap<int, Money> &split)
{
    const int id = scalar(QStringLiteral("SELECT NEXT VALUE FOR G_TMVM_MOVIMENTICCP FROM RDB$DATABASE")).toInt();
    Money total;
    for (Money m : split)
        total += m;
    exec(QStringLiteral("INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, lMvmTipo, fMvmImporto, fMvmDifferenza, "
                        "dMvmDataMov, dMvmDataEc, iCbmId) VALUES (%1, %2, %3, %4, 0, '%5', '%5', 1)")
             .arg(id)
             .arg(sprIstId)
             .arg(tipo)
             .arg(total.toSqlExact(), day.toString(Qt::ISODate)));
    for (auto it = split.begin(); it != split.end(); ++it)
        exec(QStringLiteral("INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES "
                            "(NEXT VALUE FOR G_TMVMCCA, %1, %2, %3)")
                 .arg(id)
                 .arg(componentOfType.value(it.key()))
                 .arg(it.value().toSqlExact()));
    return id;
}

} // namespace ccp::acctest
