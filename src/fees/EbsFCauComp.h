#pragma once
#include "EbsUCauComp.h"
#include "Result.h"
#include "TVeDialog.h"

#include <QPointer>
#include <QSqlDatabase>

class QLabel;
class QPlainTextEdit;
class QTableWidget;
class QWidget;

namespace ccp::fw {
class TVeDBCurrencyEdit;
}

namespace ccp::fees {

// The decimal separator accepted while typing amounts ("VEP_DecimalSeparator"); the locale's
// when the value was never set.
QChar decimalSeparator();

// Splits an amount over the components of a causale (definition mode) or shows a composition
// (view mode). One instance lives program-wide: the movement entry frame configures and opens
// it, the movement store reads the split back.
class TfmEbsCauComp : public fw::TVeDialog
{
    Q_OBJECT
public:
    static QString defaultComponentsSql();

    explicit TfmEbsCauComp(QSqlDatabase db, QWidget *parent = nullptr);
    ~TfmEbsCauComp() override;

    // The one instance (null when none); obtain() creates it when there is none.
    static TfmEbsCauComp *instance();
    static TfmEbsCauComp *obtain(QSqlDatabase db, QWidget *parent = nullptr);
    static void release();

    // ---- configuration, set before BuildGrid ----------------------------------------------
    QString AmountText;
    int AmountColumn = TEbsCompositionGrid::InstituteColumn;
    bool ShowBothAmounts = false;
    QString ComponentsSql;
    int CausaleId = 0;
    bool DefinitionMode = true;

    // Reads the components and lays the grid out (again, on every call).
    Status BuildGrid();

    // ---- read-back -------------------------------------------------------------------------
    int ComponentCount() const { return m_rules.componentCount(); }
    int ComponentIdAt(int row) const { return m_rules.componentIdAt(row); }
    QString AmountTextAt(int row) const { return m_rules.amountTextAt(row); }
    // Puts the components' own amounts (field `column` of the default select) back in a column.
    Status ReloadColumn(int causaleId, int column);

    const TEbsCompositionGrid &rules() const { return m_rules; }
    QTableWidget *grid() const { return m_grid; }
    fw::TVeDBCurrencyEdit *ceImporto() const { return m_ceImporto; }
    fw::TVeDBCurrencyEdit *ceScarto() const { return m_ceScarto; }
    QPlainTextEdit *memo() const { return m_memo; }
    int helpContext() const { return m_helpContext; }

public Q_SLOTS:
    void reject() override;
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Result<QList<CompositionComponent>> readComponents(const QString &sql, int causaleId) const;
    void showCells();
    void showCell(int row, int column);
    void showResults();
    void onItemChanged(int row, int column);
    void onCurrentCellChanged(int row, int column);
    void resizeToContent();
    bool canClose() const;
    void settle();
    void finishClose();

    QSqlDatabase m_db;
    TEbsCompositionGrid m_rules;
    bool m_firstBuild = true;
    bool m_filling = false;
    int m_helpContext = 0;
    int m_widths[4] = {0, 200, 100, 100};
    QWidget *m_memoPanel;
    QWidget *m_amountPanel;
    QPlainTextEdit *m_memo;
    fw::TVeDBCurrencyEdit *m_ceImporto;
    fw::TVeDBCurrencyEdit *m_ceScarto;
    QTableWidget *m_grid;

    static inline QPointer<TfmEbsCauComp> s_instance;
};

} // namespace ccp::fees
