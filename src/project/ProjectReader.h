#pragma once

#include "services/Outcome.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <optional>

class ClipTable;

// Reads a project file into the clip table: its members (the index zp.ini and the clip data files) are read
// into memory one at a time; a scratch folder tempFolder + "zpload/" left by an earlier run is deleted.
// Damaged content is skipped piece by piece: a clip whose data cannot be read stays empty or partly filled,
// an index entry the reader does not know gives a simple clip showing its name.
namespace ProjectReader {

enum class LoadStatus {
    Loaded,      // the table now holds the project (as much of it as could be read)
    Missing,     // no regular file can be opened there; the table is unchanged
    NotAProject, // the file holds no index member (an empty container, zeros, anything else); the table is unchanged
    Busy,        // a load was already running; nothing was done
};

struct LoadResult {
    LoadStatus status;
    Outcome error; // why the file is Missing or NotAProject
};

// The box the window shows, with details, when a project file is missing or is no project.
inline const QString MissingFileText =
    QStringLiteral("Unable to load project. File you are trying to load can be damaged or doesn't exist.");

// Only a regular file is opened, and never waited on. A file counts as a project when an index member zp.ini is
// among the members read before any damage; a later damaged member leaves its clip empty.
LoadResult load(const QString& path, const QString& tempFolder, ClipTable& table);
// Whether a load() is running: its guard, which a second load() meets with Busy.
bool loading();

// Reads a project from its bytes as load() does: the members up to the first damaged one count. False, with the
// table unchanged, when they hold no index.
bool read(QByteArrayView bytes, ClipTable& table);

// The value of key in section [ClipN] of an index, as the INI reader returns it, for N = 1..30 and the
// keys Format, Name and Method. Reads the index in one pass whatever its size.
class Index {
public:
    explicit Index(const QByteArray& content);
    QByteArray value(int clip, const QByteArray& key) const;

private:
    // For each clip the first line holding each key; empty when there is none.
    QByteArray m_lines[31][3];
};

// A "Method" value as a byte: a number (rounded to even, as the classic conversion does) from 0 to 255;
// nothing for text that is no number or lies outside the range.
std::optional<quint8> methodByte(const QString& value);

// A long text from its data file: lines end at CR, CR LF or the end of the file; empty lines before the
// first non-empty one are dropped, the others are joined with CR LF.
QString longText(const QString& fileText);

// A picture file (bitmap, GIF, JPEG or icon); a null image when it cannot be read. Pictures that would
// decode to far more memory than their file suggests are refused.
QImage loadPicture(const QByteArray& bytes);

} // namespace ProjectReader
