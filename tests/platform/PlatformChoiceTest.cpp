// Which backend serves each service for what a session offers, and what forcing a route does.

#include "platform/PlatformChoice.h"
#include "TestSupport.h"

using namespace PlatformChoice;
using TestSupport::columns;
using TestSupport::fetch;

namespace {
// A session written as the words of what it offers: x11, wayland, toplevel, vk, ext/wlr (data-control), and the
// portal's gs (GlobalShortcuts) and rd (RemoteDesktop).
Offer offer(const QString& words) {
    const QStringList w = words.split(' ', Qt::SkipEmptyParts);
    Offer o{w.contains("x11"), w.contains("wayland"), w.contains("toplevel"), w.contains("vk"), {},
            w.contains("gs"),  w.contains("rd")};
    if (w.contains("ext"))
        o.dataControl = QStringLiteral("ext-data-control-v1");
    else if (w.contains("wlr"))
        o.dataControl = QStringLiteral("wlr-data-control-unstable-v1");
    return o;
}

QString describe(const Choice& c) {
    static const char* windows[] = {"x11", "toplevel", "focus", "headless"};
    static const char* hotkeys[] = {"x11", "portal", "commandline", "headless"};
    static const char* keys[] = {"xtest", "vk", "portal", "none", "headless"};
    return QStringLiteral("%1 %2 %3 %4")
        .arg(windows[int(c.windows)], hotkeys[int(c.hotkeys)], keys[int(c.keys)],
             c.clipboard == Clip::Qt ? "qt" : "datacontrol");
}
} // namespace

class PlatformChoiceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choose_data() {
        columns<QString, QString, QString, QString>("offered", "ZOLPANE_HOTKEYS/ZOLPANE_KEYS",
                                                    "windows hotkeys keys clipboard", "logged");
        QTest::newRow("X11 session") << "x11"
                                     << ""
                                     << "x11 x11 xtest qt"
                                     << "windows: X11";
        QTest::newRow("sway, Qt on Wayland") << "wayland toplevel vk wlr"
                                             << ""
                                             << "toplevel commandline vk datacontrol"
                                             << "wlr-data-control";
        QTest::newRow("sway with XWayland") << "x11 wayland toplevel vk ext"
                                            << ""
                                            << "toplevel x11 vk datacontrol"
                                            << "ext-data-control";
        QTest::newRow("forced XTest on sway") << "x11 wayland toplevel vk"
                                              << "/xtest"
                                              << "toplevel x11 xtest qt"
                                              << "keys: XTest (ZOLPANE_KEYS)";
        QTest::newRow("weston with XWayland") << "x11 wayland"
                                              << ""
                                              << "focus x11 xtest qt"
                                              << "offers no zwlr_foreign_toplevel_manager_v1";
        QTest::newRow("weston, impossible force") << "wayland"
                                                  << "/virtual-keyboard"
                                                  << "focus commandline none qt"
                                                  << "ZOLPANE_KEYS=virtual-keyboard is not possible";
        QTest::newRow("GNOME") << "x11 wayland gs rd"
                               << ""
                               << "focus portal portal qt"
                               << "GlobalShortcuts portal";
        QTest::newRow("KDE Plasma") << "x11 wayland gs rd ext"
                                    << ""
                                    << "focus portal portal datacontrol"
                                    << "RemoteDesktop portal";
        QTest::newRow("X11 with a portal") << "x11 gs rd"
                                           << ""
                                           << "x11 x11 xtest qt"
                                           << "hotkeys: X11 grabs";
        QTest::newRow("forced portal on X11") << "x11 gs rd"
                                              << "portal/portal"
                                              << "x11 portal portal qt"
                                              << "keys: the desktop's RemoteDesktop portal (ZOLPANE_KEYS)";
        QTest::newRow("GNOME, no hotkeys of ours") << "x11 wayland gs rd"
                                                   << "none/"
                                                   << "focus commandline portal qt"
                                                   << "none of our own (ZOLPANE_HOTKEYS)";
        QTest::newRow("impossible portal") << "x11 wayland toplevel vk"
                                           << "portal/portal"
                                           << "toplevel x11 vk qt"
                                           << "ZOLPANE_HOTKEYS=portal is not possible";
        QTest::newRow("nothing") << ""
                                 << ""
                                 << "headless headless headless qt"
                                 << "headless";
    }
    void choose() {
        const auto [offered, forced, expected, logged] = fetch<QString, QString, QString, QString>(
            "offered", "ZOLPANE_HOTKEYS/ZOLPANE_KEYS", "windows hotkeys keys clipboard", "logged");
        const QStringList routes = forced.split('/');
        const Choice c = PlatformChoice::choose(offer(offered), {routes.value(0), routes.value(1)});
        QCOMPARE(describe(c), expected);
        QVERIFY2(c.log.contains(logged), qPrintable(c.log));
    }
};

ZP_TEST_CLASS(PlatformChoiceTest)
#include "PlatformChoiceTest.moc"
