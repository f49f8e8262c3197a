#include "services/IniFile.h"

#include "services/AtomicFile.h"
#include "services/CodePage.h"
#include "services/IniIndex.h"
#include "services/IniLines.h"
#include "services/RegularFile.h"

#include <QMutex>

#include <cerrno>
#include <memory>

using namespace IniLines;

namespace {

// A settings file beyond this is refused rather than read into memory.
constexpr qint64 MaxFileBytes = qint64(256) << 20;

// The file last read or written, so that the many single-key reads of a start-up read and index it once. It is
// read again whenever its stamp or the code page changes.
struct LastFile {
    QMutex mutex;
    QString path;
    RegularFile::Stamp stamp;
    int codePage = 0;
    QByteArray content;
    std::unique_ptr<IniIndex> index; // built on the first read
};

LastFile& lastFile() {
    static LastFile file;
    return file;
}

bool isCurrent(const LastFile& last, const QString& path, const RegularFile::Stamp& stamp) {
    return !last.path.isEmpty() && last.path == path && last.stamp == stamp &&
           last.codePage == CodePage::ansiCodePage();
}

void remember(LastFile& last, const QString& path, const RegularFile::Stamp& stamp, QByteArray content) {
    last.path = path;
    last.stamp = stamp;
    last.codePage = CodePage::ansiCodePage();
    last.content = std::move(content);
    last.index.reset();
}

// The file's bytes, from memory when it has not changed. False (errno set) when it cannot be read.
bool load(LastFile& last, const QString& path) {
    RegularFile::Stamp stamp;
    if (RegularFile::stampOf(path, &stamp) && isCurrent(last, path, stamp))
        return true;
    QByteArray content;
    if (!RegularFile::read(path, MaxFileBytes, RegularFile::Longer::Refuse, &content, &stamp)) {
        last.path.clear();
        return false;
    }
    remember(last, path, stamp, std::move(content));
    return true;
}

} // namespace

namespace IniFile {

QByteArray readValue(const QByteArray& content, const QByteArray& section, const QByteArray& key) {
    const Body body = findSection(content, 0, QByteArrayView(section).trimmed());
    if (body.begin < 0)
        return {};
    const qsizetype pos = findKey(content, body.begin, body.end, QByteArrayView(key).trimmed());
    if (pos < 0)
        return {};
    const Line line = lineAt(content, pos);
    return IniLines::value(QByteArrayView(content).sliced(line.begin, line.end - line.begin));
}

QByteArray writeValue(const QByteArray& content, const QByteArray& section, const QByteArray& key,
                      const QByteArray& value) {
    const QByteArrayView name = QByteArrayView(key).trimmed();
    const QByteArray entry = name.toByteArray() + '=' + value;
    const Body body = findSection(content, 0, QByteArrayView(section).trimmed());
    QByteArray out = content;
    if (body.begin < 0) {
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += "\r\n";
        out += '[' + section.trimmed() + "]\r\n" + entry + "\r\n";
        return out;
    }
    Line after = lineAt(content, body.header); // the last entry of the section, or its header
    for (qsizetype pos = body.begin; pos < body.end;) {
        const Line line = lineAt(content, pos);
        const QByteArrayView text = QByteArrayView(content).sliced(line.begin, line.end - line.begin);
        QByteArrayView lineKey;
        if (keyName(text, &lineKey) && sameName(lineKey, name)) {
            if (text != entry) // an unchanged line leaves the bytes shared, which write() takes as nothing to do
                out.replace(line.begin, line.end - line.begin, entry);
            return out;
        }
        if (!text.trimmed().isEmpty())
            after = line;
        pos = line.next;
    }
    // The last line of a file without a final line feed (a CR alone ends no line): the entry needs a line of its own.
    if (after.next == content.size() && !content.endsWith('\n'))
        out.insert(after.next, "\r\n" + entry + "\r\n");
    else
        out.insert(after.next, entry + "\r\n");
    return out;
}

QString read(const QString& path, const QString& section, const QString& key) {
    LastFile& last = lastFile();
    const QMutexLocker lock(&last.mutex);
    if (!load(last, path))
        return {};
    if (!last.index)
        last.index = std::make_unique<IniIndex>(last.content);
    return CodePage::fromAnsi(last.index->value(CodePage::toAnsi(section), CodePage::toAnsi(key)));
}

bool readable(const QString& path) {
    LastFile& last = lastFile();
    const QMutexLocker lock(&last.mutex);
    return load(last, path);
}

bool write(const QString& path, const QString& section, const QString& key, const QString& value) {
    LastFile& last = lastFile();
    const QMutexLocker lock(&last.mutex);
    QByteArray content;
    errno = 0;
    if (load(last, path))
        content = last.content;
    else if (errno != ENOENT)
        return false;
    const QByteArray updated =
        writeValue(content, CodePage::toAnsi(section), CodePage::toAnsi(key), CodePage::toAnsi(value));
    if (updated.isSharedWith(content) && !content.isEmpty())
        return true; // the file holds the value already: a large file is not rewritten for nothing
    if (!AtomicFile::write(path, updated))
        return false;
    RegularFile::Stamp stamp;
    if (RegularFile::stampOf(path, &stamp))
        remember(last, path, stamp, updated);
    return true;
}

} // namespace IniFile
