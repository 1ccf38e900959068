#pragma once
#include "TVeEditFrame.h"

namespace ccp::fw {
class TVeDBCurrencyEdit;
class TVeDBEdit;
} // namespace ccp::fw

namespace ccp::fees {

class TdmEbsDataSets;

// The causali of the causali school year: code and description, the sums of the components
// and the school year. "Duplica Causali" on its toolbar copies causali of another year.
class TfrEbsCau : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    explicit TfrEbsCau(TdmEbsDataSets &dataSets, QWidget *parent = nullptr);

    fw::TVeDBEdit *xdeDescrizione;
    fw::TVeDBEdit *xdeCodice;
    fw::TVeDBCurrencyEdit *xdcImportoIst;
    fw::TVeDBCurrencyEdit *xdcImportoEra;   // the treasury share: hidden in this program
    fw::TVeDBEdit *xdeAnnoScol;
    QAction *xacDuplica;

    // Copy of the selected tab: the kind of the causali the duplication offers.
    int currentTipo() const { return m_tipo; }
    void setCurrentTipo(int tipo) { m_tipo = tipo; }

    // Armed on every new current row and when an edit starts; disarmed once the user has
    // been asked about propagating a change of a causale in use.
    bool warnOnChange() const { return m_warn; }
    void armWarning() { m_warn = true; }
    // Asks, once per edit of a causale in use, whether the change may reach its movements;
    // "No" cancels the edit. False when the edit was cancelled.
    bool confirmPropagation();

    // Opens the duplication dialog for the current tipo.
    void duplicate();

Q_SIGNALS:
    void duplicated();

private:
    TdmEbsDataSets &m_ds;
    int m_tipo = 0;
    bool m_warn = false;
};

} // namespace ccp::fees
