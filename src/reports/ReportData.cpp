#include "ReportData.h"

#include "SqlQuery.h"
#include "VeSql.h"

#include <QSqlRecord>

namespace ccp::reports {

DataTable::DataTable(const QStringList &columns) : m_columns(columns)
{
    for (int i = 0; i < columns.size(); ++i)
        m_index.insert(columns[i].toLower(), i);
}

void DataTable::addRow(const QVariantList &values)
{
    Q_ASSERT(values.size() == m_columns.size());
    m_values.insert(m_values.end(), values.begin(), values.end());
    ++m_rows;
}

QVariant DataTable::value(int row, const QString &name) const
{
    const int c = column(name.toLower());
    return c < 0 || row < 0 || row >= m_rows ? QVariant() : value(row, c);
}

Result<DataTable> readTable(QSqlDatabase db, const QString &sql, const QVariantMap &params)
{
    SqlQuery q(db);
    if (auto s = q.run(sql, params); !s)
        return s;
    const QSqlRecord rec = q.raw().record();
    QStringList columns;
    for (int i = 0; i < rec.count(); ++i)
        columns << rec.fieldName(i);
    DataTable t(columns);
    QVariantList row;
    row.reserve(columns.size());
    while (q.next()) {
        row.clear();
        for (int i = 0; i < columns.size(); ++i)
            row << q.value(i);
        t.addRow(row);
    }
    return t;
}

void SqlDataModule::setQuery(const QString &dataSet, const QString &sql)
{
    Query &q = m_queries[dataSet.toLower()];
    q.sql = sql;
    q.params = fw::VeSql::parameterNames(sql);
    m_tables.remove(dataSet.toLower());
}

void SqlDataModule::setParam(const QString &dataSet, const QString &name, const QVariant &value)
{
    m_queries[dataSet.toLower()].values.insert(name.toLower(), value);
}

void SqlDataModule::setTable(const QString &dataSet, DataTable table)
{
    m_queries.remove(dataSet.toLower());
    m_tables.insert(dataSet.toLower(), std::move(table));
}

void SqlDataModule::setVariable(const QString &name, const QVariant &value)
{
    m_variables.insert(name.toLower(), value);
}

void SqlDataModule::setFunction(const QString &name, std::function<QVariant(const QVariantList &)> fn)
{
    m_functions.insert(name.toUpper(), std::move(fn));
}

void SqlDataModule::setImage(const QString &name, const QImage &image)
{
    m_images.insert(name.toLower(), image);
}

QString SqlDataModule::sql(const QString &dataSet) const
{
    return m_queries.value(dataSet.toLower()).sql;
}

Result<DataTable> SqlDataModule::open(const QString &dataSet, const MasterRows &masters)
{
    if (auto t = m_tables.find(dataSet); t != m_tables.end())
        return t.value();
    const auto q = m_queries.find(dataSet);
    if (q == m_queries.end())
        return Result<DataTable>::failure(QStringLiteral("Il data set \"%1\" non è fornito da questa stampa.").arg(dataSet));
    QVariantMap bound;
    for (const QString &name : q->params) {
        const QString key = name.toLower();
        if (auto v = q->values.find(key); v != q->values.end()) {
            bound.insert(name, v.value());
            continue;
        }
        bool found = false;
        for (auto m = masters.rbegin(); m != masters.rend() && !found; ++m) {
            const int c = m->table->column(key);
            if (c >= 0) {
                bound.insert(name, m->table->value(m->row, c));
                found = true;
            }
        }
        if (!found)
            return Result<DataTable>::failure(
                QStringLiteral("Il parametro :%1 del data set \"%2\" non ha valore.").arg(name, dataSet));
    }
    auto t = readTable(m_db, q->sql, bound);
    if (!t)
        return Result<DataTable>::failure(QStringLiteral("Data set \"%1\": %2").arg(dataSet, t.error()));
    return t;
}

std::optional<QVariant> SqlDataModule::variable(const QString &name)
{
    if (auto v = m_variables.find(name.toLower()); v != m_variables.end())
        return v.value();
    return std::nullopt;
}

std::optional<QVariant> SqlDataModule::call(const QString &name, const QVariantList &args)
{
    if (auto f = m_functions.find(name.toUpper()); f != m_functions.end())
        return f.value()(args);
    return std::nullopt;
}

QImage SqlDataModule::image(const QString &name)
{
    return m_images.value(name.toLower());
}

} // namespace ccp::reports
