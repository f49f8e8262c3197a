#include "paste/PasteEngine.h"
#include "TestSupport.h"
#include "paste/ClipboardContent.h"
#include "paste/Hotkeys.h"
#include "paste/LastWindowRecord.h"
#include "platform/KeyCodes.h"
#include "platform/QtClipboard.h"
#include "platform/headless/HeadlessHotkeySystem.h"
#include "platform/headless/HeadlessKeySender.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "project/ClipTable.h"
#include "services/Messages.h"
#include "services/Settings.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace TestSupport;

// The clip's format, text, data and method; the settings' default method and auto paste; then what is on the
// clipboard ("text:" and the content, or "image"), the keys sent and the status shown.
struct CopyRow {
    QString format, text, data;
    int method, setting;
    bool autoPaste;
    QString clipboard, keys, status;
};
Q_DECLARE_METATYPE(CopyRow)
// The clip's format and data and its effective method; then the forms on the clipboard in their order, their plain
// text, and whether the primary selection gets them too.
struct FormsRow {
    QString format, data;
    int method;
    QString forms, text;
    bool primary;
};
Q_DECLARE_METATYPE(FormsRow)

// The copy action, the record of the windows it pastes into, and the hotkeys on the offscreen platform,
// against scripted windows and keys.
class PasteEngineTest final : public QObject {
    Q_OBJECT
    using Ids = std::array<WindowId, 3>;

    struct Fixture : SettingsFolder {
        ClipTable table;
        HeadlessWindowSystem windows;
        HeadlessKeySender keys{windows};
        HeadlessHotkeySystem hotkeySystem;
        bool exiting = false;
        LastWindowRecord record{windows, [this] { return exiting; }};
        QtClipboard clipboard;
        PasteEngine engine{table, settings, windows, keys, record, clipboard};
        // What the engine asked of the main window.
        QString status;
        int marked = 0;
        QString windowRequest; // "hide" or "minimize"
        Hotkeys hotkeys{hotkeySystem, settings, [this] { return exiting; }};

