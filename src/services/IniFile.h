#pragma once

#include <QByteArray>
#include <QString>

// Profile-file routines with the behaviour of the classic INI reader and writer: section and key names
// matched without regard to case, first section and first key win, blanks around keys and values ignored,
// a value in matching double or single quotes loses them, lines starting with ";" are comments, a read
// returns at most 254 bytes, a write replaces the first matching key in place, adds a missing key after
// the last entry of its section and a missing section at the end of the file; the rest of the file is
// kept byte for byte. Texts are in the ANSI code page.
namespace IniFile {

constexpr int MaxValueBytes = 254;

// Pure forms on the file's bytes, for tests and for callers that hold the file in memory.
QByteArray readValue(const QByteArray& content, const QByteArray& section, const QByteArray& key);
QByteArray writeValue(const QByteArray& content, const QByteArray& section, const QByteArray& key,
                      const QByteArray& value);

// File forms. read() gives "" for a missing file or key, and for a file that is no regular file or is larger
// than 256 MB. The file last used is kept in memory, indexed, until it changes on disk, so that reading the many
// keys of a large file costs one pass over it. write() replaces the file atomically (temporary file beside it,
// renamed over it); false with errno set when the file could not be read or written.
QString read(const QString& path, const QString& section, const QString& key);
// Whether read() finds the file readable; false with errno set (missing, no regular file, too large, no access).
bool readable(const QString& path);
bool write(const QString& path, const QString& section, const QString& key, const QString& value);

} // namespace IniFile
