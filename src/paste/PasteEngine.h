#pragma once

#include "platform/KeySender.h"

#include <QObject>
#include <QString>

#include <deque>

class ClipTable;
struct KeystrokeParseResult;
class Clipboard;
class LastWindowRecord;
class Settings;
class WindowSystem;

// The main action of the program: a clip onto the clipboard in its format and, with auto paste on, into the
// application the user worked in last, with the clip's paste method.
class PasteEngine final : public QObject {
    Q_OBJECT
public:
    PasteEngine(ClipTable& table, Settings& settings, WindowSystem& windows, KeySender& keys, LastWindowRecord& record,
                Clipboard& clipboard, QObject* parent = nullptr);

    // The number of the clip copied last, 0 before the first copy.
    int LastClip = 0;

    void CopyClip(int n);
    void HotkeyTrigger(int n) { CopyClip(n); }
    // A clip's own hotkey: after the copy the clip counts as the last one even when it was empty (the copy then
    // left LastClip alone), so paste next goes on from the clip whose hotkey was pressed.
    void ClipHotkeyTrigger(int n) {
        HotkeyTrigger(n);
        LastClip = n;
    }
    // Copies the next non-empty clip after LastClip, downwards or upwards, wrapping once.
    void PasteNext(bool down);
    // After the clipboard menu's date and time commands.
    void PasteClipboardToLastApplication();
    // Parses the keystroke string and sends it to the window activated last; false when it could not be parsed.
    // clip: the clip whose paste this is, whose status follows what the sending achieved; 0 for none.
    bool SendKeystrokes(const QString& keys, int clip = 0);

    // How long paste next waits before copying, so the release of its own keys has settled.
    static constexpr int pasteNextDelayMs = 10;

Q_SIGNALS:
    // A copy begins: a status message still shown stays until the copy shows its own.
    void copyStarted();
    void statusMessage(const QString& text);
    // Clip n is the one copied last (its row label is shown in bold).
    void lastClipMarked(int n);
    // After a copy, by the copy options: the main window hides, or is minimized.
    void hideWindowRequested();
    void minimizeWindowRequested();

private:
    // Returns the clip's effective paste method.
    int putOnClipboard(int n);
    void markLastClip(int n);
    // SendKeystrokes() for keystrokes already parsed.
    bool sendParsed(const KeystrokeParseResult& parsed, int clip);
    void keysFinished(KeySender::Result result);

    ClipTable& m_table;
    Settings& m_settings;
    WindowSystem& m_windows;
    KeySender& m_keys;
    LastWindowRecord& m_record;
    Clipboard& m_clipboard;
    // The clip of each of our sendings still under way, oldest first, as the key sender reports them.
    std::deque<int> m_sendings;
};
