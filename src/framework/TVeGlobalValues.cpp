#include "TVeGlobalValues.h"

namespace ccp::fw {

TVeGlobalValuesManager &TVeGlobalValuesManager::instance()
{
    static TVeGlobalValuesManager store;
    return store;
}

QVariant TVeGlobalValuesManager::GetValues(const QString &key) const
{
    return m_values.value(key.toUpper()).second;
}

void TVeGlobalValuesManager::SetValues(const QString &key, const QVariant &value)
{
    m_values.insert(key.toUpper(), {key, value});
    Q_EMIT valueChanged(key, value);
}

bool TVeGlobalValuesManager::contains(const QString &key) const { return m_values.contains(key.toUpper()); }

void TVeGlobalValuesManager::remove(const QString &key) { m_values.remove(key.toUpper()); }

void TVeGlobalValuesManager::clear() { m_values.clear(); }

QStringList TVeGlobalValuesManager::keys() const
{
    QStringList out;
    for (const auto &v : m_values)
        out << v.first;
    return out;
}

int TVeGlobalValuesManager::intValue(const QString &key) const
{
    const QVariant v = GetValues(key);
    if (!v.isValid() || v.isNull())
        return 0;
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    return ok ? n : 0;
}

bool TVeGlobalValuesManager::isSet(const QString &key) const { return intValue(key) != 0; }

} // namespace ccp::fw
