#include "startup/ZolpaneApp.h"

#include "clipmenu/ClipboardTextCommands.h"
#include "clipmenu/frmMain.h"
#include "editor/frmConfPasteBox.h"
#include "paste/Hotkeys.h"
#include "paste/LastWindowRecord.h"
#include "paste/PasteEngine.h"
#include "paste/frmProperties.h"
#include "project/ProjectLifecycle.h"
#include "project/frmZolpane.h"
#include "services/FileDialogs.h"
#include "services/Messages.h"
#include "services/WindowPlacement.h"
#include "startup/Autostart.h"
#include "startup/CommandRequest.h"
#include "startup/CommandServer.h"
#include "startup/KeyConsent.h"
#include "startup/SecondStart.h"
#include "startup/StartupLog.h"
#include "startup/TerminationSignals.h"
#include "startup/UserGuide.h"
#include "startup/WaylandNotice.h"
#include "startup/frmAbout.h"
#include "startup/frmSettings.h"
#include "startup/frmWizard.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <ctime>

namespace {

// Short enough not to be felt, long enough for a pending hotkey or menu to finish before windows go away.
constexpr int ExitSettleMs = 15;
// After start-up, when the main window has been shown and painted (measured: within 0.1 s on two cores).
constexpr int ReturnStartupMemoryMs = 1000;

} // namespace

QString ZolpaneApp::startupErrorText(const QString& appFolder) {
    return QStringLiteral("Error while starting Zolpane. If you lost some system libraries, please reinstall "
                          "program. If you dont got read/write access to ") +
           appFolder + QStringLiteral(", please, obtain it. If you will need any further help, please contact ") +
           frmAbout::SupportAddress + QStringLiteral(".");
}

QString ZolpaneApp::twipQuestion(double twipsX) {
    return QStringLiteral("Your twip size is uncommon. This program is build for twip's size 15, your twips have got "
                          "size ") +
           QString::number(twipsX) +
           QStringLiteral(".\r\n\r\nIt's caused by 'large' font size which you have currently set-up. This program "
                          "won't work on your system properly until you switch font size to 'Normal' (Small). Do you "
                          "really want to continue? (We STRONGLY recommend to don't use this software with this "
                          "uncompatible twip size!)");
}

int ZolpaneApp::Main(QApplication& app) {
    const AppPaths paths = AppPaths::resolve(QCoreApplication::applicationDirPath());
    const QString commandLine = app.arguments().mid(1).join(QLatin1Char(' '));

    QLockFile instanceLock(paths.AppFolder + QStringLiteral("zolpane.lock"));
    instanceLock.setStaleLockTime(0); // only a lock whose owner process is gone is stale
    errno = 0;
    if (!instanceLock.tryLock(0)) {
        const int error = errno;
        if (instanceLock.error() == QLockFile::LockFailedError) {
            const SecondStart::HandOver handOver = SecondStart::handOver(paths, commandLine);
            if (handOver.result == SecondStart::Result::Refused) {
                const QByteArray text = "zolpane: " + handOver.refusal.toLocal8Bit() + '\n';
                std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
                return 1;
            }
            if (handOver.result == SecondStart::Result::AlreadyRunning)
                Messages::ShowMessage(QStringLiteral("Zolpane is already running!"), MessageKind::Information);
            return 0;
        }
        // Without the lock a second start would run beside this one, both writing the same files: a folder the
        // lock cannot be made in (full, read-only) is a folder the program cannot work in.
        Messages::ShowError(startupErrorText(paths.AppFolder), Outcome::fromErrno(error ? error : EACCES));
        return 1;
    }

    QFile::remove(paths.loadBuffPath());
    ZolpaneApp zolpane(paths, createPlatformServices(), commandLine);
    if (!QFileInfo::exists(paths.SettingsPath)) {
        zolpane.m_firstRun = true;
        zolpane.settings().WriteDefaultSettings();
    }
    TerminationSignals::install(&zolpane, [&zolpane] { zolpane.terminate(); });
    // A signal during a box of the start-up may have ended the program before its event loop runs.
    if (!zolpane.Initialize() || zolpane.m_exited)
        return 0;
    return app.exec();
}

ZolpaneApp::ZolpaneApp(const AppPaths& paths, PlatformServices platform, const QString& commandLine)
    : m_paths(paths), m_settings(m_paths), m_platform(std::move(platform)), m_commandLine(commandLine) {}

ZolpaneApp::~ZolpaneApp() = default;

void ZolpaneApp::reportStartupError(const Outcome& failure) {
    QApplication::restoreOverrideCursor();
    Messages::ShowError(startupErrorText(m_paths.AppFolder), failure);
    ExitProgram();
}

