#include "TVeDBDateEdit.h"

#include "VeMessageDlg.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTimer>

namespace ccp::fw {

DateText parseDateText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    static const QRegularExpression separated(QStringLiteral("^(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d+)$"));
    static const QRegularExpression packed(QStringLiteral("^(\\d{2})(\\d{2})(\\d{4})$"));
    QRegularExpressionMatch m = separated.match(t);
    if (!m.hasMatch())
        m = packed.match(t);
    if (!m.hasMatch() || m.captured(3).size() != 4)
        return {DateText::Invalid, {}};
    const QDate d(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (!d.isValid())
        return {DateText::Invalid, {}};
    return {DateText::Valid, d};
}

QString formatDate(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

TVeDBDateEdit::TVeDBDateEdit(QWidget *parent) : QLineEdit(parent)
{
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9/.-]{0,10}")), this));
    setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
    setToolTip(QStringLiteral("F8: calendario"));
    connect(this, &QLineEdit::textEdited, this, [this]() { m_typing = true; });
    connect(this, &QLineEdit::returnPressed, this, [this]() { commitText(); });
}

void TVeDBDateEdit::setDate(const QDate &date)
{
    m_date = date.isValid() ? date : QDate();
    m_typing = false;
    setText(formatDate(m_date));
}

QVariant TVeDBDateEdit::fieldValue() const
{
    return m_date.isValid() ? QVariant(m_date) : QVariant();
}

void TVeDBDateEdit::setFieldValue(const QVariant &value)
{
    setDate(value.isNull() ? QDate() : value.toDate());
}

void TVeDBDateEdit::setUserDate(const QDate &date)
{
    const QDate old = m_date;
    setDate(date);
    if (old != m_date) {
        notifyUserChange();
        Q_EMIT dateEdited(m_date);
    }
}

bool TVeDBDateEdit::commitText()
{
    if (!m_typing)
        return true;
    const DateText parsed = parseDateText(text());
    if (parsed.kind == DateText::Invalid) {
        if (!m_refusing) {
            m_refusing = true;
            showError(invalidDateMessage());
            m_refusing = false;
            setFocus();
            selectAll();
        }
        return false;
    }
    setUserDate(parsed.date);
    return true;
}

void TVeDBDateEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F8 || (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier))) {
        if (!isReadOnly())
            showCalendar();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TVeDBDateEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Going to the calendar popup is not leaving; a message box taking focus is handled by m_refusing.
    if (event->reason() != Qt::PopupFocusReason && m_typing && !m_refusing)
        QTimer::singleShot(0, this, [this]() { commitText(); });
}

void TVeDBDateEdit::showCalendar()
{
    if (!m_calendar) {
        m_calendar = new QCalendarWidget(this);
        m_calendar->setWindowFlags(Qt::Popup);
        m_calendar->setFirstDayOfWeek(Qt::Monday);
        m_calendar->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
        m_calendar->setGridVisible(true);
        connect(m_calendar, &QCalendarWidget::activated, this, [this](QDate d) {
            m_calendar->hide();
            setUserDate(d);
            setFocus();
        });
        connect(m_calendar, &QCalendarWidget::clicked, this, [this](QDate d) {
            m_calendar->hide();
            setUserDate(d);
            setFocus();
        });
    }
    const DateText typed = parseDateText(text());
    m_calendar->setSelectedDate(typed.kind == DateText::Valid ? typed.date : (m_date.isValid() ? m_date : QDate::currentDate()));
    m_calendar->adjustSize();
    m_calendar->move(mapToGlobal(QPoint(0, height())));
    m_calendar->show();
    m_calendar->setFocus();
}

} // namespace ccp::fw
