#include "EbsRBarCode.h"

#include "EbsUBarCode.h"
#include "TVeDBDateEdit.h"
#include "TVeQueryModel.h"
#include "VeMessageDlg.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace ccp::movements {

TfrEbsBarCode::TfrEbsBarCode(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("frEbsBarCode"));
    setToolTip(QStringLiteral("Caricamento mediante codice a barre"));
    setFrameShape(QFrame::StyledPanel);

    deData1 = new fw::TVeDBDateEdit(this);
    deData1->setObjectName(QStringLiteral("deData1"));
    deData1->setCaption(QStringLiteral("Data estratto conto"));
    deData2 = new fw::TVeDBDateEdit(this);
    deData2->setObjectName(QStringLiteral("deData2"));
    deData2->setCaption(QStringLiteral("Data movimento"));
    edBarCode = new QLineEdit(this);
    edBarCode->setObjectName(QStringLiteral("edBarCode"));
    for (fw::TVeDBDateEdit *d : {deData1, deData2})
        d->setModeEditable(true);

    lbData1 = new QLabel(QStringLiteral("Data estratto conto"), this);
    lbData2 = new QLabel(QStringLiteral("Data movimento"), this);
    lbBarCode = new QLabel(QStringLiteral("Codice"), this);
    lbData1->setBuddy(deData1);
    lbData2->setBuddy(deData2);
    lbBarCode->setBuddy(edBarCode);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->addWidget(lbData1, 0, 0);
    grid->addWidget(deData1, 1, 0);
    grid->addWidget(lbData2, 0, 1);
    grid->addWidget(deData2, 1, 1);
    grid->addWidget(lbBarCode, 0, 2);
    grid->addWidget(edBarCode, 1, 2);
    grid->setColumnStretch(2, 1);
    setTabOrder(deData1, deData2);
    setTabOrder(deData2, edBarCode);

    for (QWidget *w : {static_cast<QWidget *>(deData1), static_cast<QWidget *>(deData2),
                       static_cast<QWidget *>(edBarCode)}) {
        w->setAutoFillBackground(true);
        w->installEventFilter(this);
    }

    // The code is shown in upper case as it is typed.
    connect(edBarCode, &QLineEdit::textEdited, this, [this](const QString &text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int pos = edBarCode->cursorPosition();
            edBarCode->setText(upper);
            edBarCode->setCursorPosition(pos);
        }
    });
    connect(edBarCode, &QLineEdit::returnPressed, this, &TfrEbsBarCode::submit);

    setDates(BarCodeContext::parameterDate(QStringLiteral("EBCP_MvmDataEc")),
             BarCodeContext::parameterDate(QStringLiteral("EBCP_MvmDataMov")));
}

void TfrEbsBarCode::setDateRules(int anfValore, const QDate &accountStart)
{
    m_anfValore = anfValore;
    m_accountStart = accountStart;
}

void TfrEbsBarCode::setQueue(TEbsBarCodeQueue *queue)
{
    m_queue = queue;
}

QDate TfrEbsBarCode::dataEc() const
{
    return deData1->date();
}

QDate TfrEbsBarCode::dataMov() const
{
    return deData2->date();
}

void TfrEbsBarCode::setDates(const QDate &dataEc, const QDate &dataMov)
{
    deData1->setDate(dataEc);
    deData2->setDate(dataMov);
}

bool TfrEbsBarCode::IsBarCodeActive() const
{
    return edBarCode->hasFocus() || deData1->hasFocus() || deData2->hasFocus();
}

void TfrEbsBarCode::setBarCodeEnabled(bool enabled)
{
    deData1->setEnabled(enabled);
    deData2->setEnabled(enabled);
    edBarCode->setEnabled(enabled);
}

bool TfrEbsBarCode::checkDates()
{
    // Half-typed dates are finished first (an unreadable one is refused by its edit).
    if (!deData1->commitText() || !deData2->commitText())
        return false;
    const BarCodeDateCheck check = checkBarCodeDates(dataEc(), dataMov(), m_anfValore, m_accountStart);
    if (check.ok())
        return true;
    m_checking = true;
    fw::showError(check.message);
    (check.field == BarCodeDateCheck::StatementDate ? deData1 : deData2)->setFocus(Qt::OtherFocusReason);
    m_checking = false;
    return false;
}

void TfrEbsBarCode::submit()
{
    const QString code = edBarCode->text().trimmed();
    // Emptied before the reading is handled: the next reading never joins this one.
    edBarCode->clear();
    if (code.isEmpty())
        return;
    Q_EMIT codeRead(code);
    if (m_queue)
        m_queue->enqueue(BarCodeReading{code, dataMov(), dataEc()});
}

bool TfrEbsBarCode::eventFilter(QObject *watched, QEvent *event)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w)
        return QFrame::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, fw::TVeQueryModel::highlightColour());
        p.setColor(QPalette::Window, fw::TVeQueryModel::highlightColour());
        p.setColor(QPalette::Text, Qt::black);
        w->setPalette(p);
        if (w == edBarCode && !m_checking) {
            // The dates are checked once the focus has settled here (a message box now would
            // take the focus in the middle of its change).
            QTimer::singleShot(0, this, [this]() {
                if (edBarCode->hasFocus() && !m_checking && checkDates())
                    Q_EMIT readyToRead();
            });
        }
    } else if (event->type() == QEvent::FocusOut) {
        w->setPalette(QApplication::palette(w));
        if (w == edBarCode && !m_checking && !edBarCode->text().trimmed().isEmpty()) {
            const auto reason = static_cast<QFocusEvent *>(event)->reason();
            // A pending reading is handled as if Enter had been pressed; the focus comes back.
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
                QTimer::singleShot(0, this, [this]() {
                    if (edBarCode->text().trimmed().isEmpty())
                        return;
                    submit();
                    m_checking = true;
                    edBarCode->setFocus(Qt::OtherFocusReason);
                    m_checking = false;
                });
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace ccp::movements