bool ZolpaneApp::Initialize() {
    m_table.ClipMethod.fill(1);

    const double twipsX = m_platform.windows->twipsPerPixelX();
    const double twipsY = m_platform.windows->twipsPerPixelY();
    if (twipsX != 15 || twipsY != 15) {
        if (Messages::ShowMessage(twipQuestion(twipsX), MessageKind::Question) == Messages::No) {
            ExitProgram();
            return false;
        }
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_paths.setWorkFolders();
    for (const QString& folder : {m_paths.TempFolder, m_paths.ProjectsFolder}) {
        if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
            reportStartupError(Outcome::fromErrno(errno ? errno : EACCES));
            return false;
        }
    }

    m_autostart = std::make_unique<Autostart>(m_settings, QCoreApplication::applicationFilePath());
    m_record = std::make_unique<LastWindowRecord>(*m_platform.windows, [this] { return ProgramExiting; });
    m_record->start();
    m_textCommands = std::make_unique<ClipboardTextCommands>(
        *m_platform.clipboard, [this] { return m_settings.SentenceCaseKeepBig; },
        [this] {
            if (m_paste)
                m_paste->PasteClipboardToLastApplication();
        });
    m_frmMain = std::make_unique<frmMain>(m_table, *m_textCommands);

    m_main = std::make_unique<frmZolpane>(m_table, m_settings, *m_platform.windows, m_handOver);
    wireMainWindow();
    wireEditor();

    LoadSettings();
    ApplyCharset();

    // The settings dialog is loaded when first shown: it reads the settings anew each time it is shown, so
    // nothing of it can be seen earlier, and building its four pages would hold up the tray icon.
    wirePasting();
    m_hotkeys->InitHotkeys();
    wireTray();
    m_frmMain->AddTrayIcon(QStringLiteral("Zolpane"));

    QApplication::restoreOverrideCursor();

    // Where neither a tray icon nor a hotkey of our own can bring the window back, it is shown whatever the
    // start asked for: the notice then says how the desktop's shortcuts reach Zolpane.
    const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
    const bool ownHotkeys = m_platform.hotkeys->capabilities().grabsKeys;
    const bool reachable = tray || ownHotkeys;
    if (!reachable || (m_commandLine.toLower() != QLatin1String("nowindow") &&
                       m_settings.ReadNumber(QStringLiteral("General"), QStringLiteral("OpenWindowAtStartup")) == 1))
        m_main->show();
    if (m_firstRun) {
        m_wizard = std::make_unique<frmWizard>();
        m_wizard->show();
    }
    startCommandServer();
#ifdef __GLIBC__
    // Start-up frees much of what it allocated (the project file's bytes, the settings file, the icons' sources)
    // in blocks glibc keeps; once the window has been painted, a second later at most, the free pages go back to
    // the system for the weeks the program then spends in the tray (about 0.5 MiB).
    QTimer::singleShot(ReturnStartupMemoryMs, this, [] { malloc_trim(0); });
#endif
    KeyConsent::request(*m_platform.keys, m_settings, this);
    // Once the event loop runs: the tray and the hotkeys work while the notice is open.
    const KeySender::Capabilities keys = m_platform.keys->capabilities();
    const WaylandNotice::Situation situation{keys.sendsKeys,
                                             keys.reachesWaylandWindows,
                                             m_platform.windows->capabilities().seesOtherWindows,
                                             ownHotkeys,
                                             m_platform.hotkeys->capabilities().desktopBinds,
                                             tray};
    QTimer::singleShot(0, this, [this, situation] {
        WaylandNotice::showIfWanted(WaylandNotice::isWaylandSession(), situation, m_settings, this);
    });
    return true;
}

void ZolpaneApp::startCommandServer() {
    m_commands = std::make_unique<CommandServer>([this](const CommandRequest& r) { return runCommandRequest(r); });
    m_commands->listen(CommandServer::socketPath(m_paths.AppFolder, qEnvironmentVariable("XDG_RUNTIME_DIR")));
}

