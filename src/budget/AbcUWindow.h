#pragma once
#include "AbcUBudget.h"

#include <QString>
#include <functional>

class QLabel;
class QWidget;

namespace ccp::fw {
class TVeEditFrame;
}

namespace ccp::budget {

// "Aggregati - Entrate - In totale", "Voci Progetti - Uscite - Fuori totale", ...
QString budgetCaption(const QString &prefix, const BudgetView &view);
// The information panel over a budget window: "Esercizio Finanziario " and the year.
QLabel *yearPanel(int anfValore, QWidget *parent);
// Shows a refusal's message (none after a question answered No) and puts the focus back on
// its field.
void refuse(const Refusal &refusal, const std::function<QWidget *(Field)> &widgetOf);
// Before a window closes over a frame that is editing: Yes posts through the frame's checks,
// No cancels the edit, Cancel keeps the window open (false).
bool saveBeforeClose(fw::TVeEditFrame &frame, const std::function<bool()> &postChecked);

} // namespace ccp::budget
