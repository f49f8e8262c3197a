#include "services/AtomicFile.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Keeps errno of the failure it was given across the clean-up calls that follow it.
bool failed(int error, const QByteArray& temp, int fd = -1) {
    if (fd >= 0)
        ::close(fd);
    if (!temp.isEmpty())
        ::unlink(temp.constData());
    errno = error ? error : EIO;
    return false;
}

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qint64>(size, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

namespace AtomicFile {

bool write(const QString& path, const QByteArray& bytes) {
    const QByteArray target = QFile::encodeName(path);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(std::max<qsizetype>(slash, 1));
    const QByteArray name = target.mid(slash + 1);
    // Hidden, and short enough for any file name length limit.
    const QByteArray stem = "." + (name.size() > 200 ? QByteArray("zolpane") : name) + ".";
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + '/' + stem + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".part";
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return failed(errno, {});
    }
    if (fd < 0)
        return failed(EEXIST, {});
    struct stat st {};
    if (::stat(target.constData(), &st) == 0 && S_ISREG(st.st_mode))
        ::fchmod(fd, st.st_mode & 07777);
    if (!writeAll(fd, bytes.constData(), bytes.size()) || ::fsync(fd) != 0)
        return failed(errno, temp, fd);
    if (::close(fd) != 0)
        return failed(errno, temp);
    if (::rename(temp.constData(), target.constData()) != 0)
        return failed(errno, temp);
    // Makes the rename itself durable.
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace AtomicFile
