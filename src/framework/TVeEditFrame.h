#pragma once
#include "TVeQueryModel.h"

#include <QWidget>
#include <functional>

class QAction;
class QFormLayout;
class QLabel;
class QTabWidget;
class QTableView;
class QToolBar;

namespace ccp::fw {

class TVeDBControl;
class TVeDataSource;
class TVeQueryCollection;

// The editing frame every window rests on: a list page (grid) and a detail page over one
// collection, a data source binding the detail controls, and the standard actions
// xacInsert (Ins), xacEdit (F2), xacPost (F10, Ctrl+Enter), xacCancel (Esc), xacDelete
// (Ctrl+Del) on a toolbar. Enter or a double click on a grid row opens the detail.
class TVeEditFrame : public QWidget
{
    Q_OBJECT
public:
    enum Action { Insert, Edit, Post, Cancel, Delete, Refresh };
    enum Page { ListPage = 0, DetailPage = 1 };

    explicit TVeEditFrame(TVeQueryCollection *collection, QWidget *parent = nullptr);
    ~TVeEditFrame() override;

    TVeQueryCollection *collection() const { return m_collection; }
    TVeDataSource *dataSource() const { return m_source; }
    TVeQueryModel *model() const { return m_model; }
    QTableView *grid() const { return m_grid; }
    QToolBar *toolBar() const { return m_toolBar; }
    QTabWidget *pages() const { return m_pages; }
    QWidget *detailPage() const { return m_detail; }
    // Form layout of the detail page; addField puts a captioned control in it and binds it.
    QFormLayout *detailLayout() const { return m_form; }
    void addField(const QString &caption, TVeDBControl *control, const QString &field = {});
    // Binds a control placed by the owner.
    void bind(TVeDBControl *control, const QString &field = {});

    QAction *action(Action a) const { return m_actions[a]; }
    QAction *xacInsert() const { return m_actions[Insert]; }
    QAction *xacEdit() const { return m_actions[Edit]; }
    QAction *xacPost() const { return m_actions[Post]; }
    QAction *xacCancel() const { return m_actions[Cancel]; }
    QAction *xacDelete() const { return m_actions[Delete]; }
    // A locked action stays disabled whatever the state (e.g. a causale in use).
    void lockAction(Action a, bool locked);
    bool isLocked(Action a) const { return m_locked[a]; }

    // 0 browse, 1 insert, 2 edit.
    int mode() const;

    // Owner's handler of xacPost: validates, then calls post() or shows its message. Without
    // one the action posts directly.
    std::function<void()> OnPostExecute;
    // Owner's checks before inserting / editing / deleting (false abandons silently).
    std::function<bool()> OnBeforeInsert;
    std::function<bool()> OnBeforeEdit;
    std::function<bool()> OnBeforeDelete;

    // The operations behind the actions (also for owners and tests).
    bool insert();
    bool edit();
    bool post();
    void cancel();
    bool deleteCurrent();
    bool refresh();

    void showPage(Page page);
    Page currentPage() const;

    // Asks what to do with a row being edited before the window closes: "Sì" posts, "No"
    // cancels, "Annulla" keeps the window open (false).
    bool canClose();

    // Row painting: background / text colour of a row, or nothing for the default.
    void setRowBackground(TVeQueryModel::RowColour hook);
    void setRowForeground(TVeQueryModel::RowColour hook);
    void setRowKeepsColour(std::function<bool(int row)> hook);

    static QString saveQuestion();
    // Recomputes the enabled states (after the owner changed the collection's lists).
    void updateActions();

Q_SIGNALS:
    void modeChanged(int mode);
    // New current row or changed field (empty name: the whole row).
    void dataChanged(const QString &field);
    // The enabled states of the actions were recomputed.
    void actionsUpdated();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onModeChanged(int mode);
    void syncGridToCollection();
    void focusFirstControl();

    TVeQueryCollection *m_collection;
    TVeDataSource *m_source;
    TVeQueryModel *m_model;
    QToolBar *m_toolBar;
    QTabWidget *m_pages;
    QTableView *m_grid;
    QWidget *m_detail;
    QFormLayout *m_form;
    QLabel *m_state;
    QAction *m_actions[6] = {};
    bool m_locked[6] = {};
    bool m_syncing = false;
};

} // namespace ccp::fw
