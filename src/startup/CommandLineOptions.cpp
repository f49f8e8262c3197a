#include "startup/CommandLineOptions.h"

#include <algorithm>

namespace {

CommandLineOptions usageError(const QString& error) {
    CommandLineOptions options;
    options.kind = CommandLineOptions::Kind::UsageError;
    options.error = error;
    return options;
}

} // namespace

CommandLineOptions CommandLineOptions::classify(const QStringList& arguments) {
    const auto isOption = [](const QString& a) { return a.startsWith(QLatin1String("--")); };
    if (std::none_of(arguments.begin(), arguments.end(), isOption))
        return {};
    const QString& first = arguments.first();
    if (!isOption(first))
        return usageError(QStringLiteral("'%1' cannot be combined with options").arg(first));

    // "--paste=N" is read as "--paste N".
    QString name = first.mid(2);
    QStringList rest = arguments.mid(1);
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    if (equals >= 0) {
        rest.prepend(name.mid(equals + 1));
        name.truncate(equals);
    }

    CommandLineOptions options;
    if (name == QLatin1String("help")) {
        options.kind = Kind::Help;
    } else if (name == QLatin1String("version")) {
        options.kind = Kind::Version;
    } else if (name == QLatin1String("print-bindings")) {
        options.kind = Kind::PrintBindings;
        if (!rest.isEmpty()) {
            const QString desktop = rest.takeFirst();
            const auto named = DesktopBindings::desktopNamed(desktop);
            if (!named)
                return usageError(
                    QStringLiteral("unknown desktop '%1': choose %2").arg(desktop, DesktopBindings::desktopNames()));
            options.desktop = *named;
        }
    } else if (const auto command = CommandRequest::commandNamed(name.toLatin1())) {
        options.kind = Kind::Request;
        options.request.command = *command;
        if (*command == CommandRequest::Command::Paste) {
            if (rest.isEmpty())
                return usageError(QStringLiteral("--paste needs a clip number from 1 to 30"));
            const QString number = rest.takeFirst();
            // Only ASCII digits pass: a character outside Latin-1 becomes '?', which is no digit.
            const auto clip = CommandRequest::clipNumber(number.toLatin1());
            if (!clip)
                return usageError(QStringLiteral("'%1' is not a clip number from 1 to 30").arg(number));
            options.request.clip = *clip;
        }
    } else {
        return usageError(QStringLiteral("unknown option '%1'").arg(first));
    }
    if (!rest.isEmpty())
        return usageError(equals >= 0 && (options.kind == Kind::Help || options.kind == Kind::Version)
                              ? QStringLiteral("--%1 takes no value").arg(name)
                              : QStringLiteral("unexpected argument '%1'").arg(rest.first()));
    return options;
}

QString CommandLineOptions::helpText() {
    return QStringLiteral(
        "Usage: zolpane [nowindow | PROJECT.zp]\n"
        "       zolpane OPTION\n"
        "\n"
        "Without an option Zolpane starts, or hands PROJECT.zp to the Zolpane already running.\n"
        "\"nowindow\" starts it in the tray without showing its window.\n"
        "\n"
        "Options that ask the running Zolpane to do what its hotkeys do (bind them to desktop shortcuts;\n"
        "Zolpane waits until every key is released before it pastes):\n"
        "  --paste N          copy clip N (1 to 30) and paste it into the last active window\n"
        "  --paste-next       paste the next clip\n"
        "  --clip-menu        show the menu of clips\n"
        "  --clipboard-menu   show the clipboard menu\n"
        "  --show             show the main window\n"
        "  --settings         show the settings dialog\n"
        "\n"
        "  --print-bindings [DESKTOP]\n"
        "                     print key bindings that run these options with Zolpane's hotkeys, for the\n"
        "                     configuration of DESKTOP: sway (the default), hyprland, labwc, river or wayfire\n"
        "\n"
        "  --help             show this text\n"
        "  --version          show the version\n"
        "\n"
        "Exit status: 0 done, 1 Zolpane is not running or refused the request, 2 wrong usage.\n"
        "Environment: ZOLPANE_HOME selects the program folder; each folder has its own running Zolpane.\n");
}

QString CommandLineOptions::versionText() {
    return QStringLiteral("zolpane " ZOLPANE_VERSION "\n");
}
