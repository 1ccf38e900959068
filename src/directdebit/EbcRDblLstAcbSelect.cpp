#include "EbcRDblLstAcbSelect.h"

#include "EbcUAluGen.h"
#include "SqlQuery.h"
#include "TfrVeFilter.h"
#include "VeMessageDlg.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ccp::directdebit {

namespace {

enum { AcbIdRole = Qt::UserRole + 1 };

AcbItem itemOf(const QTreeWidgetItem &i)
{
    return {i.text(0), i.text(1), i.text(2), i.data(0, AcbIdRole).toInt()};
}

// Rows sort by the rule of the selection lists, whatever the column clicked.
class AcbTreeItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return acbItemLess(itemOf(*this), itemOf(other), column);
    }
};

QTreeWidget *makeList(const QString &name)
{
    auto *list = new QTreeWidget;
    list->setObjectName(name);
    list->setHeaderLabels({QStringLiteral("Alunno"), QStringLiteral("Classe"), QStringLiteral("Intestatario")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSortingEnabled(true);
    list->sortByColumn(0, Qt::AscendingOrder);
    list->header()->resizeSection(0, 190);
    list->header()->resizeSection(1, 50);
    return list;
}

QPushButton *arrow(const QString &text, const QString &tip)
{
    auto *b = new QPushButton(text);
    b->setToolTip(tip);
    b->setFixedWidth(44);
    return b;
}

} // namespace

TfrEbcDblLstAcbSelect::TfrEbcDblLstAcbSelect(QSqlDatabase db, QWidget *parent) : QWidget(parent), m_db(std::move(db))
{
    setObjectName(QStringLiteral("frEbcDblLstAcbSelect"));
    auto *toolBar = new QToolBar(this);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    acFilter = toolBar->addAction(QIcon(QStringLiteral(":/icons/FILTEROPT.png")), QStringLiteral("&Filtro..."));
    acFilter->setObjectName(QStringLiteral("acFilter"));
    acFilter->setShortcut(fw::TfmVeFilter::dialogShortcut());
    acApplyFilter = toolBar->addAction(QIcon(QStringLiteral(":/icons/FILTERAPPLY.png")), QStringLiteral("&Applica filtro"));
    acApplyFilter->setObjectName(QStringLiteral("acApplyFilter"));
    acApplyFilter->setCheckable(true);
    acApplyFilter->setShortcut(fw::TfmVeFilter::applyShortcut());
    acLoadFilter = toolBar->addAction(QStringLiteral("Apri filtro..."));
    acLoadFilter->setObjectName(QStringLiteral("acLoadFilter"));
    acSaveFilter = toolBar->addAction(QStringLiteral("Salva filtro..."));
    acSaveFilter->setObjectName(QStringLiteral("acSaveFilter"));
    for (QAction *a : {acFilter, acApplyFilter, acLoadFilter, acSaveFilter}) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }

    lvDisponibili = makeList(QStringLiteral("lvDisponibili"));
    lvSelezionati = makeList(QStringLiteral("lvSelezionati"));
    btAdd = arrow(QStringLiteral(">"), QStringLiteral("Seleziona gli alunni evidenziati"));
    btAddAll = arrow(QStringLiteral(">>"), QStringLiteral("Seleziona tutti gli alunni"));
    btRemove = arrow(QStringLiteral("<"), QStringLiteral("Toglie gli alunni evidenziati"));
    btRemoveAll = arrow(QStringLiteral("<<"), QStringLiteral("Toglie tutti gli alunni"));
    auto *buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {btAdd, btAddAll, btRemove, btRemoveAll})
        buttons->addWidget(b);
    buttons->addStretch();

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Alunni disponibili")), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Alunni selezionati")), 0, 2);
    grid->addWidget(lvDisponibili, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(lvSelezionati, 1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toolBar);
    layout->addLayout(grid, 1);

    ShowFilterDialog = [](fw::TfmVeFilter &dialog) { return dialog.exec(); };
    AskFilterFile = [this](bool save) {
        QDir().mkpath(m_filterFolder);
        const QString filter = QStringLiteral("Filtri (*.xml)");
        return save ? QFileDialog::getSaveFileName(this, QStringLiteral("Salva filtro"), m_filterFolder, filter)
                    : QFileDialog::getOpenFileName(this, QStringLiteral("Apri filtro"), m_filterFolder, filter);
    };

    connect(btAdd, &QPushButton::clicked, this, [this] { move(lvDisponibili, lvSelezionati, false); });
    connect(btAddAll, &QPushButton::clicked, this, [this] { move(lvDisponibili, lvSelezionati, true); });
    connect(btRemove, &QPushButton::clicked, this, [this] { move(lvSelezionati, lvDisponibili, false); });
    connect(btRemoveAll, &QPushButton::clicked, this, [this] { move(lvSelezionati, lvDisponibili, true); });
    connect(lvDisponibili, &QTreeWidget::itemDoubleClicked, this, [this] { move(lvDisponibili, lvSelezionati, false); });
    connect(lvSelezionati, &QTreeWidget::itemDoubleClicked, this, [this] { move(lvSelezionati, lvDisponibili, false); });
    connect(acFilter, &QAction::triggered, this, [this] { onFilter(); });
    connect(acApplyFilter, &QAction::triggered, this, [this](bool on) { onApplyFilter(on); });
    connect(acSaveFilter, &QAction::triggered, this, [this] { onSaveFilter(); });
    connect(acLoadFilter, &QAction::triggered, this, [this] { onLoadFilter(); });
    showApplied();
}

TfrEbcDblLstAcbSelect::~TfrEbcDblLstAcbSelect() = default;

