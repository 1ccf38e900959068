#include "AdminCommands.h"
#ifdef CCP_HAVE_ABIBAN
#include "IbanCommand.h"
#endif
#ifdef CCP_HAVE_MOVEMENTS
#include "ScanCommand.h"
#endif

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ccp-admin"));
    QTextStream out(stdout);
    QTextStream err(stderr);
#ifdef CCP_HAVE_ABIBAN
    ccp::admin::registerIbanCommand();
#endif
#ifdef CCP_HAVE_MOVEMENTS
    ccp::admin::registerScanCommand();
#endif
    return ccp::admin::run(app.arguments().mid(1), out, err);
}
