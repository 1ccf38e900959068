#pragma once
#include "ReportTemplate.h"
#include "TestDatabase.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStringList>

namespace ccp::test {

inline Result<std::shared_ptr<const reports::Template>> reportTemplate(const char *xml)
{
    return reports::parseTemplate(QString::fromUtf8(xml));
}

inline QString tempFile(const QString &name)
{
    const QString dir = TestDatabase::workFolder() + QStringLiteral("/reports");
    QDir().mkpath(dir);
    return dir + u'/' + name;
}

inline QString runTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return QStringLiteral("(%1 non eseguito)").arg(program);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of a PDF as pdftotext reads it, in reading order.
inline QString pdfText(const QString &file)
{
    return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
}

inline QString pdfInfo(const QString &file)
{
    return runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), file})
        + runTool(QStringLiteral("pdfinfo"), {file});
}

// Every bar code zbarimg finds in the image, as "CODE-128:data".
inline QStringList decodeBarCodes(const QImage &image)
{
    static int n = 0;
    const QString file = tempFile(QStringLiteral("barcode-%1-%2.png").arg(QCoreApplication::applicationPid()).arg(++n));
    image.save(file);
    return runTool(QStringLiteral("zbarimg"), {QStringLiteral("-q"), file}).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace ccp::test
