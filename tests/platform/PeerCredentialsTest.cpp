#include "platform/PeerCredentials.h"
#include "TestSupport.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

// The user at the other end of a local socket, as the kernel recorded it; nothing for anything else.
class PeerCredentialsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void peers() {
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

ZP_TEST_CLASS(PeerCredentialsTest)
#include "PeerCredentialsTest.moc"
