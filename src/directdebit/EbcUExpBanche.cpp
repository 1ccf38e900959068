#include "EbcUExpBanche.h"
#include "EbcUSddExport.h"

#include "SqlQuery.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryFile>
#include <algorithm>

static void initShippedLayouts() { Q_INIT_RESOURCE(exp_banche); }

namespace ccp::directdebit {

namespace {

#define S(x) QStringLiteral(x)

QString up(const QString &s) { return s.toUpper(); }

// ---- layouts --------------------------------------------------------------------------------

bool numericType(const QString &colType)
{
    const QChar c = colType.isEmpty() ? QChar() : colType.at(0).toUpper();
    return c == u'D' || c == u'E' || c == u'N';
}

// "start-end", 1-based and inclusive; false when it does not read so.
bool parsePos(const QString &pos, int &start, int &width)
{
    const QStringList parts = pos.split(u'-');
    if (parts.size() != 2)
        return false;
    bool ok1 = false, ok2 = false;
    start = parts[0].trimmed().toInt(&ok1);
    const int end = parts[1].trimmed().toInt(&ok2);
    width = end - start + 1;
    return ok1 && ok2 && start >= 1 && width >= 1;
}

bool ordLess(const LayoutRow &a, const LayoutRow &b)
{
    bool okA = false, okB = false;
    const int na = a.ord.trimmed().toInt(&okA);
    const int nb = b.ord.trimmed().toInt(&okB);
    if (okA && okB)
        return na < nb;
    return a.ord < b.ord;
}

QString layoutError(const LayoutRow &row)
{
    return S("Tracciato non valido: il campo %1 del record %2 alla posizione \"%3\" non segue il campo precedente.")
        .arg(row.fieldName, row.record, row.pos);
}

} // namespace

Result<DataPacket> readDataPacket(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return Result<DataPacket>::failure(S("Impossibile leggere il file %1.").arg(QDir::toNativeSeparators(path)));
    QDomDocument doc;
    QString message;
    int line = 0;
    if (!doc.setContent(&f, &message, &line))
        return Result<DataPacket>::failure(S("Il file %1 non è un XML valido (riga %2): %3")
                                               .arg(QDir::toNativeSeparators(path))
                                               .arg(line)
                                               .arg(message));
    const QDomElement root = doc.documentElement();
    if (root.tagName() != S("DATAPACKET"))
        return Result<DataPacket>::failure(S("Il file %1 non è un pacchetto dati (DATAPACKET).")
                                               .arg(QDir::toNativeSeparators(path)));
    DataPacket p;
    const QDomElement fields = root.firstChildElement(S("METADATA")).firstChildElement(S("FIELDS"));
    for (QDomElement e = fields.firstChildElement(S("FIELD")); !e.isNull(); e = e.nextSiblingElement(S("FIELD")))
        p.fields << e.attribute(S("attrname"));
    const QDomElement data = root.firstChildElement(S("ROWDATA"));
    for (QDomElement e = data.firstChildElement(S("ROW")); !e.isNull(); e = e.nextSiblingElement(S("ROW"))) {
        QHash<QString, QString> row;
        for (const QString &name : std::as_const(p.fields))
            row.insert(name, e.attribute(name));
        p.rows << row;
    }
    return p;
}

QString layoutFolder(const QString &mainDirectory)
{
    return QDir(mainDirectory).filePath(S("etc/ebc/exp_banche"));
}

Result<QList<BankLayoutEntry>> loadCatalogue(const QString &mainDirectory)
{
    auto p = readDataPacket(QDir(layoutFolder(mainDirectory)).filePath(S("Tracciati.xml")));
    if (!p)
        return p.status();
    QList<BankLayoutEntry> out;
    for (int i = 0; i < p->rows.size(); ++i)
        out << BankLayoutEntry{p->value(i, S("Banca")), p->value(i, S("CodTracciato")), p->value(i, S("ABI")),
                               p->value(i, S("PosTipoRecord"))};
    return out;
}

Result<BankLayout> loadLayout(const QString &mainDirectory, const BankLayoutEntry &entry)
{
    const QDir dir(layoutFolder(mainDirectory));
    auto rec = readDataPacket(dir.filePath(entry.codTracciato + S(".Xml")));
    if (!rec)
        return rec.status();
    auto hdr = readDataPacket(dir.filePath(entry.codTracciato + S("_X.Xml")));
    if (!hdr)
        return hdr.status();
    BankLayout l;
    l.entry = entry;
    for (int i = 0; i < rec->rows.size(); ++i)
        l.rows << LayoutRow{rec->value(i, S("Record")),   rec->value(i, S("Ord")),
                            rec->value(i, S("Pos")),      rec->value(i, S("FieldName")),
                            rec->value(i, S("ColType")),  rec->value(i, S("Required")),
                            rec->value(i, S("FillingChar")), rec->value(i, S("Extra"))};
    std::stable_sort(l.rows.begin(), l.rows.end(), ordLess);
    for (int i = 0; i < hdr->rows.size(); ++i)
        l.header << HeaderField{hdr->value(i, S("FieldName")), hdr->value(i, S("ColType"))};
    return l;
}

Status installShippedLayouts(const QString &mainDirectory)
{
    initShippedLayouts();
    const QDir target(layoutFolder(mainDirectory));
    if (!QDir().mkpath(target.path()))
        return Status::failure(S("Impossibile creare la cartella %1.").arg(QDir::toNativeSeparators(target.path())));
    const QDir shipped(S(":/exp_banche"));
    for (const QString &name : shipped.entryList(QDir::Files)) {
        const QString to = target.filePath(name);
        if (QFileInfo::exists(to))
            continue;
        if (!QFile::copy(shipped.filePath(name), to))
            return Status::failure(S("Impossibile scrivere il tracciato %1.").arg(QDir::toNativeSeparators(to)));
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return {};
}

// ---- detail rows ----------------------------------------------------------------------------

QVariant DetailRow::column(const QString &name) const
{
    static const QHash<QString, std::function<QVariant(const DetailRow &)>> columns = {
        {S("MITTENTE"), [](const DetailRow &r) { return QVariant(r.mittente); }},
        {S("ABI_RICEVENTE"), [](const DetailRow &r) { return QVariant(r.abiRicevente); }},
        {S("CAB_RICEVENTE"), [](const DetailRow &r) { return QVariant(r.cabRicevente); }},
        {S("CC_RICEVENTE"), [](const DetailRow &r) { return QVariant(r.ccRicevente); }},
        {S("DATA_CREAZIONE"), [](const DetailRow &r) { return QVariant(r.dataCreazione); }},
        {S("NOME_SUPPORTO"), [](const DetailRow &r) { return QVariant(r.nomeSupporto); }},
        {S("DATA_VALUTA"), [](const DetailRow &) { return QVariant(); }},
        {S("IMPORTO"), [](const DetailRow &r) { return QVariant(r.importo); }},
        {S("ABI_DOMICILIATARIA"), [](const DetailRow &r) { return QVariant(r.abiDomiciliataria); }},
        {S("CAB_DOMICILIATARIA"), [](const DetailRow &r) { return QVariant(r.cabDomiciliataria); }},
        {S("CC_DOMICILIATARIA"), [](const DetailRow &r) { return QVariant(r.ccDomiciliataria); }},
        {S("COD_DEBITORE"), [](const DetailRow &r) { return QVariant(r.codDebitore); }},
        {S("CREDITORE"), [](const DetailRow &r) { return QVariant(r.creditore); }},
        {S("DEBITORE"), [](const DetailRow &r) { return QVariant(r.debitore); }},
        {S("IND_DEBITORE"), [](const DetailRow &r) { return QVariant(r.indDebitore); }},
        {S("CAP_DEBITORE"), [](const DetailRow &r) { return QVariant(r.capDebitore); }},
        {S("COM_DEBITORE"), [](const DetailRow &r) { return QVariant(r.comDebitore); }},
        {S("CAUSALE"), [](const DetailRow &r) { return QVariant(r.causale); }},
        {S("DATA_SCADENZA"), [](const DetailRow &r) { return QVariant(r.dCcaDataScadenza.toString(S("ddMMyy"))); }},
        {S("DCCADATASCADENZA"), [](const DetailRow &r) { return QVariant(r.dCcaDataScadenza); }},
        {S("ICCAID"), [](const DetailRow &r) { return QVariant(r.iCcaId); }},
        {S("ICAUID"), [](const DetailRow &r) { return QVariant(r.iCauId); }},
        {S("IANAID"), [](const DetailRow &r) { return QVariant(r.iAnaId); }},
        {S("ISITID"), [](const DetailRow &r) { return QVariant(r.iSitId); }},
        {S("SANANOME"), [](const DetailRow &r) { return QVariant(r.sAnaNome); }},
        {S("SANACOGNOME"), [](const DetailRow &r) { return QVariant(r.sAnaCognome); }},
        {S("DANANASCITA"), [](const DetailRow &r) { return QVariant(r.dAnaNascita); }},
        {S("ICLSID"), [](const DetailRow &r) { return QVariant(r.iClsId); }},
        {S("SCLSDESC"), [](const DetailRow &r) { return QVariant(r.sClsDesc); }},
        {S("IANAID_GEN"), [](const DetailRow &r) { return QVariant(r.iAnaIdGen); }},
        {S("MATRICOLA"), [](const DetailRow &r) { return QVariant(r.matricola); }},
        {S("ICNT"), [](const DetailRow &r) { return QVariant(r.iCnt); }},
    };
    auto it = columns.constFind(name);
    if (it == columns.constEnd())
        it = columns.constFind(up(name.trimmed()));
    return it == columns.constEnd() ? QVariant() : it.value()(*this);
}

QStringList DetailRow::columnNames()
{
    return {S("MITTENTE"), S("ABI_RICEVENTE"), S("CAB_RICEVENTE"), S("CC_RICEVENTE"), S("DATA_CREAZIONE"),
            S("NOME_SUPPORTO"), S("DATA_VALUTA"), S("IMPORTO"), S("ABI_DOMICILIATARIA"), S("CAB_DOMICILIATARIA"),
            S("CC_DOMICILIATARIA"), S("COD_DEBITORE"), S("CREDITORE"), S("DEBITORE"), S("IND_DEBITORE"),
            S("CAP_DEBITORE"), S("COM_DEBITORE"), S("CAUSALE"), S("DATA_SCADENZA"), S("dCcaDataScadenza"),
            S("iCcaId"), S("iCauId"), S("iAnaId"), S("iSitId"), S("sAnaNome"), S("sAnaCognome"), S("dAnaNascita"),
            S("iClsId"), S("sClsDesc"), S("iAnaId_Gen"), S("matricola"), S("iCnt")};
}

namespace {

// "+ 0" keeps the server off the indexes of columns that hold the same value on most rows
// (payment method, registry kind, school year, causale, component): read along them, every pupil's rows
// would cost a walk over the whole school.
// A pupil's components are excluded once any movement of the pupil for that causale records
// them; NOT EXISTS rather than a join, so that several movements of one causale never give a
// component twice.
const QString DetailSql = S(
    "SELECT Ban.sBanAbi, Spr.sSprCab, SprIst.sSprIstNumCc, Cca.fCcaImportoIst, Acb.sAcbIBan,"
    " AnaCag.sAnaCagCode, Acb.sAcbIntestatario, Cca.sCcaLDesc, Cca.dCcaDataScadenza, Cca.iCcaId, Cau.iCauId,"
    " Ana.iAnaId, Sit.iSitId, Ana.sAnaNome, Ana.sAnaCognome, Ana.dAnaNascita, Cls.iClsId, Cls.sClsDesc,"
    " Acb.iAnaId_Gen"
    " FROM TAcb_AluCoordBan Acb"
    " INNER JOIN TAna_Anagrafiche Ana ON (Ana.iAnaId = Acb.iAnaId)"
    " INNER JOIN TAnaCag AnaCag ON (AnaCag.iAnaId = Ana.iAnaId AND AnaCag.iCagId + 0 = 1 AND AnaCag.DDELETE IS NULL)"
    " INNER JOIN TSit_Situazioni Sit ON (Sit.iAnaId = Ana.iAnaId AND Sit.iSitOrdine = 1)"
    " INNER JOIN VAns_AnniScolast Ans ON (Ans.iAnsId = :iAnsId AND Ans.dAnsVeltoInizio = Sit.dStart)"
    " INNER JOIN TAcbCau AcbCau ON (AcbCau.iAcbId = Acb.iAcbId)"
    " INNER JOIN TCau_Causali Cau ON (Cau.iCauId = AcbCau.iCauId AND Cau.dStart + 0 = Ans.dAnsVeltoInizio)"
    " INNER JOIN TCauCca CauCca ON (CauCca.iCauId = Cau.iCauId)"
    " INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = CauCca.iCcaId AND Cca.dStart + 0 = Ans.dAnsVeltoInizio)"
    " INNER JOIN TClsPst ClsPst ON (ClsPst.iClsPstId = Sit.iClsPstId)"
    " INNER JOIN VCls_Classi Cls ON (Cls.iClsId = ClsPst.iClsId)"
    " INNER JOIN TMpg_ModPagam Mpg ON (Mpg.iMpgId = Acb.iMpgId)"
    " INNER JOIN TAna_Anagrafiche Gen ON (Gen.iAnaId = Acb.iAnaId_Gen)"
    " INNER JOIN TSprIst SprIst ON (SprIst.iSprIstId = :ISPRISTID)"
    " INNER JOIN TSpr_SportelliCab Spr ON (Spr.iSprId = SprIst.iSprId)"
    " INNER JOIN TBan_Banche Ban ON (Ban.iBanId = Spr.iBanId)"
    " WHERE (Cca.dCcaDataScadenza BETWEEN :DataScadenzaDal AND :DataScadenzaAl)"
    " AND (Acb.iMpgId + 0 = :iMpgId)"
    " AND NOT EXISTS (SELECT 1 FROM TMvm_MovimentiCcp Mvm INNER JOIN TMvmCca MvmCca ON (MvmCca.iMvmId = Mvm.iMvmId)"
    "   WHERE Mvm.iAnaId = Acb.iAnaId AND Mvm.iCauId + 0 = AcbCau.iCauId AND MvmCca.iCcaId + 0 = Cca.iCcaId)"
    " ORDER BY Ana.sAnaCognome, Ana.sAnaNome, Ana.iAnaId, Cca.dCcaDataScadenza, Cca.iCcaId");

const QString CreditoreSql = S(
    "SELECT FIRST 1 Sed.sSedNomLDesc, Sed.sSedIndIndirizzo, Sed.sCapValue, Sed.sComDesc FROM VSed_Sedi Sed"
    " WHERE (Sed.iDwgId = :IDWGID) AND (Sed.lDwgSedMain = 1) ORDER BY Sed.iDwgSedId");

// Dwellings of location kind 2 of every person, the most recent first.
const QString AddressSql = S(
    "SELECT AnaAbt.iAnaId, Abt.sAbtIndirizzo, Cap.sCapValue, Com.sComDesc, Pro.sProSigla"
    " FROM TAnaAbt AnaAbt"
    " INNER JOIN TAbt_Abitaz Abt ON (Abt.iAbtId = AnaAbt.iAbtId)"
    " INNER JOIN TAbtLoc AbtLoc ON (AbtLoc.iAbtId = Abt.iAbtId)"
    " LEFT OUTER JOIN TComCap ComCap ON (ComCap.iComCapId = Abt.iComCapId)"
    " LEFT OUTER JOIN TCap Cap ON (Cap.iCapId = ComCap.iCapId)"
    " LEFT OUTER JOIN TSrpc Srpc ON (Srpc.iSrpcId = ComCap.iSrpcId)"
    " LEFT OUTER JOIN TCom_Comuni Com ON (Com.iComId = Srpc.iComId)"
    " LEFT OUTER JOIN TPro_Province Pro ON (Pro.iProId = Srpc.iProId)"
    " WHERE (AbtLoc.iLocId = 2) AND (AnaAbt.DDELETE IS NULL) AND (Abt.DDELETE IS NULL) AND (AbtLoc.DDELETE IS NULL)"
    " ORDER BY AnaAbt.iAnaId, AnaAbt.dStart DESC, AnaAbt.iAnaAbtId");

struct Address
{
    QString street, cap, municipality;
};

} // namespace

Result<QList<DetailRow>> loadDetailRows(const QSqlDatabase &db, const ExportParams &params)
{
    SqlQuery cred(db);
    if (auto s = cred.run(CreditoreSql, {{S("IDWGID"), params.dwgId}}); !s)
        return s;
    QString creditore;
    if (cred.next())
        creditore = cred.text(S("sSedNomLDesc")) + u' ' + cred.text(S("sSedIndIndirizzo")) + S(" - ")
                    + cred.text(S("sCapValue")) + u' ' + cred.text(S("sComDesc"));
    cred.finish();

    SqlQuery q(db);
    // The chosen pupils are kept here rather than in a list in the statement: a list of
    // thousands of ids is more than the server's parser takes.
    const QSet<int> chosen(params.pupils.cbegin(), params.pupils.cend());
    if (auto s = q.prepare(DetailSql); !s)
        return s;
    q.bind(S("iAnsId"), params.ansId).bind(S("ISPRISTID"), params.sprIstId).bind(S("iMpgId"), params.mpgId);
    q.bind(S("DataScadenzaDal"), params.from).bind(S("DataScadenzaAl"), params.to);
    if (auto s = q.exec(); !s)
        return s;
    QList<DetailRow> rows;
    QSet<int> payers;
    while (q.next()) {
        if (!chosen.isEmpty() && !chosen.contains(q.value(11).toInt()))
            continue;
        DetailRow r;
        r.abiRicevente = q.value(0).toString();
        r.cabRicevente = q.value(1).toString();
        r.ccRicevente = q.value(2).toString();
        r.amount = q.money(3);
        r.importo = r.amount.cents();
        r.iban = q.value(4).toString().trimmed();
        r.abiDomiciliataria = r.iban.mid(5, 5);
        r.cabDomiciliataria = r.iban.mid(10, 5);
        r.ccDomiciliataria = r.iban.mid(15, 12);
        r.matricola = q.value(5).toString();
        r.codDebitore = r.matricola.rightJustified(16, u'0');
        r.creditore = creditore;
        r.debitore = q.value(6).toString();
        r.causale = q.value(7).toString();
        r.dCcaDataScadenza = q.value(8).toDate();
        r.iCcaId = q.value(9).toInt();
        r.iCauId = q.value(10).toInt();
        r.iAnaId = q.value(11).toInt();
        r.iSitId = q.value(12).toInt();
        r.sAnaNome = q.value(13).toString();
        r.sAnaCognome = q.value(14).toString();
        r.dAnaNascita = q.value(15).toDate();
        r.iClsId = q.value(16).toInt();
        r.sClsDesc = q.value(17).toString();
        r.iAnaIdGen = q.value(18).toInt();
        payers.insert(r.iAnaIdGen);
        rows << r;
    }
    q.finish();
    if (rows.isEmpty())
        return rows;

    SqlQuery a(db);
    if (auto s = a.exec(AddressSql); !s)
        return s;
    QHash<int, Address> addresses;
    while (a.next()) {
        const int id = a.value(0).toInt();
        if (!payers.contains(id) || addresses.contains(id))
            continue;
        QString com = a.value(3).toString();
        if (!a.value(4).toString().isEmpty())
            com += u' ' + a.value(4).toString();
        addresses.insert(id, Address{a.value(1).toString(), a.value(2).toString(), com});
    }
    a.finish();
    for (DetailRow &r : rows) {
        const Address ad = addresses.value(r.iAnaIdGen);
        r.indDebitore = ad.street;
        r.capDebitore = ad.cap;
        r.comDebitore = ad.municipality;
    }
    return rows;
}

QList<Disposition> buildDispositions(const QList<DetailRow> &rows, const QString &mittente,
                                     const QString &nomeSupporto, const QDate &dataCreazione,
                                     const QDate &today)
{
    QList<Disposition> out;
    QHash<int, qsizetype> byPayer;   // payer -> index in `out`, which is built back to front
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        const DetailRow &r = rows[i];
        const auto it = byPayer.constFind(r.iAnaIdGen);
        if (it != byPayer.constEnd()) {
            Disposition &d = out[it.value()];
            d.data.importo += r.importo;
            d.data.amount += r.amount;
            d.data.iCnt += 1;
            d.details.prepend(int(i));
            continue;
        }
        Disposition d;
        d.data = r;
        d.data.mittente = mittente;
        d.data.nomeSupporto = nomeSupporto + today.toString(S("yyyyMMdd"));
        d.data.dataCreazione = dataCreazione;
        d.details << int(i);
        byPayer.insert(r.iAnaIdGen, out.size());
        out << d;   // built back to front, reversed below: cheaper than inserting at the front
    }
    std::reverse(out.begin(), out.end());
    return out;
}

// ---- fixed-width writer ---------------------------------------------------------------------

QString cbiText(const QString &text)
{
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; }))
        return text;
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out += c;
            continue;
        }
        if (u == 0x20AC) {   // euro sign
            out += S("EUR");
            continue;
        }
        const QString base = QString(c).normalized(QString::NormalizationForm_D);
        QChar letter = base.isEmpty() ? QChar() : base.at(0);
        if (letter.unicode() >= 0x80 || letter.isNull()) {
            out += u == 0xDF ? S("ss") : S("?");
            continue;
        }
        out += letter;
        // Grave and acute accents are written as an apostrophe, as Italian forms do.
        if (base.contains(QChar(0x0300)) || base.contains(QChar(0x0301)))
            out += u'\'';
    }
    return out;
}

