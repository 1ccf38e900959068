#pragma once
#include "EbcMMvm.h"
#include "EbcUMvm.h"
#include "EbsRMvm.h"

#include <memory>

class QPlainTextEdit;

namespace ccp::fw {
class TfmVeSearch;
}

namespace ccp::movements {

class TEbsBarCodeQueue;
class TEbsBarCodeReader;

// The movements frame of the movements window: the entry frame plus who paid or was paid
// (payer category and payer), the date rules, the note and, for expenses, the check against
// the money available on the account.
class TfrEbcMvm : public TfrEbsMvm
{
    Q_OBJECT
public:
    // Sort keys of the grid columns, in column order.
    static const QStringList SortKeys;

    TfrEbcMvm(TdmEbcMvm &store, const MvmContext &context, QWidget *parent = nullptr);
    ~TfrEbcMvm() override;

    QLabel *laCategoria;
    fw::TVeDBLookupEdit *xdlCategoria;
    QLabel *laBeneficiario;
    fw::TVeDBLookupEdit *xdlAluSit;
    QLabel *laClasse;
    fw::TVeDBLookupEdit *xdlClasse;
    fw::TVeDBLookupEdit *xdlAna;
    fw::TVeDBLookupEdit *xdlAnaPer;
    fw::TVeDBLookupEdit *xdlBen;
    QPlainTextEdit *meNote;

    const MvmContext &context() const { return m_ctx; }
    TdmEbcMvm &store() { return m_store; }

    // Payer held by the frame: what the store writes into the movement.
    const MvmPayer &payer() const { return m_payer; }
    int category() const;
    // Shows the payer lookups of a category (and the lists they offer).
    void showCategory(int category);
    fw::TVeDBLookupEdit *payerLookup() const;   // the one shown (null: none)

    void SetAccountType(const QString &type) override;
    // Income (0) or expense (1): layout, defaults, causale kind. The owner refreshes the list.
    void setKind(int kind);
    // Read-only list (closed account or fully locked year) and the bar-code right.
    void setReadOnly(bool readOnly, bool barCodeRight);
    bool isReadOnly() const { return m_readOnly; }

    // The validations of a post, in order; false after showing the first refusal.
    bool validatePost();
    // The owner's post: validations, then the store's post (note included).
    bool postMovement();

    // The pupil list select for the current mode (and the year chosen in the search window).
    QString pupilSelect() const;
    void ProcessBarCode(const QString &code) override;
    TEbsBarCodeQueue *barCodeQueue() const { return m_queue.get(); }
    TEbsBarCodeReader *barCodeReader() const { return m_reader.get(); }

    // Reads the note of the current row into meNote.
    void loadNote();

protected:
    void onFrameModeChanged(int mode) override;
    void onRowChanged() override;
    std::optional<QColor> rowBackground(int row) const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    fw::TVeDBLookupEdit *makePayerLookup(const char *name, const QString &field);
    void onCategoryChosen();
    void onPayerChosen(fw::TVeDBLookupEdit *lookup);
    void copyPayerFromRow();
    void resetPayerFields(bool all);
    void setupGrid();
    void sortByColumn(int column);
    bool checkDates();
    bool checkAmount();
    void onMovementDateChanged();
    void onBarCodeCreated(int mvmId);
    void showEndForReadings();
    int situationYear(const QVariant &sitId) const;
    void preparePupilSearch(fw::TfmVeSearch &form);

    TdmEbcMvm &m_store;
    MvmContext m_ctx;
    MvmPayer m_payer;
    int m_shownCategory = 0;
    int m_pupilSearchYear = 0;
    bool m_readOnly = false;
    bool m_barCodeRight = true;
    bool m_userHidBarCode = false;
    bool m_loadingNote = false;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    std::unique_ptr<TEbsBarCodeReader> m_reader;
    std::unique_ptr<TEbsBarCodeQueue> m_queue;
};

} // namespace ccp::movements
