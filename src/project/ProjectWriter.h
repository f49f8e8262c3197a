#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class ClipTable;

// Writes the clip table as a project file: the index zp.ini and one data file per clip are written to the
// scratch folder tempFolder + "zpsave/", packed into the project file and deleted again.
namespace ProjectWriter {

enum class SaveResult {
    Saved,
    Failed, // "Unable to save project!" was shown; an existing project file is unchanged
    Busy,   // a save was already running; nothing was done
};

inline const QString SaveErrorText = QStringLiteral("Unable to save project!");

// Replaces the file at path atomically. On failure deletes the scratch folder and shows SaveErrorText with the
// error's details.
SaveResult save(const ClipTable& table, const QString& path, const QString& tempFolder);

// zp.ini: for each clip "[ClipN]", "Format = ", "Name = ", "Method = " lines, CR LF, ANSI code page.
QByteArray indexContent(const ClipTable& table);

// The bytes of clip<i>.dat: the text (simple clips: the shown text) or the RTF source with CR LF appended,
// or the picture as a bitmap file (empty when an IMG clip has no picture).
QByteArray clipFileContent(const ClipTable& table, int i);

// A 24-bit bitmap file, rows bottom-up and padded to four bytes; alpha is dropped.
QByteArray bmpBytes(const QImage& picture);

} // namespace ProjectWriter
