// The commands of the main window's menus and of the command line's requests.
#include "startup/ZolpaneApp.h"

#include "paste/Hotkeys.h"
#include "project/ProjectLifecycle.h"
#include "project/frmZolpane.h"
#include "startup/CommandRequest.h"
#include "startup/UserGuide.h"
#include "startup/frmAbout.h"
#include "startup/frmWizard.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QTimer>
#include <QUrl>

namespace {

// The File menu's Exit runs once the menu has closed.
constexpr int ExitMenuDelayMs = 100;

} // namespace

QString ZolpaneApp::runCommandRequest(const CommandRequest& request) {
    using C = CommandRequest::Command;
    int id = 0;
    switch (request.command) {
    case C::Paste:
        id = Hotkeys::clipHotkeyId(request.clip);
        break;
    case C::PasteNext:
        id = Hotkeys::PasteNextId;
        break;
    case C::ClipMenu:
        id = Hotkeys::PasteMenuId;
        break;
    case C::ClipboardMenu:
        id = Hotkeys::ClipboardMenuId;
        break;
    case C::Show:
        id = Hotkeys::ShowMainWindowId;
        break;
    case C::Settings:
        id = Hotkeys::SettingsId;
        break;
    }
    if (m_hotkeys->triggerFromOutside(id))
        return {};
    return ProgramExiting ? QStringLiteral("Zolpane is exiting")
                          : QStringLiteral("busy: an earlier paste still waits for the keys to be released");
}

void ZolpaneApp::runMenuCommand(MainMenus::Command command) {
    using C = MainMenus::Command;
    ProjectLifecycle& project = *m_project;
    switch (command) {
    case C::NewProject:
        project.NewProject();
        break;
    case C::LoadProject:
        project.LoadProjectCommand();
        break;
    case C::SaveProject:
        project.SaveProjectCommand();
        break;
    case C::SaveAs:
        project.SaveAsCommand();
        break;
    case C::ExportHotkeyOverview:
        project.ExportHotkeyOverviewCommand();
        break;
    case C::DeleteProject:
        project.DeleteProjectCommand();
        break;
    case C::MakeDefault:
        project.MakeDefaultCommand();
        break;
    case C::QuickSlots:
        project.showQuickSlotDialog();
        break;
    case C::Hide:
        m_main->hide();
        break;
    case C::Exit:
        QTimer::singleShot(ExitMenuDelayMs, this, &ZolpaneApp::ExitProgram);
        break;
    case C::Settings:
        ShowSettings();
        break;
    case C::Help:
        UserGuide::open(QCoreApplication::applicationDirPath());
        break;
    case C::Wizard:
        if (!m_wizard)
            m_wizard = std::make_unique<frmWizard>();
        m_wizard->restart();
        m_wizard->show();
        m_wizard->raise();
        break;
    case C::Website:
        QDesktopServices::openUrl(QUrl(frmAbout::Website));
        break;
    case C::Support:
        QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + frmAbout::SupportAddress));
        break;
    case C::About:
        if (!m_about)
            m_about = std::make_unique<frmAbout>();
        m_about->show();
        m_about->raise();
        break;
    }
}
