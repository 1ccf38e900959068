#include "AbiUDatiBancari.h"

#include "AbiUIBAN.h"
#include "SqlQuery.h"
#include "VeMessageDlg.h"

#include <QDate>
#include <QDir>
#include <QSaveFile>

namespace ccp::ben {

QString messageM1()
{
    return QStringLiteral("Attenzione!\r\nIl campo \"ABI\" è obbligatorio\r\nse è valorizzato il campo \"Numero conto corrente\"");
}
QString messageM2()
{
    return QStringLiteral("Per la modalità di pagamento selezionata è obbligatorio inserire il Numero di Conto Corrente.");
}
QString messageM3() { return QStringLiteral("Attenzione!\r\nIl campo \"CAB\" è obbligatorio\r\nse è valorizzato il campo ABI"); }
QString messageM4() { return QStringLiteral("Attenzione!\r\nModalità di pagamento obbligatoria"); }
QString messageM5()
{
    return QStringLiteral("Attenzione!\r\n\"Numero di conto corrente\" obbligatorio\r\nse è valorizzato il campo \"ABI\"");
}
QString ibanQuestion() { return QStringLiteral("Coordinate IBAN non corrette.Correggerle?"); }

BankPost checkBankDetails(const BankDetails &in)
{
    BankPost out;
    out.values = in;
    BankDetails &v = out.values;
    const auto refuse = [&](const QString &message, BankField f) {
        fw::showError(message);
        out.ok = false;
        out.focus = f;
        return out;
    };
    const int m = in.method;
    const bool notRequired = m == 1 || m == 2 || m == 4 || (m >= 6 && m <= 9) || (m >= 12 && m <= 19) || in.foreign
        || m > 1000000 || in.endDateSet;
    const bool mayMissBank = (m == 5 || m == 10) && !in.foreign;
    const bool hasBank = in.bankId > 0;
    const bool hasBranch = in.branchId > 0;
    v.account = in.account.trimmed();
    if (!v.account.isEmpty()) {
        if (in.domesticBank)
            v.account = v.account.rightJustified(12, u'0');
        if (!notRequired && !mayMissBank && !hasBank)
            return refuse(messageM1(), BankField::Bank);
    }
    if (v.account.isEmpty() && !notRequired)
        return refuse(messageM2(), BankField::Account);
    if (hasBank && !hasBranch)
        return refuse(messageM3(), BankField::Branch);
    if (m < 0)
        return refuse(messageM4(), BankField::Method);
    if (hasBank && hasBranch && v.account.isEmpty())
        return refuse(messageM5(), BankField::Account);

    bool dropped = false;
    const bool complete = hasBank && hasBranch && !v.account.isEmpty();
    if (complete) {
        const QString typed = in.country.trimmed() + in.checkDigits.trimmed() + in.cin.trimmed() + in.abi.trimmed()
            + in.cab.trimmed() + v.account;
        auto built = abiban::BuildIBAN(in.abi.trimmed(), in.cab.trimmed(), v.account);
        if (!built)
            return refuse(built.error(), BankField::Account);
        const bool partsMissing = in.country.trimmed().isEmpty() || in.checkDigits.trimmed().isEmpty() || in.cin.trimmed().isEmpty();
        if (partsMissing || *built != typed) {
            if (fw::VeMessageDlg(ibanQuestion(), fw::MsgType::Warning, fw::MsgButtons::YesNo) != fw::MsgResult::Yes) {
                v.iban = typed;
                if (partsMissing) {
                    out.ok = false;
                    out.focus = BankField::None;
                    return out;
                }
                dropped = true;
            }
        }
    } else if (!in.lastDialogAccepted) {
        dropped = true;
    }
    if (dropped) {
        v.iban.clear();
        return out;
    }
    if (complete) {
        auto built = abiban::BuildIBAN(in.abi.trimmed(), in.cab.trimmed(), v.account);
        if (!built)
            return refuse(built.error(), BankField::Account);
        const auto &calc = abiban::IBANCalculator();
        v.iban = *built;
        v.country = QStringLiteral("IT");
        v.checkDigits = calc.CheckDigits();
        v.cin = calc.DomesticBBAN()->CheckLetter();
        v.account = calc.DomesticBBAN()->Account();
    }
    return out;
}

Result<BatchResult> updateBeneficiariesIban(QSqlDatabase db, const std::function<void(int, int)> &progress)
{
    BatchResult result;
    auto total = SqlQuery::scalar(db, QStringLiteral("SELECT COUNT(B.IBENID) AS NUM FROM TBEN_BENEFICIARI B"));
    if (!total)
        return total.status();
    result.total = total->toInt();
    SqlQuery bens(db);
    if (auto s = bens.exec(QStringLiteral("SELECT BEN.IBENID, BEN.SBENRAGSOC FROM TBEN_BENEFICIARI BEN WHERE BEN.DDELETE IS NULL"
                                          " ORDER BY BEN.IBENID"));
        !s)
        return s;
    QList<std::pair<int, QString>> ids;
    while (bens.next())
        ids << std::pair{bens.value(0).toInt(), bens.value(1).toString()};
    bens.finish();
    SqlQuery rows(db);
    if (auto s = rows.prepare(QStringLiteral(
            "SELECT S.ISPRBENID, BAN.SBANABI, CAB.SSPRCAB, S.SSPRBENNUMCC, BAN.IBANID, CAB.ISPRID FROM TSPRBEN S"
            " LEFT OUTER JOIN TSPR_SPORTELLICAB CAB ON (CAB.ISPRID = S.ISPRID AND CAB.DDELETE IS NULL)"
            " LEFT OUTER JOIN TBAN_BANCHE BAN ON (BAN.IBANID = CAB.IBANID AND BAN.DDELETE IS NULL)"
            " INNER JOIN TMPG_MODPAGAM MPG ON (MPG.IMPGID = S.IMPGID)"
            " WHERE S.IBENID = :IBENID AND S.DDELETE IS NULL"));
        !s)
        return s;
    const QString update = QStringLiteral(
        "UPDATE TSPRBEN SET  SSPRBENNUMCC = :SSPRBENNUMCC, SSPRBENCIN = :SSPRBENCIN, SSPRBENSTATO = :SSPRBENSTATO,"
        " SSPRBENCININT = :SSPRBENCININT, sSprBenIBAN = :sSprBenIBAN WHERE ISPRBENID = :ISPRBENID");
    int counter = 0;
    for (const auto &[benId, name] : std::as_const(ids)) {
        ++counter;
        if (progress)
            progress(counter, result.total);
        rows.bind(QStringLiteral("IBENID"), benId);
        if (!rows.exec()) {
            result.errors << name;
            continue;
        }
        struct Row { int id; QString abi, cab, account; };
        QList<Row> list;
        while (rows.next()) {
            if (rows.value(4).toInt() == 0 || rows.value(5).toInt() == 0 || rows.value(3).toString().isEmpty())
                continue;
            list << Row{rows.value(0).toInt(), rows.value(1).toString(), rows.value(2).toString(), rows.value(3).toString()};
        }
        rows.finish();
        bool failed = false;
        for (const Row &r : std::as_const(list)) {
            auto iban = abiban::BuildIBAN(r.abi, r.cab, r.account);
            if (!iban) {
                failed = true;
                continue;
            }
            const auto &calc = abiban::IBANCalculator();
            const QString account = calc.DomesticBBAN()->Account();
            const QString cin = calc.DomesticBBAN()->CheckLetter();
            const QString check = calc.CheckDigits();
            // A statement belongs to the transaction it was prepared in: one per row.
            const Status s = runInTransaction(db, [&] {
                SqlQuery upd(db);
                if (auto p = upd.prepare(update); !p)
                    return p;
                upd.bind(QStringLiteral("SSPRBENNUMCC"), account)
                    .bind(QStringLiteral("SSPRBENCIN"), cin)
                    .bind(QStringLiteral("SSPRBENSTATO"), QStringLiteral("IT"))
                    .bind(QStringLiteral("SSPRBENCININT"), check)
                    .bind(QStringLiteral("sSprBenIBAN"), *iban)
                    .bind(QStringLiteral("ISPRBENID"), r.id);
                return upd.exec();
            });
            if (!s) {
                failed = true;
                continue;
            }
            ++result.updated;
        }
        if (failed)
            result.errors << name;
    }
    return result;
}

Result<QString> writeIbanErrors(const QString &mainDirectory, const QStringList &errors, const QDate &day)
{
    QDir dir(mainDirectory);
    const QString folder = QStringLiteral("var/log/abc");
    if (!dir.mkpath(folder))
        return Status::failure(QStringLiteral("Impossibile creare la cartella %1.").arg(QDir::toNativeSeparators(dir.filePath(folder))));
    const QString path = dir.filePath(folder + QStringLiteral("/ErrorBenIBAN") + day.toString(QStringLiteral("yyMMdd")) + QStringLiteral(".txt"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return Status::failure(QStringLiteral("Impossibile scrivere il file %1.").arg(QDir::toNativeSeparators(path)));
    for (const QString &e : errors)
        file.write(e.toUtf8() + '\n');
    if (!file.commit())
        return Status::failure(QStringLiteral("Impossibile scrivere il file %1.").arg(QDir::toNativeSeparators(path)));
    return path;
}

} // namespace ccp::ben
