#include "platform/PlatformChoice.h"

#include "platform/DesktopFallbacks.h"
#include "platform/PlatformLog.h"
#include "platform/PlatformServices.h"
#include "platform/QtClipboard.h"
#ifdef ZOLPANE_HAVE_X11
#include "platform/x11/X11Platform.h"
#endif
#ifdef ZOLPANE_HAVE_WAYLAND
#include "platform/wayland/WaylandPlatform.h"
#endif

#include <QStringList>

namespace PlatformChoice {

Choice choose(const Offer& offer, const QString& forcedKeys) {
    Choice c;
    if (!offer.x11 && !offer.wayland) {
        c.log = QStringLiteral("no X display and no Wayland compositor: headless services (nothing is pasted)");
        return c;
    }
    QStringList log;
    if (offer.foreignToplevel) {
        c.windows = Windows::ForeignToplevel;
        log << QStringLiteral("windows: foreign-toplevel (the compositor offers zwlr_foreign_toplevel_manager_v1)");
    } else if (offer.wayland) {
        c.windows = Windows::FocusOnly;
        log << QStringLiteral("windows: none seen; pasting into the window in front (the compositor offers no "
                              "zwlr_foreign_toplevel_manager_v1)");
    } else {
        c.windows = Windows::X11;
        log << QStringLiteral("windows: X11 (EWMH)");
    }
    c.hotkeys = offer.x11 ? Hotkeys::X11 : Hotkeys::CommandLineOnly;
    log << (offer.x11 ? (offer.wayland ? QStringLiteral("hotkeys: X11 grabs (they fire while an X11 window has the "
                                                        "focus; desktop shortcuts run zolpane --paste N)")
                                       : QStringLiteral("hotkeys: X11 grabs"))
                      : QStringLiteral("hotkeys: none of our own (no X display); desktop shortcuts run "
                                       "zolpane --paste N"));

    const auto automaticKeys = [&] {
        if (offer.virtualKeyboard)
            return std::pair{
                Keys::VirtualKeyboard,
                QStringLiteral("keys: virtual keyboard (the compositor offers zwp_virtual_keyboard_manager_v1)")};
        if (offer.x11)
            return std::pair{Keys::XTest, offer.wayland ? QStringLiteral("keys: XTest (the compositor offers no "
                                                                         "zwp_virtual_keyboard_manager_v1; keys reach "
                                                                         "X11 windows only)")
                                                        : QStringLiteral("keys: XTest")};
        return std::pair{Keys::None, QStringLiteral("keys: none (no zwp_virtual_keyboard_manager_v1 and no X display): "
                                                    "clips are only copied")};
    };
    auto [keys, keysLine] = automaticKeys();
    if (forcedKeys == QLatin1String("virtual-keyboard") && offer.virtualKeyboard) {
        keys = Keys::VirtualKeyboard;
        keysLine = QStringLiteral("keys: virtual keyboard (ZOLPANE_KEYS)");
    } else if (forcedKeys == QLatin1String("xtest") && offer.x11) {
        keys = Keys::XTest;
        keysLine = QStringLiteral("keys: XTest (ZOLPANE_KEYS)");
    } else if (!forcedKeys.isEmpty()) {
        keysLine += QStringLiteral("; ZOLPANE_KEYS=%1 is not possible here").arg(forcedKeys);
    }
    c.keys = keys;
    log << keysLine;

    if (!offer.dataControl.isEmpty()) {
        c.clipboard = Clip::DataControl;
        log << QStringLiteral("clipboard: %1 (offered by the compositor)").arg(offer.dataControl);
    } else {
        log << (offer.wayland ? QStringLiteral("clipboard: through the Qt platform plugin (the compositor offers no "
                                               "ext_data_control_manager_v1 or zwlr_data_control_manager_v1)")
                              : QStringLiteral("clipboard: X11 selections"));
    }
    c.log = log.join(QLatin1Char('\n'));
    return c;
}

} // namespace PlatformChoice

PlatformServices createPlatformServices() {
    using namespace PlatformChoice;
    PlatformServices services;
    Offer offer;
#ifdef ZOLPANE_HAVE_X11
    std::unique_ptr<X11Session> x11 = X11Session::open();
    offer.x11 = x11 != nullptr;
#endif
#ifdef ZOLPANE_HAVE_WAYLAND
    std::unique_ptr<WaylandSession> wayland = WaylandSession::open();
    if (wayland) {
        offer.wayland = true;
        offer.foreignToplevel = wayland->offersWindows();
        offer.virtualKeyboard = wayland->offersKeys();
        offer.dataControl = wayland->clipboardProtocol();
    }
#endif
    const Choice choice = choose(offer, qEnvironmentVariable("ZOLPANE_KEYS"));
    for (const QString& line : choice.log.split(QLatin1Char('\n')))
        qCInfo(lcPlatform).noquote() << line;
    if (choice.windows == Windows::Headless)
        return createHeadlessPlatformServices();

    switch (choice.windows) {
#ifdef ZOLPANE_HAVE_X11
    case Windows::X11:
        services.windows = x11->windows();
        break;
#endif
#ifdef ZOLPANE_HAVE_WAYLAND
    case Windows::ForeignToplevel:
        services.windows = wayland->windows();
        break;
#endif
    default:
        services.windows = std::make_unique<FocusOnlyWindowSystem>();
        break;
    }
#ifdef ZOLPANE_HAVE_X11
    if (choice.hotkeys == Hotkeys::X11)
        services.hotkeys = x11->hotkeys();
    if (choice.keys == Keys::XTest)
        services.keys = x11->keys(*services.windows);
#endif
#ifdef ZOLPANE_HAVE_WAYLAND
    if (choice.keys == Keys::VirtualKeyboard)
        services.keys = wayland->keys(*services.windows);
    if (choice.clipboard == Clip::DataControl)
        services.clipboard = wayland->clipboard();
#endif
    if (!services.hotkeys)
        services.hotkeys = std::make_unique<NoHotkeySystem>();
    if (!services.keys)
        services.keys = std::make_unique<NoKeySender>(*services.windows);
    if (!services.clipboard)
        services.clipboard = std::make_unique<QtClipboard>();
#ifdef ZOLPANE_HAVE_X11
    if (x11)
        services.sessions.push_back(std::move(x11));
#endif
#ifdef ZOLPANE_HAVE_WAYLAND
    if (wayland)
        services.sessions.push_back(std::move(wayland));
#endif
    return services;
}
