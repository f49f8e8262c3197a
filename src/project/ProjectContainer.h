#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The project container: a folder of small files packed into one file.
//
//   int32  member count N
//   N times: int16 name length L, L bytes of name (ANSI code page, no terminator),
//            int32 data length D, D bytes of data
//
// All integers are little-endian; members follow each other without gaps. Files from outside are untrusted:
// every length is checked against what is left of the file before anything is allocated or read, and a
// member whose name could leave the target folder is skipped.
namespace ProjectContainer {

// How an empty row's text (ClipTable::EmptyClipText) is stored in the index and its data file: raw bytes
// whatever the code page. Its six no-break spaces have no place in the double-byte code pages, where "A0 A0"
// may even decode to another character, so readers compare these bytes before decoding.
inline const QByteArray EmptyClipBytes = QByteArrayLiteral("Empty\xA0\xA0\xA0\xA0\xA0\xA0");

struct Member {
    QString name; // decoded from the ANSI code page
    QByteArray data;
};

// Packs the regular files of folder matching pattern ("*.*" matches every name) into target. Hidden files,
// subfolders and symbolic links are left out. Members are written in a fixed order so that the same folder
// always gives the same bytes: ".ini" files first (the index before the data it describes), then the rest
// in natural order of their names, ignoring case (clip1.dat, clip2.dat, ..., clip10.dat).
// The target is replaced atomically: the container is written to a temporary file beside it and renamed
// over it only when complete, so a failure leaves the old file as it was. False on failure, with the
// pending error set.
bool PackFolder(const QString& folder, const QString& target, const QString& pattern);

// Unpacks source into folder, replacing files of the same name. Stops at the first error (a short file, a
// negative or oversized length, a failed write); what was written so far stays. Members with unsafe names
// (empty, ".", "..", containing "/", "\" or NUL) are skipped. When members is given it receives every
// member written, in file order. False on failure, with the pending error set.
bool UnpackFile(const QString& source, const QString& folder, QList<Member>* members = nullptr);

// Parses container bytes without touching the disk: the members up to the first damaged one (unsafe names
// included, so callers see what the file holds). complete tells whether the whole count was read.
QList<Member> parse(const QByteArray& bytes, bool* complete = nullptr);

// A member name that stays inside the folder it is unpacked into.
bool isSafeMemberName(const QString& name);

// Writes bytes to folder/name, replacing a file or link of that name; neither the folder nor the file is
// reached through a symbolic link. False with the pending error set on failure.
bool writeFile(const QString& folder, const QString& name, const QByteArray& bytes);

// Deletes clip1.dat ... clip30.dat, then every other file of folder, then the folder itself. Errors are
// ignored. A folder that is a symbolic link is not entered.
void KillTempDir(const QString& folder);

// Deletes folder with all its files and subfolders. Symbolic links are removed, never followed; the
// permissions of each folder are opened up first so that read-only contents go too. Errors are ignored.
void DeleteFolderTree(const QString& folder);

// Creates the folder (and missing parents), ignoring errors.
void MakeDirZPLoad(const QString& path);

// True when path is a regular file that can be opened for reading.
bool FileExists(const QString& path);

// True when path is a folder.
bool FolderExists(const QString& path);

} // namespace ProjectContainer
