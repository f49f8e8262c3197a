#include "startup/Autostart.h"

#include "services/AtomicFile.h"
#include "services/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace {

QString xdgFolder(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() ? QDir::homePath() + fallback : value;
}

QString configHome() {
    return xdgFolder("XDG_CONFIG_HOME", QStringLiteral("/.config"));
}
QString dataHome() {
    return xdgFolder("XDG_DATA_HOME", QStringLiteral("/.local/share"));
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the file only when its content differs; true when it was written.
bool writeIfChanged(const QString& path, const QByteArray& content) {
    if (QFileInfo::exists(path) && readAll(path) == content)
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return AtomicFile::write(path, content);
}

void runIfPresent(const QString& program, const QStringList& arguments) {
    const QString found = QStandardPaths::findExecutable(program);
    if (!found.isEmpty())
        QProcess::startDetached(found, arguments);
}

const QString MimeType = QStringLiteral("application/x-zolpane-project");

// Makes desktopId the default application for the project type in a mimeapps.list, keeping the user's other
// choices; true when the file was written.
bool setDefaultHandler(const QString& listPath, const QString& desktopId) {
    const QByteArray wanted = MimeType.toUtf8() + '=' + desktopId.toUtf8() + ';';
    bool listChanged = false;
    QList<QByteArray> lines = readAll(listPath).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    qsizetype group = -1;
    bool found = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.startsWith('[')) {
            if (group >= 0)
                break;
            if (line == "[Default Applications]")
                group = i;
            continue;
        }
        if (group >= 0 && line.startsWith(MimeType.toUtf8() + '=')) {
            found = true;
            if (line != wanted) {
                lines[i] = wanted;
                listChanged = true;
            }
        }
    }
    if (!found) {
        if (group < 0) {
            lines.append("[Default Applications]");
            group = lines.size() - 1;
        }
        lines.insert(group + 1, wanted);
        listChanged = true;
    }
    return listChanged && writeIfChanged(listPath, lines.join('\n') + '\n');
}

} // namespace

const QString Autostart::ApplicationId = QStringLiteral("io.github.zolpane.Zolpane");

Autostart::Autostart(Settings& settings, const QString& executablePath, QObject* parent)
    : QObject(parent), m_settings(settings), m_executable(executablePath) {}

QString Autostart::autostartEntryPath() const {
    return configHome() + QStringLiteral("/autostart/ZolpaneSW.desktop");
}
QString Autostart::mimePackagePath() const {
    return dataHome() + QStringLiteral("/mime/packages/zolpane.xml");
}
QString Autostart::desktopEntryPath() const {
    return dataHome() + QStringLiteral("/applications/Zolpane.desktop");
}
QString Autostart::mimeAppsListPath() const {
    return configHome() + QStringLiteral("/mimeapps.list");
}

QString Autostart::GetRegString(const QString& file, const QString& key) {
    const QList<QByteArray> lines = readAll(file).split('\n');
    bool inGroup = false;
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        if (inGroup && line.startsWith(key.toUtf8() + '='))
            return QString::fromUtf8(line.mid(key.toUtf8().size() + 1));
    }
    return {};
}

bool Autostart::SetRegString(const QString& file, const QString& key, const QString& value) {
    QList<QByteArray> lines = readAll(file).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QByteArray entry = key.toUtf8() + '=' + value.toUtf8();
    qsizetype group = -1;
    qsizetype insertAt = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.startsWith('[')) {
            if (group >= 0)
                break;
            if (line == "[Desktop Entry]")
                group = i, insertAt = i + 1;
            continue;
        }
        if (group < 0)
            continue;
        if (line.startsWith(key.toUtf8() + '=')) {
            lines[i] = entry;
            writeIfChanged(file, lines.join('\n') + '\n');
            return true;
        }
        if (!line.isEmpty())
            insertAt = i + 1;
    }
    if (group < 0) {
        lines.prepend("[Desktop Entry]");
        insertAt = 1;
    }
    lines.insert(insertAt, entry);
    writeIfChanged(file, lines.join('\n') + '\n');
    return true;
}

bool Autostart::DeleteRegValue(const QString& file, const QString& key) {
    // The autostart entry holds one value that matters; deleting it removes the entry file.
    Q_UNUSED(key);
    return QFile::remove(file);
}

