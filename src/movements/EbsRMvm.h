#pragma once
#include "Money.h"
#include "TVeEditFrame.h"
#include "TVeFilter.h"
#include "TVeQueryCollection.h"

#include <QSqlDatabase>
#include <functional>

class QAction;
class QLabel;
class QWidget;

namespace ccp::fees {
class TfmEbsCauComp;
}

namespace ccp::fw {
class TfmVeFilter;
class TVeDBCurrencyEdit;
class TVeDBDateEdit;
class TVeDBEdit;
class TVeDBLookupEdit;
class TVeDBMemo;
class TVeDBNumericEdit;
} // namespace ccp::fw

namespace ccp::movements {

class TfrEbsBarCode;

// The frame on which one movement is entered: causale, amount and its difference from the
// causale's total, dates, slip number, note and (postal accounts) the post office. It decides
// when the amount must be split over the causale's components by hand and opens the
// composition dialog for that. The movements frame derives from it.
class TfrEbsMvm : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    TfrEbsMvm(fw::TVeQueryCollection *collection, QSqlDatabase db, QWidget *parent = nullptr);
    ~TfrEbsMvm() override;

    // ---- controls ----------------------------------------------------------------------
    QLabel *laCausale;
    fw::TVeDBLookupEdit *xdlCausale;
    QLabel *laImpIst;
    fw::TVeDBCurrencyEdit *xdcImpIst;
    QLabel *laDiffIst;
    fw::TVeDBCurrencyEdit *xdcDiffIst;
    QLabel *laImpEra;
    fw::TVeDBCurrencyEdit *xdcImpEra;
    QLabel *laDiffEra;
    fw::TVeDBCurrencyEdit *xdcDiffEra;
    QLabel *laData1;
    fw::TVeDBDateEdit *xddData1;
    QLabel *laData2;
    fw::TVeDBDateEdit *xddData2;
    QLabel *laNrBollIst;
    fw::TVeDBNumericEdit *xdnNrBollIst;
    QLabel *laNote;
    fw::TVeDBMemo *xdmNote;
    QLabel *laCabIst;
    fw::TVeDBLookupEdit *xdlCabIst;
    QLabel *laComuneIst;
    fw::TVeDBLookupEdit *xdlComuneIst;
    QLabel *laFraQuaIst;
    fw::TVeDBLookupEdit *xdlFraQuaIst;
    QLabel *laNrUffIst;
    fw::TVeDBEdit *xdeNrUffIst;
    QWidget *paBarCode;
    TfrEbsBarCode *frBarCode;
    QAction *acShowHide;
    QAction *acFilter;
    QAction *acApplyFilter;

    // ---- operations the owner calls ------------------------------------------------------
    void SetCausaleKind(int kind);
    int causaleKind() const { return m_kind; }
    void SetAllInstitutes(bool on);
    bool allInstitutes() const { return m_allInstitutes; }
    // The amount rule: difference, automatic split.
    void CheckAmount(fw::TVeDBCurrencyEdit *edit);
    virtual void SetAccountType(const QString &type);
    const QString &accountType() const { return m_accountType; }
    virtual void ProcessBarCode(const QString &code) { Q_UNUSED(code); }

    // The causale list select as it stands (mode restrictions included).
    QString causaleListSelect() const { return m_causaleSelect; }
    QString causaleTotalText() const { return m_causaleTotal; }
    QString causaleYearCondition() const { return m_yearCondition; }
    bool causaleChanged() const { return m_causaleChanged; }
    bool amountTyped() const { return m_typed; }

    // Split selects given by the owner (the movement's split rows).
    QString SplitExistsSql;
    QString SplitSql;
    // The movement id of the current row (for the split selects); 0 when none.
    virtual int currentMovementId() const;

    // Shows the composition dialog; default: modal. Tests replace it.
    std::function<void(fees::TfmEbsCauComp &dialog)> ShowSplitDialog;
    // Opens the split by hand when the causale has more than one component.
    void OpenSplit(fw::TVeDBCurrencyEdit *edit);
    // F8: shows the split read-only.
    void ViewSplit(fw::TVeDBCurrencyEdit *edit);
    // What the framework's validation of the amount does: the rule when typed, then the
    // default split when none exists.
    bool ValidateAmount(fw::TVeDBCurrencyEdit *edit);
    // The causale: required, and with components to split the amount over.
    bool ValidateCausale();
    // The slip number fits its column.
    bool ValidateSlipNumber();
    // The bar-code panel shown or hidden (acShowHide checked hides it).
    void setBarCodeVisible(bool visible);
    bool barCodeVisible() const;

    // ---- filter on the list (the owner shows its actions; the movements frame does not) ----
    // The fields offered, as XML; the list's select carries the marker "/* FILTER */".
    Status setFilterDefinition(const QString &xml);
    void setFilterActionsVisible(bool visible);
    // The condition chosen in the filter dialog, and whether it is applied now.
    const QString &filterCondition() const { return m_filterCondition; }
    bool filterApplied() const { return m_filterApplied; }
    // Applies or removes the current condition (the list is read again).
    Status applyFilter(bool on);
    // Shows the filter dialog; default: modal. Tests replace it.
    std::function<int(fw::TfmVeFilter &dialog)> ShowFilterDialog;

    // The movement whose row is painted light yellow (-1: none).
    int highlightedMvmId() const { return m_highlighted; }
    bool isHighlightedRow(int row) const;
    void setHighlightedMvmId(int id);

protected:
    QSqlDatabase database() const { return m_db; }
    // Rebuilds the causale list for the current mode.
    void rebuildCausaleList();
    virtual void onFrameModeChanged(int mode);
    virtual void onRowChanged();
    // Background of a row (the owner adds its colours under the highlight).
    virtual std::optional<QColor> rowBackground(int row) const;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Adds a captioned row to the detail; the label is returned.
    QLabel *addRow(const QString &caption, QWidget *field);

    int componentCount(int causaleId) const;
    // The movement's stored split rows split the causale now chosen (edit and browse).
    bool storedSplitApplies() const;
    // In edit, neither the causale nor the amount changed: the stored split is the split.
    bool keepsStoredSplit(Money amount) const;
    QString storedSplitSql() const;
    static Money splitTotal(const fees::TfmEbsCauComp &dialog);
    bool movementHasSplit(int mvmId) const;
    int causaleSchoolYear(int causaleId) const;
    QString schoolYearDescription(int ansId) const;
    void readCausaleTotal();
    void onCausaleChosen();
    void onCabChosen();
    void repointPostOffice();
    void onMunicipalityChosen();
    void setPostOfficeVisible(bool visible);
    void setPostOfficeDefaults(bool set);

    QSqlDatabase m_db;
    QString m_accountType;
    bool m_allCausali = true;
    int m_kind = 0;
    bool m_allInstitutes = false;
    bool m_treasury = false;
    QString m_yearCondition;
    QString m_causaleSelect;
    QString m_causaleTotal;
    bool m_causaleChanged = false;
    bool m_typed = false;
    int m_highlighted = -1;
    int m_searchYear = 0;           // year chosen in the causale search window (0: none)
    bool m_amountFocusedAtInsert = false;
    int m_mode = 0;

    void onFilter();
    fw::FilterDefinition m_filterDefinition;
    bool m_hasFilterDefinition = false;
    fw::TfmVeFilter *m_filterDialog = nullptr;  // made once, kept
    QString m_filterCondition;
    bool m_filterApplied = false;
    bool m_filterBaseKept = false;
    QString m_filterBaseSelect;
    fw::VeParams m_filterParams;
};

} // namespace ccp::movements
