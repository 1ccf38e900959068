#pragma once
#include "TVeEditFrame.h"

#include <QSqlDatabase>
#include <QStringList>

namespace ccp::fw {
class TVeDBCheckBox;
class TVeDBEdit;
class TVeDBLookupEdit;
class TVeQueryCollection;
} // namespace ccp::fw

namespace ccp::fwtest {

// A small real window over the payment methods, used to drive the framework end to end.
class MpgDemoFrame : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    static constexpr const char *Select =
        "SELECT iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked FROM TMpg_ModPagam "
        "WHERE (DDELETE IS NULL) AND ##WHERE##";

    explicit MpgDemoFrame(QSqlDatabase db, QWidget *parent = nullptr);

    fw::TVeDBEdit *xdeCodice;
    fw::TVeDBEdit *xdeDescrizione;
    fw::TVeDBCheckBox *xckRisc;
    fw::TVeDBCheckBox *xckPag;
    // What the hooks saw, in order ("before 1 0 TMPG_MODPAGAM", "after 1 0 id=7", ...).
    QStringList hookLog;

    static QString kindMessage();
};

// A frame over the direct-debit coordinates whose payment method is a lookup on the methods.
class AcbDemoFrame : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    AcbDemoFrame(QSqlDatabase db, int anaId, QWidget *parent = nullptr);

    fw::TVeDBLookupEdit *xdlModPag;
    fw::TVeDBEdit *xdeIntestatario;
    int changes = 0;  // OnChangeFKValue calls
};

} // namespace ccp::fwtest
