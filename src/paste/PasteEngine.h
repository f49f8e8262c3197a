#pragma once

#include <QObject>
#include <QString>

#include <functional>

class ClipTable;
class KeySender;
class LastWindowRecord;
class QClipboard;
class QAction;
class Settings;
class WindowSystem;
class frmZolpane;

// The main action of the program: a clip onto the clipboard in its format and, with auto paste on, into the
// application the user worked in last, with the clip's paste method.
class PasteEngine final : public QObject {
    Q_OBJECT
public:
    PasteEngine(ClipTable& table, frmZolpane& window, Settings& settings, WindowSystem& windows, KeySender& keys,
                LastWindowRecord& record, QClipboard* clipboard, QObject* parent = nullptr);

    // The number of the clip copied last, 0 before the first copy.
    int LastClip = 0;

    void CopyClip(int n);
    void HotkeyTrigger(int n) { CopyClip(n); }
    // Copies the next non-empty clip after LastClip, downwards or upwards, wrapping once.
    void PasteNext(bool down);
    // After the clipboard menu's date and time commands.
    void PasteClipboardToLastApplication();
    // Parses the keystroke string and sends it to target; false when it could not be parsed.
    bool SendKeystrokes(const QString& keys);

    // How long paste next waits before copying, so the release of its own keys has settled.
    static constexpr int pasteNextDelayMs = 10;

private:
    void putOnClipboard(int n);
    void markLastClip(int n);

    ClipTable& m_table;
    frmZolpane& m_window;
    Settings& m_settings;
    WindowSystem& m_windows;
    KeySender& m_keys;
    LastWindowRecord& m_record;
    QClipboard* m_clipboard;
};
