#pragma once
#include "TVeDBControl.h"
#include "Result.h"
#include "TVeSearchCondition.h"

#include <QSqlDatabase>
#include <QVariantMap>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QToolButton;

namespace ccp::fw {

class TfmVeSearch;

// Data-aware lookup for a key field: shows the chosen row's text (list field) and stores its
// key. Typing a text and leaving looks it up directly (exact match first, then "contains");
// several matches open the search window with the text, none is refused. F8 or the button
// opens the search window.
class TVeDBLookupEdit : public QWidget, public TVeDBControl
{
    Q_OBJECT
public:
    explicit TVeDBLookupEdit(QSqlDatabase db, QWidget *parent = nullptr);
    ~TVeDBLookupEdit() override;

    // The select listing the choices, with a ##WHERE## slot.
    void setSearchQuery(const QString &sql) { m_select = sql; }
    // The select's key field ("iMpgId" or "Tcc.iTccId": the part after the dot names the field).
    void setKeyField(const QString &field) { m_keyField = field; }
    // The select's field shown in the edit.
    void setListField(const QString &field) { m_listField = field; }
    // SQL expression a typed text is compared with (default: the list field's expression).
    void setSearchField(const QString &expression) { m_searchField = expression; }
    // Optional field shown read-only beside the edit.
    void setDescriptionField(const QString &field);
    // Named parameters of the select.
    void setParam(const QString &name, const QVariant &value) { m_params.insert(name, value); }
    // Title and columns of the search window when OnShowSearchForm does not set them.
    void setSearchTitle(const QString &title) { m_title = title; }
    void setSearchColumns(const QList<SearchColumn> &columns) { m_columns = columns; }
    void setSearchWidth(int width) { m_width = width; }
    // Accepts only these typed characters (e.g. none: the value is chosen in the window).
    void setReadOnly(bool readOnly) { setReadOnlyByOwner(readOnly); }

    // ---- events --------------------------------------------------------------------------
    // The select listing the choices (overrides setSearchQuery when set).
    std::function<QString()> OnSetSearchQuery;
    // Titles the search window and sets its columns and size before it opens.
    std::function<void(TfmVeSearch &form)> OnShowSearchForm;
    // Builds the search window (a specialised one); default: TfmVeSearch.
    std::function<TfmVeSearch *(QWidget *parent)> CreateSearchForm;
    // After the search window closed with a choice (before the value is taken).
    std::function<void(TfmVeSearch &form)> OnSearchFormClosed;
    // Checks a chosen or typed value; false refuses it (the handler shows why).
    std::function<bool(const QVariant &key, const QVariantMap &row)> OnValidate;
    // After the user chose a new value.
    std::function<void()> OnChangeFKValue;

    QVariant key() const { return m_key; }
    QString text() const;
    // The chosen row's values (field -> value); empty when nothing is chosen.
    const QVariantMap &row() const { return m_row; }
    QVariant rowValue(const QString &field) const;
    // Sets the value as if the user had chosen it (runs OnValidate and OnChangeFKValue).
    bool chooseKey(const QVariant &key);

    QVariant fieldValue() const override { return m_key; }
    void setFieldValue(const QVariant &value) override;
    bool commitText() override;
    QWidget *widget() override { return this; }

    // Opens the search window; true when the user chose a row.
    bool openSearch();
    QLineEdit *lineEdit() const { return m_edit; }
    QToolButton *button() const { return m_button; }

    static QString notFoundMessage(const QString &text);

Q_SIGNALS:
    void keyChanged(const QVariant &key);

protected:
    void applyEditable(bool editable) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString currentSelect() const;
    QString keyExpression() const;
    QString keyName() const;
    QString listExpression() const;
    // Rows of the select matching a condition (at most `limit`).
    ccp::Result<QList<QVariantMap>> rows(const SearchCondition &cond, int limit) const;
    bool take(const QVariantMap &row);  // validate, store, notify
    void show(const QVariantMap &row);
    void restore();

    QSqlDatabase m_db;
    QLineEdit *m_edit;
    QToolButton *m_button;
    QLabel *m_description = nullptr;
    QString m_select;
    QString m_keyField;
    QString m_listField;
    QString m_searchField;
    QString m_descriptionField;
    QVariantMap m_params;
    QString m_title;
    QList<SearchColumn> m_columns;
    int m_width = -1;
    QVariant m_key;
    QVariantMap m_row;
    bool m_typed = false;
    bool m_busy = false;
};

} // namespace ccp::fw
