#include "AccURegister.h"
#include "AbcURegister.h"
#include "AbiURegister.h"
#include "EbcFMain.h"
#include "AcbURegister.h"
#include "EbcMAtt.h"
#include "EbcMConn.h"
#include "EbcUSignals.h"
#include "EbsMAtt.h"
#include "EbsURegister.h"
#include "MainDirectory.h"
#include "ReportTreePage.h"
#include "MvmURegister.h"
#include "TVeParamDialog.h"
#include "VeMessageDlgQt.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QScreen>
#include <QTextStream>
#include <QTimer>

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ccp"));
    QApplication::setOrganizationName(QStringLiteral("ccp"));
    // The main window ends the program itself, with the status of how it went.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(ccp::app::TfmEbcMain::Caption);
    parser.addHelpOption();
    QCommandLineOption dataDir(QStringLiteral("data-dir"), QStringLiteral("Cartella principale."), QStringLiteral("DIR"));
    QCommandLineOption quitWhenReady(QStringLiteral("quit-when-ready"),
                                     QStringLiteral("Esce appena la finestra principale è pronta (misure dei tempi)."));
    parser.addOption(dataDir);
    parser.addOption(quitWhenReady);
    parser.process(app);

    static ccp::fw::QtMessageSink sink;
    ccp::fw::setMessageSink(&sink);
    ccp::fw::TVeParamDialog::install();
    ccp::fees::registerWindows();
    ccp::movements::registerWindows();
    ccp::accounts::registerWindows(&ccp::app::mainDb);
    ccp::budget::registerWindows(ccp::app::TdmEbcConn::ConnectionName);
    ccp::app::TdmEbsAtt::BudgetCanOpen = ccp::budget::canOpen;

    const ccp::MainDirectory dir = ccp::MainDirectory::resolve(parser.value(dataDir));
    ccp::directdebit::registerWindows(dir.root());
    ccp::reports::setMainDirectory(dir.root());
    ccp::app::TdmEbcConn conn(dir.connection());
    ccp::ben::registerWindows(conn.db(), dir.root());
    ccp::app::TdmEbcAtt att(conn.db(), conn.settings().user);
    ccp::app::TfmEbcMain mainWindow(conn, att);
    ccp::app::catchTerminationSignals(&mainWindow, [&mainWindow] { mainWindow.terminate(); });
    // CCP_REPORT_READY only says when the window is ready (scripts that then drive it).
    const bool quit = parser.isSet(quitWhenReady) || qEnvironmentVariableIsSet("CCP_QUIT_WHEN_READY");
    if (quit || qEnvironmentVariableIsSet("CCP_REPORT_READY")) {
        QObject::connect(&mainWindow, &ccp::app::TfmEbcMain::ready, &app, [&, quit] {
            QTextStream(stderr) << "ccp: pronto in " << clock.elapsed() << " ms" << Qt::endl;
            if (quit)
                QTimer::singleShot(0, &mainWindow, &QWidget::close);
        });
    }
    // Also where no window manager maximises (a bare X server), the window takes the screen.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        mainWindow.setGeometry(screen->availableGeometry());
    mainWindow.showMaximized();
    return app.exec();
}