namespace {

// A layout row read once: its place, type and rules, so that each record is only filled in.
struct Field
{
    enum Kind { Filler, Date6, Date8, DateSlash, Amount, Numeric, Text };
    const LayoutRow *row = nullptr;
    Kind kind = Text;
    int start = 0, width = 0;
    bool posOk = false;
    bool fromTotals = false, keepRight = false;
    QString required;
    QString filling;
    QChar pad;
    QString key;   // upper-case field name

    explicit Field(const LayoutRow &r) : row(&r)
    {
        const QString type = r.colType.trimmed().toUpper();
        kind = type == S("F")    ? Filler
               : type == S("D")  ? Date6
               : type == S("D8") ? Date8
               : type == S("/D") ? DateSlash
               : type == S("E")  ? Amount
               // Alignment and content follow the first letter: "D…", "E…", "N…" are numbers.
               : numericType(type) ? Numeric
                                   : Text;
        posOk = parsePos(r.pos, start, width);
        const QString extra = r.extra.trimmed().toUpper();
        fromTotals = extra == S("F");
        keepRight = extra == S("R");
        required = r.required.trimmed().toUpper();
        filling = r.fillingChar.isEmpty() ? S(" ") : r.fillingChar;
        pad = filling.at(0);
        key = r.fieldName.trimmed().toUpper();
    }
    bool numeric() const { return kind == Date6 || kind == Date8 || kind == Amount || kind == Numeric; }

