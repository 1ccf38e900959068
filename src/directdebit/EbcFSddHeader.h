#pragma once
#include "EbcUSepaSdd.h"

#include <QWidget>

class QComboBox;
class QLineEdit;

namespace ccp::directdebit {

// The school's SEPA data as header controls of the bank export: creditor identifier, CUC and
// the version of the CBI message.
class TfrEbcSddHeader : public QWidget
{
    Q_OBJECT
public:
    explicit TfrEbcSddHeader(QWidget *parent = nullptr);

    void setSettings(const SddSettings &settings);
    SddSettings settings() const;
    // The refusal of the typed data, empty when they may be used; the wrong control takes the
    // focus.
    QString check();

    QLineEdit *edIdCreditore;
    QLineEdit *edCUC;
    QComboBox *cbVersioneSdd;
};

} // namespace ccp::directdebit
