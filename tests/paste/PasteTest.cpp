#include "paste/HotkeyKeyList.h"
#include "paste/HotkeyReleaseWaiter.h"
#include "paste/KeystrokeParser.h"
#include "paste/KeystrokeText.h"
#include "paste/LastWindowRecord.h"
#include "paste/PasteMethod.h"
#include "platform/headless/HeadlessHotkeySystem.h"
#include "platform/headless/HeadlessKeySender.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "platform/x11/X11KeyMap.h"

#include <QSignalSpy>
#include <QTest>

namespace {

KeyAction ch(char32_t c, quint8 mods = 0) {
    return KeyAction::typed(c, mods);
}
KeyAction key(SpecialKey k, quint8 mods = 0) {
    return KeyAction::special(k, mods);
}
constexpr quint8 S = ShiftModifier, C = ControlModifier, A = AltModifier;

KeyActions chars(const QString& text) {
    KeyActions out;
    for (char32_t c : text.toUcs4())
        out.append(ch(c));
    return out;
}

// Waits long enough for several polls of the release waiter.
void letWaiterPoll() {
    QTest::qWait(HotkeyReleaseWaiter::pollIntervalMs * 4);
}

} // namespace

class PasteTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data();
    void parse();
    void parseRefuses_data();
    void parseRefuses();
    void escapeKeystrokes_data();
    void escapeKeystrokes();
    void escapedTextTypesItself_data();
    void escapedTextTypesItself();
    void expandPlaceholders_data();
    void expandPlaceholders();
    void effectiveMethod_data();
    void effectiveMethod();
    void releaseWaitsForEveryKey_data();
    void releaseWaitsForEveryKey();
    void releaseWaiterIsBusyFlag();
    void releaseWaitEndsWhenExiting_data();
    void releaseWaitEndsWhenExiting();
    void lastWindowsFollowForeignWindows();
    void lastWindowMaximizedAndTitle();
    void activateFallsBackToOlderWindows();
    void keySenderWaitsForTarget();
    void hotkeyKeySymbols_data();
    void hotkeyKeySymbols();
    void characterSymbols_data();
    void characterSymbols();
    void hotkeyKeyList_data();
    void hotkeyKeyList();
};

void PasteTest::parse_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<KeyActions>("expected");
    QTest::newRow("Control+V as pasted") << "^{v}" << KeyActions{ch('v', C)};
    QTest::newRow("Control+V unbraced") << "^v" << KeyActions{ch('v', C)};
    QTest::newRow("Shift+Insert") << "+{INSERT}" << KeyActions{key(SpecialKey::Insert, S)};
    QTest::newRow("modifier holds one key") << "+ab" << KeyActions{ch('a', S), ch('b')};
    QTest::newRow("modifiers combine") << "^+%{F12}" << KeyActions{key(SpecialKey::F12, C | S | A)};
    QTest::newRow("group") << "%(ab)c" << KeyActions{ch('a', A), ch('b', A), ch('c')};
    QTest::newRow("nested group") << "^(a+(b)c)" << KeyActions{ch('a', C), ch('b', C | S), ch('c', C)};
    QTest::newRow("tilde is Enter") << "a~" << KeyActions{ch('a'), key(SpecialKey::Enter)};
    QTest::newRow("braced specials are literal")
        << "{+}{^}{%}{~}{(}{)}{|}{;}{[}{]}{\"}" << chars(QStringLiteral("+^%~()|;[]\""));
    QTest::newRow("braced braces") << "{{}{}}" << chars(QStringLiteral("{}"));
    QTest::newRow("line breaks and tab") << "a\r\nb\nc\rd\te"
                                         << KeyActions{ch('a'), key(SpecialKey::Enter), ch('b'), key(SpecialKey::Enter),
                                                       ch('c'), key(SpecialKey::Enter), ch('d'), key(SpecialKey::Tab),
                                                       ch('e')};
    QTest::newRow("names in any case") << "{enter}{Bs}{pgdn}"
                                       << KeyActions{key(SpecialKey::Enter), key(SpecialKey::Backspace),
                                                     key(SpecialKey::PageDown)};
    QTest::newRow("repeat") << "+{x 3}{TAB 0}" << KeyActions{ch('x', S), ch('x', S), ch('x', S)};
    QTest::newRow("non-Latin and astral") << QStringLiteral("ř😀{😀}") << KeyActions{ch(U'ř'), ch(U'😀'), ch(U'😀')};
    QTest::newRow("empty") << "" << KeyActions{};
}

