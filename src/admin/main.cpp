#include "AdminCommands.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ccp-admin"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return ccp::admin::run(app.arguments().mid(1), out, err);
}
