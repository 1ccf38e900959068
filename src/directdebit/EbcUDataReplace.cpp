#include "EbcUDataReplace.h"

#include "SqlQuery.h"
#include "VeSql.h"

#include <QDomDocument>
#include <QRegularExpression>

namespace ccp::directdebit {

namespace {

// A child element's text, or the attribute of that name.
QString item(const QDomElement &e, const QString &name)
{
    const QDomElement child = e.firstChildElement(name);
    return child.isNull() ? e.attribute(name) : child.text().trimmed();
}

QVariant typed(const QVariant &v, ReplaceValueKind kind)
{
    if (v.isNull() || !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty()))
        return {};
    switch (kind) {
    case ReplaceValueKind::Integer: return v.toInt();
    case ReplaceValueKind::Date: return v.toDate();
    case ReplaceValueKind::String: return v.toString();
    }
    return v;
}

QMetaType nullType(ReplaceValueKind kind)
{
    switch (kind) {
    case ReplaceValueKind::Integer: return QMetaType(QMetaType::Int);
    case ReplaceValueKind::Date: return QMetaType(QMetaType::QDate);
    case ReplaceValueKind::String: return QMetaType(QMetaType::QString);
    }
    return QMetaType(QMetaType::Int);
}

bool uses(const QStringList &names, const QString &name)
{
    return std::any_of(names.begin(), names.end(), [&](const QString &n) { return n.compare(name, Qt::CaseInsensitive) == 0; });
}

// One statement of the run, prepared once and bound per record.
class Statement
{
public:
    Statement(QSqlDatabase db, QString sql) : m_q(db), m_sql(std::move(sql)), m_names(fw::VeSql::parameterNames(m_sql)) {}
    bool isEmpty() const { return m_sql.trimmed().isEmpty(); }
    Status prepare() { return m_q.prepare(m_sql); }
    void bind(const QString &name, const QVariant &value, ReplaceValueKind kind)
    {
        if (!uses(m_names, name))
            return;
        if (value.isNull() || !value.isValid())
            m_q.bindNull(name, nullType(kind));
        else
            m_q.bind(name, value);
    }
    // Runs it; a select is read to its end (a selectable procedure writes as it is read).
    // Returns the rows changed, or the rows read for a select.
    Result<int> run()
    {
        if (auto s = m_q.exec(); !s)
            return s;
        int rows = 0;
        if (m_q.raw().isSelect()) {
            while (m_q.next())
                ++rows;
            m_q.finish();
            return rows;
        }
        return qMax(0, m_q.numRowsAffected());
    }

private:
    SqlQuery m_q;
    QString m_sql;
    QStringList m_names;
};

} // namespace

ReplaceValueKind valueKind(const QString &type)
{
    const QString t = type.trimmed().toLower();
    if (t == QLatin1String("enum") || t == QLatin1String("cxenum") || t == QLatin1String("integer"))
        return ReplaceValueKind::Integer;
    if (t == QLatin1String("date"))
        return ReplaceValueKind::Date;
    return ReplaceValueKind::String;
}

Result<QList<ReplaceField>> parseReplaceDefinition(const QString &xml)
{
    QDomDocument doc;
    if (!doc.setContent(xml))
        return Result<QList<ReplaceField>>::failure(QStringLiteral("Definizione della sostituzione dati non leggibile."));
    QList<ReplaceField> fields;
    const QDomElement list = doc.documentElement().firstChildElement(QStringLiteral("Fields"));
    for (QDomElement e = list.firstChildElement(QStringLiteral("Field")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("Field"))) {
        ReplaceField f;
        f.caption = item(e, QStringLiteral("Caption"));
        f.name = item(e, QStringLiteral("Name"));
        f.type = item(e, QStringLiteral("Type"));
        f.valuesQuery = item(e, QStringLiteral("ValuesQuery"));
        f.keyFieldNames = item(e, QStringLiteral("KeyFieldNames"));
        f.listFieldNames = item(e, QStringLiteral("ListFieldNames"));
        const QDomElement cols = e.firstChildElement(QStringLiteral("ListColumns"));
        for (QDomElement c = cols.firstChildElement(QStringLiteral("ListColumn")); !c.isNull();
             c = c.nextSiblingElement(QStringLiteral("ListColumn")))
            f.listColumns.append({item(c, QStringLiteral("Caption")), item(c, QStringLiteral("FieldName")),
                                  item(c, QStringLiteral("MinWidth")).toInt()});
        f.updateScript = item(e, QStringLiteral("UpdateScript"));
        f.insertScript = item(e, QStringLiteral("InsertScript"));
        f.beforeExec = item(e, QStringLiteral("BeforeExec"));
        fields << f;
    }
    return fields;
}

