#include "startup/CommandServer.h"

#include "platform/PeerCredentials.h"
#include "startup/StartupLog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

// An accepted connection until it is answered or given up: its line so far, the watch on its descriptor and its
// deadline. Deleted later, as it ends from within its own notifier's or timer's signal.
struct CommandServer::Connection final : QObject {
    Connection(LocalSocket accepted, QObject* parent)
        : QObject(parent), socket(std::move(accepted)), notifier(socket.descriptor(), QSocketNotifier::Read) {}

    LocalSocket socket;
    QSocketNotifier notifier;
    QTimer timeout;
    QByteArray line;
};

CommandServer::CommandServer(Handler handler, QObject* parent) : QObject(parent), m_handler(std::move(handler)) {}

CommandServer::~CommandServer() {
    if (m_listener.isValid())
        QFile::remove(m_path);
}

QString CommandServer::socketPath(const QString& appFolder, const QString& runtimeFolder) {
    const QFileInfo folder(appFolder);
    const QString canonical =
        folder.canonicalFilePath().isEmpty() ? folder.absoluteFilePath() : folder.canonicalFilePath();
    const QByteArray hash = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    const QString name = QStringLiteral("zolpane-%1.socket").arg(QString::fromLatin1(hash));
    const QString base = !runtimeFolder.isEmpty() && QFileInfo(runtimeFolder).isDir() ? runtimeFolder : canonical;
    return QDir(base).absoluteFilePath(name);
}

bool CommandServer::listen(const QString& socketPath) {
    // Listening needs the path free, so a socket file there is looked at first.
    QString error;
    if (QFileInfo::exists(socketPath)) {
        bool nobodyListens = false;
        if (LocalSocket::connect(socketPath, RequestTimeoutMs, &error, &nobodyListens).isValid())
            error = QStringLiteral("another process answers there");
        if (!nobodyListens) {
            qCWarning(lcStartup) << "cannot listen on" << socketPath << ":" << error << "- no command line requests";
            return false;
        }
        qCInfo(lcStartup) << "removing the stale socket" << socketPath;
        QFile::remove(socketPath);
    }
    m_listener = LocalSocket::listen(socketPath, &error);
    if (!m_listener.isValid()) {
        qCWarning(lcStartup) << "cannot listen on" << socketPath << ":" << error;
        return false;
    }
    m_path = socketPath;
    m_listening = std::make_unique<QSocketNotifier>(m_listener.descriptor(), QSocketNotifier::Read);
    connect(m_listening.get(), &QSocketNotifier::activated, this, &CommandServer::acceptConnections);
    return true;
}

void CommandServer::acceptConnections() {
    bool exhausted = false;
    for (LocalSocket peer = m_listener.accept(&exhausted); peer.isValid(); peer = m_listener.accept(&exhausted)) {
        const auto user = PeerCredentials::peerUserId(peer.descriptor());
        if (!user || *user != PeerCredentials::ownUserId()) {
            qCWarning(lcStartup) << "request refused: the peer is user" << (user ? qint64(*user) : -1);
            continue; // closed unanswered
        }
        auto* connection = new Connection(std::move(peer), this);
        connect(&connection->notifier, &QSocketNotifier::activated, this,
                [this, connection] { readRequest(connection); });
        // A peer that keeps the connection without sending a line does not keep it for long.
        connection->timeout.setSingleShot(true);
        connect(&connection->timeout, &QTimer::timeout, this, [connection] {
            qCWarning(lcStartup) << "request refused: no complete line in time";
            finish(connection, {});
        });
        connection->timeout.start(RequestTimeoutMs);
        readRequest(connection); // bytes may have arrived with the connection
    }
    if (exhausted) {
        qCWarning(lcStartup) << "cannot take a request: out of file descriptors or memory - trying again shortly";
        m_listening->setEnabled(false);
        QTimer::singleShot(AcceptRetryMs, this, [this] {
            if (m_listening)
                m_listening->setEnabled(true);
        });
    }
}

void CommandServer::readRequest(Connection* connection) {
    // The line ends at its first line feed; a peer sending more than a line's worth without one is refused
    // without reading the rest.
    QByteArray& line = connection->line;
    const qsizetype had = line.size();
    line.resize(CommandRequest::MaxLineLength + 1);
    const qsizetype got = connection->socket.read(line.data() + had, line.size() - had, 0);
    line.truncate(had + std::max<qsizetype>(got, 0));
    if (got < 0)
        return finish(connection, {}); // the peer left without a whole line
    const qsizetype end = line.indexOf('\n');
    if (end < 0 && line.size() <= CommandRequest::MaxLineLength)
        return; // wait for the rest of the line
    if (end >= 0)
        line.truncate(end + 1);
    // Nothing more is read from this connection, and the handler's answer is not cut short by the deadline.
    connection->notifier.setEnabled(false);
    connection->timeout.stop();
    QString error;
    const std::optional<CommandRequest> request = CommandRequest::parse(line, &error);
    if (!request) {
        qCWarning(lcStartup) << "request refused:" << error;
        return finish(connection, "error " + error.toLatin1() + '\n');
    }
    const QString refusal = m_handler(*request);
    if (!refusal.isEmpty())
        qCInfo(lcStartup) << "request" << request->toLine().trimmed() << "refused:" << refusal;
    finish(connection, refusal.isEmpty() ? QByteArray("ok\n") : "error " + refusal.toUtf8() + '\n');
}

void CommandServer::finish(Connection* connection, const QByteArray& answer) {
    connection->notifier.setEnabled(false);
    connection->timeout.stop();
    // The answer is a line, far less than the socket's buffer holds: it goes at once or the peer has gone.
    if (!answer.isEmpty())
        connection->socket.write(answer, 0);
    connection->socket.close();
    connection->deleteLater();
}
