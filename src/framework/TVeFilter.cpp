#include "TVeFilter.h"
#include "Money.h"
#include "VeSql.h"

#include <QDate>
#include <QDomDocument>
#include <QFile>
#include <QSaveFile>

namespace ccp::fw {

namespace {

const char *opName(FilterOperator op)
{
    switch (op) {
    case FilterOperator::Equal: return "eq";
    case FilterOperator::NotEqual: return "ne";
    case FilterOperator::Less: return "lt";
    case FilterOperator::Greater: return "gt";
    case FilterOperator::LessOrEqual: return "le";
    case FilterOperator::GreaterOrEqual: return "ge";
    case FilterOperator::Contains: return "contains";
    case FilterOperator::StartsWith: return "starts";
    case FilterOperator::IsEmpty: return "empty";
    case FilterOperator::IsNotEmpty: return "notempty";
    }
    return "eq";
}

std::optional<FilterOperator> opFromName(const QString &name)
{
    for (int i = 0; i <= int(FilterOperator::IsNotEmpty); ++i)
        if (name == QLatin1String(opName(FilterOperator(i))))
            return FilterOperator(i);
    return std::nullopt;
}

const char *typeName(FilterFieldType t)
{
    switch (t) {
    case FilterFieldType::Text: return "text";
    case FilterFieldType::Integer: return "integer";
    case FilterFieldType::Money: return "money";
    case FilterFieldType::Date: return "date";
    case FilterFieldType::Boolean: return "boolean";
    }
    return "text";
}

FilterFieldType typeFromName(const QString &name)
{
    for (int i = 0; i <= int(FilterFieldType::Boolean); ++i)
        if (name == QLatin1String(typeName(FilterFieldType(i))))
            return FilterFieldType(i);
    return FilterFieldType::Text;
}

// The value as an SQL literal of the field's type; nothing when it cannot be read.
std::optional<QString> literal(const FilterField &f, const QString &value)
{
    const QString v = value.trimmed();
    switch (f.type) {
    case FilterFieldType::Text: return VeSql::quoted(value);
    case FilterFieldType::Integer: {
        bool ok = false;
        const qlonglong n = v.toLongLong(&ok);
        return ok ? std::optional<QString>(QString::number(n)) : std::nullopt;
    }
    case FilterFieldType::Money: {
        static const QRegularExpression re(QStringLiteral("^-?[0-9.]*(,[0-9]*)?$"));
        if (v.isEmpty() || !re.match(v).hasMatch())
            return std::nullopt;
        return Money::fromText(v).toSqlExact();
    }
    case FilterFieldType::Date: {
        QDate d = QDate::fromString(v, QStringLiteral("dd/MM/yyyy"));
        if (!d.isValid())
            d = QDate::fromString(v, Qt::ISODate);
        return d.isValid() ? std::optional<QString>(u'\'' + d.toString(Qt::ISODate) + u'\'') : std::nullopt;
    }
    case FilterFieldType::Boolean: {
        const QString l = v.toLower();
        if (l == QLatin1String("1") || l == QLatin1String("sì") || l == QLatin1String("si") || l == QLatin1String("true"))
            return QStringLiteral("1");
        if (l == QLatin1String("0") || l == QLatin1String("no") || l == QLatin1String("false"))
            return QStringLiteral("0");
        return std::nullopt;
    }
    }
    return std::nullopt;
}

} // namespace

const FilterField *FilterDefinition::field(const QString &name) const
{
    for (const FilterField &f : fields)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

QString FilterDefinition::toXml() const
{
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("filterdefinition"));
    root.setAttribute(QStringLiteral("code"), code);
    root.setAttribute(QStringLiteral("title"), title);
    doc.appendChild(root);
    for (const FilterField &f : fields) {
        QDomElement e = doc.createElement(QStringLiteral("field"));
        e.setAttribute(QStringLiteral("name"), f.name);
        e.setAttribute(QStringLiteral("caption"), f.caption);
        e.setAttribute(QStringLiteral("type"), QLatin1String(typeName(f.type)));
        root.appendChild(e);
    }
    return doc.toString(2);
}

Result<FilterDefinition> FilterDefinition::fromXml(const QString &xml)
{
    QDomDocument doc;
    if (!doc.setContent(xml) || doc.documentElement().tagName() != QLatin1String("filterdefinition"))
        return Result<FilterDefinition>::failure(QStringLiteral("Definizione del filtro non leggibile."));
    FilterDefinition d;
    const QDomElement root = doc.documentElement();
    d.code = root.attribute(QStringLiteral("code"));
    d.title = root.attribute(QStringLiteral("title"));
    for (QDomElement e = root.firstChildElement(QStringLiteral("field")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("field"))) {
        FilterField f{e.attribute(QStringLiteral("name")), e.attribute(QStringLiteral("caption")),
                      typeFromName(e.attribute(QStringLiteral("type")))};
        if (!VeSql::isIdentifier(f.name))
            return Result<FilterDefinition>::failure(QStringLiteral("Campo del filtro non valido: %1").arg(f.name));
        d.fields << f;
    }
    return d;
}

Result<QString> TVeFilter::toSql(const FilterDefinition &definition) const
{
    QStringList groups;   // OR of AND-groups
    QStringList current;
    for (const FilterCondition &c : conditions) {
        const FilterField *f = definition.field(c.field);
        if (!f)
            return Result<QString>::failure(QStringLiteral("Campo del filtro sconosciuto: %1").arg(c.field));
        QString term;
        if (c.op == FilterOperator::IsEmpty || c.op == FilterOperator::IsNotEmpty) {
            const bool empty = c.op == FilterOperator::IsEmpty;
            const QString pattern = f->type == FilterFieldType::Text
                ? (empty ? QStringLiteral("(%1 IS NULL OR %1 = '')") : QStringLiteral("(%1 IS NOT NULL AND %1 <> '')"))
                : (empty ? QStringLiteral("(%1 IS NULL)") : QStringLiteral("(%1 IS NOT NULL)"));
            term = pattern.arg(f->name);
        } else if (c.op == FilterOperator::Contains || c.op == FilterOperator::StartsWith) {
            const QString pattern = (c.op == FilterOperator::Contains ? QStringLiteral("%") : QString())
                + VeSql::likeEscaped(c.value.toUpper()) + u'%';
            term = QStringLiteral("(UPPER(%1) LIKE %2 ESCAPE '\\')").arg(f->name, VeSql::quoted(pattern));
        } else {
            const auto lit = literal(*f, c.value);
            if (!lit)
                return Result<QString>::failure(
                    QStringLiteral("Valore non valido per il campo %1: %2").arg(f->caption, c.value));
            static const char *ops[] = {"=", "<>", "<", ">", "<=", ">="};
            term = QStringLiteral("(%1 %2 %3)").arg(f->name, QLatin1String(ops[int(c.op)]), *lit);
        }
        if (c.orWithPrevious && !current.isEmpty()) {
            groups << current.join(QStringLiteral(" AND "));
            current.clear();
        }
        current << term;
    }
    if (!current.isEmpty())
        groups << current.join(QStringLiteral(" AND "));
    if (groups.size() <= 1)
        return groups.value(0);
    return QString(u'(' + groups.join(QStringLiteral(") OR (")) + u')');
}

QString TVeFilter::toXml() const
{
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("filter"));
    root.setAttribute(QStringLiteral("name"), name);
    doc.appendChild(root);
    for (const FilterCondition &c : conditions) {
        QDomElement e = doc.createElement(QStringLiteral("condition"));
        e.setAttribute(QStringLiteral("field"), c.field);
        e.setAttribute(QStringLiteral("op"), QLatin1String(opName(c.op)));
        e.setAttribute(QStringLiteral("join"), c.orWithPrevious ? QStringLiteral("or") : QStringLiteral("and"));
        e.appendChild(doc.createTextNode(c.value));
        root.appendChild(e);
    }
    return doc.toString(2);
}

