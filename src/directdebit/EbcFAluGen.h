#pragma once
#include "TVeEditFrame.h"
#include "TVeMdiForm.h"

#include <QSqlDatabase>
#include <functional>

class QAction;

namespace ccp::fw {
class TVeDBCheckBox;
class TVeDBCurrencyEdit;
class TVeDBDateEdit;
class TVeDBEdit;
class TVeDBLookupEdit;
class TVeDBMemo;
} // namespace ccp::fw

namespace ccp::directdebit {

class TdmEbcAluGen;

// The pupils' coordinates: pupil, paying parent, IBAN, payment method, holder.
class TfrEbcAluGen : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    TfrEbcAluGen(TdmEbcAluGen &dm, int ansId, QWidget *parent = nullptr);

    fw::TVeDBLookupEdit *xdlAlunno;
    fw::TVeDBLookupEdit *xdlGenitore;
    fw::TVeDBEdit *xdeIban;
    fw::TVeDBEdit *xdeMandato;
    fw::TVeDBDateEdit *xddDataFirma;
    fw::TVeDBLookupEdit *xdlPagamento;
    fw::TVeDBEdit *xdeIntestatario;
    fw::TVeDBEdit *xdeClasse;
    QAction *acInsMultiplo;

private:
    void onPost();
    void followPupil();

    TdmEbcAluGen &m_dm;
};

// The causali paid by direct debit on the current coordinates.
class TfrEbcAcbCau : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    TfrEbcAcbCau(TdmEbcAluGen &dm, int cauAnsId, int dwgId, QWidget *parent = nullptr);

    fw::TVeDBLookupEdit *xdlCausale;
    fw::TVeDBMemo *xdmNote;

private:
    void onPost();

    TdmEbcAluGen &m_dm;
};

// The components of the current causale: amount, due date, paid flag (only updated here).
class TfrEbcCcaAcbCau : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    TfrEbcCcaAcbCau(TdmEbcAluGen &dm, QWidget *parent = nullptr);

    fw::TVeDBEdit *xdeComponente;
    fw::TVeDBCurrencyEdit *xdcImporto;
    fw::TVeDBDateEdit *xddScadenza;
    fw::TVeDBCheckBox *xckPagato;
};

// "Intestatari": the three frames one above the other.
class TfmEbcAluGen : public fw::TVeMdiForm
{
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Intestatari");

    explicit TfmEbcAluGen(QSqlDatabase db, QWidget *parent = nullptr);
    ~TfmEbcAluGen() override;

    TdmEbcAluGen *dataModule() const { return m_dm; }
    TfrEbcAluGen *frEbcAluGen;
    TfrEbcAcbCau *frEbcAcbCau;
    TfrEbcCcaAcbCau *frEbcCcaAcbCau;

    // Where the selection keeps its saved filters.
    QString filterFolder;
    // Runs the bulk data replace (modal); tests replace it.
    std::function<void()> OpenDataReplace;

protected:
    void formShown() override;
    bool formCanClose() override;
    void formClosed() override;

private:
    void onInsMultiplo();

    TdmEbcAluGen *m_dm;
};

} // namespace ccp::directdebit
