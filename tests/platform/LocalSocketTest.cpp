#include "platform/LocalSocket.h"
#include "TestSupport.h"
#include "platform/PeerCredentials.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// Socket paths up to the address's length limit, what a connection learns when nothing answers, and the user at
// the other end of a socket as the kernel recorded it (nothing for anything else).
class LocalSocketTest final : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    // A path in the scratch folder that is bytes long.
    QString pathOf(qsizetype bytes) const {
        const QString folder = m_dir.path() + '/';
        return folder + QString(bytes - folder.size(), 'p');
    }

private Q_SLOTS:
    void pathLength_data() {
        TestSupport::columns<qsizetype, bool>("bytes", "fits");
        const qsizetype longest = qsizetype(sizeof(sockaddr_un::sun_path)) - 1; // the name's terminating zero
        QTest::newRow("longest") << longest << true;
        QTest::newRow("a byte too long") << longest + 1 << false;
        QTest::newRow("far too long") << longest + 100 << false;
    }
    void pathLength() {
        const auto [bytes, fits] = TestSupport::fetch<qsizetype, bool>("bytes", "fits");
        const QString path = pathOf(bytes);
        QString error;
        LocalSocket listener = LocalSocket::listen(path, &error);
        QCOMPARE(listener.isValid(), fits);
        QCOMPARE(QFileInfo::exists(path), fits);
        if (!fits)
            QVERIFY2(error.contains(QStringLiteral("is %1 bytes long").arg(bytes)), qPrintable(error));
        bool nobodyListens = true;
        QCOMPARE(LocalSocket::connect(path, 1000, &error, &nobodyListens).isValid(), fits);
        QVERIFY(!nobodyListens); // a path too long says nothing about who listens
        QFile::remove(path);
    }

    void nobodyListens() {
        const QString path = m_dir.filePath("left.socket");
        bool nobodyListens = false;
        QString error;
        QVERIFY(!LocalSocket::connect(path, 1000, &error, &nobodyListens).isValid() && nobodyListens);
        LocalSocket::listen(path, &error); // closed at once: its file stays behind
        QVERIFY(QFileInfo::exists(path));
        nobodyListens = false;
        QVERIFY(!LocalSocket::connect(path, 1000, &error, &nobodyListens).isValid() && nobodyListens);
    }

    void peerCredentials() {
        int pair[2];
        QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
        const int unconnected = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const int file = ::open("/dev/null", O_RDONLY);
        const auto own = std::optional<unsigned>(PeerCredentials::ownUserId());
        QCOMPARE(PeerCredentials::peerUserId(pair[0]), own);
        QCOMPARE(PeerCredentials::peerUserId(unconnected), std::nullopt);
        QCOMPARE(PeerCredentials::peerUserId(file), std::nullopt);
        QCOMPARE(PeerCredentials::peerUserId(-1), std::nullopt);
        for (int fd : {pair[0], pair[1], unconnected, file})
            ::close(fd);
    }
};

ZP_TEST_CLASS(LocalSocketTest)
#include "LocalSocketTest.moc"
