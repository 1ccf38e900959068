#include "AbiMBen.h"
#include "AbiUNames.h"
#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::ben;

namespace {

class BenModuleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << t.error().toStdString();
        dm = std::make_unique<TdmBeneficiari>(t.db());
    }

    void exec(const QString &sql)
    {
        SqlQuery q(t.db());
        auto s = q.exec(sql);
        ASSERT_TRUE(s.ok()) << sql.toStdString() << " " << s.error().toStdString();
    }
    int count(const QString &sql) { return test::scalar(t.db(), sql).toInt(); }

    // A legal beneficiary with its category row.
    void addLegal(int id, const QString &name)
    {
        exec(QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, LBENEND) VALUES (%1, '%2', 0)").arg(id).arg(name));
        exec(QStringLiteral("INSERT INTO TBENBCA (IBENBCAID, IBENID, IBCAID) VALUES (%1, %1, 1)").arg(id));
    }
    bool locate(int id)
    {
        auto r = dm->xqcBeneficiari()->locate(id);
        dm->followCurrent();
        return r.ok() && r.value() >= 0;
    }
    void setPerson(const QString &surname, const QString &name, const QDate &birth)
    {
        auto *c = dm->xqcBeneficiari();
        c->setFieldValue(QStringLiteral("SANACOGNOME"), surname);
        c->setFieldValue(QStringLiteral("SANANOME"), name);
        c->setFieldValue(QStringLiteral("DANANASCITA"), birth);
    }

    test::TestDatabase t;
    fw::RecordingMessageSink sink;
    std::unique_ptr<TdmBeneficiari> dm;
};

TEST_F(BenModuleTest, LegalTurnedNaturalGetsItsPersonCategoryAndLink)
{
    addLegal(900, QStringLiteral("Studio Ferri"));
    ASSERT_TRUE(dm->open().ok());
    ASSERT_TRUE(locate(900));
    auto *c = dm->xqcBeneficiari();
    ASSERT_TRUE(c->edit());
    dm->setNatural(true);
    setPerson(QStringLiteral("Ferri"), QStringLiteral("Elena"), QDate(1975, 4, 2));
    c->setFieldValue(QStringLiteral("SBENCODFISCALE"), QStringLiteral("FRRLNE75D42A944X"));
    ASSERT_TRUE(dm->post()) << sink.lastText().toStdString();

    const int ana = count(QStringLiteral("SELECT IANAID FROM TBEN_BENEFICIARI WHERE IBENID = 900"));
    ASSERT_GT(ana, 0);
    EXPECT_EQ(dm->currentAnaId(), ana);
    SqlQuery q(t.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT SANACOGNOME, SANACODFISCALE, IIOCTRLCODE, SANACOGNOMENOMEIDX FROM TANA_ANAGRAFICHE WHERE IANAID = %1").arg(ana)).ok());
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("Ferri"));
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("FRRLNE75D42A944X"));
    EXPECT_EQ(q.value(2).toInt(), names::controlCode(QStringLiteral("FERRI"), QStringLiteral("ELENA"), QDate(1975, 4, 2)));
    EXPECT_EQ(q.value(3).toString(), QStringLiteral("FERRIELENA"));
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT SANACAGCODE FROM TANACAG WHERE ICAGID = 4 AND IANAID = %1").arg(ana)).toString(),
              QString::number(ana).rightJustified(10, u'0'));
    EXPECT_EQ(count(QStringLiteral("SELECT LIST(IBCAID) FROM TBENBCA WHERE IBENID = 900")), 2) << "category 1 became 2";
}

