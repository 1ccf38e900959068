#include "AbiUIBAN.h"

#include "Ids.h"
#include "SqlQuery.h"

namespace ccp::abiban {

namespace {

const QString Crlf = QStringLiteral("\r\n");

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20 || c.isSpace() || c.category() == QChar::Other_Control;
}

QString trimEnds(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text[begin]))
        ++begin;
    while (end > begin && isBlankOrControl(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

TIBAN &IBANCalculator()
{
    struct Calculator
    {
        TIBAN iban;
        Calculator()
        {
            auto bban = std::make_unique<TItalianBBAN>();
            bban->SetNormalize(true);
            iban.SetDomesticBBAN(std::move(bban));
        }
    };
    static Calculator calculator;
    return calculator.iban;
}

Result<QString> BuildIBAN(const QString &abi, const QString &cab, const QString &account)
{
    TIBAN &calc = IBANCalculator();
    calc.SetValid(false);
    TCustomBBAN *bban = calc.DomesticBBAN();
    bban->SetBank(abi);
    bban->SetBranch(cab);
    bban->SetAccount(account);
    return calc.IBan();
}

bool CheckIBAN(const QString &text)
{
    TIBAN &calc = IBANCalculator();
    TCustomBBAN *bban = calc.DomesticBBAN();
    const QString s = trimEnds(text);
    const qsizetype expected = bban->BankLength() + bban->BranchLength() + bban->AccountLength() + 5;
    if (s.size() != expected) {
        calc.SetValid(false);
        return false;
    }
    bban->SetBank(s.mid(5, bban->BankLength()));
    bban->SetBranch(s.mid(5 + bban->BankLength(), bban->BranchLength()));
    bban->SetAccount(s.right(bban->AccountLength()));
    const auto iban = calc.IBan();
    calc.SetValid(iban.ok() && *iban == s);
    return calc.Valid();
}

Result<int> FindOrAddBank(QSqlDatabase db, const QString &abi, bool &added)
{
    added = false;
    SqlQuery find(db);
    if (auto s = find.prepare(QStringLiteral(
            "SELECT BAN.IBANID FROM TBAN_BANCHE BAN WHERE BAN.SBANABI = :ABI"));
        !s)
        return s;
    find.bind(QStringLiteral("ABI"), abi);
    if (auto s = find.exec(); !s)
        return s;
    if (find.next())
        return find.value(0).toInt();

    const auto id = Ids::next(db, QStringLiteral("TBAN_BANCHE"));
    if (!id)
        return id;
    SqlQuery insert(db);
    if (auto s = insert.prepare(QStringLiteral(
            "INSERT INTO TBAN_BANCHE (IBANID, ICBAID, ISRPCID, SBANABI, SBANDESCL, SBANDESCS, DSTART) "
            "VALUES (:IBANID, NULL, NULL, :SBANABI, NULL, :SBANDESCS, CURRENT_DATE)"));
        !s)
        return s;
    insert.bind(QStringLiteral("IBANID"), *id)
        .bind(QStringLiteral("SBANABI"), abi)
        .bind(QStringLiteral("SBANDESCS"), QString(QStringLiteral("BANCA ABI ") + abi));
    if (auto s = insert.exec(); !s)
        return s;
    added = true;
    return *id;
}

Result<int> FindOrAddBranch(QSqlDatabase db, const QString &cab, int bankId, bool &added)
{
    added = false;
    SqlQuery find(db);
    if (auto s = find.prepare(QStringLiteral(
            "SELECT CAB.ISPRID FROM TSPR_SPORTELLICAB CAB WHERE CAB.SSPRCAB = :CAB AND CAB.IBANID = :ABI"));
        !s)
        return s;
    find.bind(QStringLiteral("CAB"), cab).bind(QStringLiteral("ABI"), bankId);
    if (auto s = find.exec(); !s)
        return s;
    if (find.next())
        return find.value(0).toInt();

    const auto id = Ids::next(db, QStringLiteral("TSPR_SPORTELLICAB"));
    if (!id)
        return id;
    SqlQuery insert(db);
    if (auto s = insert.prepare(QStringLiteral(
            "INSERT INTO TSPR_SPORTELLICAB (ISPRID, IBANID, ISRPCID, SSPRCAB, SSPRDESCL, SSPRDESCS, "
            "SSPRINDIRIZZO, DSTART, DEND, DDELETE, ILOCKED) "
            "VALUES (:ISPRID, :IBANID, NULL, :SSPRCAB, NULL, :SSPRDESCS, NULL, CURRENT_DATE, NULL, "
            "NULL, NULL)"));
        !s)
        return s;
    insert.bind(QStringLiteral("ISPRID"), *id)
        .bind(QStringLiteral("IBANID"), bankId)
        .bind(QStringLiteral("SSPRCAB"), cab)
        .bind(QStringLiteral("SSPRDESCS"), QString(QStringLiteral("Agenzia ") + cab));
    if (auto s = insert.exec(); !s)
        return s;
    added = true;
    return *id;
}

QString RegistrationMessage(const QString &abi, const QString &cab, bool bankAdded,
                            bool branchAdded)
{
    if (!bankAdded && !branchAdded)
        return {};
    QString text = QStringLiteral("Attenzione!!!") + Crlf;
    if (bankAdded)
        text += QStringLiteral("E' stata aggiunta una nuova Banca con l'ABI: ") + abi
            + QStringLiteral(".") + Crlf
            + QStringLiteral("Controllare i dati della Banca nella sezzione \"BANCHE\".") + Crlf;
    if (branchAdded)
        text += QStringLiteral("E' stato aggiunto un nuova Sportello con il CAB: ") + cab
            + QStringLiteral(",") + QStringLiteral(" per la banca ABI: ") + abi
            + QStringLiteral(".") + Crlf
            + QStringLiteral("Controllare i dati dello Sportello nella sezzione \"BANCHE\".");
    return text;
}

Result<BankRegistration> CheckIBANAndRegisterBank(QSqlDatabase db, const QString &text)
{
    BankRegistration r;
    r.valid = CheckIBAN(text);
    if (!r.valid)
        return r;
    const TCustomBBAN *bban = IBANCalculator().DomesticBBAN();
    const QString abi = bban->Bank();
    const QString cab = bban->Branch();

    // Bank and branch go in together or not at all.
    const Status s = runInTransaction(db, [&]() -> Status {
        r.bankAdded = r.branchAdded = false;
        const auto bank = FindOrAddBank(db, abi, r.bankAdded);
        if (!bank)
            return bank.status();
        const auto branch = FindOrAddBranch(db, cab, *bank, r.branchAdded);
        if (!branch)
            return branch.status();
        r.bankId = *bank;
        r.branchId = *branch;
        return {};
    });
    if (!s)
        return s;
    r.message = RegistrationMessage(abi, cab, r.bankAdded, r.branchAdded);
    return r;
}

} // namespace ccp::abiban
