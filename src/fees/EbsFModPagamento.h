#pragma once
#include "TVeMdiForm.h"
#include "TVeEditFrame.h"

#include <QVariant>
#include <QPointer>
#include <QWidget>

namespace ccp::fw {
class TVeDBCheckBox;
class TVeDBEdit;
} // namespace ccp::fw

namespace ccp::fees {

class TdmEbsDataSets;

// "SI" for a set flag, "NO" for 0 (or no value), as the flag columns of the lists show them.
QString siNo(const QVariant &flag);

// The payment methods: code, description, usable for collections and for payments.
class TfrEbsModPagamento : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    explicit TfrEbsModPagamento(fw::TVeQueryCollection *collection, QWidget *parent = nullptr);

    fw::TVeDBEdit *xdeCodice;
    fw::TVeDBEdit *xdeDescrizione;
    fw::TVeDBCheckBox *xckRisc;
    fw::TVeDBCheckBox *xckPag;
};

class TfmEbsModPagamento : public fw::TVeMdiForm
{
    Q_OBJECT
public:
    explicit TfmEbsModPagamento(TdmEbsDataSets &dm, QWidget *parent = nullptr);
    ~TfmEbsModPagamento() override;
    TfrEbsModPagamento *frame() const { return m_frame; }

protected:
    void formShown() override;
    bool formCanClose() override;
    void formClosed() override;

private:
    QPointer<TdmEbsDataSets> m_dm;
    TfrEbsModPagamento *m_frame;
};

} // namespace ccp::fees
