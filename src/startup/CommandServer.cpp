#include "startup/CommandServer.h"

#include "platform/PeerCredentials.h"
#include "startup/StartupLog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

CommandServer::CommandServer(Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)), m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CommandServer::acceptConnections);
}

CommandServer::~CommandServer() = default;

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
    // Listening would replace the socket file even while another process serves it, so look first.
    if (QFileInfo::exists(socketPath)) {
        QLocalSocket probe;
        probe.connectToServer(socketPath);
        if (probe.waitForConnected(RequestTimeoutMs)) {
            qCWarning(lcStartup) << "another process answers on" << socketPath << "- no command line requests";
            return false;
        }
        qCInfo(lcStartup) << "removing the stale socket" << socketPath;
        QLocalServer::removeServer(socketPath);
    }
    if (m_server->listen(socketPath))
        return true;
    qCWarning(lcStartup) << "cannot listen on" << socketPath << ":" << m_server->errorString();
    return false;
}

void CommandServer::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto peer = PeerCredentials::peerUserId(socket->socketDescriptor());
        if (!peer || *peer != PeerCredentials::ownUserId()) {
            qCWarning(lcStartup) << "request refused: the peer is user" << (peer ? qint64(*peer) : -1);
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        // A peer that keeps the connection without sending a line does not keep it for long.
        auto* timeout = new QTimer(socket);
        timeout->setObjectName(QStringLiteral("requestTimeout"));
        timeout->setSingleShot(true);
        connect(timeout, &QTimer::timeout, socket, [socket] {
            qCWarning(lcStartup) << "request refused: no complete line in time";
            socket->abort();
        });
        timeout->start(RequestTimeoutMs);
        readRequest(socket); // bytes may have arrived with the connection
    }
}

void CommandServer::readRequest(QLocalSocket* socket) {
    if (socket->state() != QLocalSocket::ConnectedState)
        return;
    // The line ends at its first line feed; a peer sending more than a line's worth without one is refused
    // without reading the rest.
    const QByteArray seen = socket->peek(CommandRequest::MaxLineLength + 1);
    const qsizetype end = seen.indexOf('\n');
    if (end < 0 && seen.size() <= CommandRequest::MaxLineLength)
        return; // wait for the rest of the line
    const QByteArray line = end < 0 ? seen : seen.left(end + 1);
    QString error;
    const std::optional<CommandRequest> request = CommandRequest::parse(line, &error);
    if (!request) {
        qCWarning(lcStartup) << "request refused:" << error;
        answer(socket, "error " + error.toLatin1() + '\n');
        return;
    }
    const QString refusal = m_handler(*request);
    if (!refusal.isEmpty())
        qCInfo(lcStartup) << "request" << request->toLine().trimmed() << "refused:" << refusal;
    answer(socket, refusal.isEmpty() ? QByteArray("ok\n") : "error " + refusal.toUtf8() + '\n');
}

void CommandServer::answer(QLocalSocket* socket, const QByteArray& line) {
    // Nothing more is read from this connection, and the answer is not cut short by the timeout.
    QObject::disconnect(socket, &QLocalSocket::readyRead, nullptr, nullptr);
    delete socket->findChild<QTimer*>(QStringLiteral("requestTimeout"), Qt::FindDirectChildrenOnly);
    socket->write(line);
    socket->disconnectFromServer(); // after the answer is written
}
