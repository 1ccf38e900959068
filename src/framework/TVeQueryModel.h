#pragma once
#include "TVeQueryCollection.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>
#include <functional>
#include <optional>

namespace ccp::fw {



// A grid's view of a collection: rows appear as the collection reads them (25 at a time
// through canFetchMore/fetchMore), sorting is done by the server, colours come from hooks.
class TVeQueryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Role {
        FieldValueRole = Qt::UserRole + 1,  // the stored value (not formatted)
        KeyRole,                            // the row's key
        KeepsColourRole,                    // true: the row keeps its colours when selected
    };

    struct Column
    {
        QString field;
        QString caption;
        int width = -1;                  // pixels; -1 lets the grid choose
        Qt::Alignment alignment = {};    // none: money and numbers right, the rest left
        QString format;                  // "#,###.00" for money (default for money columns),
                                         // "dd/MM/yyyy" for dates (default), "" for as stored
    };

    explicit TVeQueryModel(TVeQueryCollection *collection, QObject *parent = nullptr);
    ~TVeQueryModel() override;

    TVeQueryCollection *collection() const { return m_collection; }
    // Columns shown; none given: every field of the select, captioned by its name.
    void setColumns(const QList<Column> &columns);
    void addColumn(const QString &field, const QString &caption, int width = -1,
                   Qt::Alignment alignment = {});
    const QList<Column> &columns() const { return m_columns; }
    int columnOfField(const QString &field) const;
    QString fieldOfColumn(int column) const;

    // Row painting hooks: a colour for the row's background / text, or nothing for the default.
    using RowColour = std::function<std::optional<QColor>(int row)>;
    void setRowBackground(RowColour hook) { m_background = std::move(hook); }
    void setRowForeground(RowColour hook) { m_foreground = std::move(hook); }
    // Rows painted in their own colours even when selected (a marked row stays marked).
    void setRowKeepsColour(std::function<bool(int row)> hook) { m_keepsColour = std::move(hook); }
    // Light yellow of highlighted rows and controls.
    static QColor highlightColour() { return QColor(255, 255, 132); }

    // The text shown for a stored value in a column (money "1.234,50", dates dd/MM/yyyy).
    QString displayText(int row, int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    // Orders by the column's field on the server and keeps the current row.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void onReset();
    void onRowsAppended(int first, int last);
    void onRowsLoaded(int first, int last);
    void onRowsRemoved(int first, int last);

    QPointer<TVeQueryCollection> m_collection;
    QList<Column> m_columns;
    bool m_autoColumns = true;
    int m_rowCount = 0;
    RowColour m_background;
    RowColour m_foreground;
    std::function<bool(int row)> m_keepsColour;
};

} // namespace ccp::fw
