#pragma once
#include "AbcUBudget.h"
#include "TVeWizard.h"

#include <QSqlDatabase>

class QLabel;
class QListWidget;

namespace ccp::budget {

// Asked before a budget window opens: the cash flow (page "FlussoCassa"), then the total type
// (page "TipoTotale"); the label below shows the choice so far. Enter moves on, Esc cancels.
class TfwAbcApertura : public fw::TVeWizard
{
    Q_OBJECT
public:
    // `title`: "Aggregati" or "Voci e Progetti".
    TfwAbcApertura(QSqlDatabase db, const QString &title, QWidget *parent = nullptr);

    // False when the lists could not be read (the message was shown).
    bool load();
    BudgetView view() const;
    QString choiceText() const;

    QListWidget *lbFlussoCassa;
    QListWidget *lbTipoTotale;
    QLabel *lbScelta;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateChoice();
    QSqlDatabase m_db;
};

} // namespace ccp::budget