void PasteTest::parse() {
    QFETCH(QString, keys);
    QFETCH(KeyActions, expected);
    const KeystrokeParseResult result = KeystrokeParser::parse(keys);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.actions, expected);
}

void PasteTest::parseRefuses_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<qsizetype>("position");
    QTest::newRow("unclosed brace") << "ab{x" << qsizetype(2);
    QTest::newRow("lone closing brace") << "a}" << qsizetype(1);
    QTest::newRow("unknown name") << "{NOPE}" << qsizetype(0);
    QTest::newRow("modifier at end") << "a+" << qsizetype(2);
    QTest::newRow("unclosed group") << "+(ab" << qsizetype(4);
    QTest::newRow("lone closing parenthesis") << "a)" << qsizetype(1);
    QTest::newRow("modifier before closing parenthesis") << "(a^)" << qsizetype(3);
    QTest::newRow("repeat too large") << "{x 100000}" << qsizetype(0);
    QTest::newRow("empty braces") << "{}" << qsizetype(0);
}

void PasteTest::parseRefuses() {
    QFETCH(QString, keys);
    QFETCH(qsizetype, position);
    const KeystrokeParseResult result = KeystrokeParser::parse(keys);
    QVERIFY(!result.ok());
    QCOMPARE(result.position, position);
    QVERIFY(result.actions.isEmpty()); // nothing of a refused string is ever typed
}

void PasteTest::escapeKeystrokes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain text unchanged") << "Hello, world."
                                          << "Hello, world.";
    QTest::newRow("braces removed") << "{a}b{{c}}"
                                    << "abc";
    QTest::newRow("every special braced") << "\";[]+^%~()|"
                                          << "{\"}{;}{[}{]}{+}{^}{%}{~}{(}{)}{|}";
    // Removing the braces first is what keeps "{+}" from becoming "{{+}}"-like garbage.
    QTest::newRow("braces go before bracing") << "{+}"
                                              << "{+}";
    QTest::newRow("mixed") << "a+b~c {x}"
                           << "a{+}b{~}c x";
}

void PasteTest::escapeKeystrokes() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    EscapeKeystrokes(text);
    QCOMPARE(text, expected);
}

void PasteTest::escapedTextTypesItself_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("Czech with signs") << QStringLiteral("Příliš žluťoučký kůň a+b~c");
    QTest::newRow("every special") << QStringLiteral("\"x\";[y]+^%~(z)|");
    QTest::newRow("percent words") << QStringLiteral("100% of ^caret^ and (paren)");
}

void PasteTest::escapedTextTypesItself() {
    QFETCH(QString, text);
    QString escaped = text;
    EscapeKeystrokes(escaped);
    const KeystrokeParseResult result = KeystrokeParser::parse(escaped);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.actions, chars(text));
}

void PasteTest::expandPlaceholders_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("expected");
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    QTest::newRow("time with seconds, no zone") << us << "at %time%"
                                                << "u"
                                                << "at 2:07:09 PM";
    QTest::newRow("German time") << de << "%time%"
                                 << "u"
                                 << "14:07:09";
    QTest::newRow("short date") << us << "%date%"
                                << "u"
                                << "3/5/24";
    QTest::newRow("German date") << de << "%date%"
                                 << "u"
                                 << "05.03.24";
    QTest::newRow("user") << us << "by %user%."
                          << "jana"
                          << "by jana.";
    QTest::newRow("other case unchanged") << us << "%TIME% %Date% %USER%"
                                          << "u"
                                          << "%TIME% %Date% %USER%";
    QTest::newRow("every occurrence") << us << "%user%%user%"
                                      << "ab"
                                      << "abab";
    // The user comes last, so a name that looks like a placeholder is not expanded again.
    QTest::newRow("user expanded last") << us << "%user%"
                                        << "%date%"
                                        << "%date%";
}

