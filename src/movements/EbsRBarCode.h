#pragma once
#include <QDate>
#include <QFrame>
#include <QPointer>

class QLabel;
class QLineEdit;

namespace ccp::fw {
class TVeDBDateEdit;
}

namespace ccp::movements {

class TEbsBarCodeQueue;

// The bar-code panel embedded at the bottom of the movement entry frame: statement date,
// movement date and the code edit a scanner types into (each reading ends with Enter).
class TfrEbsBarCode : public QFrame
{
    Q_OBJECT
public:
    explicit TfrEbsBarCode(QWidget *parent = nullptr);

    // The year and opening date the dates are checked against on entering the code edit.
    void setDateRules(int anfValore, const QDate &accountStart);
    // Readings go to `queue` with the panel's dates (not owned; may be null).
    void setQueue(TEbsBarCodeQueue *queue);

    QDate dataEc() const;    // deData1
    QDate dataMov() const;   // deData2
    void setDates(const QDate &dataEc, const QDate &dataMov);

    // True when the code edit or either date edit has the focus.
    bool IsBarCodeActive() const;
    // The three controls together.
    void setBarCodeEnabled(bool enabled);

    // Runs the date rules; a failure shows its message and focuses the offending date.
    bool checkDates();

    fw::TVeDBDateEdit *deData1 = nullptr;  // "Data estratto conto"
    fw::TVeDBDateEdit *deData2 = nullptr;  // "Data movimento"
    QLineEdit *edBarCode = nullptr;        // "Codice"
    QLabel *lbData1 = nullptr;
    QLabel *lbData2 = nullptr;
    QLabel *lbBarCode = nullptr;

Q_SIGNALS:
    // Each non-empty reading, emitted before it is handed to the queue.
    void codeRead(const QString &code);
    // The code edit has the focus and the dates are right: readings may come.
    void readyToRead();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void submit();

    int m_anfValore = 0;
    QDate m_accountStart;
    QPointer<TEbsBarCodeQueue> m_queue;
    bool m_checking = false;
};

} // namespace ccp::movements
