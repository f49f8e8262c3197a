#include "startup/CommandServer.h"
#include "TestSupport.h"
#include "platform/LocalSocket.h"
#include "startup/CommandClient.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

using namespace TestSupport;

// The running instance's socket: where it is, who may use it, and what goes over it.
class CommandServerTest final : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString socket() const { return m_dir.filePath("test.socket"); }

private Q_SLOTS:
    void socketPlace() {
        QDir base(m_dir.path());
        QVERIFY(base.mkpath("home/a") && base.mkpath("home/b") && base.mkpath("runtime"));
        QVERIFY(QFile::link(base.filePath("home/a"), base.filePath("link-to-a")));
        const QString runtime = base.filePath("runtime");
        const QString a = CommandServer::socketPath(base.filePath("home/a/"), runtime);
        QCOMPARE(QFileInfo(a).path(), runtime);
        // The same folder by another path meets the same instance; another folder never does.
        QCOMPARE(CommandServer::socketPath(base.filePath("link-to-a"), runtime), a);
        QVERIFY(CommandServer::socketPath(base.filePath("home/b"), runtime) != a);
        // Without a runtime folder (unset or missing) the socket lives in the program folder.
        const QString own = CommandServer::socketPath(base.filePath("home/a"), QString());
        QCOMPARE(own, base.filePath("home/a/") + QFileInfo(a).fileName());
        QCOMPARE(CommandServer::socketPath(base.filePath("home/a"), base.filePath("missing")), own);
    }

    void exchange_data() {
        columns<QByteArray, QByteArray>("sent", "answer"); // answer: the whole answer before the connection closes
        QTest::newRow("done") << QByteArray("show\n") << QByteArray("ok\n");
        QTest::newRow("refused by the instance") << QByteArray("paste 30\n") << QByteArray("error busy\n");
        QTest::newRow("malformed") << QByteArray("paste 31\n") << QByteArray("error clip number must be 1 to 30\n");
        QTest::newRow("no line end in sight") << QByteArray(1000, 'a') << QByteArray("error request too long\n");
        QTest::newRow("silent peer, closed in time") << QByteArray("show") << QByteArray();
    }
    void exchange() {
        const auto [sent, answer] = fetch<QByteArray, QByteArray>("sent", "answer");
        int handled = 0;
        CommandServer server([&handled](const CommandRequest& r) {
            ++handled;
            return r.clip == 30 ? QStringLiteral("busy") : QString();
        });
        QVERIFY(server.listen(socket()));
        QString error;
        LocalSocket peer = LocalSocket::connect(socket(), 1000, &error);
        QVERIFY2(peer.isValid(), qPrintable(error));
        QVERIFY(peer.write(sent, 1000));
        QByteArray got;
        qsizetype read = 0;
        char buffer[256];
        const QDeadlineTimer deadline(CommandServer::RequestTimeoutMs * 3);
        while (read >= 0 && !deadline.hasExpired()) {
            QTest::qWait(10);
            while ((read = peer.read(buffer, sizeof buffer, 0)) > 0)
                got.append(buffer, read);
        }
        QVERIFY(read < 0); // closed by the server
        QCOMPARE(got, answer);
        QCOMPARE(handled, answer == "ok\n" || answer == "error busy\n" ? 1 : 0);
    }

    void onlyTheUserAndOneInstance() {
        CommandServer server([](const CommandRequest&) { return QString(); });
        QVERIFY(server.listen(socket()));
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                          QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(socket()).permissions() & others, QFile::Permissions());
        CommandServer second([](const CommandRequest&) { return QString(); });
        QVERIFY(!second.listen(socket())); // a socket that answers is not taken over
        QString message;
        QCOMPARE(CommandClient::send(m_dir.filePath("nobody.socket"), {}, message), CommandLineOptions::ExitFailed);
        QVERIFY2(message.startsWith("Zolpane is not running"), qPrintable(message));
    }

    // Out of file descriptors, a waiting request is looked at again after a pause, not at every turn of the event
    // loop, and is answered once descriptors are free again.
    void outOfDescriptors() {
        int handled = 0;
        CommandServer server([&handled](const CommandRequest&) {
            ++handled;
            return QString();
        });
        QVERIFY(server.listen(socket()));
        QString error;
        LocalSocket peer = LocalSocket::connect(socket(), 1000, &error);
        QVERIFY2(peer.isValid(), qPrintable(error));
        QVERIFY(peer.write("show\n", 1000));
        static int refusals = 0;
        refusals = 0;
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) {
                refusals += m.contains(QLatin1String("cannot take a request")) ? 1 : 0;
            });
        rlimit saved{};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &saved) == 0);
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        rlimit none = saved;
        none.rlim_cur = rlim_t(lowestFree); // no descriptor can be opened now
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &none) == 0);
        QTest::qWait(CommandServer::AcceptRetryMs * 2 + 100);
        ::setrlimit(RLIMIT_NOFILE, &saved);
        qInstallMessageHandler(previous);
        QCOMPARE(handled, 0);
        QVERIFY2(refusals >= 1 && refusals <= 4, qPrintable(QString::number(refusals)));
        QTRY_COMPARE(handled, 1);
    }
};

ZP_TEST_CLASS(CommandServerTest)

#include "CommandServerTest.moc"