void ZolpaneApp::wireMainWindow() {
    frmZolpane& w = *m_main;
    const double twipsX = m_platform.windows->twipsPerPixelX();
    const double twipsY = m_platform.windows->twipsPerPixelY();
    WindowPlacement::RestoreWindowPosition(w, QStringLiteral("frmzolpane"), m_settings, twipsX, twipsY);

    connect(&w, &frmZolpane::exitRequested, this, &ZolpaneApp::ExitProgram);
    connect(&w, &frmZolpane::menuCommand, this, &ZolpaneApp::runMenuCommand);
    // The main window's Clipboard menu runs the same commands as the tray's.
    connect(&w, &frmZolpane::clipboardCommandRequested, this, [this](const QString& name) {
        if (name == QLatin1String("mnuCleanClipboard"))
            m_frmMain->CleanClipboard();
        else if (const auto command = ClipboardTextCommands::commandForMenu(name))
            m_textCommands->run(*command);
    });
    w.setHelpAvailable(!UserGuide::locate(QCoreApplication::applicationDirPath()).isEmpty());

    m_autostart->RegisterFileType(QStringLiteral("Zolpane"), QStringLiteral("zp"), QStringLiteral("Zolpane Project"),
                                  m_autostart->desktopIcon());
    m_project = std::make_unique<ProjectLifecycle>(w, m_table, m_settings, m_paths);
    m_project->lastWindowTitle = [this] { return m_record->LastWindowTitle(); };
    connect(m_record.get(), &LastWindowRecord::lastWindowChanged, m_project.get(), &ProjectLifecycle::showLastWindow);
    m_project->clipHotkey = [this](int clip) { return clipHotkey(clip); };
    m_project->clipDesktopBinding = [this](int clip) { return desktopBinding(Hotkeys::clipHotkeyId(clip), false); };
    ProjectLifecycle* project = m_project.get();
    connect(&w, &frmZolpane::saveProjectRequested, project, &ProjectLifecycle::SaveProjectCommand);
    connect(&w, &frmZolpane::loadProjectRequested, project, &ProjectLifecycle::LoadProjectCommand);
    connect(&w, &frmZolpane::loadDefaultProjectRequested, project, &ProjectLifecycle::LoadDefaultProject);
    connect(&w, &frmZolpane::quickSlotRequested, project, &ProjectLifecycle::OpenQuickSlot);
    connect(&w, &frmZolpane::recentProjectRequested, project, &ProjectLifecycle::OpenRecentProject);
    connect(&w, &frmZolpane::unloading, this, [this, twipsX, twipsY] {
        WindowPlacement::SaveWindowPosition(*m_main, QStringLiteral("frmzolpane"), m_settings, twipsX, twipsY);
        m_project->handleExit(m_settings.ExitMode);
        // Ended by a signal (a logout), nobody answers the question about unsaved changes (it was taken as No, or
        // closed unanswered): they are kept. A project without a name would need the file dialog: it stays unsaved.
        if (m_terminated && m_settings.ExitMode == 1 && m_main->changed() &&
            m_project->ProjectName != ProjectLifecycle::Blank)
            m_project->SaveProjectCommand();
    });
    m_project->startup(m_commandLine);
}

QString ZolpaneApp::desktopBinding(int hotkeyId, bool sentence) const {
    const HotkeySystem& hotkeys = *m_platform.hotkeys;
    if (!hotkeys.capabilities().desktopBinds)
        return {};
    if (const QString keys = hotkeys.desktopBinding(hotkeyId); !keys.isEmpty())
        return sentence ? QStringLiteral("The desktop bound this hotkey to %1.").arg(keys) : keys;
    if (hotkeys.isRegistered(hotkeyId))
        return sentence ? QStringLiteral("Waiting for the desktop to bind this hotkey.") : QString();
    return sentence ? QStringLiteral("The desktop has not bound this hotkey: it does nothing.")
                    : QStringLiteral("not bound by the desktop");
}

std::pair<int, int> ZolpaneApp::clipHotkey(int clip) const {
    // The hotkeys are registered after the main window loads; until then no clip has one.
    return m_hotkeys ? std::pair{m_hotkeys->ClipHotkeyMod[size_t(clip)], m_hotkeys->ClipHotkeyKey[size_t(clip)]}
                     : std::pair{0, 0};
}

void ZolpaneApp::LoadSettings() {
    // A stored number too large for the value it loads into stops the loading there; what was loaded stays.
    const auto overflow = [] {
        Messages::ShowError(QStringLiteral("Error while loading settings!"), {6, QStringLiteral("Overflow")});
    };
    // Nothing is loaded from a file that cannot be read: empty values would remove the autostart entry.
    if (!m_settings.CheckSettingsFile())
        return;
    if (!m_settings.LoadSpecialHotkeys())
        return overflow();
    if (m_settings.ReadNumber(QStringLiteral("General"), QStringLiteral("RunOnStartup")) == 1)
        m_autostart->EnableRunAtStartup();
    else
        m_autostart->DisableRunAtStartup();
    m_settings.LoadEditorFont();
    if (!m_settings.loadCoreValues())
        return overflow();
    frmZolpane& w = *m_main;
    m_settings.LoadCopyOptions();
    m_copyOptionsLoaded = true;
    w.showCopyOptions();
    w.setAlwaysOnTop(m_settings.ReadNumber(QStringLiteral("Zolpane"), QStringLiteral("ZPAlwaysOnTop")) == 1, false);
}

