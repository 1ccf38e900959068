#include "AcbFixture.h"
#include "EbcUAluGen.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeQueryCollection.h"

#include <QAction>

namespace ccp::acbtest {

using namespace ccp::directdebit;

// ---- rules without a window ------------------------------------------------------------------

struct CoordinatesCase
{
    const char *name;
    QVariant parent;
    const char *iban;
    QString expected;
};

TEST(AcbRules, CoordinatesAreCheckedForParentAndIban)
{
    const CoordinatesCase cases[] = {
        {"empty IBAN accepted", 5, "", {}},
        {"blank IBAN accepted", 5, "   ", {}},
        {"valid IBAN", 5, "IT60X0542811101000000123456", {}},
        {"wrong check digits", 5, "IT61X0542811101000000123456", AcbText::IbanInvalid},
        {"no parent", QVariant(), "", AcbText::ParentRequired},
        {"parent zero", 0, "IT60X0542811101000000123456", AcbText::ParentRequired},
        {"no parent before a bad IBAN", QVariant(), "XX", AcbText::ParentRequired},
    };
    for (const auto &c : cases)
        EXPECT_EQ(checkCoordinates(c.parent, QString::fromLatin1(c.iban)), c.expected) << c.name;
}

// ---- causali and their component rows -----------------------------------------------------

class AcbCauRows : public AcbFixture
{
protected:
    void SetUp() override
    {
        AcbFixture::SetUp();
        pupil = freePupil();
        ASSERT_GT(pupil, 0);
        acbId = newCoordinates(pupil, parentOf(pupil));
        dm = std::make_unique<TdmEbcAluGen>(t.db());
        ASSERT_TRUE(dm->open(26).ok());
        ASSERT_TRUE(dm->xqcAluGen->locate(acbId).ok());
        ASSERT_EQ(dm->xqcAcbCau->param(QStringLiteral("iAcbId")).toInt(), acbId);
    }
    int link(int cauId)
    {
        fw::TVeQueryCollection *c = dm->xqcAcbCau;
        EXPECT_TRUE(c->insert());
        c->setFieldValue(QStringLiteral("iCauId"), cauId);
        EXPECT_TRUE(c->post()) << qPrintable(messages.lastText());
        return c->currentKey().toInt();
    }

    int pupil = 0;
    int acbId = 0;
    std::unique_ptr<TdmEbcAluGen> dm;
};

TEST_F(AcbCauRows, LinkingACausaleWritesOneUnpaidRowPerComponent)
{
    const int id = link(9100);
    EXPECT_EQ(componentRows(id),
              (QStringList{QStringLiteral("9001:60.0000:2026-10-31:0"), QStringLiteral("9002:40.0000:2027-01-31:0")}));
    EXPECT_EQ(dm->xqcCcaAcbCau->count(), 2) << "the components list shows the new rows";
    const int gita = link(9101);
    EXPECT_EQ(componentRows(gita), QStringList{QStringLiteral("9003:75.5000::0")});
    EXPECT_EQ(componentRows(id).size(), 2) << "the other causale keeps its rows";
}

TEST_F(AcbCauRows, ChangingTheCausaleReplacesItsRowsAndUnlinkingRemovesThem)
{
    const int id = link(9100);
    exec(QStringLiteral("UPDATE TCac_CcaAcbCau SET lCacPagato = 1 WHERE iAcbCauId = %1").arg(id));
    ASSERT_TRUE(dm->xqcAcbCau->locate(id).ok());
    ASSERT_TRUE(dm->xqcAcbCau->edit());
    dm->xqcAcbCau->setFieldValue(QStringLiteral("iCauId"), 9101);
    ASSERT_TRUE(dm->xqcAcbCau->post());
    EXPECT_EQ(componentRows(id), QStringList{QStringLiteral("9003:75.5000::0")});

    ASSERT_TRUE(dm->xqcAcbCau->deleteCurrent());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TAcbCau WHERE iAcbCauId = %1").arg(id)), 0);
    EXPECT_TRUE(componentRows(id).isEmpty());
    EXPECT_EQ(dm->xqcCcaAcbCau->count(), 0);
}

TEST_F(AcbCauRows, ARefusedLinkLeavesNoRowBehind)
{
    const int before = count(QStringLiteral("SELECT COUNT(*) FROM TCac_CcaAcbCau"));
    fw::TVeQueryCollection *c = dm->xqcAcbCau;
    ASSERT_TRUE(c->insert());
    c->setFieldValue(QStringLiteral("iCauId"), 987654);   // no such causale
    EXPECT_FALSE(c->post());
    c->cancel();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TAcbCau WHERE iAcbId = %1").arg(acbId)), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TCac_CcaAcbCau")), before);
}

// ---- the window ----------------------------------------------------------------------------

class AcbWindow : public AcbFixture
{
protected:
    void SetUp() override
    {
        AcbFixture::SetUp();
        w = std::make_unique<TfmEbcAluGen>(t.db());
        w->resize(1200, 900);
        w->show();
    }
    void TearDown() override
    {
        w.reset();
        AcbFixture::TearDown();
    }
    TfrEbcAluGen *frame() { return w->frEbcAluGen; }
    QVariant field(const QString &name) { return frame()->collection()->fieldValue(name); }
    void startNew(int pupil, int parent)
    {
        ASSERT_TRUE(frame()->insert());
        ASSERT_TRUE(frame()->xdlAlunno->chooseKey(pupil));
        ASSERT_TRUE(frame()->xdlGenitore->chooseKey(parent));
    }

