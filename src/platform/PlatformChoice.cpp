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
#ifdef ZOLPANE_HAVE_PORTAL
#include "platform/portal/PortalBus.h"
#include "platform/portal/PortalClipboard.h"
#include "platform/portal/PortalHotkeySystem.h"
#include "platform/portal/PortalKeySender.h"
#include "platform/portal/PortalRemoteSession.h"
#endif

#include <QStringList>

#include <algorithm>

namespace PlatformChoice {

namespace {

// One route of a service, in the order of preference.
template <typename Route> struct Option {
    const char* name; // the value that forces it
    bool automatic;   // taken without being forced
    bool possible;    // taken when forced
    Route route;
    QString line;   // what the log says of it ...
    QString reason; // ... and why, when it was not forced
};

// The first option forced and possible, else the first taken automatically (the last always is); an impossible
// forced value is logged with it.
template <typename Route>
std::pair<Route, QString> pick(std::initializer_list<Option<Route>> options, const QString& forced,
                               const char* variable) {
    for (const Option<Route>& o : options)
        if (!forced.isEmpty() && forced == QLatin1String(o.name) && o.possible)
            return {o.route, o.line + QStringLiteral(" (%1)").arg(QLatin1String(variable))};
    const Option<Route>& o = *std::find_if(options.begin(), options.end(), [](const auto& o) { return o.automatic; });
    QString line = o.line + o.reason;
    if (!forced.isEmpty())
        line += QStringLiteral("; %1=%2 is not possible here").arg(QLatin1String(variable), forced);
    return {o.route, line};
}

} // namespace

Choice choose(const Offer& offer, const Forced& forced) {
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
    const auto [hotkeys, hotkeysLine] = pick<Hotkeys>(
        {{"portal", offer.wayland && offer.portalShortcuts, offer.portalShortcuts, Hotkeys::Portal,
          QStringLiteral("hotkeys: the desktop's GlobalShortcuts portal"),
          QStringLiteral(" (it binds the keys and may let its user change them)")},
         {"x11", offer.x11, offer.x11, Hotkeys::X11, QStringLiteral("hotkeys: X11 grabs"),
          offer.wayland ? QStringLiteral(" (they fire while an X11 window has the focus; desktop shortcuts run "
                                         "zolpane --paste N)")
                        : QString()},
         {"none", true, true, Hotkeys::CommandLineOnly, QStringLiteral("hotkeys: none of our own"),
          QStringLiteral(" (no X display and no GlobalShortcuts portal); desktop shortcuts run zolpane --paste N")}},
        forced.hotkeys, "ZOLPANE_HOTKEYS");
    c.hotkeys = hotkeys;
    log << hotkeysLine;
    const auto [keys, keysLine] = pick<Keys>(
        {{"virtual-keyboard", offer.virtualKeyboard, offer.virtualKeyboard, Keys::VirtualKeyboard,
          QStringLiteral("keys: virtual keyboard"),
          QStringLiteral(" (the compositor offers zwp_virtual_keyboard_manager_v1)")},
         {"portal", offer.wayland && offer.portalKeys, offer.portalKeys, Keys::Portal,
          QStringLiteral("keys: the desktop's RemoteDesktop portal"),
          QStringLiteral(" (the desktop asks the user's permission once)")},
         {"xtest", offer.x11, offer.x11, Keys::XTest, QStringLiteral("keys: XTest"),
          offer.wayland ? QStringLiteral(" (the compositor offers no zwp_virtual_keyboard_manager_v1; keys reach "
                                         "X11 windows only)")
                        : QString()},
         {"", true, false, Keys::None, QStringLiteral("keys: none"),
          QStringLiteral(" (no zwp_virtual_keyboard_manager_v1, no RemoteDesktop portal and no X display): clips "
                         "are only copied")}},
        forced.keys, "ZOLPANE_KEYS");
    c.keys = keys;
    log << keysLine;

    if (!offer.dataControl.isEmpty()) {
        c.clipboard = Clip::DataControl;
        log << QStringLiteral("clipboard: %1 (offered by the compositor)").arg(offer.dataControl);
    } else if (c.keys == Keys::Portal && offer.portalClipboard) {
        c.clipboard = Clip::Portal;
        log << QStringLiteral("clipboard: the desktop's Clipboard portal, shared in the RemoteDesktop session");
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
    const Forced forced{qEnvironmentVariable("ZOLPANE_HOTKEYS"), qEnvironmentVariable("ZOLPANE_KEYS")};
#ifdef ZOLPANE_HAVE_PORTAL
    // Asked only where it would be used: its answer may take the start of the portal service.
    std::unique_ptr<PortalBus> portal;
    if (offer.wayland || forced.hotkeys == QLatin1String("portal") || forced.keys == QLatin1String("portal"))
        portal = PortalBus::open();
    if (portal) {
        offer.portalShortcuts = portal->offer().shortcuts;
        offer.portalKeys = portal->offer().keyboard;
        offer.portalClipboard = portal->offer().clipboard;
    }
#endif
    const Choice choice = choose(offer, forced);
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
#ifdef ZOLPANE_HAVE_PORTAL
    if (choice.hotkeys == Hotkeys::Portal)
        services.hotkeys = std::make_unique<PortalHotkeySystem>(*portal);
    if (choice.keys == Keys::Portal) {
        std::function<bool(quint32)> layoutHas;
#ifdef ZOLPANE_HAVE_WAYLAND
        if (wayland)
            layoutHas = wayland->layoutHas();
#endif
        auto* remote = new PortalRemoteSession(*portal, choice.clipboard == Clip::Portal, portal.get());
        services.keys = std::make_unique<PortalKeySender>(*portal, *remote, *services.windows, std::move(layoutHas));
        if (choice.clipboard == Clip::Portal)
            services.clipboard = std::make_unique<PortalClipboard>(*portal, *remote, std::make_unique<QtClipboard>());
    }
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
#ifdef ZOLPANE_HAVE_PORTAL
    if (portal)
        services.sessions.push_back(std::move(portal));
#endif
    return services;
}
