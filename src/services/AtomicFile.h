#pragma once

#include <QByteArray>
#include <QString>

// Replacing a whole file so that a failure at any step (a full disk, a quota, a crash) leaves the old file as it
// was: the bytes go to a hidden temporary file beside the target, are synced to the disk, and only then is that
// file renamed over the target. A target that exists keeps its permissions.
namespace AtomicFile {

// A replacement written in pieces: open(), write() as often as needed, then commit(). Each step is false with
// errno set when it failed; a writer dropped before its commit() removes its temporary file.
class Writer final {
public:
    explicit Writer(const QString& path);
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    bool open();
    bool write(const char* data, qint64 size);
    bool commit();

private:
    QByteArray m_target;
    QByteArray m_folder;
    QByteArray m_temp;
    int m_fd = -1;
};

// False with errno set when any step failed; the temporary file is removed then.
bool write(const QString& path, const QByteArray& bytes);

} // namespace AtomicFile
