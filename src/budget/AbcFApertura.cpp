#include "AbcFApertura.h"

#include "SqlQuery.h"
#include "VeMessageDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ccp::budget {

namespace {

QListWidget *choiceList(const QString &name)
{
    auto *list = new QListWidget;
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

Status fill(QSqlDatabase db, const QString &sql, QListWidget *list)
{
    SqlQuery q(db);
    if (auto s = q.prepare(sql); !s)
        return s;
    if (auto s = q.exec(); !s)
        return s;
    list->clear();
    while (q.next()) {
        auto *item = new QListWidgetItem(q.value(1).toString(), list);
        item->setData(Qt::UserRole, q.value(0).toInt());
    }
    if (list->count() > 0)
        list->setCurrentRow(0);
    return {};
}

int chosenId(const QListWidget *list)
{
    const QListWidgetItem *item = list->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

} // namespace

TfwAbcApertura::TfwAbcApertura(QSqlDatabase db, const QString &title, QWidget *parent)
    : fw::TVeWizard(title, parent), m_db(std::move(db))
{
    setObjectName(QStringLiteral("fwAbcApertura"));
    lbFlussoCassa = choiceList(QStringLiteral("FlussoCassa"));
    lbTipoTotale = choiceList(QStringLiteral("TipoTotale"));
    addPage(lbFlussoCassa, QStringLiteral("Flusso di cassa"));
    addPage(lbTipoTotale, QStringLiteral("Tipo di totale"));
    lbScelta = new QLabel(this);
    lbScelta->setObjectName(QStringLiteral("lbScelta"));
    QFont bold = lbScelta->font();
    bold.setBold(true);
    lbScelta->setFont(bold);
    if (auto *box = qobject_cast<QVBoxLayout *>(layout()))
        box->insertWidget(box->count() - 1, lbScelta);
    for (QListWidget *l : {lbFlussoCassa, lbTipoTotale}) {
        connect(l, &QListWidget::currentRowChanged, this, &TfwAbcApertura::updateChoice);
        connect(l, &QListWidget::itemDoubleClicked, this, [this] {
            if (currentPage() + 1 < pageCount())
                next();
            else
                accept();
        });
        l->installEventFilter(this);
    }
    onPageShown = [this](int page) { (page == 0 ? lbFlussoCassa : lbTipoTotale)->setFocus(); };
    resize(380, 300);
}

bool TfwAbcApertura::load()
{
    for (auto [sql, list] : {std::pair{AbcSql::FlowsSelect, lbFlussoCassa}, std::pair{AbcSql::TotalTypesSelect, lbTipoTotale}}) {
        if (auto s = fill(m_db, sql, list); !s) {
            fw::showError(s.error());
            return false;
        }
    }
    updateChoice();
    lbFlussoCassa->setFocus();
    return true;
}

BudgetView TfwAbcApertura::view() const { return {chosenId(lbFlussoCassa), chosenId(lbTipoTotale)}; }

QString TfwAbcApertura::choiceText() const { return lbScelta->text(); }

void TfwAbcApertura::updateChoice()
{
    const QListWidgetItem *flow = lbFlussoCassa->currentItem();
    const QListWidgetItem *type = lbTipoTotale->currentItem();
    lbScelta->setText((flow ? flow->text() : QString()) + QStringLiteral(" - ") + (type ? type->text() : QString()));
}

bool TfwAbcApertura::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in a list goes on as the wizard's default button would.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == lbFlussoCassa)
                next();
            else
                accept();
            return true;
        }
    }
    return fw::TVeWizard::eventFilter(watched, event);
}

} // namespace ccp::budget
