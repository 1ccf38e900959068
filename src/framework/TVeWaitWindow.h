#pragma once
#include <QDialog>

class QLabel;
class QProgressBar;

namespace ccp::fw {

// Shown during a long operation on the one user-interface thread: a title, a text and a
// progress bar advanced by step(). It repaints itself on each step; it has no buttons.
class TVeWaitWindow : public QDialog
{
    Q_OBJECT
public:
    explicit TVeWaitWindow(const QString &title, const QString &text = {}, int count = 0,
                           QWidget *parent = nullptr);

    void setText(const QString &text);
    // `count` steps make 100%; 0 shows a busy bar.
    void setCount(int count);
    void step(int steps = 1);
    int position() const;
    int count() const;
    QString text() const;

    // Shows it and paints it at once (the work that follows blocks the event loop).
    void showNow();

protected:
    void keyPressEvent(QKeyEvent *event) override;  // Esc does not close it
    void closeEvent(QCloseEvent *event) override;

private:
    void repaintNow();

    QLabel *m_text;
    QProgressBar *m_bar;
};

} // namespace ccp::fw
