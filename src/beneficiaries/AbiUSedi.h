#pragma once
#include "Result.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

namespace ccp::ben {

// The postcode entry (TCOMCAP) of a municipality, postcode and hamlet, each written when
// missing; an empty postcode or hamlet means none. Runs in the caller's transaction.
Result<QVariant> resolveAddress(QSqlDatabase db, const QVariant &srpcId, const QString &cap, const QString &fraction);

// What a seat's post asks before writing.
struct SeatInput
{
    bool inserting = false;
    bool reference = false;        // the box as ticked now
    bool wasReference = false;     // the stored row's flag (edit)
    int otherSeats = 0;            // other seats of the beneficiary, not deleted
    QString address;
    QString cap;
    bool domestic = false;         // the municipality is in state 1
};

// Which field a refused seat sends the focus to.
enum class SeatField { None, Reference, Address, Cap };

struct SeatCheck
{
    bool ok = true;
    SeatField focus = SeatField::None;
    bool reference = false;        // the flag to write (the first seat always is)
};

// The seat rules: the first seat is the reference, a new reference replaces the old one
// after a question, the reference cannot be unticked, address required, CAP checked.
// Messages and questions go through the message channel.
SeatCheck checkSeat(const SeatInput &in);

QString referenceQuestion();
QString noReferenceMessage();
QString deleteReferenceMessage();
QString capNotNumericQuestion();
QString capLengthQuestion();

} // namespace ccp::ben
