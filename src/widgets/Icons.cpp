#include "widgets/Icons.h"

QIcon ownIcon(const QString& ownResource) {
    if (ownResource.startsWith(QLatin1Char(':')) || ownResource.startsWith(QLatin1Char('/')))
        return QIcon(ownResource);
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(ownResource));
}

QIcon themedIcon(const char* freedesktopName, const QString& ownResource) {
    if (freedesktopName != nullptr && *freedesktopName != '\0') {
        const QString name = QString::fromLatin1(freedesktopName);
        if (QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    }
    return ownIcon(ownResource);
}
