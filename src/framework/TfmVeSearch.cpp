#include "TfmVeSearch.h"

#include "TVeQueryCollection.h"
#include "TVeQueryModel.h"
#include "VeMessageDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace ccp::fw {

TfmVeSearch::TfmVeSearch(QSqlDatabase db, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Finestra di ricerca"));
    setModal(true);
    m_collection = new TVeQueryCollection(db, this);
    m_model = new TVeQueryModel(m_collection, this);

    auto *layout = new QVBoxLayout(this);
    m_top = new QHBoxLayout;
    layout->addLayout(m_top);

    auto *searchRow = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("&Cerca:"), this);
    m_search = new QLineEdit(this);
    m_search->setClearButtonEnabled(true);
    m_search->setPlaceholderText(QStringLiteral("testo contenuto nelle colonne di ricerca"));
    label->setBuddy(m_search);
    searchRow->addWidget(label);
    searchRow->addWidget(m_search, 1);
    layout->addLayout(searchRow);

    m_grid = new QTableView(this);
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSortingEnabled(true);
    m_grid->horizontalHeader()->setSortIndicatorShown(false);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->setAlternatingRowColors(true);
    m_grid->setTabKeyNavigation(false);
    layout->addWidget(m_grid, 1);

    auto *bottom = new QHBoxLayout;
    m_count = new QLabel(this);
    bottom->addWidget(m_count, 1);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    ok->setAutoDefault(false);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    m_typing = new QTimer(this);
    m_typing->setSingleShot(true);
    m_typing->setInterval(300);
    connect(m_typing, &QTimer::timeout, this, &TfmVeSearch::applySearch);
    connect(m_search, &QLineEdit::textChanged, this, [this]() { m_typing->start(); });
    connect(m_grid, &QTableView::doubleClicked, this, [this]() { choose(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this]() { choose(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_collection, &TVeQueryCollection::reset, this, &TfmVeSearch::updateCount);
    connect(m_collection, &TVeQueryCollection::rowsAppended, this, &TfmVeSearch::updateCount);
    connect(m_collection, &TVeQueryCollection::rowsRemoved, this, &TfmVeSearch::updateCount);

    m_search->installEventFilter(this);
    m_grid->installEventFilter(this);
    setTabOrder(m_search, m_grid);
    resize(500, 400);
}

TfmVeSearch::~TfmVeSearch() = default;

void TfmVeSearch::setSelectText(const QString &sql) { m_collection->setSelectText(sql); }
QString TfmVeSearch::selectText() const { return m_collection->selectText(); }
void TfmVeSearch::setParam(const QString &name, const QVariant &value) { m_collection->setParam(name, value); }
void TfmVeSearch::setKeyField(const QString &field) { m_collection->setKeyField(field); }
void TfmVeSearch::setSortKeys(const QString &keys) { m_collection->setSortKeys(keys); }
void TfmVeSearch::setTypingDelay(int ms) { m_typing->setInterval(ms); }

void TfmVeSearch::setColumns(const QList<SearchColumn> &columns)
{
    m_columns = columns;
    applyColumns();
}

void TfmVeSearch::addColumn(const QString &field, const QString &title, bool searchable, int width, bool visible)
{
    m_columns << SearchColumn::make(field, title, searchable, width, visible);
    applyColumns();
}

void TfmVeSearch::applyColumns()
{
    if (m_columns.isEmpty())
        return;
    QList<TVeQueryModel::Column> shown;
    for (const SearchColumn &c : std::as_const(m_columns)) {
        if (!c.visible)
            continue;
        TVeQueryModel::Column mc;
        mc.field = c.field;
        mc.caption = c.title;
        mc.width = c.width;
        shown << mc;
    }
    m_model->setColumns(shown);
    int total = 0;
    for (int i = 0; i < shown.size(); ++i) {
        if (shown[i].width > 0)
            m_grid->setColumnWidth(i, shown[i].width);
        total += m_grid->columnWidth(i);
    }
    // Wide enough to show every column whole, within the screen.
    const int wanted = total + m_grid->verticalScrollBar()->sizeHint().width() + 2 * m_grid->frameWidth() + 40;
    const QScreen *s = screen();
    const int room = s ? s->availableGeometry().width() * 9 / 10 : wanted;
    if (wanted > width())
        resize(qMin(wanted, room), height());
}

SearchCondition TfmVeSearch::searchCondition(const QString &text) const
{
    return VeSearch::contains(m_collection->selectText(), m_columns, text);
}

bool TfmVeSearch::openList()
{
    m_appliedText = m_search->text().trimmed();
    const SearchCondition cond = searchCondition(m_appliedText);
    m_collection->setWhere(cond.sql, cond.params);
    const Status s = m_collection->isOpen() ? m_collection->refresh() : m_collection->open();
    if (!s.ok()) {
        showError(s.error());
        return false;
    }
    applyColumns();
    if (m_model->rowCount() > 0 && !m_grid->currentIndex().isValid())
        m_grid->setCurrentIndex(m_model->index(0, 0));
    updateCount();
    return true;
}

void TfmVeSearch::applySearch()
{
    m_typing->stop();
    if (m_search->text().trimmed() == m_appliedText && m_collection->isOpen())
        return;
    // The cursor stays in its column: windows that search the current column rely on it.
    const int column = qMax(0, m_grid->currentIndex().column());
    const Status s = [&]() {
        m_appliedText = m_search->text().trimmed();
        const SearchCondition cond = searchCondition(m_appliedText);
        m_collection->setWhere(cond.sql, cond.params);
        m_collection->close();
        return m_collection->open();
    }();
    if (!s.ok()) {
        showError(s.error());
        return;
    }
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, qMin(column, m_model->columnCount() - 1)));
    updateCount();
}

