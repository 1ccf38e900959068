#include "EbsUBarCode.h"

#include "Connection.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"

#include <QPointer>
#include <QSqlError>
#include <QVariantMap>

namespace ccp::movements {

namespace BarCodeMessages {

QString dateBeforeOpening(const QString &which, const QDate &opening)
{
    return QStringLiteral("La data del%1 dev'essere maggiore o uguale a %2")
        .arg(which, opening.toString(QStringLiteral("dd/MM/yyyy")));
}

QString notAnInteger(const QString &text)
{
    return QStringLiteral("'%1' non è un valore intero valido.").arg(text);
}

} // namespace BarCodeMessages

namespace BarCodeSql {
const QString PupilCheck = QStringLiteral(" SELECT iSitId FROM TSit_Situazioni WHERE iSitId = :iSitId");
const QString LearnerCheck = QStringLiteral(
    " SELECT Ana.iAnaId FROM TAna_Anagrafiche Ana INNER JOIN TAnaCag AnaCag ON (AnaCag.iAnaId = "
    "Ana.iAnaId) WHERE Ana.iAnaId = :iAnaId AND AnaCag.iCagId = :iCagId");
const QString CausaleCheck = QStringLiteral(
    " SELECT Cau.iCauId FROM TCau_Causali Cau INNER JOIN VAns_AnniScolast Ans ON "
    "(Ans.dAnsVeltoInizio = Cau.dStart) WHERE (Cau.iCauId = :iCauId) AND (Ans.iAnsId = :iAnsId) ");
const QString InsertMovement = QStringLiteral(
    " SELECT P.iMvmId, P.fMvmImporto FROM  PEbc_InsMvm(:iSprIstId, :iEsercizioFin, :iCauId, "
    ":iAnaId, :iSitId, :dMvmDataMov, :dMvmDataEc) P");
} // namespace BarCodeSql

namespace {

QDate dateValue(const QVariant &v)
{
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate();
    const QString s = v.toString().trimmed();
    QDate d = QDate::fromString(s.left(10), Qt::ISODate);
    if (!d.isValid())
        d = QDate::fromString(s, QStringLiteral("dd/MM/yyyy"));
    return d;
}

} // namespace

QDate BarCodeContext::parameterDate(const QString &key)
{
    return dateValue(fw::TVeGlobalValuesManager::instance().GetValues(key));
}

Result<BarCodeContext> BarCodeContext::fromGlobals(QSqlDatabase db)
{
    auto &g = fw::TVeGlobalValuesManager::instance();
    BarCodeContext c;
    c.sprIstId = g.intValue(QStringLiteral("EBCP_SprIstId"));
    c.cauAnsId = g.intValue(QStringLiteral("EBSP_CauAnsId"));
    c.dataEc = parameterDate(QStringLiteral("EBCP_MvmDataEc"));
    c.dataMov = parameterDate(QStringLiteral("EBCP_MvmDataMov"));
    const int anfId = g.intValue(QStringLiteral("EBCP_AnfId"));
    auto year = SqlQuery::scalar(db, QStringLiteral("SELECT iAnfValore FROM TAnf_AnniFinanz WHERE iAnfId = :iAnfId"),
                                 {{QStringLiteral("iAnfId"), anfId}});
    if (!year)
        return year.status();
    c.anfValore = year.value().toInt();
    auto start = SqlQuery::scalar(db, QStringLiteral("SELECT dStart FROM TSprIst WHERE iSprIstId = :iSprIstId"),
                                  {{QStringLiteral("iSprIstId"), c.sprIstId}});
    if (!start)
        return start.status();
    c.accountStart = start.value().toDate();
    return c;
}

BarCodeDateCheck checkBarCodeDates(const QDate &dataEc, const QDate &dataMov, int anfValore,
                                   const QDate &accountStart)
{
    using F = BarCodeDateCheck;
    const QDate first(anfValore, 1, 1);
    const QDate last(anfValore, 12, 31);
    // A missing date cannot belong to the year either.
    auto outside = [&](const QDate &d) { return !d.isValid() || d < first || d > last; };
    if (outside(dataEc))
        return {F::StatementDate, BarCodeMessages::DateOutsideYear};
    if (outside(dataMov))
        return {F::MovementDate, BarCodeMessages::DateOutsideYear};
    if (accountStart.isValid() && dataEc < accountStart)
        return {F::StatementDate, BarCodeMessages::dateBeforeOpening(BarCodeMessages::OfStatement, accountStart)};
    if (accountStart.isValid() && dataMov < accountStart)
        return {F::MovementDate, BarCodeMessages::dateBeforeOpening(BarCodeMessages::OfMovement, accountStart)};
    if (dataMov > dataEc)
        return {F::MovementDate, BarCodeMessages::MovementAfterStatement};
    return {};
}

TEbsBarCodeReader::TEbsBarCodeReader(QSqlDatabase db, const BarCodeContext &context)
    : m_db(std::move(db)), m_ctx(context)
{
}

Result<bool> TEbsBarCodeReader::exists(const QString &sql, const QString &param, int value, int cagOrAns)
{
    QVariantMap params{{param, value}};
    if (sql == BarCodeSql::LearnerCheck)
        params.insert(QStringLiteral("iCagId"), cagOrAns);
    else if (sql == BarCodeSql::CausaleCheck)
        params.insert(QStringLiteral("iAnsId"), cagOrAns);
    auto r = SqlQuery::scalar(m_db, sql, params);
    if (!r)
        return r.status();
    return r.value().isValid();
}

BarCodeOutcome TEbsBarCodeReader::read(const BarCodeReading &reading)
{
    BarCodeOutcome out;
    const QString code = reading.code.trimmed().toUpper();
    const QChar kind = code.isEmpty() ? QChar() : code.at(0);
    if (kind != u'9' && kind != u'8' && kind != u'0' && kind != u'1') {
        out.status = Status::failure(BarCodeMessages::InvalidCode);
        return out;
    }
    const QString rest = code.mid(1);
    bool isNumber = false;
    const int id = rest.toInt(&isNumber);
    if (!isNumber) {
        out.status = Status::failure(BarCodeMessages::notAnInteger(rest));
        return out;
    }

    // The code must name a known pupil, learner or causale of the year; the refusal otherwise.
    const auto known = [&](const QString &sql, const QString &field, int extra, const QString &unknown) {
        auto found = exists(sql, field, id, extra);
        if (!found)
            out.status = found.status();
        else if (!found.value())
            out.status = Status::failure(unknown);
        return out.status.ok();
    };
    if (kind == u'9') {
        if (!known(BarCodeSql::PupilCheck, QStringLiteral("iSitId"), 0, BarCodeMessages::NoPupil))
            return out;
        m_pupil = true;
        m_pupilSitId = id;
    } else if (kind == u'8') {
        if (!known(BarCodeSql::LearnerCheck, QStringLiteral("iAnaId"), BarCode::LearnerCategory,
                   BarCodeMessages::NoPupil))
            return out;
        m_learner = true;
        m_learnerAnaId = id;
    } else {
        if (!known(BarCodeSql::CausaleCheck, QStringLiteral("iCauId"), m_ctx.cauAnsId, BarCodeMessages::NoCausale))
            return out;
        m_causale = true;
        m_cauId = id;
        m_kind = kind;
    }

    // The causale of this reading serves both a pending pupil and the current learner:
    // each creation clears it, so it is taken before the first one.
    const bool forPupil = m_pupil && m_causale;
    const bool forLearner = m_learner && m_causale;
    const int cauId = m_cauId;
    if (forPupil) {
        out.creations << createMovement(cauId, BarCode::NoPerson, m_pupilSitId, reading.dataMov, reading.dataEc);
        m_pupil = false;
        m_causale = false;
    }
    if (forLearner) {
        out.creations << createMovement(cauId, m_learnerAnaId, BarCode::LearnerSituation, reading.dataMov,
                                        reading.dataEc);
        m_pupil = false;
        m_causale = false;
    }
    return out;
}

BarCodeCreation TEbsBarCodeReader::createMovement(int cauId, int anaId, int sitId, const QDate &dataMov,
                                                  const QDate &dataEc)
{
    BarCodeCreation c;
    c.iCauId = cauId;
    c.iAnaId = anaId;
    c.iSitId = sitId;
    int newId = 0;
    Money amount;
    const Status s = runInTransaction(m_db, [&]() -> Status {
        SqlQuery q(m_db);
        if (auto p = q.prepare(BarCodeSql::InsertMovement); !p)
            return p;
        q.bind(QStringLiteral("iSprIstId"), m_ctx.sprIstId)
            .bind(QStringLiteral("iEsercizioFin"), m_ctx.anfValore)
            .bind(QStringLiteral("iCauId"), cauId)
            .bind(QStringLiteral("iAnaId"), anaId)
            .bind(QStringLiteral("iSitId"), sitId)
            .bind(QStringLiteral("dMvmDataMov"), dataMov)
            .bind(QStringLiteral("dMvmDataEc"), dataEc);
        if (auto e = q.exec(); !e)
            return e;
        // The procedure runs on the fetch: its refusal arrives here, not from exec().
        if (!q.next()) {
            const QSqlError e = q.raw().lastError();
            return Status::failure(e.isValid() ? Db::errorText(e) : BarCodeMessages::LoadFailed);
        }
        newId = q.value(0).toInt();
        amount = q.money(1);
        q.finish();
        if (newId == 0)
            return Status::failure(BarCodeMessages::LoadFailed);
        return {};
    });
    if (!s) {
        c.error = s.error();
        return c;
    }
    c.iMvmId = newId;
    c.amount = amount;
    m_highlighted = newId;
    return c;
}

TEbsBarCodeQueue::TEbsBarCodeQueue(TEbsBarCodeReader &reader, QObject *parent)
    : QObject(parent), m_reader(reader)
{
}

void TEbsBarCodeQueue::enqueue(const BarCodeReading &reading)
{
    m_pending.append(reading);
    // A reading arriving while another is handled (a nested event loop of a message or of the
    // list refresh) is taken by the loop below once the current one is done.
    if (m_busy)
        return;
    m_busy = true;
    // A message or a slot may close the owning window: stop as soon as this queue is gone.
    const QPointer<TEbsBarCodeQueue> self(this);
    while (!m_pending.isEmpty()) {
        const BarCodeReading next = m_pending.takeFirst();
        const BarCodeOutcome outcome = m_reader.read(next);
        if (!outcome.status)
            fw::showError(outcome.status.error());
        for (const BarCodeCreation &c : outcome.creations) {
            if (!self)
                return;
            if (c.ok())
                Q_EMIT movementCreated(c.iMvmId);
            else
                fw::showError(BarCodeMessages::LoadFailed);
        }
        if (!self)
            return;
        Q_EMIT readingHandled(next, outcome);
        if (!self)
            return;
    }
    m_busy = false;
}

BarCodeBatchReport scanBatch(TEbsBarCodeQueue &queue, const QStringList &lines, const QDate &dataMov,
                             const QDate &dataEc,
                             const std::function<void(int line, const BarCodeOutcome &outcome)> &onLine)
{
    BarCodeBatchReport report;
    int lineNo = 0;
    const auto handled = QObject::connect(&queue, &TEbsBarCodeQueue::readingHandled,
        [&](const BarCodeReading &, const BarCodeOutcome &outcome) {
            bool refused = !outcome.status;
            for (const BarCodeCreation &c : outcome.creations) {
                if (c.ok())
                    report.createdIds << c.iMvmId;
                else
                    refused = true;
            }
            if (refused)
                report.refusedLines << lineNo;
            if (onLine)
                onLine(lineNo, outcome);
        });
    for (const QString &line : lines) {
        ++lineNo;
        const QString code = line.trimmed();
        if (!code.isEmpty())
            queue.enqueue(BarCodeReading{code, dataMov, dataEc});
    }
    QObject::disconnect(handled);
    return report;
}

} // namespace ccp::movements