QString causaliValuesQuery(int ansId)
{
    return QStringLiteral("SELECT ICAUID, sCauLDesc FROM TCau_Causali cau INNER JOIN VAns_AnniScolast Ans ON "
                          "cau.dStart = Ans.dAnsVeltoInizio WHERE (ans.iAnsId = %1)")
        .arg(ansId);
}

QString updateForEmptyOldValue(const QString &script)
{
    static const QRegularExpression equalsOld(QStringLiteral("(?<![<>!])\\s*=\\s*:OLDVALUE\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
    QString out = script;
    return out.replace(equalsOld, QStringLiteral(" IS NULL"));
}

QString ReplaceText::done(const QString &caption, int count)
{
    return QStringLiteral("Inserito il dato %1 a %2 alunni").arg(caption).arg(count);
}

Result<int> runReplace(QSqlDatabase db, const ReplaceRequest &request, const std::function<void()> &step)
{
    if (request.ids.isEmpty())
        return 0;
    const ReplaceValueKind kind = valueKind(request.field.type);
    const QVariant oldValue = typed(request.oldValue, kind);
    const QVariant newValue = typed(request.newValue, kind);
    const bool oldEmpty = !request.any && oldValue.isNull();
    Statement update(db, oldEmpty ? updateForEmptyOldValue(request.field.updateScript) : request.field.updateScript);
    Statement insert(db, oldEmpty ? updateForEmptyOldValue(request.field.insertScript) : request.field.insertScript);
    Statement before(db, request.field.beforeExec);
    Transaction tx(db);
    if (!tx.active())
        return Result<int>::failure(tx.error());
    for (Statement *s : {&update, &insert, &before}) {
        if (s->isEmpty())
            continue;
        if (auto p = s->prepare(); !p)
            return p;
        s->bind(QStringLiteral("NEWVALUE"), newValue, kind);
        s->bind(QStringLiteral("OLDVALUE"), oldValue, kind);
        s->bind(QStringLiteral("ANY"), request.any ? 1 : 0, ReplaceValueKind::Integer);
    }
    int count = 0;
    for (const int id : request.ids) {
        bool skip = false;
        if (!before.isEmpty()) {
            before.bind(QStringLiteral("SELECTEDID"), id, ReplaceValueKind::Integer);
            auto found = before.run();
            if (!found)
                return found.status();
            skip = found.value() > 0;
        }
        if (!skip) {
            update.bind(QStringLiteral("SELECTEDID"), id, ReplaceValueKind::Integer);
            auto changed = update.isEmpty() ? Result<int>(0) : update.run();
            if (!changed)
                return changed.status();
            if (changed.value() > 0) {
                count += changed.value();
            } else if (!insert.isEmpty()) {
                insert.bind(QStringLiteral("SELECTEDID"), id, ReplaceValueKind::Integer);
                if (auto added = insert.run(); !added)
                    return added.status();
                ++count;
            }
        }
        if (step)
            step();
    }
    if (auto s = tx.commit(); !s)
        return s;
    return count;
}

} // namespace ccp::directdebit
