#include "VeMessageDlgQt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ccp::fw {

QString displayText(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

namespace {

QString captionFor(MsgType type)
{
    switch (type) {
    case MsgType::Information: return QStringLiteral("Informazione");
    case MsgType::Warning: return QStringLiteral("Attenzione");
    case MsgType::Error: return QStringLiteral("Errore");
    case MsgType::Confirmation: return QStringLiteral("Conferma");
    }
    return {};
}

QMessageBox::Icon iconFor(MsgType type)
{
    switch (type) {
    case MsgType::Information: return QMessageBox::Information;
    case MsgType::Warning: return QMessageBox::Warning;
    case MsgType::Error: return QMessageBox::Critical;
    case MsgType::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

std::unique_ptr<QMessageBox> createMessageBox(const QString &text, MsgType type, MsgButtons buttons,
                                              QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(captionFor(type));
    box->setIcon(iconFor(type));
    box->setText(displayText(text));
    box->setTextFormat(Qt::PlainText);
    switch (buttons) {
    case MsgButtons::Ok: {
        QPushButton *ok = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box->setDefaultButton(ok);
        box->setEscapeButton(ok);
        break;
    }
    case MsgButtons::YesNo: {
        QPushButton *yes = box->addButton(QStringLiteral("&Sì"), QMessageBox::YesRole);
        QPushButton *no = box->addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box->setDefaultButton(yes);
        box->setEscapeButton(no);
        break;
    }
    case MsgButtons::YesNoCancel: {
        QPushButton *yes = box->addButton(QStringLiteral("&Sì"), QMessageBox::YesRole);
        box->addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        QPushButton *cancel = box->addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
        box->setDefaultButton(yes);
        box->setEscapeButton(cancel);
        break;
    }
    }
    return box;
}

MsgResult messageBoxResult(const QMessageBox &box, MsgButtons buttons)
{
    QAbstractButton *clicked = box.clickedButton();
    const QMessageBox::ButtonRole role = clicked ? box.buttonRole(clicked) : QMessageBox::RejectRole;
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::YesNo:
        return role == QMessageBox::YesRole ? MsgResult::Yes : MsgResult::No;
    case MsgButtons::YesNoCancel:
        if (role == QMessageBox::YesRole)
            return MsgResult::Yes;
        if (role == QMessageBox::NoRole)
            return MsgResult::No;
        return MsgResult::Cancel;
    }
    return MsgResult::Cancel;
}

MsgResult QtMessageSink::show(const QString &text, MsgType type, MsgButtons buttons)
{
    auto box = createMessageBox(text, type, buttons, QApplication::activeWindow());
    box->exec();
    return messageBoxResult(*box, buttons);
}

} // namespace ccp::fw
