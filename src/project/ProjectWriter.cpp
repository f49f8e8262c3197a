#include "project/ProjectWriter.h"

#include "project/ClipTable.h"
#include "project/ContainerFormat.h"
#include "project/ProjectContainer.h"
#include "project/ProjectLog.h"
#include "services/AppPaths.h"
#include "services/CodePage.h"
#include "services/Messages.h"
#include "services/SafeFiles.h"

#include <QtEndian>

#include <cerrno>
#include <climits>

namespace {

bool g_saving = false;

const QByteArray CrLf = QByteArrayLiteral("\r\n");

QByteArray clipTextBytes(const QString& text) {
    return text == ClipTable::EmptyClipText ? ContainerFormat::EmptyClipBytes : CodePage::toAnsi(text);
}

// A value in the index up to its first line break, so that it never starts a line of its own: a simple clip's text
// may hold a line feed (its data file keeps all of it), and the rest would be read as keys or a section.
QByteArray oneLine(const QByteArray& value) {
    qsizetype end = value.size();
    for (const char lineBreak : {'\r', '\n'})
        if (const qsizetype at = value.indexOf(lineBreak); at >= 0 && at < end)
            end = at;
    return value.left(end);
}

template <typename T> void append(QByteArray& out, T value) {
    char raw[sizeof(T)];
    qToLittleEndian<T>(value, raw);
    out.append(raw, sizeof(T));
}

} // namespace

namespace ProjectWriter {

QByteArray indexContent(const ClipTable& table) {
    QByteArray out;
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        const ClipTable::Clip& clip = table.clip(i);
        out += "[Clip" + QByteArray::number(i) + "]" + CrLf;
        out += "Format = " + CodePage::toAnsi(clip.format) + CrLf;
        out += "Name = " + oneLine(clipTextBytes(clip.text)) + CrLf;
        out += "Method = " + QByteArray::number(table.ClipMethod[size_t(i)]) + CrLf;
    }
    return out;
}

QByteArray clipFileContent(const ClipTable& table, int i) {
    const ClipTable::Clip& clip = table.clip(i);
    if (clip.format == ClipTable::Img)
        return clip.picture.isNull() ? QByteArray() : bmpBytes(clip.picture);
    if (clip.format == ClipTable::TxtSimple)
        return clipTextBytes(clip.text) + CrLf;
    return CodePage::toAnsi(clip.data) + CrLf;
}

QByteArray bmpBytes(const QImage& picture) {
    // Qt's converter gives blue, green, red in each pixel, the order of a 24-bit bitmap, so rows copy whole.
    const QImage rgb = picture.convertToFormat(QImage::Format_BGR888);
    const quint32 width = quint32(rgb.width());
    const quint32 height = quint32(rgb.height());
    const quint32 rowSize = (width * 3 + 3) & ~3u;
    constexpr quint32 headerSize = 14 + 40;
    // A container member holds at most 2 GiB.
    if (rgb.isNull() || quint64(rowSize) * height > quint64(INT32_MAX - headerSize))
        return {};
    const quint32 pixelBytes = rowSize * height;

    QByteArray out;
    out.reserve(qsizetype(headerSize + pixelBytes));
    out += "BM";
    append<quint32>(out, headerSize + pixelBytes);
    append<quint32>(out, 0); // two reserved words
    append<quint32>(out, headerSize);
    append<quint32>(out, 40);
    append<qint32>(out, qint32(width));
    append<qint32>(out, qint32(height)); // positive: bottom row first
    append<quint16>(out, 1);             // planes
    append<quint16>(out, 24);            // bits per pixel
    append<quint32>(out, 0);             // no compression
    append<quint32>(out, pixelBytes);
    append<qint32>(out, rgb.dotsPerMeterX());
    append<qint32>(out, rgb.dotsPerMeterY());
    append<quint32>(out, 0); // colours used
    append<quint32>(out, 0); // important colours

    // Rows bottom first, each padded with zeros to four bytes.
    const QByteArray padding(qsizetype(rowSize - width * 3), '\0');
    for (int y = int(height) - 1; y >= 0; --y) {
        out.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), qsizetype(width * 3));
        out.append(padding);
    }
    return out;
}

SaveResult save(const ClipTable& table, const QString& path, const QString& tempFolder) {
    if (g_saving)
        return SaveResult::Busy;
    g_saving = true;
    struct Reset {
        ~Reset() { g_saving = false; }
    } reset;

    Outcome written = tempFolder.isEmpty() ? Outcome{ENOENT, QStringLiteral("No folder for scratch files")} : Outcome();
    const QString folder = withSlash(tempFolder) + QStringLiteral("zpsave/");
    if (written) {
        // Whatever sits at the scratch path (an old folder, a file, a link) goes first.
        SafeFiles::DeleteFolderTree(folder);
        SafeFiles::MakeDirZPLoad(folder);
        written = SafeFiles::writeFile(folder, QStringLiteral("zp.ini"), indexContent(table));
    }
    for (int i = 1; written && i <= ClipTable::ClipCount; ++i) {
        const QByteArray content = clipFileContent(table, i);
        const ClipTable::Clip& clip = table.clip(i);
        written = content.isEmpty() && clip.format == ClipTable::Img && !clip.picture.isNull()
                      ? Outcome::fromErrno(EFBIG)
                      : SafeFiles::writeFile(folder, QStringLiteral("clip%1.dat").arg(i), content);
    }
    if (written)
        written = ProjectContainer::PackFolder(folder, path, QStringLiteral("*.*"));
    if (!written) {
        qCWarning(lcProject) << "Saving" << path << "failed:" << written.description;
        // A failed save leaves nothing behind either: on a full disk its scratch files would hold the space.
        if (!tempFolder.isEmpty())
            SafeFiles::DeleteFolderTree(folder);
        Messages::ShowError(SaveErrorText, written);
        return SaveResult::Failed;
    }
    ProjectContainer::KillTempDir(folder);
    return SaveResult::Saved;
}

} // namespace ProjectWriter
