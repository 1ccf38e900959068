#include "AbiFBenSearch.h"

#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "TVeQueryModel.h"
#include "VeMessageDlg.h"
#include "VeSql.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace ccp::ben {

namespace {

void greyPlaceholder(QLineEdit *edit, const QString &text)
{
    edit->setPlaceholderText(text);
    QPalette pal = edit->palette();
    pal.setColor(QPalette::PlaceholderText, QColor(0xC0, 0xC0, 0xC0));
    edit->setPalette(pal);
}

} // namespace

// ---- the search window ----------------------------------------------------------------------------

TfmAbiBenSearch::TfmAbiBenSearch(QSqlDatabase db, QWidget *parent) : fw::TfmVeSearch(db, parent)
{
    setObjectName(QStringLiteral("TfmAbiBenSearch"));
    setWindowTitle(QStringLiteral("Cerca Beneficiario"));
    for (QLabel *l : findChildren<QLabel *>())
        if (l->buddy() == searchEdit())
            l->setText(QStringLiteral("&Cerca..."));
    greyPlaceholder(searchEdit(), QStringLiteral("<Cerca Beneficiario>"));
    searchEdit()->setStyleSheet(QStringLiteral("QLineEdit:focus { background-color: #FFFF84; }"));
    setTypingDelay(TypingDelayMs);
    connect(grid()->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (!current.isValid() || current.column() == m_column)
                    return;
                const bool first = m_column < 0;
                m_column = current.column();
                // Another column: its own search, from nothing.
                if (!first && !searchEdit()->text().isEmpty())
                    setSearchText(QString());
            });
}

bool TfmAbiBenSearch::eventFilter(QObject *watched, QEvent *event)
{
    // Alt+Left / Alt+Right choose the column to search without leaving the text.
    if (watched == searchEdit() && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const int step = key->key() == Qt::Key_Left ? -1 : key->key() == Qt::Key_Right ? 1 : 0;
        if (step != 0 && (key->modifiers() & Qt::AltModifier)) {
            const int column = qBound(0, qMax(0, m_column) + step, model()->columnCount() - 1);
            if (column != m_column && model()->rowCount() == 0)
                setSearchText(QString());   // nothing found: another column starts from the whole list
            const QModelIndex at = grid()->currentIndex();
            grid()->setCurrentIndex(model()->index(at.isValid() ? at.row() : 0, column));
            return true;
        }
    }
    return fw::TfmVeSearch::eventFilter(watched, event);
}

QString TfmAbiBenSearch::searchField() const
{
    const int column = qMax(0, m_column);
    int shown = 0;
    for (const fw::SearchColumn &c : columns()) {
        if (!c.visible)
            continue;
        if (shown++ == column)
            return c.field;
    }
    const auto &fields = collection()->columns();
    return column < fields.size() ? fields[column].name : QString();
}

fw::SearchCondition TfmAbiBenSearch::searchCondition(const QString &text) const
{
    const QString field = searchField();
    if (field.isEmpty())
        return {QStringLiteral("(1=1)"), {}};
    return fw::VeSearch::contains(collection()->selectText(), {fw::SearchColumn::make(field, QString(), true, -1)}, text);
}

// ---- the multi-selection ------------------------------------------------------------------------------

TfmAbiMultiSelectBen::TfmAbiMultiSelectBen(QSqlDatabase db, QWidget *parent)
    : QDialog(parent), m_db(std::move(db)), m_select(defaultSelect())
{
    setObjectName(QStringLiteral("TfmAbiMultiSelectBen"));
    setWindowTitle(QStringLiteral("Seleziona il Beneficiario"));
    auto *layout = new QVBoxLayout(this);

    auto *filters = new QGroupBox(QStringLiteral("Filtri..."), this);
    auto *fl = new QVBoxLayout(filters);
    ckStorico = new QCheckBox(QStringLiteral("Visualizza Beneficiari &Storicizzati"), filters);
    ckTracciabilita = new QCheckBox(QStringLiteral("Visualizza Beneficiari con obbligo di &tracciabilità da assolvere"), filters);
    ckOil = new QCheckBox(QStringLiteral("Visualizza Beneficiari con dati &OIL incompleti"), filters);
    for (QCheckBox *b : {ckStorico, ckTracciabilita, ckOil}) {
        fl->addWidget(b);
        connect(b, &QCheckBox::clicked, this, &TfmAbiMultiSelectBen::boxClicked);
    }
    auto *row = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("&Filtra..."), filters);
    edFiltra = new QLineEdit(filters);
    edFiltra->setObjectName(QStringLiteral("edFiltra"));
    edFiltra->setMaxLength(120);
    greyPlaceholder(edFiltra, QStringLiteral("<Cerca Beneficiario>"));
    label->setBuddy(edFiltra);
    row->addWidget(label);
    row->addWidget(edFiltra, 1);
    fl->addLayout(row);
    auto *warning = new QLabel(QStringLiteral("<b>ATTENZIONE!</b> Filtrando si perderanno tutte le selezioni precedenti!"), filters);
    warning->setStyleSheet(QStringLiteral("color: #A00000;"));
    fl->addWidget(warning);
    layout->addWidget(filters);

    grid = new QTableWidget(0, 4, this);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setHorizontalHeaderLabels({QStringLiteral("Sel."), QStringLiteral("Beneficiario"), QStringLiteral("Codice fiscale"),
                                     QStringLiteral("Partita I.V.A.")});
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->setColumnWidth(0, 40);
    grid->setColumnWidth(1, 320);
    grid->setColumnWidth(2, 150);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setTabKeyNavigation(false);
    layout->addWidget(grid, 1);
    // The space bar ticks the row of the cursor, as a click on its box does.
    connect(grid, &QTableWidget::itemActivated, this, [this](QTableWidgetItem *item) {
        setTicked(item->row(), grid->item(item->row(), 0)->checkState() != Qt::Checked);
    });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TfmAbiMultiSelectBen::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    m_typing = new QTimer(this);
    m_typing->setSingleShot(true);
    m_typing->setInterval(TypingDelayMs);
    connect(m_typing, &QTimer::timeout, this, [this] {
        if (edFiltra->text().trimmed() != m_appliedText)
            applyFilter();
    });
    connect(edFiltra, &QLineEdit::textEdited, m_typing, qOverload<>(&QTimer::start));
    resize(700, 520);
}

