#pragma once
#include "Result.h"
#include "VeExpression.h"

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

namespace ccp::fw {

// The editing state of a collection: the values are those the owners compare with.
enum class DataMode { Browse = 0, Insert = 1, Edit = 2 };
// The operation of a statement list, numbered as the hooks receive it.
enum class VeOperation { Update = 0, Insert = 1, Delete = 2 };

// Name/value pairs whose names compare case-insensitively (":SCOMDESC" is field sComDesc).
class VeParams
{
public:
    void set(const QString &name, const QVariant &value);
    QVariant value(const QString &name) const;  // null QVariant when absent
    bool contains(const QString &name) const;
    void remove(const QString &name);
    QStringList names() const;
    bool isEmpty() const { return m_items.isEmpty(); }
    int size() const { return int(m_items.size()); }
    void clear() { m_items.clear(); }

private:
    int indexOf(const QString &name) const;
    QList<std::pair<QString, QVariant>> m_items;
};

// What VeBeforeExec and VeAfterExec receive for one statement of a post.
struct VeExecContext
{
    QString tableName;      // upper case: "TCAU_CAUSALI" (a procedure's name for EXECUTE PROCEDURE)
    VeOperation operation;
    int index;              // position of the statement in its list
    QString sql;
    VeParams &params;       // pairs added before the statement are bound to it; after it, the
                            // pairs "VEGENID" and "VECURRID" hold what was bound
    bool execute = true;    // cleared by VeBeforeExec: the statement is skipped
    QString error;          // set by a hook to stop the post (rolled back, message shown)
    void fail(const QString &message) { error = message; }
};

// What VeBeforeInsert / VeBeforeUpdate receive once per post: the collection's own list,
// which they may shorten or extend (changes stay for later posts).
struct VeListContext
{
    VeOperation operation;
    QStringList &statements;
    QString error;
    void fail(const QString &message) { error = message; }
};

// One column of the select, as the server describes it.
struct VeColumn
{
    QString name;           // as the server names it (upper case unless quoted)
    QMetaType type;
    bool money = false;     // NUMERIC with decimals: shown "#,###.00", never a double
    int length = -1;
    bool required = false;  // NOT NULL: never null, so order comparisons need no null case
};

// A row set opened from a select text, read 25 rows at a time, with an edit buffer and three
// ordered statement lists that a post runs in one transaction.
//
// Rows are numbered in the server's order. Only the rows asked for are read: the first page on
// open, the next ones on fetchMore(), and any other on demand (locate() jumps to a row without
// reading those before it; value() of an unread row reads its page).
class TVeQueryCollection : public QObject
{
    Q_OBJECT
public:
    static constexpr int PageSize = 25;

    explicit TVeQueryCollection(QSqlDatabase db, QObject *parent = nullptr);
    ~TVeQueryCollection() override;

    QSqlDatabase database() const { return m_db; }
    void setDatabase(QSqlDatabase db);

    // ---- the select ------------------------------------------------------------------
    void setSelectText(const QString &sql);
    const QString &selectText() const { return m_select; }
    // Condition for the ##WHERE## slots (empty: every row) and the values it binds.
    void setWhere(const QString &condition, const QVariantMap &params = {});
    const QString &whereCondition() const { return m_where; }
    // Named parameters of the select, set by the owner before opening.
    void setParam(const QString &name, const QVariant &value) { m_params.set(name, value); }
    QVariant param(const QString &name) const { return m_params.value(name); }
    VeParams &params() { return m_params; }
    // The key field of a row (its id); default: the first column.
    void setKeyField(const QString &field) { m_keyField = field; }
    QString keyField() const;
    // The table written by the automatic statements; default: the select's first table.
    void setTableName(const QString &table) { m_table = table.toUpper(); }
    QString tableName() const;
    // Server-side order by field names: "sCauLDesc;iMvmProgr", a name may end with " DESC".
    // Empty: the select's own order. Applied at the next open or refresh.
    void setSortKeys(const QString &keys) { m_sortKeys = keys; }
    const QString &sortKeys() const { return m_sortKeys; }
    // Row filter expression ("dEnd IS NULL"); it counts only while switched on.
    Status setFilter(const QString &expression);
    const QString &filter() const { return m_filter.text(); }
    // Switching the filter on or off reopens an open collection (keeping the current row).
    Status setFiltered(bool on);
    bool isFiltered() const { return m_filtered; }
    // True when the row's values satisfy the filter (or no filter is on).
    bool rowMatchesFilter(const std::function<QVariant(const QString &)> &row) const;

