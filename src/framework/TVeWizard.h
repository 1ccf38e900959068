#pragma once
#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QStackedWidget;

namespace ccp::fw {

// Wizard base: pages shown one at a time with "< Indietro", "Avanti >", "OK", "Annulla".
// Leaving a page forward asks canLeavePage, entering one asks canEnterPage; either can
// refuse the move (after showing its message). OK is offered on the last page only, and
// asks canLeavePage of it before closing.
class TVeWizard : public QDialog
{
    Q_OBJECT
public:
    explicit TVeWizard(const QString &title, QWidget *parent = nullptr);

    int addPage(QWidget *page, const QString &title);
    int pageCount() const;
    int currentPage() const;
    QWidget *page(int index) const;

    // Hooks for owners that do not subclass.
    std::function<bool(int page, bool forward)> onPageLeave;
    std::function<bool(int page, bool forward)> onPageEnter;
    std::function<void(int page)> onPageShown;

    QPushButton *nextButton() const { return m_next; }
    QPushButton *priorButton() const { return m_prior; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

public Q_SLOTS:
    bool next();
    bool prior();
    void accept() override;

Q_SIGNALS:
    void pageChanged(int page);

protected:
    // Moving back never asks the page being left: nothing typed there is lost.
    virtual bool canLeavePage(int page, bool forward) { return !onPageLeave || onPageLeave(page, forward); }
    virtual bool canEnterPage(int page, bool forward) { return !onPageEnter || onPageEnter(page, forward); }
    virtual void pageShown(int page)
    {
        if (onPageShown)
            onPageShown(page);
    }

private:
    bool moveTo(int page, bool forward);
    void updateButtons();

    QLabel *m_title;
    QStackedWidget *m_pages;
    QStringList m_titles;
    QPushButton *m_prior;
    QPushButton *m_next;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

} // namespace ccp::fw
