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
    // Each request does what its global hotkey does.
    static constexpr std::pair<C, int> hotkeyIds[] = {{C::PasteNext, Hotkeys::PasteNextId},
                                                      {C::ClipMenu, Hotkeys::PasteMenuId},
                                                      {C::ClipboardMenu, Hotkeys::ClipboardMenuId},
                                                      {C::Show, Hotkeys::ShowMainWindowId},
                                                      {C::Settings, Hotkeys::SettingsId}};
    int id = Hotkeys::clipHotkeyId(request.clip);
    for (const auto& [command, hotkeyId] : hotkeyIds)
        if (command == request.command)
            id = hotkeyId;
    if (m_hotkeys->triggerFromOutside(id))
        return {};
    return ProgramExiting ? QStringLiteral("Zolpane is exiting")
                          : QStringLiteral("busy: an earlier paste still waits for the keys to be released");
}

void ZolpaneApp::runMenuCommand(MainMenus::Command command) {
    using C = MainMenus::Command;
    // Hide is not among them: the main window hides itself.
    static constexpr std::pair<C, void (*)(ZolpaneApp&)> commands[] = {
        {C::NewProject, [](ZolpaneApp& app) { app.m_project->NewProject(); }},
        {C::LoadProject, [](ZolpaneApp& app) { app.m_project->LoadProjectCommand(); }},
        {C::SaveProject, [](ZolpaneApp& app) { app.m_project->SaveProjectCommand(); }},
        {C::SaveAs, [](ZolpaneApp& app) { app.m_project->SaveAsCommand(); }},
        {C::ExportHotkeyOverview, [](ZolpaneApp& app) { app.m_project->ExportHotkeyOverviewCommand(); }},
        {C::DeleteProject, [](ZolpaneApp& app) { app.m_project->DeleteProjectCommand(); }},
        {C::MakeDefault, [](ZolpaneApp& app) { app.m_project->MakeDefaultCommand(); }},
        {C::QuickSlots, [](ZolpaneApp& app) { app.m_project->showQuickSlotDialog(); }},
        {C::Exit, [](ZolpaneApp& app) { QTimer::singleShot(ExitMenuDelayMs, &app, &ZolpaneApp::ExitProgram); }},
        {C::Settings, [](ZolpaneApp& app) { app.ShowSettings(); }},
        {C::Help, [](ZolpaneApp&) { UserGuide::open(QCoreApplication::applicationDirPath()); }},
        {C::Wizard, [](ZolpaneApp& app) { app.showWizard(); }},
        {C::Website, [](ZolpaneApp&) { QDesktopServices::openUrl(QUrl(frmAbout::Website)); }},
        {C::Support,
         [](ZolpaneApp&) { QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + frmAbout::SupportAddress)); }},
        {C::About, [](ZolpaneApp& app) { app.showAbout(); }}};
    for (const auto& [each, run] : commands)
        if (each == command)
            run(*this);
}

void ZolpaneApp::showWizard() {
    if (!m_wizard)
        m_wizard = std::make_unique<frmWizard>();
    m_wizard->restart();
    m_wizard->show();
    m_wizard->raise();
}

void ZolpaneApp::showAbout() {
    if (!m_about)
        m_about = std::make_unique<frmAbout>();
    m_about->show();
    m_about->raise();
}
