#pragma once
#include <QObject>
#include <QSqlDatabase>

namespace ccp::fw {
class TVeQueryCollection;
}

namespace ccp::accounts {

// The collections of the accounts window: the institute's accounts, the yearly balance rows of
// the selected account and the composition of the selected year by top-level component type.
class TdmEbcCcp : public QObject
{
    Q_OBJECT
public:
    explicit TdmEbcCcp(QSqlDatabase db, QObject *parent = nullptr);

    QSqlDatabase database() const { return m_db; }
    fw::TVeQueryCollection *xqcSprIst;
    fw::TVeQueryCollection *xqcCai;
    fw::TVeQueryCollection *xqcTcc;

    static QString accountsSelect();
    static QString balancesSelect();
    static QString compositionSelect();

private:
    QSqlDatabase m_db;
};

} // namespace ccp::accounts
