// zp_layout_keyboard: a keyboard with the US layout on the session's seat that types the keysyms it reads from
// standard input ("KEYSYM PRESSED" lines), the way a desktop types the keysyms of its RemoteDesktop portal: each
// keysym through the key and level of the layout that produce it, and a keysym the layout lacks not at all
// ("dropped" on standard error). The scripted portal desktop of the end-to-end tests runs it.

#include "platform/wayland/WaylandConnection.h"

#include <virtual-keyboard-unstable-v1-client.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QSocketNotifier>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>

namespace {
struct Key {
    quint32 keycode; // evdev
    quint32 mask;    // the modifiers of the level
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    WaylandConnection connection;
    auto* manager =
        static_cast<zwp_virtual_keyboard_manager_v1*>(connection.bind(&zwp_virtual_keyboard_manager_v1_interface, 1));
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!manager || !connection.seat() || !keymap) {
        std::fputs("no virtual keyboard or no US keymap\n", stderr);
        return 1;
    }
    QHash<quint32, Key> keys;
    for (xkb_keycode_t code = xkb_keymap_max_keycode(keymap); code >= xkb_keymap_min_keycode(keymap); --code)
        for (xkb_level_index_t level = xkb_keymap_num_levels_for_key(keymap, code, 0); level-- > 0;) {
            const xkb_keysym_t* syms = nullptr;
            xkb_mod_mask_t mask = 0;
            if (xkb_keymap_key_get_syms_by_level(keymap, code, 0, level, &syms) == 1 &&
                xkb_keymap_key_get_mods_for_level(keymap, code, 0, level, &mask, 1) >= (level ? 1u : 0u))
                keys.insert(syms[0], {code - 8, level ? mask : 0}); // the lowest key and level win
        }
    const QHash<quint32, quint32> modifiers{
        {XKB_KEY_Shift_L, 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT)},
        {XKB_KEY_Control_L, 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_CTRL)},
        {XKB_KEY_Alt_L, 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_ALT)}};

    zwp_virtual_keyboard_v1* keyboard =
        zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, connection.seat());
    char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    const size_t size = std::strlen(text) + 1;
    const int fd = memfd_create("layout-keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, text, size) != ssize_t(size))
        return 1;
    zwp_virtual_keyboard_v1_keymap(keyboard, XKB_KEYMAP_FORMAT_TEXT_V1, fd, quint32(size));
    close(fd);
    std::free(text);
    // A modifiers event makes this the seat's keyboard, whose layout every client is told.
    quint32 held = 0;
    zwp_virtual_keyboard_v1_modifiers(keyboard, 0, 0, 0, 0);
    connection.flush();

    QElapsedTimer clock;
    clock.start();
    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            app.quit();
            return;
        }
        pending.append(buffer, n);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
            const QList<QByteArray> words = pending.left(end).split(' ');
            const quint32 keysym = words.value(0).toUInt(), pressed = words.value(1).toUInt();
            const auto key = keys.constFind(keysym);
            if (key == keys.cend()) {
                std::fprintf(stderr, "dropped 0x%x\n", keysym);
                continue;
            }
            if (const quint32 bit = modifiers.value(keysym))
                held = pressed ? held | bit : held & ~bit;
            // A key of a shifted level goes with its modifiers held, the others with the held ones alone.
            const quint32 mask = pressed && !modifiers.contains(keysym) ? held | key->mask : held;
            zwp_virtual_keyboard_v1_modifiers(keyboard, mask, 0, 0, 0);
            zwp_virtual_keyboard_v1_key(keyboard, quint32(clock.elapsed()), key->keycode, pressed);
            if (mask != held)
                zwp_virtual_keyboard_v1_modifiers(keyboard, held, 0, 0, 0);
        }
        connection.flush();
    });
    return app.exec();
}