    QString format(const QVariant &value) const
    {
        if (kind == Filler) {
            QString v;
            while (v.size() < width)
                v += filling;
            return v;
        }
        QString v;
        if (kind == Date6 || kind == Date8 || kind == DateSlash) {
            if (value.typeId() == QMetaType::QDate) {
                const QDate d = value.toDate();
                if (d.isValid() && d != QDate(1899, 12, 30))
                    v = d.toString(kind == Date6 ? S("ddMMyy") : kind == Date8 ? S("yyyyMMdd") : S("yyyy/MM/dd"));
            } else if (!value.isNull()) {
                v = value.toString();
            }
        } else if (kind == Amount) {
            if (!value.isNull()) {
                bool ok = false;
                const Money m = Money::fromSqlText(value.toString(), &ok);
                v = ok ? m.toSql().replace(u'.', QLocale().decimalPoint()) : value.toString();
            }
        } else {
            v = value.toString();
        }
        v = cbiText(v);
        if (keepRight && v.size() > width)
            v = v.right(width);
        if (v.size() < width)
            v = numeric() ? v.rightJustified(width, pad) : v.leftJustified(width, pad);
        v.truncate(width);
        return v;
    }
};

} // namespace

QString formatField(const LayoutRow &row, const QVariant &value, int width)
{
    Field f(row);
    f.width = width;
    return f.format(value);
}

