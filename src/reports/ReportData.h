#pragma once
#include "Result.h"

#include <QHash>
#include <QImage>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace ccp::reports {

// The rows of one opened data set, read once; numerics stay text so money is exact.
class DataTable
{
public:
    DataTable() = default;
    explicit DataTable(const QStringList &columns);

    void addRow(const QVariantList &values);  // one value per column
    int rowCount() const { return m_rows; }
    const QStringList &columns() const { return m_columns; }
    int column(const QString &lowerName) const { return m_index.value(lowerName, -1); }
    const QVariant &value(int row, int col) const { return m_values[size_t(row) * m_columns.size() + col]; }
    QVariant value(int row, const QString &name) const;

private:
    QStringList m_columns;
    QHash<QString, int> m_index;
    std::vector<QVariant> m_values;
    int m_rows = 0;
};

// The current row of every data set open around the one being opened, outermost first.
struct RowRef
{
    QString dataSet;  // lower case
    const DataTable *table = nullptr;
    int row = -1;
};
using MasterRows = std::vector<RowRef>;

// What a report's data sets, variables, functions and images come from.
class DataModule
{
public:
    virtual ~DataModule() = default;
    // Opens `dataSet` (lower case); a detail data set is opened again for every master row.
    virtual Result<DataTable> open(const QString &dataSet, const MasterRows &masters) = 0;
    virtual std::optional<QVariant> variable(const QString &name) { Q_UNUSED(name) return std::nullopt; }
    virtual std::optional<QVariant> call(const QString &name, const QVariantList &args)
    {
        Q_UNUSED(name) Q_UNUSED(args) return std::nullopt;
    }
    virtual QImage image(const QString &name) { Q_UNUSED(name) return {}; }
};

// Data sets given as select texts or as ready tables. A parameter of a select text that is
// not set explicitly takes the value of the same-named column of the innermost master row
// that has one, as a detail query is re-read when its master moves.
class SqlDataModule : public DataModule
{
public:
    explicit SqlDataModule(QSqlDatabase db = {}) : m_db(std::move(db)) {}

    void setQuery(const QString &dataSet, const QString &sql);
    void setParam(const QString &dataSet, const QString &name, const QVariant &value);
    void setTable(const QString &dataSet, DataTable table);
    void setVariable(const QString &name, const QVariant &value);
    void setFunction(const QString &name, std::function<QVariant(const QVariantList &)> fn);
    void setImage(const QString &name, const QImage &image);
    QString sql(const QString &dataSet) const;

    Result<DataTable> open(const QString &dataSet, const MasterRows &masters) override;
    std::optional<QVariant> variable(const QString &name) override;
    std::optional<QVariant> call(const QString &name, const QVariantList &args) override;
    QImage image(const QString &name) override;

private:
    struct Query
    {
        QString sql;
        QStringList params;
        QVariantMap values;  // lower-case names
    };
    QSqlDatabase m_db;
    QHash<QString, Query> m_queries;
    QHash<QString, DataTable> m_tables;
    QHash<QString, QVariant> m_variables;
    QHash<QString, std::function<QVariant(const QVariantList &)>> m_functions;
    QHash<QString, QImage> m_images;
};

// Reads every row of a prepared and executed query.
Result<DataTable> readTable(QSqlDatabase db, const QString &sql, const QVariantMap &params);

} // namespace ccp::reports
