#pragma once

#include "startup/CommandRequest.h"
#include "startup/DesktopBindings.h"

#include <QString>
#include <QStringList>

// The options of the command line, which come on top of the designed one ("nowindow" or a project path, handed
// to a running instance through loadbuff.dat). Any argument beginning with "--" makes the whole command line an
// option call, so such arguments never reach the designed handling; without one the arguments are left to it.
struct CommandLineOptions {
    enum class Kind { Designed, Help, Version, Request, PrintBindings, UsageError };

    Kind kind = Kind::Designed;
    CommandRequest request; // Kind::Request
    QString error;          // Kind::UsageError
    // Kind::PrintBindings
    DesktopBindings::Desktop desktop = DesktopBindings::Desktop::Sway;

    // The process's arguments without the program name.
    static CommandLineOptions classify(const QStringList& arguments);

    static QString helpText();
    static QString versionText();

    // The exit statuses of an option call.
    static constexpr int ExitOk = 0;
    static constexpr int ExitFailed = 1; // no running instance, or it refused the request
    static constexpr int ExitUsage = 2;
};
