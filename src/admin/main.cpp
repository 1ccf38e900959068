#include "AdminCommands.h"
#ifdef CCP_HAVE_ABIBAN
#include "IbanCommand.h"
#endif
#ifdef CCP_HAVE_MOVEMENTS
#include "ScanCommand.h"
#endif
#ifdef CCP_HAVE_REPORTS
#include "ReportCommand.h"
#endif
#ifdef CCP_HAVE_DIRECTDEBIT
#include "ExportBankCommand.h"
#endif

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>
#include <QTextStream>

int main(int argc, char *argv[])
{
#ifdef CCP_HAVE_REPORTS
    // Prints are drawn with fonts: "report" needs Qt's graphical side, without a screen.
    const bool drawing = argc > 1 && qstrcmp(argv[1], "report") == 0;
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application(drawing ? new QGuiApplication(argc, argv)
                                                          : new QCoreApplication(argc, argv));
#else
    std::unique_ptr<QCoreApplication> application(new QCoreApplication(argc, argv));
#endif
    QCoreApplication &app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("ccp-admin"));
    QTextStream out(stdout);
    QTextStream err(stderr);
#ifdef CCP_HAVE_ABIBAN
    ccp::admin::registerIbanCommand();
#endif
#ifdef CCP_HAVE_MOVEMENTS
    ccp::admin::registerScanCommand();
#endif
#ifdef CCP_HAVE_REPORTS
    ccp::admin::registerReportCommand();
#endif
#ifdef CCP_HAVE_DIRECTDEBIT
    ccp::admin::registerExportBankCommand();
#endif
    return ccp::admin::run(app.arguments().mid(1), out, err);
}
