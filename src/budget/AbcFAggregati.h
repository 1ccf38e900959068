#pragma once
#include "AbcUBudget.h"
#include "TVeEditFrame.h"
#include "TVeMdiForm.h"

#include <QSqlDatabase>

class QLabel;

namespace ccp::fw {
class TVeDBEdit;
} // namespace ccp::fw

namespace ccp::budget {

// The aggregates of one cash flow and total type valid in the financial year.
class TfrAggregati : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    TfrAggregati(fw::TVeQueryCollection *collection, const BudgetStore &store, QWidget *parent = nullptr);

    fw::TVeDBEdit *xdeCodice;
    fw::TVeDBEdit *xdeDescrizione;

    // xacPost: the checks, then the post; false when refused.
    bool postChecked();

private:
    const BudgetStore &m_store;
};

class TfmAggregati : public fw::TVeMdiForm
{
    Q_OBJECT
public:
    TfmAggregati(QSqlDatabase db, const BudgetYear &year, const BudgetView &view, QWidget *parent = nullptr);
    ~TfmAggregati() override;

    fw::TVeQueryCollection *xqcAggregati() const { return m_aggregati; }
    TfrAggregati *frAggregati() const { return m_frame; }
    QLabel *pnInfo() const { return m_info; }
    const BudgetStore &store() const { return m_store; }

protected:
    void formShown() override;
    bool formCanClose() override;
    void formClosed() override;

private:
    BudgetStore m_store;
    fw::TVeQueryCollection *m_aggregati;
    TfrAggregati *m_frame;
    QLabel *m_info;
};

} // namespace ccp::budget
