#include "startup/UserGuide.h"

#include "services/AppPaths.h"
#include "services/Messages.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

const QString UserGuide::FileName = QStringLiteral("ZolpaneHelp.html");

QString UserGuide::locate(const QString& executableFolder) {
    if (executableFolder.isEmpty())
        return {};
    const QString folder = withSlash(executableFolder);
    for (const QString& candidate :
         {folder + QStringLiteral("help/") + FileName, folder + QStringLiteral("../share/zolpane/") + FileName}) {
        const QFileInfo file(candidate);
        if (file.isFile() && file.isReadable())
            return QDir::cleanPath(file.absoluteFilePath());
    }
    return {};
}

void UserGuide::open(const QString& executableFolder) {
    const QString guide = locate(executableFolder);
    if (guide.isEmpty()) {
        Messages::ShowMessage(QStringLiteral("The user guide (%1) is missing: it belongs in the folder help beside "
                                             "the program, or in the folder share/zolpane of its installation.")
                                  .arg(FileName),
                              MessageKind::Warning);
    } else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(guide))) {
        Messages::ShowMessage(QStringLiteral("No program could show the user guide. Open it in a web browser:\r\n") +
                                  guide,
                              MessageKind::Warning);
    }
}
