#pragma once
#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

namespace ccp::fw {

// The program-wide store of the working context and the program parameters: key -> value.
// Keys compare case-insensitively; a key never set reads as null.
class TVeGlobalValuesManager : public QObject
{
    Q_OBJECT
public:
    static TVeGlobalValuesManager &instance();

    QVariant GetValues(const QString &key) const;
    void SetValues(const QString &key, const QVariant &value);
    bool contains(const QString &key) const;
    void remove(const QString &key);
    void clear();
    QStringList keys() const;

    // A key counts as set when its value is not null and its text reads as a non-zero integer.
    bool isSet(const QString &key) const;
    // The value read as an integer (0 when null or not a number).
    int intValue(const QString &key) const;

Q_SIGNALS:
    void valueChanged(const QString &key, const QVariant &value);

private:
    TVeGlobalValuesManager() = default;
    QHash<QString, std::pair<QString, QVariant>> m_values; // upper key -> (key as set, value)
};

// Shorthands for the one store.
inline QVariant GetValues(const QString &key) { return TVeGlobalValuesManager::instance().GetValues(key); }
inline void SetValues(const QString &key, const QVariant &value)
{
    TVeGlobalValuesManager::instance().SetValues(key, value);
}

} // namespace ccp::fw
