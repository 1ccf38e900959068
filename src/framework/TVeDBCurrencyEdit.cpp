#include "TVeDBCurrencyEdit.h"

#include <QFocusEvent>
#include <QRegularExpressionValidator>

namespace ccp::fw {

TVeDBCurrencyEdit::TVeDBCurrencyEdit(QWidget *parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Digits, thousands points, one decimal comma, a leading minus.
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("-?[0-9.]{0,20}(,[0-9]{0,4})?")), this));
    connect(this, &QLineEdit::textEdited, this, [this]() { m_typing = true; });
    connect(this, &QLineEdit::returnPressed, this, [this]() { commitText(); });
}

void TVeDBCurrencyEdit::setMoney(Money value)
{
    m_value = value;
    m_empty = false;
    m_typing = false;
    showValue();
}

void TVeDBCurrencyEdit::clearValue()
{
    m_value = Money();
    m_empty = true;
    m_typing = false;
    showValue();
}

void TVeDBCurrencyEdit::showValue()
{
    if (m_empty)
        setText(QString());
    else
        setText(hasFocus() && !isReadOnly() ? m_value.toEdit() : m_prefix + m_value.toList());
}

void TVeDBCurrencyEdit::setPrefix(const QString &prefix)
{
    m_prefix = prefix;
    if (!m_typing)
        showValue();
}

QVariant TVeDBCurrencyEdit::fieldValue() const
{
    return m_empty ? QVariant() : m_value.toVariant();
}

void TVeDBCurrencyEdit::setFieldValue(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        clearValue();
    else
        setMoney(Money::fromVariant(value));
}

bool TVeDBCurrencyEdit::commitText()
{
    if (!m_typing)
        return true;
    m_typing = false;
    const QString t = text().trimmed();
    const bool wasEmpty = m_empty;
    const Money old = m_value;
    m_empty = t.isEmpty();
    m_value = m_empty ? Money() : Money::fromText(t);
    showValue();
    if (wasEmpty != m_empty || old != m_value) {
        notifyUserChange();
        Q_EMIT moneyEdited(m_value);
    }
    return true;
}

void TVeDBCurrencyEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!m_typing && !isReadOnly()) {
        showValue();
        selectAll();
    }
}

void TVeDBCurrencyEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (m_typing)
        commitText();
    else
        showValue();
}

} // namespace ccp::fw
