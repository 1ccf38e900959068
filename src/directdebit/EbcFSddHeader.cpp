#include "EbcFSddHeader.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace ccp::directdebit {

TfrEbcSddHeader::TfrEbcSddHeader(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frEbcSddHeader"));
    auto *alnum = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9]{0,35}")), this);
    edIdCreditore = new QLineEdit;
    edIdCreditore->setObjectName(QStringLiteral("edIdCreditore"));
    edIdCreditore->setMaxLength(35);
    edIdCreditore->setValidator(alnum);
    edIdCreditore->setToolTip(QStringLiteral("Identificativo creditore SEPA assegnato dalla banca (es. IT..ZZZ e codice fiscale)"));
    edIdCreditore->setMinimumWidth(edIdCreditore->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 24);
    // The identifier is written in capitals whatever is typed.
    connect(edIdCreditore, &QLineEdit::textEdited, this, [this](const QString &text) {
        const int pos = edIdCreditore->cursorPosition();
        edIdCreditore->setText(text.toUpper());
        edIdCreditore->setCursorPosition(pos);
    });
    edCUC = new QLineEdit;
    edCUC->setObjectName(QStringLiteral("edCUC"));
    edCUC->setMaxLength(35);
    edCUC->setValidator(alnum);
    edCUC->setToolTip(QStringLiteral("Codice CBI dell'istituto (CUC) indicato dalla banca"));
    cbVersioneSdd = new QComboBox;
    cbVersioneSdd->setObjectName(QStringLiteral("cbVersioneSdd"));
    cbVersioneSdd->addItem(QStringLiteral("00.01.00"), int(SddVersion::V000100));
    cbVersioneSdd->addItem(QStringLiteral("00.01.01 (dal 17/03/2024)"), int(SddVersion::V000101));

    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("Identificativo &creditore"), edIdCreditore);
    form->addRow(QStringLiteral("Codice C&UC"), edCUC);
    form->addRow(QStringLiteral("&Versione messaggio"), cbVersioneSdd);
}

void TfrEbcSddHeader::setSettings(const SddSettings &s)
{
    edIdCreditore->setText(s.creditorId.toUpper());
    edCUC->setText(s.cuc);
    cbVersioneSdd->setCurrentIndex(qMax(0, cbVersioneSdd->findData(int(s.version))));
}

SddSettings TfrEbcSddHeader::settings() const
{
    SddSettings s;
    s.creditorId = edIdCreditore->text().trimmed().toUpper();
    s.cuc = edCUC->text().trimmed();
    s.version = SddVersion(cbVersioneSdd->currentData().toInt());
    return s;
}

QString TfrEbcSddHeader::check()
{
    if (QString e = checkCreditorId(edIdCreditore->text()); !e.isEmpty()) {
        edIdCreditore->setFocus();
        return e;
    }
    if (QString e = checkCuc(edCUC->text()); !e.isEmpty()) {
        edCUC->setFocus();
        return e;
    }
    return {};
}

} // namespace ccp::directdebit
