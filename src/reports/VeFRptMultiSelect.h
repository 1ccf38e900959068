#pragma once
#include "ReportData.h"
#include "TVeDialog.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QSqlDatabase>
#include <QTableView>

class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;

namespace ccp::reports {

// The condition that restricts a report's main query to chosen rows, with the values it binds.
struct ReportFilter
{
    QString condition;  // empty: no restriction
    QVariantMap params;
};

// "keyExpr IN (...)": whole numbers are written as numbers, anything else is bound.
ReportFilter keyFilter(const QString &keyExpr, const QVariantList &keys);

// The query with its report-filter marker replaced by the filter's condition.
QString withFilter(const QString &sql, const ReportFilter &filter);

// Opens the query only for its columns: the metadata marker becomes a condition no row meets.
Result<QStringList> metadataColumns(QSqlDatabase db, const QString &sql, const QVariantMap &params);

// Working-context values: 0 and no date when unset.
int contextInt(const char *key);
QDate contextDate(const char *key);

// Items from the first two columns (value, text) of a query; false (message shown) on error.
bool fillCombo(QComboBox *combo, QSqlDatabase db, const QString &sql, const QVariantMap &params = {});

// Rows of a query with a tick each; all ticked when loaded.
class TVeCheckModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column
    {
        QString field;
        QString caption;
    };
    using QAbstractTableModel::QAbstractTableModel;

    void setColumns(const QList<Column> &columns);
    void setTable(DataTable table);
    const DataTable &table() const { return m_table; }

    bool isTicked(int row) const { return m_ticks.value(row); }
    void setTicked(int row, bool ticked);
    void tickAll(bool ticked);
    int tickedCount() const;
    QVariantList tickedValues(const QString &field) const;
    // Puts the rows in the order of the fields; each row keeps its tick.
    void sortBy(const QStringList &fields);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    void ticksChanged();

private:
    QList<Column> m_columns;
    DataTable m_table;
    QList<bool> m_ticks;
};

// The grid of a multi-selection: the space bar ticks the current row.
class TfrVeCheckGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TfrVeCheckGrid(QWidget *parent = nullptr);
    TVeCheckModel *checkModel() const { return m_model; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    TVeCheckModel *m_model;
};

// Multi-selection over the rows of a report's main query. Without a select text the grid is
// hidden and the dialog is a plain choice form (the date dialogs build on that).
class TfmVeMultiSelect : public fw::TVeDialog
{
    Q_OBJECT
public:
    explicit TfmVeMultiSelect(QSqlDatabase db, QWidget *parent = nullptr);

    // The grid's rows: the select text (with its markers) and its parameters.
    void setSelectText(const QString &sql);
    QString selectText() const { return m_sql; }
    void setParam(const QString &name, const QVariant &value) { m_params.insert(name, value); }
    QVariantMap params() const { return m_params; }
    void setColumns(const QList<TVeCheckModel::Column> &columns);
    // The column identifying a row and how the main query names it ("Sit.iSitId").
    void setKeyField(const QString &field, const QString &expression);
    // Orders offered for the rows, each "field;field;...": the first is used on loading.
    void setSortOrders(const QStringList &orders);
    QComboBox *sortOrder() const { return m_order; }
    void reload();

    TfrVeCheckGrid *grid() const { return m_grid; }
    TVeCheckModel *rows() const { return m_grid->checkModel(); }
    // No condition when every row is ticked.
    ReportFilter filter() const;

protected:
    QSqlDatabase db() const { return m_db; }
    // Controls of derived dialogs, above the grid.
    QFormLayout *form() const { return m_form; }
    bool validate() override;
    bool hasGrid() const { return !m_sql.isEmpty(); }

private:
    QSqlDatabase m_db;
    QString m_sql;
    QVariantMap m_params;
    QString m_keyField;
    QString m_keyExpr;
    QFormLayout *m_form;
    QComboBox *m_order;
    QLabel *m_orderLabel;
    QList<TVeCheckModel::Column> m_columns;
    TfrVeCheckGrid *m_grid;
    QWidget *m_gridButtons;
};

} // namespace ccp::reports
