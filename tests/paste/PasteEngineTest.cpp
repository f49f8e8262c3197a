#include "paste/PasteEngine.h"
#include "paste/Hotkeys.h"
#include "paste/LastWindowRecord.h"
#include "platform/KeyCodes.h"
#include "platform/headless/HeadlessHotkeySystem.h"
#include "platform/headless/HeadlessKeySender.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "project/ClipTable.h"
#include "services/AppPaths.h"
#include "services/Messages.h"
#include "services/Settings.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The copy action, the record of the windows it pastes into, and the hotkeys on the offscreen platform,
// against scripted windows and keys.
class PasteEngineTest final : public QObject {
    Q_OBJECT
    using Ids = std::array<WindowId, 3>;

    struct Fixture {
        QTemporaryDir dir;
        AppPaths paths;
        Settings settings{paths};
        ClipTable table;
        HeadlessWindowSystem windows;
        HeadlessKeySender keys{windows};
        HeadlessHotkeySystem hotkeySystem;
        bool exiting = false;
        LastWindowRecord record{windows, [this] { return exiting; }};
        PasteEngine engine{table, settings, windows, keys, record, QApplication::clipboard()};
        // What the engine asked of the main window.
        QString status;
        int marked = 0;
        QString windowRequest; // "hide" or "minimize"
        Hotkeys hotkeys{hotkeySystem, settings, [this] { return exiting; }};

        Fixture() : paths(AppPaths::forFolder(dir.path())) {
            settings.WriteDefaultSettings();
            settings.loadCoreValues();
            settings.LoadSpecialHotkeys();
            windows.addWindow(100, QStringLiteral("Editor"));
            windows.addWindow(200, QStringLiteral("Terminal"));
            windows.setActive(100);
            record.start();
            windows.setActive(200);
            settings.AutoPaste = true;
            QObject::connect(&engine, &PasteEngine::statusMessage, [this](const QString& t) { status = t; });
            QObject::connect(&engine, &PasteEngine::lastClipMarked, [this](int n) { marked = n; });
            QObject::connect(&engine, &PasteEngine::hideWindowRequested, [this] { windowRequest = "hide"; });
            QObject::connect(&engine, &PasteEngine::minimizeWindowRequested, [this] { windowRequest = "minimize"; });
            QObject::connect(&hotkeys, &Hotkeys::clipTriggered, &engine, &PasteEngine::HotkeyTrigger);
            QObject::connect(&hotkeys, &Hotkeys::pasteNextTriggered, &engine, [this] { engine.PasteNext(true); });
        }
        // What the last sending typed, as text of characters and special keys.
        KeyActions lastKeys() {
            if (keys.deliveries.isEmpty() && !QTest::qWaitFor([this] { return !keys.deliveries.isEmpty(); }, 2000))
                return {};
            return keys.deliveries.takeLast().keys;
        }
        // The same as keystroke notation: "+" Shift and "^" Control before each key, INSERT for Insert.
        QString lastTyped() {
            QString typed;
            for (const KeyAction& k : lastKeys()) {
                if (k.modifiers & ShiftModifier)
                    typed += '+';
                if (k.modifiers & ControlModifier)
                    typed += '^';
                typed += k.key == SpecialKey::Insert ? QStringLiteral("INSERT") : QString::fromUcs4(&k.character, 1);
            }
            return typed;
        }
    };

private Q_SLOTS:
    void init() { Messages::setUnattended(true); }

    void copyPerFormat() {
        Fixture f;
        f.settings.AutoPaste = false;
        f.windows.setUserName(QStringLiteral("jana"));
        f.table.setText(1, QStringLiteral("Hi %user%, %USER% stays"));
        f.engine.CopyClip(1);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Hi jana, %USER% stays"));
        QCOMPARE(f.status, QStringLiteral("Text copied."));
        QCOMPARE(f.marked, 1);

        f.table.setClip(2, {ClipTable::Rtf, QStringLiteral("Rich"), QStringLiteral("{\\rtf1 %user%}"), {}, true});
        f.engine.CopyClip(2);
        const QMimeData* mime = QApplication::clipboard()->mimeData();
        QCOMPARE(mime->data(QStringLiteral("text/rtf")), QByteArray("{\\rtf1 %user%}"));
        QVERIFY(!mime->hasText());
        QCOMPARE(f.marked, 2);

        f.table.setClip(3, {ClipTable::TxtLong, QStringLiteral("Long"), QStringLiteral("a\r\nb"), {}, true});
        f.engine.CopyClip(3);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("a\r\nb"));

