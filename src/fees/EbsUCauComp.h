#pragma once
#include "Money.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace ccp::fees {

// One component as the composition select lists it: id, description, the two amounts.
struct CompositionComponent
{
    int id = 0;
    QString description;
    Money institute;
    Money treasury;
};

// The cells of the composition grid and its arithmetic, without a widget: row 0 is the header,
// rows 1..N the components, row N+1 stays empty, row N+2 is the total. Column 0 holds the id,
// 1 the description, 2 the institute amount (or the only amount), 3 the treasury amount.
class TEbsCompositionGrid
{
public:
    static constexpr int IdColumn = 0;
    static constexpr int DescriptionColumn = 1;
    static constexpr int InstituteColumn = 2;
    static constexpr int TreasuryColumn = 3;

    // ---- configuration -------------------------------------------------------------------
    void setShowBothAmounts(bool on) { m_both = on; }
    bool showBothAmounts() const { return m_both; }
    void setAmountColumn(int column) { m_amountColumn = column == TreasuryColumn ? TreasuryColumn : InstituteColumn; }
    int amountColumn() const { return m_amountColumn; }
    void setDefinitionMode(bool on) { m_definition = on; }
    bool definitionMode() const { return m_definition; }
    // The amount to split, as the amount edit shows it ("1.234,50"); unreadable text is 0.
    void setAmountText(const QString &text) { m_amountText = text; }
    const QString &amountText() const { return m_amountText; }
    Money amount() const { return Money::fromText(m_amountText); }
    // The separator accepted while typing and written into the cells.
    void setDecimalSeparator(QChar sep) { m_sep = sep; }
    QChar decimalSeparator() const { return m_sep; }

    // ---- building --------------------------------------------------------------------------
    // Lays the rows out for these components, computes the totals, the remainder and the
    // protected column; OK starts disabled in definition mode.
    void build(const QList<CompositionComponent> &components);
    int columnCount() const { return m_both ? 4 : 3; }
    int rowCount() const { return int(m_cells.size()); }
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    int totalRow() const { return rowCount() - 1; }
    static QString header(int column, bool both);

    // ---- editing ---------------------------------------------------------------------------
    // The amount column that is not split (3 when splitting 2, else 2; with one amount 3, which
    // does not exist, so only column 2 can be edited).
    int protectedColumn() const { return m_protected; }
    bool isEditable(int row, int column) const;
    // The user finished typing into a cell: a cell that cannot be edited gets its text back
    // (returns false); an editable one is kept and remembered as the last edited row.
    bool commitEdit(int row, int column, const QString &text);
    int lastEditedRow() const { return m_lastEdited; }
    // A cell was selected: with an edited row, the amount column's last edited cell is written
    // again in the cell format, the total and the remainder recomputed, OK re-evaluated.
    void selectCell(int row, int column);
    // Whether a key typed into a cell passes: Backspace, Ctrl+X and Enter always, other
    // characters only digits, "-" and the decimal separator. Keys without a character
    // (arrows, Tab, Delete) are not the filter's business and pass.
    static bool keyPasses(int key, Qt::KeyboardModifiers modifiers, const QString &text, QChar separator);

    // ---- results ---------------------------------------------------------------------------
    Money total(int column) const;
    Money remainder() const { return m_remainder; }
    bool okEnabled() const { return m_okEnabled; }
    // The instruction shown above the grid, "#" replaced by the amount still to split.
    QString instruction() const;
    static QString instructionTemplate();

    int componentCount() const { return rowCount() - 3; }
    int componentIdAt(int row) const;
    // The institute amount of a row, with every "," replaced by ".", ready for a statement.
    QString amountTextAt(int row) const;
    // Writes these amounts into a column from row 1 on and recomputes its total.
    void reloadColumn(int column, const QList<Money> &amounts);

    // Cell format: fixed point, the currency's two decimals, no thousands separator.
    QString format(Money value) const;
    // A cell's text read as currency; unreadable text is 0.
    Money parse(const QString &text) const;

private:
    void recomputeTotal(int column);
    void recomputeRemainder();

    QList<QStringList> m_cells;
    bool m_both = false;
    bool m_definition = true;
    int m_amountColumn = InstituteColumn;
    int m_protected = TreasuryColumn;
    QString m_amountText;
    QChar m_sep = QLatin1Char(',');
    int m_lastEdited = -1;
    Money m_remainder;
    bool m_okEnabled = false;
};

} // namespace ccp::fees
