#include "project/ProjectReader.h"

#include "project/ClipTable.h"
#include "project/ContainerFormat.h"
#include "project/ProjectContainer.h"
#include "project/ProjectLog.h"
#include "services/AppPaths.h"
#include "services/BoundedPicture.h"
#include "services/CodePage.h"
#include "services/IniLines.h"
#include "services/SafeFiles.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QLocale>

#include <cerrno>
#include <cmath>

namespace {

bool g_loading = false;

const QByteArray IndexKeys[3] = {"Format", "Name", "Method"};

// The clip number of a section name "ClipN" (any case, N = 1..30 without leading zeros), else 0.
int clipNumber(QByteArrayView name) {
    if (name.size() < 5 || name.size() > 6 || name.first(4).toByteArray().toLower() != "clip" || name[4] == '0')
        return 0;
    int n = 0;
    for (char c : name.sliced(4)) {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
    }
    return n <= ClipTable::ClipCount ? n : 0;
}

// A row text from its stored bytes; the empty-row marker is recognised before decoding.
QString clipText(const QByteArray& bytes) {
    return bytes == ContainerFormat::EmptyClipBytes ? ClipTable::EmptyClipText : CodePage::fromAnsi(bytes);
}

// The first line of stored text: up to the first CR, or all of it. No code page in use has CR as the second
// byte of a character, so the bytes can be cut before decoding.
QByteArray firstLine(const QByteArray& bytes) {
    const qsizetype cr = bytes.indexOf('\r');
    return cr < 0 ? bytes : bytes.left(cr);
}

// An RTF member holds the RTF source with the CR LF the writer appended after it.
QString rtfSource(const QString& text) {
    return text.endsWith(QLatin1String("\r\n")) ? text.chopped(2) : text;
}

void readClip(ClipTable& table, int i, const ProjectReader::Index& index, const QByteArray* data) {
    const QString format = CodePage::fromAnsi(index.value(i, "Format")).toUpper();
    if (const auto method = ProjectReader::methodByte(CodePage::fromAnsi(index.value(i, "Method"))))
        table.ClipMethod[size_t(i)] = *method;
    const QString name = clipText(index.value(i, "Name"));
    if (format == ClipTable::TxtLong || format == ClipTable::Rtf) {
        table.SwitchLock(i, true);
        table.setFormat(i, format);
        if (data) {
            const QString text = CodePage::fromAnsi(*data);
            table.setData(i, format == ClipTable::Rtf ? rtfSource(text) : ProjectReader::longText(text));
        }
        table.setText(i, name);
    } else if (format == ClipTable::Img) {
        table.SwitchLock(i, true);
        table.setFormat(i, ClipTable::Img);
        if (data)
            table.setPicture(i, ProjectReader::loadPicture(*data));
        table.setText(i, name);
    } else if (format == ClipTable::TxtSimple) {
        // The name line repeats the text; the data file is what counts.
        table.SwitchLock(i, false);
        table.setFormat(i, ClipTable::TxtSimple);
        table.setText(i, data ? clipText(firstLine(*data)) : QString());
    } else {
        // Shown as a simple clip, whose text is one line: what the writer keeps of a simple clip.
        table.setText(i, clipText(firstLine(index.value(i, "Name"))));
    }
}

// Cleans up the table and fills it from a project's members; false, with the table untouched, when they hold no
// index: then they are no project (an empty container, a file of zeros). Member names are looked up without
// regard to case, as on the system the format comes from; of two members with the same name the later one
// counts, as it would replace the earlier file.
bool fill(ClipTable& table, QList<ContainerFormat::Member>&& members) {
    QHash<QString, QByteArray> files;
    for (ContainerFormat::Member& member : members)
        files.insert(member.name.toLower(), std::move(member.data));
    const auto indexFile = files.constFind(QStringLiteral("zp.ini"));
    if (indexFile == files.constEnd())
        return false;
    table.CleanUp();
    const ProjectReader::Index index(indexFile.value());
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        const auto data = files.constFind(QStringLiteral("clip%1.dat").arg(i));
        readClip(table, i, index, data == files.constEnd() ? nullptr : &data.value());
    }
    table.PlaceEmptyStrings();
    return true;
}

} // namespace

