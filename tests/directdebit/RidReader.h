#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace ccp::acbtest {

// Reads a CBI RID flow by the published record positions (1-based, inclusive), independently
// of the program's layout files, and checks every record it reads.
struct RidDisposition
{
    qint64 cents = 0;
    QString dueDate, debtorAbi, debtorCab, debtorCode, debtor, street, cap, municipality, reason;
};

struct RidFile
{
    QString error;                    // empty when the flow is well formed
    QString sender, name, creation;
    QList<RidDisposition> dispositions;
    qint64 totalCents = 0;            // from the trailer
    int lines = 0;
};

// `kinds`: the records expected per disposition, in order.
RidFile readRid(const QByteArray &bytes,
                const QStringList &kinds = {QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"),
                                            QStringLiteral("40"), QStringLiteral("50"), QStringLiteral("70")});

} // namespace ccp::acbtest
