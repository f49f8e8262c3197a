#include "services/AtomicFile.h"

#include "services/SafeFiles.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

Writer::Writer(const QString& path) : m_target(QFile::encodeName(path)) {
    const qsizetype slash = m_target.lastIndexOf('/');
    m_folder = slash < 0 ? QByteArray(".") : m_target.left(std::max<qsizetype>(slash, 1));
}

Writer::~Writer() {
    if (m_fd < 0)
        return;
    // Keeps errno of the failure that left the file unfinished.
    const int error = errno;
    ::close(m_fd);
    ::unlink(m_temp.constData());
    errno = error;
}

bool Writer::open() {
    const QByteArray name = m_target.mid(m_target.lastIndexOf('/') + 1);
    // Hidden, and short enough for any file name length limit.
    const QByteArray stem = "." + (name.size() > 200 ? QByteArray("zolpane") : name) + ".";
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_temp = m_folder + '/' + stem + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".part";
        m_fd = ::open(m_temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            return false;
    }
    if (m_fd < 0) {
        errno = EEXIST;
        return false;
    }
    struct stat st {};
    if (::stat(m_target.constData(), &st) == 0 && S_ISREG(st.st_mode))
        ::fchmod(m_fd, st.st_mode & 07777);
    return true;
}

bool Writer::write(const char* data, qint64 size) {
    return SafeFiles::writeAll(m_fd, data, size);
}

bool Writer::commit() {
    if (::fsync(m_fd) != 0)
        return false;
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0 || ::rename(m_temp.constData(), m_target.constData()) != 0) {
        const int error = errno;
        ::unlink(m_temp.constData());
        errno = error;
        return false;
    }
    // Makes the rename itself durable.
    const SafeFiles::Fd folder(::open(m_folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid())
        ::fsync(folder.get());
    return true;
}

bool write(const QString& path, const QByteArray& bytes) {
    Writer writer(path);
    const bool written = writer.open() && writer.write(bytes.constData(), bytes.size()) && writer.commit();
    if (!written && errno == 0)
        errno = EIO;
    return written;
}

} // namespace AtomicFile
