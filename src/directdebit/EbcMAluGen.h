#pragma once
#include "Result.h"

#include <QObject>
#include <QSqlDatabase>
#include <QVariant>

namespace ccp::fw {
class TVeQueryCollection;
}

namespace ccp::directdebit {

// The three lists of the pupils' bank coordinates: the coordinates, the causali of the current
// coordinates and the components of the current causale; each follows the one above it.
class TdmEbcAluGen : public QObject
{
    Q_OBJECT
public:
    explicit TdmEbcAluGen(QSqlDatabase db, QObject *parent = nullptr);

    QSqlDatabase database() const { return m_db; }
    // Binds the school year and opens the three lists.
    Status open(int ansId);
    void close();

    // Reopen the causali for the current coordinates, the components for the current causale.
    // `force` reads them again even when they already show that row (after a post).
    Status followAluGen(bool force = false);
    Status followAcbCau(bool force = false);

    fw::TVeQueryCollection *xqcAluGen;
    fw::TVeQueryCollection *xqcAcbCau;
    fw::TVeQueryCollection *xqcCcaAcbCau;

private:
    QSqlDatabase m_db;
    bool m_opening = false;
};

} // namespace ccp::directdebit
