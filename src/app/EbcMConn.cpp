#include "EbcMConn.h"

#include "EbcMMvm.h"
#include "Schema.h"
#include "VeMessageDlg.h"

namespace ccp::app {

namespace {
TdmEbcConn *g_conn = nullptr;
}

TdmEbcConn::TdmEbcConn(const ConnectionSettings &settings, QObject *parent)
    : QObject(parent), m_settings(settings)
{
    g_conn = this;
    // Registered now, opened at activation: data modules made before that hold valid handles.
    if (!QSqlDatabase::contains(ConnectionName) && QSqlDatabase::isDriverAvailable(QStringLiteral("QIBASE")))
        QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), ConnectionName);
    m_mvm = new movements::TdmEbcMvm(db(), this);
}

TdmEbcConn::~TdmEbcConn()
{
    // The store's handle must be gone before the connection is removed.
    delete m_mvm;
    m_mvm = nullptr;
    CloseConnection();
    if (QSqlDatabase::contains(ConnectionName))
        Db::close(ConnectionName);
    if (g_conn == this)
        g_conn = nullptr;
}

TdmEbcConn *TdmEbcConn::instance() { return g_conn; }

bool TdmEbcConn::isConnected() const
{
    return QSqlDatabase::contains(ConnectionName) && QSqlDatabase::database(ConnectionName, false).isOpen();
}

bool TdmEbcConn::OpenConnection()
{
    if (isConnected())
        return true;
    auto db = Db::open(m_settings, ConnectionName);
    Status status = db ? Schema::check(db.value()) : db.status();
    if (status && QString::fromLatin1(Schema::AppCode) != AppCode)
        status = Status::failure(QStringLiteral("Codice applicazione non valido."));
    if (!status) {
        m_error = status.error();
        Db::close(ConnectionName);
        fw::showError(QStringLiteral("Impossibile collegarsi al database.\r\n\r\n%1").arg(m_error));
        return false;
    }
    m_error.clear();
    return true;
}

// Closed, not removed: data modules still hold the handle until the module goes.
void TdmEbcConn::CloseConnection()
{
    if (QSqlDatabase::contains(ConnectionName))
        QSqlDatabase::database(ConnectionName, false).close();
}

QSqlDatabase TdmEbcConn::db() const { return QSqlDatabase::database(ConnectionName, false); }

QSqlDatabase mainDb() { return QSqlDatabase::database(TdmEbcConn::ConnectionName, false); }

} // namespace ccp::app