QString TfmAbiMultiSelectBen::defaultSelect()
{
    return QStringLiteral(
        "SELECT B.IBENID, B.SBENRAGSOC, B.SBENCODFISCALE, B.SBENPARTITAIVA, B.LBENEND, B.LBENOBBLTRACC,"
        " (SELECT COUNT(*) FROM TSEB_SEDIBEN S WHERE S.IBENID = B.IBENID AND S.DDELETE IS NULL) AS ISEDIOIL,"
        " (SELECT COUNT(*) FROM TSPRBEN P WHERE P.IBENID = B.IBENID AND P.DDELETE IS NULL) AS IPAGAMOIL"
        " FROM TBEN_BENEFICIARI B WHERE B.DDELETE IS NULL AND ##WHERE##");
}

fw::SearchCondition TfmAbiMultiSelectBen::filterCondition(bool historicized, bool traceability, bool oilIncomplete,
                                                          const QString &text)
{
    // An empty flag or code counts as 0 or blank: rows written by other programs leave them NULL.
    QString sql = historicized ? QStringLiteral("(COALESCE(X.LBENEND, 0) = 1) ") : QStringLiteral("(COALESCE(X.LBENEND, 0) = 0) ");
    if (traceability)
        sql += QStringLiteral("and (COALESCE(X.LBENOBBLTRACC, 0) = 0) ");
    if (oilIncomplete)
        sql += QStringLiteral("and ((COALESCE(X.SBENCODFISCALE, '') = '') or (X.ISEDIOIL = 0) or (X.IPAGAMOIL = 0)) ");
    fw::SearchCondition c;
    const QString typed = text.trimmed();
    if (typed.isEmpty()) {
        sql += QStringLiteral(" and  (1 = 1)");
    } else {
        sql += QStringLiteral(" and  (UPPER(X.SBENRAGSOC) LIKE :VESEARCH ESCAPE '\\')");
        QString pattern = typed.toUpper();
        pattern.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("\\%")).replace(u'_', QStringLiteral("\\_"));
        c.params.insert(QStringLiteral("VESEARCH"), QString(u'%' + pattern + u'%'));
    }
    c.sql = sql;
    return c;
}

bool TfmAbiMultiSelectBen::applyFilter()
{
    m_typing->stop();
    m_appliedText = edFiltra->text().trimmed();
    const fw::SearchCondition cond = filterCondition(ckStorico->isChecked(), ckTracciabilita->isChecked(), ckOil->isChecked(),
                                                     m_appliedText);
    const QString sql = QStringLiteral("SELECT X.IBENID, X.SBENRAGSOC, X.SBENCODFISCALE, X.SBENPARTITAIVA FROM (%1) X WHERE %2"
                                       " ORDER BY X.SBENRAGSOC")
                            .arg(fw::VeSql::fillWhere(m_select, QStringLiteral("1 = 1")), cond.sql);
    grid->setRowCount(0);
    SqlQuery q(m_db);
    Status s = q.prepare(sql);
    if (s) {
        for (auto it = cond.params.cbegin(); it != cond.params.cend(); ++it)
            q.bind(it.key(), it.value());
        s = q.exec();
    }
    if (!s) {
        fw::showError(s.error());
        return false;
    }
    QList<QList<QVariant>> rows;
    while (q.next())
        rows << QList<QVariant>{q.value(0), q.value(1), q.value(2), q.value(3)};
    grid->setUpdatesEnabled(false);
    grid->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        auto *tick = new QTableWidgetItem;
        tick->setData(Qt::UserRole, rows[r][0]);
        tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        tick->setCheckState(ckOil->isChecked() ? Qt::Checked : Qt::Unchecked);
        grid->setItem(r, 0, tick);
        for (int c = 1; c < 4; ++c)
            grid->setItem(r, c, new QTableWidgetItem(rows[r][c].toString()));
    }
    grid->setUpdatesEnabled(true);
    if (!rows.isEmpty())
        grid->setCurrentCell(0, 1);
    return true;
}

void TfmAbiMultiSelectBen::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_loaded)
        m_loaded = applyFilter();
    edFiltra->setFocus();
}

void TfmAbiMultiSelectBen::boxClicked()
{
    // A box drops the name typed: the boxes filter the whole registry.
    edFiltra->clear();
    applyFilter();
}

int TfmAbiMultiSelectBen::rowCount() const { return grid->rowCount(); }

void TfmAbiMultiSelectBen::setTicked(int row, bool ticked)
{
    if (auto *item = grid->item(row, 0))
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

QList<int> TfmAbiMultiSelectBen::selectedIds() const
{
    QList<int> ids;
    for (int r = 0; r < grid->rowCount(); ++r)
        if (grid->item(r, 0)->checkState() == Qt::Checked)
            ids << grid->item(r, 0)->data(Qt::UserRole).toInt();
    return ids;
}

void TfmAbiMultiSelectBen::accept()
{
    if (selectedIds().isEmpty()) {
        fw::showError(QStringLiteral("Non è stato selezionato nessun beneficiario."));
        return;
    }
    QDialog::accept();
}

} // namespace ccp::ben
