// End-to-end proof of the X11 platform layer against a real X server, window manager and Tk application.
// Run inside a prepared session (test_platform.py): DISPLAY set, openbox running.

#include "HotkeyReleaseWaiter.h"
#include "KeystrokeParser.h"
#include "KeystrokeText.h"
#include "LastWindowRecord.h"
#include "PlatformServices.h"
#include "TkWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTest>
#include <QTextStream>
#include <QWidget>

#include <unistd.h>

namespace {

// Bounds for waiting on the X server, the window manager and Tk; never measured expectations.
constexpr int kWindowTimeoutMs = 15000;
constexpr int kEventTimeoutMs = 10000;
// How long a key that must not arrive is given to arrive anyway.
constexpr int kQuietMs = 300;

void xdotool(const QStringList& args) {
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), args), 0);
}

QString withoutBraces(QString text) {
    return text.remove(u'{').remove(u'}');
}

} // namespace

class PlatformProbe : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void hotkeyArrives_data();
    void hotkeyArrives();
    void refusedWhileAnotherClientHoldsIt();
    void releaseWaitOnRealKeys();
    void pastes_data();
    void pastes();
    void typesKeyByKey_data();
    void typesKeyByKey();
    void activatesPreviousWindowWhenNewestCloses();
    void cleanupTestCase();

private:
    KeySender::Result sendTo(WindowId window, const QString& keys);

    PlatformServices m_services;
    TkWindow* m_a = nullptr;
    WindowId m_aId = 0;
};

void PlatformProbe::initTestCase() {
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    m_services = createPlatformServices();
    QCOMPARE(m_services.windows->metaObject()->className(), "X11WindowSystem");
    QCOMPARE(m_services.hotkeys->metaObject()->className(), "X11HotkeySystem");
    m_a = new TkWindow(QStringLiteral(PROBE_TARGET_SCRIPT), QStringLiteral("ProbeA"), this);
    QTRY_VERIFY_WITH_TIMEOUT(m_a->isReady(), kWindowTimeoutMs);
    WindowSystem& windows = *m_services.windows;
    QTRY_COMPARE_WITH_TIMEOUT(windows.windowTitle(windows.foregroundWindow()), QStringLiteral("ProbeA"),
                              kWindowTimeoutMs);
    m_aId = windows.foregroundWindow();
    QVERIFY(!windows.isIgnoredWindow(m_aId));
}

void PlatformProbe::cleanupTestCase() {
    m_services.keys.reset();
    delete m_a;
}

KeySender::Result PlatformProbe::sendTo(WindowId window, const QString& keys) {
    const KeystrokeParseResult parsed = KeystrokeParser::parse(keys);
    if (!parsed.ok())
        qFatal("bad keystroke string in the probe: %s", qPrintable(parsed.error));
    QSignalSpy finished(m_services.keys.get(), &KeySender::finished);
    m_services.keys->send(window, parsed.actions);
    if (!QTest::qWaitFor([&] { return finished.count() > 0; }, kEventTimeoutMs * 6))
        return KeySender::Result::Cancelled;
    return finished.first().first().value<KeySender::Result>();
}

void PlatformProbe::hotkeyArrives_data() {
    QTest::addColumn<QString>("lockKey");
    QTest::newRow("no lock") << QString();
    QTest::newRow("Num Lock on") << QStringLiteral("Num_Lock");
    QTest::newRow("Caps Lock on") << QStringLiteral("Caps_Lock");
}

void PlatformProbe::hotkeyArrives() {
    QFETCH(QString, lockKey);
    HotkeySystem& hotkeys = *m_services.hotkeys;
    QSignalSpy pressed(&hotkeys, &HotkeySystem::hotkeyPressed);
    QVERIFY(hotkeys.registerHotkey(7, 3, 'K'));
    if (!lockKey.isEmpty())
        xdotool({QStringLiteral("key"), lockKey});
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+k")});
    QTRY_COMPARE_WITH_TIMEOUT(pressed.count(), 1, kEventTimeoutMs);
    QCOMPARE(pressed.first().first().toInt(), 7);
    if (!lockKey.isEmpty())
        xdotool({QStringLiteral("key"), lockKey});

    hotkeys.unregisterHotkey(7);
    QVERIFY(!hotkeys.isRegistered(7));
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+k")});
    QTest::qWait(kQuietMs);
    QCOMPARE(pressed.count(), 1);
}

