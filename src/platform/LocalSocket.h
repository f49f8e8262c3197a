#pragma once

#include <QByteArrayView>
#include <QString>

// A Unix domain stream socket that closes its descriptor when it goes: the raw calls behind the program's command
// socket, so that their callers deal in paths, descriptors and messages rather than sockaddr_un and errno. Every
// descriptor is close-on-exec; reads and writes never raise SIGPIPE and never wait longer than they are told.
class LocalSocket final {
public:
    LocalSocket() = default;
    ~LocalSocket();
    LocalSocket(LocalSocket&& other) noexcept;
    LocalSocket& operator=(LocalSocket&& other) noexcept;

    // Listens on path, which must be free, without blocking; the socket file is readable and writable by the
    // user alone before the first connection can be made. An invalid socket and the reason in error otherwise.
    static LocalSocket listen(const QString& path, QString* error);
    // Connects to path, waiting at most timeoutMs for a listener that is busy. An invalid socket and the reason
    // in error otherwise; nobodyListens tells whether nothing answers at path (no file, or no listener).
    static LocalSocket connect(const QString& path, int timeoutMs, QString* error, bool* nobodyListens = nullptr);
    // The next connection waiting on a listening socket, non-blocking; an invalid socket when none waits, or when
    // one waits but the process has no descriptor or memory left to take it, which exhausted tells.
    LocalSocket accept(bool* exhausted = nullptr) const;

    // Reads up to size bytes, waiting at most timeoutMs for the first. Returns how many arrived, 0 when none
    // did in time, -1 when the connection has ended (closed by the peer, or failed).
    qsizetype read(char* data, qsizetype size, int timeoutMs);
    // Writes all of data, waiting at most timeoutMs in all; false when it could not.
    bool write(QByteArrayView data, int timeoutMs);
    void close();

    bool isValid() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }

private:
    explicit LocalSocket(int fd) : m_fd(fd) {}

    int m_fd = -1;
};
