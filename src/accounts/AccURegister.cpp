#include "AccURegister.h"

#include "EbcFCcp.h"
#include "EbcFInitAnf.h"
#include "TVeGlobalValues.h"
#include "TVeLaunchers.h"

namespace ccp::accounts {

void registerWindows(QSqlDatabase (*db)())
{
    auto &registry = fw::TVeFormRegistry::instance();
    registry.registerClass(QStringLiteral("TfmEbcCcp"), [db](QWidget *parent) -> QWidget * {
        return new TfmEbcCcp(db(), parent);
    });
    registry.registerClass(QStringLiteral("TfmEbcInitAnf"), [db](QWidget *parent) -> QWidget * {
        const auto &values = fw::TVeGlobalValuesManager::instance();
        return new TfmEbcInitAnf(db(), values.intValue(QStringLiteral("EBCP_SprIstId")),
                                 values.intValue(QStringLiteral("VEUP_AnsId")), parent);
    });
}

} // namespace ccp::accounts