namespace {

class LineBuilder
{
public:
    explicit LineBuilder(const BankLayout &layout)
    {
        for (const LayoutRow &r : layout.rows)
            m_records[r.record.trimmed()].append(Field(r));
    }

    Status record(const QString &code, const DetailRow *data, QStringList &lines)
    {
        const auto it = m_records.constFind(code);
        if (it == m_records.constEnd() || it->isEmpty())
            return {};
        ++totRecord;
        QString line;
        line.reserve(128);
        for (const Field &f : it.value()) {
            if (!f.posOk || f.start != line.size() + 1)
                return Status::failure(layoutError(*f.row));
            QVariant value;
            if (f.kind != Field::Filler)
                value = f.fromTotals ? total(f.key) : data ? data->column(f.key) : QVariant();
            const QString v = f.format(value);
            if (f.kind != Field::Filler)
                if (auto s = check(f, v, data); !s)
                    return s;
            line += v;
        }
        lines << line;
        return {};
    }

    qint64 progressivo = 0;   // 0: empty, as in the header
    qint64 totRecord = 0;
    qint64 totImpNeg = 0;
    bool anyWritten = false;

private:
    QVariant total(const QString &key) const
    {
        if (key == QLatin1String("PROGRESSIVO"))
            return progressivo ? QVariant(progressivo) : QVariant(QString());
        if (key == QLatin1String("TOT_RECORD"))
            return totRecord;
        if (key == QLatin1String("TOT_IMP_NEG"))
            return anyWritten ? QVariant(totImpNeg) : QVariant(QString());
        return {};
    }

