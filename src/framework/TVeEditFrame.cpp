#include "TVeEditFrame.h"

#include "TVeDBControl.h"
#include "TVeDataSource.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <QAction>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QVBoxLayout>

namespace ccp::fw {

namespace {

// Paints a row that keeps its colours as unselected: its background and normal text show even
// when it is the current row.
class RowColourDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(TVeQueryModel::KeepsColourRole).toBool())
            option->state &= ~QStyle::State_Selected;
    }
};

} // namespace

TVeEditFrame::TVeEditFrame(TVeQueryCollection *collection, QWidget *parent)
    : QWidget(parent), m_collection(collection)
{
    m_source = new TVeDataSource(collection, this);
    m_model = new TVeQueryModel(collection, this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_toolBar = new QToolBar(this);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolBar->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_toolBar);

    struct Def
    {
        Action id;
        QString text;
        QString hint;
        QList<QKeySequence> keys;
    };
    const Def defs[] = {
        {Insert, QStringLiteral("Nuovo"), QStringLiteral("Inserisce una nuova riga (Ins)"), {QKeySequence(Qt::Key_Insert)}},
        {Edit, QStringLiteral("Modifica"), QStringLiteral("Modifica la riga corrente (F2)"), {QKeySequence(Qt::Key_F2)}},
        {Post, QStringLiteral("Salva"), QStringLiteral("Registra le modifiche (F10, Ctrl+Invio)"),
         {QKeySequence(Qt::Key_F10), QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}},
        {Cancel, QStringLiteral("Annulla"), QStringLiteral("Annulla le modifiche (Esc)"), {QKeySequence(Qt::Key_Escape)}},
        {Delete, QStringLiteral("Elimina"), QStringLiteral("Elimina la riga corrente (Ctrl+Canc)"), {QKeySequence(Qt::CTRL | Qt::Key_Delete)}},
        {Refresh, QStringLiteral("Aggiorna"), QStringLiteral("Rilegge l'elenco (F5)"), {QKeySequence(Qt::Key_F5)}},
    };
    for (const Def &d : defs) {
        auto *a = new QAction(d.text, this);
        a->setToolTip(d.hint);
        a->setShortcuts(d.keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
        m_toolBar->addAction(a);
        m_actions[d.id] = a;
        if (d.id == Post || d.id == Refresh)
            m_toolBar->addSeparator();
    }
    m_actions[Insert]->setObjectName(QStringLiteral("xacInsert"));
    m_actions[Edit]->setObjectName(QStringLiteral("xacEdit"));
    m_actions[Post]->setObjectName(QStringLiteral("xacPost"));
    m_actions[Cancel]->setObjectName(QStringLiteral("xacCancel"));
    m_actions[Delete]->setObjectName(QStringLiteral("xacDelete"));
    connect(m_actions[Insert], &QAction::triggered, this, [this]() { insert(); });
    connect(m_actions[Edit], &QAction::triggered, this, [this]() { edit(); });
    connect(m_actions[Post], &QAction::triggered, this, [this]() {
        // Finish what is being typed first, so the owner's checks see it.
        if (!m_source->commitControls())
            return;
        if (OnPostExecute)
            OnPostExecute();
        else
            post();
    });
    connect(m_actions[Cancel], &QAction::triggered, this, [this]() { cancel(); });
    connect(m_actions[Delete], &QAction::triggered, this, [this]() { deleteCurrent(); });
    connect(m_actions[Refresh], &QAction::triggered, this, [this]() { refresh(); });

    // Esc on the detail page while browsing goes back to the list.
    auto *back = new QAction(QStringLiteral("Elenco"), this);
    back->setShortcut(QKeySequence(Qt::Key_Escape));
    back->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    back->setObjectName(QStringLiteral("xacBackToList"));
    addAction(back);
    connect(back, &QAction::triggered, this, [this]() { showPage(ListPage); });
    connect(this, &TVeEditFrame::actionsUpdated, back, [this, back]() {
        back->setEnabled(mode() == 0 && currentPage() == DetailPage);
    });

    auto *spacer = new QWidget(m_toolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolBar->addWidget(spacer);
    m_state = new QLabel(m_toolBar);
    m_state->setContentsMargins(6, 0, 6, 0);
    m_toolBar->addWidget(m_state);

    m_pages = new QTabWidget(this);
    m_pages->setFocusPolicy(Qt::NoFocus);
    m_grid = new QTableView(m_pages);
    m_grid->setModel(m_model);
    m_grid->setItemDelegate(new RowColourDelegate(m_grid));
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setTabKeyNavigation(false);
    m_grid->setSortingEnabled(true);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->installEventFilter(this);
    m_pages->addTab(m_grid, QStringLiteral("&Elenco"));
    m_detail = new QWidget(m_pages);
    auto *detailOuter = new QVBoxLayout(m_detail);
    m_form = new QFormLayout;
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    detailOuter->addLayout(m_form);
    detailOuter->addStretch(1);
    m_pages->addTab(m_detail, QStringLiteral("&Dettaglio"));
    layout->addWidget(m_pages, 1);
    setFocusProxy(m_grid);

    connect(m_grid, &QTableView::doubleClicked, this, [this]() { showPage(DetailPage); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_syncing && current.isValid() && !m_collection->isEditing())
                    m_collection->setCurrentIndex(current.row());
            });
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int page) {
        updateActions();
        if (page == DetailPage && !m_collection->isEditing())
            m_detail->setFocus();
    });
    connect(m_source, &TVeDataSource::modeChanged, this, &TVeEditFrame::onModeChanged);
    connect(m_source, &TVeDataSource::dataChanged, this, [this](const QString &field) {
        if (field.isEmpty())
            syncGridToCollection();
        updateActions();
        Q_EMIT dataChanged(field);
    });
    connect(m_collection, &TVeQueryCollection::reset, this, [this]() {
        syncGridToCollection();
        updateActions();
    });
    connect(m_collection, &TVeQueryCollection::rowsAppended, this, [this]() { updateActions(); });
    connect(m_collection, &TVeQueryCollection::rowsRemoved, this, [this]() { updateActions(); });
    updateActions();
}

