#include "VeFRptMultiSelect.h"

#include "EbsMReport.h"
#include "Money.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <numeric>
#include <QPushButton>
#include <QVBoxLayout>

namespace ccp::reports {

namespace {
const QString metadataMarker = QStringLiteral("/* ONLYMETADATA */");
// Firebird takes at most 1500 values in one IN list.
constexpr int inListLimit = 1000;
} // namespace

ReportFilter keyFilter(const QString &keyExpr, const QVariantList &keys)
{
    ReportFilter f;
    if (keys.isEmpty()) {
        f.condition = QStringLiteral("0 = 1");
        return f;
    }
    QStringList lists;
    QStringList items;
    for (const QVariant &k : keys) {
        bool whole = false;
        const qlonglong n = k.toLongLong(&whole);
        if (whole && k.toString().trimmed() == QString::number(n)) {
            items << QString::number(n);
        } else {
            const QString name = QStringLiteral("vrf%1").arg(f.params.size());
            f.params.insert(name, k);
            items << u':' + name;
        }
        if (items.size() == inListLimit) {
            lists << QStringLiteral("%1 IN (%2)").arg(keyExpr, items.join(u','));
            items.clear();
        }
    }
    if (!items.isEmpty())
        lists << QStringLiteral("%1 IN (%2)").arg(keyExpr, items.join(u','));
    f.condition = lists.join(QStringLiteral(" OR "));
    return f;
}

QString withFilter(const QString &sql, const ReportFilter &filter)
{
    return RptSql::withReportFilter(sql, filter.condition);
}

Result<QStringList> metadataColumns(QSqlDatabase db, const QString &sql, const QVariantMap &params)
{
    QString text = sql;
    text.replace(metadataMarker, QStringLiteral(" AND (0 = 1) "));
    auto t = readTable(db, text, params);
    if (!t)
        return t.status();
    return t.value().columns();
}

int contextInt(const char *key)
{
    return fw::TVeGlobalValuesManager::instance().intValue(QString::fromLatin1(key));
}

QDate contextDate(const char *key)
{
    const QVariant v = fw::GetValues(QString::fromLatin1(key));
    return v.isNull() ? QDate() : v.toDate();
}

bool fillCombo(QComboBox *combo, QSqlDatabase db, const QString &sql, const QVariantMap &params)
{
    const QSignalBlocker block(combo);
    combo->clear();
    auto t = readTable(db, sql, params);
    if (!t) {
        fw::showError(t.error());
        return false;
    }
    for (int r = 0; r < t.value().rowCount(); ++r)
        combo->addItem(t.value().value(r, 1).toString().trimmed(), t.value().value(r, 0));
    return true;
}

void TVeCheckModel::setColumns(const QList<Column> &columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void TVeCheckModel::setTable(DataTable table)
{
    beginResetModel();
    m_table = std::move(table);
    m_ticks = QList<bool>(m_table.rowCount(), true);
    endResetModel();
    Q_EMIT ticksChanged();
}

void TVeCheckModel::setTicked(int row, bool ticked)
{
    if (row < 0 || row >= m_ticks.size() || m_ticks[row] == ticked)
        return;
    m_ticks[row] = ticked;
    Q_EMIT dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
    Q_EMIT ticksChanged();
}

void TVeCheckModel::tickAll(bool ticked)
{
    m_ticks.fill(ticked);
    if (!m_ticks.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_ticks.size()) - 1, 0), {Qt::CheckStateRole});
    Q_EMIT ticksChanged();
}

int TVeCheckModel::tickedCount() const
{
    return int(m_ticks.count(true));
}

QVariantList TVeCheckModel::tickedValues(const QString &field) const
{
    QVariantList out;
    for (int r = 0; r < m_ticks.size(); ++r) {
        if (m_ticks[r])
            out << m_table.value(r, field);
    }
    return out;
}

void TVeCheckModel::sortBy(const QStringList &fields)
{
    QList<int> cols;
    for (const QString &f : fields) {
        if (const int c = m_table.column(f.trimmed().toLower()); c >= 0)
            cols << c;
    }
    QList<int> order(m_table.rowCount());
    std::iota(order.begin(), order.end(), 0);
    auto less = [&](int a, int b) {
        for (int c : cols) {
            const QVariant &x = m_table.value(a, c);
            const QVariant &y = m_table.value(b, c);
            int cmp = 0;
            if (x.isNull() || y.isNull())
                cmp = int(y.isNull()) - int(x.isNull());
            else if (x.typeId() == QMetaType::QString)
                cmp = QString::localeAwareCompare(x.toString().trimmed(), y.toString().trimmed());
            else if (const auto o = QVariant::compare(x, y); o == QPartialOrdering::Less)
                cmp = -1;
            else if (o == QPartialOrdering::Greater)
                cmp = 1;
            if (cmp != 0)
                return cmp < 0;
        }
        return false;
    };
    std::stable_sort(order.begin(), order.end(), less);
    DataTable sorted(m_table.columns());
    QList<bool> ticks;
    for (int r : order) {
        QVariantList row;
        for (int c = 0; c < m_table.columns().size(); ++c)
            row << m_table.value(r, c);
        sorted.addRow(row);
        ticks << m_ticks.value(r);
    }
    beginResetModel();
    m_table = std::move(sorted);
    m_ticks = ticks;
    endResetModel();
}

int TVeCheckModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_table.rowCount();
}

int TVeCheckModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TVeCheckModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::CheckStateRole && index.column() == 0)
        return m_ticks.value(index.row()) ? Qt::Checked : Qt::Unchecked;
    const QString &field = m_columns[index.column()].field;
    const QVariant v = m_table.value(index.row(), field);
    const bool money = field.startsWith(u'f') && !v.isNull();
    if (role == Qt::TextAlignmentRole)
        return money ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role != Qt::DisplayRole)
        return {};
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    if (money)
        return Money::fromVariant(v).toList();
    return v.toString().trimmed();
}

bool TVeCheckModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole)
        return false;
    setTicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags TVeCheckModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant TVeCheckModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= m_columns.size())
        return {};
    return m_columns[section].caption;
}

TfrVeCheckGrid::TfrVeCheckGrid(QWidget *parent) : QTableView(parent), m_model(new TVeCheckModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    setTabKeyNavigation(false);
}

void TfrVeCheckGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && currentIndex().isValid()) {
        const int row = currentIndex().row();
        m_model->setTicked(row, !m_model->isTicked(row));
        return;
    }
    QTableView::keyPressEvent(event);
}

TfmVeMultiSelect::TfmVeMultiSelect(QSqlDatabase db, QWidget *parent)
    : fw::TVeDialog(QStringLiteral("Selezione"), parent), m_db(std::move(db))
{
    m_form = new QFormLayout;
    contentLayout()->addLayout(m_form);
    m_order = new QComboBox;
    m_grid = new TfrVeCheckGrid(this);
    m_grid->setMinimumSize(520, 260);
    contentLayout()->addWidget(m_grid, 1);
    m_gridButtons = new QWidget(this);
    auto *row = new QHBoxLayout(m_gridButtons);
    row->setContentsMargins(0, 0, 0, 0);
    auto *all = new QPushButton(QStringLiteral("Seleziona t&utti"), m_gridButtons);
    auto *none = new QPushButton(QStringLiteral("Deselezi&ona tutti"), m_gridButtons);
    all->setAutoDefault(false);
    none->setAutoDefault(false);
    row->addWidget(all);
    row->addWidget(none);
    row->addStretch();
    contentLayout()->addWidget(m_gridButtons);
    connect(all, &QPushButton::clicked, this, [this] { rows()->tickAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { rows()->tickAll(false); });
    m_orderLabel = new QLabel(QStringLiteral("O&rdine"), m_gridButtons);
    m_orderLabel->setBuddy(m_order);
    row->addWidget(m_orderLabel);
    row->addWidget(m_order);
    m_order->hide();
    m_orderLabel->hide();
    connect(m_order, &QComboBox::currentIndexChanged, this, [this] {
        rows()->sortBy(m_order->currentData().toString().split(u';'));
    });
    m_grid->hide();
    m_gridButtons->hide();
}

void TfmVeMultiSelect::setSortOrders(const QStringList &orders)
{
    const QSignalBlocker block(m_order);
    m_order->clear();
    for (const QString &order : orders) {
        // Shown by the captions of the columns it names.
        QStringList names;
        for (const QString &field : order.split(u';')) {
            QString caption = field;
            for (const TVeCheckModel::Column &c : m_columns) {
                if (c.field.compare(field, Qt::CaseInsensitive) == 0)
                    caption = c.caption;
            }
            names << caption;
        }
        m_order->addItem(names.join(QStringLiteral(", ")), order);
    }
    m_order->setVisible(!orders.isEmpty());
    m_orderLabel->setVisible(!orders.isEmpty());
}

void TfmVeMultiSelect::setSelectText(const QString &sql)
{
    m_sql = sql;
    m_grid->setVisible(!sql.isEmpty());
    m_gridButtons->setVisible(!sql.isEmpty());
}

void TfmVeMultiSelect::setColumns(const QList<TVeCheckModel::Column> &columns)
{
    m_columns = columns;
    rows()->setColumns(columns);
}

void TfmVeMultiSelect::setKeyField(const QString &field, const QString &expression)
{
    m_keyField = field;
    m_keyExpr = expression;
}

void TfmVeMultiSelect::reload()
{
    if (m_sql.isEmpty())
        return;
    // Only the parameters the text names are bound.
    QVariantMap used;
    for (auto it = m_params.begin(); it != m_params.end(); ++it) {
        if (m_sql.contains(u':' + it.key(), Qt::CaseInsensitive))
            used.insert(it.key(), it.value());
    }
    auto t = readTable(m_db, m_sql, used);
    if (!t) {
        fw::showError(t.error());
        rows()->setTable(DataTable());
        return;
    }
    rows()->setTable(std::move(t.value()));
    if (m_order->count() > 0)
        rows()->sortBy(m_order->currentData().toString().split(u';'));
    m_grid->resizeColumnsToContents();
    if (rows()->rowCount() > 0)
        m_grid->setCurrentIndex(rows()->index(0, 0));
}

ReportFilter TfmVeMultiSelect::filter() const
{
    if (m_sql.isEmpty() || m_keyField.isEmpty() || rows()->tickedCount() == rows()->rowCount())
        return {};
    return keyFilter(m_keyExpr, rows()->tickedValues(m_keyField));
}

bool TfmVeMultiSelect::validate()
{
    if (hasGrid() && rows()->rowCount() > 0 && rows()->tickedCount() == 0) {
        fw::showWarning(QStringLiteral("Nessuna riga selezionata: impossibile procedere."));
        m_grid->setFocus();
        return false;
    }
    return fw::TVeDialog::validate();
}

} // namespace ccp::reports
