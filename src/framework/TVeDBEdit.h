#pragma once
#include "TVeDBControl.h"

#include <QLineEdit>
#include <functional>

namespace ccp::fw {

// Which characters a text edit accepts; refused characters are dropped as they are typed
// or pasted.
using CharFilter = std::function<bool(QChar)>;
namespace CharFilters {
bool digits(QChar c);
bool letters(QChar c);
bool digitsAndLetters(QChar c);
} // namespace CharFilters

// Applies upper case, the filter and the length limit to a text (what a paste leaves).
QString cleanEditText(const QString &text, bool upperCase, const CharFilter &filter, int maxLength);

// Data-aware single-line text edit.
class TVeDBEdit : public QLineEdit, public TVeDBControl
{
    Q_OBJECT
public:
    explicit TVeDBEdit(QWidget *parent = nullptr);

    void setUpperCase(bool on) { m_upperCase = on; }
    bool upperCase() const { return m_upperCase; }
    void setCharFilter(CharFilter filter) { m_filter = std::move(filter); }

    QVariant fieldValue() const override;
    void setFieldValue(const QVariant &value) override;
    QWidget *widget() override { return this; }

protected:
    void applyEditable(bool editable) override { setReadOnly(!editable); }

private:
    void onTextEdited(const QString &text);

    CharFilter m_filter;
    bool m_upperCase = false;
};

// Data-aware integer edit (digits and a leading minus).
class TVeDBNumericEdit : public QLineEdit, public TVeDBControl
{
    Q_OBJECT
public:
    explicit TVeDBNumericEdit(QWidget *parent = nullptr);

    QVariant fieldValue() const override;
    void setFieldValue(const QVariant &value) override;
    QWidget *widget() override { return this; }

protected:
    void applyEditable(bool editable) override { setReadOnly(!editable); }
};

} // namespace ccp::fw
