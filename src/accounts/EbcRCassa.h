#pragma once
#include "TVeEditFrame.h"

class QAction;

namespace ccp::fw {
class TVeDBCurrencyEdit;
class TVeDBNumericEdit;
} // namespace ccp::fw

namespace ccp::accounts {

// The yearly balance rows of the selected account (read-only: rows come from the year wizard).
class TfrEbcCassa : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    explicit TfrEbcCassa(fw::TVeQueryCollection *collection, QWidget *parent = nullptr);

    QAction *xacUpdateAnno;
    fw::TVeDBNumericEdit *xdeEsercizio;
    fw::TVeDBCurrencyEdit *xdcSaldoIn;
    fw::TVeDBCurrencyEdit *xdcSaldoOut;
    fw::TVeDBCurrencyEdit *xdcCassaIn;
    fw::TVeDBCurrencyEdit *xdcCassaAtt;
    fw::TVeDBCurrencyEdit *xdcDiffIniz;
    fw::TVeDBCurrencyEdit *xdcDiff;
};

// The composition of the selected year's balance by top-level component type.
class TfrEbcTcc : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    explicit TfrEbcTcc(fw::TVeQueryCollection *collection, QWidget *parent = nullptr);

    QAction *acModificaSaldo;
};

// Makes a frame a list to look at: no insert, edit, post, cancel or delete.
void makeReadOnlyList(fw::TVeEditFrame &frame);

} // namespace ccp::accounts
