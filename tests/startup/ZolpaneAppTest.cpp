#include "startup/ZolpaneApp.h"
#include "services/AppPaths.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "startup/Autostart.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

// The start-up's hand-over of a project to a running instance, and the desktop integration.
class ZolpaneAppTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Messages::setUnattended(true); }

    void handOverAndTwipQuestion() {
        QTemporaryDir dir;
        const AppPaths paths = AppPaths::forFolder(dir.path());
        QVERIFY(!ZolpaneApp::handOverCommandLine(paths, "  "));
        QVERIFY(!ZolpaneApp::handOverCommandLine(paths, dir.filePath("missing.zp")));
        QVERIFY(!QFile::exists(paths.loadBuffPath()));
        const QString project = dir.filePath("My clips.zp");
        writeFile(project, "x");
        writeFile(paths.loadBuffPath(), "old line\r\n");
        QVERIFY(ZolpaneApp::handOverCommandLine(paths, project));
        QCOMPARE(readFile(paths.loadBuffPath()), project.toLatin1() + "\r\n");
        QVERIFY(ZolpaneApp::twipQuestion(12).startsWith("Your twip size is uncommon. This program is build for twip's "
                                                        "size 15, your twips have got size 12.\r\n\r\n"));
    }

    void autostartEntries() {
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
        const AppPaths paths = AppPaths::forFolder(dir.path());
        writeFile(paths.SettingsPath, "[General]\r\nRunOnStartup=0\r\n");
        Settings settings(paths);
        Autostart autostart(settings, "/opt/zp/zolpane");
        // Disabling without an entry changes nothing.
        const QByteArray before = readFile(paths.SettingsPath);
        autostart.DisableRunAtStartup();
        QCOMPARE(readFile(paths.SettingsPath), before);
        QVERIFY(!QFile::exists(autostart.autostartEntryPath()));

        autostart.EnableRunAtStartup();
        QVERIFY(autostart.isRunAtStartupChecked());
        QCOMPARE(autostart.GetRunValue(), QStringLiteral("\"/opt/zp/zolpane\" nowindow"));
        QCOMPARE(settings.ReadSetting("General", "RunOnStartup"), QStringLiteral("1"));
        autostart.DisableRunAtStartup();
        QVERIFY(!QFile::exists(autostart.autostartEntryPath()));
        QCOMPARE(settings.ReadSetting("General", "RunOnStartup"), QStringLiteral("0"));

        QVERIFY(autostart.RegisterFileType("Zolpane", "zp", "Zolpane Project", "zolpane"));
        QVERIFY(readFile(autostart.mimePackagePath()).contains("<glob pattern=\"*.zp\"/>"));
        QVERIFY(readFile(autostart.desktopEntryPath()).contains("MimeType=application/x-zolpane-project;"));
        QVERIFY(readFile(autostart.mimeAppsListPath()).contains("application/x-zolpane-project=Zolpane.desktop;"));
        QVERIFY(!autostart.RegisterFileType("Zolpane", "zp", "Zolpane Project", "zolpane")); // unchanged: no rewrite
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }
};

std::unique_ptr<QObject> zolpaneAppTest() {
    return std::make_unique<ZolpaneAppTest>();
}

#include "ZolpaneAppTest.moc"
