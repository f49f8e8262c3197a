#pragma once

class ClipTable;
class ProjectLifecycle;
class ProjectView;
class Settings;
struct AppPaths;

// What each part of the project commands works with: the open project it acts on, the window that shows it, the
// clip table, the settings and the program's folders.
class ProjectPart {
public:
    ProjectPart(ProjectLifecycle& project, ProjectView& view, ClipTable& table, Settings& settings,
                const AppPaths& paths)
        : m_project(project), m_view(view), m_table(table), m_settings(settings), m_paths(paths) {}

protected:
    ProjectLifecycle& m_project;
    ProjectView& m_view;
    ClipTable& m_table;
    Settings& m_settings;
    const AppPaths& m_paths;
};
