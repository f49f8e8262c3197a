#include "ProjectTestUtil.h"

#include "project/ProjectWriter.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cstdio>

namespace ProjectTestUtil {

QByteArray le16(qint16 value) {
    QByteArray out(2, Qt::Uninitialized);
    qToLittleEndian(value, out.data());
    return out;
}

QByteArray le32(qint32 value) {
    QByteArray out(4, Qt::Uninitialized);
    qToLittleEndian(value, out.data());
    return out;
}

QByteArray container(const QList<QPair<QByteArray, QByteArray>>& members) {
    QByteArray out = le32(qint32(members.size()));
    for (const auto& [name, data] : members)
        out += le16(qint16(name.size())) + name + le32(qint32(data.size())) + data;
    return out;
}

QString testFolder(const QTemporaryDir& dir) {
    return dir.path() + QStringLiteral("/%1/").arg(QTest::currentTestFunction()) +
           QString::fromLatin1(QTest::currentDataTag()).replace('/', '_') + '/';
}

QStringList tree(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(it.next().mid(folder.size()));
    entries.sort();
    return entries;
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QImage pattern(int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed) & 255, (y * 13 + seed * 3) & 255, (x * y + seed) & 255));
    }
    return image;
}

void fillVersion(ClipTable& table, char version) {
    const int seed = version == 'A' ? 1 : 2;
    table.setText(1, QStringLiteral("version ") + QChar(version));
    for (int i = 2; i <= 4; ++i) {
        ClipTable::Clip clip;
        clip.format = ClipTable::Img;
        clip.text = QStringLiteral("picture %1").arg(i);
        clip.picture = pattern(600, 400, seed + i);
        clip.locked = true;
        table.setClip(i, clip);
    }
    ClipTable::Clip text;
    text.format = ClipTable::TxtLong;
    text.text = QStringLiteral("long");
    text.data = QString(200000, QChar(version));
    text.locked = true;
    table.setClip(5, text);
}

int saveLoop(const QString& path, const QString& tempFolder) {
    ClipTable a, b;
    fillVersion(a, 'A');
    fillVersion(b, 'B');
    for (unsigned n = 0;; ++n) {
        if (ProjectWriter::save(n % 2 ? b : a, path, tempFolder) != ProjectWriter::SaveResult::Saved)
            return 1;
        std::puts("saved");
        std::fflush(stdout);
    }
}

} // namespace ProjectTestUtil
