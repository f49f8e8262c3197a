#pragma once

#include "project/ProjectPart.h"

#include <utility>

// The commands on the project file itself: new, load, save, save as and delete, and the question about unsaved
// changes that comes before replacing the rows.
class ProjectFileCommands final : public ProjectPart {
public:
    using ProjectPart::ProjectPart;

    void CheckChanges();
    void NewProject();
    // The empty project the default project falls back to; says so in the status line.
    void MakeNewProject();
    void LoadProjectCommand();
    void SaveProjectCommand();
    void SaveAsCommand();
    void DeleteProjectCommand();

    // Whether MakeNewProject() ran since the last call: its status then stays instead of the start-up's.
    bool takeNewProjectMade() { return std::exchange(m_newProjectMade, false); }

private:
    bool m_newProjectMade = false;
};
