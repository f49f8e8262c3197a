#include "startup/ZolpaneApp.h"
#include "TestSupport.h"
#include "project/frmZolpane.h"
#include "services/AppPaths.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "startup/Autostart.h"
#include "startup/SecondStart.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <sys/stat.h>

using namespace TestSupport;
using Result = SecondStart::Result;
Q_DECLARE_METATYPE(Result)

// The start-up's hand-over of a project to a running instance, and the desktop integration.
class ZolpaneAppTest final : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    AppPaths m_paths = AppPaths::forFolder(m_dir.path());

private Q_SLOTS:
    void init() { Messages::setUnattended(true); } // no answers queued, no boxes shown

    // A second start's command line: what names nothing gets the "already running" box; what is no regular file,
    // or a path the one-line hand-over cannot carry, is refused with the reason, an older hand-over left alone.
    void handOver_data() {
        // refusal: the reason, after the path
        columns<QString, QString, Result, QString>("kind", "name", "result", "refusal");
        const QString notProject = QStringLiteral(" is not a project file.");
        const QString notCarried = QStringLiteral(": a path with %1 cannot be handed to the running Zolpane.");
        // clang-format off
        QTest::newRow("blank") << "" << "  " << Result::AlreadyRunning << "";
        QTest::newRow("missing") << "" << "missing.zp" << Result::AlreadyRunning << "";
        QTest::newRow("project") << "file" << "My clips.zp" << Result::HandedOver << "";
        QTest::newRow("folder") << "folder" << "dir.zp" << Result::Refused << notProject;
        QTest::newRow("FIFO") << "fifo" << "fifo.zp" << Result::Refused << notProject;
        QTest::newRow("/dev/zero") << "" << "/dev/zero" << Result::Refused << notProject;
        QTest::newRow("line feed") << "file" << "a\nb.zp" << Result::Refused << notCarried.arg("a line break");
        QTest::newRow("outside the code page") << "file" << QString::fromUtf8("\xF0\x9F\x98\x80.zp") << Result::Refused
                                               << notCarried.arg("characters outside code page 1252");
        // clang-format on
    }
    void handOver() {
        const auto [kind, name, result, refusal] =
            fetch<QString, QString, Result, QString>("kind", "name", "result", "refusal");
        const QString path = name.startsWith('/') || name.trimmed().isEmpty() ? name : m_dir.filePath(name);
        QVERIFY(kind != "file" || writeFile(path, "x"));
        QVERIFY(kind != "folder" || QDir().mkdir(path));
        QVERIFY(kind != "fifo" || ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        QVERIFY(writeFile(m_paths.loadBuffPath(), "old line\r\n"));
        qputenv("ZOLPANE_CODEPAGE", "1252");
        const SecondStart::HandOver handOver = SecondStart::handOver(m_paths, path);
        qunsetenv("ZOLPANE_CODEPAGE");
        QCOMPARE(handOver.result, result);
        QCOMPARE(handOver.refusal, refusal.isEmpty() ? QString() : path.trimmed() + refusal);
        QCOMPARE(readFile(m_paths.loadBuffPath()),
                 result == Result::HandedOver ? QFile::encodeName(path) + "\r\n" : QByteArray("old line\r\n"));
    }

    void twipQuestion() {
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
        // A copy that is not installed names its icon by the path of a file it wrote, as no icon theme holds it.
        const QString icon = Autostart::GetRegString(autostart.autostartEntryPath(), "Icon");
        QVERIFY2(QDir::isAbsolutePath(icon) && readFile(icon).contains("<svg"), qPrintable(icon));
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
        columns<bool, bool, bool, QString>("entryInstalled", "runsInstalledExecutable", "prefixAmongDataDirs",
                                           "handler");
        // clang-format off
        QTest::newRow("run from a build") << false << false << true << "Zolpane.desktop";
        QTest::newRow("installed") << true << true << true << "io.github.zolpane.Zolpane.desktop";
        QTest::newRow("another copy's installed entry") << true << false << true << "Zolpane.desktop";
        QTest::newRow("prefix not a data folder") << true << true << false << "Zolpane.desktop";
        // clang-format on
    }
    void fileAssociation() {
        const auto [entryInstalled, runsInstalledExecutable, prefixAmongDataDirs, handler] =
            fetch<bool, bool, bool, QString>("entryInstalled", "runsInstalledExecutable", "prefixAmongDataDirs",
                                             "handler");
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

        const QString icon = autostart.desktopIcon();
        QVERIFY(autostart.RegisterFileType("Zolpane", "zp", "Zolpane Project", icon));
        QVERIFY(
            readFile(autostart.mimeAppsListPath()).contains("application/x-zolpane-project=" + handler.toUtf8() + ';'));
        const bool perUser = handler == "Zolpane.desktop";
        QCOMPARE(readFile(autostart.mimePackagePath()).contains("<glob pattern=\"*.zp\"/>"), perUser);
        const QList<QByteArray> entry = readFile(autostart.desktopEntryPath()).split('\n');
        QCOMPARE(entry.contains("Exec=\"" + executable.toUtf8() + "\" %f"), perUser);
        QCOMPARE(entry.contains("MimeType=application/x-zolpane-project;"), perUser);
        QCOMPARE(icon, perUser ? m_paths.AppFolder + "zolpane.svg" : "zolpane");
        QVERIFY(!autostart.RegisterFileType("Zolpane", "zp", "Zolpane Project", icon)); // unchanged: no rewrite
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS"})
            qunsetenv(name);
    }

    // The whole program on the headless platform, started in the tray: a copy with Minimize On Copy leaves the
    // hidden window hidden, and the copy options set in the Options menu are written at exit without the settings
    // dialog ever opened.
    void copyOptionsInTheTray() {
        qputenv("XDG_CONFIG_HOME", m_dir.filePath("app-config").toUtf8());
        qputenv("XDG_DATA_HOME", m_dir.filePath("app-data").toUtf8());
        const AppPaths paths = AppPaths::forFolder(m_dir.filePath("app"));
        QVERIFY(QDir().mkpath(paths.AppFolder) && writeFile(paths.SettingsPath, Settings::defaultSettingsContent({})));
        ZolpaneApp app(paths, createHeadlessPlatformServices(), "nowindow");
        QVERIFY(app.Initialize());
        frmZolpane* window = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            window = window ? window : qobject_cast<frmZolpane*>(widget);
        QVERIFY(window && window->isHidden());
        for (const char* name : {"mnuMinimizeOnCopy", "mnuAutoPaste"}) {
            QAction* item = window->findChild<QAction*>(name);
            QVERIFY(item);
            item->trigger();
        }
        app.table().setText(1, "one");
        Q_EMIT window->copyRequested(1);
        QVERIFY(window->isHidden());
        app.ExitProgram();
        QTRY_VERIFY(readFile(paths.SettingsPath).contains("MinimizeOnCopy=1\r\nHideOnCopy=0\r\nAutoPaste=0\r\n"));
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }
};

ZP_TEST_CLASS(ZolpaneAppTest)

#include "ZolpaneAppTest.moc"
