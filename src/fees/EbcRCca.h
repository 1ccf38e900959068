#pragma once
#include "TVeEditFrame.h"

#include <QSqlDatabase>
#include <QVariant>

class QLabel;

namespace ccp::fw {
class TVeDBCheckBox;
class TVeDBCurrencyEdit;
class TVeDBEdit;
class TVeDBLookupEdit;
} // namespace ccp::fw

namespace ccp::fees {

class TEbsCcaBindings;

// The editing frame of the causale components: list and detail with the type, budget and
// fees-flag lookups, the locking of a component in use and the requirement rules.
class TfrEbcCca : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    explicit TfrEbcCca(fw::TVeQueryCollection *collection, QWidget *parent = nullptr);
    ~TfrEbcCca() override;

    fw::TVeDBEdit *xdeDescrizione;
    fw::TVeDBEdit *xdeCodice;
    fw::TVeDBCurrencyEdit *xdcImportoIst;
    fw::TVeDBCurrencyEdit *xdcImportoEra;
    fw::TVeDBLookupEdit *xdlTipo;
    fw::TVeDBLookupEdit *xdlSottoTipo;
    fw::TVeDBLookupEdit *xdlAggr;
    fw::TVeDBLookupEdit *xdlVoci;
    fw::TVeDBLookupEdit *xdlSottoVoci;
    fw::TVeDBCheckBox *xckRette;
    fw::TVeDBEdit *xdeAnnoScol;

    // 0 income, 1 expense: the aggregates offered follow it (flow = tipo + 1).
    void setTipo(int tipo);
    int tipo() const { return m_tipo; }
    // Default of the fees flag for new income components.
    void setFeesDefault(bool on);
    bool feesDefault() const { return m_feesDefault; }
    // The institute an insert or update binds (null: every institute).
    QVariant chosenInstitute() const;
    void setChosenInstitute(const QVariant &dwgId);
    // Whether a component is named, through a causale, by a movement or a tax payment.
    bool ComponentInUse(int ccaId) const;
    // Shows or hides the "Sottovoce" row and the fees box, as the tab asks.
    void setIncomeLayout(bool income);

    // The selects the budget lookups use now (for a look in tests).
    QString aggregateSelect() const { return m_aggSelect; }
    QString itemSelect() const { return m_itemSelect; }
    QString subItemSelect() const { return m_subItemSelect; }

private:
    int causaliYear() const;
    int workingInstitute() const;
    void rebuildAggregateSelect();
    // The institute is the working one, or, for a stored row of another institute, the row's
    // own, so that its item and sub-item can be shown.
    void rebuildItemSelect(const QVariant &aggId, int dwgId = 0);
    void rebuildSubItemSelect(const QVariant &itemId, int dwgId = 0);
    void resetLookup(fw::TVeDBLookupEdit *lookup);
    void refreshSubType();
    void applyLocking();
    void onModeChanged(int mode);
    void onRowCurrent();
    void validateAndPost();
    void applyFeesDefault();

    QSqlDatabase m_db;
    TEbsCcaBindings *m_bindings;
    int m_tipo = 0;
    bool m_feesDefault = false;
    QString m_aggSelect;
    QString m_itemSelect;
    QString m_subItemSelect;
    QLabel *m_lSottoVoci = nullptr;
};

} // namespace ccp::fees
