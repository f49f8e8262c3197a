#include "project/ProjectContainer.h"

#include "project/ProjectLog.h"
#include "services/AppPaths.h"
#include "services/AtomicFile.h"
#include "services/CodePage.h"
#include "services/SafeFiles.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <fnmatch.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using SafeFiles::Fd;

namespace {

Outcome damaged(const char* what) {
    return {ProjectContainer::DamagedContainerError, QStringLiteral("Damaged project file: ") + QLatin1String(what)};
}

QByteArray fsName(const QString& path) {
    return QFile::encodeName(path);
}

// Reads exactly size bytes; a file that ends early is a damaged container.
Outcome readExactly(int fd, char* data, qint64 size) {
    const qint64 got = SafeFiles::readAll(fd, data, size);
    if (got < 0)
        return Outcome::fromErrno(errno);
    return got < size ? damaged("unexpected end") : Outcome();
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
    // Every name matches "*.*", as it does on the system the format comes from.
    const QByteArray glob = pattern == QLatin1String("*.*") ? QByteArray("*") : fsName(pattern);
    QStringList names;
    for (const QByteArray& name : SafeFiles::entryNames(dirFd)) {
        struct stat st {};
        if (name.startsWith('.') || ::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || ::fnmatch(glob.constData(), name.constData(), FNM_CASEFOLD) != 0)
            continue;
        names.append(QFile::decodeName(name));
    }
    std::sort(names.begin(), names.end(), packOrderLess);
    return names;
}

// Reads one member file of an open folder whole; the container stores at most 2 GiB per member.
Outcome readMemberFile(int dirFd, const QString& name, QByteArray* data) {
    const Fd fd(::openat(dirFd, fsName(name).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0)
        return Outcome::fromErrno(errno);
    if (st.st_size > ContainerFormat::MaxDataSize)
        return Outcome::fromErrno(EFBIG);
    data->resize(qsizetype(st.st_size));
    return readExactly(fd.get(), data->data(), st.st_size);
}

// Reads the project file source one member at a time, handing each member to take, which fails to stop the
// reading with its failure.
Outcome forEachMember(const QString& source, const std::function<Outcome(ContainerFormat::Member&&)>& take) {
    const Fd fd(::open(fsName(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0)
        return Outcome::fromErrno(errno);
    if (!S_ISREG(st.st_mode))
        return Outcome::fromErrno(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    ContainerFormat::Decoder decoder(qint64(st.st_size));
    while (decoder.wanted() > 0) {
        QByteArray piece(qsizetype(decoder.wanted()), Qt::Uninitialized);
        if (const Outcome read = readExactly(fd.get(), piece.data(), piece.size()); !read)
            return read;
        if (std::optional<ContainerFormat::Member> member = decoder.take(std::move(piece)))
            if (const Outcome taken = take(std::move(*member)); !taken)
                return taken;
    }
    return decoder.damage() ? damaged(decoder.damage()) : Outcome();
}

} // namespace

namespace ProjectContainer {

Outcome PackFolder(const QString& folder, const QString& target, const QString& pattern) {
    const Fd dir(SafeFiles::openFolder(withSlash(folder)));
    if (!dir.valid())
        return Outcome::fromErrno(errno ? errno : ENOENT);
    const QStringList names = listFiles(dir.get(), pattern);
    AtomicFile::Writer out(target);
    const QByteArray count = ContainerFormat::countBytes(qint32(names.size()));
    if (!out.open() || !out.write(count.constData(), count.size()))
        return Outcome::fromErrno(errno);
    for (const QString& name : names) {
        const QByteArray ansiName = CodePage::toAnsi(name);
        if (ansiName.size() > ContainerFormat::MaxNameSize)
            return Outcome::fromErrno(ENAMETOOLONG);
        QByteArray data;
        if (const Outcome read = readMemberFile(dir.get(), name, &data); !read)
            return read;
        const QByteArray head = ContainerFormat::memberHead(ansiName, qint32(data.size()));
        if (!out.write(head.constData(), head.size()) || !out.write(data.constData(), data.size()))
            return Outcome::fromErrno(errno);
    }
    return out.commit() ? Outcome() : Outcome::fromErrno(errno);
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
    const Fd dir(SafeFiles::openFolder(folder));
    if (dir.valid()) {
        for (int i = 1; i <= 30; ++i)
            ::unlinkat(dir.get(), ("clip" + QByteArray::number(i) + ".dat").constData(), 0);
        // Then every other file, hidden ones and links included; subfolders stay.
        for (const QByteArray& name : SafeFiles::entryNames(dir.get())) {
            struct stat st {};
            if (::fstatat(dir.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode))
                ::unlinkat(dir.get(), name.constData(), 0);
        }
    }
    const QString path = SafeFiles::withoutTrailingSlashes(folder);
    if (!path.isEmpty())
        ::rmdir(fsName(path).constData());
}

} // namespace ProjectContainer
