#pragma once
#include "Result.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

namespace ccp::directdebit {

// Context keys the direct-debit windows read.
namespace AcbKeys {
inline const QString AnsId = QStringLiteral("VEUP_AnsId");      // working school year
inline const QString CauAnsId = QStringLiteral("EBSP_CauAnsId"); // school year of the causali
inline const QString DwgId = QStringLiteral("VEUP_DwgId");      // institute
} // namespace AcbKeys

// Statements of the pupils' bank coordinates, their causali and the causali's components.
namespace AcbSql {
// Coordinates with pupil, parent, method and the pupil's class in the school year :iAnsId.
extern const QString AluGenSelect;
extern const QString AluGenInsert;
extern const QString AluGenUpdate;
extern const QString AluGenDelete;
// Causali of the coordinates :iAcbId in the school year :iAnsId.
extern const QString AcbCauSelect;
extern const QString AcbCauInsert;
// Gives a new link its component rows, in the post that inserts it.
extern const QString AcbCauComponents;
extern const QString AcbCauUpdate;
extern const QStringList AcbCauDelete;
// Components of the causale row :iAcbCauId; they are only updated here.
extern const QString CacSelect;
extern const QString CacUpdate;
// Lookups (with their ##WHERE## slot).
QString pupilSearch(int ansId);
extern const QString ParentSearch;   // relatives of the pupil :iAnaId
extern const QString MethodSearch;
QString causaleSearch(int cauAnsId, int dwgId);
extern const QString CausaleHeld;    // :iAcbId already holds :iCauId (another row than :iAcbCauId)
// The selection list of coordinates of the school year %1, with the filter placeholder; wrapped
// so that a filter can name any of its columns.
QString selectionSelect(int ansId);
// The pupil holding the mandate :sMandato on other coordinates than :iAcbId.
extern const QString MandateHeld;
// Where the shipped XML documents are read.
extern const QString XmlDocument;   // :sLista, :sCodice
} // namespace AcbSql

// Messages of the coordinates window.
namespace AcbText {
inline const QString ParentRequired = QStringLiteral("Genitore obbligatorio");
inline const QString IbanInvalid = QStringLiteral("Codice IBAN non valido");
inline const QString CausaleHeld = QStringLiteral("La causale è già associata a questo alunno.");
inline const QString NoCoordinates = QStringLiteral("Salvare prima le coordinate bancarie dell'alunno.");
inline const QString MandateInvalid = QStringLiteral(
    "Codice mandato non valido: al massimo 35 caratteri tra lettere, cifre, spazi e / - ? : ( ) . , ' +");
inline const QString SignatureFuture = QStringLiteral("La data di sottoscrizione del mandato non può essere futura.");
QString xmlNotFound(const QString &code);
QString mandateHeld(const QString &mandate, const QString &pupil);
} // namespace AcbText

// The text of an XML document of the database archive (list "EBC"); a missing one fails with
// "XML codice %s Non trovato nel DB".
Result<QString> readXmlDocument(const QSqlDatabase &db, const QString &code, const QString &list = QStringLiteral("EBC"));

// Checks the coordinates before they are saved: the message refusing them, empty when they
// may be saved. An empty IBAN is accepted; a typed one must be a valid IBAN.
QString checkCoordinates(const QVariant &parentId, const QString &iban);

// Checks the mandate before the coordinates are saved: the refusal, empty when accepted. An
// empty id takes the default code when saved; a signature date may be missing but not future.
QString checkMandate(const QString &mandate, const QDate &signature, const QDate &today);

// One row of the selection lists: pupil (caption), class, holder, and the coordinates' id.
struct AcbItem
{
    QString pupil;
    QString cls;
    QString holder;
    int acbId = 0;
    QString text(int column) const;
};

// Order of the selection lists on a column: the first by pupil, the second by class then pupil,
// any other by its own text; case-insensitive.
bool acbItemLess(const AcbItem &a, const AcbItem &b, int column);

} // namespace ccp::directdebit
