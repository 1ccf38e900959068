#pragma once
#include "TfmVeSearch.h"

#include <functional>

class QComboBox;
class QPushButton;

namespace ccp::fw {
class TVeDBLookupEdit;
}

namespace ccp::ben {

// "Comuni": the search window of the registry's place lookups, one state at a time ("&Stato"),
// with the foreign towns at hand to add the missing one.
class TfmSearchLoco : public fw::TfmVeSearch
{
    Q_OBJECT
public:
    static constexpr int AllStates = 0;

    explicit TfmSearchLoco(QSqlDatabase db, QWidget *parent = nullptr);

    // The state listed (AllStates: every one); reopens an open list.
    void setStateId(int staId);
    int stateId() const { return m_state; }
    QComboBox *cbStato() const { return m_states; }
    QPushButton *btnComEsteri() const { return m_towns; }

    // Opens the foreign towns; default: the window registered as "TfmComEsteri".
    std::function<void()> OnEditTowns;

protected:
    fw::SearchCondition searchCondition(const QString &text) const override;
    void showEvent(QShowEvent *event) override;

private:
    void fillStates();
    void editTowns();

    QComboBox *m_states;
    QPushButton *m_towns;
    int m_state = AllStates;
};

// Makes a place lookup search through "Comuni" when the foreign-towns module opens, through the
// plain search window otherwise; the window starts on the state of the place chosen (home state
// when none).
void usePlaceSearch(fw::TVeDBLookupEdit *lookup, QSqlDatabase db);

} // namespace ccp::ben
