#include "TVeQueryModel.h"
#include "Money.h"
#include "TVeQueryCollection.h"

#include <QDate>

namespace ccp::fw {

TVeQueryModel::TVeQueryModel(TVeQueryCollection *collection, QObject *parent)
    : QAbstractTableModel(parent), m_collection(collection)
{
    Q_ASSERT(collection);
    connect(collection, &TVeQueryCollection::reset, this, &TVeQueryModel::onReset);
    connect(collection, &TVeQueryCollection::rowsAppended, this, &TVeQueryModel::onRowsAppended);
    connect(collection, &TVeQueryCollection::rowsLoaded, this, &TVeQueryModel::onRowsLoaded);
    connect(collection, &TVeQueryCollection::rowsRemoved, this, &TVeQueryModel::onRowsRemoved);
    m_rowCount = collection->count();
}

TVeQueryModel::~TVeQueryModel() = default;

void TVeQueryModel::setColumns(const QList<Column> &columns)
{
    beginResetModel();
    m_columns = columns;
    m_autoColumns = columns.isEmpty();
    endResetModel();
}

void TVeQueryModel::addColumn(const QString &field, const QString &caption, int width, Qt::Alignment alignment)
{
    beginResetModel();
    if (m_autoColumns)
        m_columns.clear();
    m_autoColumns = false;
    m_columns << Column{field, caption, width, alignment, {}};
    endResetModel();
}

int TVeQueryModel::columnOfField(const QString &field) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString TVeQueryModel::fieldOfColumn(int column) const { return m_columns.value(column).field; }

void TVeQueryModel::onReset()
{
    beginResetModel();
    if (m_autoColumns && m_collection) {
        m_columns.clear();
        for (const auto &c : m_collection->columns())
            m_columns << Column{c.name, c.name, -1, {}, {}};
    }
    m_rowCount = m_collection ? m_collection->count() : 0;
    endResetModel();
}

void TVeQueryModel::onRowsAppended(int first, int last)
{
    if (last < m_rowCount)
        return;
    first = qMax(first, m_rowCount);
    beginInsertRows({}, first, last);
    m_rowCount = last + 1;
    endInsertRows();
}

void TVeQueryModel::onRowsRemoved(int first, int last)
{
    last = qMin(last, m_rowCount - 1);
    if (first < 0 || first > last)
        return;
    beginRemoveRows({}, first, last);
    m_rowCount -= last - first + 1;
    endRemoveRows();
}

void TVeQueryModel::onRowsLoaded(int first, int last)
{
    if (first >= m_rowCount || m_columns.isEmpty())
        return;
    Q_EMIT dataChanged(index(first, 0), index(qMin(last, m_rowCount - 1), int(m_columns.size()) - 1));
}

int TVeQueryModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_rowCount; }

int TVeQueryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString TVeQueryModel::displayText(int row, int column) const
{
    if (!m_collection || column < 0 || column >= m_columns.size())
        return {};
    const Column &col = m_columns[column];
    const int field = m_collection->fieldIndex(col.field);
    const QVariant v = m_collection->value(row, field);
    if (!v.isValid() || v.isNull())
        return {};
    const bool money = field >= 0 && m_collection->columns()[field].money;
    if (money && (col.format.isEmpty() || col.format == QLatin1String("#,###.00")))
        return Money::fromVariant(v).toList();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(col.format.isEmpty() ? QStringLiteral("dd/MM/yyyy") : col.format);
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(col.format.isEmpty() ? QStringLiteral("dd/MM/yyyy hh:mm") : col.format);
    return v.toString();
}

QVariant TVeQueryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_collection || index.row() >= m_rowCount)
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return displayText(row, index.column());
    case Qt::TextAlignmentRole: {
        const Column &col = m_columns.value(index.column());
        if (col.alignment)
            return QVariant::fromValue(col.alignment);
        const int field = m_collection->fieldIndex(col.field);
        if (field >= 0) {
            const VeColumn &c = m_collection->columns()[field];
            const int t = c.type.id();
            if (c.money || t == QMetaType::Int || t == QMetaType::LongLong || t == QMetaType::Double
                || t == QMetaType::Short)
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        }
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    case Qt::BackgroundRole:
        if (m_background)
            if (auto c = m_background(row))
                return *c;
        return {};
    case Qt::ForegroundRole:
        if (m_foreground)
            if (auto c = m_foreground(row))
                return *c;
        return {};
    case KeepsColourRole: return m_keepsColour && m_keepsColour(row);
    case FieldValueRole: return m_collection->value(row, m_columns.value(index.column()).field);
    case KeyRole: return m_collection->keyOf(row);
    default: return {};
    }
}

QVariant TVeQueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < m_columns.size()) {
        if (role == Qt::DisplayRole)
            return m_columns[section].caption;
        if (role == Qt::SizeHintRole && m_columns[section].width > 0)
            return QSize(m_columns[section].width, 20);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool TVeQueryModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_collection && m_collection->canFetchMore();
}

void TVeQueryModel::fetchMore(const QModelIndex &parent)
{
    if (!parent.isValid() && m_collection)
        m_collection->fetchMore();
}

void TVeQueryModel::sort(int column, Qt::SortOrder order)
{
    if (!m_collection || column < 0 || column >= m_columns.size())
        return;
    m_collection->setSortKeys(m_columns[column].field + (order == Qt::DescendingOrder ? QStringLiteral(" DESC") : QString()));
    if (m_collection->isOpen())
        m_collection->refresh();
}

} // namespace ccp::fw
