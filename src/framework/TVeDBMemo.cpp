#include "TVeDBMemo.h"

namespace ccp::fw {

TVeDBMemo::TVeDBMemo(QWidget *parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this]() {
        if (m_loading)
            return;
        if (m_maxLength > 0 && toPlainText().size() > m_maxLength) {
            m_loading = true;
            const QString t = toPlainText().left(m_maxLength);
            setPlainText(t);
            moveCursor(QTextCursor::End);
            m_loading = false;
        }
        notifyUserChange();
    });
}

QVariant TVeDBMemo::fieldValue() const
{
    const QString t = toPlainText();
    return t.isEmpty() ? QVariant() : QVariant(t);
}

void TVeDBMemo::setFieldValue(const QVariant &value)
{
    m_loading = true;
    setPlainText(value.isNull() ? QString() : value.toString());
    m_loading = false;
}

} // namespace ccp::fw
