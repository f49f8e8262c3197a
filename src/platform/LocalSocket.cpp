#include "platform/LocalSocket.h"

#include <QDeadlineTimer>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

QString systemError(const char* what, const QString& path) {
    return QStringLiteral("%1 %2: %3").arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(errno)));
}

// The address of path; false when it does not fit, as the kernel would not take a cut-off name for the socket.
bool addressOf(const QString& path, sockaddr_un& address, QString* error) {
    const QByteArray name = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || name.contains('\0') || name.size() >= qsizetype(sizeof address.sun_path)) {
        setError(error, QStringLiteral("the socket path %1 is %2 bytes long; a local socket takes 1 to %3")
                            .arg(path)
                            .arg(name.size())
                            .arg(sizeof address.sun_path - 1));
        return false;
    }
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return true;
}

} // namespace

LocalSocket::~LocalSocket() {
    close();
}

LocalSocket::LocalSocket(LocalSocket&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

LocalSocket& LocalSocket::operator=(LocalSocket&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

LocalSocket LocalSocket::listen(const QString& path, QString* error) {
    sockaddr_un address;
    if (!addressOf(path, address, error))
        return {};
    LocalSocket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket.isValid() || ::bind(socket.m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        setError(error, systemError("cannot create the socket", path));
        return {};
    }
    // Nobody can connect before listen(), so narrowing the file's mode in between leaves no moment open to others.
    if (::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(socket.m_fd, SOMAXCONN) != 0) {
        setError(error, systemError("cannot listen on", path));
        ::unlink(address.sun_path);
        return {};
    }
    return socket;
}

LocalSocket LocalSocket::connect(const QString& path, int timeoutMs, QString* error, bool* nobodyListens) {
    if (nobodyListens)
        *nobodyListens = false;
    sockaddr_un address;
    if (!addressOf(path, address, error))
        return {};
    // A blocking connect waits for room in a busy listener's queue as long as the send timeout lets it (0 would be
    // for ever).
    LocalSocket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int waitMs = std::max(timeoutMs, 1);
    const timeval wait{waitMs / 1000, (waitMs % 1000) * 1000};
    if (!socket.isValid() || ::setsockopt(socket.m_fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait) != 0) {
        setError(error, systemError("cannot create a socket for", path));
        return {};
    }
    if (::connect(socket.m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (nobodyListens)
            *nobodyListens = errno == ECONNREFUSED || errno == ENOENT;
        setError(error, systemError("cannot connect to", path));
        return {};
    }
    // From here on every wait is poll()'s, bounded by the caller.
    if (::fcntl(socket.m_fd, F_SETFL, ::fcntl(socket.m_fd, F_GETFL) | O_NONBLOCK) != 0) {
        setError(error, systemError("cannot use the connection to", path));
        return {};
    }
    return socket;
}

LocalSocket LocalSocket::accept(bool* exhausted) const {
    int fd = -1;
    do
        fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    while (fd < 0 && (errno == EINTR || errno == ECONNABORTED));
    if (exhausted)
        *exhausted = fd < 0 && (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM);
    return LocalSocket(fd);
}

qsizetype LocalSocket::read(char* data, qsizetype size, int timeoutMs) {
    for (bool waited = false;; waited = true) {
        const ssize_t got = ::recv(m_fd, data, size_t(size), 0);
        if (got > 0)
            return got;
        if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            return -1;
        pollfd ready{m_fd, POLLIN, 0};
        if (waited || timeoutMs <= 0 || ::poll(&ready, 1, timeoutMs) <= 0)
            return 0;
    }
}

bool LocalSocket::write(QByteArrayView data, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!data.isEmpty()) {
        const ssize_t sent = ::send(m_fd, data.data(), size_t(data.size()), MSG_NOSIGNAL);
        if (sent > 0) {
            data = data.sliced(sent);
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
        pollfd ready{m_fd, POLLOUT, 0};
        if (deadline.hasExpired() || ::poll(&ready, 1, int(deadline.remainingTime())) <= 0)
            return false;
    }
    return true;
}

void LocalSocket::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
