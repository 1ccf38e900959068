#pragma once
#include "Money.h"
#include "Result.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <functional>

// Rules of the institute accounts and of their financial years, without windows.
namespace ccp::accounts {

// Italian texts of the accounts windows, one place.
namespace CcpMessages {
inline const QString NumberRequired = QStringLiteral("Il numero di conto corrente è obbligatorio.");
inline const QString CabRequired = QStringLiteral("Il codice CAB è obbligatorio.");
inline const QString OpeningRequired = QStringLiteral("La data di apertura del conto è obbigatoria.");
inline const QString OpeningAfterFirst = QStringLiteral("La data di apertura del conto dev'essere minore o uguale a %1.");
inline const QString ClosingBeforeOpening = QStringLiteral("La data di chiusura del conto non può precedere quella di apertura.");
inline const QString ClosingBeforeLast = QStringLiteral("La data di chiusura del conto dev'essere maggiore o uguale a %1.");
inline const QString CloseQuestion = QStringLiteral(
    "ATTENZIONE !!!\r\nSi sta per avviare la procedura di chiusura del conto corrente.\r\nEffettuata la chiusura, non sarà "
    "più possibile inserire/modificare/cancellare\r\nmovimenti dal conto in questione.\r\n\r\nProcedere?");
inline const QString CloseWindowOpen = QStringLiteral("Impossibile procedere con la chiusura del conto\r\nin quanto la finestra %1 è aperta.");
inline const QString ReopenQuestion = QStringLiteral(
    "ATTENZIONE !!!\r\nSi sta per annullare la data di chiusura del conto.\r\nAl termine delle operazioni il conto tornerà "
    "ad essere aperto.\r\n\r\nProcedere?");
inline const QString WorkingNotDeletable = QStringLiteral("Impossibile cancellare il conto in quanto è quello di lavoro.");

inline const QString EndNotAfterStart = QStringLiteral("La data di fine anno dev'essere maggiore della data di inizio.");
inline const QString StartAfterYear = QStringLiteral(
    "Attenzione ! \r\nLa data d'inizio non può essere accettata in quanto maggiore dell'anno finanziario selezionato. ");
inline const QString EndBeforeYear = QStringLiteral(
    "Attenzione ! \r\nLa data di fine non può essere accettata in quanto minore dell'anno finanziario selezionato. ");
inline const QString StartOverlapOffer = QStringLiteral(
    "Attenzione ! \r\nLa data d'inizio non può essere accettata, perchè si sovrappone ad un anno finanziario già definito. "
    "\r\nModificare automaticamente la data di fine dell'anno %1 al %2? ");
inline const QString StartOverlap = QStringLiteral(
    "Attenzione ! \r\nLa data d'inizio non può essere accettata, perchè si sovrappone ad un anno finanziario già definito.");
inline const QString MovementsAfter = QStringLiteral(
    "Attenzione ! \r\nCi sono dei movimenti caricati in data successiva al %1. \r\nImpossibile modificare la data di fine "
    "anno %2. \r\nEliminare questi movimenti e rifare il nuovo anno. ");
inline const QString GapQuestion = QStringLiteral(
    "Attenzione ! \r\nIl tempo che intercorre tra il %1 e il %2 non rientra in nessun Anno Finanziario definito. "
    "\r\nContinuare ? ");
inline const QString GapConfirm = QStringLiteral(
    "Attenzione ! \r\nLa continuazione dell'operazione potrebbe comportare dei problemi al corretto funzionamento del "
    "programma. \r\nContinuare ? ");
inline const QString EndOverlap = QStringLiteral(
    "Attenzione ! \r\nLa data di fine dell'Anno Finanziario non può essere accettata, perchè si sovrappone ad un anno "
    "finanziario già definito. \r\nL'anno finanziario può terminare al massimo il %1 . ");
inline const QString YearLocked = QStringLiteral(
    "Le operazioni di inizio anno per l'anno finanziario %1 sono già state fatte.\r\nScegliere un altro anno.");
inline const QString CreateQuestion = QStringLiteral("Si vuole procedere con la creazione del nuovo anno finanziario?");
inline const QString CreateDone = QStringLiteral("Creazione del nuovo anno finanziario conclusa con successo.");
inline const QString CreateFailed = QStringLiteral("Creazione del nuovo anno finanziario fallita.");
inline const QString CarryOverWait = QStringLiteral("Calcolo dei riporti in corso. Attendere ...");
inline const QString TypeCountWrong = QStringLiteral(
    "Le tipologie principali delle componenti sono %1: l'anno finanziario si può creare solo con quattro tipologie "
    "principali (tasse, contributi, quote, diversi).");
inline const QString DatesRequired = QStringLiteral("Le date di inizio e di fine dell'anno finanziario sono obbligatorie.");
} // namespace CcpMessages

// ---- accounts -------------------------------------------------------------------------------

inline constexpr int CashBankId = 3;
inline constexpr int PostalCategory = 7;
inline const QString CashBranchCab = QStringLiteral("40299");

// Postal account numbers have 8 characters, all others 12.
int accountNumberLength(const QVariant &iCbaId);
// Left-pads with "0" to the length of the bank's numbers; a longer number stays as it is.
QString padAccountNumber(const QString &number, const QVariant &iCbaId);

// First and last movement of an account among the days of its financial years (invalid dates
// when it has none).
struct MovementSpan
{
    QDate first;
    QDate last;
};
Result<MovementSpan> movementSpan(QSqlDatabase db, int sprIstId);
// The cash's one branch.
Result<QVariant> cashBranchId(QSqlDatabase db);

// ---- financial years ------------------------------------------------------------------------

// An account-year with its effective first and last day (year 0: none).
struct YearBound
{
    int year = 0;
    QDate first;
    QDate last;
    bool exists() const { return year != 0; }
};
struct YearNeighbours
{
    YearBound previous;  // the highest year of the account below the chosen one
    YearBound next;      // the lowest year above it
};
Result<YearNeighbours> readNeighbours(QSqlDatabase db, int sprIstId, int year);

// What the date checks decided: accepted or not, the date to give the focus to, and whether
// the previous year must end the day before the new first day.
struct DateCheck
{
    enum Field { Start, End };
    bool accepted = false;
    Field focus = Start;
    bool endPrevious = false;
};
// The checks of a year's first day S and last day E against its year and neighbours. A new
// year (`newYear`) offers to end an overlapping previous year the day before S, provided no
// movement lies after that day (`movementsAfter`); the date update refuses the overlap.
DateCheck checkYearDates(const QDate &start, const QDate &end, int year, const YearNeighbours &around,
                         bool newYear, const std::function<Result<bool>(const QDate &)> &movementsAfter = {});
// True when a movement of the account lies after `day` and up to `upTo`: the days that ending
// the previous year on `day` would hand to the new year.
Result<bool> movementsAfter(QSqlDatabase db, int sprIstId, const QDate &day, const QDate &upTo);

// A top-level component type of the composition.
struct TopType
{
    int tccId = 0;
    QString description;
};
// The top-level types valid in the whole school year `ansId`, by id.
Result<QList<TopType>> readTopTypes(QSqlDatabase db, int ansId);

// The opening figures of a year: the balance, one amount per top-level type (in the order of
// the types given) and the differences.
struct Opening
{
    Money balance;
    QList<Money> types;
    Money differences;
    bool stored = false;  // read from the year's own row, not computed
};
// The stored opening of the account's year, or (no such row) the carry-over at 31 December of
// the year before. `modify` reads the stored opening balance instead of the current one.
// `step` is called once per type computed.
Result<Opening> readOpening(QSqlDatabase db, int sprIstId, int year, const QList<TopType> &types, bool modify,
                            const std::function<void()> &step = {});

// Whether the types add up to the balance (in units of 1/10000, differences apart).
bool openingBalances(const Opening &o);

struct NewYear
{
    int year = 0;
    int sprIstId = 0;
    Opening opening;
    QDate start;  // both null: the calendar year
    QDate end;
    int previousYear = 0;  // set with previousEnd: that year ends on previousEnd
    QDate previousEnd;
};
// Creates the account-year and, when asked, ends the previous one: one transaction.
Status createYear(QSqlDatabase db, const NewYear &y, int typeCount);
// Rewrites the opening amounts of an account-year, its opening balance (their sum) and its
// opening differences: one transaction.
Status modifyYear(QSqlDatabase db, int caiId, const QList<TopType> &types, const Opening &o);
// Sets the own dates of an account-year.
Status updateYearDates(QSqlDatabase db, int caiId, const QDate &start, const QDate &end);

} // namespace ccp::accounts