    static Status check(const Field &f, const QString &value, const DetailRow *data)
    {
        const QString t = value.trimmed();
        if (f.numeric()) {
            const QChar sep = QLocale().decimalPoint().at(0);
            for (QChar c : t)
                if (!c.isDigit() && !(f.kind == Field::Amount && c == sep))
                    return Status::failure(ExpText::Numeric + f.row->fieldName);
        }
        if (f.required == QLatin1String("O") && t.isEmpty())
            return Status::failure(ExpText::Required + f.row->fieldName);
        if (f.required == QLatin1String("C2")) {
            if (!data || data->indDebitore.trimmed().isEmpty() || data->capDebitore.trimmed().isEmpty()
                || data->comDebitore.trimmed().isEmpty())
                return Status::failure(ExpText::AddressRequired);
            bool ok = false;
            const int cap = data->capDebitore.trimmed().toInt(&ok);
            if (!ok || cap == 0)
                return Status::failure(ExpText::CapNumeric);
        }
        return {};
    }

    QHash<QString, QList<Field>> m_records;
};

} // namespace

Result<QStringList> buildFixedWidthLines(const BankLayout &layout, const QList<Disposition> &dispositions)
{
    LineBuilder b(layout);
    QStringList lines;
    lines.reserve(dispositions.size() * 6 + 2);
    const DetailRow *first = dispositions.isEmpty() ? nullptr : &dispositions.first().data;
    if (auto s = b.record(S("IR"), first, lines); !s)
        return s;
    static const QStringList codes = {S("10"), S("20"), S("30"), S("40"), S("50"), S("70")};
    for (const Disposition &d : dispositions) {
        ++b.progressivo;
        for (const QString &code : codes)
            if (auto s = b.record(code, &d.data, lines); !s)
                return s;
        b.totImpNeg += d.data.importo;
        b.anyWritten = true;
    }
    const DetailRow *last = dispositions.isEmpty() ? nullptr : &dispositions.last().data;
    if (auto s = b.record(S("EF"), last, lines); !s)
        return s;
    return lines;
}