TEST_F(BenModuleTest, NewNaturalPersonWithoutNameTakesSurnameAndNameAndCopiesTheDwelling)
{
    // An existing person with a dwelling: answered "SI" it is linked, not inserted again.
    exec(QStringLiteral("INSERT INTO TANA_ANAGRAFICHE (IANAID, SANACOGNOME, SANANOME, DANANASCITA, SANACODFISCALE, IIOCTRLCODE) "
                        "VALUES (800, 'D''Amico', 'Nicolò', '1970-03-12', 'DMCNCL70C12A944K', %1)")
             .arg(names::controlCode(QStringLiteral("D'Amico"), QStringLiteral("Nicolò"), QDate(1970, 3, 12))));
    exec(QStringLiteral("INSERT INTO TABT_ABITAZ (IABTID, SABTINDIRIZZO, DSTART) VALUES (800, 'Via Roma 1', '2010-01-01')"));
    exec(QStringLiteral("INSERT INTO TANAABT (IANAABTID, IANAID, IABTID, DSTART) VALUES (800, 800, 800, '2010-01-01')"));
    const int people = count(QStringLiteral("SELECT COUNT(*) FROM TANA_ANAGRAFICHE"));
    ASSERT_TRUE(dm->open().ok());
    QList<PersonMatch> offered;
    dm->chooseDuplicate = [&](const QList<PersonMatch> &m) -> std::optional<int> {
        offered = m;
        return m.first().anaId;
    };
    auto *c = dm->xqcBeneficiari();
    ASSERT_TRUE(c->insert());
    dm->setNatural(true);
    setPerson(QStringLiteral("DAMICO"), QStringLiteral("nicolo"), QDate(1970, 3, 12));
    ASSERT_TRUE(dm->post()) << sink.lastText().toStdString();

    ASSERT_EQ(offered.size(), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TANA_ANAGRAFICHE")), people) << "no new person";
    const int ben = dm->currentBenId();
    SqlQuery q(t.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT IANAID, SBENRAGSOC FROM TBEN_BENEFICIARI WHERE IBENID = %1").arg(ben)).ok());
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 800);
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("DAMICO nicolo"));
    EXPECT_EQ(count(QStringLiteral("SELECT IBCAID FROM TBENBCA WHERE IBENID = %1").arg(ben)), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TANACAG WHERE IANAID = 800 AND ICAGID = 4")), 1);
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT SSEBINDIRIZZO FROM TSEB_SEDIBEN WHERE LSEBRIFERIMENTO = 1 AND IBENID = %1").arg(ben)).toString(),
              QStringLiteral("Via Roma 1"));
}

