#include "startup/CommandLineOptions.h"
#include "TestSupport.h"

#include <QtTest>

using namespace TestSupport;
using Kind = CommandLineOptions::Kind;
using Command = CommandRequest::Command;

// Which command lines are options and which are left to the designed start-up ("nowindow", a project path).
class CommandLineOptionsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void classify_data() {
        // command: for Kind::Request, the desktop for Kind::PrintBindings; error: for Kind::UsageError
        columns<QStringList, int, int, int, QString>("arguments", "kind", "command", "clip", "error");
        const auto row = [](const char* name, QStringList arguments, Kind kind, QString error = {}) {
            QTest::newRow(name) << arguments << int(kind) << -1 << 0 << error;
        };
        const auto request = [](const char* name, QStringList arguments, Command command, int clip = 0) {
            QTest::newRow(name) << arguments << int(Kind::Request) << int(command) << clip << QString();
        };
        const auto bindings = [](const char* name, QStringList arguments, DesktopBindings::Desktop desktop) {
            QTest::newRow(name) << arguments << int(Kind::PrintBindings) << int(desktop) << 0 << QString();
        };
        const auto notClip = [](const char* n) { return QString("'%1' is not a clip number from 1 to 30").arg(n); };
        row("nothing", {}, Kind::Designed);
        row("nowindow", {"nowindow"}, Kind::Designed);
        row("help", {"--help"}, Kind::Help);
        row("version", {"--version"}, Kind::Version);
        request("paste 1", {"--paste", "1"}, Command::Paste, 1);
        request("paste=30", {"--paste=30"}, Command::Paste, 30);
        request("clipboard-menu", {"--clipboard-menu"}, Command::ClipboardMenu);
        request("settings", {"--settings"}, Command::Settings);
        bindings("print-bindings", {"--print-bindings"}, DesktopBindings::Desktop::Sway);
        bindings("print-bindings=river", {"--print-bindings=river"}, DesktopBindings::Desktop::River);
        row("print-bindings kde", {"--print-bindings", "kde"}, Kind::UsageError,
            "unknown desktop 'kde': choose sway, hyprland, labwc, river or wayfire");
        row("print-bindings=sway more", {"--print-bindings=sway", "x"}, Kind::UsageError, "unexpected argument 'x'");
        row("paste without number", {"--paste"}, Kind::UsageError, "--paste needs a clip number from 1 to 30");
        row("paste 31", {"--paste", "31"}, Kind::UsageError, notClip("31"));
        row("paste Arabic-Indic one", {"--paste", "\u0661"}, Kind::UsageError, notClip("\u0661"));
        row("paste two numbers", {"--paste", "1", "2"}, Kind::UsageError, "unexpected argument '2'");
        row("help with value", {"--help=all"}, Kind::UsageError, "--help takes no value");
        row("nowindow then option", {"nowindow", "--show"}, Kind::UsageError,
            "'nowindow' cannot be combined with options");
    }
    void classify() {
        const auto [arguments, kind, command, clip, error] =
            fetch<QStringList, int, int, int, QString>("arguments", "kind", "command", "clip", "error");
        const CommandLineOptions options = CommandLineOptions::classify(arguments);
        QCOMPARE(int(options.kind), kind);
        QCOMPARE(options.error, error);
        QCOMPARE(options.kind == Kind::Request         ? int(options.request.command)
                 : options.kind == Kind::PrintBindings ? int(options.desktop)
                                                       : -1,
                 command);
        QCOMPARE(options.request.clip, clip);
    }
};

ZP_TEST_CLASS(CommandLineOptionsTest)

#include "CommandLineOptionsTest.moc"