namespace ProjectReader {

Index::Index(const QByteArray& content) {
    // Only the first section of each name and the first line of each key count, so one pass over the
    // lines, as the INI reader splits them, finds every line a lookup can return.
    bool seen[ClipTable::ClipCount + 1] = {};
    int current = 0;
    const qsizetype n = content.size();
    qsizetype pos = 0;
    while (pos < n) {
        const qsizetype lf = content.indexOf('\n', pos);
        qsizetype end = lf < 0 ? n : lf;
        if (end > pos && content.at(end - 1) == '\r')
            --end;
        const QByteArrayView line(content.constData() + pos, end - pos);
        pos = lf < 0 ? n : lf + 1;
        const QByteArrayView trimmed = line.trimmed();
        if (trimmed.startsWith('[')) {
            const qsizetype close = trimmed.indexOf(']');
            const QByteArrayView name = (close < 0 ? trimmed.sliced(1) : trimmed.sliced(1, close - 1)).trimmed();
            const int clip = clipNumber(name);
            current = clip > 0 && !seen[clip] ? clip : 0;
            seen[clip] = true;
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (current == 0 || eq < 0 || trimmed.startsWith(';'))
            continue;
        const QByteArrayView key = line.first(eq).trimmed();
        for (int k = 0; k < 3; ++k)
            if (m_lines[current][k].isEmpty() && key.compare(IndexKeys[k], Qt::CaseInsensitive) == 0)
                m_lines[current][k] = line.toByteArray();
    }
}

QByteArray Index::value(int clip, const QByteArray& key) const {
    if (!ClipTable::isValidIndex(clip))
        return {};
    for (int k = 0; k < 3; ++k)
        if (key.compare(IndexKeys[k], Qt::CaseInsensitive) == 0 && !m_lines[clip][k].isEmpty())
            return IniLines::value(m_lines[clip][k]);
    return {};
}

std::optional<quint8> methodByte(const QString& value) {
    const QString text = value.trimmed();
    double number = 0;
    if (text.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ||
        text.startsWith(QLatin1String("&O"), Qt::CaseInsensitive)) {
        bool ok = false;
        number = double(text.mid(2).toLongLong(&ok, text[1].toUpper() == 'H' ? 16 : 8));
        if (!ok)
            return std::nullopt;
    } else {
        bool ok = false;
        number = QLocale::c().toDouble(text, &ok);
        if (!ok || !std::isfinite(number))
            return std::nullopt;
    }
    const double rounded = std::nearbyint(number); // halves to even
    if (rounded < 0 || rounded > 255)
        return std::nullopt;
    return quint8(rounded);
}

QString longText(const QString& fileText) {
    QString text;
    const qsizetype n = fileText.size();
    qsizetype pos = 0;
    while (pos < n) {
        const qsizetype cr = fileText.indexOf('\r', pos);
        const QStringView line = QStringView(fileText).mid(pos, (cr < 0 ? n : cr) - pos);
        pos = cr < 0 ? n : cr + 1;
        if (pos < n && fileText.at(pos) == '\n')
            ++pos;
        if (!text.isEmpty())
            text += QLatin1String("\r\n");
        text += line;
    }
    return text;
}

QImage loadPicture(const QByteArray& bytes) {
    // Told by their signatures, so that no other image reader ever sees the bytes.
    QByteArray format;
    if (bytes.startsWith("BM"))
        format = "bmp";
    else if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        format = "gif";
    else if (bytes.startsWith("\xFF\xD8\xFF"))
        format = "jpeg";
    else if (bytes.startsWith(QByteArrayView("\0\0\1\0", 4)))
        format = "ico";
    else
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    return readBoundedPicture(reader, bytes.size());
}

LoadResult load(const QString& path, const QString& tempFolder, ClipTable& table) {
    if (g_loading)
        return {LoadStatus::Busy, {}};
    g_loading = true;
    struct Reset {
        ~Reset() { g_loading = false; }
    } reset;

    errno = 0;
    if (!SafeFiles::FileExists(path)) {
        const int reason = errno ? errno : SafeFiles::FolderExists(path) ? EISDIR : EINVAL;
        // A FIFO, a device: "Invalid argument" would tell the user nothing.
        return {LoadStatus::Missing,
                reason == EINVAL ? Outcome{reason, QStringLiteral("Not a regular file")} : Outcome::fromErrno(reason)};
    }

    // The members are read straight into memory; only a scratch folder an older version or a crash left behind
    // is cleared away. (Whatever sits at that path goes, a link included, never what it points to.)
    if (!tempFolder.isEmpty())
        SafeFiles::DeleteFolderTree(withSlash(tempFolder) + QStringLiteral("zpload/"));
    QList<ProjectContainer::Member> members;
    const Outcome read = ProjectContainer::ReadMembers(path, &members);
    if (!read)
        qCWarning(lcProject) << "Reading" << path << "stopped:" << read.description;
    if (!fill(table, std::move(members))) {
        // Why reading stopped, if it did, says more than that no index was found.
        const Outcome refused = read ? Outcome{ProjectContainer::DamagedContainerError,
                                               QStringLiteral("Not a project file: it holds no zp.ini")}
                                     : read;
        qCWarning(lcProject) << "Refused" << path << ":" << refused.description;
        return {LoadStatus::NotAProject, refused};
    }
    return {LoadStatus::Loaded, {}};
}

bool loading() {
    return g_loading;
}

bool read(QByteArrayView bytes, ClipTable& table) {
    return fill(table, std::move(ContainerFormat::parse(bytes).members));
}

} // namespace ProjectReader