void PasteTest::expandPlaceholders() {
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(QString, user);
    QFETCH(QString, expected);
    ExpandPlaceholders(text, user, QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)), locale);
    QCOMPARE(text, expected);
}

void PasteTest::effectiveMethod_data() {
    QTest::addColumn<int>("clipMethod");
    QTest::addColumn<int>("setting");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("keys"); // "" nothing, "TEXT" the clip typed
    QTest::newRow("Control+V") << 1 << 3 << "TXT-SIMPLE"
                               << "^{v}";
    QTest::newRow("Shift+Insert") << 3 << 1 << "TXT-LONG"
                                  << "+{INSERT}";
    QTest::newRow("default follows the setting") << 4 << 3 << "TXT-SIMPLE"
                                                 << "+{INSERT}";
    QTest::newRow("default key by key") << 4 << 2 << "TXT-LONG"
                                        << "TEXT";
    QTest::newRow("key by key simple") << 2 << 1 << "TXT-SIMPLE"
                                       << "TEXT";
    QTest::newRow("key by key picture") << 2 << 1 << "IMG"
                                        << "^{v}";
    QTest::newRow("key by key rich text") << 2 << 1 << "RTF"
                                          << "^{v}";
    QTest::newRow("method 0 sends nothing") << 0 << 1 << "TXT-SIMPLE"
                                            << "";
    QTest::newRow("method 5 sends nothing") << 5 << 1 << "TXT-SIMPLE"
                                            << "";
    QTest::newRow("default with a bad setting") << 4 << 7 << "TXT-SIMPLE"
                                                << "";
}

void PasteTest::effectiveMethod() {
    QFETCH(int, clipMethod);
    QFETCH(int, setting);
    QFETCH(QString, format);
    QFETCH(QString, keys);
    const auto send = PasteMethod::forClip(PasteMethod::effective(clipMethod, setting), format);
    QCOMPARE(send == PasteMethod::Send::ClipText ? QStringLiteral("TEXT") : PasteMethod::keysFor(send), keys);
    // The clipboard paste after the date and time commands reads the setting alone; key by key is Control+V.
    const QString clipboardKeys = PasteMethod::keysFor(PasteMethod::forClipboard(setting));
    QCOMPARE(clipboardKeys, setting == 3 ? QStringLiteral("+{INSERT}")
                                         : (setting == 1 || setting == 2 ? QStringLiteral("^{v}") : QString()));
}

void PasteTest::releaseWaitsForEveryKey_data() {
    QTest::addColumn<int>("modifierCode");
    QTest::addColumn<int>("virtualKey");
    QTest::addColumn<QList<int>>("releaseOrder"); // keys down at the start, released one at a time
    QTest::newRow("Control+1, key released last") << 2 << 49 << QList<int>{17, 49};
    // xdotool and people let go of the modifiers before the key: the key itself must be awaited too.
    QTest::newRow("Control+Alt+1, modifiers first") << 3 << 49 << QList<int>{17, 18, 49};
    QTest::newRow("Alt+Shift+F5") << 5 << 116 << QList<int>{116, 16, 18};
    QTest::newRow("Control+Shift+Home") << 6 << 36 << QList<int>{36, 17, 16};
}

void PasteTest::releaseWaitsForEveryKey() {
    QFETCH(int, modifierCode);
    QFETCH(int, virtualKey);
    QFETCH(QList<int>, releaseOrder);
    QList<int> sortedKeys = HotkeyReleaseWaiter::keysOf(modifierCode, virtualKey);
    QList<int> sortedOrder = releaseOrder;
    std::sort(sortedKeys.begin(), sortedKeys.end());
    std::sort(sortedOrder.begin(), sortedOrder.end());
    QCOMPARE(sortedKeys, sortedOrder);

    HeadlessHotkeySystem hotkeys;
    for (int k : releaseOrder)
        hotkeys.setKeyDown(k, true);
    hotkeys.setKeyDown(90, true); // a key outside the combination does not hold the action back
    HotkeyReleaseWaiter waiter(
        hotkeys, [] { return false; }, HotkeyReleaseWaiter::ExitCheck::ExitFirst);
    QSignalSpy released(&waiter, &HotkeyReleaseWaiter::released);
    QVERIFY(waiter.start(modifierCode, virtualKey));
    for (int k : releaseOrder) {
        letWaiterPoll();
        QCOMPARE(released.count(), 0);
        QVERIFY(waiter.isBusy());
        hotkeys.setKeyDown(k, false);
    }
    QTRY_COMPARE(released.count(), 1);
    QVERIFY(!waiter.isBusy());
}