TVeEditFrame::~TVeEditFrame() = default;

QString TVeEditFrame::saveQuestion() { return QStringLiteral("Salvare le modifiche?"); }

int TVeEditFrame::mode() const { return m_source->mode(); }

void TVeEditFrame::addField(const QString &caption, TVeDBControl *control, const QString &field)
{
    if (control->caption().isEmpty())
        control->setCaption(QString(caption).remove(QLatin1Char('&')));
    auto *label = new QLabel(caption, m_detail);
    label->setBuddy(control->widget());
    QWidget *w = control->widget();
    // A short code does not need the whole width of the page.
    if (auto *edit = qobject_cast<QLineEdit *>(w); edit && edit->maxLength() <= 40) {
        auto *row = new QHBoxLayout;
        edit->setMaximumWidth(edit->fontMetrics().averageCharWidth() * (edit->maxLength() + 3) + 12);
        row->addWidget(edit);
        row->addStretch(1);
        m_form->addRow(label, row);
    } else {
        m_form->addRow(label, w);
    }
    bind(control, field);
}

void TVeEditFrame::bind(TVeDBControl *control, const QString &field)
{
    if (!field.isEmpty())
        control->setDataField(field);
    if (control->isRequired() && !control->dataField().isEmpty())
        m_collection->setRequired(control->dataField(), control->caption());
    m_source->addControl(control);
}

void TVeEditFrame::lockAction(Action a, bool locked)
{
    m_locked[a] = locked;
    updateActions();
}

void TVeEditFrame::updateActions()
{
    const bool open = m_collection->isOpen();
    const bool browsing = !m_collection->isEditing();
    const bool hasRow = open && m_collection->currentIndex() >= 0;
    const bool enabled[6] = {
        open && browsing,                                         // Insert
        hasRow && browsing,                                       // Edit
        !browsing,                                                // Post
        !browsing,                                                // Cancel
        hasRow && browsing && m_collection->canDelete(),          // Delete
        open && browsing,                                         // Refresh
    };
    for (int i = 0; i < 6; ++i)
        m_actions[i]->setEnabled(enabled[i] && !m_locked[i]);
    static const QString states[] = {QStringLiteral("Consultazione"), QStringLiteral("Inserimento"),
                                     QStringLiteral("Modifica")};
    m_state->setText(states[qBound(0, mode(), 2)]);
    Q_EMIT actionsUpdated();
}

void TVeEditFrame::onModeChanged(int newMode)
{
    const bool editing = newMode != 0;
    // The row being edited cannot change under the user: the list waits.
    m_pages->setTabEnabled(ListPage, !editing);
    m_grid->setEnabled(!editing);
    if (editing)
        showPage(DetailPage);
    updateActions();
    Q_EMIT modeChanged(newMode);
}

