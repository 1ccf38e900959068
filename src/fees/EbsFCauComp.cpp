#include "EbsFCauComp.h"

#include "TVeDBCurrencyEdit.h"
#include "TVeGlobalValues.h"
#include "TVeQueryModel.h"
#include "VeMessageDlg.h"
#include "VeSql.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace ccp::fees {

namespace {

constexpr int DefaultRowHeight = 18;
constexpr int ColumnWidths[] = {-1, 200, 100, 100};

// Cell editors get the dialog's key filter.
class CellDelegate : public QStyledItemDelegate
{
public:
    CellDelegate(QObject *filter, QObject *parent) : QStyledItemDelegate(parent), m_filter(filter) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        editor->installEventFilter(m_filter);
        return editor;
    }

private:
    QObject *m_filter;
};

} // namespace

QChar decimalSeparator()
{
    const QString v = fw::GetValues(QStringLiteral("VEP_DecimalSeparator")).toString().trimmed();
    if (!v.isEmpty())
        return v.at(0);
    const QString locale = QLocale().decimalPoint();
    return locale.isEmpty() ? QLatin1Char(',') : locale.at(0);
}

QString TfmEbsCauComp::defaultComponentsSql()
{
    return QStringLiteral(
        " SELECT Cca.iCcaId, Cca.sCcaLDesc, Cca.fCcaImportoIst, Cca.fCcaImportoEra FROM TCca_CompCausali Cca INNER JOIN "
        "TCauCca Ccc ON (Ccc.iCcaId = Cca.iCcaId) WHERE (Ccc.iCauId = :iCauId) ORDER BY Cca.sCcaLDesc");
}

TfmEbsCauComp *TfmEbsCauComp::instance() { return s_instance.data(); }

TfmEbsCauComp *TfmEbsCauComp::obtain(QSqlDatabase db, QWidget *parent)
{
    if (!s_instance)
        s_instance = new TfmEbsCauComp(std::move(db), parent);
    return s_instance.data();
}

void TfmEbsCauComp::release()
{
    delete s_instance.data();
    s_instance.clear();
}

TfmEbsCauComp::TfmEbsCauComp(QSqlDatabase db, QWidget *parent)
    : fw::TVeDialog(QStringLiteral("Composizione importo"), parent), m_db(std::move(db))
{
    setObjectName(QStringLiteral("TfmEbsCauComp"));
    ComponentsSql = defaultComponentsSql();
    if (!s_instance)
        s_instance = this;

    const QColor yellow = fw::TVeQueryModel::highlightColour();
    m_memoPanel = new QWidget(this);
    auto *memoLayout = new QVBoxLayout(m_memoPanel);
    memoLayout->setContentsMargins(0, 0, 0, 0);
    m_memo = new QPlainTextEdit(m_memoPanel);
    m_memo->setReadOnly(true);
    m_memo->setFocusPolicy(Qt::NoFocus);
    m_memo->setFrameShape(QFrame::NoFrame);
    QPalette memoPalette = m_memo->palette();
    memoPalette.setColor(QPalette::Base, yellow);
    memoPalette.setColor(QPalette::Text, palette().color(QPalette::WindowText));
    m_memo->setPalette(memoPalette);
    m_memo->setPlainText(TEbsCompositionGrid::instructionTemplate());
    m_memo->setFixedHeight(m_memo->fontMetrics().lineSpacing() * 2 + 12);
    memoLayout->addWidget(m_memo);

    m_amountPanel = new QWidget(this);
    auto *amounts = new QHBoxLayout(m_amountPanel);
    amounts->setContentsMargins(0, 0, 0, 0);
    m_ceImporto = new fw::TVeDBCurrencyEdit(m_amountPanel);
    m_ceImporto->setObjectName(QStringLiteral("ceImporto"));
    m_ceScarto = new fw::TVeDBCurrencyEdit(m_amountPanel);
    m_ceScarto->setObjectName(QStringLiteral("ceScarto"));
    for (auto *e : {m_ceImporto, m_ceScarto}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setMaximumWidth(120);
    }
    auto *lImporto = new QLabel(QStringLiteral("Importo"), m_amountPanel);
    auto *lScarto = new QLabel(QStringLiteral("Scarto"), m_amountPanel);
    amounts->addWidget(lImporto);
    amounts->addWidget(m_ceImporto);
    amounts->addSpacing(12);
    amounts->addWidget(lScarto);
    amounts->addWidget(m_ceScarto);
    amounts->addStretch(1);

    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("sgComposizione"));
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_grid->verticalHeader()->setDefaultSectionSize(qMax(DefaultRowHeight, fontMetrics().height() + 4));
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setItemDelegate(new CellDelegate(this, m_grid));
    m_grid->installEventFilter(this);

    contentLayout()->addWidget(m_memoPanel);
    contentLayout()->addWidget(m_amountPanel);
    contentLayout()->addWidget(m_grid, 1);

    connect(m_grid, &QTableWidget::cellChanged, this, &TfmEbsCauComp::onItemChanged);
    connect(m_grid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { onCurrentCellChanged(row, column); });
    setValidator([this]() { return canClose(); });
}

