#include "services/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>

QString withSlash(const QString& folder) {
    return folder.endsWith('/') ? folder : folder + '/';
}

namespace {

bool canCreateFileIn(const QString& folder) {
    QTemporaryFile probe(withSlash(folder) + QStringLiteral(".zolpane-probe-XXXXXX"));
    return probe.open();
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
    if (!executableFolder.isEmpty() && canCreateFileIn(executableFolder))
        return forFolder(executableFolder);
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString folder = withSlash(data) + QStringLiteral("zolpane");
    QDir().mkpath(folder);
    return forFolder(folder);
}

void AppPaths::setWorkFolders() {
    TempFolder = AppFolder + QStringLiteral("temp/");
    ProjectsFolder = AppFolder + QStringLiteral("projects/");
}
