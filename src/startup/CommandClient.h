#pragma once

#include "startup/CommandLineOptions.h"

#include <QString>

// The command line's side of an option call: prints the help or the version, or sends a request to the instance
// running for this program folder and reports its answer. Needs no display; a request needs a QCoreApplication.
class CommandClient final {
public:
    // Runs the options (anything but Kind::Designed) and returns the process's exit status. Output goes to stdout,
    // errors to stderr.
    static int run(const CommandLineOptions& options, int argc, char** argv);

    // Sends the request to the socket and waits a bounded time for the answer line. Returns ExitOk, or
    // ExitFailed with the reason in message.
    static int send(const QString& socketPath, const CommandRequest& request, QString& message);

    // How long the answer may take: the instance answers at once, before any paste.
    static constexpr int AnswerTimeoutMs = 2000;
};
