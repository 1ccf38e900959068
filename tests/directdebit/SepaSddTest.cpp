#include "AbiUIBAN.h"
#include "AcbFixture.h"
#include "EbcUAluGen.h"
#include "EbcUSddExport.h"
#include "EbcUSepaSdd.h"
#include "TVeGlobalValues.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace ccp::acbtest {

using namespace ccp::directdebit;

namespace {

// Reference arithmetic of the checks, written apart from the program's.
int mod97(const QString &digits)
{
    int r = 0;
    for (QChar c : digits)
        r = (r * 10 + c.digitValue()) % 97;
    return r;
}

QString lettersAsNumbers(const QString &text)
{
    QString out;
    for (QChar c : text)
        out += c.isLetter() ? QString::number(c.toUpper().unicode() - 'A' + 10) : QString(c);
    return out;
}

bool ibanValid(const QString &iban)
{
    return iban.size() > 4 && mod97(lettersAsNumbers(iban.mid(4) + iban.left(4))) == 1;
}

QString creditorId(const QString &country, const QString &business, const QString &national)
{
    const int check = 98 - mod97(lettersAsNumbers(national + country + QStringLiteral("00")));
    return country + QString::number(check).rightJustified(2, u'0') + business + national;
}

QString iban(int n)
{
    return abiban::BuildIBAN(QStringLiteral("05428"), QStringLiteral("11101"),
                             QString::number(123456 + n).rightJustified(12, u'0'))
        .valueOr(QString());
}

const QString SchoolId = creditorId(QStringLiteral("IT"), QStringLiteral("ZZZ"), QStringLiteral("80012345678"));

SddTransaction debit(const QString &pupil, int cents, const QDate &collection, const QString &mandate, int n)
{
    SddTransaction t;
    t.pupil = pupil;
    t.debtorName = QStringLiteral("Genitore di ") + pupil;
    t.iban = iban(n);
    t.amount = Money::fromCents(cents);
    t.mandateId = mandate;
    t.signatureDate = QDate(2025, 9, 10);
    t.endToEndId = QStringLiteral("CCP-%1-%2").arg(collection.toString(QStringLiteral("yyyyMMdd"))).arg(n);
    t.remittance = QStringLiteral("Prima rata ") + pupil;
    t.collectionDate = collection;
    return t;
}

SddBatch batch()
{
    SddBatch b;
    b.msgId = QStringLiteral("SDD-TEST-1");
    b.created = QDateTime(QDate(2026, 10, 20), QTime(9, 30, 5));
    b.creditorName = QStringLiteral("Istituto Comprensivo \"Dante Alighieri\" - Città di Prova");
    b.creditorIban = iban(99);
    b.creditorAbi = QStringLiteral("05428");
    b.creditorId = SchoolId;
    b.cuc = QStringLiteral("1234567A");
    const QDate oct(2026, 10, 31), jan(2027, 1, 31);
    b.transactions = {debit(QStringLiteral("Rossi Mario"), 5000, oct, QStringLiteral("M-1"), 1),
                      debit(QStringLiteral("Bianchi Anna"), 4050, oct, QStringLiteral("M-2"), 2),
                      debit(QStringLiteral("Verdi Luca"), 3001, jan, QStringLiteral("M-3"), 3)};
    b.transactions[1].seqType = SddSeqType::Rcur;
    b.transactions[0].debtorName = QStringLiteral("Nicolò Perché D'Annunzio ") + QString(60, u'x');
    b.transactions[2].bic = QStringLiteral("BPMOIT22XXX");
    return b;
}

// Children of `e` in the message's namespace along a path "A/B/C".
QDomElement at(const QDomElement &e, const QString &path)
{
    QDomElement cur = e;
    for (const QString &name : path.split(u'/')) {
        cur = cur.firstChildElement(name);
        if (cur.isNull())
            return cur;
    }
    return cur;
}

QList<QDomElement> all(const QDomElement &e, const QString &name)
{
    QList<QDomElement> out;
    const QDomNodeList list = e.elementsByTagNameNS(e.namespaceURI(), name);
    for (int i = 0; i < list.size(); ++i)
        out << list.at(i).toElement();
    return out;
}

qint64 cents(const QString &amount)
{
    const QStringList parts = amount.split(u'.');
    return parts.value(0).toLongLong() * 100 + parts.value(1).toLongLong();
}

// Beside this source file; a relative __FILE__ is relative to the build folder, the parent of
// the test program's folder, wherever the test runs from.
QString xsdFolder()
{
    const QString source = QStringLiteral(__FILE__);
    const QString file = QFileInfo(source).isAbsolute()
        ? source
        : QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/..")).filePath(source);
    return QFileInfo(file).absolutePath() + QStringLiteral("/xsd");
}

// Runs xmllint on `xml` against the schema of `version`: empty when valid, else its output.
QString schemaErrors(const QByteArray &xml, SddVersion version, bool envelope)
{
    QTemporaryDir dir;
    const bool newer = version == SddVersion::V000101;
    for (const QString &name : {QStringLiteral("CBISDDReqLogMsg"), QStringLiteral("CBIBdySDDReq")}) {
        QFile in(xsdFolder() + u'/' + name + QStringLiteral(".00.01.00.xsd"));
        if (!in.open(QIODevice::ReadOnly))
            return QStringLiteral("schema missing: ") + in.fileName();
        QString text = QString::fromUtf8(in.readAll());
        if (newer)
            text.replace(QStringLiteral("00.01.00"), QStringLiteral("00.01.01"))
                .replace(QStringLiteral("name=\"BIC\""), QStringLiteral("name=\"BICFI\""));
        QFile out(dir.filePath(name + (newer ? QStringLiteral(".00.01.01.xsd") : QStringLiteral(".00.01.00.xsd"))));
        out.open(QIODevice::WriteOnly);
        out.write(text.toUtf8());
    }
    QFile doc(dir.filePath(QStringLiteral("sdd.xml")));
    doc.open(QIODevice::WriteOnly);
    doc.write(xml);
    doc.close();
    const QString schema = dir.filePath((envelope ? QStringLiteral("CBIBdySDDReq") : QStringLiteral("CBISDDReqLogMsg"))
                                        + (newer ? QStringLiteral(".00.01.01.xsd") : QStringLiteral(".00.01.00.xsd")));
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--schema"), schema, doc.fileName()});
    if (!p.waitForFinished(20000))
        return QStringLiteral("xmllint did not run");
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAll());
}

} // namespace