void TfmVeSearch::setSearchText(const QString &text)
{
    m_search->setText(text);
    if (m_collection->isOpen())
        applySearch();
}

QString TfmVeSearch::searchText() const { return m_search->text(); }

void TfmVeSearch::locateKey(const QVariant &key)
{
    if (key.isNull() || !m_collection->isOpen())
        return;
    const Result<int> row = m_collection->locate(key);
    if (row.ok() && *row >= 0) {
        for (int before = -1; m_model->rowCount() <= *row && m_model->rowCount() != before
                              && m_model->canFetchMore({});) {
            before = m_model->rowCount();
            m_model->fetchMore({});
        }
        m_grid->setCurrentIndex(m_model->index(*row, 0));
        m_grid->scrollTo(m_grid->currentIndex());
    }
}

QVariant TfmVeSearch::chosenValue(const QString &field) const
{
    for (auto it = m_chosenRow.cbegin(); it != m_chosenRow.cend(); ++it)
        if (it.key().compare(field, Qt::CaseInsensitive) == 0)
            return it.value();
    return {};
}

bool TfmVeSearch::choose()
{
    if (m_typing->isActive())
        applySearch();
    const QModelIndex current = m_grid->currentIndex();
    const int row = current.isValid() ? current.row() : (m_model->rowCount() == 1 ? 0 : -1);
    if (row < 0)
        return false;
    m_chosenRow.clear();
    for (int f = 0; f < m_collection->fieldCount(); ++f)
        m_chosenRow.insert(m_collection->columns()[f].name, m_collection->value(row, f));
    m_chosenKey = m_collection->keyOf(row);
    accept();
    return true;
}

void TfmVeSearch::updateCount()
{
    const int n = m_model->rowCount();
    const bool more = m_collection->canFetchMore();
    m_count->setText(n == 1 && !more ? QStringLiteral("1 riga")
                                     : QStringLiteral("%1%2 righe").arg(n).arg(more ? QStringLiteral("+") : QString()));
}

void TfmVeSearch::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_collection->isOpen())
        openList();
    m_search->setFocus();
    m_search->selectAll();
}

bool TfmVeSearch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_search) {
        switch (key->key()) {
        case Qt::Key_Down:
        case Qt::Key_Up:
        case Qt::Key_PageDown:
        case Qt::Key_PageUp:
            // Move in the list without leaving the search box.
            if (m_typing->isActive())
                applySearch();
            QApplication::sendEvent(m_grid, event);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            choose();
            return true;
        default:
            break;
        }
    } else if (watched == m_grid && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        choose();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ccp::fw