void PlatformProbe::refusedWhileAnotherClientHoldsIt() {
    // Another X client (a second copy of this program) takes Control+Alt+J first.
    QProcess holder;
    holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    holder.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--hold"), QStringLiteral("3"), QString::number('J')});
    QTRY_VERIFY_WITH_TIMEOUT(holder.canReadLine(), kWindowTimeoutMs);
    QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

    HotkeySystem& hotkeys = *m_services.hotkeys;
    QSignalSpy pressed(&hotkeys, &HotkeySystem::hotkeyPressed);
    QVERIFY(!hotkeys.registerHotkey(8, 3, 'J'));
    QVERIFY(!hotkeys.isRegistered(8));
    // Other combinations still work, and the held one reaches its owner.
    QVERIFY(hotkeys.registerHotkey(9, 3, 'L'));
    QVERIFY(!hotkeys.registerHotkey(10, 3, 'L')); // one combination, one id
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+j"), QStringLiteral("ctrl+alt+l")});
    QTRY_COMPARE_WITH_TIMEOUT(pressed.count(), 1, kEventTimeoutMs);
    QCOMPARE(pressed.first().first().toInt(), 9);
    QTRY_VERIFY_WITH_TIMEOUT(holder.canReadLine(), kEventTimeoutMs);
    QCOMPARE(holder.readLine().trimmed(), QByteArray("pressed"));

    // Once the other client is gone, the combination is free.
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(kEventTimeoutMs));
    QVERIFY(hotkeys.registerHotkey(8, 3, 'J'));
    hotkeys.unregisterHotkey(8);
    hotkeys.unregisterHotkey(9);
}

void PlatformProbe::releaseWaitOnRealKeys() {
    HotkeySystem& hotkeys = *m_services.hotkeys;
    QVERIFY(hotkeys.registerHotkey(12, 2, 'M'));
    HotkeyReleaseWaiter waiter(
        hotkeys, [] { return false; }, HotkeyReleaseWaiter::ExitCheck::ExitFirst);
    QSignalSpy released(&waiter, &HotkeyReleaseWaiter::released);
    connect(&hotkeys, &HotkeySystem::hotkeyPressed, &waiter, [&waiter](int id) {
        if (id == 12)
            waiter.start(2, 'M');
    });
    xdotool({QStringLiteral("keydown"), QStringLiteral("ctrl+m")});
    QTRY_VERIFY_WITH_TIMEOUT(waiter.isBusy(), kEventTimeoutMs);
    QVERIFY(hotkeys.isKeyDown(17));
    QVERIFY(hotkeys.isKeyDown('M'));
    QVERIFY(!hotkeys.isKeyDown(16));
    // Control goes up first, as people and xdotool do; the key itself is still down.
    xdotool({QStringLiteral("keyup"), QStringLiteral("ctrl")});
    QTest::qWait(kQuietMs);
    QVERIFY(!hotkeys.isKeyDown(17));
    QCOMPARE(released.count(), 0);
    xdotool({QStringLiteral("keyup"), QStringLiteral("m")});
    QTRY_COMPARE_WITH_TIMEOUT(released.count(), 1, kEventTimeoutMs);
    hotkeys.unregisterHotkey(12);
}

void PlatformProbe::pastes_data() {
    QTest::addColumn<QString>("keys");
    QTest::newRow("Control+V") << QStringLiteral("^{v}");
    QTest::newRow("Shift+Insert") << QStringLiteral("+{INSERT}");
}

void PlatformProbe::pastes() {
    QFETCH(QString, keys);
    const QString clip = QStringLiteral("Clip via %1: Schränkchen № 5 ✓").arg(keys);
    QGuiApplication::clipboard()->setText(clip);
    QVERIFY(m_a->clear());
    QVERIFY(m_services.windows->activateWindow(m_aId, false));
    QCOMPARE(sendTo(m_aId, keys), KeySender::Result::Sent);
    QTRY_COMPARE_WITH_TIMEOUT(m_a->text(), clip, kEventTimeoutMs);
}

void PlatformProbe::typesKeyByKey_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("holdShift");
    QTest::addColumn<bool>("capsLock");
    const QString czech = QStringLiteral("Příliš žluťoučký kůň a+b~c");
    QTest::newRow("Czech with signs") << czech << false << false;
    QTest::newRow("user still holds Shift") << czech << true << false;
    QTest::newRow("Caps Lock on") << czech << false << true;
    QTest::newRow("signs, braces and lines")
        << QStringLiteral("a {b} \"c\" [d] (e) 100% ^x | ;\nnext\tline") << false << false;
    // More characters missing from the layout than spare keys exist: the keys are lent more than once.
    QTest::newRow("many scripts") << QStringLiteral(
                                         "αβγδεζηθικλμνξοπρστυφχψω АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ ĎŤŇĚŘŮÚ ✓€→ αω")
                                  << false << false;
}

