#include "project/ProjectLifecycle.h"

#include "project/ClipTable.h"
#include "project/HandOverFile.h"
#include "project/HotkeyOverview.h"
#include "project/ProjectReader.h"
#include "project/ProjectView.h"
#include "project/ProjectWriter.h"
#include "project/frmZolProjects.h"
#include "services/AppPaths.h"
#include "services/FileDialogs.h"
#include "services/Messages.h"
#include "services/SafeFiles.h"
#include "services/Settings.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QUrl>

namespace {

const QString Zolpane = QStringLiteral("Zolpane");

// Keeps the hourglass for the length of a command, whatever path it leaves by.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

ProjectLifecycle::ProjectLifecycle(ProjectView& view, ClipTable& table, Settings& settings, const AppPaths& paths,
                                   QObject* parent)
    : QObject(parent), m_view(view), m_table(table), m_settings(settings), m_paths(paths) {
    m_folderWatcher = new QFileSystemWatcher(this);
    m_handOverCheck.setSingleShot(true);
    m_handOverCheck.setInterval(HandOverSettleMs);
    connect(m_folderWatcher, &QFileSystemWatcher::directoryChanged, &m_handOverCheck, qOverload<>(&QTimer::start));
    connect(&m_handOverCheck, &QTimer::timeout, this, &ProjectLifecycle::checkHandOver);
    if (!m_paths.AppFolder.isEmpty())
        m_folderWatcher->addPath(m_paths.AppFolder);
}

void ProjectLifecycle::splitPath(const QString& path, QString* folder, QString* file) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    *folder = path.left(slash + 1);
    *file = path.mid(slash + 1);
}

void ProjectLifecycle::startup(const QString& commandLine) {
    m_newProjectMade = false;
    LoadRecentProjects();
    if (!commandLine.trimmed().isEmpty() && SafeFiles::FileExists(commandLine) && LoadProject(commandLine)) {
        splitPath(QFileInfo(commandLine).absoluteFilePath(), &ProjectPath, &ProjectName);
        m_recent.AddRecentProject(ProjectPath + ProjectName);
        BuildRecentMenu();
    } else {
        LoadDefaultProject();
    }
    // A new project says so instead (when there is no default project to open).
    if (!std::exchange(m_newProjectMade, false))
        m_view.ShowAtStatus(Zolpane);
    LoadQuickSlots();
    RefreshQuickSlotButtons();
    m_view.setDefaultProjectTip(QStringLiteral("Load default project"));
    projectTimerTick();
}

void ProjectLifecycle::CheckChanges() {
    if (m_view.changed()) {
        if (Messages::ShowMessage(QStringLiteral("Warning: You have made unsaved changes in current project. Do you "
                                                 "want to save these changes?"),
                                  MessageKind::Question) == Messages::Yes)
            SaveProjectCommand();
    }
    m_view.setChanged(false);
}

void ProjectLifecycle::NewProject() {
    CheckChanges();
    ProjectName = Blank;
    showTitle();
    m_view.CleanUp();
}

void ProjectLifecycle::MakeNewProject() {
    CheckChanges();
    m_view.CleanUp();
    m_view.setChanged(false);
    m_view.ShowAtStatus(QStringLiteral("New project created."));
    m_newProjectMade = true;
}

bool ProjectLifecycle::LoadProject(const QString& path) {
    if (m_loading)
        return false;
    m_loading = true;
    ProjectReader::LoadResult result;
    {
        BusyCursor busy;
        m_view.ShowAtStatus(QStringLiteral("Please wait..."));
        m_view.viewWidget()->repaint();
        // The reader empties the table only once it has found a project in the file.
        result = ProjectReader::load(path, m_paths.TempFolder, m_table);
        if (result.status == ProjectReader::LoadStatus::Loaded) {
            m_view.setChanged(false);
            m_view.focusFirstRow();
        }
        m_view.ShowAtStatus(QStringLiteral("Ready"));
    }
    m_loading = false;
    if (result.status == ProjectReader::LoadStatus::Missing || result.status == ProjectReader::LoadStatus::NotAProject)
        Messages::ShowError(ProjectReader::MissingFileText, result.error);
    return result.status == ProjectReader::LoadStatus::Loaded;
}