TEST_F(BenModuleTest, ARefusedStatementLeavesNothingOfThePost)
{
    exec(QStringLiteral("CREATE EXCEPTION E_TEST_REFUSE 'rifiutato'"));
    exec(QStringLiteral("CREATE TRIGGER T_TEST_REFUSE FOR TANACAG BEFORE INSERT AS BEGIN EXCEPTION E_TEST_REFUSE; END"));
    const int people = count(QStringLiteral("SELECT COUNT(*) FROM TANA_ANAGRAFICHE"));
    ASSERT_TRUE(dm->open().ok());
    auto *c = dm->xqcBeneficiari();
    ASSERT_TRUE(c->insert());
    dm->setNatural(true);
    setPerson(QStringLiteral("Neri"), QStringLiteral("Carla"), QDate(1980, 1, 1));
    EXPECT_FALSE(dm->post());
    EXPECT_TRUE(sink.lastText().contains(QStringLiteral("rifiutato")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TANA_ANAGRAFICHE")), people);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TBEN_BENEFICIARI")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TBENBCA")), 0);
    EXPECT_TRUE(c->isEditing()) << "the typed values stay for another try";
    EXPECT_EQ(dm->currentAnaId(), 0);
}

TEST_F(BenModuleTest, RequiredPersonFieldsAndName)
{
    ASSERT_TRUE(dm->open().ok());
    auto *c = dm->xqcBeneficiari();
    struct Row { const char *label; QString surname, name; QDate birth; bool natural; QString message; };
    const QList<Row> rows = {
        {"surname_only_apostrophes", QStringLiteral(" ' "), QStringLiteral("Anna"), QDate(1990, 1, 1), true, invalidMessage(QStringLiteral("Cognome"))},
        {"no_name", QStringLiteral("Rossi"), QString(), QDate(1990, 1, 1), true, invalidMessage(QStringLiteral("Nome"))},
        {"no_birth", QStringLiteral("Rossi"), QStringLiteral("Anna"), QDate(), true, invalidMessage(QStringLiteral("Data nascita"))},
        {"legal_without_name", QString(), QString(), QDate(), false, invalidMessage(QStringLiteral("Ragione sociale"))},
    };
    for (const Row &r : rows) {
        sink.clear();
        ASSERT_TRUE(c->insert());
        dm->setNatural(r.natural);
        setPerson(r.surname, r.name, r.birth);
        EXPECT_FALSE(dm->post()) << r.label;
        EXPECT_EQ(sink.lastText(), r.message) << r.label;
        c->cancel();
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TBEN_BENEFICIARI")), 0);
}

TEST_F(BenModuleTest, HistoricizingAsksAndNoKeepsTheRowButPostsTheRest)
{
    addLegal(901, QStringLiteral("Alfa Srl"));
    exec(QStringLiteral("INSERT INTO TANA_ANAGRAFICHE (IANAID, SANACOGNOME, SANANOME, DANANASCITA) VALUES (801, 'Bruni', 'Ada', '1960-01-01')"));
    exec(QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, IANAID, SBENRAGSOC, LBENEND) VALUES (902, 801, 'Bruni Ada', 0)"));
    exec(QStringLiteral("INSERT INTO TBENBCA (IBENBCAID, IBENID, IBCAID) VALUES (902, 902, 2)"));
    ASSERT_TRUE(dm->open().ok());
    auto *c = dm->xqcBeneficiari();

    // "No": the beneficiary row stays as it was, the person's change is posted.
    ASSERT_TRUE(locate(902));
    ASSERT_TRUE(c->edit());
    c->setFieldValue(QStringLiteral("LBENEND"), 1);
    c->setFieldValue(QStringLiteral("SANANOME"), QStringLiteral("Adele"));
    sink.answer(fw::MsgResult::No);
    ASSERT_TRUE(dm->post()) << sink.lastText().toStdString();
    EXPECT_EQ(sink.entries().first().text, historicizeQuestion());
    EXPECT_EQ(count(QStringLiteral("SELECT LBENEND FROM TBEN_BENEFICIARI WHERE IBENID = 902")), 0);
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT SANANOME FROM TANA_ANAGRAFICHE WHERE IANAID = 801")).toString(),
              QStringLiteral("Adele"));

    // "Yes": historicized today, and it leaves the list of the active ones.
    ASSERT_TRUE(locate(901));
    ASSERT_TRUE(c->edit());
    c->setFieldValue(QStringLiteral("LBENEND"), 1);
    sink.answer(fw::MsgResult::Yes);
    ASSERT_TRUE(dm->post());
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT DEND FROM TBEN_BENEFICIARI WHERE IBENID = 901")).toDate(), QDate::currentDate());
    ASSERT_TRUE(dm->setView(true, QString()).ok());
    c->fetchAll();
    ASSERT_EQ(c->count(), 1);
    EXPECT_EQ(c->value(0, QStringLiteral("IBENID")).toInt(), 901);

    // Editing an already historicized row asks nothing and keeps its date.
    ASSERT_TRUE(locate(901));
    ASSERT_TRUE(c->edit());
    c->setFieldValue(QStringLiteral("SBENDESC"), QStringLiteral("nota"));
    sink.clear();
    ASSERT_TRUE(dm->post());
    EXPECT_TRUE(sink.entries().isEmpty());
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT DEND FROM TBEN_BENEFICIARI WHERE IBENID = 901")).toDate(), QDate::currentDate());
}

TEST_F(BenModuleTest, SearchTextIsBoundWithItsQuotesAndWildcards)
{
    addLegal(910, QStringLiteral("L''Officina 100% Srl"));
    addLegal(911, QStringLiteral("Officina_Bassi"));
    addLegal(912, QStringLiteral("Cartoleria Rossi"));
    ASSERT_TRUE(dm->open().ok());
    auto *c = dm->xqcBeneficiari();
    struct Row { const char *label; QString text; QList<int> ids; };
    const QList<Row> rows = {
        {"apostrophe", QStringLiteral("l'off"), {910}},
        {"percent_literal", QStringLiteral("100%"), {910}},
        {"underscore_literal", QStringLiteral("a_b"), {911}},
        {"case_insensitive", QStringLiteral("OFFICINA"), {910, 911}},
        {"injection_attempt", QStringLiteral("x' OR '1'='1"), {}},
        {"empty_shows_all", QString(), {912, 910, 911}},
    };
    for (const Row &r : rows) {
        ASSERT_TRUE(dm->setView(false, r.text).ok()) << r.label;
        c->fetchAll();
        QList<int> ids;
        for (int i = 0; i < c->count(); ++i)
            ids << c->value(i, QStringLiteral("IBENID")).toInt();
        EXPECT_EQ(ids, r.ids) << r.label;
    }
}

} // namespace
