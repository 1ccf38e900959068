#pragma once
#include <QString>
#include <QVariant>
#include <functional>

class QWidget;

namespace ccp::fw {

// What every data-aware control offers the data source that binds it to a field:
// show a stored value, hand back the edited one, follow the editing mode.
class TVeDBControl
{
public:
    virtual ~TVeDBControl() = default;

    const QString &dataField() const { return m_dataField; }
    void setDataField(const QString &field) { m_dataField = field; }
    // The caption used in messages ("Il campo %s è obbligatorio.").
    const QString &caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }
    bool isRequired() const { return m_required; }
    void setRequired(bool required) { m_required = required; }
    // A control the owner made read-only stays so whatever the mode.
    bool isReadOnlyByOwner() const { return m_ownerReadOnly; }
    void setReadOnlyByOwner(bool readOnly)
    {
        m_ownerReadOnly = readOnly;
        applyEditable(m_modeEditable && !readOnly);
    }

    // The value to store (null when empty).
    virtual QVariant fieldValue() const = 0;
    // Shows a stored value; does not count as a user change.
    virtual void setFieldValue(const QVariant &value) = 0;
    // Finishes pending typing (e.g. a date half typed); false when the text is not acceptable
    // (the control has shown why).
    virtual bool commitText() { return true; }
    virtual QWidget *widget() = 0;

    // Called by the data source when the mode changes (browse: not editable).
    void setModeEditable(bool editable)
    {
        m_modeEditable = editable;
        applyEditable(editable && !m_ownerReadOnly);
    }
    bool isEditable() const { return m_modeEditable && !m_ownerReadOnly; }

    // The data source listens here for values the user changed.
    void setChangeHandler(std::function<void(TVeDBControl *)> handler) { m_onChange = std::move(handler); }

protected:
    virtual void applyEditable(bool editable) = 0;
    void notifyUserChange()
    {
        if (m_onChange)
            m_onChange(this);
    }

private:
    QString m_dataField;
    QString m_caption;
    std::function<void(TVeDBControl *)> m_onChange;
    bool m_required = false;
    bool m_ownerReadOnly = false;
    bool m_modeEditable = true;
};

} // namespace ccp::fw