void ZolpaneApp::ApplyCharset() {
    // Qt's fonts cover every script; the charset value is only kept for the dialogs that show it.
    qCDebug(lcStartup) << "font charset" << Settings::charsetValue(m_settings.Charset);
}

void ZolpaneApp::ExitProgram() {
    if (ProgramExiting)
        return;
    ProgramExiting = true;
    QTimer::singleShot(ExitSettleMs, this, [this] {
        if (m_frmMain)
            m_frmMain->RemoveTrayIcon();
        // The Options menu changes them in memory only (the settings dialog writes them too, when it exists). Not
        // loaded (a start-up that failed or was stopped before), memory holds defaults, not the user's choice.
        if (m_copyOptionsLoaded)
            m_settings.SaveCopyOptions();
        if (m_about)
            m_about->close();
        if (m_wizard)
            m_wizard->close();
        if (m_settingsDialog)
            m_settingsDialog->close();
        if (m_editor)
            m_editor->close();
        if (m_main) {
            // Saves the recent list and the position, and settles unsaved changes by the Exiting setting.
            m_main->setProgramExiting(true);
            m_main->close();
        }
        if (m_properties)
            m_properties->close();
        m_exited = true;
        QCoreApplication::exit(0);
    });
}

void ZolpaneApp::terminate() {
    m_terminated = true;
    Messages::stopShowing();
    FileDialogs::stopShowing();
    // A modal dialog's own event loop holds up the exit: each open one ends as if cancelled.
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible() && dialog->isModal())
            dialog->reject();
    ExitProgram();
}

void ZolpaneApp::wirePasting() {
    frmZolpane& w = *m_main;
    m_paste = std::make_unique<PasteEngine>(m_table, m_settings, *m_platform.windows, *m_platform.keys, *m_record,
                                            *m_platform.clipboard);
    PasteEngine* paste = m_paste.get();
    connect(&w, &frmZolpane::copyRequested, paste, &PasteEngine::CopyClip);
    connect(&w, &frmZolpane::pasteNextRequested, paste, [paste](bool upwards) { paste->PasteNext(!upwards); });
    connect(paste, &PasteEngine::copyStarted, &w, &frmZolpane::holdStatus);
    connect(paste, &PasteEngine::statusMessage, &w, &frmZolpane::ShowAtStatus);
    connect(paste, &PasteEngine::lastClipMarked, &w, &frmZolpane::markLastClip);
    connect(paste, &PasteEngine::hideWindowRequested, &w, &QWidget::hide);
    // "If shown": showMinimized() would also map a window that is hidden in the tray.
    connect(
        paste, &PasteEngine::minimizeWindowRequested, &w,
        [&w] {
            if (w.isVisible())
                w.showMinimized();
        });
    m_hotkeys = std::make_unique<Hotkeys>(*m_platform.hotkeys, m_settings, [this] { return ProgramExiting; });
    connect(m_hotkeys.get(), &Hotkeys::showMainWindowRequested, this, &ZolpaneApp::showWindows);
    connect(m_hotkeys.get(), &Hotkeys::settingsRequested, this, &ZolpaneApp::ShowSettings);
    connect(m_hotkeys.get(), &Hotkeys::pasteNextTriggered, this, [this] { m_paste->PasteNext(true); });
    connect(m_hotkeys.get(), &Hotkeys::clipTriggered, paste, &PasteEngine::ClipHotkeyTrigger);
    connect(&w, &frmZolpane::propertiesRequested, this, [this](int n) {
        PropertiesContext context{.settings = m_settings,
                                  .table = m_table,
                                  .clipHotkey = [this](int clip) { return clipHotkey(clip); },
                                  .SetClipHotkey = [this](int m, int k, int id) { m_hotkeys->SetClipHotkey(m, k, id); },
                                  .desktopBinding = [this](int id) { return desktopBinding(id, true); },
                                  .dropTopMost = [this] { m_main->dropTopMost(); },
                                  .restoreTopMost = [this] { m_main->restoreTopMost(); },
                                  .programExiting = [this] { return ProgramExiting; }};
        m_handOver.EditClipNumber = n;
        frmProperties::open(m_properties, context, n);
    });
}

