#include "TVeParamManager.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"

namespace ccp::fw {

namespace {
TVeParamManager::DialogRunner &runner()
{
    static TVeParamManager::DialogRunner r;
    return r;
}
} // namespace

TVeParamManager::TVeParamManager(QSqlDatabase db, const QString &user, QObject *parent)
    : QObject(parent), m_db(std::move(db)), m_user(user.toUpper())
{
}

Status TVeParamManager::load()
{
    m_defs.clear();
    m_values.clear();
    SqlQuery q(m_db);
    if (auto s = q.exec(QStringLiteral("SELECT SPDFKEY, SPDFSET, SPDFCAPTION, SPDFCATEGORY, IPDFKIND, SPDFDEFAULT, "
                                       "IPDFORDER FROM TVE_PARAMDEF ORDER BY SPDFCATEGORY, IPDFORDER, SPDFKEY"));
        !s)
        return s;
    while (q.next()) {
        ParamDef d;
        d.key = q.value(0).toString();
        d.setCode = q.value(1).toString();
        if (!m_sets.isEmpty() && !m_sets.contains(d.setCode, Qt::CaseInsensitive))
            continue;
        d.caption = q.value(2).toString();
        d.category = q.value(3).toString();
        d.kind = ParamKind(q.value(4).toInt());
        d.defaultValue = q.value(5).toString();
        d.order = q.value(6).toInt();
        m_defs << d;
    }
    if (auto s = q.prepare(QStringLiteral("SELECT SPDFKEY, SPVLVALUE FROM TVE_PARAMVAL WHERE SPVLUSER = :u")); !s)
        return s;
    q.bind(QStringLiteral("u"), m_user);
    if (auto s = q.exec(); !s)
        return s;
    while (q.next())
        m_values.insert(q.value(0).toString().toUpper(), q.value(1).toString());
    for (const ParamDef &d : std::as_const(m_defs))
        publish(d.key);
    Q_EMIT valuesChanged();
    return {};
}

const ParamDef *TVeParamManager::definition(const QString &key) const
{
    for (const ParamDef &d : m_defs)
        if (d.key.compare(key, Qt::CaseInsensitive) == 0)
            return &d;
    return nullptr;
}

QStringList TVeParamManager::categories() const
{
    QStringList out;
    for (const ParamDef &d : m_defs)
        if (!out.contains(d.category))
            out << d.category;
    return out;
}

QList<ParamDef> TVeParamManager::definitionsOf(const QString &category) const
{
    QList<ParamDef> out;
    for (const ParamDef &d : m_defs)
        if (d.category == category)
            out << d;
    return out;
}

Status TVeParamManager::define(const ParamDef &def)
{
    Status s = runInTransaction(m_db, [&]() {
        SqlQuery q(m_db);
        if (auto st = q.prepare(QStringLiteral(
                "UPDATE OR INSERT INTO TVE_PARAMDEF (SPDFKEY, SPDFSET, SPDFCAPTION, SPDFCATEGORY, IPDFKIND, "
                "SPDFDEFAULT, IPDFORDER) VALUES (:k, :s, :c, :g, :t, :d, :o) MATCHING (SPDFKEY)"));
            !st)
            return st;
        q.bind(QStringLiteral("k"), def.key).bind(QStringLiteral("s"), def.setCode)
            .bind(QStringLiteral("c"), def.caption).bind(QStringLiteral("g"), def.category)
            .bind(QStringLiteral("t"), int(def.kind)).bind(QStringLiteral("d"), def.defaultValue)
            .bind(QStringLiteral("o"), def.order);
        return q.exec();
    });
    if (!s)
        return s;
    bool found = false;
    for (ParamDef &d : m_defs)
        if (d.key.compare(def.key, Qt::CaseInsensitive) == 0) {
            d = def;
            found = true;
        }
    if (!found && (m_sets.isEmpty() || m_sets.contains(def.setCode, Qt::CaseInsensitive)))
        m_defs << def;
    publish(def.key);
    return {};
}

QString TVeParamManager::value(const QString &key) const
{
    const auto it = m_values.constFind(key.toUpper());
    if (it != m_values.constEnd())
        return it.value();
    const ParamDef *d = definition(key);
    return d ? d->defaultValue : QString();
}

void TVeParamManager::publish(const QString &key) const
{
    const ParamDef *d = definition(key);
    const QString name = d ? d->key : key;
    const bool has = m_values.contains(key.toUpper()) || (d && !d->defaultValue.isNull());
    SetValues(name, has ? QVariant(value(key)) : QVariant());
}

Status TVeParamManager::setValue(const QString &key, const QString &value)
{
    return setValues({{key, value}});
}

Status TVeParamManager::setValues(const QList<std::pair<QString, QString>> &values)
{
    for (const auto &[key, v] : values)
        if (!definition(key))
            return Status::failure(QStringLiteral("Parametro %1 non definito").arg(key));
    Status s = runInTransaction(m_db, [&]() {
        SqlQuery q(m_db);
        if (auto st = q.prepare(QStringLiteral("UPDATE OR INSERT INTO TVE_PARAMVAL (SPVLUSER, SPDFKEY, SPVLVALUE) "
                                               "VALUES (:u, :k, :v) MATCHING (SPVLUSER, SPDFKEY)"));
            !st)
            return st;
        for (const auto &[key, v] : values) {
            q.bind(QStringLiteral("u"), m_user).bind(QStringLiteral("k"), definition(key)->key)
                .bind(QStringLiteral("v"), v);
            if (auto st = q.exec(); !st)
                return st;
        }
        return Status();
    });
    if (!s)
        return s;
    for (const auto &[key, v] : values) {
        m_values.insert(key.toUpper(), v);
        publish(key);
    }
    Q_EMIT valuesChanged();
    return {};
}

QList<ParamChoice> TVeParamManager::choices(const ParamDef &def)
{
    QList<ParamChoice> items;
    if (FillListParam)
        FillListParam(def, items);
    return items;
}

QString TVeParamManager::GetVeuParamValue(const QString &key)
{
    const QString stored = value(key);
    const ParamDef *d = definition(key);
    if (!d || (d->kind != ParamKind::List && d->kind != ParamKind::Institute && d->kind != ParamKind::SchoolYear))
        return stored;
    for (const ParamChoice &c : choices(*d))
        if (c.id.toString() == stored)
            return c.text;
    return {};
}

bool TVeParamManager::Execute()
{
    return runner() ? runner()(*this) : false;
}

void TVeParamManager::setDialogRunner(DialogRunner r) { runner() = std::move(r); }

} // namespace ccp::fw
