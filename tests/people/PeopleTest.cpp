#include "AnaFAnagrafiche.h"
#include "AnaUPeople.h"
#include "ModAnaMAtt.h"
#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QApplication>
#include "QtTestApp.h"
#include <gtest/gtest.h>
#include <memory>

using namespace ccp;
using namespace ccp::people;

namespace {

void ensureApplication()
{
    test::ensureQtApplication("test_people");
}

[[maybe_unused]] static const bool s_qtApplication = test::registerQtApplication("test_people");

class PeopleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureApplication();
        ASSERT_TRUE(t.ok()) << t.error().toStdString();
        const QStringList rows = {
            // Two pupils, one of whom is also a parent; a parent; a staff member.
            QStringLiteral("INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome, sAnaNome, sAnaCodFiscale, iSexId) VALUES (1, 'Rossi', 'Mario', 'RSSMRA10A01H501A', 1)"),
            QStringLiteral("INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome, sAnaNome, iSexId) VALUES (2, 'Bianchi', 'Anna', 2)"),
            QStringLiteral("INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome, sAnaNome) VALUES (3, 'Rossi', 'Giulia')"),
            QStringLiteral("INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome, sAnaNome) VALUES (4, 'Verdi', 'Luca')"),
            QStringLiteral("INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome, sAnaNome) VALUES (5, 'Neri_X', 'Paolo')"),
            QStringLiteral("INSERT INTO TAnaCag (iAnaCagId, iAnaId, iCagId, sAnaCagCode) VALUES (1, 1, 1, 'A1')"),
            QStringLiteral("INSERT INTO TAnaCag (iAnaCagId, iAnaId, iCagId) VALUES (2, 2, 1)"),
            QStringLiteral("INSERT INTO TAnaCag (iAnaCagId, iAnaId, iCagId) VALUES (3, 2, 2)"),
            QStringLiteral("INSERT INTO TAnaCag (iAnaCagId, iAnaId, iCagId) VALUES (4, 3, 2)"),
            QStringLiteral("INSERT INTO TAnaCag (iAnaCagId, iAnaId, iCagId) VALUES (5, 4, 3)"),
            QStringLiteral("INSERT INTO TAnaCag (iAnaCagId, iAnaId, iCagId) VALUES (6, 5, 1)"),
            QStringLiteral("INSERT INTO TAnaGpt (iAnaGptId, iAnaId, iAnaId_P, iGptId) VALUES (1, 1, 3, 2)"),
            QStringLiteral("INSERT INTO TBen_Beneficiari (iBenId, iAnaId, sBenRagSoc) VALUES (1, 1, 'Rossi Mario')"),
            QStringLiteral("INSERT INTO TTeb_Telefono (iTebId, iBenId, sTebTelefono, sTebDesc) VALUES (1, 1, '0612345', 'Casa')"),
        };
        for (const QString &sql : rows) {
            SqlQuery q(t.db());
            auto s = q.exec(sql);
            ASSERT_TRUE(s.ok()) << sql.toStdString() << " " << s.error().toStdString();
        }
        module = std::make_unique<TdmModAnaAtt>(t.db());
    }

    QStringList surnamesOf(const TfmAnaAnagrafiche &w) const
    {
        QStringList out;
        auto *c = w.collection();
        c->fetchAll();
        for (int i = 0; i < c->count(); ++i)
            out << c->value(i, QStringLiteral("sAnaCognome")).toString() + u' ' + c->value(i, QStringLiteral("sAnaNome")).toString();
        return out;
    }

    test::TestDatabase t;
    fw::RecordingMessageSink sink;
    std::unique_ptr<TdmModAnaAtt> module;
};

TEST_F(PeopleTest, ListsTheCategoryLeavingOutHiddenOnes)
{
    module->CategorieAmmesse = {1};
    module->CategorieNascoste = QList<int>{2};
    TfmAnaAnagrafiche pupils(*module);
    EXPECT_EQ(surnamesOf(pupils), (QStringList{QStringLiteral("Neri_X Paolo"), QStringLiteral("Rossi Mario")}))
        << "Bianchi is also a parent, hidden among pupils";
    module->CategorieNascoste.reset();
    TfmAnaAnagrafiche all(*module);
    EXPECT_EQ(surnamesOf(all).size(), 3);
    module->CategorieAmmesse = {2};
    TfmAnaAnagrafiche parents(*module);
    EXPECT_EQ(surnamesOf(parents), (QStringList{QStringLiteral("Bianchi Anna"), QStringLiteral("Rossi Giulia")}));
}

