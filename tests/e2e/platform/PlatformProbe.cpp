// Checks of the X11 hotkey backend on a display of its own (run by test_platform.py): a hotkey given back is
// given back with every lock-key variant, one combination is one id's, and one another client holds is refused.
// With --clipboard, the clipboard service of a Wayland session (run by test_wayland.py); with --portal-hotkeys, the
// hotkeys through a desktop's portal (run by test_portal.py).

#include "platform/HotkeyModifier.h"
#include "platform/PlatformServices.h"

#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <unistd.h>

namespace {
// Bounds for waiting on the X server, never measured expectations.
constexpr int kTimeoutMs = 10000;
// How long a key press that must not arrive is given to arrive anyway.
constexpr int kQuietMs = 300;
constexpr int kControlAlt = 3;

void xdotool(const QStringList& args) {
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), args), 0);
}
} // namespace

class PlatformProbe : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        m_services = createPlatformServices();
        QCOMPARE(m_services.hotkeys->metaObject()->className(), "X11HotkeySystem");
    }

    void unregisteredUnderEveryLock_data() {
        QTest::addColumn<QString>("lockKey");
        QTest::newRow("no lock") << QString();
        QTest::newRow("Num Lock") << QStringLiteral("Num_Lock");
        QTest::newRow("Caps Lock") << QStringLiteral("Caps_Lock");
    }
    void unregisteredUnderEveryLock() {
        QFETCH(QString, lockKey);
        HotkeySystem& hotkeys = *m_services.hotkeys;
        QSignalSpy pressed(&hotkeys, &HotkeySystem::hotkeyPressed);
        QVERIFY(hotkeys.registerHotkey(7, kControlAlt, 'K'));
        hotkeys.unregisterHotkey(7);
        QVERIFY(!hotkeys.isRegistered(7));
        xdotool(lockKey.isEmpty() ? QStringList{"key", "ctrl+alt+k"}
                                  : QStringList{"key", lockKey, "ctrl+alt+k", lockKey});
        QTest::qWait(kQuietMs);
        QCOMPARE(pressed.count(), 0);
    }

    void oneCombinationOneId() {
        HotkeySystem& hotkeys = *m_services.hotkeys;
        QVERIFY(hotkeys.registerHotkey(9, kControlAlt, 'L'));
        QVERIFY(!hotkeys.registerHotkey(10, kControlAlt, 'L'));
        QVERIFY(!hotkeys.isRegistered(10));
        hotkeys.unregisterHotkey(9);
    }

    void refusedWhileAnotherClientHoldsIt() {
        QProcess holder; // a second copy of this program, holding Control+Alt+J
        holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold")});
        QTRY_VERIFY_WITH_TIMEOUT(holder.canReadLine(), kTimeoutMs);
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
        HotkeySystem& hotkeys = *m_services.hotkeys;
        QVERIFY(!hotkeys.registerHotkey(8, kControlAlt, 'J'));
        QVERIFY(!hotkeys.isRegistered(8));
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(kTimeoutMs));
        QVERIFY(hotkeys.registerHotkey(8, kControlAlt, 'J'));
        hotkeys.unregisterHotkey(8);
    }

private:
    PlatformServices m_services;
};

// "--hold": holds Control+Alt+J as a separate X client until standard input ends; prints "held" or "refused".
static int holdHotkey(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    PlatformServices services = createPlatformServices();
    QTextStream(stdout) << (services.hotkeys->registerHotkey(1, kControlAlt, 'J') ? "held" : "refused") << Qt::endl;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&app] {
        char buffer[64];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    return app.exec();
}

// "--clipboard TEXT" (on a Wayland session): waits until the clipboard service reads TEXT, which another client
// has put on the clipboard, prints "read", then puts "replaced by the probe" there and serves it until ended.
static int replaceClipboardText(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    PlatformServices services = createPlatformServices();
    const QString expected = QString::fromLocal8Bit(argv[2]);
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &app, [&] {
        if (services.clipboard->text() != expected)
            return;
        look.stop();
        QTextStream(stdout) << "read" << Qt::endl;
        services.clipboard->clear();
        services.clipboard->setText(QStringLiteral("replaced by the probe"));
    });
    look.start(50);
    return app.exec();
}

// "--portal-hotkeys" (a desktop with the GlobalShortcuts portal): hands the desktop two hotkeys, then gives the
// first other keys, and prints what the desktop bound after each of its answers ("9=KEYS 10=KEYS").
static int portalHotkeys(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    PlatformServices services = createPlatformServices();
    HotkeySystem& hotkeys = *services.hotkeys;
    int answers = 0;
    QObject::connect(&hotkeys, &HotkeySystem::bindingsChanged, &app, [&] {
        QTextStream(stdout) << "9=" << hotkeys.desktopBinding(9) << " 10=" << hotkeys.desktopBinding(10) << Qt::endl;
        if (++answers == 1)
            hotkeys.registerHotkeys({{9, kControlAlt, '3', QStringLiteral("Paste clip 3")}});
        else
            app.quit();
    });
    hotkeys.registerHotkeys({{9, HotkeyModifier::Control, '3', QStringLiteral("Paste clip 3")},
                             {10, HotkeyModifier::Control, '4', QStringLiteral("Paste clip 4")}});
    return app.exec();
}

int main(int argc, char** argv) {
    if (argc == 2 && qstrcmp(argv[1], "--portal-hotkeys") == 0)
        return portalHotkeys(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], "--hold") == 0)
        return holdHotkey(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--clipboard") == 0)
        return replaceClipboardText(argc, argv);
    QGuiApplication app(argc, argv);
    PlatformProbe probe;
    return QTest::qExec(&probe, argc, argv);
}

#include "PlatformProbe.moc"
