#pragma once

#include <QByteArray>
#include <QString>

// Replacing a whole file so that a failure at any step (a full disk, a quota, a crash) leaves the old file as it
// was: the bytes go to a hidden temporary file beside the target, are synced to the disk, and only then is that
// file renamed over the target. A target that exists keeps its permissions.
namespace AtomicFile {

// False with errno set when any step failed; the temporary file is removed then.
bool write(const QString& path, const QByteArray& bytes);

} // namespace AtomicFile
