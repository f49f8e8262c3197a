#pragma once

#include <QObject>
#include <QSet>

class WaylandConnection;
struct wl_keyboard;

// The keysyms of the user's keyboard layout, as the compositor tells every keyboard client (the keymap event of
// wl_keyboard, again whenever the layout changes): what a desktop that types keysyms through the layout can type.
class SeatLayout final : public QObject {
    Q_OBJECT
public:
    explicit SeatLayout(WaylandConnection& connection, QObject* parent = nullptr);
    ~SeatLayout() override;

    // False until the compositor sent a keymap.
    bool isKnown() const { return !m_keysyms.isEmpty(); }
    bool has(quint32 keysym) const { return m_keysyms.contains(keysym); }

    // The keysyms of a keymap in xkb text form (the first layout, every level of every key).
    static QSet<quint32> keysymsOf(const QByteArray& keymap);

private:
    static void onKeymap(void* data, wl_keyboard*, quint32 format, qint32 fd, quint32 size);
    wl_keyboard* m_keyboard = nullptr;
    QSet<quint32> m_keysyms;
};
