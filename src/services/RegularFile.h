#pragma once

#include <QByteArray>
#include <QString>

#include <ctime>
#include <sys/types.h>

// Reading a file that someone else may have put in place: only a regular file is read (a FIFO, a device or a
// folder is refused without waiting on it), and never more than the caller's bound.
namespace RegularFile {

// Which file, at which change: equal stamps mean the same bytes (barring a rewrite of the same size within the
// file system's time resolution).
struct Stamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    timespec changed{};
    bool operator==(const Stamp& other) const;
};

// The stamp of the file at path (following links); false with errno set when there is none.
bool stampOf(const QString& path, Stamp* stamp);

enum class Longer {
    Refuse, // a file longer than the bound gives nothing (errno EFBIG)
    Prefix, // a file longer than the bound gives its first bytes
};

// The bytes of the regular file at path, at most maxBytes of them. False with errno set when the file cannot be
// opened or is no regular file (errno EINVAL).
bool read(const QString& path, qint64 maxBytes, Longer longer, QByteArray* bytes, Stamp* stamp = nullptr);

} // namespace RegularFile