TfmEbsCauComp::~TfmEbsCauComp() = default;

Result<QList<CompositionComponent>> TfmEbsCauComp::readComponents(const QString &sql, int causaleId) const
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!q.prepare(sql))
        return Result<QList<CompositionComponent>>::failure(q.lastError().text());
    const QStringList names = fw::VeSql::parameterNames(sql);
    if (!names.isEmpty())
        q.bindValue(QLatin1Char(':') + names.first(), causaleId);
    if (!q.exec())
        return Result<QList<CompositionComponent>>::failure(q.lastError().text());
    QList<CompositionComponent> out;
    while (q.next()) {
        CompositionComponent c;
        c.id = q.value(0).toInt();
        c.description = q.value(1).toString();
        c.institute = Money::fromVariant(q.value(2));
        c.treasury = Money::fromVariant(q.value(3));
        out << c;
    }
    return out;
}

Status TfmEbsCauComp::BuildGrid()
{
    m_rules.setShowBothAmounts(ShowBothAmounts);
    m_rules.setAmountColumn(AmountColumn);
    m_rules.setDefinitionMode(DefinitionMode);
    m_rules.setAmountText(AmountText);
    m_rules.setDecimalSeparator(decimalSeparator());
    if (m_firstBuild) {
        m_firstBuild = false;
        m_grid->setColumnCount(m_rules.columnCount());
        QFont bold = font();
        bold.setBold(true);
        const QFontMetrics fm(bold);
        for (int c = 0; c < m_rules.columnCount(); ++c) {
            // A bold title wider than its column would be cut: the column grows to hold it.
            const int title = fm.horizontalAdvance(TEbsCompositionGrid::header(c, ShowBothAmounts)) + 12;
            m_widths[c] = ColumnWidths[c] < 0 ? 0 : qMax(ColumnWidths[c], title);
            m_grid->setColumnWidth(c, m_widths[c]);
        }
        m_grid->setColumnHidden(TEbsCompositionGrid::IdColumn, true);
    }
    auto components = readComponents(ComponentsSql, CausaleId);
    if (!components)
        return Status::failure(components.error());
    m_rules.build(*components);
    showCells();

    if (DefinitionMode) {
        m_helpContext = 1004;
        setWindowTitle(QStringLiteral("Definizione composizione importo"));
        m_ceImporto->setMoney(m_rules.amount());
        m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                | QAbstractItemView::AnyKeyPressed);
        m_memo->setPlainText(m_rules.instruction());
        m_memoPanel->show();
        m_amountPanel->show();
        cancelButton()->show();
    } else {
        m_helpContext = 1005;
        setWindowTitle(QStringLiteral("Composizione importo"));
        m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        m_memoPanel->hide();
        m_amountPanel->hide();
        cancelButton()->hide();
    }
    showResults();
    resizeToContent();
    return {};
}

Status TfmEbsCauComp::ReloadColumn(int causaleId, int column)
{
    auto components = readComponents(defaultComponentsSql(), causaleId);
    if (!components)
        return Status::failure(components.error());
    QList<Money> amounts;
    for (const auto &c : *components)
        amounts << (column == TEbsCompositionGrid::TreasuryColumn ? c.treasury : c.institute);
    m_rules.reloadColumn(column, amounts);
    showCells();
    showResults();
    return {};
}

void TfmEbsCauComp::showCells()
{
    m_filling = true;
    m_grid->setRowCount(m_rules.rowCount());
    for (int r = 0; r < m_rules.rowCount(); ++r)
        for (int c = 0; c < m_rules.columnCount(); ++c)
            showCell(r, c);
    m_filling = false;
}

void TfmEbsCauComp::showCell(int row, int column)
{
    const bool filling = m_filling;
    m_filling = true;
    QTableWidgetItem *item = m_grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        m_grid->setItem(row, column, item);
    }
    item->setText(m_rules.cell(row, column));
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_rules.isEditable(row, column))
        flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    const bool header = row == 0;
    const bool total = row == m_rules.totalRow();
    QFont f = font();
    f.setBold(header || total);
    item->setFont(f);
    if (header)
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    else if (column > TEbsCompositionGrid::DescriptionColumn)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    else
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (header) {
        item->setBackground(palette().color(QPalette::Button));
        item->setForeground(palette().color(QPalette::ButtonText));
    } else if (m_rules.definitionMode() && m_rules.isEditable(row, column)) {
        item->setBackground(fw::TVeQueryModel::highlightColour());
        item->setForeground(palette().color(QPalette::WindowText));
    } else {
        item->setData(Qt::BackgroundRole, QVariant());
        item->setData(Qt::ForegroundRole, QVariant());
    }
    m_filling = filling;
}

