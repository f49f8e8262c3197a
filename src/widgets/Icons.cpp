#include "widgets/Icons.h"

#include <QCoreApplication>
#include <QHash>

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

QIcon sharedIcon(const QByteArray& key, const std::function<QIcon()>& make) {
    // They go with the application object, before the icon plugins do.
    static QHash<QByteArray, QIcon>* made = nullptr;
    if (!made) {
        made = new QHash<QByteArray, QIcon>;
        qAddPostRoutine([] {
            delete made;
            made = nullptr;
        });
    }
    if (const auto done = made->constFind(key); done != made->constEnd())
        return *done;
    return *made->insert(key, make());
}
