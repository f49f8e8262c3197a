#include "paste/HotkeyKeyList.h"
#include "paste/HotkeyPicker.h"
#include "paste/HotkeyReleaseWaiter.h"
#include "platform/HotkeySystem.h"
#include "platform/KeyCodes.h"
#include "platform/headless/HeadlessHotkeySystem.h"
#include "platform/x11/X11KeyMap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// Waits long enough for several polls of the waiter.
void letWaiterPoll() {
    QTest::qWait(HotkeyReleaseWaiter::pollIntervalMs * 4);
}

constexpr int Q = KeyCode::A + 16;

} // namespace

// The keys a hotkey can have, the picker that offers them, and the wait for them to be let go.
class HotkeysTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // position: the key's place in the key list, -1 when it is not offered.
    void hotkeyKeys_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<qulonglong>("keysym");
        // Letters grab the key of the small letter: a grab on the capital's symbol would find no key.
        // clang-format off
        QTest::newRow("none") << 0 << "(none)" << 0 << 0ull;
        QTest::newRow("first digit") << 1 << "0" << KeyCode::Digit0 << 0x30ull;
        QTest::newRow("last digit") << 10 << "9" << KeyCode::Digit9 << 0x39ull;
        QTest::newRow("first letter, small, capital's code") << 11 << "a" << KeyCode::A << 0x61ull;
        QTest::newRow("last letter") << 36 << "z" << KeyCode::Z << 0x7aull;
        QTest::newRow("F1") << 37 << "F1" << KeyCode::F1 << 0xffbeull;
        QTest::newRow("F12") << 48 << "F12" << KeyCode::F12 << 0xffc9ull;
        QTest::newRow("HOME") << 49 << "HOME" << KeyCode::Home << 0xff50ull;
        QTest::newRow("INSERT") << 50 << "INSERT" << KeyCode::Insert << 0xff63ull;
        QTest::newRow("PAGE DOWN") << 51 << "PAGE DOWN" << KeyCode::PageDown << 0xff56ull;
        QTest::newRow("PAGE UP") << 52 << "PAGE UP" << KeyCode::PageUp << 0xff55ull;
        QTest::newRow("END") << 53 << "END" << KeyCode::End << 0xff57ull;
        QTest::newRow("Shift is no hotkey key") << -1 << "" << KeyCode::Shift << 0ull;
        QTest::newRow("Delete is not offered") << -1 << "" << KeyCode::Delete << 0ull;
        QTest::newRow("F13") << -1 << "" << KeyCode::F12 + 1 << 0ull;
        // clang-format on
    }
    void hotkeyKeys() {
        QFETCH(int, position);
        QFETCH(QString, text);
        QFETCH(int, keyCode);
        QFETCH(qulonglong, keysym);
        const auto& list = HotkeyKeyList();
        QCOMPARE(list.size(), size_t(54));
        if (position >= 0) {
            QCOMPARE(list.at(size_t(position)).text, text);
            QCOMPARE(list.at(size_t(position)).keyCode, keyCode);
        }
        QCOMPARE(qulonglong(X11KeyMap::symbolForVirtualKey(keyCode)), keysym);
        // Every key offered but "(none)" can be registered with the platform, and no other.
        QCOMPARE(HotkeySystem::isSupportedKey(keyCode), position > 0);
        for (const HotkeyKeyEntry& e : list)
            QVERIFY2(e.keyCode == 0 || HotkeySystem::isSupportedKey(e.keyCode), qPrintable(e.text));
    }

    // boxes: the checked ones among Alt, Control, Shift; entry: the selected key, "" for none.
    void picker_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("plusLabels");
        QTest::addColumn<int>("bits");
        QTest::addColumn<double>("key");
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<QString>("entry");
        using namespace HotkeyModifier;
        // clang-format off
        QTest::newRow("settings row 3") << "(3)" << false << (Alt | Shift) << 72.0 << "AS" << "h";
        QTest::newRow("properties, all") << "" << true << (Alt | Control | Shift) << 35.0 << "ACS" << "END";
        QTest::newRow("control only, other bits ignored") << "(0)" << false << (8 | Control) << 123.0 << "C" << "F12";
        QTest::newRow("(none)") << "" << true << 0 << 0.0 << "" << "(none)";
        QTest::newRow("unknown key selects nothing") << "(4)" << false << Shift << 999.0 << "S" << "";
        QTest::newRow("fractional key selects nothing") << "(4)" << false << Alt << 72.5 << "A" << "";
        // clang-format on
    }
    void picker() {
        QFETCH(QString, suffix);
        QFETCH(bool, plusLabels);
        QFETCH(int, bits);
        QFETCH(double, key);
        QFETCH(QString, boxes);
        QFETCH(QString, entry);
        QWidget window;
        auto* picker = new HotkeyPicker(suffix, plusLabels, &window);
        // Names, captions and tab order of the controls the dialogs look up.
        QStringList chain;
        for (QWidget* w = picker->chkShift; chain.size() < 4; w = w->nextInFocusChain()) {
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w->objectName() + ' ' + w->property("text").toString();
        }
        QCOMPARE(chain, QStringList({"chkShift" + suffix + " &Shift", "chkAlt" + suffix + " &Alt",
                                     "chkControl" + suffix + " &Control", "mKey" + suffix + " "}));
        QStringList labels;
        for (const QLabel* label : picker->findChildren<QLabel*>())
            labels << label->objectName() + '=' + label->text();
        QCOMPARE(labels, plusLabels ? QStringList({"lblInfo(0)=+", "lblInfo(1)=+", "lblInfo(2)=+"}) : QStringList());
        QCOMPARE(picker->mKey->count(), 54);
        QCOMPARE(picker->keyCode(), 0); // nothing selected after filling

        picker->setModifiers(bits);
        QCOMPARE(picker->chkAlt->isChecked(), boxes.contains('A'));
        QCOMPARE(picker->chkControl->isChecked(), boxes.contains('C'));
        QCOMPARE(picker->chkShift->isChecked(), boxes.contains('S'));
        QCOMPARE(picker->modifiers(), bits & (HotkeyModifier::Alt | HotkeyModifier::Control | HotkeyModifier::Shift));
        QCOMPARE(picker->selectKey(key), !entry.isEmpty());
        QCOMPARE(picker->mKey->currentText(), entry);
        QCOMPARE(picker->keyCode(), entry.isEmpty() ? 0 : int(key));
    }

    void releaseWaitsForEveryKey_data() {
        QTest::addColumn<int>("modifierCode");
        QTest::addColumn<int>("virtualKey");
        QTest::addColumn<QList<int>>("releaseOrder"); // keys down at the start, released one at a time
        namespace M = HotkeyModifier;
        namespace K = KeyCode;
        const int one = K::Digit0 + 1;
        QTest::newRow("Control+1, key released last") << M::Control << one << QList<int>{K::Control, one};
        // xdotool and people let go of the modifiers before the key: the key itself must be awaited too.
        QTest::newRow("Control+Alt+1, modifiers first")
            << (M::Control | M::Alt) << one << QList<int>{K::Control, K::Alt, one};
        QTest::newRow("Alt+Shift+F5") << (M::Alt | M::Shift) << K::F4 + 1 << QList<int>{K::F4 + 1, K::Shift, K::Alt};
        QTest::newRow("Control+Shift+Home")
            << (M::Control | M::Shift) << K::Home << QList<int>{K::Home, K::Control, K::Shift};
    }
    void releaseWaitsForEveryKey() {
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
        hotkeys.setKeyDown(KeyCode::Z, true); // a key outside the combination does not hold the action back
        HotkeyReleaseWaiter waiter(
            hotkeys, [] { return false; }, HotkeyReleaseWaiter::ExitCheck::ExitFirst);
        QSignalSpy released(&waiter, &HotkeyReleaseWaiter::released);
        QVERIFY(waiter.start(modifierCode, virtualKey));
        QVERIFY(!waiter.start(modifierCode, virtualKey)); // a repeat while waiting queues nothing
        for (int k : releaseOrder) {
            letWaiterPoll();
            QCOMPARE(released.count(), 0);
            QVERIFY(waiter.isBusy());
            hotkeys.setKeyDown(k, false);
        }
        QTRY_COMPARE(released.count(), 1);
        QVERIFY(!waiter.isBusy());
        letWaiterPoll();
        QCOMPARE(released.count(), 1);
        QVERIFY(waiter.start(modifierCode, virtualKey)); // free again after the action
        QTRY_COMPARE(released.count(), 2);
    }

    void releaseWaitEndsWhenExiting_data() {
        QTest::addColumn<int>("exitCheck");
        QTest::addColumn<bool>("keysDown");
        QTest::addColumn<bool>("releasedExpected");
        using E = HotkeyReleaseWaiter::ExitCheck;
        QTest::newRow("clip hotkey, keys down") << int(E::ExitFirst) << true << false;
        QTest::newRow("clip hotkey, keys up") << int(E::ExitFirst) << false << false;
        QTest::newRow("paste next, keys down") << int(E::ExitWhileKeysDown) << true << false;
        QTest::newRow("paste next, keys up") << int(E::ExitWhileKeysDown) << false << true;
    }
    void releaseWaitEndsWhenExiting() {
        QFETCH(int, exitCheck);
        QFETCH(bool, keysDown);
        QFETCH(bool, releasedExpected);
        HeadlessHotkeySystem hotkeys;
        hotkeys.setKeyDown(Q, true);
        bool exiting = false;
        HotkeyReleaseWaiter waiter(
            hotkeys, [&exiting] { return exiting; }, HotkeyReleaseWaiter::ExitCheck(exitCheck));
        QSignalSpy released(&waiter, &HotkeyReleaseWaiter::released);
        QVERIFY(waiter.start(HotkeyModifier::Control, Q));
        letWaiterPoll();
        exiting = true;
        hotkeys.setKeyDown(Q, keysDown);
        letWaiterPoll();
        QCOMPARE(released.count(), releasedExpected ? 1 : 0);
        QCOMPARE(waiter.isBusy(), !releasedExpected); // an ended wait leaves its flag set
        hotkeys.setKeyDown(Q, false);
        letWaiterPoll();
        QCOMPARE(released.count(), releasedExpected ? 1 : 0);
        QVERIFY(!waiter.start(HotkeyModifier::Control, Q)); // nothing starts while exiting
    }
};

std::unique_ptr<QObject> hotkeysTest() {
    return std::make_unique<HotkeysTest>();
}

#include "HotkeysTest.moc"
