#pragma once
#include "TVeSearchCondition.h"

#include <QDialog>
#include <QSqlDatabase>
#include <QVariantMap>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QTableView;
class QTimer;

namespace ccp::fw {

class TVeQueryCollection;
class TVeQueryModel;

// Search window: lists the rows of a select (with a ##WHERE## slot); what the user types in
// the search box narrows the list to the rows whose searchable columns contain it (the text
// is bound, never written into the SQL). Enter or a double click chooses, Esc cancels.
// Subclasses put their own selectors in topArea().
class TfmVeSearch : public QDialog
{
    Q_OBJECT
public:
    explicit TfmVeSearch(QSqlDatabase db, QWidget *parent = nullptr);
    ~TfmVeSearch() override;

    void setSelectText(const QString &sql);
    QString selectText() const;
    void setParam(const QString &name, const QVariant &value);
    // The select's field holding a row's key (default: the first).
    void setKeyField(const QString &field);
    // Columns in the order of the select's fields; none: every field shown, none searchable.
    void setColumns(const QList<SearchColumn> &columns);
    void addColumn(const QString &field, const QString &title, bool searchable, int width = -1,
                   bool visible = true);
    const QList<SearchColumn> &columns() const { return m_columns; }
    void setSortKeys(const QString &keys);
    // Milliseconds between the last key typed and the search (0: at once).
    void setTypingDelay(int ms);

    // Reads the list (with the current search text); false after showing the server's error.
    bool openList();
    // Text in the search box; applied at once when the list is open.
    void setSearchText(const QString &text);
    QString searchText() const;
    // Preselects the row with this key (when it is in the list).
    void locateKey(const QVariant &key);

    // The chosen row (valid after exec() returned Accepted).
    QVariant chosenKey() const { return m_chosenKey; }
    QVariant chosenValue(const QString &field) const;
    const QVariantMap &chosenRow() const { return m_chosenRow; }

    TVeQueryCollection *collection() const { return m_collection; }
    TVeQueryModel *model() const { return m_model; }
    QTableView *grid() const { return m_grid; }
    QLineEdit *searchEdit() const { return m_search; }
    QHBoxLayout *topArea() const { return m_top; }

    // Chooses the current row of the grid and closes with Accepted (false when no row).
    bool choose();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // Puts the search condition into the list; subclasses may add their own terms.
    virtual SearchCondition searchCondition(const QString &text) const;
    void applySearch();

private:
    void applyColumns();
    void updateCount();

    TVeQueryCollection *m_collection;
    TVeQueryModel *m_model;
    QHBoxLayout *m_top;
    QLineEdit *m_search;
    QTableView *m_grid;
    QLabel *m_count;
    QTimer *m_typing;
    QList<SearchColumn> m_columns;
    QString m_appliedText;
    QVariant m_chosenKey;
    QVariantMap m_chosenRow;
};

} // namespace ccp::fw
