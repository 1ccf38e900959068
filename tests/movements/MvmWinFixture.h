#pragma once
#include "EbcFMvm.h"
#include "EbcMMvm.h"
#include "EbcRMvm.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <gtest/gtest.h>
#include <memory>

namespace ccp::mvmwin {

// The demo school with causali of the causali year added: 9100 "Quota" (components 60 and 40),
// 9102 "Gita" (one component of 60), 9103 "Corso" (30 and 20), and 9200 "Spesa" (expense, one
// component of 25).
class MvmWinFixture : public ::testing::Test
{
public:
    void SetUp() override;
    void TearDown() override;

    void exec(const QString &sql);
    QVariant scalar(const QString &sql) { return test::scalar(t.db(), sql); }
    // Opens the movements window on the working account given (1 postal, 2 bank, 3 cash).
    movements::TfmEbcMvm *openWindow(int sprIstId = 1, bool show = true);
    movements::TfrEbcMvm *frame() { return w->frEbcMvm; }
    // Starts a new movement for "other beneficiary" 1 with a causale.
    void startMovement(int cauId);
    // Types an amount into the amount edit as a clerk does (then Enter).
    void typeAmount(const QString &text);
    // The split rows of a movement as "component:amount" in component order.
    QStringList splitOf(int mvmId);
    int lastMovementId();

    test::TestDatabase t{true};
    fw::RecordingMessageSink messages;
    std::unique_ptr<movements::TdmEbcMvm> store;
    std::unique_ptr<movements::TfmEbcMvm> w;
    // Each composition dialog shown: definition mode, amount text, components.
    struct Shown
    {
        bool definition;
        QString amount;
        QStringList components;  // "id:amount"
    };
    QList<Shown> shown;
    // What the test does with a dialog shown for definition (none: leave it as built).
    std::function<void(class fees::TfmEbsCauComp &)> onDialog;
};

} // namespace ccp::mvmwin