void PasteTest::releaseWaiterIsBusyFlag() {
    HeadlessHotkeySystem hotkeys;
    hotkeys.setKeyDown(17, true);
    HotkeyReleaseWaiter waiter(
        hotkeys, [] { return false; }, HotkeyReleaseWaiter::ExitCheck::ExitFirst);
    QSignalSpy released(&waiter, &HotkeyReleaseWaiter::released);
    QVERIFY(waiter.start(2, 81));
    QVERIFY(!waiter.start(2, 81)); // a repeat while waiting queues nothing
    hotkeys.setKeyDown(17, false);
    QTRY_COMPARE(released.count(), 1);
    letWaiterPoll();
    QCOMPARE(released.count(), 1);
    QVERIFY(waiter.start(2, 81)); // free again after the action
    QTRY_COMPARE(released.count(), 2);
}

void PasteTest::releaseWaitEndsWhenExiting_data() {
    QTest::addColumn<int>("exitCheck");
    QTest::addColumn<bool>("keysDown");
    QTest::addColumn<bool>("releasedExpected");
    using E = HotkeyReleaseWaiter::ExitCheck;
    QTest::newRow("clip hotkey, keys down") << int(E::ExitFirst) << true << false;
    QTest::newRow("clip hotkey, keys up") << int(E::ExitFirst) << false << false;
    QTest::newRow("paste next, keys down") << int(E::ExitWhileKeysDown) << true << false;
    QTest::newRow("paste next, keys up") << int(E::ExitWhileKeysDown) << false << true;
}

void PasteTest::releaseWaitEndsWhenExiting() {
    QFETCH(int, exitCheck);
    QFETCH(bool, keysDown);
    QFETCH(bool, releasedExpected);
    HeadlessHotkeySystem hotkeys;
    hotkeys.setKeyDown(81, true);
    bool exiting = false;
    HotkeyReleaseWaiter waiter(
        hotkeys, [&exiting] { return exiting; }, HotkeyReleaseWaiter::ExitCheck(exitCheck));
    QSignalSpy released(&waiter, &HotkeyReleaseWaiter::released);
    QVERIFY(waiter.start(2, 81));
    letWaiterPoll();
    exiting = true;
    hotkeys.setKeyDown(81, keysDown);
    letWaiterPoll();
    QCOMPARE(released.count(), releasedExpected ? 1 : 0);
    QCOMPARE(waiter.isBusy(), !releasedExpected); // an ended wait leaves its flag set
    hotkeys.setKeyDown(81, false);
    letWaiterPoll();
    QCOMPARE(released.count(), releasedExpected ? 1 : 0);
    QVERIFY(!waiter.start(2, 81)); // nothing starts while exiting
}

