#include "TestSupport.h"
#include "paste/KeystrokeParser.h"
#include "paste/KeystrokeText.h"
#include "paste/PasteMethod.h"
#include "platform/KeySymbols.h"
#include "platform/headless/HeadlessKeySender.h"
#include "platform/headless/HeadlessWindowSystem.h"

#include <QTimer>

using namespace TestSupport;

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

} // namespace

// Keystrokes from the notation to the key symbols sent: parsing, the escaping of clip text, placeholders, the
// keys of each paste method, and the sender that waits for the target window.
class KeystrokeTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // refusedAt: where a refused string is refused, -1 for one that is accepted.
    void parse_data() {
        columns<QString, KeyActions, qsizetype>("keys", "expected", "refusedAt");
        using K = SpecialKey;
        const auto accepts = [](const char* tag, const QString& keys, const KeyActions& expected) {
            QTest::newRow(tag) << keys << expected << qsizetype(-1);
        };
        // clang-format off
        accepts("Control+V as pasted", "^{v}", {ch('v', C)});
        accepts("Control+V unbraced", "^v", {ch('v', C)});
        accepts("Shift+Insert", "+{INSERT}", {key(K::Insert, S)});
        accepts("modifier holds one key", "+ab", {ch('a', S), ch('b')});
        accepts("modifiers combine", "^+%{F12}", {key(K::F12, C | S | A)});
        accepts("group", "%(ab)c", {ch('a', A), ch('b', A), ch('c')});
        accepts("nested group", "^(a+(b)c)", {ch('a', C), ch('b', C | S), ch('c', C)});
        accepts("tilde is Enter", "a~", {ch('a'), key(K::Enter)});
        accepts("braced specials are literal", "{+}{^}{%}{~}{(}{)}{|}{;}{[}{]}{\"}", chars(QStringLiteral("+^%~()|;[]\"")));
        accepts("braced braces", "{{}{}}", chars(QStringLiteral("{}")));
        accepts("line breaks and tab", "a\r\nb\nc\rd\te",
                {ch('a'), key(K::Enter), ch('b'), key(K::Enter), ch('c'), key(K::Enter), ch('d'), key(K::Tab), ch('e')});
        accepts("names in any case", "{enter}{Bs}{pgdn}", {key(K::Enter), key(K::Backspace), key(K::PageDown)});
        accepts("repeat", "+{x 3}{TAB 0}", {ch('x', S), ch('x', S), ch('x', S)});
        accepts("non-Latin and astral", QStringLiteral("ř😀{😀}"), {ch(U'ř'), ch(U'😀'), ch(U'😀')});
        accepts("empty", "", {});
        // clang-format on
        const std::pair<const char*, qsizetype> refused[] = {{"ab{x", 2}, {"a}", 1},   {"{NOPE}", 0},
                                                             {"a+", 2},   {"+(ab", 4}, {"a)", 1},
                                                             {"(a^)", 3}, {"{}", 0},   {"{x 100000}", 0}};
        for (const auto& [keys, position] : refused)
            QTest::newRow(keys) << QString::fromLatin1(keys) << KeyActions{} << position;
    }
    void parse() {
        QFETCH(QString, keys);
        const KeystrokeParseResult result = KeystrokeParser::parse(keys);
        QTEST(result.ok() ? qsizetype(-1) : result.position, "refusedAt");
        QTEST(result.actions, "expected"); // nothing of a refused string is ever typed
    }

    // Escaped clip text types itself, less the braces the escaping removes.
    void escapeKeystrokes_data() {
        columns<QString, QString>("text", "expected");
        // clang-format off
        QTest::newRow("plain text unchanged") << "Hello, world." << "Hello, world.";
        QTest::newRow("braces removed") << "{a}b{{c}}" << "abc";
        QTest::newRow("every special braced") << "\";[]+^%~()|" << "{\"}{;}{[}{]}{+}{^}{%}{~}{(}{)}{|}";
        // Removing the braces first is what keeps "{+}" from turning into garbage.
        QTest::newRow("braces go before bracing") << "{+}" << "{+}";
        QTest::newRow("Czech with signs") << QStringLiteral("žluťoučký a+b~c {x}")
                                          << QStringLiteral("žluťoučký a{+}b{~}c x");
        // clang-format on
    }
    void escapeKeystrokes() {
        QFETCH(QString, text);
        QString escaped = text;
        EscapeKeystrokes(escaped);
        QTEST(escaped, "expected");
        const KeystrokeParseResult result = KeystrokeParser::parse(escaped);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.actions, chars(text.remove(u'{').remove(u'}')));
    }

    void expandPlaceholders_data() {
        columns<QLocale, QString, QString, QString>("locale", "text", "user", "expected");
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QLocale de(QLocale::German, QLocale::Germany);
        // clang-format off
        QTest::newRow("time with seconds, no zone") << us << "at %time%" << "u" << "at 2:07:09 PM";
        QTest::newRow("German time") << de << "%time%" << "u" << "14:07:09";
        QTest::newRow("short date") << us << "%date%" << "u" << "3/5/24";
        QTest::newRow("German date") << de << "%date%" << "u" << "05.03.24";
        QTest::newRow("user") << us << "by %user%." << "jana" << "by jana.";
        QTest::newRow("other case unchanged") << us << "%TIME% %Date% %USER%" << "u" << "%TIME% %Date% %USER%";
        QTest::newRow("every occurrence") << us << "%user%%user%" << "ab" << "abab";
        // The user comes last, so a name that looks like a placeholder is not expanded again.
        QTest::newRow("user expanded last") << us << "%user%" << "%date%" << "%date%";
        // clang-format on
    }
    void expandPlaceholders() {
        auto [locale, text, user] = fetch<QLocale, QString, QString>("locale", "text", "user");
        ExpandPlaceholders(text, user, QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)), locale);
        QTEST(text, "expected");
    }

    // keys: "" nothing, "TEXT" the clip typed; clipboard: what the clipboard paste after the date and time
    // commands sends, which reads the setting alone (key by key is Control+V there).
    void effectiveMethod_data() {
        columns<int, int, QString, QString, QString>("clipMethod", "setting", "format", "keys", "clipboard");
        const auto row = [](const char* tag, int clipMethod, int setting, const char* format, const QString& keys,
                            const QString& clipboard) {
            QTest::newRow(tag) << clipMethod << setting << QString(format) << keys << clipboard;
        };
        const QString v = QStringLiteral("^{v}"), insert = QStringLiteral("+{INSERT}"), text = "TEXT";
        row("Control+V", 1, 3, "TXT-SIMPLE", v, insert);
        row("Shift+Insert", 3, 1, "TXT-LONG", insert, v);
        row("default follows the setting", 4, 3, "TXT-SIMPLE", insert, insert);
        row("default key by key", 4, 2, "TXT-LONG", text, v);
        row("key by key simple", 2, 0, "TXT-SIMPLE", text, "");
        row("key by key picture", 2, 1, "IMG", v, v);
        row("key by key rich text", 2, 1, "RTF", v, v);
        row("method 0 sends nothing", 0, 4, "TXT-SIMPLE", "", "");
        row("method 5 sends nothing", 5, 1, "TXT-SIMPLE", "", v);
        row("default with a bad setting", 4, 7, "TXT-SIMPLE", "", "");
    }
    void effectiveMethod() {
        const auto [clipMethod, setting, format] = fetch<int, int, QString>("clipMethod", "setting", "format");
        const auto send = PasteMethod::forClip(PasteMethod::effective(clipMethod, setting), format);
        QTEST(send == PasteMethod::Send::ClipText ? QStringLiteral("TEXT") : PasteMethod::keysFor(send), "keys");
        QTEST(PasteMethod::keysFor(PasteMethod::forClipboard(setting)), "clipboard");
    }

    void senderWaitsForTarget() {
        HeadlessWindowSystem windows;
        windows.addWindow(1, QStringLiteral("target"));
        windows.addWindow(2, QStringLiteral("other"));
        HeadlessKeySender sender(windows);
        QSignalSpy finished(&sender, &KeySender::finished);
        const KeyActions v{ch('v', C)};
        auto result = [&finished](qsizetype i) { return finished.at(i).at(0).value<KeySender::Result>(); };
        // The target gets the focus a little later: the keys wait for it and then go there.
        windows.setActive(2);
        sender.send(1, v);
        sender.send(0, {ch('a')}); // queued behind; goes to whatever has the focus then
        QVERIFY(sender.isBusy());
        QTimer::singleShot(20, &windows, [&windows] { windows.setActive(1); });
        QTRY_COMPARE(finished.count(), 2);
        QCOMPARE(result(0), KeySender::Result::Sent);
        QCOMPARE(sender.deliveries.size(), 2);
        QCOMPARE(sender.deliveries.at(0).window, WindowId(1));
        QCOMPARE(sender.deliveries.at(0).keys, v);
        QVERIFY(!sender.isBusy());
        // A window manager that never gives the focus: nothing is sent.
        windows.setFocusWithheld(true);
        sender.send(1, v);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 3, KeySender::activationTimeoutMs * 5);
        QCOMPARE(result(2), KeySender::Result::NotActive);
        QCOMPARE(sender.deliveries.size(), 2);
        // A sending that settles first looks at the focus after it: a window the user went to meanwhile gets nothing.
        windows.setFocusWithheld(false);
        windows.setActive(1);
        sender.settle = 100;
        sender.send(1, v);
        QTimer::singleShot(20, &windows, [&windows] { windows.setActive(2); });
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 4, KeySender::activationTimeoutMs * 5);
        QCOMPARE(result(3), KeySender::Result::NotActive);
        QCOMPARE(sender.deliveries.size(), 2);
        // Cancelling drops the running and the queued sendings.
        sender.send(1, v);
        sender.send(1, v);
        sender.cancel();
        QCOMPARE(finished.count(), 6);
        QCOMPARE(result(5), KeySender::Result::Cancelled);
        QVERIFY(!sender.isBusy());
        QCOMPARE(sender.deliveries.size(), 2);
    }

    void characterSymbols_data() {
        columns<uint, qulonglong>("character", "keysym");
        // Latin-1 as it is, other characters as 0x1000000 + code point, line feed and tab as keys, control
        // characters and lone surrogates not at all.
        const std::pair<uint, qulonglong> rows[] = {
            {'a', 0x61},          {'~', 0x7e},    {U'é', 0xe9},   {0xa0, 0xa0}, {U'ř', 0x1000159}, {U'€', 0x10020ac},
            {0x1f600, 0x101f600}, {'\n', 0xff0d}, {'\t', 0xff09}, {0x07, 0},    {0x85, 0},         {0xd800, 0}};
        for (const auto& [character, keysym] : rows)
            QTest::addRow("U+%04X", character) << character << keysym;
    }
    void characterSymbols() {
        QFETCH(uint, character);
        QTEST(qulonglong(KeySymbols::forCharacter(char32_t(character))), "keysym");
    }
};

ZP_TEST_CLASS(KeystrokeTest)
#include "KeystrokeTest.moc"
