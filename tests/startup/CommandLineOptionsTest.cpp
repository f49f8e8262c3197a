#include "startup/CommandLineOptions.h"
#include "TestSupport.h"

#include <QtTest>

using Kind = CommandLineOptions::Kind;
using Command = CommandRequest::Command;

// Which command lines are options and which are left to the designed start-up ("nowindow", a project path).
class CommandLineOptionsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void classify_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("command"); // for Kind::Request
        QTest::addColumn<int>("clip");
        QTest::addColumn<QString>("error"); // for Kind::UsageError
        const auto row = [](const char* name, QStringList arguments, Kind kind, QString error = {}) {
            QTest::newRow(name) << arguments << int(kind) << -1 << 0 << error;
        };
        const auto request = [](const char* name, QStringList arguments, Command command, int clip = 0) {
            QTest::newRow(name) << arguments << int(Kind::Request) << int(command) << clip << QString();
        };
        row("nothing", {}, Kind::Designed);
        row("nowindow", {"nowindow"}, Kind::Designed);
        row("project path with spaces", {"/home/me/My", "clips.zp"}, Kind::Designed);
        row("single dash", {"-h"}, Kind::Designed);
        row("dash inside", {"a--b.zp"}, Kind::Designed);
        row("help", {"--help"}, Kind::Help);
        row("version", {"--version"}, Kind::Version);
        request("paste 1", {"--paste", "1"}, Command::Paste, 1);
        request("paste=30", {"--paste=30"}, Command::Paste, 30);
        request("paste-next", {"--paste-next"}, Command::PasteNext);
        request("clip-menu", {"--clip-menu"}, Command::ClipMenu);
        request("clipboard-menu", {"--clipboard-menu"}, Command::ClipboardMenu);
        request("show", {"--show"}, Command::Show);
        row("paste without number", {"--paste"}, Kind::UsageError, "--paste needs a clip number from 1 to 30");
        row("paste 31", {"--paste", "31"}, Kind::UsageError, "'31' is not a clip number from 1 to 30");
        row("paste 0", {"--paste=0"}, Kind::UsageError, "'0' is not a clip number from 1 to 30");
        row("paste empty value", {"--paste="}, Kind::UsageError, "'' is not a clip number from 1 to 30");
        row("paste word", {"--paste", "one"}, Kind::UsageError, "'one' is not a clip number from 1 to 30");
        row("paste Arabic-Indic one", {"--paste", QString(QChar(0x0661))}, Kind::UsageError,
            QString("'%1' is not a clip number from 1 to 30").arg(QChar(0x0661)));
        row("paste two numbers", {"--paste", "1", "2"}, Kind::UsageError, "unexpected argument '2'");
        row("paste= and more", {"--paste=1", "2"}, Kind::UsageError, "unexpected argument '2'");
        row("option then nowindow", {"--show", "nowindow"}, Kind::UsageError, "unexpected argument 'nowindow'");
        row("help with value", {"--help=all"}, Kind::UsageError, "--help takes no value");
        row("nowindow then option", {"nowindow", "--show"}, Kind::UsageError,
            "'nowindow' cannot be combined with options");
        row("path then option", {"/tmp/a.zp", "--paste", "1"}, Kind::UsageError,
            "'/tmp/a.zp' cannot be combined with options");
        row("unknown", {"--frobnicate"}, Kind::UsageError, "unknown option '--frobnicate'");
        row("capitals", {"--Show"}, Kind::UsageError, "unknown option '--Show'");
        row("bare double dash", {"--"}, Kind::UsageError, "unknown option '--'");
        row("project named like an option", {"--my.zp"}, Kind::UsageError, "unknown option '--my.zp'");
    }
    void classify() {
        QFETCH(QStringList, arguments);
        QFETCH(int, kind);
        QFETCH(int, command);
        QFETCH(int, clip);
        QFETCH(QString, error);
        const CommandLineOptions options = CommandLineOptions::classify(arguments);
        QCOMPARE(int(options.kind), kind);
        QCOMPARE(options.error, error);
        if (options.kind == Kind::Request) {
            QCOMPARE(int(options.request.command), command);
            QCOMPARE(options.request.clip, clip);
        }
    }

    // The help names every request option under the name the classification accepts.
    void helpNamesEveryOption() {
        for (Command c :
             {Command::Paste, Command::PasteNext, Command::ClipMenu, Command::ClipboardMenu, Command::Show}) {
            const QString option = "--" + QString::fromLatin1(CommandRequest::nameOf(c));
            QVERIFY2(CommandLineOptions::helpText().contains("  " + option + " "), qPrintable(option));
        }
    }
};

ZP_TEST_CLASS(CommandLineOptionsTest)

#include "CommandLineOptionsTest.moc"