void Autostart::EnableRunAtStartup() {
    m_checked = true;
    Q_EMIT runAtStartupChecked(true);
    m_settings.WriteSetting(QStringLiteral("General"), QStringLiteral("RunOnStartup"), QStringLiteral("1"));
    const QByteArray entry = "[Desktop Entry]\nType=Application\nName=Zolpane\nComment=Clip pasting tool\n"
                             "Exec=\"" +
                             m_executable.toUtf8() + "\" nowindow\nIcon=" + desktopIcon().toUtf8() +
                             "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
    writeIfChanged(autostartEntryPath(), entry);
}

void Autostart::DisableRunAtStartup() {
    m_checked = false;
    Q_EMIT runAtStartupChecked(false);
    if (GetRunValue().isEmpty())
        return;
    m_settings.WriteSetting(QStringLiteral("General"), QStringLiteral("RunOnStartup"), QStringLiteral("0"));
    DeleteRegValue(autostartEntryPath(), QStringLiteral("Exec"));
}

QString Autostart::GetRunValue() const {
    return GetRegString(autostartEntryPath(), QStringLiteral("Exec"));
}

QString Autostart::desktopIcon() const {
    if (!installedDesktopEntry().isEmpty())
        return QStringLiteral("zolpane");
    // No icon theme holds this copy's icon: the program's own, written into its folder, is named by its path.
    const QString path = m_settings.paths().AppFolder + QStringLiteral("zolpane.svg");
    QFile icon(QStringLiteral(":/icons/zolpane.svg"));
    if (icon.open(QIODevice::ReadOnly) && (writeIfChanged(path, icon.readAll()) || QFileInfo(path).isFile()))
        return path;
    return QStringLiteral("zolpane");
}

QString Autostart::installedDesktopEntry() const {
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share/:/usr/share/");
    const QFileInfo executable(m_executable);
    for (const QString& dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (!QDir::isAbsolutePath(dir))
            continue;
        const QString entry = QDir(dir).filePath(QStringLiteral("applications/") + ApplicationId + ".desktop");
        const QFileInfo installed(QDir(dir).filePath(QStringLiteral("../bin/") + executable.fileName()));
        if (QFileInfo::exists(entry) && installed.exists() &&
            installed.canonicalFilePath() == executable.canonicalFilePath())
            return entry;
    }
    return {};
}

bool Autostart::RegisterFileType(const QString& className, const QString& extension, const QString& description,
                                 const QString& iconPath) {
    // An installed program's desktop entry and MIME package are in place; a second, per-user launcher would only
    // show twice in the desktop's menus.
    if (!installedDesktopEntry().isEmpty())
        return setDefaultHandler(mimeAppsListPath(), ApplicationId + QStringLiteral(".desktop"));

    const QByteArray mime = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                            "  <mime-type type=\"" +
                            MimeType.toUtf8() + "\">\n    <comment>" + description.toHtmlEscaped().toUtf8() +
                            "</comment>\n    <glob pattern=\"*." + extension.toUtf8() +
                            "\"/>\n  </mime-type>\n</mime-info>\n";
    const QByteArray desktop = "[Desktop Entry]\nType=Application\nName=" + className.toUtf8() +
                               "\nComment=" + description.toUtf8() + "\nExec=\"" + m_executable.toUtf8() +
                               "\" %f\nIcon=" + iconPath.toUtf8() + "\nMimeType=" + MimeType.toUtf8() +
                               ";\nTerminal=false\nCategories=Utility;\n";
    const bool mimeChanged = writeIfChanged(mimePackagePath(), mime);
    const bool desktopChanged = writeIfChanged(desktopEntryPath(), desktop);
    const bool listChanged = setDefaultHandler(mimeAppsListPath(), QStringLiteral("Zolpane.desktop"));

    if (mimeChanged)
        runIfPresent(QStringLiteral("update-mime-database"), {dataHome() + QStringLiteral("/mime")});
    if (desktopChanged)
        runIfPresent(QStringLiteral("update-desktop-database"), {dataHome() + QStringLiteral("/applications")});
    return mimeChanged || desktopChanged || listChanged;
}