void PasteTest::lastWindowsFollowForeignWindows() {
    HeadlessWindowSystem windows;
    for (WindowId w : {1, 2, 3, 4})
        windows.addWindow(w, QStringLiteral("app %1").arg(w));
    windows.addWindow(50, QStringLiteral("panel"), false, true);
    windows.addWindow(60, QStringLiteral("Zolpane"), false, true);
    windows.setActive(1);
    bool exiting = false;
    LastWindowRecord record(windows, [&exiting] { return exiting; });
    record.start();
    using Ids = std::array<WindowId, 3>;
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

void PasteTest::lastWindowMaximizedAndTitle() {
    HeadlessWindowSystem windows;
    const QString longTitle = QString(48, u'x') + QStringLiteral("😀tail"); // the emoji straddles the limit
    windows.addWindow(1, longTitle);
    windows.addWindow(2, QStringLiteral("editor"), true);
    windows.addWindow(9, QStringLiteral("Zolpane"), false, true);
    LastWindowRecord record(windows, nullptr);
    record.start();
    windows.setActive(1);
    QCOMPARE(record.LastWindowTitle(), QString(48, u'x'));
    windows.setActive(2);
    QCOMPARE(record.LastWindowTitle(), QStringLiteral("editor"));
    QCOMPARE(record.LastWindowMaximized(), (std::array<bool, 3>{true, false, false}));
    // The user restores the editor's size and switches to our window: the state is taken as it was left.
    windows.setMaximized(2, false);
    windows.setActive(9);
    QCOMPARE(record.LastWindowMaximized()[0], false);
}

void PasteTest::activateFallsBackToOlderWindows() {
    HeadlessWindowSystem windows;
    windows.addWindow(1, QStringLiteral("oldest"), true);
    windows.addWindow(2, QStringLiteral("second"), true);
    windows.addWindow(3, QStringLiteral("newest"));
    windows.addWindow(9, QStringLiteral("Zolpane"), false, true);
    LastWindowRecord record(windows, nullptr);
    record.start();
    for (WindowId w : {1, 2, 3, 9})
        windows.setActive(w);

    QVERIFY(record.ActivateLastApplication());
    QCOMPARE(record.activatedWindow(), WindowId(3));
    QCOMPARE(windows.activations.last().maximize, false);

    windows.setActive(9);
    windows.removeWindow(3); // the newest one was closed: the second newest comes back, maximized as it was
    QVERIFY(record.ActivateLastApplication());
    QCOMPARE(record.activatedWindow(), WindowId(2));
    QCOMPARE(windows.activations.last().maximize, true);
    QCOMPARE(windows.foregroundWindow(), WindowId(2));

    windows.removeWindow(2);
    windows.removeWindow(1);
    const auto before = windows.activations.size();
    QVERIFY(!record.ActivateLastApplication());
    QCOMPARE(record.activatedWindow(), WindowId(0));
    QCOMPARE(windows.activations.size(), before);
}

void PasteTest::keySenderWaitsForTarget() {
    HeadlessWindowSystem windows;
    windows.addWindow(1, QStringLiteral("target"));
    windows.addWindow(2, QStringLiteral("other"));
    HeadlessKeySender sender(windows);
    QSignalSpy finished(&sender, &KeySender::finished);
    const KeyActions v{ch('v', C)};

    // The target gets the focus a little later: the keys wait for it and then go there.
    windows.setActive(2);
    sender.send(1, v);
    sender.send(0, chars(QStringLiteral("ab"))); // queued behind; goes to whatever has the focus then
    QVERIFY(sender.isBusy());
    QTimer::singleShot(20, &windows, [&windows] { windows.setActive(1); });
    QTRY_COMPARE(finished.count(), 2);
    QCOMPARE(finished.at(0).at(0).value<KeySender::Result>(), KeySender::Result::Sent);
    QCOMPARE(sender.deliveries.size(), 2);
    QCOMPARE(sender.deliveries.at(0).window, WindowId(1));
    QCOMPARE(sender.deliveries.at(0).keys, v);
    QVERIFY(!sender.isBusy());

    // A window manager that never gives the focus: nothing is sent.
    windows.setFocusWithheld(true);
    sender.send(1, v);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 3, KeySender::activationTimeoutMs * 5);
    QCOMPARE(finished.at(2).at(0).value<KeySender::Result>(), KeySender::Result::NotActive);
    QCOMPARE(sender.deliveries.size(), 2);

    // Cancelling drops the running and the queued sendings.
    sender.send(1, v);
    sender.send(1, v);
    sender.cancel();
    QCOMPARE(finished.count(), 5);
    QCOMPARE(finished.at(4).at(0).value<KeySender::Result>(), KeySender::Result::Cancelled);
    QVERIFY(!sender.isBusy());
    QCOMPARE(sender.deliveries.size(), 2);
}

