#include "project/ProjectLifecycle.h"

#include "project/BusyCursor.h"
#include "project/HandOverFile.h"
#include "project/ProjectReader.h"
#include "project/ProjectView.h"
#include "project/ProjectWriter.h"
#include "services/AppPaths.h"
#include "services/Messages.h"
#include "services/SafeFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>

ProjectLifecycle::ProjectLifecycle(ProjectView& view, ClipTable& table, Settings& settings, const AppPaths& paths,
                                   QObject* parent)
    : QObject(parent), m_files(*this, view, table, settings, paths), m_recent(*this, view, table, settings, paths),
      m_quickSlots(*this, view, table, settings, paths), m_default(*this, view, table, settings, paths),
      m_overview(*this, view, table, settings, paths), clipHotkey(m_overview.clipHotkey),
      clipDesktopBinding(m_overview.clipDesktopBinding),
      QuickSlots(m_quickSlots.QuickSlots), m_view(view), m_table(table), m_paths(paths) {
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
    m_files.takeNewProjectMade();
    LoadRecentProjects();
    if (!commandLine.trimmed().isEmpty() && SafeFiles::FileExists(commandLine) &&
        openProject(commandLine, Naming::Absolute))
        rememberRecent(ProjectPath + ProjectName);
    else
        LoadDefaultProject();
    // A new project says so instead (when there is no default project to open).
    if (!m_files.takeNewProjectMade())
        m_view.ShowAtStatus(QStringLiteral("Zolpane"));
    LoadQuickSlots();
    RefreshQuickSlotButtons();
    m_view.setDefaultProjectTip(QStringLiteral("Load default project"));
    projectTimerTick();
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

bool ProjectLifecycle::openProject(const QString& path, const QString& folder, const QString& file) {
    const bool loaded = LoadProject(path);
    if (loaded) {
        ProjectPath = folder;
        ProjectName = file;
    }
    showTitle();
    return loaded;
}

bool ProjectLifecycle::openProject(const QString& path, Naming naming) {
    QString folder, file;
    splitPath(naming == Naming::Absolute ? QFileInfo(path).absoluteFilePath() : path, &folder, &file);
    return openProject(path, folder, file);
}

bool ProjectLifecycle::isOpen(const QString& path) const {
    QString folder, file;
    splitPath(path, &folder, &file);
    return folder == ProjectPath && file == ProjectName;
}

bool ProjectLifecycle::LoadProject(const QString& path) {
    // A load already running (reached again from the events it lets run) returns at once, status line untouched.
    if (ProjectReader::loading())
        return false;
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
    if (result.status == ProjectReader::LoadStatus::Missing || result.status == ProjectReader::LoadStatus::NotAProject)
        Messages::ShowError(ProjectReader::MissingFileText, result.error);
    return result.status == ProjectReader::LoadStatus::Loaded;
}

void ProjectLifecycle::SaveProject(const QString& path) {
    // A failed save has shown its box; as designed, the commands around it still report success and clear Changed.
    ProjectWriter::save(m_table, path, m_paths.TempFolder);
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
    if (!line.isEmpty() && line != ProjectPath + ProjectName)
        openProject(line, Naming::Absolute);
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
