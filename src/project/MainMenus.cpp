#include "project/MainMenus.h"

#include "services/Settings.h"
#include "widgets/MenuIcons.h"
#include "widgets/TextCommandMenu.h"

#include <QMenuBar>

namespace {

QAction* action(QMenu* menu, const char* name, const QString& caption, const char* iconKey = nullptr) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    if (iconKey)
        a->setIcon(MenuIcons::icon(iconKey));
    return a;
}

} // namespace

MainMenus::MainMenus(QMenuBar* bar, Settings& settings) : QObject(bar) {
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuNewProject = action(mnuFile, "mnuNewProject", QStringLiteral("&New Project"), "DOCUMENT");
    mnuLoadProject = action(mnuFile, "mnuLoadProject", QStringLiteral("&Load Project"), "OPEN");
    mnuSaveProject = action(mnuFile, "mnuSaveProject", QStringLiteral("&Save Project"), "SAVE");
    mnuSaveAs = action(mnuFile, "mnuSaveAs", QStringLiteral("&Save Project as..."));
    mnuFile->addSeparator();
    mnuRecentProjects = mnuFile->addMenu(QStringLiteral("&Recent Projects"));
    mnuRecentProjects->setObjectName(QStringLiteral("mnuRecentProjects"));
    mnuRProject.fill(nullptr, 11);
    for (int k = 1; k <= 10; ++k) {
        mnuRProject[k] = mnuRecentProjects->addAction(QStringLiteral("(none)"));
        mnuRProject[k]->setObjectName(QStringLiteral("mnuRProject(%1)").arg(k));
    }
    mnuExportHotkeyOverview =
        action(mnuFile, "mnuExportHotkeyOverview", QStringLiteral("&Export Hotkey Overview"), "EXPORTCURRENT");
    mnuFile->addSeparator();
    mnuDeleteProject = action(mnuFile, "mnuDeleteProject", QStringLiteral("&Delete Project"), "DELETE");
    mnuMakeDefault = action(mnuFile, "mnuMakeDefault", QStringLiteral("&Make This Project Default"), "STAR");
    mnuFile->addSeparator();
    mnuClose = action(mnuFile, "mnuClose", QStringLiteral("&Hide Zolpane"), "TRAY");
    mnuExit = action(mnuFile, "mnuExit", QStringLiteral("E&xit Zolpane"), "EXIT");

    mnuOptions = bar->addMenu(QStringLiteral("&Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuSettings = action(mnuOptions, "mnuSettings", QStringLiteral("&Settings"), "WRENCH");
    mnuZolProjects = action(mnuOptions, "mnuZolProjects", QStringLiteral("&ZolProjects Configuration"), "WRENCH");
    mnuOptions->addSeparator();
    mnuMinimizeOnCopy = action(mnuOptions, "mnuMinimizeOnCopy", QStringLiteral("&Minimize On Copy"));
    mnuHideOnCopy = action(mnuOptions, "mnuHideOnCopy", QStringLiteral("&Hide On Copy"));
    mnuAutoPaste = action(mnuOptions, "mnuAutoPaste", QStringLiteral("&Auto Paste In Last Active Aplication"));
    // The check marks show the copy options held by the settings; a click changes them there.
    for (QAction* a : {mnuMinimizeOnCopy, mnuHideOnCopy, mnuAutoPaste})
        a->setCheckable(true);
    connect(
        mnuMinimizeOnCopy, &QAction::toggled, this, [&settings](bool on) { settings.MinimizeOnCopy = on; });
    connect(
        mnuHideOnCopy, &QAction::toggled, this, [&settings](bool on) { settings.HideOnCopy = on; });
    connect(mnuAutoPaste, &QAction::toggled, this, [&settings](bool on) { settings.AutoPaste = on; });

    mnuClipboard = bar->addMenu(QStringLiteral("&Clipboard"));
    mnuClipboard->setObjectName(QStringLiteral("mnuClipboard"));
    mnuCaseConversion = mnuClipboard->addMenu(QStringLiteral("C&ase Conversion"));
    mnuCaseConversion->setObjectName(QStringLiteral("mnuCaseConversion"));
    const auto run = [this](const QString& name) { Q_EMIT clipboardCommand(name); };
    TextCommandMenu::addCaseItems(mnuCaseConversion, this, run);
    mnuCopyToClipboard = mnuClipboard->addMenu(QStringLiteral("&Copy To Clipboard"));
    mnuCopyToClipboard->setObjectName(QStringLiteral("mnuCopyToClipboard"));
    mnuCopyToClipboard->setIcon(MenuIcons::icon("COPY"));
    TextCommandMenu::addDateTimeItems(mnuCopyToClipboard, this, run);
    TextCommandMenu::addTextItems(mnuClipboard, this, run);
    mnuClipboard->addSeparator()->setObjectName(QStringLiteral("mnuSeperator334"));
    mnuCleanClipboard = action(mnuClipboard, "mnuCleanClipboard", QStringLiteral("&Clean Clipboard"), "RECYCLE");

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpZP = action(mnuHelp, "mnuHelpZP", QStringLiteral("&Help"), "HELP");
    mnuQuickWizard = action(mnuHelp, "mnuQuickWizard", QStringLiteral("Quick Overview &Wizard"), "HELP");
    mnuHelp->addSeparator();
    mnuWebsite = action(mnuHelp, "mnuWebsite", QStringLiteral("Zolpane &Website"), "NET");
    mnuTechSupport = action(mnuHelp, "mnuTechSupport", QStringLiteral("Write To &Support"), "EMAIL");
    mnuHelp->addSeparator();
    mnuAbout = action(mnuHelp, "mnuAbout", QStringLiteral("&About Zolpane"), "INFO");

    const std::pair<QAction*, Command> commands[] = {{mnuNewProject, Command::NewProject},
                                                     {mnuLoadProject, Command::LoadProject},
                                                     {mnuSaveProject, Command::SaveProject},
                                                     {mnuSaveAs, Command::SaveAs},
                                                     {mnuExportHotkeyOverview, Command::ExportHotkeyOverview},
                                                     {mnuDeleteProject, Command::DeleteProject},
                                                     {mnuMakeDefault, Command::MakeDefault},
                                                     {mnuClose, Command::Hide},
                                                     {mnuExit, Command::Exit},
                                                     {mnuSettings, Command::Settings},
                                                     {mnuZolProjects, Command::QuickSlots},
                                                     {mnuHelpZP, Command::Help},
                                                     {mnuQuickWizard, Command::Wizard},
                                                     {mnuWebsite, Command::Website},
                                                     {mnuTechSupport, Command::Support},
                                                     {mnuAbout, Command::About}};
    for (const auto& [a, command] : commands)
        connect(a, &QAction::triggered, this, [this, c = command] { Q_EMIT triggered(c); });
    for (int k = 1; k <= 10; ++k)
        connect(
            mnuRProject[k], &QAction::triggered, this, [this, k] { Q_EMIT recentProjectChosen(k); });
    connect(mnuCleanClipboard, &QAction::triggered, this, [run] { run(QStringLiteral("mnuCleanClipboard")); });
    mnuRecentProjects->setEnabled(false);
    mnuHelpZP->setEnabled(false); // until the guide is found
    showCopyOptions(settings);
}

void MainMenus::showCopyOptions(const Settings& settings) {
    mnuMinimizeOnCopy->setChecked(settings.MinimizeOnCopy);
    mnuHideOnCopy->setChecked(settings.HideOnCopy);
    mnuAutoPaste->setChecked(settings.AutoPaste);
}

void MainMenus::setRecentEntry(int i, const QString& caption, bool enabled) {
    if (i < 1 || i > 10)
        return;
    mnuRProject[i]->setText(caption);
    mnuRProject[i]->setEnabled(enabled);
}

void MainMenus::setEnabled(bool enabled) {
    for (QMenu* m : {mnuFile, mnuOptions, mnuHelp})
        m->menuAction()->setEnabled(enabled);
}

void MainMenus::setRecentMenuEnabled(bool enabled) {
    mnuRecentProjects->setEnabled(enabled);
}

void MainMenus::setHelpAvailable(bool available) {
    mnuHelpZP->setEnabled(available);
}