void PasteTest::hotkeyKeySymbols_data() {
    QTest::addColumn<int>("virtualKey");
    QTest::addColumn<qulonglong>("keysym");
    QTest::addColumn<bool>("supported");
    // Letters grab the key of the small letter: a grab on the capital's symbol would find no key.
    QTest::newRow("0") << 48 << 0x30ull << true;
    QTest::newRow("9") << 57 << 0x39ull << true;
    QTest::newRow("A") << 65 << 0x61ull << true;
    QTest::newRow("Z") << 90 << 0x7aull << true;
    QTest::newRow("F1") << 112 << 0xffbeull << true;
    QTest::newRow("F12") << 123 << 0xffc9ull << true;
    QTest::newRow("Page Up") << 33 << 0xff55ull << true;
    QTest::newRow("Page Down") << 34 << 0xff56ull << true;
    QTest::newRow("End") << 35 << 0xff57ull << true;
    QTest::newRow("Home") << 36 << 0xff50ull << true;
    QTest::newRow("Insert") << 45 << 0xff63ull << true;
    QTest::newRow("Shift is no hotkey key") << 16 << 0ull << false;
    QTest::newRow("Delete is not offered") << 46 << 0ull << false;
    QTest::newRow("F13") << 124 << 0ull << false;
    QTest::newRow("none") << 0 << 0ull << false;
}

void PasteTest::hotkeyKeySymbols() {
    QFETCH(int, virtualKey);
    QFETCH(qulonglong, keysym);
    QFETCH(bool, supported);
    QCOMPARE(qulonglong(X11KeyMap::symbolForVirtualKey(virtualKey)), keysym);
    QCOMPARE(HotkeySystem::isSupportedKey(virtualKey), supported);
}

void PasteTest::characterSymbols_data() {
    QTest::addColumn<uint>("character");
    QTest::addColumn<qulonglong>("keysym");
    QTest::newRow("ASCII") << uint('a') << 0x61ull;
    QTest::newRow("tilde") << uint('~') << 0x7eull;
    QTest::newRow("Latin-1") << uint(U'é') << 0xe9ull;
    QTest::newRow("no-break space") << 0xa0u << 0xa0ull;
    QTest::newRow("Czech") << uint(U'ř') << 0x1000159ull;
    QTest::newRow("euro") << uint(U'€') << 0x10020acull;
    QTest::newRow("astral") << 0x1f600u << 0x101f600ull;
    QTest::newRow("line feed is Return") << uint('\n') << 0xff0dull;
    QTest::newRow("tab") << uint('\t') << 0xff09ull;
    QTest::newRow("other control character") << 0x07u << 0ull;
    QTest::newRow("C1 control") << 0x85u << 0ull;
    QTest::newRow("lone surrogate") << 0xd800u << 0ull;
}

void PasteTest::characterSymbols() {
    QFETCH(uint, character);
    QFETCH(qulonglong, keysym);
    QCOMPARE(qulonglong(X11KeyMap::symbolForCharacter(char32_t(character))), keysym);
}

void PasteTest::hotkeyKeyList_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("keyCode");
    QTest::newRow("none") << 0 << "(none)" << 0;
    QTest::newRow("first digit") << 1 << "0" << 48;
    QTest::newRow("last digit") << 10 << "9" << 57;
    QTest::newRow("first letter, small, capital's code") << 11 << "a" << 65;
    QTest::newRow("last letter") << 36 << "z" << 90;
    QTest::newRow("F1") << 37 << "F1" << 112;
    QTest::newRow("F12") << 48 << "F12" << 123;
    QTest::newRow("HOME") << 49 << "HOME" << 36;
    QTest::newRow("INSERT") << 50 << "INSERT" << 45;
    QTest::newRow("PAGE DOWN") << 51 << "PAGE DOWN" << 34;
    QTest::newRow("PAGE UP") << 52 << "PAGE UP" << 33;
    QTest::newRow("END") << 53 << "END" << 35;
}

void PasteTest::hotkeyKeyList() {
    QFETCH(int, position);
    QFETCH(QString, text);
    QFETCH(int, keyCode);
    const auto& list = HotkeyKeyList();
    QCOMPARE(list.size(), size_t(54));
    QCOMPARE(list.at(size_t(position)).text, text);
    QCOMPARE(list.at(size_t(position)).keyCode, keyCode);
    // Every key offered to the user can be registered with the platform.
    for (const HotkeyKeyEntry& entry : list)
        QVERIFY2(entry.keyCode == 0 || HotkeySystem::isSupportedKey(entry.keyCode), qPrintable(entry.text));
}

QTEST_GUILESS_MAIN(PasteTest)
#include "PasteTest.moc"
