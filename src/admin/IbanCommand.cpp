#include "IbanCommand.h"

#include "AbiUIBAN.h"
#include "AdminCommands.h"

namespace ccp::admin {

namespace {

const char usage[] =
    "  iban check IBAN\n"
    "        controlla un IBAN italiano (CIN e cifre di controllo ricalcolati) e ne mostra\n"
    "        le parti; stato di uscita 0 se valido, 1 se non valido\n"
    "  iban build ABI CAB CONTO\n"
    "        calcola l'IBAN delle coordinate (ABI e CAB fino a 5 caratteri, conto fino a 12)\n";

int usageError(QTextStream &err)
{
    err << "Uso:\n" << usage;
    err.flush();
    return 2;
}

int check(const QString &text, QTextStream &out)
{
    using namespace ccp::abiban;
    const bool valid = CheckIBAN(text);
    const TIBAN &calc = IBANCalculator();
    const TCustomBBAN &bban = *calc.DomesticBBAN();
    if (!valid) {
        out << "IBAN non valido" << Qt::endl;
        const QString s = text.trimmed();
        if (s.size() != 27)
            out << "Lunghezza: " << s.size() << " caratteri (ne servono 27)." << Qt::endl;
        else if (s.startsWith(QLatin1String("IT")) && !calc.LastIBan().isEmpty())
            out << "Per ABI " << bban.Bank() << ", CAB " << bban.Branch() << " e conto "
                << bban.Account() << " l'IBAN è " << calc.LastIBan() << Qt::endl;
        return 1;
    }
    out << "IBAN valido" << Qt::endl
        << "ABI: " << bban.Bank() << Qt::endl
        << "CAB: " << bban.Branch() << Qt::endl
        << "Conto: " << bban.Account() << Qt::endl
        << "CIN: " << bban.CheckLetter() << Qt::endl
        << "Cifre di controllo: " << calc.CheckDigits() << Qt::endl;
    return 0;
}

int iban(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() == 2 && args[0] == QLatin1String("check"))
        return check(args[1], out);
    if (args.size() == 4 && args[0] == QLatin1String("build")) {
        const auto iban = ccp::abiban::BuildIBAN(args[1], args[2], args[3]);
        if (!iban) {
            err << "ccp-admin: " << iban.error() << Qt::endl;
            return 1;
        }
        out << *iban << Qt::endl;
        return 0;
    }
    return usageError(err);
}

} // namespace

void registerIbanCommand()
{
    registerCommand(QStringLiteral("iban"), QString::fromUtf8(usage), &iban);
}

} // namespace ccp::admin
