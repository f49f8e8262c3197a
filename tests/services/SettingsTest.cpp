#include "services/Settings.h"
#include "TestSupport.h"
#include "services/AppPaths.h"
#include "services/IniFile.h"
#include "services/Messages.h"
#include "services/RegularFile.h"
#include "services/ReplaceText.h"
#include "services/WindowPlacement.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <climits>
#include <cstring>
#include <optional>
#include <sys/stat.h>

using namespace TestSupport;

// settings.ini: its default content, the values read from it with their fallbacks, and the messages reading
// and writing show; the window placement and text replacement the features share.
class SettingsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Messages::setUnattended(true); } // no answers queued, no boxes shown

    void defaultSettingsBytes() {
        const QByteArray content = Settings::defaultSettingsContent(QString());
        const QList<QByteArray> lines = content.split('\n');
        QVERIFY(!content.contains("\n\n") && content.count('\n') == content.count("\r\n"));
        QCOMPARE(lines.size() - 1, 5 + 1 + 25 + 1 + 5 + 1 + 1 + 60 + 10);
        QCOMPARE(lines.at(0) + lines.at(5), QByteArray("[General]\r\r"));
        for (const char* part :
             {"SentenceCaseKeepBig=1\r\nAutoPasteOther=0\r\nAskDeletingClip=1\r\n",
              "RecentProject10=\r\nPasteMethod=1\r\n\r\n[WindowPos]\r\nfrmConfPasteBoxX=\r\n",
              "Clip9Mod=2\r\nClip9Key=57\r\nClip10Mod=2\r\nClip10Key=48\r\nClip11Mod=6\r\nClip11Key=49",
              "Clip20Mod=6\r\nClip20Key=48\r\nClip21Mod=3\r\nClip21Key=49", "Exiting=1\r\nPasteMethod=1\r\n",
              "Clip30Mod=3\r\nClip30Key=48\r\nHKShowZPMod=3\r\n", "DefaultProjectPath=\r\n"})
            QVERIFY2(content.contains(part), part);
        QVERIFY(content.endsWith("HKSettingsKey=83\r\n"));
        QVERIFY(Settings::defaultSettingsContent("/p/projects/").contains("DefaultProjectPath=/p/projects/\r\n"));
    }

    // Stored values and what is made of them: paste method, charset, ask before deleting, editor font size.
    void loadValuesAndFallbacks_data() {
        columns<QByteArray, QByteArray, QList<int>>("zolpane", "charset", "expected");
        // clang-format off
        QTest::newRow("defaults") << QByteArray("PasteMethod=3\r\nAskDeletingClip=1\r\nDefaultFontSize=10.7") << QByteArray("6") << QList<int>{3, 6, 1, 10};
        QTest::newRow("zero method") << QByteArray("PasteMethod=0\r\nAskDeletingClip=0\r\nDefaultFontSize=0.9") << QByteArray("11") << QList<int>{1, 0, 0, 0};
        QTest::newRow("negative method") << QByteArray("PasteMethod=-3\r\nAskDeletingClip=2\r\nDefaultFontSize=-4") << QByteArray("0") << QList<int>{1, 0, 0, 0};
        QTest::newRow("text method") << QByteArray("PasteMethod=abc\r\nAskDeletingClip=yes") << QByteArray("x") << QList<int>{1, 0, 0, 0};
        QTest::newRow("leading number") << QByteArray("PasteMethod= 2abc") << QByteArray("10") << QList<int>{2, 10, 0, 0};
        // clang-format on
    }
    void loadValuesAndFallbacks() {
        const auto [zolpane, charset] = fetch<QByteArray, QByteArray>("zolpane", "charset");
        QTemporaryDir dir;
        const AppPaths paths = AppPaths::forFolder(dir.path());
        QVERIFY(
            writeFile(paths.SettingsPath, "[General]\r\nCharset=" + charset + "\r\n[Zolpane]\r\n" + zolpane + "\r\n"));
        Settings settings(paths);
        settings.loadCoreValues();
        settings.LoadEditorFont();
        QTEST((QList<int>{settings.DefaultPasteMethod, settings.Charset, settings.AskDeletingClip,
                          settings.DefaultFontSize}),
              "expected");
    }

    // Numbers far outside the range of what they load into: loading stops where the conversion would overflow,
    // the value in use stays; numbers read elsewhere as int end at the ends of its range.
    void valuesOutOfRange_data() {
        columns<QString, QString, QString, int, bool>("section", "key", "stored", "value", "loaded");
        const QString digits(300, '9'); // read as its first 254 digits
        const auto row = [](const char* name, const char* section, const char* key, const QString& stored, int value,
                            bool loaded) { QTest::newRow(name) << section << key << stored << value << loaded; };
        row("hotkey modifier of 254 digits", "Hotkeys", "HKShowZPMod", digits, 0, false);
        row("hotkey key at the 32-bit end", "Hotkeys", "HKShowZPKey", "-2147483648", INT_MIN, true);
        row("paste method beyond 16 bits", "Zolpane", "PasteMethod", "32768", 1, false);
        row("paste method at the 16-bit end", "Zolpane", "PasteMethod", "32767", 32767, true);
        row("exit mode beyond a byte", "Zolpane", "Exiting", "256", 1, false);
        row("negative exit mode", "Zolpane", "Exiting", "-1", 1, false);
        row("charset of 254 digits", "General", "Charset", "-" + digits, 0, true);
        row("font size beyond 16 bits", "Zolpane", "DefaultFontSize", "32768", 0, true);
        row("clip hotkey key of 254 digits", "Hotkeys", "Clip1Key", digits, INT_MAX, true);
    }
    void valuesOutOfRange() {
        const auto [section, key, stored] = fetch<QString, QString, QString>("section", "key", "stored");
        SettingsFolder folder;
        QVERIFY(IniFile::write(folder.paths.SettingsPath, section, key, stored));
        Settings& s = folder.settings;
        bool loaded = s.LoadSpecialHotkeys();
        s.LoadEditorFont();
        loaded = loaded && s.loadCoreValues();
        const QHash<QString, int> values{{"HKShowZPMod", s.SpecialHotkeys[0]},
                                         {"HKShowZPKey", s.SpecialHotkeys[1]},
                                         {"PasteMethod", s.DefaultPasteMethod},
                                         {"Exiting", s.ExitMode},
                                         {"Charset", s.Charset},
                                         {"DefaultFontSize", s.DefaultFontSize}};
        QTEST(values.value(key, s.ReadInt(section, key)), "value");
        QTEST(loaded, "loaded");
    }

    // A window stored far off the screen or far larger than it comes back on it.
    void windowFromFarValues() {
        SettingsFolder folder;
        const QString far(300, '9');
        for (const QString& line : {"WindowPos/frmTestX=" + far, "WindowPos/frmTestY=-" + far,
                                    "WindowSize/frmTestX=" + far, "WindowSize/frmTestY=" + far})
            QVERIFY(IniFile::write(folder.paths.SettingsPath, line.section('/', 0, 0),
                                   line.section('/', 1).section('=', 0, 0), line.section('=', 1)));
        QWidget form;
        form.resize(200, 100);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        WindowPlacement::RestoreWindowSize(form, "frmTest", folder.settings, 15, 15);
        QCOMPARE(form.size(), screen.size());
        form.resize(200, 100);
        WindowPlacement::RestoreWindowPosition(form, "frmTest", folder.settings, 15, 15);
        const QRect frame = form.frameGeometry();
        QCOMPARE(form.pos(),
                 QPoint(screen.width() - frame.width(), qRound(screen.height() - frame.height() - 1000 / 15.0)));
    }

    void missingSettingsAsksToRegenerate() {
        QTemporaryDir dir;
        const AppPaths paths = AppPaths::forFolder(dir.path());
        Settings settings(paths);
        Messages::setNextAnswer(Messages::Yes);
        QCOMPARE(settings.ReadSetting("Zolpane", "PasteMethod"), QString());
        auto shown = Messages::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].text.startsWith("Unable to load settings!"));
        QCOMPARE(readFile(paths.SettingsPath), Settings::defaultSettingsContent(QString()));
        // Another file read while settings.ini is missing reports the file.
        QFile::remove(paths.SettingsPath);
        QCOMPARE(settings.ReadSetting("Clip1", "Format", dir.filePath("zp.ini")), QString());
        shown = Messages::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, QStringLiteral("err"));
        QVERIFY(shown[0].text.startsWith("Error while loading from " + dir.filePath("zp.ini")));
    }

    // settings.ini on a full disk (a file size limit stands in for it) or no file at all: it stays as it was, and
    // the user is told once, with the reason, however many writes fail after it (an exit writes a dozen keys).
    void settingsFileFaults_data() {
        columns<QString, QStringList, int>("fault", "shown", "error"); // shown: the first line of each box
        const QString unable = "Unable to write settings! Please check if you have got write permissions to ";
        const QString loading = "Error while loading settings!";
        QTest::newRow("full disk, default settings")
            << "full defaults" << QStringList{"Error while creating settings file!", unable} << EFBIG;
        QTest::newRow("full disk, one key") << "full" << QStringList{unable} << EFBIG;
        QTest::newRow("folder at start") << "folder" << QStringList{loading} << EISDIR;
        QTest::newRow("FIFO at start") << "fifo" << QStringList{loading} << EINVAL;
    }
    void settingsFileFaults() {
        const auto [fault, error] = fetch<QString, int>("fault", "error");
        SettingsFolder folder;
        const QString path = folder.paths.SettingsPath;
        if (!fault.startsWith("full"))
            QVERIFY(QFile::remove(path) &&
                    (fault == "folder" ? QDir().mkdir(path) : ::mkfifo(qPrintable(path), 0600) == 0));
        RegularFile::Stamp before, after;
        QVERIFY(RegularFile::stampOf(path, &before));
        std::optional<TestSupport::FileSizeLimit> full;
        if (fault.startsWith("full"))
            full.emplace(100);
        if (fault == "full defaults")
            folder.settings.WriteDefaultSettings();
        else if (fault == "full")
            folder.settings.WriteSetting("Zolpane", "PasteMethod", "2");
        else
            QVERIFY(!folder.settings.CheckSettingsFile());
        for (const char* key : {"frmzolpaneX", "frmzolpaneY"})
            folder.settings.WriteSetting("WindowPos", key, "300");
        full.reset();
        QVERIFY(RegularFile::stampOf(path, &after) && after == before);
        const QList<Messages::ShownBox> boxes = Messages::takeShown();
        QStringList texts;
        for (const auto& box : boxes)
            texts << box.text.section("\r\n", 0, 0).remove(path + ".");
        QTEST(texts, "shown");
        QVERIFY(
            boxes.last().text.endsWith(QString("Error number: %1, description: %2").arg(error).arg(strerror(error))));
    }

    void messages() {
        const AppPaths paths = AppPaths::forFolder("/nonexistent-folder-for-test");
        Settings settings(paths);
        settings.WriteSetting("A", "b", "c", "/nonexistent-folder-for-test/x.ini");
        QVERIFY(settings.SettingsWritten);
        Messages::setNextAnswer(Messages::Yes);
        QCOMPARE(Messages::ShowMessage("q", MessageKind::Question), Messages::Yes);
        QCOMPARE(Messages::ShowMessage("q", MessageKind::Question), Messages::No);
        Messages::ShowError("Failed", {5, "Access denied"});
        const auto shown = Messages::takeShown();
        QCOMPARE(shown.size(), 4);
        QVERIFY(shown[0].text.startsWith("Unable to write settings! Please check if you have got write permissions"));
        QVERIFY(shown[0].text.contains("Error number: 2, description:"));
        QCOMPARE(shown[3].title, QStringLiteral("Zolpane - Error"));
        QCOMPARE(shown[3].text, QStringLiteral("Failed\r\n\r\nError number: 5, description: Access denied"));
    }

    void windowClamping() {
        QCOMPARE(WindowPlacement::clampedLeft(-500, 19200, 7000), 0);
        QCOMPARE(WindowPlacement::clampedLeft(-150, 19200, 7000), -150);
        QCOMPARE(WindowPlacement::clampedLeft(15000, 19200, 7000), 12200);
        QCOMPARE(WindowPlacement::clampedTop(-500, 12000, 7000), 4000);
        QCOMPARE(WindowPlacement::clampedTop(4999, 12000, 7000), 4999);
        QCOMPARE(WindowPlacement::clampedTop(5000, 12000, 7000), 4000);
    }

    void replaceText_data() {
        columns<QString, QString, QString, QString>("text", "find", "replacement", "expected");
        // clang-format off
        QTest::newRow("inserted text is not searched again") << "aaa" << "a" << "aa" << "aaaaaa";
        QTest::newRow("no occurrence") << "hello" << "x" << "y" << "hello";
        QTest::newRow("overlapping occurrences") << "aaaaa" << "aa" << "b" << "bba";
        QTest::newRow("replacement contains find") << "abab" << "ab" << "xabx" << "xabxxabx";
        QTest::newRow("removal") << "a-b--c-" << "-" << "" << "abc";
        QTest::newRow("case matters") << "Aa%Date%%date%" << "%date%" << "D" << "Aa%Date%D";
        QTest::newRow("line breaks") << "a\r\nb\r\n" << "\r\n" << "\n" << "a\nb\n";
        QTest::newRow("empty find leaves text") << "abc" << "" << "x" << "abc";
        QTest::newRow("megabyte") << QString("ab").repeated(500'000) << "a" << "xyz" << QString("xyzb").repeated(500'000);
        // clang-format on
    }
    void replaceText() {
        const auto [text, find, replacement] = fetch<QString, QString, QString>("text", "find", "replacement");
        QTEST(ReplaceText(text, find, replacement), "expected");
    }
};

ZP_TEST_CLASS(SettingsTest)
#include "SettingsTest.moc"
