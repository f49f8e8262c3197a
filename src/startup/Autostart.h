#pragma once

#include <QObject>
#include <QString>

class Settings;

// Start at login (an XDG autostart entry) and the .zp file association (shared MIME database and a
// desktop entry). Folders follow $XDG_CONFIG_HOME, $XDG_DATA_HOME and $XDG_DATA_DIRS.
class Autostart final : public QObject {
    Q_OBJECT
public:
    Autostart(Settings& settings, const QString& executablePath, QObject* parent = nullptr);

    void EnableRunAtStartup();
    void DisableRunAtStartup();
    // The Exec value of the autostart entry, "" when there is none.
    QString GetRunValue() const;
    bool isRunAtStartupChecked() const { return m_checked; }

    // Declares the project type and this program as its handler. Run from an installed location, the installed
    // desktop entry and MIME package declare the type and only the default handler is set; otherwise a per-user
    // MIME package and desktop entry are written. Files are rewritten, and the desktop's update tools run, only
    // when something changed. Returns true when a file was written.
    bool RegisterFileType(const QString& className, const QString& extension, const QString& description,
                          const QString& iconPath);

    // The Icon value of the desktop entries: the theme's icon name for an installed program, otherwise the path of
    // the program's icon written into its folder (theme name only when that cannot be written).
    QString desktopIcon() const;

    // The id of the installed desktop entry, metainfo and the like.
    static const QString ApplicationId;
    // <data dir>/applications/<ApplicationId>.desktop, for the first data dir of $XDG_DATA_DIRS that holds it
    // and whose ../bin/ holds this executable (an installed program); "" when there is none.
    QString installedDesktopEntry() const;

    QString autostartEntryPath() const;
    QString mimePackagePath() const;
    QString desktopEntryPath() const;
    QString mimeAppsListPath() const;

    // One key=value of a desktop entry file ([Desktop Entry] group).
    static QString GetRegString(const QString& file, const QString& key);
    static bool SetRegString(const QString& file, const QString& key, const QString& value);
    static bool DeleteRegValue(const QString& file, const QString& key);

Q_SIGNALS:
    // The check mark of the "Run At Startup" menu item.
    void runAtStartupChecked(bool checked);

private:
    Settings& m_settings;
    QString m_executable;
    bool m_checked = false;
};
