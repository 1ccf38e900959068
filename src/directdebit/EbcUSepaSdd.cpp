#include "EbcUSepaSdd.h"

#include "AbiCBankClass.h"
#include "AbiUIBAN.h"
#include "EbcUExpBanche.h"
#include "SqlQuery.h"

#include <QFileInfo>
#include <QDir>
#include <QHash>
#include <QMap>
#include <QSettings>
#include <QXmlStreamWriter>
#include <algorithm>

namespace ccp::directdebit {

namespace {

constexpr int MaxId = 35;
constexpr int MaxName = 70;
constexpr int MaxRemittance = 140;

QString isoDate(const QDate &d) { return d.toString(Qt::ISODate); }

bool isAlnum(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

} // namespace

QString sddNamespace(SddVersion version)
{
    return version == SddVersion::V000101 ? QStringLiteral("urn:CBI:xsd:CBISDDReqLogMsg.00.01.01")
                                          : QStringLiteral("urn:CBI:xsd:CBISDDReqLogMsg.00.01.00");
}

QString sddEnvelopeNamespace(SddVersion version)
{
    return version == SddVersion::V000101 ? QStringLiteral("urn:CBI:xsd:CBIBdySDDReq.00.01.01")
                                          : QStringLiteral("urn:CBI:xsd:CBIBdySDDReq.00.01.00");
}

QString sddSeqTypeCode(SddSeqType type) { return type == SddSeqType::Frst ? QStringLiteral("FRST") : QStringLiteral("RCUR"); }

// ---- messages ------------------------------------------------------------------------------

QString SddText::creditorIdInvalid(const QString &id, const QString &why)
{
    return QStringLiteral("Identificativo creditore SEPA \"%1\" non valido: %2.").arg(id, why);
}
QString SddText::cucInvalid(const QString &cuc)
{
    return QStringLiteral("Codice CUC \"%1\" non valido: sono ammessi fino a 35 lettere e cifre.").arg(cuc);
}
QString SddText::creditorIbanInvalid(const QString &iban)
{
    return QStringLiteral("Codice IBAN del conto del creditore \"%1\" non valido.").arg(iban);
}
QString SddText::debtorIbanInvalid(const QString &pupil, const QString &iban)
{
    return QStringLiteral("Alunno %1: codice IBAN del debitore \"%2\" non valido.").arg(pupil, iban);
}
QString SddText::mandateMissing(const QString &pupil)
{
    return QStringLiteral("Alunno %1: codice mandato mancante nelle coordinate bancarie.").arg(pupil);
}
QString SddText::mandateTooLong(const QString &pupil, const QString &mandate)
{
    return QStringLiteral("Alunno %1: il codice mandato \"%2\" supera i 35 caratteri o contiene caratteri non ammessi.")
        .arg(pupil, mandate);
}
QString SddText::signatureMissing(const QString &pupil)
{
    return QStringLiteral("Alunno %1: data di sottoscrizione del mandato mancante nelle coordinate bancarie.").arg(pupil);
}
QString SddText::signatureAfterCollection(const QString &pupil, const QDate &signed_, const QDate &collection)
{
    return QStringLiteral("Alunno %1: il mandato è sottoscritto il %2, dopo la data di incasso %3.")
        .arg(pupil, signed_.toString(QStringLiteral("dd/MM/yyyy")), collection.toString(QStringLiteral("dd/MM/yyyy")));
}
QString SddText::amountNotPositive(const QString &pupil)
{
    return QStringLiteral("Alunno %1: l'importo da addebitare deve essere maggiore di zero.").arg(pupil);
}
QString SddText::endToEndInvalid(const QString &pupil, const QString &id)
{
    return QStringLiteral("Alunno %1: riferimento dell'addebito \"%2\" vuoto o più lungo di 35 caratteri.").arg(pupil, id);
}
QString SddText::collectionDateMissing(const QString &pupil)
{
    return QStringLiteral("Alunno %1: data di incasso mancante.").arg(pupil);
}

// ---- creditor identifier and CUC -----------------------------------------------------------

QString creditorIdCheckDigits(const QString &country, const QString &nationalId)
{
    const auto digits = abiban::LettersToDigits(QString(nationalId.toUpper() + country.toUpper() + QStringLiteral("00")));
    if (!digits)
        return {};
    return QString::number(98 - abiban::Mod97(*digits)).rightJustified(2, u'0');
}

QString checkCreditorId(const QString &text)
{
    const QString id = text.trimmed().toUpper();
    if (id.isEmpty())
        return SddText::CreditorIdMissing;
    if (id.size() > MaxId)
        return SddText::creditorIdInvalid(id, QStringLiteral("supera i 35 caratteri"));
    if (id.size() < 8 || !id[0].isLetter() || !id[1].isLetter() || !id[2].isDigit() || !id[3].isDigit())
        return SddText::creditorIdInvalid(
            id, QStringLiteral("deve iniziare con il codice del paese, due cifre di controllo e il codice attività"));
    if (!std::all_of(id.begin(), id.end(), isAlnum))
        return SddText::creditorIdInvalid(id, QStringLiteral("sono ammesse solo lettere e cifre"));
    const QString national = id.mid(7);
    const QString expected = creditorIdCheckDigits(id.left(2), national);
    if (expected.isEmpty())
        return SddText::creditorIdInvalid(id, QStringLiteral("sono ammesse solo lettere e cifre"));
    if (id.mid(2, 2) != expected)
        return SddText::creditorIdInvalid(id, QStringLiteral("le cifre di controllo non corrispondono"));
    return {};
}

QString checkCuc(const QString &text)
{
    const QString cuc = text.trimmed();
    if (cuc.isEmpty())
        return SddText::CucMissing;
    if (cuc.size() > MaxId || !std::all_of(cuc.begin(), cuc.end(), isAlnum))
        return SddText::cucInvalid(cuc);
    return {};
}

// ---- text ----------------------------------------------------------------------------------

QString sddText(const QString &text, int maxLength)
{
    static const QString allowed = QStringLiteral("/-?:().,'+ ");
    QString out = cbiText(text);   // accented letters as the CBI files write them
    for (QChar &c : out)
        if (!isAlnum(c) && !allowed.contains(c))
            c = u' ';
    return out.simplified().left(maxLength).trimmed();
}

// ---- sequence types ------------------------------------------------------------------------

void assignSequenceTypes(QList<SddTransaction> &transactions, const QSet<QString> &debitedMandates)
{
    QList<int> order(transactions.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return transactions[a].collectionDate < transactions[b].collectionDate;
    });
    QSet<QString> seen = debitedMandates;
    for (int i : order) {
        SddTransaction &t = transactions[i];
        const QString mandate = t.mandateId.trimmed();
        t.seqType = seen.contains(mandate) ? SddSeqType::Rcur : SddSeqType::Frst;
        seen.insert(mandate);
    }
}

// ---- checks and writer ---------------------------------------------------------------------

Status checkSddBatch(const SddBatch &b)
{
    if (const QString e = checkCreditorId(b.creditorId); !e.isEmpty())
        return Status::failure(e);
    if (const QString e = checkCuc(b.cuc); !e.isEmpty())
        return Status::failure(e);
    if (sddText(b.creditorName, MaxName).isEmpty())
        return Status::failure(SddText::CreditorNameMissing);
    if (!abiban::CheckIBAN(b.creditorIban.trimmed()))
        return Status::failure(SddText::creditorIbanInvalid(b.creditorIban));
    if (b.transactions.isEmpty())
        return Status::failure(SddText::NoTransactions);
    for (const SddTransaction &t : b.transactions) {
        const QString mandate = t.mandateId.trimmed();
        if (mandate.isEmpty())
            return Status::failure(SddText::mandateMissing(t.pupil));
        if (!abiban::CheckIBAN(t.iban.trimmed()))
            return Status::failure(SddText::debtorIbanInvalid(t.pupil, t.iban));
        // A mandate id is the debtor bank's key: never cut or altered.
        if (mandate.size() > MaxId || sddText(mandate, MaxId) != mandate)
            return Status::failure(SddText::mandateTooLong(t.pupil, mandate));
        if (!t.signatureDate.isValid())
            return Status::failure(SddText::signatureMissing(t.pupil));
        if (!t.collectionDate.isValid())
            return Status::failure(SddText::collectionDateMissing(t.pupil));
        if (t.signatureDate > t.collectionDate)
            return Status::failure(SddText::signatureAfterCollection(t.pupil, t.signatureDate, t.collectionDate));
        if (t.amount.cents() <= 0)
            return Status::failure(SddText::amountNotPositive(t.pupil));
        if (t.endToEndId.trimmed().isEmpty() || t.endToEndId.size() > MaxId || sddText(t.endToEndId, MaxId) != t.endToEndId)
            return Status::failure(SddText::endToEndInvalid(t.pupil, t.endToEndId));
    }
    return {};
}

Result<QByteArray> writeSdd(const SddBatch &b)
{
    if (Status s = checkSddBatch(b); !s)
        return s;
    const QDateTime created = b.created.isValid() ? b.created : QDateTime::currentDateTime();
    const QString msgId = b.msgId.isEmpty() ? QStringLiteral("CCP") + created.toString(QStringLiteral("yyyyMMddHHmmsszzz"))
                                            : sddText(b.msgId, MaxId);
    qint64 totalCents = 0;
    for (const SddTransaction &t : b.transactions)
        totalCents += t.amount.cents();
    // One payment block per collection date and sequence type, FRST before RCUR.
    QMap<std::pair<QDate, int>, QList<const SddTransaction *>> blocks;
    for (const SddTransaction &t : b.transactions)
        blocks[{t.collectionDate, int(t.seqType)}].append(&t);

    const QString bicElement = b.version == SddVersion::V000101 ? QStringLiteral("BICFI") : QStringLiteral("BIC");
    const QString creditorName = sddText(b.creditorName, MaxName);
    QByteArray out;
    out.reserve(600 + b.transactions.size() * 900);
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(2);
    w.writeStartDocument();
    if (b.envelope) {
        // Each element declares its own default namespace: the envelope's, then the message's.
        w.writeStartElement(QStringLiteral("CBIBdySDDReq"));
        w.writeDefaultNamespace(sddEnvelopeNamespace(b.version));
        w.writeStartElement(QStringLiteral("PhyMsgInf"));
        w.writeTextElement(QStringLiteral("PhyMsgTpCd"), QStringLiteral("INC-SDDC-01"));
        w.writeTextElement(QStringLiteral("NbOfLogMsg"), QStringLiteral("1"));
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("CBIEnvelSDDReqLogMsg"));
    }
    const QString ns = sddNamespace(b.version);
    w.writeStartElement(QStringLiteral("CBISDDReqLogMsg"));
    w.writeDefaultNamespace(ns);
    auto text = [&w](const QString &name, const QString &value) { w.writeTextElement(name, value); };
    auto open = [&w](const QString &name) { w.writeStartElement(name); };
    auto close = [&w](int n = 1) {
        for (int i = 0; i < n; ++i)
            w.writeEndElement();
    };