void ProjectLifecycle::SaveProject(const QString& path) {
    ProjectWriter::save(m_table, path, m_paths.TempFolder);
}

void ProjectLifecycle::LoadProjectCommand() {
    QString chosen;
    while (true) {
        chosen = FileDialogs::getOpenFileName(m_view.viewWidget(), QStringLiteral("Load Zolpane Project"), ProjectPath,
                                              ProjectFilter);
        if (chosen.isEmpty())
            return;
        if (QFileInfo::exists(chosen))
            break;
        Messages::ShowMessage(QStringLiteral("The specified file does not exist."), MessageKind::Warning);
    }
    if (m_view.changed())
        CheckChanges();
    QString folder, file;
    splitPath(QFileInfo(chosen).absoluteFilePath(), &folder, &file);
    if (!LoadProject(chosen))
        return;
    ProjectPath = folder;
    ProjectName = file;
    showTitle();
    m_view.setChanged(false);
    m_recent.AddRecentProject(ProjectPath + ProjectName);
    BuildRecentMenu();
    m_view.focusFirstRow();
}

void ProjectLifecycle::SaveProjectCommand() {
    if (ProjectName == Blank) {
        SaveAsCommand();
        return;
    }
    BusyCursor busy;
    m_view.ShowAtStatus(QStringLiteral("Please wait..."));
    SaveProject(ProjectPath + ProjectName);
    m_view.ShowAtStatus(QStringLiteral("Project has been saved"));
    m_view.setChanged(false);
}

void ProjectLifecycle::SaveAsCommand() {
    QString chosen = FileDialogs::getSaveFileName(m_view.viewWidget(), QStringLiteral("Save Zolpane Project"),
                                                  ProjectPath, ProjectFilter);
    if (chosen.isEmpty())
        return;
    if (!chosen.contains(QLatin1Char('.')) || QFileInfo(chosen).suffix().isEmpty())
        chosen += QStringLiteral(".zp");
    QString folder, file;
    splitPath(QFileInfo(chosen).absoluteFilePath(), &folder, &file);
    if (QFileInfo::exists(chosen)) {
        if (Messages::ShowMessage(QStringLiteral("Do you want overwrite ") + file + QStringLiteral("?"),
                                  MessageKind::Question) != Messages::Yes)
            return;
        // The old file is replaced only once the new one is complete.
    }
    ProjectPath = folder;
    {
        BusyCursor busy;
        m_view.ShowAtStatus(QStringLiteral("Please wait..."));
        SaveProject(chosen);
        m_view.ShowAtStatus(QStringLiteral("Project saved"));
    }
    ProjectName = file;
    showTitle();
    m_view.setChanged(false);
    m_recent.AddRecentProject(ProjectPath + ProjectName);
    BuildRecentMenu();
}

void ProjectLifecycle::DeleteProjectCommand() {
    if (ProjectName == Blank || !SafeFiles::FileExists(ProjectPath + ProjectName)) {
        Messages::ShowMessage(QStringLiteral("You can't delete unsaved project. If you want a new project, use New "
                                             "Project menu item."),
                              MessageKind::Warning);
        return;
    }
    if (Messages::ShowMessage(QStringLiteral("Do you really want to delete project ") + ProjectName +
                                  QStringLiteral("?"),
                              MessageKind::Question) == Messages::Yes) {
        QFile::remove(ProjectPath + ProjectName);
        m_view.setChanged(false);
        NewProject();
    }
    m_view.focusFirstRow();
    m_recent.CompactRecentProjects();
    BuildRecentMenu();
}

void ProjectLifecycle::MakeDefaultCommand() {
    if (Messages::ShowMessage(QStringLiteral("Do you really want to make this project default?\r\n\r\nNext time when "
                                             "you start Zolpane, this project will be loaded."),
                              MessageKind::Question) != Messages::Yes)
        return;
    m_settings.WriteSetting(Zolpane, QStringLiteral("DefaultProjectName"), ProjectName);
    m_settings.WriteSetting(Zolpane, QStringLiteral("DefaultProjectPath"), ProjectPath);
    m_view.setDefaultProjectTip(ProjectName);
    m_view.focusFirstRow();
}

