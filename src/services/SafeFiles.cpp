#include "services/SafeFiles.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray fsName(const QString& path) {
    return QFile::encodeName(path);
}

// Removes an entry of an open folder: files and links at once, folders with their contents.
void removeEntry(int parentFd, const char* name) {
    if (::unlinkat(parentFd, name, 0) == 0 || (errno != EISDIR && errno != EPERM))
        return;
    const SafeFiles::Fd folder(::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.valid())
        return;
    struct stat st {};
    if (::fstat(folder.get(), &st) == 0)
        ::fchmod(folder.get(), (st.st_mode & 07777) | S_IRWXU);
    for (const QByteArray& child : SafeFiles::entryNames(folder.get()))
        removeEntry(folder.get(), child.constData());
    ::unlinkat(parentFd, name, AT_REMOVEDIR);
}

} // namespace

namespace SafeFiles {

void Fd::reset(int fd) {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}

QString withoutTrailingSlashes(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith('/'))
        trimmed.chop(1);
    return trimmed;
}

int openFolder(const QString& folder) {
    const QString path = withoutTrailingSlashes(folder);
    if (path.isEmpty())
        return -1;
    return ::open(fsName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

std::vector<QByteArray> entryNames(int dirFd) {
    std::vector<QByteArray> names;
    // A stream of its own, so that the caller's descriptor stays open.
    const int copy = ::dup(dirFd);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        return names;
    }
    while (const dirent* entry = ::readdir(dir))
        if (qstrcmp(entry->d_name, ".") != 0 && qstrcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    ::closedir(dir);
    return names;
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

qint64 readAll(int fd, char* data, qint64 size) {
    qint64 got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, data + got, size_t(std::min<qint64>(size - got, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

Outcome writeFile(const QString& folder, const QString& name, const QByteArray& bytes) {
    Fd dir(openFolder(folder));
    if (!dir.valid())
        return Outcome::fromErrno(errno ? errno : ENOENT);
    const QByteArray fileName = fsName(name);
    if (::unlinkat(dir.get(), fileName.constData(), 0) != 0 && errno != ENOENT)
        return Outcome::fromErrno(errno);
    Fd fd(::openat(dir.get(), fileName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd.valid() || !writeAll(fd.get(), bytes.constData(), bytes.size()) || ::close(fd.release()) != 0)
        return Outcome::fromErrno(errno);
    return {};
}

void DeleteFolderTree(const QString& folder) {
    const QString path = withoutTrailingSlashes(folder);
    // Never the root or the working folder by accident.
    if (path.isEmpty() || path == QLatin1String("/") || path == QLatin1String("."))
        return;
    const qsizetype slash = path.lastIndexOf('/');
    const QString parent = slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : path.left(slash);
    const QByteArray name = fsName(path.mid(slash + 1));
    if (name == "." || name == "..")
        return;
    const Fd parentFd(::open(fsName(parent).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (parentFd.valid())
        removeEntry(parentFd.get(), name.constData());
}

void MakeDirZPLoad(const QString& path) {
    const QByteArray bytes = fsName(withoutTrailingSlashes(path));
    // Each missing parent in turn, then the folder itself.
    for (qsizetype i = 1; i <= bytes.size(); ++i)
        if (i == bytes.size() || bytes[i] == '/')
            ::mkdir(bytes.left(i).constData(), 0777);
}

bool FileExists(const QString& path) {
    if (path.isEmpty())
        return false;
    // Non-blocking, so that probing a FIFO does not hang.
    const Fd fd(::open(fsName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    return fd.valid() && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(fsName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace SafeFiles
