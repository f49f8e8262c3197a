#include "platform/wayland/SeatLayout.h"

#include "platform/PlatformLog.h"
#include "platform/wayland/WaylandConnection.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <sys/mman.h>
#include <unistd.h>

namespace {
constexpr quint32 kKeymapFormatXkbV1 = 1;

void ignoreEnter(void*, wl_keyboard*, quint32, wl_surface*, wl_array*) {}
void ignoreLeave(void*, wl_keyboard*, quint32, wl_surface*) {}
void ignoreKey(void*, wl_keyboard*, quint32, quint32, quint32, quint32) {}
void ignoreModifiers(void*, wl_keyboard*, quint32, quint32, quint32, quint32, quint32) {}
void ignoreRepeat(void*, wl_keyboard*, qint32, qint32) {}
} // namespace

SeatLayout::SeatLayout(WaylandConnection& connection, QObject* parent) : QObject(parent) {
    static const wl_keyboard_listener listener = {&SeatLayout::onKeymap, ignoreEnter, ignoreLeave, ignoreKey,
                                                  ignoreModifiers,       ignoreRepeat};
    if (wl_seat* seat = connection.seat()) {
        m_keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(m_keyboard, &listener, this);
        connection.flush();
    }
}

SeatLayout::~SeatLayout() {
    if (m_keyboard)
        wl_keyboard_destroy(m_keyboard);
}

void SeatLayout::onKeymap(void* data, wl_keyboard*, quint32 format, qint32 fd, quint32 size) {
    auto* self = static_cast<SeatLayout*>(data);
    if (format == kKeymapFormatXkbV1 && size > 0) {
        void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapped != MAP_FAILED) {
            // The text ends in a NUL the compositor counts in size.
            self->m_keysyms = keysymsOf(QByteArray(static_cast<const char*>(mapped), qsizetype(size) - 1));
            munmap(mapped, size);
        }
    }
    close(fd);
}

QSet<quint32> SeatLayout::keysymsOf(const QByteArray& keymap) {
    QSet<quint32> keysyms;
    xkb_context* context =
        xkb_context_new(xkb_context_flags(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    xkb_keymap* map = context ? xkb_keymap_new_from_buffer(context, keymap.constData(), size_t(keymap.size()),
                                                           XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS)
                              : nullptr;
    if (map) {
        for (xkb_keycode_t key = xkb_keymap_min_keycode(map); key <= xkb_keymap_max_keycode(map); ++key)
            for (xkb_level_index_t level = 0; level < xkb_keymap_num_levels_for_key(map, key, 0); ++level) {
                const xkb_keysym_t* syms = nullptr;
                const int n = xkb_keymap_key_get_syms_by_level(map, key, 0, level, &syms);
                for (int i = 0; i < n; ++i)
                    keysyms.insert(syms[i]);
            }
        xkb_keymap_unref(map);
    } else {
        qCWarning(lcPlatform) << "the compositor's keymap could not be read";
    }
    xkb_context_unref(context);
    return keysyms;
}
