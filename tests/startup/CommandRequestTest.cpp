#include "startup/CommandRequest.h"
#include "TestSupport.h"

#include <QtTest>

using Command = CommandRequest::Command;

// The request line read from the socket: what is accepted, and why the rest is refused.
class CommandRequestTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("command"); // -1: refused
        QTest::addColumn<int>("clip");
        QTest::addColumn<QString>("error");
        const auto ok = [](const char* name, QByteArray line, Command c, int clip = 0) {
            QTest::newRow(name) << line << int(c) << clip << QString();
        };
        const auto refused = [](const char* name, QByteArray line, const char* error) {
            QTest::newRow(name) << line << -1 << 0 << QString::fromLatin1(error);
        };
        ok("paste 1", "paste 1\n", Command::Paste, 1);
        ok("paste 30", "paste 30\n", Command::Paste, 30);
        ok("paste-next", "paste-next\n", Command::PasteNext);
        ok("clip-menu", "clip-menu\n", Command::ClipMenu);
        ok("clipboard-menu", "clipboard-menu\n", Command::ClipboardMenu);
        ok("show", "show\n", Command::Show);
        const char* badClip = "clip number must be 1 to 30";
        refused("clip 0", "paste 0\n", badClip);
        refused("clip 31", "paste 31\n", badClip);
        refused("leading zero", "paste 07\n", badClip);
        refused("three digits", "paste 100\n", badClip);
        refused("negative", "paste -1\n", badClip);
        refused("trailing letter", "paste 1x\n", badClip);
        refused("two spaces", "paste  1\n", badClip);
        refused("trailing space", "paste 1 \n", badClip);
        refused("empty argument", "paste \n", badClip);
        refused("no clip", "paste\n", "paste needs a clip number");
        refused("argument to show", "show 1\n", "command takes no argument");
        refused("space after show", "show \n", "command takes no argument");
        refused("capitals", "SHOW\n", "unknown command");
        refused("leading space", " show\n", "unknown command");
        refused("option form", "--show\n", "unknown command");
        refused("empty line", "\n", "unknown command");
        refused("nothing", "", "request not ended by a line feed");
        refused("no line feed", "show", "request not ended by a line feed");
        refused("carriage return", "show\r\n", "request is not one line of printable ASCII");
        refused("two lines", "show\nshow\n", "request is not one line of printable ASCII");
        refused("NUL inside", QByteArray("show\0\n", 6), "request is not one line of printable ASCII");
        refused("tab", "paste\t1\n", "request is not one line of printable ASCII");
        refused("UTF-8", "paste 1\xc3\xa9\n", "request is not one line of printable ASCII");
        refused("DEL", "show\x7f\n", "request is not one line of printable ASCII");
        // The length bound comes before any other look at the bytes.
        refused("longest accepted length", QByteArray(CommandRequest::MaxLineLength - 1, 'x') + '\n',
                "unknown command");
        refused("one byte too long", QByteArray(CommandRequest::MaxLineLength, 'x') + '\n', "request too long");
        refused("a megabyte", QByteArray(1 << 20, '\n'), "request too long");
    }
    void parse() {
        QFETCH(QByteArray, line);
        QFETCH(int, command);
        QFETCH(int, clip);
        QFETCH(QString, error);
        QString why = QStringLiteral("untouched");
        const std::optional<CommandRequest> request = CommandRequest::parse(line, &why);
        QCOMPARE(request.has_value(), command >= 0);
        if (request) {
            QCOMPARE(int(request->command), command);
            QCOMPARE(request->clip, clip);
            QCOMPARE(request->toLine(), line);
        } else {
            QCOMPARE(why, error);
        }
    }

    // Every request the command line can make comes back unchanged from its line.
    void everyRequestRoundTrips() {
        QList<CommandRequest> all;
        for (int clip = CommandRequest::FirstClip; clip <= CommandRequest::LastClip; ++clip)
            all.append({Command::Paste, clip});
        for (Command c : {Command::PasteNext, Command::ClipMenu, Command::ClipboardMenu, Command::Show})
            all.append({c, 0});
        for (const CommandRequest& request : all) {
            const QByteArray line = request.toLine();
            QVERIFY2(line.size() <= CommandRequest::MaxLineLength, line.constData());
            QCOMPARE(CommandRequest::parse(line), std::optional<CommandRequest>(request));
        }
    }
};

ZP_TEST_CLASS(CommandRequestTest)

#include "CommandRequestTest.moc"
