#include "EbcUImages.h"

#include <QFile>

static void initIconResource() { Q_INIT_RESOURCE(icons); }

namespace ccp::app {

const QStringList &commandImageNames()
{
    static const QStringList names = {
        QStringLiteral("CAUSALI"),   QStringLiteral("ISTCASSIERE"),    QStringLiteral("ALUNNI"),
        QStringLiteral("TUTORI"),    QStringLiteral("DATIANAGRAFICI"), QStringLiteral("BENEFICIARI"),
        QStringLiteral("CAUSALICCP"), QStringLiteral("COMPCAU"),       QStringLiteral("AGGREGATI"),
        QStringLiteral("VOCI"),      QStringLiteral("PARAMETRI"),      QStringLiteral("NEWYEAR"),
        QStringLiteral("FIRME"),     QStringLiteral("CONSUNTIVO"),     QStringLiteral("TUTORI"),
        QStringLiteral("MODPAGAMENTO"), QStringLiteral("EXPORT")};
    return names;
}

QIcon imageByName(const QString &name)
{
    static const bool loaded = [] {
        initIconResource();
        return true;
    }();
    Q_UNUSED(loaded);
    const QString path = QStringLiteral(":/icons/%1.png").arg(name);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QIcon commandImage(int index)
{
    const QStringList &names = commandImageNames();
    return index >= 0 && index < names.size() ? imageByName(names[index]) : QIcon();
}

} // namespace ccp::app
