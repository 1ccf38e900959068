#pragma once
#include "Result.h"
#include "TVeFilter.h"

#include <QSqlDatabase>
#include <QWidget>
#include <functional>

class QAction;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ccp::fw {
class TfmVeFilter;
}

namespace ccp::directdebit {

// Two lists of pupils' coordinates, "Alunni disponibili" and "Alunni selezionati": rows move
// between them by the buttons or a double click; the filter narrows the available ones.
class TfrEbcDblLstAcbSelect : public QWidget
{
    Q_OBJECT
public:
    explicit TfrEbcDblLstAcbSelect(QSqlDatabase db, QWidget *parent = nullptr);
    ~TfrEbcDblLstAcbSelect() override;

    // The coordinates statement, with a filter placeholder ("/*AND VERPTFILTER*/").
    void setSelectText(const QString &sql) { m_select = sql; }
    // Where saved filters are kept ("usr/ebc/filter" of the main directory).
    void setFilterFolder(const QString &folder) { m_filterFolder = folder; }
    const QString &filterFolder() const { return m_filterFolder; }
    // Reads the filter definition stored under "EBC_ACBFL".
    Status loadFilterDefinition();
    // Empties both lists and fills the available one (with the filter when applied).
    Status fill();

    // The chosen coordinates' ids, in the order of the list.
    QList<int> selectedIds() const;
    const QString &condition() const { return m_condition; }
    bool isFilterApplied() const { return m_applied; }
    // Sets the filter condition (as the dialog does on OK) and refills.
    Status setCondition(const QString &condition);

    QTreeWidget *lvDisponibili;
    QTreeWidget *lvSelezionati;
    QPushButton *btAdd;
    QPushButton *btAddAll;
    QPushButton *btRemove;
    QPushButton *btRemoveAll;
    QAction *acFilter;
    QAction *acApplyFilter;
    QAction *acSaveFilter;
    QAction *acLoadFilter;

    // Runs the filter dialog (tests answer it); default: exec().
    std::function<int(fw::TfmVeFilter &dialog)> ShowFilterDialog;
    // Asks for a saved filter's file (empty: cancelled); default: the file dialogs.
    std::function<QString(bool save)> AskFilterFile;

    fw::TfmVeFilter *filterDialog();

Q_SIGNALS:
    void selectionChanged();

private:
    void move(QTreeWidget *from, QTreeWidget *to, bool all);
    void onFilter();
    void onApplyFilter(bool on);
    void onSaveFilter();
    void onLoadFilter();
    void showApplied();

    QSqlDatabase m_db;
    QString m_select;
    QString m_filterFolder;
    fw::FilterDefinition m_definition;
    bool m_hasDefinition = false;
    fw::TfmVeFilter *m_dialog = nullptr;
    QString m_condition;
    bool m_applied = false;
};

} // namespace ccp::directdebit
