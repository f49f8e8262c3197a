#include "startup/CommandRequest.h"

#include <array>

namespace {

using Command = CommandRequest::Command;

struct Named {
    Command command;
    const char* name;
};
constexpr std::array<Named, 6> commandNames{{{Command::Paste, "paste"},
                                             {Command::PasteNext, "paste-next"},
                                             {Command::ClipMenu, "clip-menu"},
                                             {Command::ClipboardMenu, "clipboard-menu"},
                                             {Command::Show, "show"},
                                             {Command::Settings, "settings"}}};

std::optional<CommandRequest> refuse(QString* error, const char* why) {
    if (error)
        *error = QString::fromLatin1(why);
    return std::nullopt;
}

} // namespace

QByteArray CommandRequest::nameOf(Command command) {
    for (const Named& n : commandNames)
        if (n.command == command)
            return QByteArray(n.name);
    return {};
}

std::optional<CommandRequest::Command> CommandRequest::commandNamed(QByteArrayView name) {
    for (const Named& n : commandNames)
        if (name == QByteArrayView(n.name))
            return n.command;
    return std::nullopt;
}

std::optional<int> CommandRequest::clipNumber(QByteArrayView text) {
    if (text.isEmpty() || text.size() > 2 || text.front() == '0')
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < FirstClip || value > LastClip)
        return std::nullopt;
    return value;
}

std::optional<CommandRequest> CommandRequest::parse(QByteArrayView line, QString* error) {
    if (line.size() > MaxLineLength)
        return refuse(error, "request too long");
    if (line.isEmpty() || line.back() != '\n')
        return refuse(error, "request not ended by a line feed");
    const QByteArrayView body = line.first(line.size() - 1);
    for (char c : body)
        if (c < 0x20 || c > 0x7e)
            return refuse(error, "request is not one line of printable ASCII");
    // One word, or a word and its argument, separated by exactly one space.
    const qsizetype space = body.indexOf(' ');
    const QByteArrayView word = space < 0 ? body : body.first(space);
    const std::optional<QByteArrayView> argument =
        space < 0 ? std::nullopt : std::optional<QByteArrayView>(body.sliced(space + 1));
    const std::optional<Command> command = commandNamed(word);
    if (!command)
        return refuse(error, "unknown command");
    CommandRequest request;
    request.command = *command;
    if (*command != Command::Paste) {
        if (argument)
            return refuse(error, "command takes no argument");
        return request;
    }
    if (!argument)
        return refuse(error, "paste needs a clip number");
    const std::optional<int> clip = clipNumber(*argument);
    if (!clip)
        return refuse(error, "clip number must be 1 to 30");
    request.clip = *clip;
    return request;
}

QByteArray CommandRequest::toLine() const {
    QByteArray line = nameOf(command);
    if (command == Command::Paste)
        line += ' ' + QByteArray::number(clip);
    return line + '\n';
}
