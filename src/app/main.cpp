#include "Installation.h"
#include "MainDirectory.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

// Until the main window lands, the program tells what it would open.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ccp"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("C/C Posta Banca Cassa"));
    parser.addHelpOption();
    QCommandLineOption dataDir(QStringLiteral("data-dir"), QStringLiteral("Cartella principale."),
                               QStringLiteral("DIR"));
    parser.addOption(dataDir);
    parser.process(app);
    const auto dir = ccp::MainDirectory::resolve(parser.value(dataDir));
    QTextStream out(stdout);
    auto lines = ccp::Installation::info(dir.connection());
    if (!lines) {
        QTextStream(stderr) << "ccp: " << lines.error() << Qt::endl;
        return 1;
    }
    out << "C/C Posta Banca Cassa" << Qt::endl;
    for (const QString &l : lines.value())
        out << l << Qt::endl;
    return 0;
}
