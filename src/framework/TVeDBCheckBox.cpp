#include "TVeDBCheckBox.h"

namespace ccp::fw {

TVeDBCheckBox::TVeDBCheckBox(const QString &text, QWidget *parent) : QCheckBox(text, parent)
{
    connect(this, &QCheckBox::toggled, this, [this]() {
        if (!m_loading)
            notifyUserChange();
    });
}

void TVeDBCheckBox::setFieldValue(const QVariant &value)
{
    m_loading = true;
    setChecked(!value.isNull() && value.toInt() != 0);
    m_loading = false;
}

void TVeDBCheckBox::nextCheckState()
{
    if (isEditable())
        QCheckBox::nextCheckState();
}

} // namespace ccp::fw
