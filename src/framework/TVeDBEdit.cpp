#include "TVeDBEdit.h"

#include <QRegularExpressionValidator>

namespace ccp::fw {

bool CharFilters::digits(QChar c) { return c.isDigit(); }
bool CharFilters::letters(QChar c) { return c.isLetter(); }
bool CharFilters::digitsAndLetters(QChar c) { return c.isLetterOrNumber(); }

QString cleanEditText(const QString &text, bool upperCase, const CharFilter &filter, int maxLength)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (filter && !filter(c))
            continue;
        out.append(upperCase ? c.toUpper() : c);
    }
    if (maxLength > 0 && out.size() > maxLength)
        out.truncate(maxLength);
    return out;
}

TVeDBEdit::TVeDBEdit(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, &TVeDBEdit::onTextEdited);
}

void TVeDBEdit::onTextEdited(const QString &text)
{
    const QString clean = cleanEditText(text, m_upperCase, m_filter, maxLength());
    if (clean != text) {
        // Keep the cursor where the user was typing, less what was dropped before it.
        const int dropped = text.size() - clean.size();
        const int pos = qMax(0, cursorPosition() - dropped);
        setText(clean);
        setCursorPosition(qMin(pos, int(clean.size())));
    }
    notifyUserChange();
}

QVariant TVeDBEdit::fieldValue() const
{
    return text().isEmpty() ? QVariant() : QVariant(text());
}

void TVeDBEdit::setFieldValue(const QVariant &value)
{
    setText(value.isNull() ? QString() : value.toString());
    setCursorPosition(0);
}

TVeDBNumericEdit::TVeDBNumericEdit(QWidget *parent) : QLineEdit(parent)
{
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d{0,18}")), this));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QLineEdit::textEdited, this, [this]() { notifyUserChange(); });
}

QVariant TVeDBNumericEdit::fieldValue() const
{
    bool ok = false;
    const qlonglong v = text().toLongLong(&ok);
    return ok ? QVariant(v) : QVariant();
}

void TVeDBNumericEdit::setFieldValue(const QVariant &value)
{
    setText(value.isNull() ? QString() : QString::number(value.toLongLong()));
}

} // namespace ccp::fw
