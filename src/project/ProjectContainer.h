#pragma once

#include "project/ContainerFormat.h"
#include "services/Outcome.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The project container on disk, and the scratch folders it is packed from and unpacked into. The format
// itself is in ContainerFormat.h. Every file is reached without following a symbolic link: a hostile project
// or a link planted in the scratch folder cannot lead a write or a deletion elsewhere.
namespace ProjectContainer {

using ContainerFormat::Member;

// The error number for a file that is no container or ends early (the classic "Input past end of file").
constexpr int DamagedContainerError = 62;

// Packs the regular files of folder matching pattern ("*.*" matches every name) into target. Hidden files,
// subfolders and symbolic links are left out. Members are written in a fixed order so that the same folder
// always gives the same bytes: ".ini" files first (the index before the data it describes), then the rest
// in natural order of their names, ignoring case (clip1.dat, clip2.dat, ..., clip10.dat).
// The target is replaced atomically: the container is written to a temporary file beside it and renamed
// over it only when complete, so a failure leaves the old file as it was.
Outcome PackFolder(const QString& folder, const QString& target, const QString& pattern);

// Unpacks source into folder, replacing files of the same name; the file is read one member at a time.
// Stops at the first error (a short file, a negative or oversized length, a failed write); what was written
// so far stays. Members with unsafe names (ContainerFormat::isSafeMemberName) are skipped. When members is
// given it receives every member written, in file order.
Outcome UnpackFile(const QString& source, const QString& folder, QList<Member>* members = nullptr);

// Reads the members of source as UnpackFile() does, into members only, without a folder.
Outcome ReadMembers(const QString& source, QList<Member>* members);

// Writes bytes to folder/name, replacing a file or link of that name; neither the folder nor the file is
// reached through a symbolic link.
Outcome writeFile(const QString& folder, const QString& name, const QByteArray& bytes);

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
