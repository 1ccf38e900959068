#pragma once
#include <QString>
#include <optional>
#include <utility>

namespace ccp {

// An expected failure carried as a value: an Italian message, never an exception.
class Status
{
public:
    Status() = default;
    static Status failure(QString message) { Status s; s.m_error = std::move(message); s.m_failed = true; return s; }
    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return m_error; }

private:
    QString m_error;
    bool m_failed = false;
};

template<typename T>
class Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Status failure) : m_error(failure.error()) { Q_ASSERT(!failure.ok()); }
    static Result failure(QString message) { return Result(Status::failure(std::move(message))); }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const { Q_ASSERT(ok()); return *m_value; }
    T &value() { Q_ASSERT(ok()); return *m_value; }
    const T &operator*() const { return value(); }
    const T *operator->() const { return &value(); }
    T valueOr(T fallback) const { return ok() ? *m_value : std::move(fallback); }
    const QString &error() const { return m_error; }
    Status status() const { return ok() ? Status() : Status::failure(m_error); }

private:
    std::optional<T> m_value;
    QString m_error;
};

} // namespace ccp
