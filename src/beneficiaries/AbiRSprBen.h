#pragma once
#include "AbiRDettagli.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ccp::ben {

// "Inserire l' IBAN della Banca": the IBAN typed whole, checked unless the bank is foreign.
class TfmInsertIBAN : public QDialog
{
    Q_OBJECT
public:
    explicit TfmInsertIBAN(QWidget *parent = nullptr);
    QString iban() const;
    bool foreignBank() const;
    // What OK does: blanks removed, the IBAN checked ("IBAN non corretto" keeps it open).
    void accept() override;

    QCheckBox *ckBancaEstera;
    QLineEdit *edIban;
    QLabel *lbTotCaratteri;
};

// "Delegati Conto": who may operate on one bank detail, and from when to when.
class TfrDelegatiConto : public TfrBenDetail
{
    Q_OBJECT
public:
    explicit TfrDelegatiConto(QSqlDatabase db, QWidget *parent = nullptr);
    fw::TVeDBEdit *xdeCognome;
    fw::TVeDBEdit *xdeNome;
    fw::TVeDBEdit *xdeCodFiscale;
    fw::TVeDBDateEdit *xddInizio;
    fw::TVeDBDateEdit *xddFine;
};

// "Quietanzante": who signs the receipt for payments to one bank detail; a name given
// needs the fiscal code and the whole address.
class TfrQuietanzante : public TfrBenDetail
{
    Q_OBJECT
public:
    explicit TfrQuietanzante(QSqlDatabase db, QWidget *parent = nullptr);
    fw::TVeDBEdit *xdeNominativo;
    fw::TVeDBEdit *xdeIndirizzo;
    fw::TVeDBLookupEdit *xdlComune;
    fw::TVeDBEdit *xdeCap;
    fw::TVeDBEdit *xdeQuartiere;
    fw::TVeDBEdit *xdeCodFiscale;
};

// "Pagamenti": the bank details of the current beneficiary.
class TfrDatiBancari : public TfrBenDetail
{
    Q_OBJECT
public:
    explicit TfrDatiBancari(QSqlDatabase db, QWidget *parent = nullptr);

    // The insert button: the IBAN dialog, then its parts into the row (the dialog can be
    // replaced in tests: it returns the typed IBAN and the foreign flag, or nothing).
    void insertIban();
    std::function<std::optional<std::pair<QString, bool>>()> askIban;
    bool lastDialogAccepted() const { return m_lastDialogOk; }

    fw::TVeDBLookupEdit *xdlModPag;
    fw::TVeDBLookupEdit *xdlABI;
    fw::TVeDBLookupEdit *xdlCAB;
    fw::TVeDBEdit *xdeNumCC;
    fw::TVeDBEdit *xdCIN;
    fw::TVeDBEdit *xdeStato;
    fw::TVeDBEdit *xdeCinInt;
    fw::TVeDBEdit *xdeIban;
    fw::TVeDBEdit *xdeBic;
    fw::TVeDBDateEdit *xddDataFinVal;
    fw::TVeDBCheckBox *xckContoDed;
    fw::TVeDBCheckBox *ckBancaEstera;
    QPushButton *btnInsIban;
    QLabel *lbTotCaratteri;
    QLabel *lbBanca;
    QLabel *lbSportello;
    TfrDelegatiConto *frDelegati;
    TfrQuietanzante *frQuietanzante;

private:
    bool checkPost();
    void followRow();
    void setForeignControls(bool foreign);
    void showDescriptions();

    bool m_lastDialogOk = true;
};

} // namespace ccp::ben