TEST(SepaSdd, CreditorIdentifierCheckDigits)
{
    const QString withBusiness = creditorId(QStringLiteral("IT"), QStringLiteral("A01"), QStringLiteral("RSSMRA80A01H501U"));
    QString wrongDigits = SchoolId;
    wrongDigits[3] = QChar(u'0' + (SchoolId[3].digitValue() + 1) % 10);
    QString otherNational = SchoolId;
    otherNational.back() = QChar(u'0' + (SchoolId.back().digitValue() + 3) % 10);
    QString otherBusiness = SchoolId;
    otherBusiness.replace(4, 3, QStringLiteral("B22"));
    const struct { const char *name; QString id; bool valid; } cases[] = {
        {"school fiscal code, no business code", SchoolId, true},
        {"personal fiscal code with business code", withBusiness, true},
        {"lower case typed", withBusiness.toLower(), true},
        {"business code does not enter the check", otherBusiness, true},
        {"german identifier", creditorId(QStringLiteral("DE"), QStringLiteral("ZZZ"), QStringLiteral("09999999999")), true},
        {"wrong check digit", wrongDigits, false},
        {"national part changed", otherNational, false},
        {"no country", SchoolId.mid(2), false},
        {"symbol inside", SchoolId.left(9) + u'-' + SchoolId.mid(10), false},
        {"too long", SchoolId + QString(30, u'1'), false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(checkCreditorId(c.id).isEmpty(), c.valid) << c.name << " " << qPrintable(c.id) << " "
                                                             << qPrintable(checkCreditorId(c.id));
    EXPECT_EQ(checkCreditorId(QString()), SddText::CreditorIdMissing);
    EXPECT_TRUE(checkCreditorId(wrongDigits).contains(QStringLiteral("cifre di controllo")));
}

TEST(SepaSdd, FileReadBackByAnIndependentReader)
{
    const SddBatch b = batch();
    auto xml = writeSdd(b);
    ASSERT_TRUE(xml.ok()) << qPrintable(xml.error());
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(xml.value(), true));
    const QString ns = QStringLiteral("urn:CBI:xsd:CBISDDReqLogMsg.00.01.00");
    EXPECT_EQ(doc.documentElement().localName(), QStringLiteral("CBIBdySDDReq"));
    const QDomNodeList msgs = doc.elementsByTagNameNS(ns, QStringLiteral("CBISDDReqLogMsg"));
    ASSERT_EQ(msgs.size(), 1);
    const QDomElement msg = msgs.at(0).toElement();

    // Formats and lengths are the schema's business (tested below); here the sums and the grouping.
    const QList<QDomElement> amounts = all(msg, QStringLiteral("InstdAmt"));
    qint64 sum = 0;
    for (const QDomElement &a : amounts)
        sum += cents(a.text());
    qint64 expected = 0;
    for (const SddTransaction &t : b.transactions)
        expected += t.amount.cents();
    EXPECT_EQ(sum, expected);
    EXPECT_EQ(at(msg, QStringLiteral("GrpHdr/CtrlSum")).text(), QStringLiteral("120.51"));
    EXPECT_EQ(cents(at(msg, QStringLiteral("GrpHdr/CtrlSum")).text()), sum);
    EXPECT_EQ(at(msg, QStringLiteral("GrpHdr/NbOfTxs")).text().toInt(), amounts.size());

    // One block per collection date and sequence type, each with the school's data.
    QStringList blocks;
    for (const QDomElement &p : all(msg, QStringLiteral("PmtInf"))) {
        const QString date = at(p, QStringLiteral("ReqdColltnDt")).text();
        QStringList ends;
        for (const QDomElement &tx : all(p, QStringLiteral("DrctDbtTxInf")))
            ends << at(tx, QStringLiteral("PmtId/EndToEndId")).text();
        blocks << date + u' ' + at(p, QStringLiteral("PmtTpInf/SeqTp")).text() + u' ' + ends.join(u',');
        EXPECT_EQ(at(p, QStringLiteral("CdtrSchmeId/Id/PrvtId/Othr/Id")).text(), SchoolId);
        EXPECT_TRUE(ibanValid(at(p, QStringLiteral("CdtrAcct/Id/IBAN")).text()));
        EXPECT_EQ(at(p, QStringLiteral("CdtrAgt/FinInstnId/ClrSysMmbId/MmbId")).text(), QStringLiteral("05428"));
    }
    EXPECT_EQ(blocks, (QStringList{QStringLiteral("2026-10-31 FRST CCP-20261031-1"),
                                   QStringLiteral("2026-10-31 RCUR CCP-20261031-2"),
                                   QStringLiteral("2027-01-31 FRST CCP-20270131-3")}));

    QSet<QString> ids;
    for (const QDomElement &tx : all(msg, QStringLiteral("DrctDbtTxInf"))) {
        ids.insert(at(tx, QStringLiteral("PmtId/EndToEndId")).text());
        EXPECT_TRUE(ibanValid(at(tx, QStringLiteral("DbtrAcct/Id/IBAN")).text()));
    }
    EXPECT_EQ(ids.size(), 3) << "end-to-end ids are unique";
    const QString name = at(all(msg, QStringLiteral("DrctDbtTxInf")).first(), QStringLiteral("Dbtr/Nm")).text();
    EXPECT_TRUE(name.startsWith(QStringLiteral("Nicolo' Perche' D'Annunzio xxx"))) << qPrintable(name);
    EXPECT_EQ(name.size(), 70);
    EXPECT_EQ(at(msg, QStringLiteral("GrpHdr/InitgPty/Nm")).text(),
              QStringLiteral("Istituto Comprensivo Dante Alighieri - Citta' di Prova"));
}

TEST(SepaSdd, BothVersionsAndTheBareMessageMatchTheirSchema)
{
    const struct { const char *name; SddVersion version; bool envelope; } cases[] = {
        {"00.01.00 in its envelope", SddVersion::V000100, true},
        {"00.01.01 in its envelope", SddVersion::V000101, true},
        {"00.01.00 bare", SddVersion::V000100, false},
    };
    for (const auto &c : cases) {
        SddBatch b = batch();
        b.version = c.version;
        b.envelope = c.envelope;
        auto xml = writeSdd(b);
        ASSERT_TRUE(xml.ok()) << qPrintable(xml.error());
        EXPECT_EQ(schemaErrors(xml.value(), c.version, c.envelope), QString()) << c.name;
        EXPECT_EQ(xml.value().contains("<BICFI>"), c.version == SddVersion::V000101) << c.name;
    }
    // The schema does catch a fault: an amount with one decimal.
    QByteArray bad = writeSdd(batch()).value();
    bad.replace(">50.00<", ">50.0<");
    EXPECT_NE(schemaErrors(bad, SddVersion::V000100, true), QString());
}

TEST(SepaSdd, RefusalsNameThePupil)
{
    const struct { const char *name; std::function<void(SddBatch &)> spoil; QString expected; } cases[] = {
        {"bad debtor IBAN", [](SddBatch &b) { b.transactions[1].iban = QStringLiteral("IT61X0542811101000000123456"); },
         SddText::debtorIbanInvalid(QStringLiteral("Bianchi Anna"), QStringLiteral("IT61X0542811101000000123456"))},
        {"no mandate", [](SddBatch &b) { b.transactions[2].mandateId = QStringLiteral("  "); },
         SddText::mandateMissing(QStringLiteral("Verdi Luca"))},
        {"no signature date", [](SddBatch &b) { b.transactions[0].signatureDate = QDate(); },
         SddText::signatureMissing(QStringLiteral("Rossi Mario"))},
        {"signed after collection", [](SddBatch &b) { b.transactions[0].signatureDate = QDate(2026, 11, 2); },
         SddText::signatureAfterCollection(QStringLiteral("Rossi Mario"), QDate(2026, 11, 2), QDate(2026, 10, 31))},
        {"mandate over 35", [](SddBatch &b) { b.transactions[0].mandateId = QString(36, u'M'); },
         SddText::mandateTooLong(QStringLiteral("Rossi Mario"), QString(36, u'M'))},
        {"zero amount", [](SddBatch &b) { b.transactions[1].amount = Money(); },
         SddText::amountNotPositive(QStringLiteral("Bianchi Anna"))},
        {"no creditor id", [](SddBatch &b) { b.creditorId.clear(); }, SddText::CreditorIdMissing},
        {"no CUC", [](SddBatch &b) { b.cuc = QStringLiteral(" "); }, SddText::CucMissing},
    };
    for (const auto &c : cases) {
        SddBatch b = batch();
        c.spoil(b);
        auto xml = writeSdd(b);
        ASSERT_FALSE(xml.ok()) << c.name;
        EXPECT_EQ(xml.error(), c.expected) << c.name;
    }
}

TEST(SepaSdd, SequenceTypesFollowTheMandatesDebitedBefore)
{
    const QDate oct(2026, 10, 31), jan(2027, 1, 31);
    QList<SddTransaction> txs = {debit(QStringLiteral("A"), 100, jan, QStringLiteral("M-1"), 1),
                                 debit(QStringLiteral("B"), 100, oct, QStringLiteral("M-1"), 2),
                                 debit(QStringLiteral("C"), 100, oct, QStringLiteral("M-2"), 3),
                                 debit(QStringLiteral("D"), 100, oct, QStringLiteral("M-3"), 4)};
    assignSequenceTypes(txs, {QStringLiteral("M-3")});
    QStringList got;
    for (const SddTransaction &t : txs)
        got << sddSeqTypeCode(t.seqType);
    EXPECT_EQ(got, (QStringList{QStringLiteral("RCUR"), QStringLiteral("FRST"), QStringLiteral("FRST"),
                                QStringLiteral("RCUR")}))
        << "the earliest debit of a new mandate is the first";
}

// ---- with the database ---------------------------------------------------------------------

class SddExport : public AcbFixture
{
protected:
    void SetUp() override
    {
        AcbFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("SDD.xml"));
        pupil = freePupil();
        acbId = newCoordinates(pupil, parentOf(pupil));
        mandate = scalar(QStringLiteral("SELECT sAcbMandato FROM TAcb_AluCoordBan WHERE iAcbId = %1").arg(acbId)).toString();
    }
    SddBatch one(const QDate &collection)
    {
        SddBatch b = batch();
        b.transactions = {debit(QStringLiteral("Alunno"), 5000, collection, mandate, 1)};
        b.transactions[0].acbId = acbId;
        return b;
    }
    int uses() { return count(QStringLiteral("SELECT COUNT(*) FROM TAcm_AcbMandatoUso WHERE iAcbId = %1").arg(acbId)); }
    QString seqTypeInFile()
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        QDomDocument doc;
        doc.setContent(f.readAll(), true);
        return doc.elementsByTagNameNS(QStringLiteral("urn:CBI:xsd:CBISDDReqLogMsg.00.01.00"), QStringLiteral("SeqTp"))
            .at(0).toElement().text();
    }

    QTemporaryDir dir;
    QString path;
    int pupil = 0;
    int acbId = 0;
    QString mandate;
};