void ProjectLifecycle::LoadDefaultProject() {
    CheckChanges();
    QString path = m_settings.ReadSetting(Zolpane, QStringLiteral("DefaultProjectPath"));
    const QString name = m_settings.ReadSetting(Zolpane, QStringLiteral("DefaultProjectName"));
    if (!path.isEmpty())
        path = withSlash(path);
    // Compared without regard to case; but file names here are case-sensitive, so the stored spelling is
    // kept for opening and saving (a lower-cased name would be another file).
    if (ProjectPath.toLower() == path.toLower() && ProjectName.toLower() == name.toLower() && !m_view.changed())
        return;
    m_view.setDefaultProjectTip(name);
    // A default project that is there but no project keeps the current one: saving must not overwrite that file.
    if (!name.isEmpty() && SafeFiles::FileExists(path + name)) {
        if (LoadProject(path + name)) {
            ProjectPath = path;
            ProjectName = name;
        }
        showTitle();
        return;
    }
    const QString fallback = m_paths.ProjectsFolder + QStringLiteral("default.zp");
    if (!SafeFiles::FileExists(fallback)) {
        MakeNewProject();
    } else if (!LoadProject(fallback)) {
        showTitle();
        return;
    }
    splitPath(fallback, &ProjectPath, &ProjectName);
    showTitle();
}

void ProjectLifecycle::handleExit(int exitMode) {
    SaveRecentProjects();
    if (!m_view.changed())
        return;
    if (exitMode == 1) {
        if (Messages::ShowMessage(QStringLiteral("There are some unsaved changes in current Zolpane project. Would "
                                                 "you like to save them?"),
                                  MessageKind::Question) == Messages::Yes)
            SaveProjectCommand();
    } else if (exitMode == 2) {
        SaveProjectCommand();
    }
}

void ProjectLifecycle::projectTimerTick() {
    checkHandOver();
    showTitle();
    showLastWindow();
}

void ProjectLifecycle::checkHandOver() {
    if (m_view.programExiting())
        return;
    const QString handOver = m_paths.loadBuffPath();
    if (!QFileInfo::exists(handOver))
        return;
    // Never blocks on a FIFO nor reads more than a command line's worth.
    const QString line = HandOverFile::read(handOver);
    if (!line.isEmpty() && line != ProjectPath + ProjectName && LoadProject(line)) {
        splitPath(QFileInfo(line).absoluteFilePath(), &ProjectPath, &ProjectName);
        showTitle();
    }
    QFile::remove(handOver);
}

void ProjectLifecycle::showTitle() {
    if (m_view.programExiting())
        return;
    m_view.setProjectTitle(ProjectName != Blank ? QStringLiteral("Zolpane (") + ProjectName + QStringLiteral(")")
                                                : QStringLiteral("Zolpane (new project)"));
}

void ProjectLifecycle::showLastWindow() {
    if (m_view.programExiting())
        return;
    const QString last = lastWindowTitle ? lastWindowTitle().trimmed() : QString();
    m_view.setLastWindowCaption(last.isEmpty() ? QStringLiteral("Last Active Window: Unnamed or N/A")
                                               : QStringLiteral("Last Active Window: ") + last);
}

void ProjectLifecycle::LoadRecentProjects() {
    for (int i = 1; i <= RecentProjects::Count; ++i)
        m_recent.setEntry(i, m_settings.ReadSetting(Zolpane, QStringLiteral("RecentProject%1").arg(i)));
    m_recent.CompactRecentProjects();
    BuildRecentMenu();
}

void ProjectLifecycle::SaveRecentProjects() {
    for (int i = 1; i <= RecentProjects::Count; ++i)
        m_settings.WriteSetting(Zolpane, QStringLiteral("RecentProject%1").arg(i), m_recent.entry(i));
}

void ProjectLifecycle::BuildRecentMenu() {
    for (int i = 1; i <= RecentProjects::Count; ++i) {
        const QString& entry = m_recent.entry(i);
        m_view.setRecentEntry(i, entry.isEmpty() ? QStringLiteral("(none)") : RecentProjects::ShortCaption(entry),
                              !entry.isEmpty());
    }
    m_view.setRecentMenuEnabled(!m_recent.isEmpty());
}

