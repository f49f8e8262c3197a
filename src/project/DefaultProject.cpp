#include "project/DefaultProject.h"

#include "project/ProjectLifecycle.h"
#include "project/ProjectView.h"
#include "services/AppPaths.h"
#include "services/Messages.h"
#include "services/SafeFiles.h"
#include "services/Settings.h"

namespace {

const QString Zolpane = QStringLiteral("Zolpane");

} // namespace

void DefaultProject::MakeDefaultCommand() {
    if (Messages::ShowMessage(QStringLiteral("Do you really want to make this project default?\r\n\r\nNext time when "
                                             "you start Zolpane, this project will be loaded."),
                              MessageKind::Question) != Messages::Yes)
        return;
    m_settings.WriteSetting(Zolpane, QStringLiteral("DefaultProjectName"), m_project.ProjectName);
    m_settings.WriteSetting(Zolpane, QStringLiteral("DefaultProjectPath"), m_project.ProjectPath);
    m_view.setDefaultProjectTip(m_project.ProjectName);
    m_view.focusFirstRow();
}

void DefaultProject::LoadDefaultProject() {
    m_project.CheckChanges();
    QString path = m_settings.ReadSetting(Zolpane, QStringLiteral("DefaultProjectPath"));
    const QString name = m_settings.ReadSetting(Zolpane, QStringLiteral("DefaultProjectName"));
    if (!path.isEmpty())
        path = withSlash(path);
    // Compared without regard to case; but file names here are case-sensitive, so the stored spelling is
    // kept for opening and saving (a lower-cased name would be another file).
    if (m_project.ProjectPath.toLower() == path.toLower() && m_project.ProjectName.toLower() == name.toLower() &&
        !m_view.changed())
        return;
    m_view.setDefaultProjectTip(name);
    // A default project that is there but no project keeps the current one: saving must not overwrite that file.
    if (!name.isEmpty() && SafeFiles::FileExists(path + name)) {
        m_project.openProject(path + name, path, name);
        return;
    }
    const QString fallback = m_paths.ProjectsFolder + QStringLiteral("default.zp");
    if (SafeFiles::FileExists(fallback)) {
        m_project.openProject(fallback);
        return;
    }
    // The new project bears the fallback's name: Save project writes it there without a dialog.
    m_project.MakeNewProject();
    ProjectLifecycle::splitPath(fallback, &m_project.ProjectPath, &m_project.ProjectName);
    m_project.showTitle();
}
