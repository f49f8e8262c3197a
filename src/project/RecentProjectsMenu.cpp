#include "project/RecentProjectsMenu.h"

#include "project/ProjectLifecycle.h"
#include "project/ProjectView.h"
#include "services/Messages.h"
#include "services/SafeFiles.h"
#include "services/Settings.h"

namespace {

QString entryKey(int i) {
    return QStringLiteral("RecentProject%1").arg(i);
}

} // namespace

void RecentProjectsMenu::LoadRecentProjects() {
    for (int i = 1; i <= RecentProjects::Count; ++i)
        m_recent.setEntry(i, m_settings.ReadSetting(QStringLiteral("Zolpane"), entryKey(i)));
    m_recent.CompactRecentProjects();
    BuildRecentMenu();
}

void RecentProjectsMenu::SaveRecentProjects() {
    for (int i = 1; i <= RecentProjects::Count; ++i)
        m_settings.WriteSetting(QStringLiteral("Zolpane"), entryKey(i), m_recent.entry(i));
}

void RecentProjectsMenu::BuildRecentMenu() {
    for (int i = 1; i <= RecentProjects::Count; ++i) {
        const QString& entry = m_recent.entry(i);
        m_view.setRecentEntry(i, entry.isEmpty() ? QStringLiteral("(none)") : RecentProjects::ShortCaption(entry),
                              !entry.isEmpty());
    }
    m_view.setRecentMenuEnabled(!m_recent.isEmpty());
}

void RecentProjectsMenu::remember(const QString& path) {
    m_recent.AddRecentProject(path);
    BuildRecentMenu();
}

void RecentProjectsMenu::OpenRecentProject(int i) {
    m_project.CheckChanges();
    const QString path = m_recent.entry(i);
    if (path.isEmpty() || !SafeFiles::FileExists(path)) {
        Messages::ShowError(QStringLiteral("Sorry, this project was deleted."));
        BuildRecentMenu();
        return;
    }
    const bool alreadyOpen = m_project.isOpen(path) && !m_view.changed();
    if (!alreadyOpen && m_project.openProject(path))
        m_recent.AddRecentProject(path);
    BuildRecentMenu();
}
