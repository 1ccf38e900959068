#include "AbcURegister.h"

#include "AbcFApertura.h"
#include "AbcFAggregati.h"
#include "AbcFVoci.h"
#include "TVeAccess.h"
#include "TVeLaunchers.h"
#include "VeMessageDlg.h"

#include <QApplication>
#include <QSqlDatabase>

namespace ccp::budget {

namespace {

QString s_connection;
// The choice of the last opening dialog, for the window the launcher creates next.
BudgetView s_view;

QSqlDatabase database() { return QSqlDatabase::database(s_connection, false); }

} // namespace

void registerWindows(const QString &connectionName)
{
    s_connection = connectionName;
    auto &registry = fw::TVeFormRegistry::instance();
    registry.registerClass(QStringLiteral("TfmAggregati"), [](QWidget *parent) -> QWidget * {
        return new TfmAggregati(database(), BudgetYear::fromGlobalValues(), s_view, parent);
    });
    registry.registerClass(QStringLiteral("TfmVoci"), [](QWidget *parent) -> QWidget * {
        return new TfmVoci(database(), BudgetYear::fromGlobalValues(), s_view, parent);
    });
}

bool canOpen(int kind)
{
    if (kind == 2 && !fw::TVeAccessProfile::current().HasRight(fw::Rights::BudgetWrite)) {
        fw::showWarning(AbcMessages::NoWriteRights);
        return false;
    }
    TfwAbcApertura dialog(database(), kind == 1 ? QStringLiteral("Aggregati") : QStringLiteral("Voci e Progetti"),
                          QApplication::activeWindow());
    if (!dialog.load() || dialog.exec() != QDialog::Accepted)
        return false;
    s_view = dialog.view();
    return true;
}

} // namespace ccp::budget
