#pragma once
#include "TVeDBControl.h"

#include <QDate>
#include <QLineEdit>
#include <QPointer>

class QCalendarWidget;

namespace ccp::fw {

// What a typed date text means: empty (no date), a date, or not a date.
struct DateText
{
    enum Kind { Empty, Valid, Invalid } kind = Empty;
    QDate date;
};
// Reads "dd/MM/yyyy" (also "d/M/yyyy", "dd-MM-yyyy", "ddMMyyyy"); the year must have four digits.
DateText parseDateText(const QString &text);
QString formatDate(const QDate &date);  // "dd/MM/yyyy", empty for no date

inline const QString &invalidDateMessage()
{
    static const QString m = QStringLiteral("Data non valida: scrivere giorno, mese e anno a quattro cifre (gg/mm/aaaa).");
    return m;
}

// Data-aware date edit: empty allowed, four-digit year, F8 or Alt+Down opens a calendar.
class TVeDBDateEdit : public QLineEdit, public TVeDBControl
{
    Q_OBJECT
public:
    explicit TVeDBDateEdit(QWidget *parent = nullptr);

    QDate date() const { return m_date; }
    void setDate(const QDate &date);

    QVariant fieldValue() const override;
    void setFieldValue(const QVariant &value) override;
    // An unreadable text is refused with a message and the focus stays here.
    bool commitText() override;
    QWidget *widget() override { return this; }

    void showCalendar();
    QCalendarWidget *calendar() const { return m_calendar; }

Q_SIGNALS:
    void dateEdited(const QDate &date);

protected:
    void applyEditable(bool editable) override { setReadOnly(!editable); }
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void setUserDate(const QDate &date);

    QDate m_date;
    QPointer<QCalendarWidget> m_calendar;
    bool m_typing = false;
    bool m_refusing = false;
};

} // namespace ccp::fw
