#include "AbiURegister.h"

#include "AbiFBen.h"
#include "AbiFBenSearch.h"
#include "AbiFComEsteri.h"
#include "AbiMCom.h"
#include "TVeQueryCollection.h"
#include "AbiMBen.h"
#include "TVeLaunchers.h"
#include "VeMessageDlg.h"

#include <QCoreApplication>
#include <QPointer>

namespace ccp::ben {

namespace {
QSqlDatabase g_db;
QString g_mainDirectory;
QPointer<TdmBeneficiari> g_module;
QPointer<TdmComuni> g_towns;
} // namespace

TdmBeneficiari *registryModule() { return g_module; }

bool openTownsModule(QSqlDatabase db)
{
    if (g_towns && g_towns->db().connectionName() != db.connectionName())
        delete g_towns;
    if (!g_towns)
        g_towns = new TdmComuni(db, QCoreApplication::instance());
    if (!g_towns)
        return false;
    if (!g_towns->xqcComEsteri()->isOpen() && !g_towns->open()) {
        delete g_towns;
        g_towns = nullptr;
    }
    return true;
}

void registerWindows(QSqlDatabase db, const QString &mainDirectory)
{
    g_db = std::move(db);
    g_mainDirectory = mainDirectory;
    fw::TVeFormRegistry::instance().registerClass(QStringLiteral("TfmBeneficiari"), [](QWidget *parent) -> QWidget * {
        if (!g_module)
            g_module = new TdmBeneficiari(g_db, QCoreApplication::instance());
        // This program opens the registry on every beneficiary (mode 0), option 1.
        if (auto s = g_module->open(0, 1); !s) {
            fw::showError(QStringLiteral("Impossibile caricare il modulo.\r\n") + s.error());
            return nullptr;
        }
        auto *form = new TfmBeneficiari(*g_module, parent);
        form->OnFirstShow = [form] {
            // The batch commits row by row: no list may hold a cursor on the connection meanwhile.
            auto *list = g_module->xqcBeneficiari();
            const QVariant key = list->currentKey();
            list->close();
            runIbanBatchCheck(g_db, g_mainDirectory, form);
            if (auto s = list->open(); !s)
                fw::showError(s.error());
            else if (key.isValid())
                (void)list->locate(key);
        };
        return form;
    });
    fw::TVeFormRegistry::instance().registerClass(QStringLiteral("TfmAbiBenSearch"), [](QWidget *parent) -> QWidget * {
        return new TfmAbiBenSearch(g_db, parent);
    });
    fw::TVeFormRegistry::instance().registerClass(QStringLiteral("TfmAbiMultiSelectBen"), [](QWidget *parent) -> QWidget * {
        return new TfmAbiMultiSelectBen(g_db, parent);
    });
    fw::TVeFormRegistry::instance().registerClass(QStringLiteral("TfmComEsteri"), [](QWidget *parent) -> QWidget * {
        openTownsModule(g_db);
        if (!g_towns)
            g_towns = new TdmComuni(g_db, QCoreApplication::instance());
        return new TfmComEsteri(*g_towns, parent);
    });
}

} // namespace ccp::ben
