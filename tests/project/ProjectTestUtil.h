#pragma once

#include "project/ClipTable.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class QTemporaryDir;

// Building container bytes by hand, and the tables the project tests save.
namespace ProjectTestUtil {

QByteArray le16(qint16 value);
QByteArray le32(qint32 value);

// A container of the given members, written byte by byte: count, then name length, name, data length, data.
QByteArray container(const QList<QPair<QByteArray, QByteArray>>& members);

// The folder of the running test function and data row: dir/function/tag/ (not created).
QString testFolder(const QTemporaryDir& dir);

// Every entry under folder (recursive, relative paths, links not followed), sorted.
QStringList tree(const QString& folder);

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

// A picture whose every pixel differs from its neighbours.
QImage pattern(int width, int height, int seed);

// A table saved by the killed-save helper: clip 1 names the version, three pictures and a long text
// carry the version in their content.
void fillVersion(ClipTable& table, char version);

// Runs the endless save loop of the killed-save test (helper mode of the test executable).
int saveLoop(const QString& path, const QString& tempFolder);

} // namespace ProjectTestUtil