void ZolpaneApp::wireEditor() {
    frmZolpane& w = *m_main;
    m_effects.seedRandom(quint64(std::time(nullptr)));
    w.setEditorAvailable(true);
    connect(&w, &frmZolpane::editRequested, this, [this] {
        if (m_editor) {
            m_editor->raise();
            m_editor->activateWindow();
            return;
        }
        const EditorContext context{.handOver = m_handOver,
                                    .table = m_table,
                                    .settings = m_settings,
                                    .effects = m_effects,
                                    .fontlist = frmConfPasteBox::fontlist(),
                                    .twipsX = m_platform.windows->twipsPerPixelX(),
                                    .twipsY = m_platform.windows->twipsPerPixelY(),
                                    .programExiting = [this] { return ProgramExiting; }};
        m_editor = frmConfPasteBox::open(context);
        connect(m_editor, &frmConfPasteBox::handedBack, m_main.get(), &frmZolpane::Update);
        connect(m_editor, &frmConfPasteBox::closed, this, [this](int clip) {
            m_main->EnableButtons();
            m_main->show();
            m_main->restoreTopMost();
            m_main->focusRow(clip);
        });
    });
    connect(&w, &frmZolpane::activatedWhileEditorOpen, this, [this] {
        if (!m_editor)
            return;
        m_editor->show();
        m_editor->raise();
        m_editor->activateWindow();
        QApplication::beep();
    });
}

void ZolpaneApp::wireTray() {
    frmMain& tray = *m_frmMain;
    frmZolpane& w = *m_main;
    connect(&tray, &frmMain::showMainWindowRequested, this, &ZolpaneApp::showWindows);
    connect(&tray, &frmMain::hideMainWindowRequested, &w, &QWidget::hide);
    connect(&tray, &frmMain::settingsRequested, this, &ZolpaneApp::ShowSettings);
    connect(&tray, &frmMain::clipChosen, m_paste.get(), &PasteEngine::HotkeyTrigger);
    connect(&tray, &frmMain::exitRequested, this, &ZolpaneApp::ExitProgram);
    connect(&tray, &frmMain::statusMessage, &w, &frmZolpane::ShowAtStatus);
    connect(&tray, &frmMain::toggleRunAtStartupRequested, this, [this] {
        if (m_autostart->isRunAtStartupChecked())
            m_autostart->DisableRunAtStartup();
        else
            m_autostart->EnableRunAtStartup();
    });
    connect(m_autostart.get(), &Autostart::runAtStartupChecked, &tray, &frmMain::setRunAtStartupChecked);
    tray.setRunAtStartupChecked(m_autostart->isRunAtStartupChecked());
    connect(m_hotkeys.get(), &Hotkeys::clipboardMenuRequested, &tray, &frmMain::ShowTrayMenu);
    connect(m_hotkeys.get(), &Hotkeys::pasteMenuRequested, &tray, &frmMain::ShowPasteMenu);
}

void ZolpaneApp::showWindows() {
    ShowMainWindow(*m_main, m_editor);
    m_platform.windows->activateOwnWindow(m_editor ? static_cast<QWidget*>(m_editor) : m_main.get());
}

void ZolpaneApp::ShowMainWindow(QWidget& main, QWidget* editor) {
    // While the clip editor is open the main window's rows wait for it: the editor is what the user gets.
    QWidget& w = editor != nullptr ? *editor : main;
    if (w.isHidden())
        w.show();
    else if (w.isMinimized())
        w.showNormal();
    w.raise();
    w.activateWindow();
}

void ZolpaneApp::ShowSettings() {
    m_main->dropTopMost();
    if (!m_settingsDialog) {
        SettingsDialogContext context{.settings = m_settings,
                                      .autostart = *m_autostart,
                                      .table = m_table,
                                      .copyOptionsChanged = [this] { m_main->showCopyOptions(); },
                                      .applyCharset = [this] { ApplyCharset(); },
                                      .reRegisterSpecialHotkeys =
                                          [this] {
                                              m_hotkeys->UnregisterSpecialHotkeys();
                                              m_settings.LoadSpecialHotkeys();
                                              m_hotkeys->RegisterSpecialHotkeys();
                                          },
                                      .desktopBinding = [this](int id) { return desktopBinding(id, true); },
                                      .restoreTopMost = [this] { m_main->restoreTopMost(); },
                                      .programExiting = [this] { return ProgramExiting; }};
        m_settingsDialog = std::make_unique<frmSettings>(std::move(context));
    }
    m_settingsDialog->showSettings();
}
