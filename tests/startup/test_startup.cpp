#include "services/AppPaths.h"
#include "services/CodePage.h"
#include "services/IniFile.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "services/WindowPlacement.h"
#include "startup/Autostart.h"
#include "startup/ZolpaneApp.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

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

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Messages::setUnattended(true); }

    void iniRead_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray file =
            "; comment\r\n[General]\r\nName = value one \r\nname=second\r\n;Hidden=x\r\n"
            "Quoted=\"a b\"\r\nSingle='c'\r\nHalf=\"d\r\n[general]\r\nOther=1\r\n[Next]\r\nName=n\r\n";
        QTest::newRow("blanks trimmed") << file << QByteArray("General") << QByteArray("Name")
                                        << QByteArray("value one");
        QTest::newRow("case-insensitive, first key wins")
            << file << QByteArray("GENERAL") << QByteArray("NAME") << QByteArray("value one");
        QTest::newRow("first section wins") << file << QByteArray("general") << QByteArray("Other") << QByteArray();
        QTest::newRow("comment is no key") << file << QByteArray("General") << QByteArray(";Hidden") << QByteArray();
        QTest::newRow("double quotes removed")
            << file << QByteArray("General") << QByteArray("Quoted") << QByteArray("a b");
        QTest::newRow("single quotes removed")
            << file << QByteArray("General") << QByteArray("Single") << QByteArray("c");
        QTest::newRow("unmatched quote kept")
            << file << QByteArray("General") << QByteArray("Half") << QByteArray("\"d");
        QTest::newRow("other section") << file << QByteArray("Next") << QByteArray("Name") << QByteArray("n");
        QTest::newRow("missing section") << file << QByteArray("None") << QByteArray("Name") << QByteArray();
        QTest::newRow("254 cut") << QByteArray("[S]\r\nK=" + QByteArray(300, 'x') + "\r\n") << QByteArray("S")
                                 << QByteArray("K") << QByteArray(254, 'x');
        QTest::newRow("LF only") << QByteArray("[S]\nK=v\n") << QByteArray("S") << QByteArray("K") << QByteArray("v");
    }
    void iniRead() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, expected);
        QCOMPARE(IniFile::readValue(content, section, key), expected);
    }

    void iniWrite_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("in place, rest kept")
            << QByteArray("[A]\r\n  key = old  \r\nz=1\r\n[B]\r\nkey=b\r\n") << QByteArray("a") << QByteArray("KEY")
            << QByteArray("[A]\r\nKEY=new\r\nz=1\r\n[B]\r\nkey=b\r\n");
        QTest::newRow("new key after last entry")
            << QByteArray("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n") << QByteArray("A") << QByteArray("k")
            << QByteArray("[A]\r\nx=1\r\nk=new\r\n\r\n[B]\r\ny=2\r\n");
        QTest::newRow("new section at end") << QByteArray("[A]\r\nx=1\r\n") << QByteArray("C") << QByteArray("k")
                                            << QByteArray("[A]\r\nx=1\r\n[C]\r\nk=new\r\n");
        QTest::newRow("empty file") << QByteArray() << QByteArray("C") << QByteArray("k")
                                    << QByteArray("[C]\r\nk=new\r\n");
        QTest::newRow("no final line end")
            << QByteArray("[A]\r\nx=1") << QByteArray("A") << QByteArray("k") << QByteArray("[A]\r\nx=1\r\nk=new\r\n");
        QTest::newRow("duplicate key: first replaced") << QByteArray("[A]\r\nk=1\r\nk=2\r\n") << QByteArray("A")
                                                       << QByteArray("k") << QByteArray("[A]\r\nk=new\r\nk=2\r\n");
        QTest::newRow("empty section") << QByteArray("[A]\r\n[B]\r\n") << QByteArray("A") << QByteArray("k")
                                       << QByteArray("[A]\r\nk=new\r\n[B]\r\n");
    }
    void iniWrite() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, expected);
        QCOMPARE(IniFile::writeValue(content, section, key, "new"), expected);
    }

    void iniFileUsesCodePage() {
        qputenv("ZOLPANE_CODEPAGE", "1250");
        QTemporaryDir dir;
        const QString path = dir.filePath("t.ini");
        QVERIFY(IniFile::write(path, "Sekce", "Klíč", "žluťoučký kůň"));
        QCOMPARE(readFile(path), QByteArray("[Sekce]\r\nKl\xed\xe8=\x9elu\x9dou\xe8k\xfd k\xf9\xf2\r\n"));
        QCOMPARE(IniFile::read(path, "sekce", "KLÍČ"), QStringLiteral("žluťoučký kůň"));
        qputenv("ZOLPANE_CODEPAGE", "1252");
        QCOMPARE(CodePage::toAnsi(QStringLiteral("a€ž😀")), QByteArray("a\x80\x9e?"));
    }

    void codePageForLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("codePage");
        QTest::newRow("czech") << "cs_CZ.UTF-8" << 1250;
        QTest::newRow("russian") << "ru_RU.UTF-8" << 1251;
        QTest::newRow("taiwan") << "zh_TW.UTF-8" << 950;
        QTest::newRow("china") << "zh_CN" << 936;
        QTest::newRow("english") << "en_US.UTF-8" << 1252;
        QTest::newRow("C") << "C" << 1252;
    }
    void codePageForLocale() {
        QFETCH(QString, locale);
        QFETCH(int, codePage);
        QCOMPARE(CodePage::codePageForLocale(locale), codePage);
    }

    void defaultSettingsBytes() {
        const QByteArray content = Settings::defaultSettingsContent(QString());
        const QList<QByteArray> lines = content.split('\n');
        QVERIFY(content.endsWith("HKSettingsKey=83\r\n"));
        QVERIFY(!content.contains("\n\n") && content.count('\n') == content.count("\r\n"));
        QCOMPARE(lines.at(0), QByteArray("[General]\r"));
        QCOMPARE(lines.at(5), QByteArray("\r"));
        QVERIFY(content.contains("SentenceCaseKeepBig=1\r\nAutoPasteOther=0\r\nAskDeletingClip=1\r\n"));
        QVERIFY(content.contains("DefaultProjectPath=\r\n"));
        QVERIFY(content.contains("RecentProject10=\r\nPasteMethod=1\r\n\r\n[WindowPos]\r\nfrmConfPasteBoxX=\r\n"));
        QCOMPARE(content.count("PasteMethod=1\r\n"), 2);
        QVERIFY(content.contains(
            "Clip9Mod=2\r\nClip9Key=57\r\nClip10Mod=2\r\nClip10Key=48\r\nClip11Mod=6\r\nClip11Key=49"));
        QVERIFY(content.contains("Clip20Mod=6\r\nClip20Key=48\r\nClip21Mod=3\r\nClip21Key=49"));
        QVERIFY(content.contains("Clip30Mod=3\r\nClip30Key=48\r\nHKShowZPMod=3\r\n"));
        QCOMPARE(content.count("Mod="), 35);
        QCOMPARE(lines.size() - 1, 5 + 1 + 25 + 1 + 5 + 1 + 1 + 60 + 10);
        QVERIFY(Settings::defaultSettingsContent("/p/projects/").contains("DefaultProjectPath=/p/projects/\r\n"));
    }

    void loadValuesAndFallbacks_data() {
        QTest::addColumn<QByteArray>("zolpane");
        QTest::addColumn<QByteArray>("charset");
        QTest::addColumn<int>("pasteMethod");
        QTest::addColumn<int>("charsetIndex");
        QTest::addColumn<bool>("askDeleting");
        QTest::newRow("defaults") << QByteArray("PasteMethod=3\r\nAskDeletingClip=1") << QByteArray("6") << 3 << 6
                                  << true;
        QTest::newRow("zero method") << QByteArray("PasteMethod=0\r\nAskDeletingClip=0") << QByteArray("11") << 1 << 0
                                     << false;
        QTest::newRow("negative method") << QByteArray("PasteMethod=-3\r\nAskDeletingClip=2") << QByteArray("0") << 1
                                         << 0 << false;
        QTest::newRow("text method") << QByteArray("PasteMethod=abc\r\nAskDeletingClip=yes") << QByteArray("x") << 1
                                     << 0 << false;
        QTest::newRow("leading number") << QByteArray("PasteMethod= 2abc") << QByteArray("10") << 2 << 10 << false;
    }
    void loadValuesAndFallbacks() {
        QFETCH(QByteArray, zolpane);
        QFETCH(QByteArray, charset);
        QFETCH(int, pasteMethod);
        QFETCH(int, charsetIndex);
        QFETCH(bool, askDeleting);
        QTemporaryDir dir;
        const AppPaths paths = AppPaths::forFolder(dir.path());
        writeFile(paths.SettingsPath, "[General]\r\nCharset=" + charset + "\r\n[Zolpane]\r\n" + zolpane + "\r\n");
        Settings settings(paths);
        settings.loadCoreValues();
        QCOMPARE(settings.DefaultPasteMethod, pasteMethod);
        QCOMPARE(settings.Charset, charsetIndex);
        QCOMPARE(settings.AskDeletingClip, askDeleting);
    }

    void editorFontSize() {
        QTemporaryDir dir;
        const AppPaths paths = AppPaths::forFolder(dir.path());
        Settings settings(paths);
        for (auto [text, size] : {std::pair{"10.7", 10}, {"0.9", 0}, {"-4", 0}, {"", 0}}) {
            writeFile(paths.SettingsPath, QByteArray("[Zolpane]\r\nDefaultFontSize=") + text + "\r\n");
            settings.LoadEditorFont();
            QCOMPARE(settings.DefaultFontSize, size);
        }
    }

    void missingSettingsAsksToRegenerate() {
        QTemporaryDir dir;
        const AppPaths paths = AppPaths::forFolder(dir.path());
        Settings settings(paths);
        Messages::setNextAnswer(Messages::Yes);
        QCOMPARE(settings.ReadSetting("Zolpane", "PasteMethod"), QString());
        const auto shown = Messages::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].text.startsWith("Unable to load settings!"));
        QCOMPARE(readFile(paths.SettingsPath), Settings::defaultSettingsContent(QString()));
        // Another file read while settings.ini is missing reports the file.
        QFile::remove(paths.SettingsPath);
        QCOMPARE(settings.ReadSetting("Clip1", "Format", dir.filePath("zp.ini")), QString());
        const auto error = Messages::takeShown();
        QCOMPARE(error.size(), 1);
        QCOMPARE(error[0].kind, QStringLiteral("err"));
        QVERIFY(error[0].text.startsWith("Error while loading from " + dir.filePath("zp.ini")));
    }

    void writeFailureReports() {
        Settings settings(AppPaths::forFolder("/nonexistent-folder-for-test"));
        settings.WriteSetting("A", "b", "c", "/nonexistent-folder-for-test/x.ini");
        const auto shown = Messages::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].text.startsWith("Unable to write settings! Please check if you have got write permissions"));
        QVERIFY(shown[0].text.contains("Error number: 2, description:"));
        QVERIFY(settings.SettingsWritten);
    }

    void showMessageKinds() {
        Messages::setNextAnswer(Messages::Yes);
        QCOMPARE(Messages::ShowMessage("q", "quest"), Messages::Yes);
        QCOMPARE(Messages::ShowMessage("q", "quest"), Messages::No);
        QCOMPARE(Messages::ShowMessage("x", "other"), 0);
        QCOMPARE(Messages::ShowMessage("x", "Inf"), 0);
        Messages::setPendingError(5, "Access denied");
        Messages::ShowError("Failed", true);
        Messages::ShowError("Again", true);
        const auto shown = Messages::takeShown();
        QCOMPARE(shown.size(), 4); // unknown kinds show nothing
        QCOMPARE(shown[2].title, QStringLiteral("Zolpane - Error"));
        QCOMPARE(shown[2].text, QStringLiteral("Failed\r\n\r\nError number: 5, description: Access denied"));
        QCOMPARE(shown[3].text, QStringLiteral("Again\r\n\r\nError number: 0, description: "));
    }

    void windowClamping() {
        QCOMPARE(WindowPlacement::clampedLeft(-500, 19200, 7000), 0);
        QCOMPARE(WindowPlacement::clampedLeft(-150, 19200, 7000), -150);
        QCOMPARE(WindowPlacement::clampedLeft(15000, 19200, 7000), 12200);
        QCOMPARE(WindowPlacement::clampedTop(-500, 12000, 7000), 4000);
        QCOMPARE(WindowPlacement::clampedTop(4999, 12000, 7000), 4999);
        QCOMPARE(WindowPlacement::clampedTop(5000, 12000, 7000), 4000);
    }

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

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
