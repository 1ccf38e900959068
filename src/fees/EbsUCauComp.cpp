#include "EbsUCauComp.h"

namespace ccp::fees {

QString TEbsCompositionGrid::header(int column, bool both)
{
    switch (column) {
    case DescriptionColumn:
        return QStringLiteral("Componente");
    case InstituteColumn:
        return both ? QStringLiteral("Importo istituto") : QStringLiteral("Importo");
    case TreasuryColumn:
        return QStringLiteral("Importo erario");
    default:
        return {};
    }
}

QString TEbsCompositionGrid::instructionTemplate()
{
    return QStringLiteral("Suddividere la somma # tra i componenti della causale in modo da azzerare lo scarto.");
}

void TEbsCompositionGrid::build(const QList<CompositionComponent> &components)
{
    const int cols = columnCount();
    m_cells.clear();
    QStringList head;
    for (int c = 0; c < cols; ++c)
        head << header(c, m_both);
    m_cells << head;
    for (const CompositionComponent &comp : components) {
        QStringList row{QString::number(comp.id), comp.description, format(comp.institute)};
        if (m_both)
            row << format(comp.treasury);
        m_cells << row;
    }
    m_cells << QStringList(cols);  // the empty row
    QStringList total(cols);
    total[DescriptionColumn] = QStringLiteral("Totale");
    m_cells << total;
    recomputeTotal(InstituteColumn);
    if (m_both)
        recomputeTotal(TreasuryColumn);

    m_lastEdited = -1;
    m_protected = (m_both && m_amountColumn == InstituteColumn) ? TreasuryColumn
                  : m_both                                      ? InstituteColumn
                                                                : TreasuryColumn;
    if (!m_both)
        m_amountColumn = InstituteColumn;
    recomputeRemainder();
    m_okEnabled = false;
}

QString TEbsCompositionGrid::cell(int row, int column) const
{
    if (row < 0 || row >= m_cells.size() || column < 0 || column >= m_cells[row].size())
        return {};
    return m_cells[row][column];
}

void TEbsCompositionGrid::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= m_cells.size() || column < 0 || column >= m_cells[row].size())
        return;
    m_cells[row][column] = text;
}

bool TEbsCompositionGrid::isEditable(int row, int column) const
{
    return m_definition && column != DescriptionColumn && column != IdColumn && column != m_protected
           && column < columnCount() && row >= 1 && row < rowCount() - 2;
}

bool TEbsCompositionGrid::commitEdit(int row, int column, const QString &text)
{
    if (!isEditable(row, column))
        return false;
    setCell(row, column, text);
    m_lastEdited = row;
    return true;
}

void TEbsCompositionGrid::selectCell(int row, int column)
{
    Q_UNUSED(row);
    if (!m_definition || column < InstituteColumn || column >= columnCount() || column == m_protected)
        return;
    if (m_lastEdited < 1)
        return;
    setCell(m_lastEdited, column, format(parse(cell(m_lastEdited, column))));
    recomputeTotal(column);
    recomputeRemainder();
    m_okEnabled = m_remainder.isZero();
}

bool TEbsCompositionGrid::keyPasses(int key, Qt::KeyboardModifiers modifiers, const QString &text, QChar separator)
{
    if (key == Qt::Key_Backspace || key == Qt::Key_Return || key == Qt::Key_Enter)
        return true;
    if (key == Qt::Key_X && (modifiers & Qt::ControlModifier))
        return true;
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;  // other control characters (a paste among them) are dropped
    if (text.isEmpty())
        return true;
    const QChar c = text.at(0);
    if (!c.isPrint())
        return true;
    return c.isDigit() || c == QLatin1Char('-') || c == separator;
}

Money TEbsCompositionGrid::total(int column) const
{
    Money sum;
    for (int r = 1; r <= componentCount(); ++r)
        sum += parse(cell(r, column));
    return sum;
}

void TEbsCompositionGrid::recomputeTotal(int column)
{
    if (column >= columnCount() || rowCount() < 3)
        return;
    setCell(totalRow(), column, format(total(column)));
}

void TEbsCompositionGrid::recomputeRemainder()
{
    m_remainder = amount() - total(m_amountColumn);
}

QString TEbsCompositionGrid::instruction() const
{
    const Money shown = amount().isZero() ? Money() : m_remainder;
    QString text = instructionTemplate();
    const int hash = text.indexOf(QLatin1Char('#'));
    return text.replace(hash, 1, shown.toList());
}

int TEbsCompositionGrid::componentIdAt(int row) const
{
    if (row < 1 || row > componentCount())
        return 0;
    return cell(row, IdColumn).toInt();
}

QString TEbsCompositionGrid::amountTextAt(int row) const
{
    if (row < 1 || row > componentCount())
        return {};
    return cell(row, InstituteColumn).replace(QLatin1Char(','), QLatin1Char('.'));
}

void TEbsCompositionGrid::reloadColumn(int column, const QList<Money> &amounts)
{
    if (column < InstituteColumn || column >= columnCount())
        return;
    for (int i = 0; i < amounts.size() && i < componentCount(); ++i)
        setCell(i + 1, column, format(amounts[i]));
    recomputeTotal(column);
    recomputeRemainder();
}

QString TEbsCompositionGrid::format(Money value) const
{
    // Two decimals rounded half away from zero, as the currency shows them.
    const qint64 cents = value.cents();
    const qint64 abs = cents < 0 ? -cents : cents;
    QString text = QString::number(abs / 100) + m_sep + QStringLiteral("%1").arg(abs % 100, 2, 10, QLatin1Char('0'));
    return cents < 0 ? u'-' + text : text;
}

Money TEbsCompositionGrid::parse(const QString &text) const
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return Money();
    if (m_sep != QLatin1Char('.'))
        t.replace(m_sep, QLatin1Char('.'));
    bool ok = false;
    const Money m = Money::fromSqlText(t, &ok);
    return ok ? m : Money();
}

} // namespace ccp::fees