void TVeEditFrame::syncGridToCollection()
{
    const int row = m_collection->currentIndex();
    m_syncing = true;
    if (row >= 0) {
        for (int before = -1; m_model->rowCount() <= row && m_model->rowCount() != before
                              && m_model->canFetchMore({});) {
            before = m_model->rowCount();
            m_model->fetchMore({});
        }
        const QModelIndex idx = m_model->index(row, qMax(0, m_grid->currentIndex().column()));
        if (idx.isValid() && m_grid->currentIndex().row() != row) {
            m_grid->setCurrentIndex(idx);
            m_grid->scrollTo(idx);
        }
    } else {
        m_grid->setCurrentIndex({});
    }
    m_syncing = false;
}

void TVeEditFrame::showPage(Page page)
{
    if (page == ListPage && m_collection->isEditing())
        return;
    m_pages->setCurrentIndex(page);
    if (page == ListPage)
        m_grid->setFocus();
    updateActions();
}

TVeEditFrame::Page TVeEditFrame::currentPage() const { return Page(m_pages->currentIndex()); }

void TVeEditFrame::focusFirstControl()
{
    for (TVeDBControl *c : m_source->controls()) {
        QWidget *w = c->widget();
        if (c->isEditable() && w->isVisibleTo(this) && w->isEnabled() && w->focusPolicy() != Qt::NoFocus) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    m_detail->setFocus();
}

bool TVeEditFrame::insert()
{
    if (m_locked[Insert] || m_collection->isEditing())
        return false;
    if (OnBeforeInsert && !OnBeforeInsert())
        return false;
    if (!m_collection->insert())
        return false;
    showPage(DetailPage);
    focusFirstControl();
    return true;
}

bool TVeEditFrame::edit()
{
    if (m_locked[Edit] || m_collection->isEditing() || m_collection->currentIndex() < 0)
        return false;
    if (OnBeforeEdit && !OnBeforeEdit())
        return false;
    if (!m_collection->edit())
        return false;
    showPage(DetailPage);
    focusFirstControl();
    return true;
}

bool TVeEditFrame::post()
{
    if (!m_collection->isEditing())
        return false;
    if (!m_source->commitControls())
        return false;
    QWidget *focused = focusWidget();
    const bool ok = m_collection->post();
    if (!ok && focused)
        focused->setFocus();  // the row stays in edit: back where the user was
    updateActions();
    return ok;
}

void TVeEditFrame::cancel()
{
    if (!m_collection->isEditing())
        return;
    m_collection->cancel();
    m_source->reload();
    updateActions();
}

bool TVeEditFrame::deleteCurrent()
{
    if (m_locked[Delete] || m_collection->isEditing() || m_collection->currentIndex() < 0
        || !m_collection->canDelete())
        return false;
    if (OnBeforeDelete && !OnBeforeDelete())
        return false;
    const bool ok = m_collection->deleteCurrent();
    if (ok && m_collection->currentIndex() < 0)
        showPage(ListPage);
    updateActions();
    return ok;
}

bool TVeEditFrame::refresh()
{
    if (m_collection->isEditing())
        return false;
    const Status s = m_collection->isOpen() ? m_collection->refresh() : m_collection->open();
    if (!s.ok()) {
        showError(s.error());
        return false;
    }
    syncGridToCollection();
    updateActions();
    return true;
}

bool TVeEditFrame::canClose()
{
    if (!m_collection->isEditing())
        return true;
    switch (VeMessageDlg(saveQuestion(), MsgType::Confirmation, MsgButtons::YesNoCancel)) {
    case MsgResult::Yes:
        return post();
    case MsgResult::No:
        cancel();
        return true;
    default:
        return false;
    }
}

void TVeEditFrame::setRowBackground(TVeQueryModel::RowColour hook) { m_model->setRowBackground(std::move(hook)); }

void TVeEditFrame::setRowKeepsColour(std::function<bool(int row)> hook)
{
    m_model->setRowKeepsColour(std::move(hook));
}
void TVeEditFrame::setRowForeground(TVeQueryModel::RowColour hook) { m_model->setRowForeground(std::move(hook)); }

bool TVeEditFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            if (m_grid->currentIndex().isValid())
                showPage(DetailPage);
            return true;
        }
        // Ctrl+End: the last row of the whole list, not of the rows read so far.
        if (key->key() == Qt::Key_End && key->modifiers() == Qt::ControlModifier && !m_collection->isEditing()) {
            if (auto s = m_collection->last(); !s)
                showError(s.error());
            syncGridToCollection();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ccp::fw
