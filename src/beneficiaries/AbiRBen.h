#pragma once
#include "TVeEditFrame.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace ccp::fw {
class TVeDBCheckBox;
class TVeDBDateEdit;
class TVeDBEdit;
class TVeDBLookupEdit;
class TVeDBMemo;
} // namespace ccp::fw

namespace ccp::ben {

class TdmBeneficiari;

// The beneficiaries: the list and the detail of one, legal or natural person.
class TfrBeneficiari : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    explicit TfrBeneficiari(TdmBeneficiari &dm, QWidget *parent = nullptr);

    // Natural person: the person fields show and the post writes the person too.
    void setNatural(bool natural);
    bool isNatural() const;
    // Offers the people already in the registry (with a fiscal code) and fills the person
    // fields from the chosen one.
    bool choosePerson();

    QRadioButton *rbGiuridica;
    QRadioButton *rbFisica;
    fw::TVeDBEdit *xdeRagSoc;
    fw::TVeDBEdit *xdeCognome;
    fw::TVeDBEdit *xdeNome;
    fw::TVeDBDateEdit *xddNascita;
    fw::TVeDBLookupEdit *xdlLuogoNascita;
    QPushButton *btnCercaPersona;
    fw::TVeDBEdit *xdeCodFiscale;
    fw::TVeDBMemo *xdmNote;
    fw::TVeDBCheckBox *xckAvviso;
    fw::TVeDBCheckBox *xckPrivacy;
    fw::TVeDBCheckBox *xckEstero;
    fw::TVeDBEdit *xdePartitaIva;
    fw::TVeDBEdit *xdeStato;
    fw::TVeDBCheckBox *xckTracciabilita;
    fw::TVeDBCheckBox *xckNonInRegola;
    fw::TVeDBDateEdit *xddUltimoControllo;
    fw::TVeDBCheckBox *xckStoricizza;
    // Publisher mode only.
    fw::TVeDBCheckBox *xckEditore = nullptr;
    fw::TVeDBLookupEdit *xdlCodAie = nullptr;
    // The list sorted by name (0), fiscal code (1) or VAT number (2).
    void sortBy(int column);

private:
    void followRow();
    void applyKind(bool natural);

    TdmBeneficiari &m_dm;
    QList<int> m_personRows;
};

} // namespace ccp::ben
