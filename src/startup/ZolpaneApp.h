#pragma once

#include "imaging/ImageEffects.h"
#include "platform/PlatformServices.h"
#include "project/ClipTable.h"
#include "project/EditorHandOver.h"
#include "project/MainMenus.h"
#include "services/AppPaths.h"
#include "services/Settings.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <utility>

class QApplication;
class QLockFile;
class QWidget;
class frmAbout;
class frmConfPasteBox;
class frmWizard;
class frmZolpane;
class ProjectLifecycle;
class Autostart;
class ClipboardTextCommands;
class Hotkeys;
class LastWindowRecord;
class PasteEngine;
class frmMain;
class frmProperties;
class frmSettings;
class CommandServer;
struct CommandRequest;
struct Outcome;

// The composition root: start-up in its fixed order, the wiring of the features, and the orderly exit.
class ZolpaneApp final : public QObject {
    Q_OBJECT
public:
    // The entry point: refuses a second instance (handing a project path on) or runs the program.
    static int Main(QApplication& app);

    ZolpaneApp(const AppPaths& paths, PlatformServices platform, const QString& commandLine);
    ~ZolpaneApp() override;

    // The start-up steps after the single-instance test. False when start-up ended (the twip question was
    // answered No, or an error occurred).
    bool Initialize();
    // Sets ProgramExiting, unloads the windows in their order and ends the event loop.
    void ExitProgram();
    // The exit for a termination signal (a logout, kill): nothing may wait for a person, so open dialogs are
    // cancelled, no box is shown any more, and unsaved changes the exit would ask about are saved.
    void terminate();
    // Settings into memory and onto the menus and the window.
    void LoadSettings();
    void ApplyCharset();

    bool ProgramExiting = false;

    Settings& settings() { return m_settings; }
    ClipTable& table() { return m_table; }

    // The start-up error's text, naming the program folder.
    static QString startupErrorText(const QString& appFolder);
    // The twip question's text for a horizontal twips-per-pixel value.
    static QString twipQuestion(double twipsX);
    // The tray's left click, "Show Zolpane" and the show hotkey: the main window (from hidden, minimized or behind
    // others) comes to the front, or the clip editor instead while one is open.
    static void ShowMainWindow(QWidget& main, QWidget* editor);

private:
    void reportStartupError(const Outcome& failure);
    void wireMainWindow();
    void wirePasting();
    void wireTray();
    // The clip editor: opened for a row by the main window, handing its result back to it.
    void wireEditor();
    // ShowMainWindow with this program's windows.
    void showWindows();
    void ShowSettings();
    void runMenuCommand(MainMenus::Command command);
    void showWizard();
    void showAbout();
    // The command line's requests (zolpane --paste N ...), listened for once start-up is complete.
    void startCommandServer();
    QString runCommandRequest(const CommandRequest& request);
    // The registered hotkey of clip 1..30 as (modifier set, key code).
    std::pair<int, int> clipHotkey(int clip) const;
    // What the desktop bound to a hotkey where it binds them: a sentence for the dialogs, or the keys (or that
    // none are bound) for the overview; "" where the program takes its keys itself.
    QString desktopBinding(int hotkeyId, bool sentence) const;

    AppPaths m_paths;
    Settings m_settings;
    PlatformServices m_platform;
    QString m_commandLine;
    ClipTable m_table;
    EditorHandOver m_handOver;
    bool m_firstRun = false;
    bool m_terminated = false; // by a signal
    bool m_copyOptionsLoaded = false;
    bool m_exited = false; // the windows are unloaded and the event loop told to end
    std::unique_ptr<Autostart> m_autostart;
    std::unique_ptr<LastWindowRecord> m_record;
    std::unique_ptr<ClipboardTextCommands> m_textCommands;
    std::unique_ptr<frmMain> m_frmMain;
    std::unique_ptr<frmZolpane> m_main;
    std::unique_ptr<ProjectLifecycle> m_project;
    std::unique_ptr<PasteEngine> m_paste;
    std::unique_ptr<Hotkeys> m_hotkeys;
    std::unique_ptr<frmSettings> m_settingsDialog;
    QPointer<frmProperties> m_properties;
    ImageEffects m_effects;
    QPointer<frmConfPasteBox> m_editor;
    std::unique_ptr<frmAbout> m_about;
    std::unique_ptr<frmWizard> m_wizard;
    std::unique_ptr<CommandServer> m_commands;
};
