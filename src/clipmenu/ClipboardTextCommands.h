#pragma once

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

class Clipboard;

// The clipboard side of the text commands: read the clipboard text, empty the clipboard, compute the new
// text and put it back as plain text. Emptying comes first, so whatever else the clipboard held is gone
// afterwards, and a command refused with a message leaves the clipboard empty.
class ClipboardTextCommands final {
public:
    enum class Command {
        ToLowerCase,
        ToUpperCase,
        ProperCase,
        ReverseCase,
        Sentences,
        ZigZagCase,
        RemoveDiacritics,
        Reverse,
        CopyDate,
        CopyTime,
    };

    // sentenceCaseKeepBig gives the current keep-capitals option; pasteToLastApplication pastes the clipboard
    // into the last active application when the auto-paste options allow it (run after date and time).
    ClipboardTextCommands(Clipboard& clipboard, std::function<bool()> sentenceCaseKeepBig,
                          std::function<void()> pasteToLastApplication);

    void run(Command command);

    // The menu item name behind a command ("mnuToLowerCase"), and back.
    static QString menuName(Command command);
    static std::optional<Command> commandForMenu(const QString& menuName);

    // Test seam: the clock the date and time commands read.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

private:
    void rewrite(Command command);
    void removeDiacritics();
    void copyDateOrTime(Command command);
    void putText(const QString& text);

    Clipboard& m_clipboard;
    std::function<bool()> m_keepBig;
    std::function<void()> m_pasteToLastApplication;
    std::function<QDateTime()> m_now;
};
