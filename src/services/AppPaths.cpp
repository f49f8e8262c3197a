#include "services/AppPaths.h"

#include <QDir>
#include <QFileInfo>

QString withSlash(const QString& folder) {
    return folder.endsWith('/') ? folder : folder + '/';
}

namespace {

bool isPortableFolder(const QString& folder) {
    return QFileInfo::exists(withSlash(folder) + QStringLiteral("settings.ini")) ||
           QFileInfo::exists(withSlash(folder) + QStringLiteral("portable"));
}

} // namespace

AppPaths AppPaths::forFolder(const QString& appFolder) {
    AppPaths p;
    p.AppFolder = withSlash(appFolder);
    p.SettingsPath = p.AppFolder + QStringLiteral("settings.ini");
    return p;
}

AppPaths AppPaths::resolve(const QString& executableFolder) {
    const QString home = qEnvironmentVariable("ZOLPANE_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return forFolder(QDir(home).absolutePath());
    }
    if (!executableFolder.isEmpty() && isPortableFolder(executableFolder))
        return forFolder(executableFolder);
    // A relative $XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString folder = withSlash(data) + QStringLiteral("zolpane");
    QDir().mkpath(folder);
    return forFolder(folder);
}

void AppPaths::setWorkFolders() {
    TempFolder = AppFolder + QStringLiteral("temp/");
    ProjectsFolder = AppFolder + QStringLiteral("projects/");
}
