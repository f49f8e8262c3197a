#pragma once

#include "project/ContainerFormat.h"
#include "services/Outcome.h"

#include <QList>
#include <QString>

// The project container on disk, and the scratch folders it is packed from. The format itself is in
// ContainerFormat.h; the files are reached through SafeFiles, never through a symbolic link.
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

// Reads the members of the project file source into members, one member at a time, in file order. Stops at
// the first error (a short file, a negative or oversized length); what was read so far stays in members.
Outcome ReadMembers(const QString& source, QList<Member>* members);

// Deletes clip1.dat ... clip30.dat, then every other file of folder, then the folder itself. Errors are
// ignored. A folder that is a symbolic link is not entered.
void KillTempDir(const QString& folder);

} // namespace ProjectContainer
