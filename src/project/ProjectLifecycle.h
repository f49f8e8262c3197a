#pragma once

#include "project/RecentProjects.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>
#include <utility>

class ClipTable;
class QFileSystemWatcher;
class Settings;
class ProjectView;
struct AppPaths;

// The identity of the open project on disk and the project commands of the main window: new, load, save,
// save as, delete, make default, load default, the recent list, the quick slots, the hand-over from a
// second start, and the window title.
class ProjectLifecycle final : public QObject {
    Q_OBJECT
public:
    ProjectLifecycle(ProjectView& view, ClipTable& table, Settings& settings, const AppPaths& paths,
                     QObject* parent = nullptr);

    static inline const QString Blank = QStringLiteral("Blank");
    static inline const QString ProjectFilter = QStringLiteral("Zolpane Projects (*.zp)");

    QString ProjectPath; // folder, ending in "/"
    QString ProjectName = Blank;

    // The last foreign window's title, shown in the last-window label (set by the composition root).
    std::function<QString()> lastWindowTitle;
    // The registered hotkey of clip 1..30 as (modifier set, key code), for the overview page (set by the
    // composition root).
    std::function<std::pair<int, int>(int)> clipHotkey;
    // What the desktop bound to a clip's hotkey, "" where the program takes its keys itself.
    std::function<QString(int clip)> clipDesktopBinding;

    // Opens the project named on the command line, or the default project.
    void startup(const QString& commandLine);

    void CheckChanges();
    void NewProject();
    void MakeNewProject();
    void LoadProjectCommand();
    void SaveProjectCommand();
    void SaveAsCommand();
    void DeleteProjectCommand();
    void MakeDefaultCommand();
    void LoadDefaultProject();
    void OpenQuickSlot(int slot);
    void OpenRecentProject(int i);
    void ExportHotkeyOverviewCommand();
    // At exit, by the Exiting setting: 0 drop, 1 ask, 2 save.
    void handleExit(int exitMode);

    // The reader and writer with the window's status, pointer and focus around them. A file that cannot be
    // loaded (missing, no regular file, no project) is reported and leaves the table and Changed as they were:
    // false, and the caller keeps the current project's name.
    bool LoadProject(const QString& path);
    void SaveProject(const QString& path);

    // What the project timer shows, in its order: a handed-over project, the window title, the last-window
    // label. Each follows its own events instead of a timer, so a program left alone never wakes up: the
    // hand-over file a watch on the program folder, the title every change of ProjectName, the label the
    // last-window record (through showLastWindow()). All three at once at start-up.
    void projectTimerTick();
    // Opens the project a second start handed over in loadbuff.dat (if the file is there) and deletes the file.
    void checkHandOver();
    // "Zolpane (name)" or "Zolpane (new project)", set when it differs.
    void showTitle();
    // "Last Active Window: " and the last foreign window's title, set when it differs.
    void showLastWindow();

    RecentProjects& recent() { return m_recent; }
    void LoadRecentProjects();
    void SaveRecentProjects();
    void BuildRecentMenu();

    std::array<QString, 9> QuickSlots; // 1..8
    void LoadQuickSlots();
    void SaveQuickSlots();
    void RefreshQuickSlotButtons();
    void showQuickSlotDialog();

    static void splitPath(const QString& path, QString* folder, QString* file);

    // How long after a change in the program folder the hand-over file is looked at: the second start creates
    // the file and then writes its line. Well within the quarter of a second the project timer gave it.
    static constexpr int HandOverSettleMs = 50;

private:
    ProjectView& m_view;
    ClipTable& m_table;
    Settings& m_settings;
    const AppPaths& m_paths;
    RecentProjects m_recent;
    bool m_loading = false;
    bool m_newProjectMade = false; // by the start-up's default project
    QPointer<QDialog> m_quickSlotDialog;
    QFileSystemWatcher* m_folderWatcher;
    QTimer m_handOverCheck;
};