QByteArray encodeLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &l : lines) {
        out += cbiText(l).toLatin1();
        out += "\r\n";
    }
    return out;
}

QStringList logLines(const BankLayout &layout, const QStringList &lines)
{
    struct Slot
    {
        QString prefix;   // FieldName="
        int start = 0, width = 0;
    };
    QHash<QString, QList<Slot>> byRecord;
    QList<Slot> all;
    for (const LayoutRow &r : layout.rows) {
        Slot slot{r.fieldName + S("=\""), 0, 0};
        parsePos(r.pos, slot.start, slot.width);
        byRecord[r.record.trimmed()] << slot;
        all << slot;
    }
    int codeStart = 0, codeWidth = 0;
    const bool byCode = parsePos(layout.entry.posTipoRecord, codeStart, codeWidth);
    QStringList out;
    for (const QString &line : lines) {
        const QString code = byCode ? line.mid(codeStart - 1, codeWidth).trimmed() : QString();
        const QList<Slot> &slots = code.isEmpty() ? all : byRecord[code];
        for (const Slot &slot : slots)
            out << slot.prefix + QStringView(line).mid(slot.start - 1, slot.width) + u'"';
    }
    return out;
}

// ---- file names and remembered settings -----------------------------------------------------

QString defaultExportFolder()
{
#ifdef Q_OS_WIN
    return S("C:\\Veltodata\\Banca");
#else
    return QDir::home().filePath(S("Veltodata/Banca"));
#endif
}

