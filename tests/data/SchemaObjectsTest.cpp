// The schema objects the program's rules lean on: computed view columns, cascades, 0/1 checks
// and one sequence per id-taking table.
#include "SqlQuery.h"
#include "TestDatabase.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace ccp;

namespace {

// Runs statements in one transaction; the first failure is returned with its statement.
Status run(QSqlDatabase db, const QStringList &statements)
{
    Transaction tr(db);
    for (const QString &sql : statements) {
        SqlQuery q(db);
        if (Status s = q.exec(sql); !s)
            return Status::failure(s.error() + QStringLiteral(" [") + sql + u']');
    }
    return tr.commit();
}

Status run(QSqlDatabase db, std::initializer_list<const char *> statements)
{
    QStringList list;
    for (const char *sql : statements)
        list << QString::fromUtf8(sql);
    return run(db, list);
}

QStringList column(QSqlDatabase db, const QString &sql)
{
    QStringList out;
    SqlQuery q(db);
    EXPECT_TRUE(q.exec(sql).ok()) << sql.toStdString() << ": " << q.lastError().toStdString();
    while (q.next())
        out << q.value(0).toString().trimmed();
    return out;
}

QStringList column(QSqlDatabase db, const char *sql) { return column(db, QString::fromUtf8(sql)); }

class SchemaObjects : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(t.ok()) << qPrintable(t.error()); }
    QSqlDatabase db() const { return t.db(); }
    QVariant scalar(const QString &sql) const { return test::scalar(db(), sql); }
    QVariant scalar(const char *sql) const { return scalar(QString::fromUtf8(sql)); }

    test::TestDatabase t;
};

TEST_F(SchemaObjects, SchoolYearAndClassViewsDescribeTheYear)
{
    ASSERT_TRUE(run(db(), {
        "INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) "
        "VALUES (34, 2025, '2025-09-01', '2026-08-31')",
        "INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) "
        "VALUES (35, 1999, '1999-09-01', '2000-08-31')",
        "INSERT INTO TDwg_DataOwnerGrp (iDwgId, sDwgSDesc) VALUES (1, 'Istituto')",
        "INSERT INTO TSed_Sedi (iSedId, sSedNomSDesc) VALUES (1, 'Centrale')",
        "INSERT INTO TDwgSed (iDwgSedId, iDwgId, iSedId, lDwgSedMain) VALUES (1, 1, 1, 1)",
        "INSERT INTO TCls_Classi (iClsId, sClsSDesc, sClsDesc, iDwgId, iDwgSedId, dStart, dEnd) "
        "VALUES (1, '1A', 'Prima A', 1, 1, '2025-09-01', '2026-08-31')",
        // a class whose start matches no school year
        "INSERT INTO TCls_Classi (iClsId, sClsSDesc, sClsDesc, iDwgId, dStart) "
        "VALUES (2, '2B', 'Seconda B', 1, '2025-10-01')",
    }).ok());

    EXPECT_EQ(scalar("SELECT sAnsAnnoDesc FROM VAns_AnniScolast WHERE iAnsId = 34").toString(),
              QStringLiteral("2025/2026"));
    // the century turns inside the description
    EXPECT_EQ(scalar("SELECT sAnsAnnoDesc FROM VAns_AnniScolast WHERE iAnsId = 35").toString(),
              QStringLiteral("1999/2000"));

    EXPECT_EQ(scalar("SELECT sClsAnnoScol FROM VCls_Classi WHERE iClsId = 1").toString(),
              QStringLiteral("2025/2026"));
    EXPECT_EQ(scalar("SELECT iAnsId FROM VCls_Classi WHERE iClsId = 1").toInt(), 34);
    // the class list of a year is read by its description: the stray class is not in it
    EXPECT_EQ(column(db(), "SELECT iClsId FROM VCLS_CLASSI WHERE SCLSANNOSCOL = '2025/2026'"),
              QStringList{QStringLiteral("1")});
    EXPECT_TRUE(scalar("SELECT sClsAnnoScol FROM VCls_Classi WHERE iClsId = 2").isNull());
}

