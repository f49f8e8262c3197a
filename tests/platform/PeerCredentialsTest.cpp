#include "platform/PeerCredentials.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A descriptor closed when it goes out of scope.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

// The user at the other end of a local socket, as the kernel recorded it.
class PeerCredentialsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ownConnectionAndNonSockets() {
        int pair[2];
        QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
        Fd a{pair[0]}, b{pair[1]};
        QCOMPARE(PeerCredentials::peerUserId(a.fd), std::optional<unsigned>(PeerCredentials::ownUserId()));
        Fd unconnected{::socket(AF_UNIX, SOCK_STREAM, 0)};
        QCOMPARE(PeerCredentials::peerUserId(unconnected.fd), std::nullopt);
        Fd file{::open("/dev/null", O_RDONLY)};
        QCOMPARE(PeerCredentials::peerUserId(file.fd), std::nullopt);
        QCOMPARE(PeerCredentials::peerUserId(-1), std::nullopt);
    }

    // A process of another user connecting is seen as that user: needs root to become someone else.
    void anotherUser() {
        if (::geteuid() != 0)
            QSKIP("only root can connect as another user");
        QTemporaryDir dir;
        ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(dir.filePath("s")).constData(), sizeof address.sun_path);
        Fd server{::socket(AF_UNIX, SOCK_STREAM, 0)};
        QCOMPARE(::bind(server.fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::chmod(address.sun_path, 0777);
        QCOMPARE(::listen(server.fd, 1), 0);
        constexpr uid_t nobody = 65534;
        const pid_t child = ::fork();
        if (child == 0) {
            // Only async-signal-safe calls between fork and _exit.
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const bool ok = ::setgid(nobody) == 0 && ::setuid(nobody) == 0 &&
                            ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            char byte;
            if (ok) [[maybe_unused]]
                auto got = ::read(fd, &byte, 1); // until the parent has looked
            ::_exit(ok ? 0 : 1);
        }
        QVERIFY(child > 0);
        std::optional<unsigned> peer;
        pollfd waiting{server.fd, POLLIN, 0};
        if (::poll(&waiting, 1, 10000) == 1) {
            Fd accepted{::accept(server.fd, nullptr, nullptr)};
            peer = PeerCredentials::peerUserId(accepted.fd);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child); // the child ends once the connection is closed
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(peer, std::optional<unsigned>(nobody));
    }
};

ZP_TEST_CLASS(PeerCredentialsTest)

#include "PeerCredentialsTest.moc"
