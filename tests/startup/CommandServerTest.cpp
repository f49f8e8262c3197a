#include "startup/CommandServer.h"
#include "TestSupport.h"
#include "startup/CommandClient.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <thread>

using Command = CommandRequest::Command;

namespace {

// The command line's blocking client, run on a thread of its own while the test's event loop serves.
struct ClientCall {
    std::atomic<bool> done = false;
    int status = -1;
    QString message;
    std::thread thread;

    ClientCall(const QString& path, CommandRequest request) {
        thread = std::thread([this, path, request] {
            status = CommandClient::send(path, request, message);
            done = true;
        });
    }
    ~ClientCall() { thread.join(); }
};

// What a peer other than the command line sends, and the one line it gets back before the connection closes.
QByteArray exchange(const QString& path, const QByteArray& bytes) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(1000))
        return "not connected";
    socket.write(bytes);
    QByteArray answer;
    const QDeadlineTimer deadline(CommandServer::RequestTimeoutMs * 3);
    while (socket.state() != QLocalSocket::UnconnectedState && !deadline.hasExpired()) {
        QTest::qWait(10);
        answer += socket.readAll();
    }
    return socket.state() == QLocalSocket::UnconnectedState ? answer + socket.readAll() : "still connected";
}

} // namespace

// The running instance's socket: where it is, who may use it, and what goes over it.
class CommandServerTest final : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QList<CommandRequest> m_handled;
    QString socket() const { return m_dir.filePath("test.socket"); }
    CommandServer::Handler handler() {
        // Paste 30 stands for a request the instance turns down.
        return [this](const CommandRequest& r) {
            m_handled.append(r);
            return r.clip == 30 ? QStringLiteral("busy") : QString();
        };
    }

private Q_SLOTS:
    void init() { m_handled.clear(); }

    void socketPlace() {
        QDir base(m_dir.path());
        QVERIFY(base.mkpath("home/a") && base.mkpath("home/b") && base.mkpath("runtime"));
        QVERIFY(QFile::link(base.filePath("home/a"), base.filePath("link-to-a")));
        const QString runtime = base.filePath("runtime");
        const QString a = CommandServer::socketPath(base.filePath("home/a/"), runtime);
        QCOMPARE(QFileInfo(a).path(), runtime);
        QVERIFY(QFileInfo(a).fileName().startsWith("zolpane-"));
        // The same folder by another path meets the same instance; another folder never does.
        QCOMPARE(CommandServer::socketPath(base.filePath("link-to-a"), runtime), a);
        QVERIFY(CommandServer::socketPath(base.filePath("home/b"), runtime) != a);
        // Without a runtime folder the socket lives in the program folder, under the same name.
        const QString own = CommandServer::socketPath(base.filePath("home/a"), QString());
        QCOMPARE(QFileInfo(own).path(), base.filePath("home/a"));
        QCOMPARE(QFileInfo(own).fileName(), QFileInfo(a).fileName());
        QCOMPARE(CommandServer::socketPath(base.filePath("home/a"), base.filePath("missing")), own);
    }

    void requestsAndAnswers() {
        CommandServer server(handler());
        QVERIFY(server.listen(socket()));
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                          QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(socket()).permissions() & others, QFile::Permissions());
        {
            ClientCall show(socket(), {Command::Show, 0});
            QTRY_VERIFY(show.done);
            QCOMPARE(show.status, CommandLineOptions::ExitOk);
        }
        {
            ClientCall refused(socket(), {Command::Paste, 30});
            QTRY_VERIFY(refused.done);
            QCOMPARE(refused.status, CommandLineOptions::ExitFailed);
            QCOMPARE(refused.message, QStringLiteral("the running Zolpane refused the request: busy"));
        }
        QCOMPARE(m_handled, (QList<CommandRequest>{{Command::Show, 0}, {Command::Paste, 30}}));
        // Malformed, oversized and silent peers reach no handler.
        QCOMPARE(exchange(socket(), "paste 31\n"), QByteArray("error clip number must be 1 to 30\n"));
        QCOMPARE(exchange(socket(), QByteArray(1000, 'a')), QByteArray("error request too long\n"));
        QCOMPARE(exchange(socket(), "show"), QByteArray()); // closed once its time is up
        QCOMPARE(m_handled.size(), 2);
    }

    void noInstance() {
        ClientCall nobody(socket(), {Command::Show, 0});
        QTRY_VERIFY(nobody.done);
        QCOMPARE(nobody.status, CommandLineOptions::ExitFailed);
        QVERIFY2(nobody.message.startsWith("Zolpane is not running"), qPrintable(nobody.message));
    }

    // A socket file left by an instance that died is taken over; a socket that answers is not.
    void staleAndLiveSockets() {
        const QByteArray path = QFile::encodeName(socket());
        const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        QCOMPARE(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(stale);
        QVERIFY(QFileInfo::exists(socket()));

        CommandServer server(handler());
        QVERIFY(server.listen(socket()));
        CommandServer second(handler());
        QVERIFY(!second.listen(socket()));
        ClientCall show(socket(), {Command::Show, 0});
        QTRY_VERIFY(show.done);
        QCOMPARE(show.status, CommandLineOptions::ExitOk);
    }
};

ZP_TEST_CLASS(CommandServerTest)

#include "CommandServerTest.moc"