TEST_F(PeopleTest, SearchByNameEitherWayRoundAndLiteralWildcards)
{
    module->CategorieAmmesse = {1};
    TfmAnaAnagrafiche pupils(*module);
    pupils.search(QStringLiteral("mario ros"));
    EXPECT_EQ(surnamesOf(pupils), QStringList{QStringLiteral("Rossi Mario")});
    pupils.search(QStringLiteral("rss"));
    EXPECT_EQ(surnamesOf(pupils), QStringList{QStringLiteral("Rossi Mario")}) << "the fiscal code is searched too";
    pupils.search(QStringLiteral("_"));
    EXPECT_EQ(surnamesOf(pupils), QStringList{QStringLiteral("Neri_X Paolo")}) << "an underscore is not a wildcard";
    pupils.search(QStringLiteral("o' b"));
    EXPECT_TRUE(surnamesOf(pupils).isEmpty());
    EXPECT_TRUE(sink.entries().isEmpty()) << "a quote typed is no error";
}

TEST_F(PeopleTest, DetailAndExtraTabsFollowTheCurrentPerson)
{
    module->CategorieAmmesse = {1};
    module->OnRequestFrames = [](int category, int &flags, QStringList &pairs) {
        if (category != 1)
            return;
        flags |= 128;
        pairs << QStringLiteral("TfrAnaTel") << QStringLiteral("Telefoni") << QStringLiteral("TfrAnaGpt")
              << QStringLiteral("Genitori/Tutori") << QStringLiteral("TfrSconosciuto") << QStringLiteral("Altro");
    };
    TfmAnaAnagrafiche pupils(*module);
    EXPECT_EQ(pupils.optionFlags(), 128);
    pupils.search(QStringLiteral("rossi"));
    EXPECT_EQ(pupils.detail().fiscalCode, QStringLiteral("RSSMRA10A01H501A"));
    EXPECT_EQ(pupils.detail().sex, QStringLiteral("Maschio"));
    EXPECT_EQ(pupils.detail().code, QStringLiteral("A1"));
    ASSERT_EQ(pupils.frames().size(), 2);
    auto *phones = pupils.frames()[0]->collection();
    ASSERT_EQ(phones->count(), 1);
    EXPECT_EQ(phones->value(0, QStringLiteral("sTebTelefono")).toString(), QStringLiteral("0612345"));
    auto *parents = pupils.frames()[1]->collection();
    ASSERT_EQ(parents->count(), 1);
    EXPECT_EQ(parents->value(0, QStringLiteral("sGptLDesc")).toString(), QStringLiteral("Madre"));
}

} // namespace

TEST_F(PeopleTest, OneNameTypedThreeWaysFindsTheSamePerson)
{
    SqlQuery q(t.db());
    // One row keyed by the registry, one written by another program without the key.
    ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome, sAnaNome, sAnaCognomeNomeIdx) "
                                      "VALUES (6, 'D''Amico', 'Nicolò', 'DAMICONICOLO')")).ok());
    ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome, sAnaNome) VALUES (7, 'Dell''Acqua', 'Pia')")).ok());
    ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO TAnaCag (iAnaCagId, iAnaId, iCagId) VALUES (7, 6, 1)")).ok());
    ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO TAnaCag (iAnaCagId, iAnaId, iCagId) VALUES (8, 7, 1)")).ok());
    module->CategorieAmmesse = {1};
    TfmAnaAnagrafiche pupils(*module);
    for (const QString typed : {QStringLiteral("D'Amico"), QStringLiteral("DAMICO"), QStringLiteral("d amico"),
                                QStringLiteral("damico nicolo")}) {
        pupils.search(typed);
        EXPECT_EQ(surnamesOf(pupils), QStringList{QStringLiteral("D'Amico Nicolò")}) << typed.toStdString();
    }
    for (const QString typed : {QStringLiteral("dell acqua"), QStringLiteral("DELLACQUA")}) {
        pupils.search(typed);
        EXPECT_EQ(surnamesOf(pupils), QStringList{QStringLiteral("Dell'Acqua Pia")}) << typed.toStdString();
    }
}
