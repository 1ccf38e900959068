#pragma once
#include "TVeDBControl.h"

#include <QCheckBox>

namespace ccp::fw {

// Data-aware check box over a 0/1 flag column; while not editable it cannot be toggled
// but still takes the focus.
class TVeDBCheckBox : public QCheckBox, public TVeDBControl
{
    Q_OBJECT
public:
    explicit TVeDBCheckBox(const QString &text = {}, QWidget *parent = nullptr);

    QVariant fieldValue() const override { return isChecked() ? 1 : 0; }
    void setFieldValue(const QVariant &value) override;
    QWidget *widget() override { return this; }

protected:
    void applyEditable(bool) override {}
    void nextCheckState() override;

private:
    bool m_loading = false;
};

} // namespace ccp::fw
