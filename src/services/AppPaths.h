#pragma once

#include <QString>

// The program's folders. Every folder ends in "/".
struct AppPaths {
    QString AppFolder;
    QString SettingsPath;   // AppFolder + "settings.ini"
    QString TempFolder;     // AppFolder + "temp/"
    QString ProjectsFolder; // AppFolder + "projects/"

    // AppFolder from $ZOLPANE_HOME (created when missing); else the executable's folder when it already holds a
    // settings.ini or a "portable" marker file (a portable copy); else $XDG_DATA_HOME/zolpane/, by default
    // ~/.local/share/zolpane/ (created when missing). An installed program so never writes beside itself, even
    // when run by root. TempFolder and ProjectsFolder stay empty until setWorkFolders(), as at start-up.
    static AppPaths resolve(const QString& executableFolder);
    static AppPaths forFolder(const QString& appFolder);
    void setWorkFolders();

    QString loadBuffPath() const { return AppFolder + QStringLiteral("loadbuff.dat"); }
};

// Appends "/" to a folder path that does not end in one.
QString withSlash(const QString& folder);
