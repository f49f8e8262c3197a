#include "clipmenu/ClipboardTextCommands.h"

#include "clipmenu/TextTransformations.h"
#include "platform/Clipboard.h"
#include "services/Messages.h"

#include <QCursor>
#include <QGuiApplication>

#include <array>
#include <utility>

namespace {

using Command = ClipboardTextCommands::Command;

constexpr std::array<std::pair<Command, const char*>, 10> kMenuNames{{
    {Command::ToLowerCase, "mnuToLowerCase"},
    {Command::ToUpperCase, "mnuToUpperCase"},
    {Command::ProperCase, "mnuProperCase"},
    {Command::ReverseCase, "mnuReverseCase"},
    {Command::Sentences, "mnuSentences"},
    {Command::ZigZagCase, "mnuZigZagCase"},
    {Command::RemoveDiacritics, "mnuRemoveDiacritics"},
    {Command::Reverse, "mnuReverse"},
    {Command::CopyDate, "mnuCopyDate"},
    {Command::CopyTime, "mnuCopyTime"},
}};

// A lone blank or nothing cannot be turned into sentences or alternating case.
bool tooShort(const QString& text) {
    return text.isEmpty() || text == QLatin1String(" ");
}

class WaitCursor final {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

ClipboardTextCommands::ClipboardTextCommands(Clipboard& clipboard, std::function<bool()> sentenceCaseKeepBig,
                                             std::function<void()> pasteToLastApplication)
    : m_clipboard(clipboard), m_keepBig(std::move(sentenceCaseKeepBig)),
      m_pasteToLastApplication(std::move(pasteToLastApplication)), m_now([] { return QDateTime::currentDateTime(); }) {}

QString ClipboardTextCommands::menuName(Command command) {
    for (const auto& [each, name] : kMenuNames)
        if (each == command)
            return QLatin1String(name);
    return {};
}

std::optional<ClipboardTextCommands::Command> ClipboardTextCommands::commandForMenu(const QString& menuName) {
    for (const auto& [command, name] : kMenuNames)
        if (menuName == QLatin1String(name))
            return command;
    return std::nullopt;
}

void ClipboardTextCommands::run(Command command) {
    switch (command) {
    case Command::RemoveDiacritics:
        removeDiacritics();
        break;
    case Command::CopyDate:
    case Command::CopyTime:
        copyDateOrTime(command);
        break;
    default:
        rewrite(command);
        break;
    }
}

void ClipboardTextCommands::rewrite(Command command) {
    using namespace TextTransformations;
    QString text = m_clipboard.text();
    // With the clipboard's copy gone the text is ours alone, and the rewrites change it in place: a clipboard
    // text of 100 MB takes little more memory than itself.
    m_clipboard.clear();
    QString result;
    switch (command) {
    case Command::ToLowerCase:
        result = toLowerCase(std::move(text));
        break;
    case Command::ToUpperCase:
        result = toUpperCase(std::move(text));
        break;
    case Command::ProperCase:
        result = toProperCase(std::move(text));
        break;
    case Command::Reverse:
        result = ReverseText(std::move(text), true);
        break;
    case Command::ReverseCase:
    case Command::Sentences:
    case Command::ZigZagCase:
        if (tooShort(text)) {
            Messages::ShowMessage(QStringLiteral("Text is too short or it does not contain any letters!"),
                                  MessageKind::Warning);
            return;
        }
        if (command == Command::ReverseCase)
            result = ReverseCase(std::move(text));
        else if (command == Command::ZigZagCase)
            result = ZigZagCase(std::move(text), true);
        else
            result = SentenceCase(std::move(text), m_keepBig ? m_keepBig() : true);
        break;
    default:
        return;
    }
    putText(result);
}

void ClipboardTextCommands::removeDiacritics() {
    WaitCursor wait;
    // Any failure (running out of memory on a huge text) ends the command quietly, as designed.
    try {
        QString text = m_clipboard.text();
        m_clipboard.clear();
        QString result;
        if (text.size() > TextTransformations::LongTextLength) {
            result = TextTransformations::RemoveDiacriticsLong(std::move(text));
        } else if (text.isEmpty()) {
            Messages::ShowMessage(QStringLiteral("Clipboard is empty!"), MessageKind::Information);
            return;
        } else {
            result = TextTransformations::RemoveDiacritics(std::move(text));
        }
        putText(result);
    } catch (...) {
    }
}

void ClipboardTextCommands::copyDateOrTime(Command command) {
    m_clipboard.clear();
    const QDateTime now = m_now();
    putText(command == Command::CopyDate ? TextTransformations::dateText(now.date())
                                         : TextTransformations::timeText(now.time()));
    if (m_pasteToLastApplication)
        m_pasteToLastApplication();
}

void ClipboardTextCommands::putText(const QString& text) {
    m_clipboard.setText(text);
}
