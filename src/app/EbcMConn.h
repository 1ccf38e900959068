#pragma once
#include "Connection.h"

#include <QObject>
#include <QSqlDatabase>

namespace ccp::movements {
class TdmEbcMvm;
}

namespace ccp::app {

// The connection data module: the one database connection of the program, shared by every
// window. Application code "EBC", database version "6.37.0", checked when it opens.
class TdmEbcConn : public QObject
{
    Q_OBJECT
public:
    static inline const QString ConnectionName = QStringLiteral("ccp");
    static inline const QString AppCode = QStringLiteral("EBC");
    static inline const QString DbVersion = QStringLiteral("6.37.0");

    explicit TdmEbcConn(const ConnectionSettings &settings, QObject *parent = nullptr);
    ~TdmEbcConn() override;

    static TdmEbcConn *instance();   // the one module (nullptr before start-up)

    const ConnectionSettings &settings() const { return m_settings; }
    bool isConnected() const;
    // Opens the connection and checks the database version; on failure shows the reason
    // (an Italian message) and returns false.
    bool OpenConnection();
    void CloseConnection();
    QSqlDatabase db() const;
    const QString &lastError() const { return m_error; }
    // The movement store (its xqcMvm lists and writes the working account's movements).
    movements::TdmEbcMvm *dmMvm() const { return m_mvm; }

private:
    ConnectionSettings m_settings;
    QString m_error;
    movements::TdmEbcMvm *m_mvm = nullptr;
};

// The program's connection (invalid before it is opened).
QSqlDatabase mainDb();

} // namespace ccp::app
