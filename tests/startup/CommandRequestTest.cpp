#include "startup/CommandRequest.h"
#include "TestSupport.h"

#include <QtTest>

using namespace TestSupport;
using Command = CommandRequest::Command;

// The request line read from the socket: what is accepted, and why the rest is refused.
class CommandRequestTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data() {
        columns<QByteArray, int, int, QString>("line", "command", "clip", "error"); // command: -1: refused
        const auto ok = [](QByteArray line, Command c, int clip = 0) {
            QTest::newRow(line.constData()) << line << int(c) << clip << QString();
        };
        const auto refused = [](const char* name, QByteArray line, const char* error) {
            QTest::newRow(name) << line << -1 << 0 << QString::fromLatin1(error);
        };
        ok("paste 1\n", Command::Paste, 1);
        ok("paste 30\n", Command::Paste, 30);
        ok("clipboard-menu\n", Command::ClipboardMenu);
        ok("show\n", Command::Show);
        ok("settings\n", Command::Settings);
        const char* badClip = "clip number must be 1 to 30";
        refused("clip 0", "paste 0\n", badClip);
        refused("clip 31", "paste 31\n", badClip);
        refused("leading zero", "paste 07\n", badClip);
        refused("no clip", "paste\n", "paste needs a clip number");
        refused("argument to show", "show 1\n", "command takes no argument");
        refused("capitals", "SHOW\n", "unknown command");
        refused("no line feed", "show", "request not ended by a line feed");
        refused("two lines", "show\nshow\n", "request is not one line of printable ASCII");
        refused("NUL inside", QByteArray("show\0\n", 6), "request is not one line of printable ASCII");
        refused("UTF-8", "paste 1\xc3\xa9\n", "request is not one line of printable ASCII");
        // The length bound comes before any other look at the bytes.
        refused("longest length", QByteArray(CommandRequest::MaxLineLength - 1, 'x') + '\n', "unknown command");
        refused("one byte too long", QByteArray(CommandRequest::MaxLineLength, 'x') + '\n', "request too long");
        refused("a megabyte", QByteArray(1 << 20, '\n'), "request too long");
    }
    void parse() {
        const auto [line, command, clip, error] =
            fetch<QByteArray, int, int, QString>("line", "command", "clip", "error");
        QString why;
        const std::optional<CommandRequest> request = CommandRequest::parse(line, &why);
        QCOMPARE(request ? int(request->command) : -1, command);
        QCOMPARE(request ? request->clip : 0, clip);
        QCOMPARE(why, error);
        if (request)
            QCOMPARE(request->toLine(), line); // what the command line sends
    }
};

ZP_TEST_CLASS(CommandRequestTest)

#include "CommandRequestTest.moc"
