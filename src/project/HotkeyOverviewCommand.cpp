#include "project/HotkeyOverviewCommand.h"

#include "project/BusyCursor.h"
#include "project/ClipTable.h"
#include "project/HotkeyOverview.h"
#include "project/ProjectLifecycle.h"
#include "project/ProjectView.h"
#include "services/AppPaths.h"
#include "services/FileDialogs.h"
#include "services/Messages.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void HotkeyOverviewCommand::ExportHotkeyOverviewCommand() {
    const QString chosen = FileDialogs::getSaveFileName(m_view.viewWidget(), QStringLiteral("Save Hotkey Overview"),
                                                        m_paths.AppFolder + QStringLiteral("hotkeys.html"),
                                                        QStringLiteral("HTML files (*.html)"));
    if (chosen.isEmpty())
        return;
    if (QFileInfo::exists(chosen)) {
        if (Messages::ShowMessage(QStringLiteral("Do you want overwrite ") + QFileInfo(chosen).fileName() +
                                      QStringLiteral("?"),
                                  MessageKind::Question) != Messages::Yes)
            return;
    }
    BusyCursor busy;
    m_view.ShowAtStatus(QStringLiteral("Please wait..."));
    HotkeyOverview::Hotkeys hotkeys{};
    for (int i = 1; clipHotkey && i <= ClipTable::ClipCount; ++i) {
        std::tie(hotkeys[size_t(i)].mod, hotkeys[size_t(i)].key) = clipHotkey(i);
        if (clipDesktopBinding && hotkeys[size_t(i)].mod && hotkeys[size_t(i)].key)
            hotkeys[size_t(i)].desktopKeys = clipDesktopBinding(i);
    }
    if (!HotkeyOverview::WriteHotkeyOverview(chosen, m_project.ProjectName, m_table, hotkeys)) {
        m_view.ShowAtStatus(QStringLiteral("Unable to save hotkey overview"));
        return;
    }
    m_view.ShowAtStatus(QStringLiteral("Overview Saved"));
    if (Messages::ShowMessage(QStringLiteral("Do you want to open the overview with your browser so you can view it "
                                             "and print it?"),
                              MessageKind::Question) == Messages::Yes)
        QDesktopServices::openUrl(QUrl::fromLocalFile(chosen));
}
