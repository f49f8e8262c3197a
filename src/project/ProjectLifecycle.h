#pragma once

#include "project/DefaultProject.h"
#include "project/HotkeyOverviewCommand.h"
#include "project/ProjectFileCommands.h"
#include "project/QuickProjectSlots.h"
#include "project/RecentProjectsMenu.h"

#include <QObject>
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

// The open project: its identity on disk, the one routine that opens a project file, the start-up's choice of
// project, the exit's question, the hand-over from a second start and the window title. The project commands
// are parts of their own (files, recent list, quick slots, default project, hotkey overview); their operations
// are offered here too, so that the window's commands find them in one place.
class ProjectLifecycle final : public QObject {
    Q_OBJECT
    // The parts come first: the references below are bound to them.
    ProjectFileCommands m_files;
    RecentProjectsMenu m_recent;
    QuickProjectSlots m_quickSlots;
    DefaultProject m_default;
    HotkeyOverviewCommand m_overview;

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
    std::function<std::pair<int, int>(int)>& clipHotkey;
    // What the desktop bound to a clip's hotkey, "" where the program takes its keys itself.
    std::function<QString(int clip)>& clipDesktopBinding;

    // Opens the project named on the command line, or the default project.
    void startup(const QString& commandLine);
    // At exit, by the Exiting setting: 0 drop, 1 ask, 2 save.
    void handleExit(int exitMode);

    // The one way a project file becomes the open project: the file at path is loaded and, when it was, the open
    // project is folder + file (the caller's spelling of it). The title follows either way.
    bool openProject(const QString& path, const QString& folder, const QString& file);
    enum class Naming { AsGiven, Absolute };
    bool openProject(const QString& path, Naming naming = Naming::AsGiven);
    // Whether path names the open project.
    bool isOpen(const QString& path) const;

    // The reader and writer with the window's status, pointer and focus around them. A file that cannot be
    // loaded (missing, no regular file, no project) is reported and leaves the table and Changed as they were:
    // false, and the caller keeps the current project's name.
    bool LoadProject(const QString& path);
    void SaveProject(const QString& path);

    void CheckChanges() { m_files.CheckChanges(); }
    void NewProject() { m_files.NewProject(); }
    void MakeNewProject() { m_files.MakeNewProject(); }
    void LoadProjectCommand() { m_files.LoadProjectCommand(); }
    void SaveProjectCommand() { m_files.SaveProjectCommand(); }
    void SaveAsCommand() { m_files.SaveAsCommand(); }
    void DeleteProjectCommand() { m_files.DeleteProjectCommand(); }

    RecentProjects& recent() { return m_recent.list(); }
    void LoadRecentProjects() { m_recent.LoadRecentProjects(); }
    void SaveRecentProjects() { m_recent.SaveRecentProjects(); }
    void BuildRecentMenu() { m_recent.BuildRecentMenu(); }
    // Puts path first in the recent list and menu.
    void rememberRecent(const QString& path) { m_recent.remember(path); }
    void OpenRecentProject(int i) { m_recent.OpenRecentProject(i); }

    std::array<QString, 9>& QuickSlots; // 1..8
    void LoadQuickSlots() { m_quickSlots.LoadQuickSlots(); }
    void SaveQuickSlots() { m_quickSlots.SaveQuickSlots(); }
    void RefreshQuickSlotButtons() { m_quickSlots.RefreshQuickSlotButtons(); }
    void OpenQuickSlot(int slot) { m_quickSlots.OpenQuickSlot(slot); }
    void showQuickSlotDialog() { m_quickSlots.showQuickSlotDialog(); }

    void MakeDefaultCommand() { m_default.MakeDefaultCommand(); }
    void LoadDefaultProject() { m_default.LoadDefaultProject(); }

    void ExportHotkeyOverviewCommand() { m_overview.ExportHotkeyOverviewCommand(); }

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

    static void splitPath(const QString& path, QString* folder, QString* file);

    // How long after a change in the program folder the hand-over file is looked at: the second start creates
    // the file and then writes its line. Well within the quarter of a second the project timer gave it.
    static constexpr int HandOverSettleMs = 50;

private:
    ProjectView& m_view;
    ClipTable& m_table;
    const AppPaths& m_paths;
    QFileSystemWatcher* m_folderWatcher;
    QTimer m_handOverCheck;
};
