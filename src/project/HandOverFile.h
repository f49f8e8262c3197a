#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// loadbuff.dat, through which a second start of the program hands its command line (a project path) to the
// running instance: one line in the ANSI code page, ended by CR LF. The running instance reads whatever the
// file holds, so commandLine() takes any bytes.
namespace HandOverFile {

// The file's content for a command line.
QByteArray content(const QString& commandLine);

// The command line in a file's content: its first line, without the CR and LF characters that end it.
QString commandLine(QByteArrayView content);

// The longest hand-over read; a command line naming one project is far shorter.
constexpr qint64 MaxBytes = 64 * 1024;

// The command line of the file at path. Anyone can put something there: a FIFO, a folder or a device is not
// read (nor waited on), and only the first MaxBytes of a file are; a first line that does not end within them
// is no hand-over. "" for all of these.
QString read(const QString& path);

} // namespace HandOverFile
