#pragma once
#include <QDialog>
#include <functional>

class QDialogButtonBox;
class QPushButton;
class QVBoxLayout;

namespace ccp::fw {

// Modal dialog with a content area and "OK" / "Annulla". OK (also Ctrl+Enter) closes only
// when validate() agrees; Esc cancels.
class TVeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TVeDialog(const QString &title, QWidget *parent = nullptr);

    QVBoxLayout *contentLayout() const { return m_content; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    // Owner's check before closing with OK (shows its own message when it refuses).
    void setValidator(std::function<bool()> validate) { m_validate = std::move(validate); }

public Q_SLOTS:
    void accept() override;

protected:
    virtual bool validate() { return !m_validate || m_validate(); }

private:
    QVBoxLayout *m_content;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    std::function<bool()> m_validate;
};

} // namespace ccp::fw
