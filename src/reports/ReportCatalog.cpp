#include "ReportCatalog.h"

#include "EbsMReport.h"
#include "ReportLayout.h"
#include "ReportStore.h"
#include "ReportXlsx.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"

#include <QRegularExpression>

namespace ccp::reports {

namespace {

const QString pYear = QStringLiteral("Anno scolastico");
const QString pIncome = QStringLiteral("Causali di entrata");
const QString pCausale = QStringLiteral("Causale");
const QString pInstitute = QStringLiteral("Istituto");
const QString pClass = QStringLiteral("Classe");
const QString pAccount = QStringLiteral("Numero conto");
const QString pNew = QStringLiteral("Alunni nuovi iscritti");
const QString pAttending = QStringLiteral("Solo frequentanti");
const QString pBarCodes = QStringLiteral("Stampa codici a barre");
const QString pPupils = QStringLiteral("Alunni");

int global(const char *key)
{
    return fw::TVeGlobalValuesManager::instance().intValue(QString::fromLatin1(key));
}

// Reads the given choices by name, refusing names the report does not take.
class Choices
{
public:
    Choices(const ReportInfo &info, const QMap<QString, QString> &given) : m_info(info), m_given(given) {}

    Status check() const
    {
        for (auto it = m_given.begin(); it != m_given.end(); ++it) {
            if (!m_info.params.contains(it.key(), Qt::CaseInsensitive))
                return Status::failure(QStringLiteral("La stampa %1 non ha la scelta \"%2\" (scelte: %3).")
                                           .arg(m_info.id).arg(it.key(), m_info.params.join(QStringLiteral(", "))));
        }
        return {};
    }

    std::optional<QString> text(const QString &name) const
    {
        for (auto it = m_given.begin(); it != m_given.end(); ++it) {
            if (it.key().compare(name, Qt::CaseInsensitive) == 0)
                return it.value().trimmed();
        }
        return std::nullopt;
    }