TEST_F(SddExport, NewCoordinatesGetAStableUniqueMandate)
{
    EXPECT_TRUE(mandate.endsWith(QStringLiteral("-") + QString::number(acbId).rightJustified(9, u'0'))) << qPrintable(mandate);
    exec(QStringLiteral("UPDATE TAcb_AluCoordBan SET sAcbIntestatario = 'Y' WHERE iAcbId = %1").arg(acbId));
    EXPECT_EQ(scalar(QStringLiteral("SELECT sAcbMandato FROM TAcb_AluCoordBan WHERE iAcbId = %1").arg(acbId)).toString(),
              mandate);
    const int other = freePupil();
    const int otherId = newCoordinates(other, parentOf(other));
    QSqlQuery q(t.db());
    EXPECT_FALSE(q.exec(QStringLiteral("UPDATE TAcb_AluCoordBan SET sAcbMandato = '%1' WHERE iAcbId = %2")
                            .arg(mandate).arg(otherId)))
        << "two coordinates cannot share a mandate";
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TAcb_AluCoordBan WHERE sAcbMandato IS NULL")), 0)
        << "coordinates made before the mandates got one too";
}

TEST_F(SddExport, FirstExportOfAMandateIsFrstTheNextRcur)
{
    SddBatch first = one(QDate(2026, 10, 31));
    ASSERT_TRUE(exportSdd(t.db(), first, path).ok());
    EXPECT_EQ(seqTypeInFile(), QStringLiteral("FRST"));
    SddBatch second = one(QDate(2027, 1, 31));
    ASSERT_TRUE(exportSdd(t.db(), second, path).ok());
    EXPECT_EQ(seqTypeInFile(), QStringLiteral("RCUR"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT LIST(sAcmSeqTp || ' ' || dAcmIncasso || ' ' || fAcmImporto, '; ') FROM "
                                    "(SELECT * FROM TAcm_AcbMandatoUso WHERE iAcbId = %1 ORDER BY dAcmIncasso)")
                         .arg(acbId))
                  .toString(),
              QStringLiteral("FRST 2026-10-31 50.0000; RCUR 2027-01-31 50.0000"));

    // A new mandate signed on the same coordinates starts a new series.
    exec(QStringLiteral("UPDATE TAcb_AluCoordBan SET sAcbMandato = 'NUOVO-1' WHERE iAcbId = %1").arg(acbId));
    mandate = QStringLiteral("NUOVO-1");
    SddBatch third = one(QDate(2027, 4, 30));
    ASSERT_TRUE(exportSdd(t.db(), third, path).ok());
    EXPECT_EQ(seqTypeInFile(), QStringLiteral("FRST"));
}

