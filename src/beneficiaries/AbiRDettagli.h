#pragma once
#include "TVeEditFrame.h"

#include <QSqlDatabase>

namespace ccp::fw {
class TVeDBCheckBox;
class TVeDBCurrencyEdit;
class TVeDBDateEdit;
class TVeDBEdit;
class TVeDBLookupEdit;
class TVeDBNumericEdit;
} // namespace ccp::fw

class QLineEdit;
class QTabWidget;

namespace ccp::ben {

// A list of rows of the current beneficiary with their detail. The select names the
// beneficiary with the parameter given (IBENID unless said), which the statements use too.
class TfrBenDetail : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    TfrBenDetail(QSqlDatabase db, const QString &select, const QString &benParam = QStringLiteral("IBENID"),
                 QWidget *parent = nullptr);
    // Shows the rows of this beneficiary (0: none).
    void openFor(int benId);
    // Only shows: no insert, edit or delete.
    void makeReadOnly();
    int benId() const { return m_benId; }
    QSqlDatabase db() const { return m_db; }
    // A frame of the rows of this frame's current row (named by `keyField`), in a tab below.
    void addInnerFrame(TfrBenDetail *inner, const QString &title, const QString &keyField);
    QList<TfrBenDetail *> innerFrames() const;
    QTabWidget *innerTabs() const { return m_innerTabs; }
    // Room beside the list and detail for what belongs to the current row.
    void addBeside(QWidget *widget);

protected:
    // A municipality lookup; `withState` adds the state to the text shown.
    fw::TVeDBLookupEdit *placeLookup(const char *name, bool withState);
    fw::TVeDBEdit *textEdit(const char *name, int maxLength, bool upper = false);
    // Insert, update and soft delete of the rows of `table` by `key`, writing `columns`
    // (comma-separated) and the beneficiary; `dated` rows also get DSTART on insert.
    void setRowStatements(const QString &table, const QString &key, const QString &columns, bool dated);
    // Writes the postcode entry of the row's municipality, postcode and hamlet in the post's
    // transaction and binds it as ICOMCAPID; false (the post refused) when it cannot.
    bool bindAddress(fw::VeExecContext &ctx);
    // The post: the frame's own checks, then the collection's post.
    std::function<bool()> OnCheckPost;
    // Choosing a municipality proposes its first postcode and hamlet.
    void proposePostcode(fw::TVeDBLookupEdit *place);

private:
    void followInner();

    QTabWidget *m_innerTabs = nullptr;
    class QSplitter *m_beside = nullptr;
    struct Inner
    {
        TfrBenDetail *frame;
        QString keyField;
    };
    QList<Inner> m_inner;
    QSqlDatabase m_db;
    QString m_benParam;
    int m_benId = 0;
};

class TfrTipoSede;

// Telephones, e-mail addresses and web sites: one required text each.
class TfrNumTelefono : public TfrBenDetail
{
    Q_OBJECT
public:
    explicit TfrNumTelefono(QSqlDatabase db, QWidget *parent = nullptr);
    fw::TVeDBEdit *xdeNumero;
    fw::TVeDBEdit *xdeDescrizione;
    fw::TVeDBCheckBox *xckVisualizza;
};

class TfrEmail : public TfrBenDetail
{
    Q_OBJECT
public:
    explicit TfrEmail(QSqlDatabase db, QWidget *parent = nullptr);
    fw::TVeDBEdit *xdeEmail;
    fw::TVeDBCheckBox *xckVisualizza;
};

class TfrSitiWeb : public TfrBenDetail
{
    Q_OBJECT
public:
    explicit TfrSitiWeb(QSqlDatabase db, QWidget *parent = nullptr);
    fw::TVeDBEdit *xdeSito;
};

// What the legal data's post checks: the pairs that go together.
struct LegalInput
{
    QString year;
    QString turnover;
    QVariant cciaPlace, tribunalPlace, prefecturePlace;
    QString cciaNumber, tribunalNumber, prefectureNumber;
};
enum class LegalField { None, Year, Turnover, CciaPlace, CciaNumber, TribunalPlace, TribunalNumber, PrefecturePlace, PrefectureNumber };
// The field to fix (its message shown), or None.
LegalField checkLegal(const LegalInput &in);
QString turnoverPairMessage();
QString registrationPairMessage();

class TfrDatiLegali : public TfrBenDetail
{
    Q_OBJECT
public:
    explicit TfrDatiLegali(QSqlDatabase db, QWidget *parent = nullptr);
    // The registry's option: 0 shows the turnover as a plain figure, any other with the
    // currency symbol before it.
    void setTurnoverFormat(int option);
    fw::TVeDBLookupEdit *xdlComCcia;
    fw::TVeDBEdit *xdeNumCcia;
    fw::TVeDBLookupEdit *xdlComTribunale;
    fw::TVeDBEdit *xdeNumTribunale;
    fw::TVeDBLookupEdit *xdlComPrefettura;
    fw::TVeDBEdit *xdeNumPrefettura;
    fw::TVeDBCurrencyEdit *xdcFatturato;
    fw::TVeDBNumericEdit *xdeAnnoFatt;
    fw::TVeDBEdit *xdeInps;
    fw::TVeDBEdit *xdeInail;
};

// The seats, with the reference-seat rules and the address resolved on post.
class TfrSedi : public TfrBenDetail
{
    Q_OBJECT
public:
    explicit TfrSedi(QSqlDatabase db, QWidget *parent = nullptr);
    fw::TVeDBEdit *xdeIndirizzo;
    fw::TVeDBLookupEdit *xdlComune;
    fw::TVeDBEdit *xdeCap;
    fw::TVeDBEdit *xdeQuartiere;
    fw::TVeDBCheckBox *xckRiferimento;
    TfrTipoSede *frTipoSede;
};

// Who represents the current beneficiary: a representative holds category 4 while it
// represents someone.
class TfrRappresentanti : public TfrBenDetail
{
    Q_OBJECT
public:
    explicit TfrRappresentanti(QSqlDatabase db, QWidget *parent = nullptr);
    fw::TVeDBLookupEdit *xdlRappresentante;
    fw::TVeDBDateEdit *xddInizio;
    fw::TVeDBDateEdit *xddFine;
};

// The beneficiaries the current one substitutes ("Sostituisce"): shown, not edited here.
class TfrSostituisce : public TfrBenDetail
{
    Q_OBJECT
public:
    explicit TfrSostituisce(QSqlDatabase db, QWidget *parent = nullptr);
};

// Who substitutes the current beneficiary ("E' sostituito da"), from a date; above it, whom
// the beneficiary substitutes.
class TfrSostituzioni : public TfrBenDetail
{
    Q_OBJECT
public:
    explicit TfrSostituzioni(QSqlDatabase db, QWidget *parent = nullptr);
    // Opens both lists.
    void openBoth(int benId);
    fw::TVeDBLookupEdit *xdlSostituente;
    fw::TVeDBDateEdit *xddData;
    TfrSostituisce *frSostituisce;
};

// The types of one seat ("Tipologia di sede").
class TfrTipoSede : public TfrBenDetail
{
    Q_OBJECT
public:
    explicit TfrTipoSede(QSqlDatabase db, QWidget *parent = nullptr);
    fw::TVeDBLookupEdit *xdlTipoSede;
};

// The DURC codes that name the beneficiary or that its documents carry: read only.
class TfrDurc : public TfrBenDetail
{
    Q_OBJECT
public:
    explicit TfrDurc(QSqlDatabase db, QWidget *parent = nullptr);
};

} // namespace ccp::ben
