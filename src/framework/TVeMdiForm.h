#pragma once
#include <QWidget>

class QMdiArea;
class QMdiSubWindow;

namespace ccp::fw {

// Base of the program's child windows: they open maximised in the main window's area, read
// their data when they first appear, and close only when their frames allow it.
class TVeMdiForm : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    // Once, when the window first appears (again after a close that was accepted).
    virtual void formShown() {}
    // Whether the window may close now; a refusal explains itself to the user.
    virtual bool formCanClose() { return true; }
    // After an accepted close: release the data the window opened.
    virtual void formClosed() {}
    bool wasShown() const { return m_shown; }

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_shown = false;
};

// Puts `form` in a sub-window of `area` that goes away with it: closed by its frame, or by the
// form itself (a dialog's OK, Annulla or Esc), so no empty frame stays behind.
QMdiSubWindow *addFormWindow(QMdiArea *area, QWidget *form);

} // namespace ccp::fw
