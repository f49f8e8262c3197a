#include "services/AppPaths.h"
#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

// Where the program folder lies: $ZOLPANE_HOME, a portable copy's own folder, or the user's data folder; the
// executable's folder stays untouched unless it is marked portable.
class AppPathsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void resolve_data() {
        // zolpaneHome, besideExecutable (a file beside the executable): "" for none; expected: below the scratch folder
        columns<QString, QString, QString, QString>("zolpaneHome", "besideExecutable", "xdgDataHome", "expected");
        // clang-format off
        QTest::newRow("ZOLPANE_HOME before a portable copy") << "home" << "settings.ini" << "xdg" << "home/";
        QTest::newRow("settings beside the executable") << "" << "settings.ini" << "xdg" << "bin/";
        QTest::newRow("portable marker") << "" << "portable" << "" << "bin/";
        QTest::newRow("writable folder, no marker") << "" << "zolpane.lock" << "xdg" << "xdg/zolpane/";
        QTest::newRow("no XDG_DATA_HOME") << "" << "" << "" << "user/.local/share/zolpane/";
        QTest::newRow("relative XDG_DATA_HOME ignored") << "" << "" << "rel" << "user/.local/share/zolpane/";
        // clang-format on
    }
    void resolve() {
        const auto [zolpaneHome, besideExecutable, xdgDataHome] =
            fetch<QString, QString, QString>("zolpaneHome", "besideExecutable", "xdgDataHome");
        QTemporaryDir dir;
        const QString executable = dir.filePath("bin");
        QVERIFY(QDir().mkpath(executable));
        if (!besideExecutable.isEmpty())
            QVERIFY(writeFile(executable + '/' + besideExecutable, ""));
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", dir.filePath("user").toUtf8());
        qputenv("ZOLPANE_HOME", zolpaneHome.isEmpty() ? QByteArray() : dir.filePath(zolpaneHome).toUtf8());
        qputenv("XDG_DATA_HOME", xdgDataHome == "xdg" ? dir.filePath(xdgDataHome).toUtf8() : xdgDataHome.toUtf8());
        const AppPaths paths = AppPaths::resolve(executable);
        qputenv("HOME", oldHome);
        qunsetenv("ZOLPANE_HOME");
        qunsetenv("XDG_DATA_HOME");

        QTEST(paths.AppFolder.mid(withSlash(dir.path()).size()), "expected");
        QVERIFY(QFileInfo(paths.AppFolder).isDir());
        QCOMPARE(QDir(executable).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).size(),
                 besideExecutable.isEmpty() ? 0 : 1); // nothing written beside the executable
    }
};

ZP_TEST_CLASS(AppPathsTest)

#include "AppPathsTest.moc"
