#include "project/ProjectFileCommands.h"

#include "project/BusyCursor.h"
#include "project/ProjectLifecycle.h"
#include "project/ProjectView.h"
#include "services/FileDialogs.h"
#include "services/Messages.h"
#include "services/SafeFiles.h"

#include <QFile>
#include <QFileInfo>

void ProjectFileCommands::CheckChanges() {
    if (m_view.changed()) {
        if (Messages::ShowMessage(QStringLiteral("Warning: You have made unsaved changes in current project. Do you "
                                                 "want to save these changes?"),
                                  MessageKind::Question) == Messages::Yes)
            SaveProjectCommand();
    }
    m_view.setChanged(false);
}

void ProjectFileCommands::NewProject() {
    CheckChanges();
    m_project.ProjectName = ProjectLifecycle::Blank;
    m_project.showTitle();
    m_view.CleanUp();
}

void ProjectFileCommands::MakeNewProject() {
    CheckChanges();
    m_view.CleanUp();
    m_view.setChanged(false);
    m_view.ShowAtStatus(QStringLiteral("New project created."));
    m_newProjectMade = true;
}

void ProjectFileCommands::LoadProjectCommand() {
    QString chosen;
    while (true) {
        chosen = FileDialogs::getOpenFileName(m_view.viewWidget(), QStringLiteral("Load Zolpane Project"),
                                              m_project.ProjectPath, ProjectLifecycle::ProjectFilter);
        if (chosen.isEmpty())
            return;
        if (QFileInfo::exists(chosen))
            break;
        Messages::ShowMessage(QStringLiteral("The specified file does not exist."), MessageKind::Warning);
    }
    if (m_view.changed())
        CheckChanges();
    if (!m_project.openProject(chosen, ProjectLifecycle::Naming::Absolute))
        return;
    m_view.setChanged(false);
    m_project.rememberRecent(m_project.ProjectPath + m_project.ProjectName);
    m_view.focusFirstRow();
}

void ProjectFileCommands::SaveProjectCommand() {
    if (m_project.ProjectName == ProjectLifecycle::Blank) {
        SaveAsCommand();
        return;
    }
    BusyCursor busy;
    m_view.ShowAtStatus(QStringLiteral("Please wait..."));
    m_project.SaveProject(m_project.ProjectPath + m_project.ProjectName);
    m_view.ShowAtStatus(QStringLiteral("Project has been saved"));
    m_view.setChanged(false);
}

void ProjectFileCommands::SaveAsCommand() {
    QString chosen = FileDialogs::getSaveFileName(m_view.viewWidget(), QStringLiteral("Save Zolpane Project"),
                                                  m_project.ProjectPath, ProjectLifecycle::ProjectFilter);
    if (chosen.isEmpty())
        return;
    if (!chosen.contains(QLatin1Char('.')) || QFileInfo(chosen).suffix().isEmpty())
        chosen += QStringLiteral(".zp");
    QString folder, file;
    ProjectLifecycle::splitPath(QFileInfo(chosen).absoluteFilePath(), &folder, &file);
    if (QFileInfo::exists(chosen)) {
        if (Messages::ShowMessage(QStringLiteral("Do you want overwrite ") + file + QStringLiteral("?"),
                                  MessageKind::Question) != Messages::Yes)
            return;
        // The old file is replaced only once the new one is complete.
    }
    m_project.ProjectPath = folder;
    {
        BusyCursor busy;
        m_view.ShowAtStatus(QStringLiteral("Please wait..."));
        m_project.SaveProject(chosen);
        m_view.ShowAtStatus(QStringLiteral("Project saved"));
    }
    m_project.ProjectName = file;
    m_project.showTitle();
    m_view.setChanged(false);
    m_project.rememberRecent(m_project.ProjectPath + m_project.ProjectName);
}

void ProjectFileCommands::DeleteProjectCommand() {
    if (m_project.ProjectName == ProjectLifecycle::Blank ||
        !SafeFiles::FileExists(m_project.ProjectPath + m_project.ProjectName)) {
        Messages::ShowMessage(QStringLiteral("You can't delete unsaved project. If you want a new project, use New "
                                             "Project menu item."),
                              MessageKind::Warning);
        return;
    }
    if (Messages::ShowMessage(QStringLiteral("Do you really want to delete project ") + m_project.ProjectName +
                                  QStringLiteral("?"),
                              MessageKind::Question) == Messages::Yes) {
        QFile::remove(m_project.ProjectPath + m_project.ProjectName);
        m_view.setChanged(false);
        NewProject();
    }
    m_view.focusFirstRow();
    m_project.recent().CompactRecentProjects();
    m_project.BuildRecentMenu();
}
