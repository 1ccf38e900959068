#include "AbiUDatiBancari.h"
#include "SqlQuery.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::ben;
using fw::MsgResult;

namespace {

BankDetails details(int method, int bank, int branch, const char *account, bool foreign = false)
{
    BankDetails d;
    d.method = method;
    d.bankId = bank;
    d.branchId = branch;
    d.abi = QStringLiteral("01234");
    d.cab = QStringLiteral("05678");
    d.account = QString::fromLatin1(account);
    d.foreign = foreign;
    return d;
}

struct PostRow
{
    const char *label;
    BankDetails in;
    QList<MsgResult> answers;
    QStringList shown;
    bool ok;
    BankField focus;
    QString iban;
};

class BankPostRules : public ::testing::TestWithParam<PostRow> {};

TEST_P(BankPostRules, MessagesAndIban)
{
    const PostRow &r = GetParam();
    fw::RecordingMessageSink sink;
    for (MsgResult a : r.answers)
        sink.answer(a);
    const BankPost p = checkBankDetails(r.in);
    QStringList shown;
    for (const auto &e : sink.entries())
        shown << e.text;
    EXPECT_EQ(shown, r.shown);
    EXPECT_EQ(p.ok, r.ok);
    EXPECT_EQ(p.focus, r.focus);
    EXPECT_EQ(p.values.iban, r.iban);
}

BankDetails withParts(BankDetails d, const char *country, const char *check, const char *cin)
{
    d.country = QString::fromLatin1(country);
    d.checkDigits = QString::fromLatin1(check);
    d.cin = QString::fromLatin1(cin);
    return d;
}

BankDetails domestic(BankDetails d)
{
    d.domesticBank = true;
    return d;
}

BankDetails cancelled(BankDetails d)
{
    d.lastDialogAccepted = false;
    d.iban = QStringLiteral("IT93S0123405678000001000000");
    return d;
}

const QString Good = QStringLiteral("IT93S0123405678000001000000");

INSTANTIATE_TEST_SUITE_P(
    Rules, BankPostRules,
    ::testing::Values(
        PostRow{"M1_account_without_bank", details(3, -1, -1, "1000000"), {}, {messageM1()}, false, BankField::Bank, {}},
        PostRow{"M1_not_for_postal_account", details(5, -1, -1, "1000000"), {}, {}, true, BankField::None, {}},
        PostRow{"M2_account_required", details(3, -1, -1, ""), {}, {messageM2()}, false, BankField::Account, {}},
        PostRow{"M2_not_for_cash", details(1, -1, -1, ""), {}, {}, true, BankField::None, {}},
        PostRow{"M3_bank_without_branch", details(3, 7, -1, "1000000"), {}, {messageM3()}, false, BankField::Branch, {}},
        PostRow{"M4_no_method", details(-1, -1, -1, "", true), {}, {messageM4()}, false, BankField::Method, {}},
        PostRow{"M5_bank_and_branch_without_account", details(1, 7, 8, ""), {}, {messageM5()}, false, BankField::Account, {}},
        PostRow{"parts_missing_yes_builds", details(3, 7, 8, "1000000"), {MsgResult::Yes}, {ibanQuestion()}, true,
                BankField::None, Good},
        PostRow{"parts_missing_no_stops_with_concatenation", details(3, 7, 8, "1000000"), {MsgResult::No}, {ibanQuestion()},
                false, BankField::None, QStringLiteral("01234056781000000")},
        PostRow{"parts_right_no_question", withParts(details(3, 7, 8, "000001000000"), "IT", "93", "S"), {}, {}, true,
                BankField::None, Good},
        PostRow{"wrong_cin_yes_corrects", withParts(details(3, 7, 8, "000001000000"), "IT", "93", "T"), {MsgResult::Yes},
                {ibanQuestion()}, true, BankField::None, Good},
        PostRow{"wrong_cin_no_drops_iban", withParts(details(3, 7, 8, "000001000000"), "IT", "93", "T"), {MsgResult::No},
                {ibanQuestion()}, true, BankField::None, QString()},
        PostRow{"domestic_bank_pads_account", withParts(domestic(details(3, 7, 8, "1000000")), "IT", "93", "S"), {}, {}, true,
                BankField::None, Good},
        PostRow{"cancelled_dialog_drops_iban", cancelled(details(5, -1, -1, "1000000")), {}, {}, true, BankField::None, QString()},
        PostRow{"account_too_long", withParts(details(3, 7, 8, "1234567890123"), "IT", "00", "A"), {},
                {QStringLiteral("Conto Corrente non può essere di 12 caratteri.")}, false, BankField::Account, {}}),
    [](const ::testing::TestParamInfo<PostRow> &info) { return std::string(info.param.label); });

TEST(IbanBatch, ABadRowIsLoggedAndTheOthersGoOn)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.ok());
    const QStringList rows = {
        QStringLiteral("INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS) VALUES (900, '1234', 'Banca prova')"),
        QStringLiteral("INSERT INTO TSPR_SPORTELLICAB (ISPRID, IBANID, SSPRCAB) VALUES (900, 900, '5678')"),
        QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC) VALUES (1, 'Buono')"),
        QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC) VALUES (2, 'Conto troppo lungo')"),
        QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC) VALUES (3, 'Senza banca')"),
        QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, DDELETE) VALUES (4, 'Cancellato', '2020-01-01')"),
        QStringLiteral("INSERT INTO TSPRBEN (ISPRBENID, IBENID, IMPGID, ISPRID, SSPRBENNUMCC) VALUES (1, 1, 3, 900, '1000000')"),
        QStringLiteral("INSERT INTO TSPRBEN (ISPRBENID, IBENID, IMPGID, ISPRID, SSPRBENNUMCC) VALUES (2, 2, 3, 900, '1234567890123')"),
        QStringLiteral("INSERT INTO TSPRBEN (ISPRBENID, IBENID, IMPGID, SSPRBENNUMCC) VALUES (3, 3, 1, '55')"),
        QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC) VALUES (5, 'Anche buono')"),
        QStringLiteral("INSERT INTO TSPRBEN (ISPRBENID, IBENID, IMPGID, ISPRID, SSPRBENNUMCC) VALUES (4, 5, 3, 900, '1000000')"),
    };
    for (const QString &sql : rows) {
        SqlQuery q(t.db());
        ASSERT_TRUE(q.exec(sql).ok()) << sql.toStdString();
    }
    QList<int> steps;
    int total = 0;
    auto r = updateBeneficiariesIban(t.db(), [&](int counter, int all) {
        steps << counter;
        total = all;
    });
    ASSERT_TRUE(r.ok()) << r.error().toStdString();
    EXPECT_EQ(r->errors, QStringList{QStringLiteral("Conto troppo lungo")});
    EXPECT_EQ(steps, (QList<int>{1, 2, 3, 4})) << "one step per beneficiary not deleted";
    EXPECT_EQ(total, 5) << "the total counts the deleted ones too";
    EXPECT_EQ(r->updated, 2) << "rows after the first are written too";
    SqlQuery q(t.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT SSPRBENIBAN, SSPRBENNUMCC, SSPRBENCIN, SSPRBENSTATO, SSPRBENCININT FROM TSPRBEN ORDER BY ISPRBENID")).ok());
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), Good);
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("000001000000"));
    EXPECT_EQ(q.value(2).toString() + q.value(3).toString() + q.value(4).toString(), QStringLiteral("SIT93"));
    ASSERT_TRUE(q.next());
    EXPECT_TRUE(q.value(0).isNull());
    ASSERT_TRUE(q.next());
    EXPECT_TRUE(q.value(0).isNull()) << "no bank: left alone";
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), Good);

    QTemporaryDir dir;
    auto file = writeIbanErrors(dir.path(), r->errors, QDate(2026, 3, 9));
    ASSERT_TRUE(file.ok()) << file.error().toStdString();
    EXPECT_EQ(QFileInfo(*file).fileName(), QStringLiteral("ErrorBenIBAN260309.txt"));
    EXPECT_TRUE(file->contains(QStringLiteral("var/log/abc")));
    QFile f(*file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), QStringLiteral("Conto troppo lungo\n"));
}

} // namespace
