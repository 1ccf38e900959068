#pragma once
#include "TVeLaunchers.h"

#include <QSqlDatabase>
#include <functional>

namespace ccp::fees {
class TdmEbsDataSets;
}

namespace ccp::app {

// Launchers of the school-fees layer shared with a sibling program: causali, components,
// budget aggregates and items, component types, payment methods. Its owner places them.
class TdmEbsAtt : public fw::TdmVeAttivazioni
{
    Q_OBJECT
public:
    explicit TdmEbsAtt(QObject *parent = nullptr);

    // Set by the owner: the help file given to every launcher, and the context key that holds
    // the financial year.
    void setHelpFile(const QString &file);
    const QString &helpFile() const { return m_helpFile; }
    // Also creates the school-fees data sets on that connection (freed with this module).
    void setDatabase(QSqlDatabase db);
    QString ParamAnfIdName;

    fw::TVeAttForm *xafCausali;
    fw::TVeAttForm *xafCompCaus;
    fw::TVeAttForm *xafAggregati;
    fw::TVeAttForm *xafVoci;
    fw::TVeAttForm *xafTipoCompCau;
    fw::TVeAttForm *xafTipoPagamento;

    // The budget-items module's answer to whether its list can be opened (kind 1 aggregates,
    // kind 2 items); the budget subsystem installs it.
    static inline std::function<bool(int kind)> BudgetCanOpen;

    static QString notAvailableMessage(const QString &caption);
    // Refuses, with a message, a window whose class this version does not have yet.
    static bool requireWindow(const fw::TVeAttForm &launcher);

private:
    bool budgetBeforeExecute(fw::TVeAttForm &launcher, int kind);
    QString m_helpFile;
    QSqlDatabase m_db;
    fees::TdmEbsDataSets *m_dataSets = nullptr;
};

} // namespace ccp::app
