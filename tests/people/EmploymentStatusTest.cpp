#include "AnaFAnagrafiche.h"
#include "ModAnaMAtt.h"
#include "QtTestApp.h"
#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"
#include "kbdREdaExtra.h"

#include <QTabBar>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::people;

namespace {

class EmploymentStatusTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::ensureQtApplication("test_people");
        ASSERT_TRUE(t.ok()) << t.error().toStdString();
        for (const char *sql : {"INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome, sAnaNome) VALUES (1, 'Alfa', 'Anna')",
                                "INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome, sAnaNome) VALUES (2, 'Beta', 'Bruno')",
                                "INSERT INTO TAnaCag (iAnaCagId, iAnaId, iCagId) VALUES (1, 1, 6)",
                                "INSERT INTO TAnaCag (iAnaCagId, iAnaId, iCagId) VALUES (2, 2, 6)",
                                "INSERT INTO TAnaSoc (iAnaSocId, iAnaId, iSocId) VALUES (90, 2, 5)"}) {
            SqlQuery q(t.db());
            ASSERT_TRUE(q.exec(QString::fromLatin1(sql)).ok()) << sql;
        }
        module = std::make_unique<TdmModAnaAtt>(t.db());
        module->CategorieAmmesse = {6};
        module->OnRequestFrames = [](int, int &, QStringList &pairs) {
            pairs << TfrkbdEdeExtra::ClassName << QStringLiteral("Stato occupazionale");
        };
        w = std::make_unique<TfmAnaAnagrafiche>(*module);
        ASSERT_EQ(w->editFrames().size(), 1);
        f = qobject_cast<TfrkbdEdeExtra *>(w->editFrames().first());
        ASSERT_NE(f, nullptr);
    }
    // The statuses stored for a person.
    QList<int> statuses(int anaId)
    {
        QList<int> out;
        SqlQuery q(t.db());
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT iSocId FROM TAnaSoc WHERE iAnaId = %1").arg(anaId)).ok());
        while (q.next())
            out << q.value(0).toInt();
        return out;
    }
    void enter(int status)
    {
        ASSERT_TRUE(f->insert());
        f->collection()->setFieldValue(QStringLiteral("iSocId"), status);
        f->OnPostExecute();
        ASSERT_FALSE(f->collection()->isEditing()) << sink.lastText().toStdString();
    }

    test::TestDatabase t;
    fw::RecordingMessageSink sink;
    std::unique_ptr<TdmModAnaAtt> module;
    std::unique_ptr<TfmAnaAnagrafiche> w;
    TfrkbdEdeExtra *f = nullptr;
};

TEST_F(EmploymentStatusTest, ANewStatusReplacesTheOldOneOfThatPersonOnly)
{
    w->collection()->setCurrentIndex(0);
    ASSERT_EQ(f->anaId(), 1) << "the frame follows the window's person";

    ASSERT_TRUE(f->insert());
    f->OnPostExecute();
    EXPECT_EQ(sink.lastText(), QStringLiteral("Attenzione!\r\nValore non valido per il campo \"Stato occupazionale\""));
    f->cancel();

    enter(2);
    EXPECT_EQ(statuses(1), QList<int>{2});
    enter(6);
    EXPECT_EQ(statuses(1), QList<int>{6}) << "one status per person";
    EXPECT_EQ(statuses(2), QList<int>{5}) << "the other person keeps hers";

    sink.answer(fw::MsgResult::Yes);
    ASSERT_TRUE(f->deleteCurrent()) << sink.lastText().toStdString();
    EXPECT_TRUE(statuses(1).isEmpty());
    EXPECT_EQ(statuses(2), QList<int>{5});
}

} // namespace
