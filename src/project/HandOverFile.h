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

} // namespace HandOverFile
