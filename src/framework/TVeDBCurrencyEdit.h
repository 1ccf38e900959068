#pragma once
#include "TVeDBControl.h"

#include <Money.h>
#include <QLineEdit>

namespace ccp::fw {

// Data-aware amount edit: Italian input ("1.234,50", "12,5", "-3"); shows "1.234,50" when not
// being edited and the plain figure while the user types.
class TVeDBCurrencyEdit : public QLineEdit, public TVeDBControl
{
    Q_OBJECT
public:
    explicit TVeDBCurrencyEdit(QWidget *parent = nullptr);

    Money money() const { return m_value; }
    bool isEmpty() const { return m_empty; }
    void setMoney(Money value);
    void clearValue();
    // Text put before the amount when it is shown, not while it is typed ("€ ").
    void setPrefix(const QString &prefix);
    const QString &prefix() const { return m_prefix; }

    QVariant fieldValue() const override;
    void setFieldValue(const QVariant &value) override;
    bool commitText() override;
    QWidget *widget() override { return this; }

Q_SIGNALS:
    // The user changed the amount (after leaving the edit or pressing Enter).
    void moneyEdited(ccp::Money value);

protected:
    void applyEditable(bool editable) override { setReadOnly(!editable); }
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showValue();

    Money m_value;
    bool m_empty = true;
    bool m_typing = false;
    QString m_prefix;
};

} // namespace ccp::fw
