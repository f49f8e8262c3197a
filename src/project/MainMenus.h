#pragma once

#include <QObject>
#include <QVector>

class QAction;
class QMenu;
class QMenuBar;
class Settings;

// The main window's menu bar: File, Options, Clipboard and Help. The copy options' check marks follow the
// settings and change them; every other item is announced as a command for the composition root to run.
class MainMenus final : public QObject {
    Q_OBJECT
public:
    enum class Command {
        NewProject,
        LoadProject,
        SaveProject,
        SaveAs,
        ExportHotkeyOverview,
        DeleteProject,
        MakeDefault,
        Hide,
        Exit,
        Settings,
        QuickSlots,
        Help,
        Wizard,
        Website,
        Support,
        About
    };

    MainMenus(QMenuBar* bar, Settings& settings);

    void showCopyOptions(const Settings& settings);
    void setRecentEntry(int i, const QString& caption, bool enabled);
    void setRecentMenuEnabled(bool enabled);
    void setHelpAvailable(bool available);
    // File, Options and Help as a whole (off while the clip editor is open).
    void setEnabled(bool enabled);

Q_SIGNALS:
    void triggered(MainMenus::Command command);
    void recentProjectChosen(int i);
    // A Clipboard menu item, by its object name (mnuToLowerCase, ..., mnuCleanClipboard).
    void clipboardCommand(const QString& name);

private:
    QMenu* mnuFile = nullptr;
    QMenu* mnuOptions = nullptr;
    QMenu* mnuClipboard = nullptr;
    QMenu* mnuHelp = nullptr;
    QMenu* mnuRecentProjects = nullptr;
    QMenu* mnuCaseConversion = nullptr;
    QMenu* mnuCopyToClipboard = nullptr;
    QAction* mnuNewProject = nullptr;
    QAction* mnuLoadProject = nullptr;
    QAction* mnuSaveProject = nullptr;
    QAction* mnuSaveAs = nullptr;
    QVector<QAction*> mnuRProject; // 1..10
    QAction* mnuExportHotkeyOverview = nullptr;
    QAction* mnuDeleteProject = nullptr;
    QAction* mnuMakeDefault = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuSettings = nullptr;
    QAction* mnuZolProjects = nullptr;
    QAction* mnuMinimizeOnCopy = nullptr;
    QAction* mnuHideOnCopy = nullptr;
    QAction* mnuAutoPaste = nullptr;
    QAction* mnuCleanClipboard = nullptr;
    QAction* mnuHelpZP = nullptr;
    QAction* mnuQuickWizard = nullptr;
    QAction* mnuWebsite = nullptr;
    QAction* mnuTechSupport = nullptr;
    QAction* mnuAbout = nullptr;
};