        QImage picture(3, 2, QImage::Format_RGB32);
        picture.fill(Qt::green);
        f.table.setClip(4, {ClipTable::Img, QStringLiteral("Picture"), QString(), picture, true});
        f.status = QStringLiteral("before");
        f.engine.CopyClip(4);
        QVERIFY(QApplication::clipboard()->mimeData()->hasImage());
        QCOMPARE(QApplication::clipboard()->image().pixel(1, 1), picture.pixel(1, 1));
        QCOMPARE(f.status, QStringLiteral("before")); // a picture shows no message
        QCOMPARE(f.engine.LastClip, 4);

        // An empty row changes nothing but the status.
        f.engine.CopyClip(5);
        QCOMPARE(f.status, QStringLiteral("Textbox is empty!"));
        QCOMPARE(f.engine.LastClip, 4);
        QCOMPARE(f.marked, 4);
    }

    void pasteMethods_data() {
        QTest::addColumn<int>("clipMethod");
        QTest::addColumn<int>("setting");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected"); // "" = nothing sent
        // Which method sends which keys is PasteMethod's; these rows check what the engine hands it and sends.
        // clang-format off
        QTest::newRow("default is shift insert") << 4 << 3 << "TXT-SIMPLE" << "+INSERT";
        QTest::newRow("key by key") << 2 << 1 << "TXT-SIMPLE" << "a{b}+c";
        QTest::newRow("picture typed as control v") << 2 << 1 << "IMG" << "^v";
        QTest::newRow("method 0 sends nothing") << 0 << 1 << "TXT-SIMPLE" << "";
        // clang-format on
    }
    void pasteMethods() {
        QFETCH(int, clipMethod);
        QFETCH(int, setting);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        Fixture f;
        f.settings.DefaultPasteMethod = setting;
        QImage picture(1, 1, QImage::Format_RGB32);
        f.table.setClip(6, {format, QStringLiteral("a{b}+c"), QString(), format == "IMG" ? picture : QImage(),
                            format != "TXT-SIMPLE"});
        f.table.ClipMethod[6] = quint8(clipMethod);
        f.engine.CopyClip(6);
        if (expected.isEmpty()) {
            QTest::qWait(50);
            QVERIFY(f.keys.deliveries.isEmpty());
            QCOMPARE(f.status, QStringLiteral("Text copied."));
            return;
        }
        QCOMPARE(f.lastTyped(), expected == "a{b}+c" ? QStringLiteral("ab+c") : expected);
        QCOMPARE(f.status, QStringLiteral("Clip 6 pasted."));
    }

    // After the clipboard menu's date and time: the PasteMethod setting as stored now decides the keys.
    void pasteClipboard_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("autoPasteOther");
        QTest::addColumn<QString>("expected"); // "" = nothing sent
        // clang-format off
        QTest::newRow("shift insert") << "3" << "1" << "+INSERT";
        QTest::newRow("zero reads as control v") << "0" << "1" << "^v";
        QTest::newRow("default method sends nothing") << "4" << "1" << "";
        QTest::newRow("auto paste of others off") << "3" << "0" << "";
        // clang-format on
    }
    void pasteClipboard() {
        QFETCH(QString, setting);
        QFETCH(QString, autoPasteOther);
        QFETCH(QString, expected);
        Fixture f;
        f.settings.WriteSetting(QStringLiteral("Zolpane"), QStringLiteral("PasteMethod"), setting);
        f.settings.WriteSetting(QStringLiteral("Zolpane"), QStringLiteral("AutoPasteOther"), autoPasteOther);
        f.engine.PasteClipboardToLastApplication();
        if (expected.isEmpty()) {
            QTest::qWait(50);
            QVERIFY(f.keys.deliveries.isEmpty());
            return;
        }
        QCOMPARE(f.lastTyped(), expected);
    }

    void activationFallsBackAndHides() {
        Fixture f;
        f.table.setText(1, QStringLiteral("x"));
        f.settings.MinimizeOnCopy = true;
        f.settings.HideOnCopy = true;
        f.windows.removeWindow(200); // the newest foreign window was closed
        f.engine.CopyClip(1);
        QCOMPARE(f.windows.activations.last().window, WindowId(100));
        QCOMPARE(f.windowRequest, QStringLiteral("hide")); // hiding wins over minimizing
        f.settings.HideOnCopy = false;
        f.engine.CopyClip(1);
        QCOMPARE(f.windowRequest, QStringLiteral("minimize"));
        f.windows.removeWindow(100);
        f.engine.CopyClip(1);
        QCOMPARE(f.status, QStringLiteral("Can't activate last active application."));
    }

    void pasteNextWraps() {
        Fixture f;
        f.settings.AutoPaste = false;
        f.table.setText(3, QStringLiteral("three"));
        f.table.setText(29, QStringLiteral("twenty-nine"));
        f.engine.PasteNext(false); // upwards from the start lands on 30, then 29
        QTRY_COMPARE(QApplication::clipboard()->text(), QStringLiteral("twenty-nine"));
        f.engine.PasteNext(true); // 30 is empty, wraps to 1 and walks on to 3
        QTRY_COMPARE(QApplication::clipboard()->text(), QStringLiteral("three"));
        QCOMPARE(f.engine.LastClip, 3);
        f.table.clearClip(3);
        f.table.clearClip(29);
        QApplication::clipboard()->setText(QStringLiteral("kept"));
        f.engine.PasteNext(true); // all empty: nothing is copied
        QTest::qWait(30);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
    }

    void setClipHotkeyCases() {
        namespace M = HotkeyModifier;
        const int four = KeyCode::Digit0 + 4, five = KeyCode::Digit0 + 5;
        Fixture f;
        f.hotkeys.InitHotkeys();
        QVERIFY(f.hotkeySystem.isRegistered(7));
        QCOMPARE(f.hotkeySystem.combination(36).virtualKey, KeyCode::Digit0); // clip 30: Control+Alt+0
        QVERIFY(f.hotkeySystem.isRegistered(Hotkeys::SettingsId));
        f.hotkeys.SetClipHotkey(M::Control | M::Shift, KeyCode::A, 10); // clip 4 from Control+4 to Control+Shift+A
        QCOMPARE(f.hotkeySystem.combination(10).modifierCode, M::Control | M::Shift);
        QVERIFY(f.hotkeySystem.registerHotkey(99, M::Control, four)); // Control+4 is free at once
        f.hotkeys.SetClipHotkey(M::Control, 0, 10);                   // no key: removed
        QVERIFY(!f.hotkeySystem.isRegistered(10));
        QVERIFY(!f.hotkeys.ClipHotkeyOn[4]);
        f.hotkeys.SetClipHotkey(0, four, 10); // no modifier: never registered
        QVERIFY(!f.hotkeySystem.isRegistered(10));
        QCOMPARE(f.hotkeys.ClipHotkeyKey[4], 0);
        f.hotkeySystem.refuse(M::Control, five);
        f.hotkeys.SetClipHotkey(M::Control, five, 10); // refused, but counts as the clip's
        QVERIFY(!f.hotkeySystem.isRegistered(10));
        QVERIFY(f.hotkeys.ClipHotkeyOn[4]);
        QCOMPARE(f.hotkeys.ClipHotkeyKey[4], five);
    }

    // How the wait behaves is the release waiter's; this checks that clip hotkeys go through it.
    void clipHotkeyWaitsForRelease() {
        const int two = KeyCode::Digit0 + 2, three = KeyCode::Digit0 + 3;
        Fixture f;
        f.hotkeys.InitHotkeys();
        f.settings.AutoPaste = false;
        f.table.setText(2, QStringLiteral("two"));
        QApplication::clipboard()->setText(QStringLiteral("before"));
        f.hotkeySystem.setKeyDown(KeyCode::Control, true);
        f.hotkeySystem.setKeyDown(two, true);
        QVERIFY(f.hotkeySystem.press(8));
        f.hotkeySystem.setKeyDown(KeyCode::Control, false);
        QTest::qWait(60);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before")); // the 2 is still down
        QVERIFY(f.hotkeys.ClipHotkeyBusy());
        f.hotkeySystem.setKeyDown(two, false);
        QTRY_COMPARE(QApplication::clipboard()->text(), QStringLiteral("two"));
        QTRY_VERIFY(!f.hotkeys.ClipHotkeyBusy());
        // Exiting ends a wait without acting, even once the keys are up.
        f.table.setText(3, QStringLiteral("three"));
        f.hotkeySystem.setKeyDown(three, true);
        QVERIFY(f.hotkeySystem.press(9));
        f.exiting = true;
        f.hotkeySystem.setKeyDown(three, false);
        QTest::qWait(60);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("two"));
    }

    void dispatchById() {
        Fixture f;
        f.hotkeys.InitHotkeys();
        QSignalSpy show(&f.hotkeys, &Hotkeys::showMainWindowRequested);
        QSignalSpy menu(&f.hotkeys, &Hotkeys::clipboardMenuRequested);
        QSignalSpy paste(&f.hotkeys, &Hotkeys::pasteMenuRequested);
        QSignalSpy settings(&f.hotkeys, &Hotkeys::settingsRequested);
        for (int id : {1, 2, 4, 5, 6, 37})
            f.hotkeys.HotkeyWindowProc(id);
        QCOMPARE(show.size() + menu.size() + paste.size() + settings.size(), 4);
        f.exiting = true;
        f.hotkeys.HotkeyWindowProc(1);
        QCOMPARE(show.size(), 1);
    }

    void lastWindowsFollowForeignWindows() {
        HeadlessWindowSystem windows;
        for (WindowId w : {1, 2, 3, 4})
            windows.addWindow(w, QStringLiteral("app %1").arg(w));
        windows.addWindow(50, QStringLiteral("panel"), false, true);
        windows.addWindow(60, QStringLiteral("Zolpane"), false, true);
        windows.setActive(1);
        bool exiting = false;
        LastWindowRecord record(windows, [&exiting] { return exiting; });
        record.start();
        QCOMPARE(record.LastWindows(), (Ids{1, 0, 0}));

        windows.setActive(2);
        windows.setActive(50); // the panel never enters
        windows.setActive(2);  // the same window again adds nothing
        windows.setActive(0);  // no active window: nothing changes
        windows.setActive(3);
        QCOMPARE(record.LastWindows(), (Ids{3, 2, 1}));
        windows.setActive(60); // our own window keeps the record as it was
        QCOMPARE(record.LastWindows(), (Ids{3, 2, 1}));
        windows.setActive(4);
        QCOMPARE(record.LastWindows(), (Ids{4, 3, 2}));
        QCOMPARE(record.LastWindowTitle(), QStringLiteral("app 4"));

        exiting = true;
        windows.setActive(1);
        exiting = false;
        windows.setActive(2);
        QCOMPARE(record.LastWindows(), (Ids{4, 3, 2})); // following ended with the exit
    }

    void activateFallsBackToOlderWindows() {
        HeadlessWindowSystem windows;
        const QString longTitle = QString(48, u'x') + QStringLiteral("😀tail"); // the emoji straddles the limit
        windows.addWindow(1, QStringLiteral("oldest"), true);
        windows.addWindow(2, QStringLiteral("second"));
        windows.addWindow(3, longTitle);
        windows.addWindow(9, QStringLiteral("Zolpane"), false, true);
        LastWindowRecord record(windows, nullptr);
        record.start();
        for (WindowId w : {1, 2, 3})
            windows.setActive(w);
        QCOMPARE(record.LastWindowTitle(), QString(48, u'x'));
        QCOMPARE(record.LastWindowMaximized(), (std::array<bool, 3>{false, false, true}));
        // The user maximizes the newest window and switches to ours: the state is taken as it was left.
        windows.setMaximized(3, true);
        windows.setActive(9);
        QVERIFY(record.ActivateLastApplication());
        QCOMPARE(record.activatedWindow(), WindowId(3));
        QCOMPARE(windows.activations.last().maximize, true);

        windows.setActive(9);
        windows.removeWindow(3); // the newest one was closed: the second newest comes back, as it was
        QVERIFY(record.ActivateLastApplication());
        QCOMPARE(record.activatedWindow(), WindowId(2));
        QCOMPARE(windows.activations.last().maximize, false);
        QCOMPARE(windows.foregroundWindow(), WindowId(2));

        windows.removeWindow(2);
        windows.removeWindow(1);
        const auto before = windows.activations.size();
        QVERIFY(!record.ActivateLastApplication());
        QCOMPARE(record.activatedWindow(), WindowId(0));
        QCOMPARE(windows.activations.size(), before);
    }
};

std::unique_ptr<QObject> pasteEngineTest() {
    return std::make_unique<PasteEngineTest>();
}

#include "PasteEngineTest.moc"
