#include "project/ProjectContainer.h"

#include "project/ProjectLog.h"
#include "services/AppPaths.h"
#include "services/CodePage.h"
#include "services/Outcome.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

Outcome damaged(const char* what) {
    return {ProjectContainer::DamagedContainerError, QStringLiteral("Damaged project file: ") + QLatin1String(what)};
}

QByteArray fsName(const QString& path) {
    return QFile::encodeName(path);
}

// A file descriptor closed on scope exit.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qint64>(size, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// Reads exactly size bytes; a file that ends early fails with the damaged-container error.
Outcome readAll(int fd, char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::read(fd, data, size_t(std::min<qint64>(size, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Outcome::fromErrno(errno);
        }
        if (n == 0)
            return damaged("unexpected end");
        data += n;
        size -= n;
    }
    return {};
}

// Opens a folder for *at() calls without following a symbolic link in its last component.
int openFolder(const QString& folder) {
    QString path = folder;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    if (path.isEmpty())
        return -1;
    return ::open(fsName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Natural order without regard to case: runs of digits compare by value.
bool naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            qsizetype si = i, sj = j;
            while (si + 1 < ei && a[si] == '0')
                ++si;
            while (sj + 1 < ej && b[sj] == '0')
                ++sj;
            if (ei - si != ej - sj)
                return ei - si < ej - sj;
            const int c = QStringView(a).mid(si, ei - si).compare(QStringView(b).mid(sj, ej - sj));
            if (c != 0)
                return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        const QChar ca = a[i].toLower(), cb = b[j].toLower();
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return a.size() - i < b.size() - j;
    return a < b; // names equal but for case or leading zeros: still a fixed order
}

bool packOrderLess(const QString& a, const QString& b) {
    const bool ia = a.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive);
    const bool ib = b.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive);
    if (ia != ib)
        return ia;
    return naturalLess(a, b);
}

// The names of the regular, not hidden files of an open folder that match pattern, in pack order.
QStringList listFiles(int dirFd, const QString& pattern) {
    QStringList names;
    const int copy = ::dup(dirFd);
    if (copy < 0)
        return names;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return names;
    }
    // Every name matches "*.*", as it does on the system the format comes from.
    const QByteArray glob = pattern == QLatin1String("*.*") ? QByteArray("*") : fsName(pattern);
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (::fnmatch(glob.constData(), entry->d_name, FNM_CASEFOLD) != 0)
            continue;
        names.append(QFile::decodeName(entry->d_name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), packOrderLess);
    return names;
}

// A file written under a temporary name beside its target and renamed over it once complete.
class AtomicFile {
public:
    explicit AtomicFile(const QString& target) : m_target(fsName(target)) {}
    ~AtomicFile() {
        if (m_fd.valid()) {
            m_fd.reset();
            ::unlink(m_temp.constData());
        }
    }