    std::unique_ptr<TfmEbcAluGen> w;
};

TEST_F(AcbWindow, AMalformedIbanIsRefusedAndNothingWritten)
{
    const int other = freePupil();
    startNew(other, parentOf(other));
    frame()->collection()->setFieldValue(QStringLiteral("sAcbIBan"), QStringLiteral("IT61X0542811101000000123456"));
    messages.clear();
    frame()->xacPost()->trigger();
    EXPECT_EQ(messages.lastText(), AcbText::IbanInvalid);
    EXPECT_EQ(frame()->mode(), 1) << "the row stays in edit";
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TAcb_AluCoordBan WHERE iAnaId = %1").arg(other)), 0);
    frame()->collection()->setFieldValue(QStringLiteral("sAcbIBan"), QStringLiteral("IT60X0542811101000000123456"));
    frame()->xacPost()->trigger();
    EXPECT_EQ(scalar(QStringLiteral("SELECT sAcbIBan FROM TAcb_AluCoordBan WHERE iAnaId = %1").arg(other)).toString(),
              QStringLiteral("IT60X0542811101000000123456"));
}

TEST_F(AcbWindow, MandateTakesTheDefaultAndIsNotSharedWithAnotherPupil)
{
    const int pupil = freePupil();
    startNew(pupil, parentOf(pupil));
    frame()->xacPost()->trigger();
    ASSERT_EQ(frame()->mode(), 0) << qPrintable(messages.lastText());
    const QString mandate =
        scalar(QStringLiteral("SELECT sAcbMandato FROM TAcb_AluCoordBan WHERE iAnaId = %1").arg(pupil)).toString();
    EXPECT_FALSE(mandate.isEmpty());

    const int other = freePupil();
    startNew(other, parentOf(other));
    frame()->collection()->setFieldValue(QStringLiteral("sAcbMandato"), mandate);
    frame()->collection()->setFieldValue(QStringLiteral("dAcbDataFirma"), QDate(2026, 9, 15));
    messages.clear();
    frame()->xacPost()->trigger();
    const QString name =
        scalar(QStringLiteral("SELECT sAnaCognome || ' ' || sAnaNome FROM TAna_Anagrafiche WHERE iAnaId = %1").arg(pupil))
            .toString();
    EXPECT_EQ(messages.lastText(), AcbText::mandateHeld(mandate, name));
    EXPECT_EQ(frame()->mode(), 1) << "the row stays in edit";
    frame()->collection()->setFieldValue(QStringLiteral("sAcbMandato"), QStringLiteral("MANDATO/2026-07"));
    frame()->xacPost()->trigger();
    EXPECT_EQ(scalar(QStringLiteral("SELECT sAcbMandato || ' ' || dAcbDataFirma FROM TAcb_AluCoordBan WHERE iAnaId = %1")
                         .arg(other))
                  .toString(),
              QStringLiteral("MANDATO/2026-07 2026-09-15"));
}

TEST_F(AcbWindow, ThePupilRestrictsTheParentsAndOnlyAParentChoiceSetsTheHolder)
{
    const int first = freePupil();
    const int second = freePupil(1);
    const int firstParent = parentOf(first);
    const int secondParent = parentOf(second);
    ASSERT_NE(firstParent, secondParent);
    startNew(first, firstParent);
    const QString holder = field(QStringLiteral("sAcbIntestatario")).toString();
    EXPECT_EQ(holder, frame()->xdlGenitore->text());
    EXPECT_FALSE(holder.isEmpty());
    EXPECT_FALSE(field(QStringLiteral("sClsDesc")).toString().isEmpty()) << "the pupil's class is copied";

    ASSERT_TRUE(frame()->xdlAlunno->chooseKey(second));
    EXPECT_EQ(field(QStringLiteral("sAcbIntestatario")).toString(), holder) << "a pupil's choice keeps the holder";
    EXPECT_FALSE(frame()->xdlGenitore->chooseKey(firstParent)) << "the first pupil's parent is no longer offered";
    ASSERT_TRUE(frame()->xdlGenitore->chooseKey(secondParent));
    EXPECT_NE(field(QStringLiteral("sAcbIntestatario")).toString(), holder);
    EXPECT_EQ(field(QStringLiteral("sAcbIntestatario")).toString(), frame()->xdlGenitore->text());
}

TEST_F(AcbWindow, ListsFollowTheCoordinates)
{
    const int withTwo = scalar(QStringLiteral(
        "SELECT FIRST 1 iAcbId FROM TAcbCau GROUP BY iAcbId HAVING COUNT(*) >= 2 ORDER BY iAcbId")).toInt();
    ASSERT_GT(withTwo, 0);
    ASSERT_TRUE(frame()->collection()->locate(withTwo).ok());
    const int shown = w->frEbcAcbCau->collection()->count();
    EXPECT_EQ(shown, count(QStringLiteral("SELECT COUNT(*) FROM TAcbCau AcbCau JOIN TCau_Causali Cau ON "
                                          "Cau.iCauId = AcbCau.iCauId WHERE AcbCau.iAcbId = %1 AND Cau.dStart = "
                                          "'2026-09-01'").arg(withTwo)));
    const int firstLink = w->frEbcAcbCau->collection()->currentKey().toInt();
    EXPECT_EQ(w->frEbcCcaAcbCau->collection()->count(),
              count(QStringLiteral("SELECT COUNT(*) FROM TCac_CcaAcbCau WHERE iAcbCauId = %1").arg(firstLink)));
}

} // namespace ccp::acbtest
