#include "startup/ZolpaneApp.h"
#include "TestSupport.h"
#include "services/AppPaths.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "startup/Autostart.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace TestSupport;

// The start-up's hand-over of a project to a running instance, and the desktop integration.
class ZolpaneAppTest final : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    AppPaths m_paths = AppPaths::forFolder(m_dir.path());

private Q_SLOTS:
    void init() { Messages::setUnattended(true); } // no answers queued, no boxes shown

    void handOverAndTwipQuestion() {
        QVERIFY(!ZolpaneApp::handOverCommandLine(m_paths, "  "));
        QVERIFY(!ZolpaneApp::handOverCommandLine(m_paths, m_dir.filePath("missing.zp")));
        QVERIFY(!QFile::exists(m_paths.loadBuffPath()));
        const QString project = m_dir.filePath("My clips.zp");
        QVERIFY(writeFile(project, "x") && writeFile(m_paths.loadBuffPath(), "old line\r\n"));
        QVERIFY(ZolpaneApp::handOverCommandLine(m_paths, project));
        QCOMPARE(readFile(m_paths.loadBuffPath()), project.toLatin1() + "\r\n");
        QVERIFY(ZolpaneApp::twipQuestion(12).startsWith("Your twip size is uncommon. This program is build for twip's "
                                                        "size 15, your twips have got size 12.\r\n\r\n"));
    }

    void autostartEntries() {
        qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8());
        qputenv("XDG_DATA_HOME", m_dir.filePath("data").toUtf8());
        QVERIFY(writeFile(m_paths.SettingsPath, "[General]\r\nRunOnStartup=0\r\n"));
        Settings settings(m_paths);
        Autostart autostart(settings, "/opt/zp/zolpane");
        autostart.DisableRunAtStartup(); // without an entry: changes nothing
        QCOMPARE(readFile(m_paths.SettingsPath), QByteArray("[General]\r\nRunOnStartup=0\r\n"));
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

ZP_TEST_CLASS(ZolpaneAppTest)

#include "ZolpaneAppTest.moc"