    Status open();
    void close();
    bool isOpen() const { return m_open; }
    // Reads the list again from the server and keeps the current row (by key; when that row
    // is gone, the row now in its place).
    Status refresh();
    // Reads the list again and makes the row with this key current (when it is gone, as
    // refresh()). With local refresh on, a list read to its end only reads again its last rows
    // when the row is among them.
    Status refreshTo(const QVariant &key);
    // After a post, read again only what the post touched instead of the whole list: the last
    // rows of a list read to its end for an insert, the row itself for an update (in place when
    // its place in the order is unchanged), nothing for a delete (the row leaves the list).
    // Rows posted meanwhile by other workstations elsewhere in the list appear at the next
    // refresh. For lists whose rows do not depend on each other (a list of movements, not one
    // whose rows show totals of other rows).
    void setLocalRefresh(bool on) { m_localRefresh = on; }
    bool localRefresh() const { return m_localRefresh; }

    // ---- rows ------------------------------------------------------------------------
    int count() const { return int(m_rows.size()); }  // rows known so far
    bool isEmpty() const { return m_rows.isEmpty(); }
    bool canFetchMore() const { return m_open && !m_atEnd; }
    // Reads the next page; returns the number of rows added.
    int fetchMore();
    Status fetchAll();
    int fieldCount() const { return int(m_columns.size()); }
    const QList<VeColumn> &columns() const { return m_columns; }
    QStringList fieldNames() const;
    int fieldIndex(const QString &field) const;  // case-insensitive, -1 when absent
    // Stored values; an unread row is read with its page.
    QVariant value(int row, int field) const;
    QVariant value(int row, const QString &field) const;
    bool isRowLoaded(int row) const;
    QVariant keyOf(int row) const;

    int currentIndex() const { return m_current; }
    bool setCurrentIndex(int row);
    QVariant currentKey() const;
    // Makes the row with this key current without reading the rows before it; returns its
    // position, -1 when no row has that key (the current row does not move).
    Result<int> locate(const QVariant &key);
    // Makes the last row of the list current, reading only it and its page.
    Status last();

    // ---- editing ---------------------------------------------------------------------
    DataMode mode() const { return m_mode; }
    bool isEditing() const { return m_mode != DataMode::Browse; }
    // Starts a new row (defaults applied) / edits the current one. False when not possible.
    bool insert();
    bool edit();
    void cancel();
    // Runs the statement list of the operation in one transaction. On failure everything of
    // the post is undone, the message is shown and the row stays in edit.
    bool post();
    // Asks for confirmation, then runs the delete list in one transaction.
    bool deleteCurrent();

    // In insert/edit: the buffer; in browse: the current row. Null when no such field/row.
    QVariant fieldValue(const QString &field) const;
    void setFieldValue(const QString &field, const QVariant &value);
    bool isFieldChanged(const QString &field) const;
    QStringList changedFields() const;
    void setDefault(const QString &field, const QVariant &value) { m_defaults.set(field, value); }
    // A required field left empty refuses the post with "Il campo %s è obbligatorio.".
    void setRequired(const QString &field, const QString &caption);
    void clearRequired(const QString &field);

    // ---- statement lists ---------------------------------------------------------------
    void setStatements(VeOperation op, const QStringList &statements);
    QStringList &statements(VeOperation op);
    const QStringList &statements(VeOperation op) const;
    // When set and no delete list is given, deletes by key from the table.
    void setAutoDelete(bool on) { m_autoDelete = on; }
    // No delete list (and no automatic delete): the delete action is not offered.
    bool canDelete() const;
    // What the last post bound: "VEGENID" (first id taken for the collection's table, else the
    // first id taken) and "VECURRID".
    QVariant lastValue(const QString &name) const { return m_last.value(name); }
    // The statements the automatic lists would run now (for a look in tests and traces).
    QStringList automaticStatements(VeOperation op) const;

    // ---- hooks -----------------------------------------------------------------------
    std::function<void(VeExecContext &)> VeBeforeExec;
    std::function<void(VeExecContext &)> VeAfterExec;
    std::function<void(VeListContext &)> VeBeforeInsert;
    std::function<void(VeListContext &)> VeBeforeUpdate;
    std::function<void()> VeAfterInsert;
    std::function<void()> VeAfterUpdate;
    std::function<void()> VeAfterDelete;

