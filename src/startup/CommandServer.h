#pragma once

#include "platform/LocalSocket.h"
#include "startup/CommandRequest.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QSocketNotifier;

// The running instance's end of the command line: a local socket that takes one request a connection, hands it
// to the handler and answers "ok" or "error <reason>", each as one line. The socket is readable and writable by
// the user alone, and a connection from another user is closed unanswered; a malformed request is answered with
// its error and closed. Connections that send no complete line in time are closed.
class CommandServer final : public QObject {
    Q_OBJECT
public:
    // Runs a request; returns "" when done, otherwise why it was refused.
    using Handler = std::function<QString(const CommandRequest&)>;

    explicit CommandServer(Handler handler, QObject* parent = nullptr);
    ~CommandServer() override;

    // Listens on socketPath. A socket file left by an instance that ended without removing it (nothing answers
    // there) is removed first; a socket that answers is left alone and false returned.
    bool listen(const QString& socketPath);

    // Where the instance of a program folder listens: the user's runtime folder when there is one, else the
    // program folder. The name carries a hash of the folder's canonical path, so instances of different folders
    // never meet.
    static QString socketPath(const QString& appFolder, const QString& runtimeFolder);

    // How long a connection may take to send its line.
    static constexpr int RequestTimeoutMs = 2000;
    // While the process is out of file descriptors (or memory) a waiting connection cannot be taken; the socket
    // is looked at again after this long rather than at once, which would keep the event loop busy.
    static constexpr int AcceptRetryMs = 500;

private:
    struct Connection;
    void acceptConnections();
    void readRequest(Connection* connection);
    static void finish(Connection* connection, const QByteArray& answer);

    Handler m_handler;
    QString m_path; // the socket file, removed when the server goes
    LocalSocket m_listener;
    std::unique_ptr<QSocketNotifier> m_listening; // after m_listener, so it goes before the descriptor closes
};
