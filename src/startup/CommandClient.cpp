#include "startup/CommandClient.h"

#include "platform/LocalSocket.h"
#include "services/AppPaths.h"
#include "startup/CommandServer.h"
#include "startup/DesktopBindings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <cstdio>

namespace {

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int CommandClient::send(const QString& socketPath, const CommandRequest& request, QString& message) {
    const QDeadlineTimer deadline(AnswerTimeoutMs);
    QString error;
    bool nobodyListens = false;
    LocalSocket socket = LocalSocket::connect(socketPath, AnswerTimeoutMs, &error, &nobodyListens);
    if (!socket.isValid()) {
        message = nobodyListens ? QStringLiteral("Zolpane is not running (nothing answers on %1).").arg(socketPath)
                                : QStringLiteral("cannot reach the running Zolpane: ") + error;
        return CommandLineOptions::ExitFailed;
    }
    QByteArray answer;
    if (socket.write(request.toLine(), int(deadline.remainingTime()))) {
        char buffer[256];
        while (!answer.contains('\n') && answer.size() <= CommandRequest::MaxLineLength * 4) {
            const qsizetype got = socket.read(buffer, sizeof buffer, int(deadline.remainingTime()));
            if (got <= 0)
                break;
            answer.append(buffer, got);
        }
    }
    answer = answer.left(answer.indexOf('\n'));
    if (answer == "ok")
        return CommandLineOptions::ExitOk;
    if (answer.startsWith("error "))
        message = QStringLiteral("the running Zolpane refused the request: ") + QString::fromUtf8(answer.mid(6));
    else
        message = QStringLiteral("no answer from the running Zolpane.");
    return CommandLineOptions::ExitFailed;
}

int CommandClient::run(const CommandLineOptions& options, int argc, char** argv) {
    using Kind = CommandLineOptions::Kind;
    switch (options.kind) {
    case Kind::Help:
        print(stdout, CommandLineOptions::helpText());
        return CommandLineOptions::ExitOk;
    case Kind::Version:
        print(stdout, CommandLineOptions::versionText());
        return CommandLineOptions::ExitOk;
    case Kind::UsageError:
        print(stderr, QStringLiteral("zolpane: %1\nTry 'zolpane --help'.\n").arg(options.error));
        return CommandLineOptions::ExitUsage;
    case Kind::Designed:
        break;
    case Kind::PrintBindings: {
        QCoreApplication app(argc, argv);
        const AppPaths paths = AppPaths::resolve(QCoreApplication::applicationDirPath());
        QString error;
        const auto hotkeys = DesktopBindings::readHotkeys(paths, &error);
        if (!hotkeys) {
            print(stderr, QStringLiteral("zolpane: %1\n").arg(error));
            return CommandLineOptions::ExitFailed;
        }
        print(stdout, DesktopBindings::format(*hotkeys, options.desktop, QCoreApplication::applicationFilePath()));
        return CommandLineOptions::ExitOk;
    }
    case Kind::Request: {
        QCoreApplication app(argc, argv);
        const AppPaths paths = AppPaths::resolve(QCoreApplication::applicationDirPath());
        QString message;
        const int status = send(CommandServer::socketPath(paths.AppFolder, qEnvironmentVariable("XDG_RUNTIME_DIR")),
                                options.request, message);
        if (status != CommandLineOptions::ExitOk)
            print(stderr, QStringLiteral("zolpane: %1\n").arg(message));
        return status;
    }
    }
    return CommandLineOptions::ExitUsage;
}
