#pragma once
#include "AbcUBudget.h"
#include "TVeEditFrame.h"
#include "TVeMdiForm.h"

#include <QSqlDatabase>
#include <QVariant>

class QLabel;
class QSplitter;

namespace ccp::fw {
class TVeDBCheckBox;
class TVeDBDateEdit;
class TVeDBEdit;
class TVeDBLookupEdit;
} // namespace ccp::fw

namespace ccp::budget {

// Items and projects of the aggregates of one flow and total type.
class TfrVociProgetti : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    TfrVociProgetti(fw::TVeQueryCollection *collection, const BudgetStore &store, QWidget *parent = nullptr);

    fw::TVeDBLookupEdit *xdlAggregato;
    fw::TVeDBEdit *xdeCodice;
    fw::TVeDBEdit *xdeDescrizione;
    fw::TVeDBDateEdit *xddInizio;
    fw::TVeDBDateEdit *xddFine;
    fw::TVeDBCheckBox *xcbCompetenza;
    fw::TVeDBCheckBox *xcbResidui;

    // xacPost: the checks, then the post (with the sub-items' dates); false when refused.
    bool postChecked();
    QWidget *fieldWidget(Field field) const;

private:
    void proposeCode();
    const BudgetStore &m_store;
};

// Sub-items of the current item.
class TfrSottoVoci : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    TfrSottoVoci(fw::TVeQueryCollection *collection, const BudgetStore &store, QWidget *parent = nullptr);

    fw::TVeDBEdit *xdeCodice;
    fw::TVeDBEdit *xdeDescrizione;
    fw::TVeDBCheckBox *xcbCompetenza;
    fw::TVeDBCheckBox *xcbResidui;

    // The accounts of the item the sub-items belong to (ICORID; 0 when there is no item).
    void setItemAccounts(int corId);
    int itemAccounts() const { return m_itemCor; }

    bool postChecked();
    QWidget *fieldWidget(Field field) const;

private:
    void applyItemAccounts();
    const BudgetStore &m_store;
    int m_itemCor = 0;
};

class TfmVoci : public fw::TVeMdiForm
{
    Q_OBJECT
public:
    TfmVoci(QSqlDatabase db, const BudgetYear &year, const BudgetView &view, QWidget *parent = nullptr);
    ~TfmVoci() override;

    fw::TVeQueryCollection *xqcVoci() const { return m_voci; }
    fw::TVeQueryCollection *xqcSottoVoci() const { return m_sottoVoci; }
    TfrVociProgetti *frVociProgetti() const { return m_frVoci; }
    TfrSottoVoci *frSottoVoci() const { return m_frSottoVoci; }
    QLabel *pnInfo() const { return m_info; }
    const BudgetStore &store() const { return m_store; }

protected:
    void formShown() override;
    bool formCanClose() override;
    void formClosed() override;

private:
    void onItemChanged();
    void openSubItems(const QVariant &itemId);

    BudgetStore m_store;
    fw::TVeQueryCollection *m_voci;
    fw::TVeQueryCollection *m_sottoVoci;
    TfrVociProgetti *m_frVoci;
    TfrSottoVoci *m_frSottoVoci;
    QLabel *m_info;
    QSplitter *m_splitter;
    QVariant m_loadedItem;
};

} // namespace ccp::budget