void ProjectLifecycle::OpenRecentProject(int i) {
    CheckChanges();
    const QString path = m_recent.entry(i);
    if (!path.isEmpty() && SafeFiles::FileExists(path)) {
        QString folder, file;
        splitPath(path, &folder, &file);
        if (!(file == ProjectName && folder == ProjectPath && !m_view.changed()) && LoadProject(folder + file)) {
            ProjectName = file;
            ProjectPath = folder;
            showTitle();
            m_recent.AddRecentProject(folder + file);
        }
        BuildRecentMenu();
        return;
    }
    Messages::ShowError(QStringLiteral("Sorry, this project was deleted."));
    BuildRecentMenu();
}

void ProjectLifecycle::LoadQuickSlots() {
    for (int i = 1; i <= 8; ++i) {
        const QString path =
            m_settings.ReadSetting(QStringLiteral("ZolProjects"), QStringLiteral("ZolProject%1").arg(i));
        QuickSlots[size_t(i)] = SafeFiles::FileExists(path) ? path : QString();
    }
}

void ProjectLifecycle::SaveQuickSlots() {
    for (int i = 1; i <= 8; ++i) {
        const QString& path = QuickSlots[size_t(i)];
        if (!path.isEmpty() && SafeFiles::FileExists(path))
            m_settings.WriteSetting(QStringLiteral("ZolProjects"), QStringLiteral("ZolProject%1").arg(i), path);
    }
}

void ProjectLifecycle::RefreshQuickSlotButtons() {
    for (int i = 1; i <= 8; ++i) {
        const QString& path = QuickSlots[size_t(i)];
        const bool usable = !path.isEmpty() && SafeFiles::FileExists(path);
        m_view.setQuickSlot(i, usable, usable ? RecentProjects::ShortCaption(path) : QString());
    }
}

void ProjectLifecycle::OpenQuickSlot(int slot) {
    if (slot < 1 || slot > 8)
        return;
    const QString path = QuickSlots[size_t(slot)];
    if (path.isEmpty() || !SafeFiles::FileExists(path))
        return;
    QString folder, file;
    splitPath(path, &folder, &file);
    if ((folder == ProjectPath && file == ProjectName) || !LoadProject(path))
        return;
    ProjectPath = folder;
    ProjectName = file;
    showTitle();
}

void ProjectLifecycle::showQuickSlotDialog() {
    // One dialog: a second request brings the open one forward, keeping what was entered in it.
    if (m_quickSlotDialog) {
        m_quickSlotDialog->raise();
        m_quickSlotDialog->activateWindow();
        return;
    }
    m_view.dropTopMost();
    auto* dialog = new frmZolProjects(QuickSlots, ProjectPath, m_view.viewWidget());
    m_quickSlotDialog = dialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(
        dialog, &frmZolProjects::accepted, this,
        [this, dialog] {
            QuickSlots = dialog->slots();
            SaveQuickSlots();
            RefreshQuickSlotButtons();
        });
    connect(dialog, &QDialog::finished, this, [this] { m_view.restoreTopMost(); });
    dialog->show();
}

void ProjectLifecycle::ExportHotkeyOverviewCommand() {
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
    for (int i = 1; clipHotkey && i <= ClipTable::ClipCount; ++i)
        std::tie(hotkeys[size_t(i)].mod, hotkeys[size_t(i)].key) = clipHotkey(i);
    if (!HotkeyOverview::WriteHotkeyOverview(chosen, ProjectName, m_table, hotkeys)) {
        m_view.ShowAtStatus(QStringLiteral("Unable to save hotkey overview"));
        return;
    }
    m_view.ShowAtStatus(QStringLiteral("Overview Saved"));
    if (Messages::ShowMessage(QStringLiteral("Do you want to open the overview with your browser so you can view it "
                                             "and print it?"),
                              MessageKind::Question) == Messages::Yes)
        QDesktopServices::openUrl(QUrl::fromLocalFile(chosen));
}