TEST_F(SddExport, ARefusalOrAFailureLeavesNoFileAndNoRecord)
{
    QFile previous(path);
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
    previous.write("previous file");
    previous.close();

    SddBatch bad = one(QDate(2026, 10, 31));
    bad.transactions[0].iban = QStringLiteral("IT00X0000000000000000000000");
    EXPECT_FALSE(exportSdd(t.db(), bad, path).ok());

    SddBatch failing = one(QDate(2026, 10, 31));
    const Status s = exportSdd(t.db(), failing, path, nullptr, {},
                               ExportHooks{{}, [](const QString &, const QString &) { return false; }});
    EXPECT_FALSE(s.ok());

    EXPECT_EQ(uses(), 0);
    ASSERT_TRUE(previous.open(QIODevice::ReadOnly));
    EXPECT_EQ(previous.readAll(), QByteArray("previous file"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("SDD.xml")}) << "no temporary left";
}

// The demo school's debits of October 2026 through the bank export with the SEPA row.
TEST_F(SddExport, TheBankExportWritesTheSepaFileWithItsMovementsAndMandates)
{
    ASSERT_TRUE(installShippedLayouts(dir.path()).ok());
    auto catalogue = loadCatalogue(dir.path());
    ASSERT_TRUE(catalogue.ok());
    const auto sepa = std::find_if(catalogue->cbegin(), catalogue->cend(),
                                   [](const BankLayoutEntry &e) { return e.banca == QStringLiteral("SEPA SDD (CBI XML)"); });
    ASSERT_NE(sepa, catalogue->cend());
    auto layout = loadLayout(dir.path(), *sepa);
    ASSERT_TRUE(layout.ok()) << qPrintable(layout.error());
    auto &v = fw::TVeGlobalValuesManager::instance();
    const ExportParams params{v.intValue(QStringLiteral("VEUP_DwgId")), v.intValue(QStringLiteral("VEUP_AnsId")),
                              v.intValue(QStringLiteral("EBCP_SprIstId")), 11, QDate(2026, 10, 1), QDate(2026, 10, 31), {}};
    auto rows = loadDetailRows(t.db(), params);
    ASSERT_TRUE(rows.ok()) << qPrintable(rows.error());
    ExportRun run;
    run.mainDirectory = dir.path();
    run.layout = layout.value();
    run.rows = rows.value();
    run.movement = MovementParams{params.sprIstId, QDate(2026, 10, 20)};
    run.dispositions = buildDispositions(run.rows, QString(), SddSupportName, run.movement.date, run.movement.date);
    ASSERT_GT(run.dispositions.size(), 10);
    run.path = sddFileName(dir.path(), SddSupportName, run.movement.date);
    run.recordMovements = true;
    run.mpgId = 11;
    run.dwgId = params.dwgId;
    const int firstMovement = count(QStringLiteral("SELECT MAX(iMvmId) FROM TMvm_MovimentiCcp")) + 1;
    auto movements = [&] { return count(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp WHERE iMvmId >= %1").arg(firstMovement)); };
    const int usesBefore = count(QStringLiteral("SELECT COUNT(*) FROM TAcm_AcbMandatoUso"));

    // Without the school's SEPA data nothing is written.
    const Status refused = writeExport(t.db(), run);
    EXPECT_EQ(refused.error(), SddText::CreditorIdMissing);
    EXPECT_FALSE(QFileInfo::exists(run.path));
    EXPECT_EQ(movements(), 0);

    run.sdd.creditorId = SchoolId;
    run.sdd.cuc = QStringLiteral("1234567A");
    const Status s = writeExport(t.db(), run);
    ASSERT_TRUE(s.ok()) << qPrintable(s.error());
    QFile f(run.path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray xml = f.readAll();
    EXPECT_EQ(schemaErrors(xml, SddVersion::V000100, true), QString());
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(xml, true));
    const QDomElement msg = doc.elementsByTagNameNS(sddNamespace(SddVersion::V000100), QStringLiteral("CBISDDReqLogMsg"))
                                .at(0).toElement();
    // Every component of the month not yet booked, summed from the tables, is in the file once.
    const qint64 due = Money::fromVariant(scalar(QStringLiteral(
        "SELECT SUM(Cca.fCcaImportoIst) FROM TAcb_AluCoordBan Acb INNER JOIN TAcbCau AcbCau ON (AcbCau.iAcbId = Acb.iAcbId) "
        "INNER JOIN TCauCca CauCca ON (CauCca.iCauId = AcbCau.iCauId) INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = CauCca.iCcaId) "
        "WHERE Acb.iMpgId = 11 AND Cca.dCcaDataScadenza BETWEEN '2026-10-01' AND '2026-10-31' AND NOT EXISTS (SELECT 1 "
        "FROM TMvm_MovimentiCcp M JOIN TMvmCca C ON (C.iMvmId = M.iMvmId) WHERE M.iAnaId = Acb.iAnaId AND M.iCauId = AcbCau.iCauId "
        "AND C.iCcaId = Cca.iCcaId AND M.iMvmId < %1)").arg(firstMovement))).cents();
    qint64 sum = 0;
    for (const QDomElement &a : all(msg, QStringLiteral("InstdAmt")))
        sum += cents(a.text());
    EXPECT_EQ(sum, due);
    EXPECT_EQ(cents(at(msg, QStringLiteral("GrpHdr/CtrlSum")).text()), due);
    EXPECT_EQ(at(msg, QStringLiteral("GrpHdr/NbOfTxs")).text().toInt(), run.dispositions.size());
    EXPECT_EQ(movements(), run.rows.size());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TAcm_AcbMandatoUso")) - usesBefore, run.dispositions.size());
    // The demo sent a first debit under a third of the mandates: those are RCUR now.
    QStringList seqTypes;
    for (const QDomElement &p : all(msg, QStringLiteral("PmtInf")))
        seqTypes << at(p, QStringLiteral("PmtTpInf/SeqTp")).text();
    EXPECT_EQ(seqTypes, (QStringList{QStringLiteral("FRST"), QStringLiteral("RCUR")}));
    EXPECT_EQ(SddSettings::load(bankIniPath(dir.path())).creditorId, SchoolId) << "the SEPA data are remembered";
}

TEST_F(SddExport, DispositionsTakeTheirPupilsMandateAndACollectionDateNotInThePast)
{
    exec(QStringLiteral("UPDATE TAcb_AluCoordBan SET sAcbIBan = '%1', dAcbDataFirma = '2025-09-01' WHERE iAcbId = %2")
             .arg(iban(7))
             .arg(acbId));
    const QDate created(2026, 10, 20);
    SddDisposition due{pupil, 500, 1, QStringLiteral("Rossi Anna"), QStringLiteral("Rossi Carlo"), QStringLiteral("Quota"),
                       2, 8000, QDate(2026, 10, 31)};
    SddDisposition late = due;
    late.progressive = 2;
    late.components = 1;
    late.dueDate = QDate(2026, 9, 30);
    SddDisposition without{freePupil(), 501, 3, QStringLiteral("Neri Ugo"), QStringLiteral("Neri Ada"), QStringLiteral("Quota"),
                           1, 100, QDate(2026, 10, 31)};
    auto txs = sddTransactions(t.db(), 11, {due, late, without}, created, created.addDays(2));
    ASSERT_TRUE(txs.ok()) << qPrintable(txs.error());
    ASSERT_EQ(txs->size(), 3);
    const SddTransaction &a = txs->at(0);
    EXPECT_EQ(a.mandateId, mandate);
    EXPECT_EQ(a.iban, iban(7));
    EXPECT_EQ(a.collectionDate, QDate(2026, 10, 31));
    EXPECT_EQ(txs->at(1).collectionDate, QDate(2026, 10, 22)) << "a past due date is collected at the earliest date";
    EXPECT_NE(a.endToEndId, txs->at(1).endToEndId);
    EXPECT_LE(sddEndToEndId(created, 2147483647, 9999999).size(), 35);

    SddBatch b = batch();
    b.transactions = txs.value();
    EXPECT_EQ(writeSdd(b).error(), SddText::mandateMissing(QStringLiteral("Neri Ugo")))
        << "a pupil without coordinates of the method is refused by name";
}

// ---- the coordinates window ----------------------------------------------------------------

TEST(SepaSdd, MandateRulesOfTheCoordinates)
{
    const QDate today(2026, 12, 6);
    const struct { const char *name; QString mandate; QDate signature; QString expected; } cases[] = {
        {"empty takes the default", QString(), QDate(), {}},
        {"typed with the allowed signs", QStringLiteral("RM-2026/001 (A)"), today, {}},
        {"36 characters", QString(36, u'A'), today, AcbText::MandateInvalid},
        {"sign outside the set", QStringLiteral("MAND_01"), today, AcbText::MandateInvalid},
        {"accented letter", QStringLiteral("MANDATO-PIÙ"), today, AcbText::MandateInvalid},
        {"signed tomorrow", QStringLiteral("M1"), today.addDays(1), AcbText::SignatureFuture},
    };
    for (const auto &c : cases)
        EXPECT_EQ(checkMandate(c.mandate, c.signature, today), c.expected) << c.name;
}

} // namespace ccp::acbtest
