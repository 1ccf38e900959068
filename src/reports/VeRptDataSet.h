#pragma once
#include "Result.h"

#include <QDialog>
#include <QSqlDatabase>
#include <functional>
#include <memory>

namespace ccp::reports {

// A report's main data set as the launcher sees it: the selection dialog shown before it
// opens and the handlers that set the dialog up and read its choices.
struct TVefrDBDataSet
{
    QString name;
    QString SelectForm;  // class name of the dialog; empty for none
    bool ShowSelectForm = false;
    bool DoAfterSelect = true;
    std::function<void(TVefrDBDataSet &, QDialog *)> OnBeforeSelectForm;
    std::function<void(TVefrDBDataSet &, QDialog *)> OnAfterSelectForm;
};

// The selection dialog named `className`, or nullptr when there is no such dialog.
std::unique_ptr<QDialog> createSelectForm(const QString &className, QSqlDatabase db, QWidget *parent = nullptr);
QStringList selectFormNames();

// How the dialog is shown; the program shows it modally, tests answer it.
using ShowSelectForm = std::function<int(QDialog &)>;

// Before the data set opens: create the dialog, configure it, show it, read it back.
// False when cancelled; true with no dialog asked for; an unknown dialog name is an error.
Result<bool> runSelectForm(TVefrDBDataSet &ds, QSqlDatabase db, QWidget *parent, const ShowSelectForm &show = {});

} // namespace ccp::reports