    open(QStringLiteral("GrpHdr"));
    text(QStringLiteral("MsgId"), msgId);
    text(QStringLiteral("CreDtTm"), created.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    text(QStringLiteral("NbOfTxs"), QString::number(b.transactions.size()));
    text(QStringLiteral("CtrlSum"), Money::fromCents(totalCents).toSql());
    open(QStringLiteral("InitgPty"));
    text(QStringLiteral("Nm"), creditorName);
    open(QStringLiteral("Id"));
    open(QStringLiteral("OrgId"));
    open(QStringLiteral("Othr"));
    text(QStringLiteral("Id"), b.cuc.trimmed());
    text(QStringLiteral("Issr"), QStringLiteral("CBI"));
    close(4);
    close();   // GrpHdr

    int block = 0;
    int instr = 0;
    for (auto it = blocks.cbegin(); it != blocks.cend(); ++it) {
        const QDate date = it.key().first;
        const SddSeqType seq = SddSeqType(it.key().second);
        open(QStringLiteral("PmtInf"));
        text(QStringLiteral("PmtInfId"), QStringLiteral("%1-%2-%3").arg(date.toString(QStringLiteral("yyyyMMdd")),
                                                                        sddSeqTypeCode(seq)).arg(++block));
        text(QStringLiteral("PmtMtd"), QStringLiteral("DD"));
        open(QStringLiteral("PmtTpInf"));
        open(QStringLiteral("SvcLvl"));
        text(QStringLiteral("Cd"), QStringLiteral("SEPA"));
        close();
        open(QStringLiteral("LclInstrm"));
        text(QStringLiteral("Cd"), QStringLiteral("CORE"));
        close();
        text(QStringLiteral("SeqTp"), sddSeqTypeCode(seq));
        close();
        text(QStringLiteral("ReqdColltnDt"), isoDate(date));
        open(QStringLiteral("Cdtr"));
        text(QStringLiteral("Nm"), creditorName);
        close();
        open(QStringLiteral("CdtrAcct"));
        open(QStringLiteral("Id"));
        text(QStringLiteral("IBAN"), b.creditorIban.trimmed().toUpper());
        close(2);
        open(QStringLiteral("CdtrAgt"));
        open(QStringLiteral("FinInstnId"));
        open(QStringLiteral("ClrSysMmbId"));
        text(QStringLiteral("MmbId"), b.creditorAbi.trimmed().isEmpty() ? b.creditorIban.trimmed().mid(5, 5)
                                                                          : b.creditorAbi.trimmed());
        close(3);
        text(QStringLiteral("ChrgBr"), QStringLiteral("SLEV"));
        open(QStringLiteral("CdtrSchmeId"));
        open(QStringLiteral("Id"));
        open(QStringLiteral("PrvtId"));
        open(QStringLiteral("Othr"));
        text(QStringLiteral("Id"), b.creditorId.trimmed().toUpper());
        open(QStringLiteral("SchmeNm"));
        text(QStringLiteral("Prtry"), QStringLiteral("SEPA"));
        close(5);

        for (const SddTransaction *t : it.value()) {
            open(QStringLiteral("DrctDbtTxInf"));
            open(QStringLiteral("PmtId"));
            text(QStringLiteral("InstrId"), QString::number(++instr));
            text(QStringLiteral("EndToEndId"), t->endToEndId);
            close();
            w.writeStartElement(QStringLiteral("InstdAmt"));
            w.writeAttribute(QStringLiteral("Ccy"), QStringLiteral("EUR"));
            w.writeCharacters(Money::fromCents(t->amount.cents()).toSql());
            close();
            open(QStringLiteral("DrctDbtTx"));
            open(QStringLiteral("MndtRltdInf"));
            text(QStringLiteral("MndtId"), t->mandateId.trimmed());
            text(QStringLiteral("DtOfSgntr"), isoDate(t->signatureDate));
            close(2);
            if (!t->bic.trimmed().isEmpty()) {
                open(QStringLiteral("DbtrAgt"));
                open(QStringLiteral("FinInstnId"));
                text(bicElement, t->bic.trimmed().toUpper());
                close(2);
            }
            open(QStringLiteral("Dbtr"));
            text(QStringLiteral("Nm"), sddText(t->debtorName, MaxName));
            close();
            open(QStringLiteral("DbtrAcct"));
            open(QStringLiteral("Id"));
            text(QStringLiteral("IBAN"), t->iban.trimmed().toUpper());
            close(2);
            const QString reason = sddText(t->remittance, MaxRemittance);
            if (!reason.isEmpty()) {
                open(QStringLiteral("RmtInf"));
                text(QStringLiteral("Ustrd"), reason);
                close();
            }
            close();   // DrctDbtTxInf
        }
        close();   // PmtInf
    }
    close();   // CBISDDReqLogMsg
    if (b.envelope)
        close(2);
    w.writeEndDocument();
    return out;
}

// ---- from the dispositions ----------------------------------------------------------------

QString sddEndToEndId(const QDate &created, int payerId, int progressive)
{
    return QStringLiteral("CCP%1-%2-%3").arg(created.toString(QStringLiteral("yyyyMMdd"))).arg(payerId).arg(progressive);
}

Result<QList<SddTransaction>> sddTransactions(const QSqlDatabase &db, int mpgId, const QList<SddDisposition> &dispositions,
                                              const QDate &created, const QDate &earliest)
{
    struct Coordinates { int acbId; QString mandate; QDate signature; QString iban; };
    QHash<int, Coordinates> byPupil;
    SqlQuery q(db);
    if (Status s = q.prepare(QStringLiteral("SELECT iAcbId, iAnaId, sAcbMandato, dAcbDataFirma, sAcbIBan FROM TAcb_AluCoordBan"
                                            " WHERE iMpgId = :iMpgId ORDER BY iAcbId DESC"));
        !s)
        return s;
    q.bind(QStringLiteral("iMpgId"), mpgId);
    if (Status s = q.exec(); !s)
        return s;
    while (q.next())   // the oldest coordinates of a pupil win, as the export reads them
        byPupil.insert(q.integer(QStringLiteral("iAnaId")),
                       {q.integer(QStringLiteral("iAcbId")), q.text(QStringLiteral("sAcbMandato")).trimmed(),
                        q.date(QStringLiteral("dAcbDataFirma")), q.text(QStringLiteral("sAcbIBan")).trimmed()});
    QList<SddTransaction> out;
    out.reserve(dispositions.size());
    for (const SddDisposition &d : dispositions) {
        const Coordinates c = byPupil.value(d.pupilId, Coordinates{0, {}, {}, {}});
        SddTransaction t;
        t.pupil = d.pupil;
        t.acbId = c.acbId;
        t.debtorName = d.debtorName;
        t.iban = c.iban;
        t.amount = Money::fromCents(d.cents);
        t.mandateId = c.mandate;
        t.signatureDate = c.signature;
        t.endToEndId = sddEndToEndId(created, d.payerId, d.progressive);
        QString reason = d.causale + QStringLiteral(" - ") + d.pupil;
        if (d.components > 1)
            reason += QStringLiteral(" (%1 voci)").arg(d.components);
        t.remittance = reason;
        t.collectionDate = d.dueDate.isValid() && d.dueDate >= earliest ? d.dueDate : earliest;
        out.append(t);
    }
    return out;
}

// ---- mandates debited ----------------------------------------------------------------------

Status fillMissingMandates(QSqlDatabase db)
{
    auto missing = SqlQuery::scalar(db, QStringLiteral("SELECT COUNT(*) FROM TAcb_AluCoordBan WHERE sAcbMandato IS NULL"));
    if (!missing)
        return missing.status();
    if (missing.value().toInt() == 0)
        return {};
    return runInTransaction(db, [&db] { return SqlQuery(db).exec(QStringLiteral("EXECUTE PROCEDURE PEbc_MandatiMancanti")); });
}

Result<QSet<QString>> debitedMandates(const QSqlDatabase &db)
{
    SqlQuery q(db);
    if (Status s = q.exec(QStringLiteral("SELECT DISTINCT sAcmMandato FROM TAcm_AcbMandatoUso")); !s)
        return s;
    QSet<QString> out;
    while (q.next())
        out.insert(q.value(0).toString().trimmed());
    return out;
}

Status recordMandateUse(const QSqlDatabase &db, const SddBatch &batch, const QString &fileName)
{
    SqlQuery q(db);
    if (Status s = q.prepare(QStringLiteral(
            "INSERT INTO TAcm_AcbMandatoUso (iAcmId, iAcbId, sAcmMandato, sAcmSeqTp, dAcmIncasso, fAcmImporto,"
            " sAcmEndToEnd, sAcmFile) VALUES (NEXT VALUE FOR G_TACM_ACBMANDATOUSO, :acb, :mandato, :seq, :incasso,"
            " :importo, :e2e, :file)"));
        !s)
        return s;
    const QString file = fileName.left(255);
    for (const SddTransaction &t : batch.transactions) {
        q.bind(QStringLiteral("acb"), t.acbId > 0 ? QVariant(t.acbId) : QVariant(QMetaType(QMetaType::Int)))
            .bind(QStringLiteral("mandato"), t.mandateId.trimmed())
            .bind(QStringLiteral("seq"), sddSeqTypeCode(t.seqType))
            .bind(QStringLiteral("incasso"), t.collectionDate)
            .bind(QStringLiteral("importo"), Money::fromCents(t.amount.cents()))
            .bind(QStringLiteral("e2e"), t.endToEndId)
            .bind(QStringLiteral("file"), file);
        if (Status s = q.exec(); !s)
            return s;
    }
    return {};
}

// ---- settings ------------------------------------------------------------------------------

SddSettings SddSettings::load(const QString &iniFile)
{
    QSettings ini(iniFile, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Dati"));
    SddSettings s;
    s.creditorId = ini.value(QStringLiteral("IdCreditore")).toString().trimmed();
    s.cuc = ini.value(QStringLiteral("CUC")).toString().trimmed();
    s.version = ini.value(QStringLiteral("VersioneSdd")).toString() == QLatin1String("00.01.01") ? SddVersion::V000101
                                                                                             : SddVersion::V000100;
    return s;
}

Status SddSettings::save(const QString &iniFile) const
{
    QDir().mkpath(QFileInfo(iniFile).absolutePath());
    QSettings ini(iniFile, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Dati"));
    ini.setValue(QStringLiteral("IdCreditore"), creditorId.trimmed().toUpper());
    ini.setValue(QStringLiteral("CUC"), cuc.trimmed());
    ini.setValue(QStringLiteral("VersioneSdd"),
                 version == SddVersion::V000101 ? QStringLiteral("00.01.01") : QStringLiteral("00.01.00"));
    ini.endGroup();
    ini.sync();
    if (ini.status() != QSettings::NoError)
        return Status::failure(QStringLiteral("Impossibile salvare i dati SEPA in %1.").arg(QDir::toNativeSeparators(iniFile)));
    return {};
}

} // namespace ccp::directdebit