TEST_F(SchemaObjects, SplitRowsGoWithTheirMovement)
{
    ASSERT_TRUE(run(db(), {
        "INSERT INTO TSprIst (iSprIstId, iSprId, sSprIstNumCc) VALUES (1, 3, 'CASSA')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaLDesc, lCcaTipo) VALUES (1, 'Tassa', 0)",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaLDesc, lCcaTipo) VALUES (2, 'Quota', 0)",
        "INSERT INTO TCai_CassaIst (iCaiId, iSprIstId, iCaiEsercizioFin) VALUES (1, 1, 2025)",
        "INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, lMvmTipo, fMvmImporto, dMvmDataMov) VALUES (1, 1, 0, 30, '2025-03-01')",
        "INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, lMvmTipo, fMvmImporto, dMvmDataMov) VALUES (2, 1, 0, 5, '2025-03-02')",
        "INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (1, 1, 1, 10)",
        "INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (2, 1, 2, 20)",
        "INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (3, 2, 2, 5)",
    }).ok());
    ASSERT_TRUE(run(db(), {"DELETE FROM TMvm_MovimentiCcp WHERE iMvmId = 1"}).ok());
    EXPECT_EQ(column(db(), "SELECT iMvmCcaId FROM TMvmCca ORDER BY iMvmCcaId"),
              QStringList{QStringLiteral("3")});
    // a component still used by a split row cannot disappear under it
    EXPECT_FALSE(run(db(), {"DELETE FROM TCca_CompCausali WHERE iCcaId = 2"}).ok());
}

TEST_F(SchemaObjects, CoordinatesTakeTheirCausaliAndComponentsAlong)
{
    ASSERT_TRUE(run(db(), {
        "INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome, sAnaNome) VALUES (1, 'Rossi', 'Anna')",
        "INSERT INTO TCau_Causali (iCauId, sCauLDesc, lCauTipo) VALUES (1, 'Gita', 0)",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaLDesc, lCcaTipo) VALUES (1, 'Quota gita', 0)",
        "INSERT INTO TAcb_AluCoordBan (iAcbId, iAnaId, iMpgId, sAcbIBan) VALUES (1, 1, 11, 'IT60X0542811101000000123456')",
        "INSERT INTO TAcb_AluCoordBan (iAcbId, iAnaId, iMpgId) VALUES (2, 1, 11)",
        "INSERT INTO TAcbCau (iAcbCauId, iAcbId, iCauId) VALUES (1, 1, 1)",
        "INSERT INTO TAcbCau (iAcbCauId, iAcbId, iCauId) VALUES (2, 2, 1)",
        "INSERT INTO TCac_CcaAcbCau (iCacId, iAcbCauId, iCcaId, fCacImporto, lCacPagato) VALUES (1, 1, 1, 50, 0)",
        "INSERT INTO TCac_CcaAcbCau (iCacId, iAcbCauId, iCcaId, fCacImporto, lCacPagato) VALUES (2, 2, 1, 50, 1)",
    }).ok());
    ASSERT_TRUE(run(db(), {"DELETE FROM TAcb_AluCoordBan WHERE iAcbId = 1"}).ok());
    EXPECT_EQ(column(db(), "SELECT iAcbCauId FROM TAcbCau"), QStringList{QStringLiteral("2")});
    EXPECT_EQ(column(db(), "SELECT iCacId FROM TCac_CcaAcbCau"), QStringList{QStringLiteral("2")});

    // removing the causale from the coordinates removes its component rows
    ASSERT_TRUE(run(db(), {"DELETE FROM TAcbCau WHERE iAcbCauId = 2"}).ok());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TCac_CcaAcbCau").toInt(), 0);
}

TEST_F(SchemaObjects, CausaleTakesItsComponentLinksAndAccountYearItsOpenings)
{
    ASSERT_TRUE(run(db(), {
        "INSERT INTO TCau_Causali (iCauId, sCauLDesc, lCauTipo) VALUES (1, 'Iscrizione', 0)",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaLDesc, lCcaTipo) VALUES (1, 'Tassa', 0)",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId) VALUES (1, 1, 1)",
        "INSERT INTO TSprIst (iSprIstId, iSprId, sSprIstNumCc) VALUES (1, 3, 'CASSA')",
        "INSERT INTO TCai_CassaIst (iCaiId, iSprIstId, iCaiEsercizioFin) VALUES (1, 1, 2025)",
        "INSERT INTO TCaiTcc (iCaiId, iTccId, fCaiTccImportoIniz) VALUES (1, 1, 100)",
    }).ok());
    ASSERT_TRUE(run(db(), {"DELETE FROM TCau_Causali WHERE iCauId = 1"}).ok());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TCauCca").toInt(), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TCca_CompCausali").toInt(), 1);

    // one account-year per account and year
    EXPECT_FALSE(run(db(), {"INSERT INTO TCai_CassaIst (iCaiId, iSprIstId, iCaiEsercizioFin) VALUES (2, 1, 2025)"}).ok());
    ASSERT_TRUE(run(db(), {"DELETE FROM TCai_CassaIst WHERE iCaiId = 1"}).ok());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TCaiTcc").toInt(), 0);
}