void PlatformProbe::typesKeyByKey() {
    QFETCH(QString, text);
    QFETCH(bool, holdShift);
    QFETCH(bool, capsLock);
    QVERIFY(m_a->clear());
    QVERIFY(m_services.windows->activateWindow(m_aId, false));
    if (holdShift)
        xdotool({QStringLiteral("keydown"), QStringLiteral("shift")});
    if (capsLock)
        xdotool({QStringLiteral("key"), QStringLiteral("Caps_Lock")});
    QString keys = text;
    EscapeKeystrokes(keys);
    const KeySender::Result result = sendTo(m_aId, keys);
    if (holdShift)
        xdotool({QStringLiteral("keyup"), QStringLiteral("shift")});
    QCOMPARE(result, KeySender::Result::Sent);
    const QString expected = withoutBraces(text);
    QTRY_COMPARE_WITH_TIMEOUT(m_a->text(), expected, kEventTimeoutMs);
    if (capsLock) {
        // Caps Lock is on again afterwards: a plain "a" key now gives a capital.
        xdotool({QStringLiteral("key"), QStringLiteral("a")});
        QTRY_COMPARE_WITH_TIMEOUT(m_a->text(), expected + u'A', kEventTimeoutMs);
        xdotool({QStringLiteral("key"), QStringLiteral("Caps_Lock")});
    }
}

void PlatformProbe::activatesPreviousWindowWhenNewestCloses() {
    WindowSystem& windows = *m_services.windows;
    QVERIFY(windows.activateWindow(m_aId, true));
    QTRY_VERIFY_WITH_TIMEOUT(windows.hasFocus(m_aId) && windows.isMaximized(m_aId), kEventTimeoutMs);
    LastWindowRecord record(windows, nullptr);
    record.start();
    QCOMPARE(record.LastWindows()[0], m_aId);

    TkWindow b(QStringLiteral(PROBE_TARGET_SCRIPT), QStringLiteral("ProbeB"));
    QTRY_VERIFY_WITH_TIMEOUT(b.isReady(), kWindowTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(windows.windowTitle(record.LastWindows()[0]), QStringLiteral("ProbeB"), kEventTimeoutMs);
    const WindowId bId = record.LastWindows()[0];
    QCOMPARE(record.LastWindowTitle(), QStringLiteral("ProbeB"));
    QCOMPARE(record.LastWindows()[1], m_aId);
    QCOMPARE(record.LastWindowMaximized()[1], true);

    // Our own window comes to the front and leaves the record alone; then the newest entry closes.
    QWidget own;
    own.setWindowTitle(QStringLiteral("probe's own window"));
    own.resize(200, 100);
    own.show();
    QVERIFY(QTest::qWaitForWindowExposed(&own));
    QVERIFY(windows.activateWindow(own.winId(), false));
    QTRY_COMPARE_WITH_TIMEOUT(windows.foregroundWindow(), WindowId(own.winId()), kEventTimeoutMs);
    QVERIFY(windows.isIgnoredWindow(own.winId()));
    QVERIFY(b.quit());
    QTRY_VERIFY_WITH_TIMEOUT(!windows.windowExists(bId), kEventTimeoutMs);
    QCOMPARE(record.LastWindows()[0], bId);
    QVERIFY(!windows.activateWindow(bId, false)); // a vanished window fails cleanly

    QVERIFY(record.ActivateLastApplication());
    QCOMPARE(record.activatedWindow(), m_aId);
    QTRY_VERIFY_WITH_TIMEOUT(windows.hasFocus(m_aId), kEventTimeoutMs);
    QVERIFY(windows.isMaximized(m_aId));
    QVERIFY(m_a->clear());
    QCOMPARE(sendTo(m_aId, QStringLiteral("back in A")), KeySender::Result::Sent);
    QTRY_COMPARE_WITH_TIMEOUT(m_a->text(), QStringLiteral("back in A"), kEventTimeoutMs);
}

// "--hold MOD KEY": holds one hotkey as a separate X client until standard input ends; prints "held" or
// "refused", then "pressed" for each press.
static int holdHotkey(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    PlatformServices services = createPlatformServices();
    QTextStream out(stdout);
    const bool held = services.hotkeys->registerHotkey(1, QByteArray(argv[2]).toInt(), QByteArray(argv[3]).toInt());
    out << (held ? "held" : "refused") << Qt::endl;
    QObject::connect(services.hotkeys.get(), &HotkeySystem::hotkeyPressed, &app,
                     [&out] { out << "pressed" << Qt::endl; });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&app] {
        char buffer[64];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    return app.exec();
}

int main(int argc, char** argv) {
    if (argc == 4 && qstrcmp(argv[1], "--hold") == 0)
        return holdHotkey(argc, argv);
    QApplication app(argc, argv);
    PlatformProbe probe;
    return QTest::qExec(&probe, argc, argv);
}

#include "PlatformProbe.moc"