    // Texts of the messages (Italian), one place.
    static QString requiredMessage(const QString &caption);
    static QString deleteQuestion();

Q_SIGNALS:
    void modeChanged(ccp::fw::DataMode mode);
    // A new current row (-1: none).
    void currentChanged(int row);
    // A field of the buffer changed (by the owner or a control).
    void fieldChanged(const QString &field);
    // New current row or changed field: what the frames call a data change.
    void dataChanged();
    // The list was read again from the start: every row index is new.
    void reset();
    // Rows [first, last] now exist (appended to the known list, possibly not read yet).
    void rowsAppended(int first, int last);
    // Rows [first, last] were read (their values changed).
    void rowsLoaded(int first, int last);
    // Rows [first, last] left the list; the rows after them moved up.
    void rowsRemoved(int first, int last);
    void posted(ccp::fw::VeOperation op);

private:
    struct Row
    {
        QList<QVariant> values;
        bool loaded = false;
    };
    struct Plan;

    Status prepareColumns();
    Status buildPlan();
    Status loadBlock(int first) const;
    Status execList(QSqlQuery &q, const QString &sql, const QVariantMap &binds) const;
    Result<bool> loadBlockAfter(int first) const;
    Status loadBlockByKeys(int first) const;
    void markEndAt(int index) const;
    Result<bool> loadBlockBefore(int first, int next) const;
    // Reads the page that starts at the row with these values (at position `first`) by its
    // sort values: no row before it is read.
    Status loadBlockAt(int first, const QList<QVariant> &values);
    QString orderCondition(const QList<QVariant> &values, bool after, QVariantMap *binds) const;
    QString leadingBound(const QList<QVariant> &values, QVariantMap *binds) const;
    QString reversedOrderSql() const;
    Status reload(const QVariant &key);
    Result<bool> refreshTail(const QVariant &key);
    Status refreshRow(const QVariant &key);
    void removeRowAt(int row);
    void indexKeysFrom(int row) const;
    void storeRow(int index, QList<QVariant> values) const;
    bool sameOrderValues(const QList<QVariant> &a, const QList<QVariant> &b) const;
    QList<QVariant> rowValues(const QSqlQuery &q) const;
    Status readFromCursor(int first, int maxRows) const;
    Result<std::optional<QList<QVariant>>> readRowByKey(const QVariant &key) const;
    Result<int> positionOf(const QList<QVariant> &values) const;
    Status bindSelectParams(QSqlQuery &q, const QString &sql) const;
    QString outerSelect(const QString &where, const QString &tail) const;
    QString keyString(const QVariant &key) const;
    void resetRows();
    void setMode(DataMode mode);
    void setCurrentInternal(int row, bool force = false);
    QList<QVariant> emptyBuffer() const;
    Status runList(VeOperation op, QStringList list);
    Status runStatement(VeOperation op, int index, const QString &sql, const QString &table);
    Result<QStringList> tableColumns() const;

    QSqlDatabase m_db;
    QString m_select;
    QString m_where;
    VeParams m_whereParams;
    VeParams m_params;
    QString m_keyField;
    QString m_table;
    QString m_sortKeys;
    VeExpression m_filter;
    bool m_filtered = false;

    bool m_open = false;
    QList<VeColumn> m_columns;
    QHash<QString, int> m_fieldIndex;
    std::unique_ptr<Plan> m_plan;
    mutable QList<Row> m_rows;
    mutable bool m_atEnd = true;
    mutable QHash<QString, int> m_keyIndex;
    mutable std::unique_ptr<QSqlQuery> m_cursor;
    mutable int m_cursorPos = -1;
    mutable std::pair<int, int> m_loaded{-1, -1};  // rows read by the last loadBlock
    int m_current = -1;

    DataMode m_mode = DataMode::Browse;
    QList<QVariant> m_buffer;
    QList<bool> m_changed;
    VeParams m_extraFields;  // buffer values of names that are not columns of the select
    VeParams m_defaults;
    QList<std::pair<QString, QString>> m_required;

    QStringList m_lists[3];
    bool m_autoDelete = false;
    bool m_localRefresh = false;
    VeParams m_last;
    QVariant m_genIdForRow;
    mutable std::optional<QStringList> m_tableColumns;
};

} // namespace ccp::fw