    Outcome open() {
        const qsizetype slash = m_target.lastIndexOf('/');
        const QByteArray folder = slash < 0 ? QByteArray(".") : m_target.left(std::max<qsizetype>(slash, 1));
        const QByteArray name = m_target.mid(slash + 1);
        // Hidden, and short enough for any file name length limit.
        const QByteArray stem = "." + (name.size() > 200 ? QByteArray("zolpane") : name) + ".";
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_temp = folder + '/' + stem + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".part";
            m_fd.reset(::open(m_temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
            if (m_fd.valid())
                break;
            if (errno != EEXIST)
                return fail();
        }
        if (!m_fd.valid())
            return fail();
        m_folder = folder;
        // An existing project keeps its permissions.
        struct stat st {};
        if (::lstat(m_target.constData(), &st) == 0 && S_ISREG(st.st_mode))
            ::fchmod(m_fd.get(), st.st_mode & 07777);
        return {};
    }

    Outcome write(const char* data, qint64 size) { return writeAll(m_fd.get(), data, size) ? Outcome() : fail(); }

    Outcome commit() {
        if (::fsync(m_fd.get()) != 0)
            return fail();
        if (::close(m_fd.release()) != 0 || ::rename(m_temp.constData(), m_target.constData()) != 0) {
            const int err = errno;
            ::unlink(m_temp.constData());
            return Outcome::fromErrno(err);
        }
        // Make the rename itself durable.
        Fd folder(::open(m_folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.valid())
            ::fsync(folder.get());
        return {};
    }

private:
    static Outcome fail() { return Outcome::fromErrno(errno); }

    QByteArray m_target;
    QByteArray m_temp;
    QByteArray m_folder;
    Fd m_fd;
};

// Reads one member file of an open folder whole; the container stores at most 2 GiB per member.
Outcome readMemberFile(int dirFd, const QString& name, QByteArray* data) {
    Fd fd(::openat(dirFd, fsName(name).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0)
        return Outcome::fromErrno(errno);
    if (st.st_size > ContainerFormat::MaxDataSize)
        return Outcome::fromErrno(EFBIG);
    data->resize(qsizetype(st.st_size));
    return readAll(fd.get(), data->data(), st.st_size);
}

// Removes an entry of an open folder: files and links at once, folders with their contents.
void removeEntry(int parentFd, const char* name) {
    if (::unlinkat(parentFd, name, 0) == 0 || (errno != EISDIR && errno != EPERM))
        return;
    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st {};
    if (::fstat(fd, &st) == 0)
        ::fchmod(fd, (st.st_mode & 07777) | S_IRWXU);
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    std::vector<QByteArray> names;
    while (const dirent* entry = ::readdir(dir))
        if (qstrcmp(entry->d_name, ".") != 0 && qstrcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    for (const QByteArray& child : names)
        removeEntry(::dirfd(dir), child.constData());
    ::closedir(dir);
    ::unlinkat(parentFd, name, AT_REMOVEDIR);
}

} // namespace

namespace ProjectContainer {

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

Outcome PackFolder(const QString& folder, const QString& target, const QString& pattern) {
    Fd dir(openFolder(withSlash(folder)));
    if (!dir.valid())
        return Outcome::fromErrno(errno ? errno : ENOENT);
    const QStringList names = listFiles(dir.get(), pattern);
    AtomicFile out(target);
    if (const Outcome opened = out.open(); !opened)
        return opened;
    const QByteArray count = ContainerFormat::countBytes(qint32(names.size()));
    if (const Outcome written = out.write(count.constData(), count.size()); !written)
        return written;
    for (const QString& name : names) {
        const QByteArray ansiName = CodePage::toAnsi(name);
        if (ansiName.size() > ContainerFormat::MaxNameSize)
            return Outcome::fromErrno(ENAMETOOLONG);
        QByteArray data;
        if (const Outcome read = readMemberFile(dir.get(), name, &data); !read)
            return read;
        const QByteArray head = ContainerFormat::memberHead(ansiName, qint32(data.size()));
        Outcome written = out.write(head.constData(), head.size());
        if (written)
            written = out.write(data.constData(), data.size());
        if (!written)
            return written;
    }
    return out.commit();
}

namespace {

// Reads the project file source one member at a time, handing each member with a safe name to take, which
// fails to stop the reading with its failure.
Outcome forEachMember(const QString& source, const std::function<Outcome(Member&&)>& take) {
    Fd fd(::open(fsName(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0)
        return Outcome::fromErrno(errno);
    if (!S_ISREG(st.st_mode))
        return Outcome::fromErrno(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    ContainerFormat::Decoder decoder(qint64(st.st_size));
    while (decoder.wanted() > 0) {
        QByteArray piece(qsizetype(decoder.wanted()), Qt::Uninitialized);
        if (const Outcome read = readAll(fd.get(), piece.data(), piece.size()); !read)
            return read;
        std::optional<Member> member = decoder.take(std::move(piece));
        if (!member)
            continue;
        if (!ContainerFormat::isSafeMemberName(member->name)) {
            qCWarning(lcProject) << "Skipped a project member with an unsafe name:" << member->name;
            continue;
        }
        if (const Outcome taken = take(std::move(*member)); !taken)
            return taken;
    }
    return decoder.damage() ? damaged(decoder.damage()) : Outcome();
}

} // namespace

Outcome UnpackFile(const QString& source, const QString& folder, QList<Member>* members) {
    const QString target = withSlash(folder);
    return forEachMember(source, [&](Member&& member) {
        Outcome written = writeFile(target, member.name, member.data);
        if (written && members)
            members->append(std::move(member));
        return written;
    });
}

Outcome ReadMembers(const QString& source, QList<Member>* members) {
    return forEachMember(
        source,
        [members](Member&& member) {
            members->append(std::move(member));
            return Outcome();
        });
}

void KillTempDir(const QString& folder) {
    Fd dir(openFolder(folder));
    if (dir.valid()) {
        for (int i = 1; i <= 30; ++i)
            ::unlinkat(dir.get(), ("clip" + QByteArray::number(i) + ".dat").constData(), 0);
        // Then every other file, hidden ones and links included; subfolders stay.
        const int copy = ::dup(dir.get());
        if (DIR* d = copy >= 0 ? ::fdopendir(copy) : nullptr) {
            std::vector<QByteArray> names;
            while (const dirent* entry = ::readdir(d))
                names.emplace_back(entry->d_name);
            for (const QByteArray& name : names) {
                struct stat st {};
                if (::fstatat(dir.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode))
                    ::unlinkat(dir.get(), name.constData(), 0);
            }
            ::closedir(d);
        } else if (copy >= 0) {
            ::close(copy);
        }
    }
    QString path = folder;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    if (!path.isEmpty())
        ::rmdir(fsName(path).constData());
}

void DeleteFolderTree(const QString& folder) {
    QString path = folder;
    while (path.endsWith('/'))
        path.chop(1);
    // Never the root or the working folder by accident.
    if (path.isEmpty() || path == QLatin1String("."))
        return;
    const qsizetype slash = path.lastIndexOf('/');
    const QString parent = slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : path.left(slash);
    const QByteArray name = fsName(path.mid(slash + 1));
    if (name == "." || name == "..")
        return;
    Fd parentFd(::open(fsName(parent).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (parentFd.valid())
        removeEntry(parentFd.get(), name.constData());
}

void MakeDirZPLoad(const QString& path) {
    QString p = path;
    while (p.size() > 1 && p.endsWith('/'))
        p.chop(1);
    if (p.isEmpty())
        return;
    const QByteArray bytes = fsName(p);
    // Each missing parent in turn, then the folder itself.
    for (qsizetype i = 1; i <= bytes.size(); ++i)
        if (i == bytes.size() || bytes[i] == '/')
            ::mkdir(bytes.left(i).constData(), 0777);
}

bool FileExists(const QString& path) {
    if (path.isEmpty())
        return false;
    // Non-blocking, so that probing a FIFO does not hang.
    Fd fd(::open(fsName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    return fd.valid() && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(fsName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace ProjectContainer
