#include "AcbURegister.h"

#include "EbcFAluGen.h"
#include "EbcFExpBanche.h"
#include "EbsMDataSets.h"
#include "TVeLaunchers.h"
#include "VeMessageDlg.h"

#include <QDir>

namespace ccp::directdebit {

void registerWindows(const QString &mainDirectory)
{
    const QString filters = QDir(mainDirectory).filePath(QStringLiteral("usr/ebc/filter"));
    auto &registry = fw::TVeFormRegistry::instance();
    registry.registerClass(QStringLiteral("TfmEbcAluGen"), [filters](QWidget *parent) -> QWidget * {
        // The windows share the one connection the school-fees data module holds.
        fees::TdmEbsDataSets *ds = fees::TdmEbsDataSets::instance();
        if (!ds) {
            fw::showError(QStringLiteral("Il modulo dati delle causali non è disponibile."));
            return nullptr;
        }
        auto *w = new TfmEbcAluGen(ds->database(), parent);
        w->filterFolder = filters;
        return w;
    });
    registry.registerClass(QStringLiteral("TfwEbcExport_Banche"), [mainDirectory](QWidget *parent) -> QWidget * {
        fees::TdmEbsDataSets *ds = fees::TdmEbsDataSets::instance();
        if (!ds) {
            fw::showError(QStringLiteral("Il modulo dati delle causali non è disponibile."));
            return nullptr;
        }
        return new TfwEbcExport_Banche(ds->database(), mainDirectory, parent);
    });
}

} // namespace ccp::directdebit
