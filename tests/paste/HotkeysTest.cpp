#include "paste/Hotkeys.h"
#include "TestSupport.h"
#include "paste/HotkeyKeyList.h"
#include "paste/HotkeyPicker.h"
#include "platform/HotkeyReleaseWaiter.h"
#include "platform/HotkeySystem.h"
#include "platform/KeyCodes.h"
#include "platform/KeySymbols.h"
#include "platform/headless/HeadlessHotkeySystem.h"

#include <QCheckBox>
#include <QComboBox>

#include <algorithm>

namespace {

// Waits long enough for several polls of the waiter.
void letWaiterPoll() {
    QTest::qWait(HotkeyReleaseWaiter::pollIntervalMs * 4);
}

// Modifier bits and key code set; the boxes checked among Alt, Control, Shift and the entry shown ("" for none).
struct PickerRow {
    int bits;
    double key;
    QString boxes, entry;
};

// A hotkey, its keys in the order they are let go; the exit check, before which key's release the program
// starts exiting (-1: never) and whether the waiter looks once more before that key goes up; released or not
// when the keys are looked at in turns, and when each release is reported (a key was down until the report).
struct ReleaseRow {
    int modifierCode, virtualKey;
    QList<int> releaseOrder;
    HotkeyReleaseWaiter::ExitCheck exitCheck;
    int exitAt;
    bool pollWhileDown, released, releasedWhenReported;
};

} // namespace
Q_DECLARE_METATYPE(PickerRow)
Q_DECLARE_METATYPE(ReleaseRow)

