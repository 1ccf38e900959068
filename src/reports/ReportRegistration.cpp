#include "ReportRegistration.h"

#include "SqlQuery.h"

#include <QDate>
#include <QDomDocument>
#include <QRegularExpression>

namespace ccp::reports {

namespace {

using R = Result<QList<CategoryDecl>>;

QString checkParam(const CategoryDecl::Param &p)
{
    if (p.name.isEmpty())
        return QStringLiteral("parametro senza nome");
    if (p.type == QLatin1String("string"))
        return {};
    if (p.type == QLatin1String("integer")) {
        bool ok = false;
        p.value.toInt(&ok);
        return ok ? QString() : QStringLiteral("\"%1\" non è un intero").arg(p.value);
    }
    if (p.type == QLatin1String("number")) {
        static const QRegularExpression number(QStringLiteral("^-?\\d{1,14}(\\.\\d{1,4})?$"));
        return number.match(p.value).hasMatch() ? QString() : QStringLiteral("\"%1\" non è un numero (es. 12.50)").arg(p.value);
    }
    if (p.type == QLatin1String("date"))
        return QDate::fromString(p.value, Qt::ISODate).isValid() ? QString()
                                                                 : QStringLiteral("\"%1\" non è una data (aaaa-mm-gg)").arg(p.value);
    return QStringLiteral("tipo \"%1\" sconosciuto (string, integer, number, date)").arg(p.type);
}

} // namespace

Result<QList<CategoryDecl>> templateCategories(const QString &xml)
{
    QDomDocument doc;
    if (!doc.setContent(xml))
        return R::failure(QStringLiteral("Modello non leggibile."));
    QList<CategoryDecl> out;
    const QDomElement root = doc.documentElement();
    for (QDomElement c = root.firstChildElement(QStringLiteral("category")); !c.isNull();
         c = c.nextSiblingElement(QStringLiteral("category"))) {
        CategoryDecl d;
        bool ok = false;
        d.application = c.attribute(QStringLiteral("application")).toInt(&ok);
        d.name = c.attribute(QStringLiteral("name")).trimmed();
        if (!ok || d.application <= 0 || d.name.isEmpty())
            return R::failure(QStringLiteral("<category> alla riga %1: servono \"application\" (numero) e \"name\".").arg(c.lineNumber()));
        for (QDomElement e = c.firstChildElement(QStringLiteral("param")); !e.isNull();
             e = e.nextSiblingElement(QStringLiteral("param"))) {
            CategoryDecl::Param p{e.attribute(QStringLiteral("name")).trimmed(), e.attribute(QStringLiteral("value")),
                                  e.attribute(QStringLiteral("type"), QStringLiteral("string"))};
            if (const QString why = checkParam(p); !why.isEmpty())
                return R::failure(QStringLiteral("<param> alla riga %1: %2.").arg(e.lineNumber()).arg(why));
            d.params << p;
        }
        out << d;
    }
    return out;
}

namespace {

Result<int> categoryId(QSqlDatabase db, const CategoryDecl &c)
{
    const QVariantMap key{{QStringLiteral("app"), c.application}, {QStringLiteral("name"), c.name}};
    auto id = SqlQuery::scalar(db, QStringLiteral(
        "SELECT MIN(iSccId) FROM TScc_StampeCateg WHERE iYAppId = :app AND sSccName = :name"), key);
    if (!id)
        return id.status();
    if (!id.value().isNull())
        return id.value().toInt();
    auto next = SqlQuery::scalar(db, QStringLiteral("SELECT NEXT VALUE FOR G_TSCC_STAMPECATEG FROM RDB$DATABASE"));
    if (!next)
        return next.status();
    SqlQuery q(db);
    QVariantMap row = key;
    row.insert(QStringLiteral("id"), next.value());
    if (auto s = q.run(QStringLiteral("INSERT INTO TScc_StampeCateg (iSccId, iYAppId, sSccName) VALUES (:id, :app, :name)"), row); !s)
        return s;
    return next.value().toInt();
}

} // namespace

Status registerCategories(QSqlDatabase db, int reportId, const QList<CategoryDecl> &categories)
{
    if (categories.isEmpty())
        return {};
    SqlQuery q(db);
    // Parameters go with their rows (ON DELETE CASCADE).
    if (auto s = q.run(QStringLiteral("DELETE FROM TStmc_StampeCont WHERE iYRptId = :id"), {{QStringLiteral("id"), reportId}}); !s)
        return s;
    for (const CategoryDecl &c : categories) {
        auto scc = categoryId(db, c);
        if (!scc)
            return scc.status();
        auto stmc = SqlQuery::scalar(db, QStringLiteral("SELECT NEXT VALUE FOR G_TSTMC_STAMPECONT FROM RDB$DATABASE"));
        if (!stmc)
            return stmc.status();
        if (auto s = q.run(QStringLiteral("INSERT INTO TStmc_StampeCont (iStmcId, iSccId, iYRptId) VALUES (:stmc, :scc, :rpt)"),
                           {{QStringLiteral("stmc"), stmc.value()}, {QStringLiteral("scc"), scc.value()},
                            {QStringLiteral("rpt"), reportId}}); !s)
            return s;
        for (const CategoryDecl::Param &p : c.params) {
            QVariantMap row{{QStringLiteral("stmc"), stmc.value()}, {QStringLiteral("name"), p.name},
                            {QStringLiteral("s"), QVariant(QMetaType(QMetaType::QString))},
                            {QStringLiteral("i"), QVariant(QMetaType(QMetaType::Int))},
                            {QStringLiteral("f"), QVariant(QMetaType(QMetaType::QString))},
                            {QStringLiteral("d"), QVariant(QMetaType(QMetaType::QDate))}};
            if (p.type == QLatin1String("integer"))
                row[QStringLiteral("i")] = p.value.toInt();
            else if (p.type == QLatin1String("number"))
                row[QStringLiteral("f")] = p.value;  // decimal text: never through a double
            else if (p.type == QLatin1String("date"))
                row[QStringLiteral("d")] = QDate::fromString(p.value, Qt::ISODate);
            else
                row[QStringLiteral("s")] = p.value;
            if (auto s = q.run(QStringLiteral(
                    "INSERT INTO TStmp_StampePar (iStmpId, iStmcId, sStmpName, sStmpValue, iStmpValue, fStmpValue, dStmpValue)"
                    " VALUES (NEXT VALUE FOR G_TSTMP_STAMPEPAR, :stmc, :name, :s, :i, :f, :d)"), row); !s)
                return s;
        }
    }
    return {};
}

} // namespace ccp::reports
