// Which backend serves each service for what a session offers, and what forcing the key route does.

#include "platform/PlatformChoice.h"
#include "TestSupport.h"

using namespace PlatformChoice;
using TestSupport::columns;
using TestSupport::fetch;

namespace {
// A session written as the words of what it offers: x11, wayland, toplevel, vk, ext/wlr (data-control).
Offer offer(const QString& words) {
    const QStringList w = words.split(' ', Qt::SkipEmptyParts);
    Offer o{w.contains("x11"), w.contains("wayland"), w.contains("toplevel"), w.contains("vk"), {}};
    if (w.contains("ext"))
        o.dataControl = QStringLiteral("ext-data-control-v1");
    else if (w.contains("wlr"))
        o.dataControl = QStringLiteral("wlr-data-control-unstable-v1");
    return o;
}

QString describe(const Choice& c) {
    static const char* windows[] = {"x11", "toplevel", "focus", "headless"};
    static const char* hotkeys[] = {"x11", "commandline", "headless"};
    static const char* keys[] = {"xtest", "vk", "none", "headless"};
    return QStringLiteral("%1 %2 %3 %4")
        .arg(windows[int(c.windows)], hotkeys[int(c.hotkeys)], keys[int(c.keys)],
             c.clipboard == Clip::Qt ? "qt" : "datacontrol");
}
} // namespace

class PlatformChoiceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choose_data() {
        columns<QString, QString, QString, QString>("offered", "ZOLPANE_KEYS", "windows hotkeys keys clipboard",
                                                    "logged");
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
                                              << "xtest"
                                              << "toplevel x11 xtest qt"
                                              << "keys: XTest (ZOLPANE_KEYS)";
        QTest::newRow("weston with XWayland") << "x11 wayland"
                                              << ""
                                              << "focus x11 xtest qt"
                                              << "offers no zwlr_foreign_toplevel_manager_v1";
        QTest::newRow("weston, impossible force") << "wayland"
                                                  << "virtual-keyboard"
                                                  << "focus commandline none qt"
                                                  << "ZOLPANE_KEYS=virtual-keyboard is not possible";
        QTest::newRow("nothing") << ""
                                 << ""
                                 << "headless headless headless qt"
                                 << "headless";
    }
    void choose() {
        const auto [offered, forced, expected, logged] = fetch<QString, QString, QString, QString>(
            "offered", "ZOLPANE_KEYS", "windows hotkeys keys clipboard", "logged");
        const Choice c = PlatformChoice::choose(offer(offered), forced);
        QCOMPARE(describe(c), expected);
        QVERIFY2(c.log.contains(logged), qPrintable(c.log));
    }
};

ZP_TEST_CLASS(PlatformChoiceTest)
#include "PlatformChoiceTest.moc"