struct FlagCase
{
    const char *name;
    const char *insert; // with a %1 slot for the flag value
};

class FlagChecks : public SchemaObjects, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(FlagChecks, AcceptZeroAndOneRefuseTwo)
{
    const QString sql = QString::fromLatin1(GetParam().insert);
    ASSERT_TRUE(run(db(), {"INSERT INTO TSprIst (iSprIstId, iSprId, sSprIstNumCc) VALUES (1, 3, 'CASSA')",
                           "INSERT INTO TCai_CassaIst (iCaiId, iSprIstId, iCaiEsercizioFin) VALUES (99, 1, 2025)"}).ok());
    EXPECT_TRUE(run(db(), QStringList{sql.arg(1).arg(1)}).ok());
    EXPECT_TRUE(run(db(), QStringList{sql.arg(2).arg(0)}).ok());
    const Status refused = run(db(), QStringList{sql.arg(3).arg(2)});
    EXPECT_FALSE(refused.ok());
}

INSTANTIATE_TEST_SUITE_P(
    Flags, FlagChecks,
    ::testing::Values(
        FlagCase{"movement_kind", "INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, lMvmTipo, fMvmImporto, dMvmDataMov) VALUES (%1, 1, %2, 1, '2025-01-01')"},
        FlagCase{"causale_fees", "INSERT INTO TCau_Causali (iCauId, lCauTipo, lCauRette) VALUES (%1, 0, %2)"},
        FlagCase{"payment_collect", "INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescL, lMpgRisc) VALUES (%1 + 500, 'x', %2)"},
        FlagCase{"account_year_lock", "INSERT INTO TCai_CassaIst (iCaiId, iSprIstId, iCaiEsercizioFin, iLocked) VALUES (%1, 1, 2000 + %1, %2)"},
        FlagCase{"beneficiary_end", "INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, LBENEND) VALUES (%1, 'x', %2)"}),
    [](const ::testing::TestParamInfo<FlagCase> &row) { return std::string(row.param.name); });

// Every table keyed by one integer id has its sequence G_<TABLE>, already past the ids that the
// installation scripts inserted explicitly.
TEST_F(SchemaObjects, EveryIdTableHasASequencePastItsRows)
{
    const QStringList keyed = column(db(),
        "SELECT TRIM(rc.RDB$RELATION_NAME) || ' ' || TRIM(s.RDB$FIELD_NAME) "
        "FROM RDB$RELATION_CONSTRAINTS rc "
        "JOIN RDB$INDEX_SEGMENTS s ON s.RDB$INDEX_NAME = rc.RDB$INDEX_NAME "
        "JOIN RDB$RELATION_FIELDS rf ON rf.RDB$RELATION_NAME = rc.RDB$RELATION_NAME "
        "  AND rf.RDB$FIELD_NAME = s.RDB$FIELD_NAME "
        "JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
        "WHERE rc.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' AND f.RDB$FIELD_TYPE = 8 "
        "AND (SELECT COUNT(*) FROM RDB$INDEX_SEGMENTS s2 WHERE s2.RDB$INDEX_NAME = rc.RDB$INDEX_NAME) = 1");
    ASSERT_GT(keyed.size(), 80);
    QStringList missing, behind;
    for (const QString &row : keyed) {
        const QString table = row.section(u' ', 0, 0);
        const QString key = row.section(u' ', 1, 1);
        const QString sequence = QStringLiteral("G_") + table;
        if (scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = '%1'")
                       .arg(sequence)).toInt() != 1) {
            missing << sequence;
            continue;
        }
        const qint64 maxId = scalar(QStringLiteral("SELECT COALESCE(MAX(%1), 0) FROM %2").arg(key, table)).toLongLong();
        const qint64 next = scalar(QStringLiteral("SELECT GEN_ID(%1, 0) + 1 FROM RDB$DATABASE").arg(sequence)).toLongLong();
        if (next <= maxId)
            behind << QStringLiteral("%1 (%2 <= %3)").arg(sequence).arg(next).arg(maxId);
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u", ").toStdString();
    EXPECT_TRUE(behind.isEmpty()) << behind.join(u", ").toStdString();
}

} // namespace