void TfmEbsCauComp::showResults()
{
    m_ceScarto->setMoney(m_rules.remainder());
    okButton()->setEnabled(!m_rules.definitionMode() || m_rules.okEnabled());
}

void TfmEbsCauComp::onItemChanged(int row, int column)
{
    if (m_filling)
        return;
    const QString text = m_grid->item(row, column)->text();
    if (!m_rules.commitEdit(row, column, text)) {
        showCell(row, column);  // a cell that cannot be edited keeps its text
        return;
    }
    // Enter leaves the cell for the one below, which brings the totals up to date; a click
    // elsewhere has already moved the current cell.
    QTimer::singleShot(0, this, [this, row, column]() {
        if (m_grid->currentRow() == row && m_grid->currentColumn() == column && row + 1 < m_grid->rowCount() - 1)
            m_grid->setCurrentCell(row + 1, column);
        else
            onCurrentCellChanged(m_grid->currentRow(), m_grid->currentColumn());
    });
}

void TfmEbsCauComp::onCurrentCellChanged(int row, int column)
{
    if (m_filling || row < 0 || column < 0)
        return;
    const int edited = m_rules.lastEditedRow();
    m_rules.selectCell(row, column);
    if (edited > 0) {
        showCell(edited, column);
        showCell(m_rules.totalRow(), column);
    }
    showResults();
}

bool TfmEbsCauComp::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && m_rules.definitionMode()) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Keys that start an edit on the grid are filtered as those typed into the editor.
        if (!TEbsCompositionGrid::keyPasses(key->key(), key->modifiers(), key->text(), m_rules.decimalSeparator()))
            return true;
    }
    return fw::TVeDialog::eventFilter(watched, event);
}

void TfmEbsCauComp::resizeToContent()
{
    const int rowHeight = m_grid->verticalHeader()->defaultSectionSize();
    const int contentHeight = rowHeight * (m_rules.rowCount() + 2);
    int contentWidth = m_widths[1] + m_widths[2];
    if (m_rules.showBothAmounts())
        contentWidth += m_widths[3];
    m_grid->setMinimumSize(contentWidth + 4, qMin(contentHeight, 600));
    int height = contentHeight + okButton()->sizeHint().height() + 10;
    if (m_rules.definitionMode())
        height += m_memoPanel->sizeHint().height() + m_amountPanel->sizeHint().height();
    resize(contentWidth + 26 + layout()->contentsMargins().left() + layout()->contentsMargins().right(),
           qMin(height + layout()->contentsMargins().top() + layout()->contentsMargins().bottom() + 20, 800));
}

bool TfmEbsCauComp::canClose() const { return !m_rules.definitionMode() || m_rules.okEnabled(); }

void TfmEbsCauComp::finishClose()
{
    if (m_rules.definitionMode()) {
        m_memo->setPlainText(TEbsCompositionGrid::instructionTemplate());
    } else {
        // A shown composition is not kept: the next one is built afresh.
        if (s_instance == this)
            s_instance.clear();
        deleteLater();
    }
}

void TfmEbsCauComp::settle()
{
    // An accelerator can come before the grid took in the last cell typed, or before the
    // delayed recompute: OK is judged on the balance as it is now.
    for (QLineEdit *editor : m_grid->viewport()->findChildren<QLineEdit *>()) {
        if (!editor->isVisible())
            continue;
        QMetaObject::invokeMethod(m_grid, "commitData", Qt::DirectConnection, Q_ARG(QWidget *, editor));
        QMetaObject::invokeMethod(m_grid, "closeEditor", Qt::DirectConnection, Q_ARG(QWidget *, editor),
                                  Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
    }
    onCurrentCellChanged(qMax(m_grid->currentRow(), 1), m_rules.amountColumn());
}

void TfmEbsCauComp::accept()
{
    if (m_rules.definitionMode())
        settle();
    if (!canClose())
        return;
    finishClose();
    QDialog::accept();
}

void TfmEbsCauComp::reject()
{
    if (!canClose())
        return;
    finishClose();
    QDialog::reject();
}

void TfmEbsCauComp::closeEvent(QCloseEvent *event)
{
    if (!canClose()) {
        event->ignore();
        return;
    }
    event->ignore();
    reject();
}

void TfmEbsCauComp::showEvent(QShowEvent *event)
{
    fw::TVeDialog::showEvent(event);
    if (auto s = BuildGrid(); !s)
        fw::showError(s.error());
    m_grid->setFocus();
    if (m_rules.componentCount() > 0) {
        const int col = m_rules.definitionMode() ? m_rules.amountColumn() : TEbsCompositionGrid::DescriptionColumn;
        m_filling = true;
        m_grid->setCurrentCell(1, col);
        m_filling = false;
    }
}

} // namespace ccp::fees