Result<TVeFilter> TVeFilter::fromXml(const QString &xml)
{
    QDomDocument doc;
    if (!doc.setContent(xml) || doc.documentElement().tagName() != QLatin1String("filter"))
        return Result<TVeFilter>::failure(QStringLiteral("Filtro non leggibile."));
    TVeFilter f;
    const QDomElement root = doc.documentElement();
    f.name = root.attribute(QStringLiteral("name"));
    for (QDomElement e = root.firstChildElement(QStringLiteral("condition")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("condition"))) {
        const auto op = opFromName(e.attribute(QStringLiteral("op")));
        if (!op)
            return Result<TVeFilter>::failure(QStringLiteral("Filtro non leggibile."));
        f.conditions << FilterCondition{e.attribute(QStringLiteral("field")), *op, e.text(),
                                        e.attribute(QStringLiteral("join")) == QLatin1String("or")};
    }
    return f;
}

Status TVeFilter::saveToFile(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("Impossibile scrivere il file %1.").arg(path));
    file.write(toXml().toUtf8());
    if (!file.commit())
        return Status::failure(QStringLiteral("Impossibile scrivere il file %1.").arg(path));
    return {};
}

Result<TVeFilter> TVeFilter::loadFromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result<TVeFilter>::failure(QStringLiteral("Impossibile leggere il file %1.").arg(path));
    return fromXml(QString::fromUtf8(file.readAll()));
}

QString TVeFilter::operatorCaption(FilterOperator op)
{
    switch (op) {
    case FilterOperator::Equal: return QStringLiteral("uguale a");
    case FilterOperator::NotEqual: return QStringLiteral("diverso da");
    case FilterOperator::Less: return QStringLiteral("minore di");
    case FilterOperator::Greater: return QStringLiteral("maggiore di");
    case FilterOperator::LessOrEqual: return QStringLiteral("minore o uguale a");
    case FilterOperator::GreaterOrEqual: return QStringLiteral("maggiore o uguale a");
    case FilterOperator::Contains: return QStringLiteral("contiene");
    case FilterOperator::StartsWith: return QStringLiteral("inizia con");
    case FilterOperator::IsEmpty: return QStringLiteral("è vuoto");
    case FilterOperator::IsNotEmpty: return QStringLiteral("non è vuoto");
    }
    return {};
}

QList<FilterOperator> TVeFilter::operatorsFor(FilterFieldType type)
{
    QList<FilterOperator> ops{FilterOperator::Equal, FilterOperator::NotEqual};
    if (type != FilterFieldType::Boolean)
        ops << FilterOperator::Less << FilterOperator::Greater << FilterOperator::LessOrEqual
            << FilterOperator::GreaterOrEqual;
    if (type == FilterFieldType::Text)
        ops << FilterOperator::Contains << FilterOperator::StartsWith;
    ops << FilterOperator::IsEmpty << FilterOperator::IsNotEmpty;
    return ops;
}

QString TVeFilter::applyToSelect(const QString &select, const QString &condition)
{
    if (condition.trimmed().isEmpty())
        return select;
    QString s = select;
    s.replace(QLatin1String("/*AND VERPTFILTER*/"), QStringLiteral("AND (") + condition + u')');
    s.replace(QLatin1String("/*ONLY VERPTFILTER*/"), u'(' + condition + u')');
    s.replace(QLatin1String("/*OR VERPTFILTER*/"), QStringLiteral("OR (") + condition + u')');
    s.replace(QLatin1String("/* FILTER */"), QStringLiteral("AND ") + condition);
    return s;
}

} // namespace ccp::fw
