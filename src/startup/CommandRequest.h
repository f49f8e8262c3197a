#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// A request to the running instance: what one of the global hotkeys does, sent by the command line over the
// program's local socket as one line of printable ASCII ("paste 12\n", "show\n"). parse() reads bytes from a
// peer that may send anything, so it checks every byte and bounds the length before looking at the words.
struct CommandRequest {
    enum class Command { Paste, PasteNext, ClipMenu, ClipboardMenu, Show, Settings };

    Command command = Command::Show;
    int clip = 0; // 1..30 for Paste, 0 for the others

    // The longest line accepted, its line feed included; the longest valid one ("clipboard-menu\n") is far
    // shorter, so a reader can stop at this many bytes.
    static constexpr qsizetype MaxLineLength = 64;
    static constexpr int FirstClip = 1;
    static constexpr int LastClip = 30;

    // The request in one line, or nothing and the reason in error.
    static std::optional<CommandRequest> parse(QByteArrayView line, QString* error = nullptr);
    // The line parse() reads back as this request.
    QByteArray toLine() const;

    // The word of a command: also the command-line option after its "--".
    static QByteArray nameOf(Command command);
    static std::optional<Command> commandNamed(QByteArrayView name);
    // A clip number as typed: 1 or 2 decimal digits without a leading zero, 1..30.
    static std::optional<int> clipNumber(QByteArrayView text);

    friend bool operator==(const CommandRequest&, const CommandRequest&) = default;
};
