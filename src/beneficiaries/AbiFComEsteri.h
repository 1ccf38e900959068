#pragma once
#include "TVeEditFrame.h"

#include <QDialog>

namespace ccp::fw {
class TVeDBEdit;
class TVeDBLookupEdit;
}

namespace ccp::ben {

class TdmComuni;

// The foreign towns: city, state, cadastral and ISTAT codes.
class TfrComEsteri : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    explicit TfrComEsteri(TdmComuni &dm, QWidget *parent = nullptr);
    fw::TVeDBEdit *xdeCitta;
    fw::TVeDBLookupEdit *xdlStato;
    fw::TVeDBEdit *xdeCodCatastale;
    fw::TVeDBEdit *xdeIstat;
};

// "Comuni esteri".
class TfmComEsteri : public QDialog
{
    Q_OBJECT
public:
    explicit TfmComEsteri(TdmComuni &dm, QWidget *parent = nullptr);
    TfrComEsteri *frame() const { return m_frame; }
    void reject() override;

private:
    TfrComEsteri *m_frame;
};

} // namespace ccp::ben
