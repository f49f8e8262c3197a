#pragma once

#include "project/RecentProjects.h"

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

    // The reader and writer with the window's status, pointer and focus around them.
    void LoadProject(const QString& path);
    void SaveProject(const QString& path);

    // One tick of the project timer: hand-over file, title, last-window label.
    void projectTimerTick();
    // Runs while the window is shown.
    QTimer tmrProject;
    static constexpr int ProjectTimerMs = 250;

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

    // How long after a change in the program folder the hand-over file is looked at while the window is
    // hidden: the second start creates the file and then writes its line.
    static constexpr int HandOverSettleMs = 50;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The project timer runs while the main window is shown. Hidden (in the tray) nothing it updates can be
    // seen, so it stops, and the hand-over file is noticed through a watch on the program folder instead: a
    // program waiting in the tray does not wake up at all.
    void followWindow(bool shown);

    ProjectView& m_view;
    ClipTable& m_table;
    Settings& m_settings;
    const AppPaths& m_paths;
    RecentProjects m_recent;
    bool m_loading = false;
    QFileSystemWatcher* m_folderWatcher;
    QTimer m_handOverCheck;
};
