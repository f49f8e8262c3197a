#include "startup/ZolpaneApp.h"
#include "TestSupport.h"
#include "services/AppPaths.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "startup/Autostart.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
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

    // The show command brings the main window to the front, or instead the open clip editor, from minimized too,
    // leaving the main window as it was.
    void showMainWindow() {
        QWidget main, editor;
        editor.showMinimized();
        ZolpaneApp::ShowMainWindow(main, &editor);
        QVERIFY(main.isHidden() && editor.isVisible() && !editor.isMinimized());
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        ZolpaneApp::ShowMainWindow(main, nullptr);
        QVERIFY(QTest::qWaitForWindowActive(&main));
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
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }

    // The .zp association: an installed program (its desktop entry in a data folder of $XDG_DATA_DIRS whose
    // ../bin/ holds the executable) only becomes the default handler; any other gets a per-user entry.
    void fileAssociation_data() {
        QTest::addColumn<bool>("entryInstalled");
        QTest::addColumn<bool>("runsInstalledExecutable");
        QTest::addColumn<bool>("prefixAmongDataDirs");
        QTest::addColumn<QString>("handler");
        // clang-format off
        QTest::newRow("run from a build") << false << false << true << "Zolpane.desktop";
        QTest::newRow("installed") << true << true << true << "io.github.zolpane.Zolpane.desktop";
        QTest::newRow("another copy's installed entry") << true << false << true << "Zolpane.desktop";
        QTest::newRow("prefix not a data folder") << true << true << false << "Zolpane.desktop";
        // clang-format on
    }
    void fileAssociation() {
        QFETCH(bool, entryInstalled);
        QFETCH(bool, runsInstalledExecutable);
        QFETCH(bool, prefixAmongDataDirs);
        QFETCH(QString, handler);
        // A folder that lives as long as m_dir: the desktop's update tools may still run in it after the row.
        const QDir dir(m_dir.filePath(QTest::currentDataTag()));
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
        qputenv(
            "XDG_DATA_DIRS",
            (dir.filePath("other/share") + (prefixAmongDataDirs ? ":" + dir.filePath("prefix/share/") : "")).toUtf8());
        QVERIFY(QDir().mkpath(dir.filePath("prefix/bin")) && QDir().mkpath(dir.filePath("build")));
        QVERIFY(writeFile(dir.filePath("prefix/bin/zolpane"), "") && writeFile(dir.filePath("build/zolpane"), ""));
        if (entryInstalled) {
            QVERIFY(QDir().mkpath(dir.filePath("prefix/share/applications")));
            QVERIFY(writeFile(dir.filePath("prefix/share/applications/io.github.zolpane.Zolpane.desktop"), ""));
        }
        Settings settings(m_paths);
        const QString executable = dir.filePath(runsInstalledExecutable ? "prefix/bin/zolpane" : "build/zolpane");
        Autostart autostart(settings, executable);

        QVERIFY(autostart.RegisterFileType("Zolpane", "zp", "Zolpane Project", "zolpane"));
        QVERIFY(
            readFile(autostart.mimeAppsListPath()).contains("application/x-zolpane-project=" + handler.toUtf8() + ';'));
        const bool perUser = handler == "Zolpane.desktop";
        QCOMPARE(readFile(autostart.mimePackagePath()).contains("<glob pattern=\"*.zp\"/>"), perUser);
        const QList<QByteArray> entry = readFile(autostart.desktopEntryPath()).split('\n');
        QCOMPARE(entry.contains("Exec=\"" + executable.toUtf8() + "\" %f"), perUser);
        QCOMPARE(entry.contains("MimeType=application/x-zolpane-project;"), perUser);
        QVERIFY(!autostart.RegisterFileType("Zolpane", "zp", "Zolpane Project", "zolpane")); // unchanged: no rewrite
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS"})
            qunsetenv(name);
    }
};

ZP_TEST_CLASS(ZolpaneAppTest)

#include "ZolpaneAppTest.moc"