QString cleanSupportName(const QString &nome)
{
    QString out;
    for (QChar c : nome)
        if (!QStringView(u"/\\:*?\"<>|").contains(c))
            out += c;
    return out;
}

QString exportFileName(const QString &folder, const QString &nome, const QDate &today)
{
    return QDir(folder).filePath(cleanSupportName(nome) + today.toString(S("yyyyMMdd")) + S(".Txt"));
}

QString bankIniPath(const QString &mainDirectory)
{
    return QDir(mainDirectory).filePath(S("usr/Ebc/xba/Banca.ini"));
}

BankIni readBankIni(const QString &mainDirectory)
{
    QSettings ini(bankIniPath(mainDirectory), QSettings::IniFormat);
    ini.beginGroup(S("Dati"));
    return BankIni{ini.value(S("Mittente")).toString(), ini.value(S("Conto_Tesoreria")).toString(),
                   ini.value(S("Banca")).toString()};
}

Status writeBankIni(const QString &mainDirectory, const QString &mittente, const QString &banca)
{
    QDir().mkpath(QFileInfo(bankIniPath(mainDirectory)).absolutePath());
    QSettings ini(bankIniPath(mainDirectory), QSettings::IniFormat);
    ini.beginGroup(S("Dati"));
    ini.setValue(S("Mittente"), mittente);
    if (!banca.isEmpty())
        ini.setValue(S("Banca"), banca);
    ini.endGroup();
    ini.sync();
    if (ini.status() != QSettings::NoError)
        return Status::failure(S("Impossibile salvare le impostazioni in %1.")
                                   .arg(QDir::toNativeSeparators(bankIniPath(mainDirectory))));
    return {};
}

// ---- producing the file and the movements ---------------------------------------------------

namespace {

Status recordMovements(QSqlDatabase db, const QList<DetailRow> &rows, const MovementParams &m,
                       const ExportHooks &hooks)
{
    SqlQuery q(db);
    // A closed account or a locked year is refused before anything is written.
    if (auto s = q.run(S(" EXECUTE PROCEDURE PEbc_MvmConsentito(:iSprIstId, :dMvmDataMov)"),
                       {{S("iSprIstId"), m.sprIstId}, {S("dMvmDataMov"), m.date}});
        !s)
        return s;
    auto year = SqlQuery::scalar(db, S("SELECT iEsercizioFin FROM PEbc_AnnoConto(:iSprIstId, :dData)"),
                                 {{S("iSprIstId"), m.sprIstId}, {S("dData"), m.date}});
    if (!year)
        return year.status();
    if (!year.value().isValid())
        return Status::failure(S("La data del movimento (%1) non rientra in nessun anno finanziario del conto: "
                                 "eseguire prima l'inizio dell'anno finanziario.")
                                   .arg(m.date.toString(S("dd/MM/yyyy"))));
    SqlQuery mvm(db), cca(db);
    if (auto s = mvm.prepare(S(
            " INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, lMvmTipo, fMvmImporto, iMvmProgr, dMvmDataMov,"
            " dMvmDataEc, iAnaId, iCbmId, iSitId, iLocked) VALUES (NEXT VALUE FOR G_TMVM_MOVIMENTICCP,"
            " :iSprIstId, :iCauId, 0, :fMvmImporto, 0, :dMvmDataMov, :dMvmDataEc, :iAnaId, 1, :iSitId, 0)"
            " RETURNING iMvmId"));
        !s)
        return s;
    if (auto s = cca.prepare(S(
            " INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (NEXT VALUE FOR G_TMVMCCA,"
            " :iMvmId, :iCcaId, :fMvmCcaImporto)"));
        !s)
        return s;
    for (int i = 0; i < rows.size(); ++i) {
        const DetailRow &r = rows[i];
        const Money amount = Money::fromCents(r.importo);
        mvm.bind(S("iSprIstId"), m.sprIstId).bind(S("iCauId"), r.iCauId).bind(S("fMvmImporto"), amount);
        mvm.bind(S("dMvmDataMov"), m.date).bind(S("dMvmDataEc"), m.date).bind(S("iAnaId"), r.iAnaId);
        mvm.bind(S("iSitId"), r.iSitId);
        if (auto s = mvm.exec(); !s)
            return s;
        if (!mvm.next())
            return Status::failure(S("Movimento non registrato."));
        const int id = mvm.value(0).toInt();
        mvm.finish();
        cca.bind(S("iMvmId"), id).bind(S("iCcaId"), r.iCcaId).bind(S("fMvmCcaImporto"), amount);
        if (auto s = cca.exec(); !s)
            return s;
        if (hooks.afterMovement)
            if (auto s = hooks.afterMovement(i); !s)
                return s;
    }
    const QVariantMap tabs{{S("iSprIstId"), m.sprIstId}, {S("iEsercizioFin"), year.value().toInt()}};
    if (auto s = q.run(S(" EXECUTE PROCEDURE PEbc_MvmUpdTabs(:iSprIstId, :iEsercizioFin)"), tabs); !s)
        return s;
    return q.run(S(" EXECUTE PROCEDURE PEbc_LockUnlockAnf(:iSprIstId, :iEsercizioFin)"), tabs);
}

QString nothingProduced(const QString &why)
{
    return S("Esportazione non eseguita: non è stato prodotto alcun file né registrato alcun movimento.\n") + why;
}

} // namespace

