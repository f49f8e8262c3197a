#pragma once

#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QtEndian>

#include <sys/stat.h>

// Container bytes built by hand, and files of the project tests.
namespace ProjectTestUtil {

using TestSupport::readFile;
using TestSupport::writeFile;

template <class T> QByteArray littleEndian(T value) {
    QByteArray out(sizeof value, Qt::Uninitialized);
    qToLittleEndian(value, out.data());
    return out;
}
inline constexpr auto le16 = &littleEndian<qint16>;
inline constexpr auto le32 = &littleEndian<qint32>;

// Count, then name length, name, data length and data of each member.
inline QByteArray container(const QList<QPair<QByteArray, QByteArray>>& members) {
    QByteArray out = le32(qint32(members.size()));
    for (const auto& [name, data] : members)
        out += le16(qint16(name.size())) + name + le32(qint32(data.size())) + data;
    return out;
}

// Something that is no project, of a kind a test row names: "zeros" (a file beginning with 32 KiB of zeros, as
// an ISO image does), "empty container", "no index" (data members only), "folder", "fifo" or "/dev/zero" (the
// device itself). Made in folder, which exists; returns its path.
inline QString notAProject(const QString& folder, const QString& kind) {
    const QString path = folder + QStringLiteral("no.zp");
    if (kind == QLatin1String("/dev/zero"))
        return kind;
    if (kind == QLatin1String("folder"))
        QDir().mkdir(path);
    else if (kind == QLatin1String("fifo"))
        ::mkfifo(QFile::encodeName(path).constData(), 0600);
    else
        writeFile(path, kind == QLatin1String("zeros")      ? QByteArray(32768, '\0') + "CD001"
                        : kind == QLatin1String("no index") ? container({{"clip1.dat", "x\r\n"}})
                                                            : container({}));
    return path;
}

// The folder of the running test function and data row: dir/function/tag/ (not created).
inline QString testFolder(const QTemporaryDir& dir) {
    return dir.path() + QStringLiteral("/%1/").arg(QTest::currentTestFunction()) +
           QString::fromLatin1(QTest::currentDataTag()).replace('/', '_') + '/';
}

// Every entry under folder (recursive, relative paths, links not followed), sorted.
inline QStringList tree(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(it.next().mid(folder.size()));
    entries.sort();
    return entries;
}

// A picture whose every pixel differs from its neighbours.
inline QImage pattern(int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed) & 255, (y * 13 + seed * 3) & 255, (x * y + seed) & 255));
    return image;
}

} // namespace ProjectTestUtil
