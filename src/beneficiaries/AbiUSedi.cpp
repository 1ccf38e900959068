#include "AbiUSedi.h"

#include "AbiMBen.h"
#include "Ids.h"
#include "SqlQuery.h"
#include "VeMessageDlg.h"

namespace ccp::ben {

namespace {

// The id of the row matching `find`, inserting it with `insert` (first parameter :ID) when none.
Result<QVariant> findOrAdd(QSqlDatabase db, const QString &table, const QString &find, const QString &insert,
                           const QString &value)
{
    SqlQuery q(db);
    if (auto s = q.prepare(find); !s)
        return s;
    q.bind(QStringLiteral("V"), value);
    if (auto s = q.exec(); !s)
        return s;
    if (q.next())
        return q.value(0);
    auto id = Ids::next(db, table);
    if (!id)
        return id.status();
    SqlQuery ins(db);
    if (auto s = ins.prepare(insert); !s)
        return s;
    ins.bind(QStringLiteral("ID"), *id).bind(QStringLiteral("V"), value);
    if (auto s = ins.exec(); !s)
        return s;
    return QVariant(*id);
}

bool isNull(const QVariant &v) { return !v.isValid() || v.isNull(); }

} // namespace

Result<QVariant> resolveAddress(QSqlDatabase db, const QVariant &srpcId, const QString &capText, const QString &fractionText)
{
    if (isNull(srpcId) || srpcId.toInt() <= 0)
        return QVariant(QMetaType(QMetaType::Int));
    const QString cap = capText.trimmed();
    const QString fraction = fractionText.trimmed();
    QVariant fraId(QMetaType(QMetaType::Int));
    QVariant capId(QMetaType(QMetaType::Int));
    if (!fraction.isEmpty()) {
        auto r = findOrAdd(db, QStringLiteral("TFRAQUA"),
                           QStringLiteral("SELECT FIRST 1 IFRAQUAID FROM TFRAQUA WHERE SFRAQUADESC = :V AND DDELETE IS NULL"),
                           QStringLiteral("INSERT INTO TFRAQUA (IFRAQUAID, SFRAQUADESC) VALUES (:ID, :V)"), fraction);
        if (!r)
            return r;
        fraId = *r;
    }
    if (!cap.isEmpty()) {
        auto r = findOrAdd(db, QStringLiteral("TCAP"),
                           QStringLiteral("SELECT FIRST 1 ICAPID FROM TCAP WHERE SCAPVALUE = :V AND DDELETE IS NULL"),
                           QStringLiteral("INSERT INTO TCAP (ICAPID, SCAPVALUE) VALUES (:ID, :V)"), cap);
        if (!r)
            return r;
        capId = *r;
    }
    SqlQuery q(db);
    if (auto s = q.prepare(QStringLiteral(
            "SELECT FIRST 1 ICOMCAPID FROM TCOMCAP WHERE ISRPCID = :S AND DDELETE IS NULL"
            " AND ((ICAPID = :C) OR (ICAPID IS NULL AND CAST(:C AS INTEGER) IS NULL))"
            " AND ((IFRAQUAID = :F) OR (IFRAQUAID IS NULL AND CAST(:F AS INTEGER) IS NULL))"));
        !s)
        return s;
    q.bind(QStringLiteral("S"), srpcId).bind(QStringLiteral("C"), capId).bind(QStringLiteral("F"), fraId);
    if (auto s = q.exec(); !s)
        return s;
    if (q.next())
        return q.value(0);
    auto id = Ids::next(db, QStringLiteral("TCOMCAP"));
    if (!id)
        return id.status();
    SqlQuery ins(db);
    if (auto s = ins.prepare(QStringLiteral("INSERT INTO TCOMCAP (ICOMCAPID, ISRPCID, ICAPID, IFRAQUAID, DSTART)"
                                            " VALUES (:ID, :S, :C, :F, CURRENT_TIMESTAMP)"));
        !s)
        return s;
    ins.bind(QStringLiteral("ID"), *id).bind(QStringLiteral("S"), srpcId).bind(QStringLiteral("C"), capId).bind(QStringLiteral("F"), fraId);
    if (auto s = ins.exec(); !s)
        return s;
    return QVariant(*id);
}

QString referenceQuestion()
{
    return QStringLiteral("Attenzione!\n\rLa sede corrente diventerà quella di riferimento e di conseguenza tutte le altre"
                          " non potranno più esserlo. \n\rContinuare ?");
}

QString noReferenceMessage()
{
    return QStringLiteral("Attenzione!\n\rImpossibile proseguire perchè nessuna sede risulta essere di riferimento. \n\r"
                          "Per impostare la sede di riferimento selezionare l'apposita casella dell'elemento interessato.");
}

QString deleteReferenceMessage()
{
    return QStringLiteral("Attenzione!\n\rImpossibile cancellare una sede  di riferimento. \n\rImpostare prima un'altra"
                          " sede di riferimento e poi procedere con l'eliminazione.");
}

QString capNotNumericQuestion() { return QStringLiteral("Il CAP contiene dei caratteri non numerici. Vuoi continuare?"); }

QString capLengthQuestion() { return QStringLiteral("Il CAP non ha lunghezza 5 caratteri. Vuoi continuare?"); }

SeatCheck checkSeat(const SeatInput &in)
{
    SeatCheck out;
    out.reference = in.reference || (in.inserting && in.otherSeats == 0);
    const auto refuse = [&](SeatField f) {
        out.ok = false;
        out.focus = f;
        return out;
    };
    if (in.inserting) {
        if (in.reference && in.otherSeats > 0
            && fw::VeMessageDlg(referenceQuestion(), fw::MsgType::Warning, fw::MsgButtons::YesNo) != fw::MsgResult::Yes)
            return refuse(SeatField::Reference);
    } else if (in.reference && !in.wasReference) {
        if (fw::VeMessageDlg(referenceQuestion(), fw::MsgType::Warning, fw::MsgButtons::YesNo) != fw::MsgResult::Yes)
            return refuse(SeatField::Reference);
    } else if (!in.reference && in.wasReference) {
        fw::showError(noReferenceMessage());
        return refuse(SeatField::Reference);
    }
    if (in.address.trimmed().isEmpty()) {
        fw::showError(invalidMessage(QStringLiteral("Indirizzo")));
        return refuse(SeatField::Address);
    }
    const QString cap = in.cap.trimmed();
    if (cap.isEmpty()) {
        if (in.domestic) {
            fw::showError(invalidMessage(QStringLiteral("CAP")));
            return refuse(SeatField::Cap);
        }
        return out;
    }
    bool numeric = false;
    const int n = cap.toInt(&numeric);
    if ((!numeric || n <= 0)
        && fw::VeMessageDlg(capNotNumericQuestion(), fw::MsgType::Warning, fw::MsgButtons::YesNoCancel) != fw::MsgResult::Yes)
        return refuse(SeatField::Cap);
    if (cap.size() != 5
        && fw::VeMessageDlg(capLengthQuestion(), fw::MsgType::Warning, fw::MsgButtons::YesNoCancel) != fw::MsgResult::Yes)
        return refuse(SeatField::Cap);
    return out;
}

} // namespace ccp::ben
