#include "services/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

RegularFile::Stamp toStamp(const struct stat& st) {
    return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

} // namespace

namespace RegularFile {

bool Stamp::operator==(const Stamp& other) const {
    return device == other.device && inode == other.inode && size == other.size && sameTime(modified, other.modified) &&
           sameTime(changed, other.changed);
}

bool stampOf(const QString& path, Stamp* stamp) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    *stamp = toStamp(st);
    return true;
}

bool read(const QString& path, qint64 maxBytes, Longer longer, QByteArray* bytes, Stamp* stamp) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer that may never come.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && !S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ok = false;
    } else if (ok && st.st_size > maxBytes && longer == Longer::Refuse) {
        errno = EFBIG;
        ok = false;
    }
    if (ok) {
        QByteArray content(qsizetype(std::min<qint64>(st.st_size, maxBytes)), Qt::Uninitialized);
        qsizetype got = 0;
        while (got < content.size()) {
            const ssize_t n = ::read(fd, content.data() + got, size_t(content.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                ok = false;
            if (n <= 0)
                break;
            got += n;
        }
        content.truncate(got); // the file may have shrunk meanwhile
        *bytes = std::move(content);
        if (stamp)
            *stamp = toStamp(st);
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    return ok;
}

} // namespace RegularFile
