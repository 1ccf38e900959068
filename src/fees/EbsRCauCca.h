#pragma once
#include "TVeEditFrame.h"

#include <QVariant>

namespace ccp::fw {
class TVeDBCurrencyEdit;
class TVeDBDateEdit;
class TVeDBEdit;
class TVeDBLookupEdit;
} // namespace ccp::fw

namespace ccp::fees {

class TdmEbsDataSets;

// The components of the current causale: each row links one component, chosen by its code.
class TfrEbsCauCca : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    explicit TfrEbsCauCca(TdmEbsDataSets &dataSets, QWidget *parent = nullptr);

    fw::TVeDBLookupEdit *xdlCod;
    fw::TVeDBEdit *xdeDescrizione;
    fw::TVeDBCurrencyEdit *xdcImportoIst;
    fw::TVeDBCurrencyEdit *xdcImportoEra;   // hidden in this program
    fw::TVeDBEdit *xdeAnnoScol;
    fw::TVeDBDateEdit *xddScadenza;

    // The institute of the component last chosen in the code lookup (null: none).
    QVariant chosenComponentDwg() const;

    // Select text of the code lookup (rebuilt by the causali window).
    void setComponentSelect(const QString &sql) { m_select = sql; }
    const QString &componentSelect() const { return m_select; }

    // Locks adding, changing and removing components (a causale in use).
    void setCausaleInUse(bool inUse);
    bool causaleInUse() const { return m_inUse; }

    // Starts a link row that cannot be cancelled: a causale needs its first component.
    bool insertRequired();
    bool firstComponentPending() const { return m_pending; }

private:
    void applyDeleteRule();

    TdmEbsDataSets &m_ds;
    QString m_select;
    bool m_inUse = false;
    bool m_pending = false;
    bool m_applying = false;
};

} // namespace ccp::fees
