#include "project/HandOverFile.h"

#include "project/ProjectLog.h"
#include "services/CodePage.h"
#include "services/RegularFile.h"

#include <cerrno>
#include <cstring>

namespace HandOverFile {

QByteArray content(const QString& commandLine) {
    return CodePage::toAnsi(commandLine) + "\r\n";
}

QString commandLine(QByteArrayView content) {
    // No code page in use has CR or LF as the second byte of a character, so the bytes can be cut before decoding.
    const qsizetype lf = content.indexOf('\n');
    QByteArrayView line = lf < 0 ? content : content.first(lf);
    while (line.endsWith('\r'))
        line.chop(1);
    return CodePage::fromAnsi(line.toByteArray());
}

QString read(const QString& path) {
    QByteArray content;
    if (!RegularFile::read(path, MaxBytes + 1, RegularFile::Longer::Prefix, &content)) {
        qCDebug(lcProject) << "hand-over" << path << "not read:" << std::strerror(errno);
        return {};
    }
    if (content.size() > MaxBytes && !content.first(MaxBytes).contains('\n')) {
        qCDebug(lcProject) << "hand-over" << path << "not read: no line end in its first" << MaxBytes << "bytes";
        return {};
    }
    return commandLine(content.first(std::min<qsizetype>(content.size(), MaxBytes)));
}

} // namespace HandOverFile