// The keys a hotkey can have, the picker that offers them, and the wait for them to be let go.
class HotkeysTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every key offered but "(none)" can be registered with the platform and has a key symbol, and no other key;
    // an entry's text names its key. Letters grab the small letter's symbol: the capital's would find no key.
    void hotkeyKeys() {
        namespace K = KeyCode;
        const auto& list = HotkeyKeyList();
        // clang-format off
        const std::tuple<const char*, int, qulonglong> named[] = {
            {"(none)", 0, 0},        {"0", K::Digit0, 0x30},    {"9", K::Digit9, 0x39},          {"a", K::A, 0x61},
            {"z", K::Z, 0x7a},       {"F1", K::F1, 0xffbe},     {"F12", K::F12, 0xffc9},         {"HOME", K::Home, 0xff50},
            {"END", K::End, 0xff57}, {"INSERT", K::Insert, 0xff63}, {"PAGE DOWN", K::PageDown, 0xff56},
            {"PAGE UP", K::PageUp, 0xff55}};
        // clang-format on
        for (const auto& [text, code, keysym] : named) {
            const auto entry = std::find_if(list.begin(), list.end(),
                                            [name = text](const HotkeyKeyEntry& e) { return e.text == name; });
            QVERIFY2(entry != list.end() && entry->keyCode == code, text);
            QCOMPARE(qulonglong(KeySymbols::forVirtualKey(code)), keysym);
        }
        for (const HotkeyKeyEntry& e : list)
            QVERIFY2(e.keyCode == 0 ||
                         (HotkeySystem::isSupportedKey(e.keyCode) && KeySymbols::forVirtualKey(e.keyCode)),
                     qPrintable(e.text));
        for (int code : {0, int(K::Shift), int(K::Delete), K::F12 + 1})
            QVERIFY(!HotkeySystem::isSupportedKey(code) && !KeySymbols::forVirtualKey(code));
    }

    void picker_data() {
        QTest::addColumn<PickerRow>("row");
        using namespace HotkeyModifier;
        QTest::newRow("alt+shift") << PickerRow{Alt | Shift, 72, "AS", "h"};
        QTest::newRow("all") << PickerRow{Alt | Control | Shift, 35, "ACS", "END"};
        QTest::newRow("control only, other bits ignored") << PickerRow{8 | Control, 123, "C", "F12"};
        QTest::newRow("(none)") << PickerRow{0, 0, "", "(none)"};
        QTest::newRow("unknown key selects nothing") << PickerRow{Shift, 999, "S", ""};
        QTest::newRow("fractional key selects nothing") << PickerRow{Alt, 72.5, "A", ""};
    }
    void picker() {
        QFETCH(PickerRow, row);
        QWidget window;
        auto* picker = new HotkeyPicker(QStringLiteral("(3)"), true, &window);
        QCOMPARE(picker->mKey->count(), 54);
        QCOMPARE(picker->keyCode(), 0); // nothing selected after filling
        picker->setModifiers(row.bits);
        const QString boxes = QString(picker->chkAlt->isChecked() ? "A" : "") +
                              (picker->chkControl->isChecked() ? "C" : "") + (picker->chkShift->isChecked() ? "S" : "");
        QCOMPARE(boxes, row.boxes);
        QCOMPARE(picker->modifiers(),
                 row.bits & (HotkeyModifier::Alt | HotkeyModifier::Control | HotkeyModifier::Shift));
        QCOMPARE(picker->selectKey(row.key), !row.entry.isEmpty());
        QCOMPARE(picker->mKey->currentText(), row.entry);
        QCOMPARE(picker->keyCode(), row.entry.isEmpty() ? 0 : int(row.key));
    }

    void releaseWait_data() {
        TestSupport::columns<ReleaseRow, bool>("row", "reported");
        namespace M = HotkeyModifier;
        namespace K = KeyCode;
        using E = HotkeyReleaseWaiter::ExitCheck;
        const int one = K::Digit0 + 1, q = K::A + 16;
        // clang-format off
        const std::pair<const char*, ReleaseRow> rows[] = {
            {"Control+1, key released last", {M::Control, one, {K::Control, one}, E::ExitFirst, -1, false, true, true}},
            // xdotool and people let go of the modifiers before the key: the key itself must be awaited too.
            {"Control+Alt+1, modifiers first", {M::Control | M::Alt, one, {K::Control, K::Alt, one}, E::ExitFirst, -1, false, true, true}},
            {"Alt+Shift+F5", {M::Alt | M::Shift, K::F4 + 1, {K::F4 + 1, K::Shift, K::Alt}, E::ExitFirst, -1, false, true, true}},
            {"Control+Shift+Home", {M::Control | M::Shift, K::Home, {K::Home, K::Control, K::Shift}, E::ExitFirst, -1, false, true, true}},
            {"clip hotkey, exit, keys down", {M::Control, q, {K::Control, q}, E::ExitFirst, 1, true, false, false}},
            {"clip hotkey, exit, keys up", {M::Control, q, {K::Control, q}, E::ExitFirst, 1, false, false, false}},
            {"paste next, exit, keys down", {M::Control, q, {K::Control, q}, E::ExitWhileKeysDown, 1, true, false, false}},
            {"paste next, exit, keys up", {M::Control, q, {K::Control, q}, E::ExitWhileKeysDown, 1, false, true, false}},
        };
        // clang-format on
        for (const auto& [name, row] : rows) {
            QTest::newRow(qPrintable(QStringLiteral("%1, looked at").arg(QLatin1String(name)))) << row << false;
            QTest::newRow(qPrintable(QStringLiteral("%1, reported").arg(QLatin1String(name)))) << row << true;
        }
    }
    void releaseWait() {
        const auto [row, reported] = TestSupport::fetch<ReleaseRow, bool>("row", "reported");
        const QList<int> keys = HotkeySystem::keysOf(row.modifierCode, row.virtualKey);
        QVERIFY(std::is_permutation(keys.begin(), keys.end(), row.releaseOrder.begin(), row.releaseOrder.end()));
        HeadlessHotkeySystem hotkeys;
        hotkeys.reportReleases(reported);
        for (int k : row.releaseOrder)
            hotkeys.setKeyDown(k, true);
        hotkeys.setKeyDown(KeyCode::Z, true); // a key outside the combination does not hold the action back
        bool exiting = false;
        HotkeyReleaseWaiter waiter(
            hotkeys, [&exiting] { return exiting; }, row.exitCheck);
        QSignalSpy released(&waiter, &HotkeyReleaseWaiter::released);
        // Reported releases decide at once; looked-at keys are decided by the next look.
        const auto settle = [reported = reported] {
            if (!reported)
                letWaiterPoll();
        };
        QVERIFY(waiter.start(7, row.modifierCode, row.virtualKey));
        QVERIFY(!waiter.start(7, row.modifierCode, row.virtualKey)); // a repeat while waiting queues nothing
        QCoreApplication::processEvents();                           // the first look, once the pending events have run
        for (int i = 0; i < row.releaseOrder.size(); ++i) {
            settle();
            QCOMPARE(released.count(), 0);
            QVERIFY(waiter.isBusy());
            if (i == row.exitAt) {
                exiting = true;
                if (row.pollWhileDown)
                    settle();
            }
            hotkeys.setKeyDown(row.releaseOrder[i], false);
        }
        const bool expected = reported ? row.releasedWhenReported : row.released;
        settle();
        QCOMPARE(released.count(), expected ? 1 : 0);
        QCOMPARE(waiter.isBusy(), !expected);   // a wait ended by the exit leaves its flag set
        QCOMPARE(hotkeys.releaseWatchers(), 0); // nothing is reported once the wait has ended
        letWaiterPoll();
        QCOMPARE(released.count(), expected ? 1 : 0);
        // Free again after the action; nothing starts while exiting.
        QCOMPARE(waiter.start(7, row.modifierCode, row.virtualKey), !exiting);
        if (!exiting)
            QTRY_COMPARE(released.count(), 2);
    }

    // A backend that learns only of whole shortcuts (a desktop's shortcut service): the wait ends with the release
    // of its own hotkey, reported, not with another's.
    void releaseOfAWholeShortcut() {
        HeadlessHotkeySystem hotkeys;
        hotkeys.reportReleases(true);
        hotkeys.setShortcutHeld(13, true);
        hotkeys.setShortcutHeld(14, true);
        HotkeyReleaseWaiter waiter(
            hotkeys, [] { return false; }, HotkeyReleaseWaiter::ExitCheck::ExitFirst);
        QSignalSpy released(&waiter, &HotkeyReleaseWaiter::released);
        QVERIFY(waiter.start(13, HotkeyModifier::Control, KeyCode::A + 16));
        QCoreApplication::processEvents();
        hotkeys.setShortcutHeld(14, false);
        QCOMPARE(released.count(), 0);
        hotkeys.setShortcutHeld(13, false);
        QCOMPARE(released.count(), 1);
    }

    // A request from the command line (a desktop shortcut) waits for every key, also one no hotkey has, and shares
    // the busy flag of its kind with the hotkeys; a menu comes from the event loop, after the request was
    // answered (a menu or message box would hold the answer back); nothing starts while exiting.
    void outsideTrigger() {
        TestSupport::SettingsFolder folder;
        HeadlessHotkeySystem system;
        bool exiting = false;
        Hotkeys hotkeys(system, folder.settings, [&exiting] { return exiting; });
        QSignalSpy clips(&hotkeys, &Hotkeys::clipTriggered), next(&hotkeys, &Hotkeys::pasteNextTriggered),
            menu(&hotkeys, &Hotkeys::pasteMenuRequested);
        system.setKeyDown(KeyCode::F9, true);
        QVERIFY(hotkeys.triggerFromOutside(6 + 3) && !hotkeys.triggerFromOutside(6 + 4));
        QVERIFY(hotkeys.triggerFromOutside(Hotkeys::PasteNextId) && hotkeys.triggerFromOutside(Hotkeys::PasteMenuId));
        QCOMPARE(menu.count(), 0);
        letWaiterPoll();
        QCOMPARE(clips.count() + next.count() + menu.count(), 1);
        system.setKeyDown(KeyCode::F9, false);
        QTRY_COMPARE(clips.count() + next.count(), 2);
        QCOMPARE(clips.first().first().toInt(), 3);
        exiting = true;
        QVERIFY(!hotkeys.triggerFromOutside(6 + 3) && !hotkeys.triggerFromOutside(Hotkeys::ShowMainWindowId));
    }
};

ZP_TEST_CLASS(HotkeysTest)
#include "HotkeysTest.moc"