Status produceExport(QSqlDatabase db, const QString &path, const QByteArray &content,
                     const QList<DetailRow> *rows, const MovementParams &movement, const ExportHooks &hooks,
                     const std::function<Status()> &alsoInTransaction)
{
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (!QDir().mkpath(folder))
        return Status::failure(nothingProduced(S("Impossibile creare la cartella %1.").arg(QDir::toNativeSeparators(folder))));
    QTemporaryFile tmp(QDir(folder).filePath(target.fileName() + S(".XXXXXX")));
    if (!tmp.open() || tmp.write(content) != content.size() || !tmp.flush())
        return Status::failure(nothingProduced(S("Impossibile scrivere il file %1.").arg(QDir::toNativeSeparators(path))));
    tmp.close();

    std::unique_ptr<Transaction> tr;
    if (rows || alsoInTransaction) {
        tr = std::make_unique<Transaction>(db);
        if (!tr->active())
            return Status::failure(nothingProduced(tr->error()));
        if (auto s = rows ? recordMovements(db, *rows, movement, hooks) : Status(); !s)
            return Status::failure(nothingProduced(s.error()));   // rolled back, temporary file removed
        if (auto s = alsoInTransaction ? alsoInTransaction() : Status(); !s)
            return Status::failure(nothingProduced(s.error()));
    }

    // The previous file steps aside until the new one is in place and the movements committed.
    const auto rename = hooks.rename ? hooks.rename : [](const QString &a, const QString &b) { return QFile::rename(a, b); };
    QString backup;
    if (target.exists()) {
        QTemporaryFile name(QDir(folder).filePath(target.fileName() + S(".bak.XXXXXX")));
        name.open();
        backup = name.fileName();
        name.close();
        name.remove();
        if (!QFile::rename(path, backup))
            return Status::failure(nothingProduced(S("Impossibile sostituire il file %1.").arg(QDir::toNativeSeparators(path))));
    }
    auto restore = [&] {
        if (!backup.isEmpty()) {
            QFile::remove(path);
            QFile::rename(backup, path);
        }
    };
    if (!rename(tmp.fileName(), path)) {
        restore();
        return Status::failure(nothingProduced(S("Impossibile scrivere il file %1.").arg(QDir::toNativeSeparators(path))));
    }
    tmp.setAutoRemove(false);
    if (tr) {
        if (auto s = tr->commit(); !s) {
            QFile::remove(path);
            restore();
            return Status::failure(nothingProduced(s.error()));
        }
    }
    if (!backup.isEmpty())
        QFile::remove(backup);
    return {};
}

QString logPath(const QString &mainDirectory, const QString &exportPath)
{
    return QDir(mainDirectory).filePath(S("var/log/Ebc/xba/") + QFileInfo(exportPath).fileName());
}

Status writeLog(const QString &mainDirectory, const BankLayout &layout, const QString &exportPath)
{
    QFile in(exportPath);
    if (!in.open(QIODevice::ReadOnly))
        return Status::failure(S("Impossibile leggere il file %1.").arg(QDir::toNativeSeparators(exportPath)));
    QStringList lines = QString::fromLatin1(in.readAll()).split(S("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QString log = logPath(mainDirectory, exportPath);
    QDir().mkpath(QFileInfo(log).absolutePath());
    QSaveFile out(log);
    if (!out.open(QIODevice::WriteOnly) || out.write(encodeLines(logLines(layout, lines))) < 0 || !out.commit())
        return Status::failure(S("Impossibile scrivere il log %1.").arg(QDir::toNativeSeparators(log)));
    return {};
}

Status writeExport(QSqlDatabase db, const ExportRun &run, const ExportHooks &hooks)
{
    if (run.dispositions.isEmpty())
        return Status::failure(ExpText::NothingToExport);
    if (isSddLayout(run.layout.entry))
        return writeSddExport(db, run, hooks);
    auto lines = buildFixedWidthLines(run.layout, run.dispositions);
    if (!lines)
        return lines.status();
    if (auto s = produceExport(db, run.path, encodeLines(lines.value()), run.recordMovements ? &run.rows : nullptr,
                               run.movement, hooks);
        !s)
        return s;
    writeLog(run.mainDirectory, run.layout, run.path);   // a log not written does not undo the export
    // The file and the movements are done: settings not saved do not undo them.
    writeBankIni(run.mainDirectory, run.mittente, run.layout.entry.banca);
    return {};
}

} // namespace ccp::directdebit