        Fixture() {
            settings.loadCoreValues();
            settings.LoadSpecialHotkeys();
            windows.addWindow(100, QStringLiteral("Editor"));
            windows.addWindow(200, QStringLiteral("Terminal"));
            windows.setActive(100);
            record.start();
            windows.setActive(200);
            settings.AutoPaste = true;
            QObject::connect(
                &engine, &PasteEngine::statusMessage, [this](const QString& t) { status = t; });
            QObject::connect(
                &engine, &PasteEngine::lastClipMarked, [this](int n) { marked = n; });
            QObject::connect(
                &engine, &PasteEngine::hideWindowRequested, [this] { windowRequest = "hide"; });
            QObject::connect(&engine, &PasteEngine::minimizeWindowRequested, [this] { windowRequest = "minimize"; });
            QObject::connect(&hotkeys, &Hotkeys::clipTriggered, &engine, &PasteEngine::HotkeyTrigger);
            QObject::connect(&hotkeys, &Hotkeys::pasteNextTriggered, &engine, [this] { engine.PasteNext(true); });
        }
        // What the last sending typed, as keystroke notation: "+" Shift and "^" Control before each key, INSERT for
        // Insert.
        QString lastTyped() {
            if (keys.deliveries.isEmpty() && !QTest::qWaitFor([this] { return !keys.deliveries.isEmpty(); }, 2000))
                return {};
            QString typed;
            for (const KeyAction& k : keys.deliveries.takeLast().keys) {
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
    void init() { Messages::setUnattended(true); } // no answers queued, no boxes shown

    void copyClip_data() {
        QTest::addColumn<CopyRow>("row");
        const QString s = ClipTable::TxtSimple, l = ClipTable::TxtLong, r = ClipTable::Rtf, i = ClipTable::Img;
        const QString copied = QStringLiteral("Text copied."), pasted = QStringLiteral("Clip 6 pasted.");
        // Which method sends which keys is PasteMethod's; these rows check what the engine hands it and sends.
        // clang-format off
        QTest::newRow("placeholders, copied only") << CopyRow{s, "Hi %user%, %USER% stays", "", 1, 1, false,
                                                              "text:Hi jana, %USER% stays", "", copied};
        QTest::newRow("rich text, no placeholders") << CopyRow{r, "Rich", "{\\rtf1 %user%}", 1, 1, true,
                                                               "text:%user%", "^v", pasted};
        QTest::newRow("long, default is Shift+Insert") << CopyRow{l, "Long", "a\r\nb", 4, 3, true, "text:a\nb",
                                                                  "+INSERT", pasted};
        QTest::newRow("key by key, escaped") << CopyRow{s, "a{b}+c", "", 2, 1, true, "text:a{b}+c", "ab+c", pasted};
        QTest::newRow("picture, no message") << CopyRow{i, "Picture", "", 1, 1, false, "image", "", ""};
        QTest::newRow("picture key by key: Control+V") << CopyRow{i, "Picture", "", 2, 1, true, "image", "^v", pasted};
        QTest::newRow("method 0 sends nothing") << CopyRow{s, "zero", "", 0, 1, true, "text:zero", "", copied};
        QTest::newRow("empty row: status only") << CopyRow{s, "", "", 1, 1, true, "text:kept", "", "Textbox is empty!"};
        // clang-format on
    }
    void copyClip() {
        QFETCH(CopyRow, row);
        Fixture f;
        f.settings.AutoPaste = row.autoPaste;
        f.settings.DefaultPasteMethod = row.setting;
        f.windows.setUserName(QStringLiteral("jana"));
        const QImage picture = uniform(3, 2, Qt::green);
        if (!row.text.isEmpty())
            f.table.setClip(6, {row.format, row.text, row.data, row.format == ClipTable::Img ? picture : QImage(),
                                row.format != ClipTable::TxtSimple});
        f.table.ClipMethod[6] = quint8(row.method);
        QApplication::clipboard()->setText(QStringLiteral("kept"));
        f.engine.CopyClip(6);
        const QMimeData* mime = QApplication::clipboard()->mimeData();
        QString clipboard = "text:" + mime->text();
        if (mime->hasImage())
            clipboard = QApplication::clipboard()->image().pixel(1, 1) == picture.pixel(1, 1) ? "image" : "other image";
        QCOMPARE(clipboard, row.clipboard);
        if (row.keys.isEmpty())
            QTest::qWait(50);
        QCOMPARE(row.keys.isEmpty() ? QString() : f.lastTyped(), row.keys);
        QVERIFY(f.keys.deliveries.isEmpty()); // one sending at most
        QCOMPARE(f.status, row.status);
        QCOMPARE(f.engine.LastClip, row.text.isEmpty() ? 0 : 6);
        QCOMPARE(f.marked, f.engine.LastClip);
        f.engine.ClipHotkeyTrigger(6); // the clip's hotkey makes it the last one, empty or not
        QCOMPARE(f.engine.LastClip, 6);
    }

    // The forms of a clip on the clipboard: rich text as RTF first, then HTML and plain text of the one document;
    // plain text with LF alone; the same on the primary selection only for Shift+Insert.
    void clipboardForms_data() {
        QTest::addColumn<FormsRow>("row");
        const QString s = ClipTable::TxtSimple, l = ClipTable::TxtLong, r = ClipTable::Rtf;
        const QString plain = "text/plain text/plain;charset=utf-8", rich = "text/rtf text/html " + plain;
        const QString rtf = "{\\rtf1\\ansi Rich {\\b bold}\\par \\u268?esk\\u253?\\line x\\par}";
        QTest::newRow("simple") << FormsRow{s, "one %user%", 1, plain, "one jana", false};
        QTest::newRow("long: LF alone") << FormsRow{l, "a\r\nb\rc\n", 2, plain, "a\nb\nc\n", false};
        QTest::newRow("long, Shift+Insert") << FormsRow{l, "a\r\nb", 3, plain, "a\nb", true};
        QTest::newRow("rich") << FormsRow{r, rtf, 1, rich, "Rich bold\nČeský\nx", false};
        QTest::newRow("picture, Shift+Insert") << FormsRow{ClipTable::Img, "", 3, "application/x-qt-image", "", true};
    }
    void clipboardForms() {
        QFETCH(FormsRow, row);
        const ClipTable::Clip clip{row.format, row.format == ClipTable::TxtSimple ? row.data : "Caption", row.data,
                                   uniform(2, 2, Qt::red)};
        const ClipboardContent content = clipboardContent(clip, row.method, QStringLiteral("jana"));
        QCOMPARE(bool(content.selection), row.primary);
        for (const QMimeData* mime : {content.clipboard.get(), content.selection.get()}) {
            if (!mime)
                continue;
            QCOMPARE(mime->formats().join(' '), row.forms);
            QCOMPARE(mime->text(), row.text);
            QCOMPARE(mime->data("text/plain;charset=utf-8"), row.text.toUtf8());
            if (row.format != ClipTable::Rtf)
                continue;
            QCOMPARE(mime->data("text/rtf"), row.data.toLatin1());
            QTextDocument html;
            html.setHtml(mime->html());
            QCOMPARE(html.toPlainText().replace(QChar::LineSeparator, '\n'), row.text);
            QTextCursor bold(&html);
            bold.setPosition(row.text.indexOf("bold") + 1);
            QVERIFY(bold.charFormat().fontWeight() >= QFont::Bold);
        }
    }

    // "Clip n pasted." only once the keys have reached the window; otherwise why not.
    void pasteStatus_data() {
        columns<KeySender::Result, QString>("result", "status");
        QTest::newRow("sent") << KeySender::Result::Sent << "Clip 6 pasted.";
        QTest::newRow("no focus") << KeySender::Result::NotActive << "Can't activate last active application.";
        QTest::newRow("keys failed") << KeySender::Result::Failed << "Clip 6 not pasted: the keys could not be sent.";
        QTest::newRow("cancelled") << KeySender::Result::Cancelled << "Clip 6 not pasted.";
    }
    void pasteStatus() {
        const auto [result, status] = fetch<KeySender::Result, QString>("result", "status");
        Fixture f;
        f.keys.result = result;
        f.table.setText(6, QStringLiteral("six"));
        f.engine.CopyClip(6);
        QCOMPARE(f.status, QStringLiteral("Text copied.")); // no key has gone out yet
        QTRY_COMPARE(f.status, status);
    }

    // After the clipboard menu's date and time: the settings as stored now decide; which keys is PasteMethod's.
    void pasteClipboard() {
        Fixture f;
        f.settings.WriteSetting(QStringLiteral("Zolpane"), QStringLiteral("AutoPasteOther"), QStringLiteral("0"));
        f.engine.PasteClipboardToLastApplication(); // sends nothing
        f.settings.WriteSetting(QStringLiteral("Zolpane"), QStringLiteral("PasteMethod"), QStringLiteral("3"));
        f.settings.WriteSetting(QStringLiteral("Zolpane"), QStringLiteral("AutoPasteOther"), QStringLiteral("1"));
        f.engine.PasteClipboardToLastApplication();
        QCOMPARE(f.lastTyped(), QStringLiteral("+INSERT"));
        QVERIFY(f.keys.deliveries.isEmpty());
        f.settings.WriteSetting(QStringLiteral("Zolpane"), QStringLiteral("PasteMethod"), QStringLiteral("0"));
        f.engine.PasteClipboardToLastApplication(); // read as the setting is read: 0 is 1
        QCOMPARE(f.lastTyped(), QStringLiteral("^v"));
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

    // A desktop that shows no other application's windows: the caption says where the paste goes, and the keys
    // go to the window in front, without activating anything.
    void pasteIntoTheWindowInFront() {
        Fixture f;
        f.windows.caps = {false, false, false};
        f.record.start();
        QCOMPARE(f.record.LastWindowTitle(), QStringLiteral("the window in front when pasting"));
        f.table.setText(1, QStringLiteral("x"));
        const qsizetype activations = f.windows.activations.size();
        f.engine.CopyClip(1);
        QTRY_COMPARE(f.status, QStringLiteral("Clip 1 pasted."));
        QCOMPARE(f.windows.activations.size(), activations);
        QCOMPARE(f.keys.deliveries.last().window, f.windows.foregroundWindow());
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

    // Registration from the settings and changes, dispatch by id, and clip hotkeys going through the release
    // wait (how the wait behaves is the release waiter's).
    void hotkeys() {
        namespace M = HotkeyModifier;
        const int two = KeyCode::Digit0 + 2, three = two + 1, four = two + 2, five = two + 3;
        Fixture f;
        f.hotkeySystem.refuse(M::Control, five);
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^hotkey of clip 5 refused"));
        f.hotkeys.InitHotkeys();
        QVERIFY(!f.hotkeySystem.isRegistered(11)); // refused, but counts as the clip's; the others go on
        QVERIFY(f.hotkeys.ClipHotkeyOn[5]);
        QCOMPARE(f.hotkeys.ClipHotkeyKey[5], five);
        QVERIFY(f.hotkeySystem.isRegistered(12));
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

        QSignalSpy show(&f.hotkeys, &Hotkeys::showMainWindowRequested);
        QSignalSpy menu(&f.hotkeys, &Hotkeys::clipboardMenuRequested);
        QSignalSpy paste(&f.hotkeys, &Hotkeys::pasteMenuRequested);
        QSignalSpy settings(&f.hotkeys, &Hotkeys::settingsRequested);
        for (int id : {1, 2, 4, 5, 6, 37})
            f.hotkeys.HotkeyWindowProc(id);
        QCOMPARE(show.size() + menu.size() + paste.size() + settings.size(), 4);

        f.settings.AutoPaste = false;
        f.table.setText(2, QStringLiteral("two"));
        QApplication::clipboard()->setText(QStringLiteral("before"));
        f.hotkeySystem.setKeyDown(KeyCode::Control, true);
        f.hotkeySystem.setKeyDown(two, true);
        QVERIFY(f.hotkeySystem.press(8));
        QVERIFY(f.hotkeys.ClipHotkeyBusy()); // waits for the keys to go up
        f.hotkeySystem.setKeyDown(KeyCode::Control, false);
        f.hotkeySystem.setKeyDown(two, false);
        QTRY_COMPARE(QApplication::clipboard()->text(), QStringLiteral("two"));
        QTRY_VERIFY(!f.hotkeys.ClipHotkeyBusy());
        // Exiting: a hotkey does nothing, and a wait ends without acting, even once the keys are up.
        f.table.setText(3, QStringLiteral("three"));
        f.hotkeySystem.setKeyDown(three, true);
        QVERIFY(f.hotkeySystem.press(9));
        f.exiting = true;
        f.hotkeys.HotkeyWindowProc(1);
        QCOMPARE(show.size(), 1);
        f.hotkeySystem.setKeyDown(three, false);
        QTest::qWait(60);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("two"));
    }

    // The three newest foreign windows: followed, then activated newest first, as each was left.
    void lastWindowRecord() {
        HeadlessWindowSystem windows;
        const QString longTitle = QString(48, u'x') + QStringLiteral("😀tail"); // the emoji straddles the limit
        windows.addWindow(1, QStringLiteral("oldest"), true);
        windows.addWindow(2, QStringLiteral("second"));
        windows.addWindow(3, longTitle);
        windows.addWindow(4, QStringLiteral("app 4"));
        windows.addWindow(50, QStringLiteral("panel"), false, true);
        windows.addWindow(60, QStringLiteral("Zolpane"), false, true);
        windows.setActive(1);
        bool exiting = false;
        LastWindowRecord record(windows, [&exiting] { return exiting; });
        QSignalSpy changes(&record, &LastWindowRecord::lastWindowChanged);
        record.start();
        QCOMPARE(record.LastWindows(), (Ids{1, 0, 0}));
        // The panel never enters, the same window again adds nothing, no active window changes nothing.
        for (WindowId w : {2, 50, 2, 0, 3})
            windows.setActive(w);
        QCOMPARE(record.LastWindows(), (Ids{3, 2, 1}));
        QCOMPARE(changes.count(), 3); // the start, then windows 2 and 3: what the last-window label follows
        QCOMPARE(record.LastWindowTitle(), QString(48, u'x'));
        QCOMPARE(record.LastWindowMaximized(), (std::array<bool, 3>{false, false, true}));
        // The user maximizes the newest window and switches to ours, which never enters: taken as it was left.
        windows.setMaximized(3, true);
        windows.setActive(60);
        QCOMPARE(record.LastWindows(), (Ids{3, 2, 1}));
        QVERIFY(record.ActivateLastApplication());
        QCOMPARE(record.activatedWindow(), WindowId(3));
        QCOMPARE(windows.activations.last().maximize, true);
        windows.setActive(4);
        QCOMPARE(record.LastWindows(), (Ids{4, 3, 2}));
        QCOMPARE(record.LastWindowTitle(), QStringLiteral("app 4"));
        // The newest ones were closed: the next older comes back, as it was.
        windows.setActive(60);
        windows.removeWindow(4);
        windows.removeWindow(3);
        QVERIFY(record.ActivateLastApplication());
        QCOMPARE(record.activatedWindow(), WindowId(2));
        QCOMPARE(windows.activations.last().maximize, false);
        windows.removeWindow(2);
        windows.removeWindow(1);
        const auto activations = windows.activations.size();
        QVERIFY(!record.ActivateLastApplication());
        QCOMPARE(record.activatedWindow(), WindowId(0));
        QCOMPARE(windows.activations.size(), activations);
        // Following ends with the exit.
        const Ids before = record.LastWindows();
        exiting = true;
        windows.addWindow(5, QStringLiteral("late"));
        windows.setActive(5);
        exiting = false;
        windows.addWindow(6, QStringLiteral("later"));
        windows.setActive(6);
        QCOMPARE(record.LastWindows(), before);
    }
};

ZP_TEST_CLASS(PasteEngineTest)
#include "PasteEngineTest.moc"