Status TfrEbcDblLstAcbSelect::loadFilterDefinition()
{
    auto xml = readXmlDocument(m_db, QStringLiteral("EBC_ACBFL"));
    if (!xml)
        return xml.status();
    auto def = fw::FilterDefinition::fromXml(xml.value());
    if (!def)
        return def.status();
    m_definition = def.value();
    m_hasDefinition = true;
    if (m_dialog)
        m_dialog->frame()->setDefinition(m_definition);
    return {};
}

fw::TfmVeFilter *TfrEbcDblLstAcbSelect::filterDialog()
{
    if (!m_dialog) {
        m_dialog = new fw::TfmVeFilter(this);
        m_dialog->frame()->setDefinition(m_definition);
    }
    return m_dialog;
}

Status TfrEbcDblLstAcbSelect::fill()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    lvDisponibili->clear();
    lvSelezionati->clear();
    const QString sql = m_applied ? fw::TVeFilter::applyToSelect(m_select, m_condition) : m_select;
    SqlQuery q(m_db);
    Status s = q.prepare(sql);
    if (s)
        s = q.exec();
    if (s) {
        QList<QTreeWidgetItem *> items;
        lvDisponibili->setSortingEnabled(false);
        while (q.next()) {
            auto *item = new AcbTreeItem;
            item->setText(0, q.text(QStringLiteral("sCognomeNomeAlu")));
            item->setText(1, q.text(QStringLiteral("sClsSDesc")));
            item->setText(2, q.text(QStringLiteral("sCognomeNomeGen")));
            item->setData(0, AcbIdRole, q.integer(QStringLiteral("iAcbId")));
            items << item;
        }
        lvDisponibili->addTopLevelItems(items);
        lvDisponibili->setSortingEnabled(true);
    }
    for (QTreeWidget *list : {lvDisponibili, lvSelezionati})
        list->sortByColumn(0, Qt::AscendingOrder);
    QApplication::restoreOverrideCursor();
    Q_EMIT selectionChanged();
    return s;
}

QList<int> TfrEbcDblLstAcbSelect::selectedIds() const
{
    QList<int> ids;
    for (int i = 0; i < lvSelezionati->topLevelItemCount(); ++i)
        ids << lvSelezionati->topLevelItem(i)->data(0, AcbIdRole).toInt();
    return ids;
}

void TfrEbcDblLstAcbSelect::move(QTreeWidget *from, QTreeWidget *to, bool all)
{
    QList<QTreeWidgetItem *> moving;
    for (int i = 0; i < from->topLevelItemCount(); ++i)
        if (all || from->topLevelItem(i)->isSelected())
            moving << from->topLevelItem(i);
    if (moving.isEmpty())
        return;
    to->setSortingEnabled(false);
    for (QTreeWidgetItem *item : std::as_const(moving)) {
        from->takeTopLevelItem(from->indexOfTopLevelItem(item));
        item->setSelected(false);
        to->addTopLevelItem(item);
    }
    to->setSortingEnabled(true);
    Q_EMIT selectionChanged();
}

Status TfrEbcDblLstAcbSelect::setCondition(const QString &condition)
{
    m_condition = condition;
    m_applied = !condition.isEmpty();
    showApplied();
    return fill();
}

void TfrEbcDblLstAcbSelect::onFilter()
{
    if (!m_hasDefinition) {
        if (auto s = loadFilterDefinition(); !s) {
            fw::showError(s.error());
            return;
        }
    }
    fw::TfmVeFilter *dialog = filterDialog();
    if (ShowFilterDialog(*dialog) != QDialog::Accepted)
        return;
    auto condition = dialog->frame()->condition();
    if (!condition) {
        fw::showError(condition.error());
        return;
    }
    if (auto s = setCondition(condition.value()); !s)
        fw::showError(s.error());
}

void TfrEbcDblLstAcbSelect::onApplyFilter(bool on)
{
    // Without a condition there is nothing to switch on.
    m_applied = on && !m_condition.isEmpty();
    showApplied();
    if (m_condition.isEmpty())
        return;
    if (auto s = fill(); !s)
        fw::showError(s.error());
}

void TfrEbcDblLstAcbSelect::showApplied()
{
    acApplyFilter->setChecked(m_applied);
    acApplyFilter->setIcon(QIcon(m_applied ? QStringLiteral(":/icons/FILTERAPPLYON.png")
                                           : QStringLiteral(":/icons/FILTERAPPLY.png")));
}

void TfrEbcDblLstAcbSelect::onSaveFilter()
{
    if (!m_dialog || m_dialog->frame()->conditionCount() == 0) {
        fw::showWarning(QStringLiteral("Nessun filtro da salvare: impostare prima il filtro."));
        return;
    }
    QString path = AskFilterFile(true);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive))
        path += QStringLiteral(".xml");
    if (auto s = m_dialog->frame()->saveTo(path); !s)
        fw::showError(s.error());
}

void TfrEbcDblLstAcbSelect::onLoadFilter()
{
    if (!m_hasDefinition) {
        if (auto s = loadFilterDefinition(); !s) {
            fw::showError(s.error());
            return;
        }
    }
    const QString path = AskFilterFile(false);
    if (path.isEmpty())
        return;
    fw::TfmVeFilter *dialog = filterDialog();
    if (auto s = dialog->frame()->loadFrom(path); !s) {
        fw::showError(s.error());
        return;
    }
    auto condition = dialog->frame()->condition();
    if (!condition) {
        fw::showError(condition.error());
        return;
    }
    if (auto s = setCondition(condition.value()); !s)
        fw::showError(s.error());
}

} // namespace ccp::directdebit
