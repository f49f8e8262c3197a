#pragma once

#include "services/Outcome.h"

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

// Files and folders the program writes and deletes, reached without following a symbolic link: a hostile project
// or a link planted in a scratch folder cannot lead a write or a deletion elsewhere. And the existence tests of
// the program's files.
namespace SafeFiles {

// A file descriptor closed on scope exit.
class Fd final {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd = -1);
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// The path without the slashes it ends in; the root stays "/".
QString withoutTrailingSlashes(const QString& path);
// Opens a folder for the *at() calls, not through a symbolic link in its last component; -1 with errno set.
int openFolder(const QString& folder);
// The names in an open folder, without "." and "..".
std::vector<QByteArray> entryNames(int dirFd);
// False with errno set when not all of data could be written.
bool writeAll(int fd, const char* data, qint64 size);
// Reads size bytes, fewer only where the file ends; -1 with errno set on failure.
qint64 readAll(int fd, char* data, qint64 size);

// Writes bytes to folder/name, replacing a file or link of that name; neither the folder nor the file is
// reached through a symbolic link.
Outcome writeFile(const QString& folder, const QString& name, const QByteArray& bytes);

// Deletes folder with all its files and subfolders. Symbolic links are removed, never followed; the
// permissions of each folder are opened up first so that read-only contents go too. Errors are ignored.
void DeleteFolderTree(const QString& folder);

// Creates the folder (and missing parents), ignoring errors.
void MakeDirZPLoad(const QString& path);

// True when path is a regular file that can be opened for reading.
bool FileExists(const QString& path);

// True when path is a folder.
bool FolderExists(const QString& path);

} // namespace SafeFiles
