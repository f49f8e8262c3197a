#include "project/HandOverFile.h"

#include "services/CodePage.h"

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

} // namespace HandOverFile