    Result<bool> flag(const QString &name, bool fallback) const
    {
        const auto t = text(name);
        if (!t)
            return fallback;
        const auto v = readYesNo(*t);
        if (!v)
            return Result<bool>::failure(QStringLiteral("\"%1\": scrivere sì o no, non \"%2\".").arg(name, *t));
        return *v;
    }

private:
    const ReportInfo &m_info;
    QMap<QString, QString> m_given;
};

Result<int> yearId(QSqlDatabase db, const Choices &c, const char *defaultKey)
{
    const auto t = c.text(pYear);
    if (!t) {
        const int id = global(defaultKey);
        if (id == 0)
            return Result<int>::failure(QStringLiteral("Manca la scelta \"%1\" (e il contesto di lavoro non ne ha una).").arg(pYear));
        return id;
    }
    static const QRegularExpression re(QStringLiteral(R"(^(\d{4})(?:\s*/\s*\d{4})?$)"));
    const auto m = re.match(*t);
    if (!m.hasMatch())
        return Result<int>::failure(QStringLiteral("\"%1\": scrivere l'anno come 2026/2027, non \"%2\".").arg(pYear, *t));
    auto id = SqlQuery::scalar(db, QStringLiteral("SELECT iAnsId FROM VAns_AnniScolast WHERE iAnsValore = :v"),
                               {{QStringLiteral("v"), m.captured(1).toInt()}});
    if (!id)
        return id.status();
    if (!id.value().isValid())
        return Result<int>::failure(QStringLiteral("L'anno scolastico %1 non esiste.").arg(*t));
    return id.value().toInt();
}

// The causale by id or by code among the income causali of the year and the next.
Result<int> causaleId(QSqlDatabase db, const Choices &c, int ansId)
{
    const auto t = c.text(pCausale);
    if (!t || t->isEmpty())
        return Result<int>::failure(QStringLiteral("Manca la scelta \"%1\": %2").arg(pCausale,
            QStringLiteral("Nessuna causale selezionata: impossibile procedere.")));
    SqlQuery q(db);
    if (auto s = q.prepare(QStringLiteral(
            "SELECT Cau.iCauId FROM TCau_Causali Cau"
            " INNER JOIN TAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cau.dStart)"
            " INNER JOIN TAns_AnniScolast Sel ON (Sel.iAnsId = :iAnsId)"
            " WHERE Cau.lCauTipo = 0 AND Cau.DDELETE IS NULL AND Ans.iAnsValore IN (Sel.iAnsValore, Sel.iAnsValore + 1)"
            " AND (CAST(Cau.iCauId AS VARCHAR(12)) = :t OR UPPER(Cau.sCauSDesc) = UPPER(:t))")); !s)
        return s;
    q.bind(QStringLiteral("iAnsId"), ansId).bind(QStringLiteral("t"), *t);
    if (auto s = q.exec(); !s)
        return s;
    QList<int> ids;
    while (q.next())
        ids << q.value(0).toInt();
    if (ids.isEmpty())
        return Result<int>::failure(QStringLiteral("Causale \"%1\" non trovata tra le causali di entrata dell'anno.").arg(*t));
    if (ids.size() > 1)
        return Result<int>::failure(QStringLiteral("Il codice \"%1\" indica più causali: scrivere l'id.").arg(*t));
    return ids.first();
}

Result<QString> classId(QSqlDatabase db, const Choices &c, int ansId)
{
    const auto t = c.text(pClass);
    if (!t || t->isEmpty() || t->compare(QLatin1String("Tutte"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("%");
    auto id = SqlQuery::scalar(db, QStringLiteral(
        "SELECT FIRST 1 VCls.iClsId FROM VCls_Classi VCls WHERE VCls.iAnsId = :a AND UPPER(VCls.sClsSDesc) = UPPER(:s)"),
        {{QStringLiteral("a"), ansId}, {QStringLiteral("s"), *t}});
    if (!id)
        return id.status();
    if (!id.value().isValid())
        return Result<QString>::failure(QStringLiteral("La classe \"%1\" non esiste nell'anno scelto.").arg(*t));
    return id.value().toString();
}

Result<QList<int>> pupilIds(QSqlDatabase db, const Choices &c, int ansId)
{
    QList<int> out;
    const auto t = c.text(pPupils);
    if (!t || t->isEmpty())
        return out;
    for (const QString &code : t->split(u',', Qt::SkipEmptyParts)) {
        auto id = SqlQuery::scalar(db, QStringLiteral(
            "SELECT FIRST 1 Sit.iSitId FROM TAnaCag AnaCag INNER JOIN TSit_Situazioni Sit ON (Sit.iAnaId = AnaCag.iAnaId)"
            " INNER JOIN TAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Sit.dStart)"
            " WHERE AnaCag.iCagId = 1 AND AnaCag.sAnaCagCode = :c AND Ans.iAnsId = :a ORDER BY Sit.iSitOrdine"),
            {{QStringLiteral("c"), code.trimmed()}, {QStringLiteral("a"), ansId}});
        if (!id)
            return id.status();
        if (!id.value().isValid())
            return Result<QList<int>>::failure(QStringLiteral("Nessun alunno con codice \"%1\" nell'anno scelto.").arg(code.trimmed()));
        out << id.value().toInt();
    }
    return out;
}

Result<QString> workingAccountNumber(QSqlDatabase db)
{
    auto v = SqlQuery::scalar(db, QStringLiteral("SELECT sSprIstNumCc FROM TSprIst WHERE iSprIstId = :id"),
                              {{QStringLiteral("id"), global("EBCP_SprIstId")}});
    if (!v)
        return v.status();
    return v.value().toString();
}

QString institutionName(QSqlDatabase db, int dwgId)
{
    auto v = SqlQuery::scalar(db, QStringLiteral(
        "SELECT FIRST 1 sSedNomLDesc FROM VSed_Sedi WHERE iDwgId = :d AND dEnd_DwgSed IS NULL ORDER BY lDwgSedMain DESC"),
        {{QStringLiteral("d"), dwgId}});
    return v ? v.value().toString() : QString();
}

template<typename T>
Result<PreparedReport> prepared(Result<std::unique_ptr<T>> module, const ReportInfo &info, const QString &subject)
{
    if (!module)
        return module.status();
    PreparedReport p;
    p.data = std::move(module.value());
    p.info = {info.title, {}, subject};
    return p;
}

} // namespace

std::optional<bool> readYesNo(const QString &text)
{
    const QString t = text.trimmed().toLower();
    static const QStringList yes = {QStringLiteral("sì"), QStringLiteral("si"), QStringLiteral("s"), QStringLiteral("1"),
                                    QStringLiteral("true"), QStringLiteral("vero"), QStringLiteral("yes")};
    static const QStringList no = {QStringLiteral("no"), QStringLiteral("n"), QStringLiteral("0"), QStringLiteral("false"),
                                   QStringLiteral("falso")};
    if (yes.contains(t))
        return true;
    if (no.contains(t))
        return false;
    return std::nullopt;
}

const std::vector<ReportInfo> &reportCatalog()
{
    static const std::vector<ReportInfo> list = {
        {14001, QStringLiteral("Tasse scolastiche"), QStringLiteral("Componenti di causali"), {pYear}},
        {14002, QStringLiteral("Tasse scolastiche"), QStringLiteral("Causali e loro componenti"), {pYear, pIncome}},
        {14004, QStringLiteral("Tasse scolastiche"), QStringLiteral("Avvisi di pagamento agli alunni"),
         {pCausale, pYear, pInstitute, pClass, pAccount, pNew, pAttending, pBarCodes, pPupils}},
    };
    return list;
}

const ReportInfo *findReport(int id)
{
    for (const ReportInfo &r : reportCatalog()) {
        if (r.id == id)
            return &r;
    }
    return nullptr;
}

Result<PreparedReport> prepareReport(QSqlDatabase db, int id, const QMap<QString, QString> &given)
{
    const ReportInfo *info = findReport(id);
    if (!info)
        return Result<PreparedReport>::failure(QStringLiteral("La stampa %1 non esiste (ccp-admin report --list).").arg(id));
    const Choices c(*info, given);
    if (auto s = c.check(); !s)
        return s;
    TdmEbsReport ebs(db);
    ebs.dwgId = global("VEUP_DwgId");
    switch (id) {
    case 14001: {
        auto year = yearId(db, c, "VEUP_AnsId");
        if (!year)
            return year.status();
        auto m = ebs.componentsOfYear(year.value());
        return prepared(std::move(m), *info, QStringLiteral("A.S. ") + ebs.schoolYear);
    }
    case 14002: {
        auto year = yearId(db, c, "EBSP_CauAnsId");
        auto income = c.flag(pIncome, true);
        if (!year)
            return year.status();
        if (!income)
            return income.status();
        auto m = ebs.causali(year.value(), income.value());
        return prepared(std::move(m), *info, QStringLiteral("A.S. ") + ebs.schoolYear);
    }
    case 14004: {
        NoticeChoice n;
        auto year = yearId(db, c, "VEUP_AnsId");
        if (!year)
            return year.status();
        n.ansId = year.value();
        auto cau = causaleId(db, c, n.ansId);
        if (!cau)
            return cau.status();
        n.cauId = cau.value();
        n.dwgId = ebs.dwgId;
        if (const auto t = c.text(pInstitute)) {
            bool ok = false;
            n.dwgId = t->toInt(&ok);
            if (!ok || n.dwgId <= 0)
                return Result<PreparedReport>::failure(QStringLiteral("\"%1\": scrivere il numero dell'istituto.").arg(pInstitute));
            ebs.dwgId = n.dwgId;
        }
        auto cls = classId(db, c, n.ansId);
        auto pupils = pupilIds(db, c, n.ansId);
        auto isNew = c.flag(pNew, false);
        auto attending = c.flag(pAttending, false);
        // Bar codes are offered only where the office prints them.
        const bool barCodesOffered = global("EBSP_PrintBarCode") != 0;
        auto barCodes = c.flag(pBarCodes, barCodesOffered);
        for (const Status &s : {cls.status(), pupils.status(), isNew.status(), attending.status(), barCodes.status()}) {
            if (!s)
                return s;
        }
        if (barCodes.value() && !barCodesOffered)
            return Result<PreparedReport>::failure(QStringLiteral(
                "\"%1\": la stampa dei codici a barre non è attiva nei parametri del programma.").arg(pBarCodes));
        n.clsId = cls.value();
        n.sitIds = pupils.value();
        n.newEnrolled = isNew.value();
        n.onlyAttending = attending.value();
        n.barCodes = barCodes.value();
        n.erario = TdmEbsReport::ShowErario;
        if (const auto t = c.text(pAccount)) {
            n.accountNumber = *t;
        } else {
            auto acc = workingAccountNumber(db);
            if (!acc)
                return acc.status();
            n.accountNumber = acc.value();
        }
        auto m = ebs.notices(n);
        return prepared(std::move(m), *info, QStringLiteral("A.S. ") + ebs.schoolYear);
    }
    default:
        break;
    }
    return Result<PreparedReport>::failure(QStringLiteral("La stampa %1 non ha ancora i suoi dati.").arg(id));
}

Status reportToPdf(QSqlDatabase db, int id, const QMap<QString, QString> &choices, const QString &file, const QImage &logo)
{
    auto p = prepareReport(db, id, choices);
    if (!p)
        return p.status();
    auto tpl = loadTemplate(db, id);
    if (!tpl)
        return tpl.status();
    if (!logo.isNull()) {
        if (auto *sql = dynamic_cast<SqlDataModule *>(p.value().data.get()))
            sql->setImage(QStringLiteral("logo"), logo);
    }
    PageList pages;
    if (auto s = layoutReport(tpl.value(), *p.value().data, pages); !s)
        return s;
    PdfInfo info = p.value().info;
    info.author = institutionName(db, global("VEUP_DwgId"));
    if (info.author.isEmpty())
        info.author = QStringLiteral("Segreteria");
    return writePdf(pages, file, info);
}

} // namespace ccp::reports

namespace ccp::reports {

Status reportToXlsx(QSqlDatabase db, int id, const QMap<QString, QString> &choices, const QString &file)
{
    auto p = prepareReport(db, id, choices);
    if (!p)
        return p.status();
    auto tpl = loadTemplate(db, id);
    if (!tpl)
        return tpl.status();
    auto table = mainData(*tpl.value(), *p.value().data);
    if (!table)
        return table.status();
    return writeXlsx(table.value(), file, p.value().info.title);
}

} // namespace ccp::reports
