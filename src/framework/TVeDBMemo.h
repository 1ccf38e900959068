#pragma once
#include "TVeDBControl.h"

#include <QPlainTextEdit>

namespace ccp::fw {

// Data-aware multi-line text; Tab moves on to the next control.
class TVeDBMemo : public QPlainTextEdit, public TVeDBControl
{
    Q_OBJECT
public:
    explicit TVeDBMemo(QWidget *parent = nullptr);

    void setMaxLength(int length) { m_maxLength = length; }
    QVariant fieldValue() const override;
    void setFieldValue(const QVariant &value) override;
    QWidget *widget() override { return this; }

protected:
    void applyEditable(bool editable) override { setReadOnly(!editable); }

private:
    int m_maxLength = 0;
    bool m_loading = false;
};

} // namespace ccp::fw
