#include "AbcUWindow.h"

#include "TVeEditFrame.h"
#include "VeMessageDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace ccp::budget {

QString budgetCaption(const QString &prefix, const BudgetView &view)
{
    return prefix + (view.flow == 2 ? QStringLiteral(" - Uscite") : QStringLiteral(" - Entrate"))
        + (view.totalType == 2 ? QStringLiteral(" - Fuori totale") : QStringLiteral(" - In totale"));
}

QLabel *yearPanel(int anfValore, QWidget *parent)
{
    auto *panel = new QLabel(QStringLiteral("Esercizio Finanziario ") + QString::number(anfValore), parent);
    panel->setObjectName(QStringLiteral("pnInfo"));
    panel->setStyleSheet(QStringLiteral("QLabel { background: #1f4e79; color: white; font-weight: bold; padding: 4px 8px; }"));
    return panel;
}

void refuse(const Refusal &refusal, const std::function<QWidget *(Field)> &widgetOf)
{
    if (!refusal.message.isEmpty())
        fw::showError(refusal.message);
    if (QWidget *w = widgetOf(refusal.field)) {
        w->setFocus(Qt::OtherFocusReason);
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            edit->selectAll();
    }
}

bool saveBeforeClose(fw::TVeEditFrame &frame, const std::function<bool()> &postChecked)
{
    if (frame.mode() == 0)
        return true;
    switch (fw::VeMessageDlg(fw::TVeEditFrame::saveQuestion(), fw::MsgType::Confirmation, fw::MsgButtons::YesNoCancel)) {
    case fw::MsgResult::Yes:
        return postChecked();
    case fw::MsgResult::No:
        frame.cancel();
        return true;
    default:
        return false;
    }
}

} // namespace ccp::budget
