#pragma once

#include "project/ProjectPart.h"
#include "project/RecentProjects.h"

// The recent-project list as the settings keep it and the menu shows it, and opening one of its entries.
class RecentProjectsMenu final : public ProjectPart {
public:
    using ProjectPart::ProjectPart;

    RecentProjects& list() { return m_recent; }
    void LoadRecentProjects();
    void SaveRecentProjects();
    void BuildRecentMenu();
    void OpenRecentProject(int i);
    // Puts path first, in the list and the menu.
    void remember(const QString& path);

private:
    RecentProjects m_recent;
};
