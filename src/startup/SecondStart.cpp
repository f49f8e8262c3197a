#include "startup/SecondStart.h"

#include "project/HandOverFile.h"
#include "services/AtomicFile.h"
#include "services/CodePage.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace SecondStart {

HandOver handOver(const AppPaths& paths, const QString& commandLine) {
    const QString trimmed = commandLine.trimmed();
    const QFileInfo named(trimmed);
    if (trimmed.isEmpty() || !named.exists())
        return {Result::AlreadyRunning, {}};
    if (!named.isFile())
        return {Result::Refused, QStringLiteral("%1 is not a project file.").arg(trimmed)};
    // The running instance reads the first line back in the code page: a path it would read otherwise is refused
    // here, rather than reported there as a file that does not exist.
    if (HandOverFile::commandLine(HandOverFile::content(commandLine)) != commandLine)
        return {
            Result::Refused,
            commandLine.contains(QLatin1Char('\n')) || commandLine.endsWith(QLatin1Char('\r'))
                ? QStringLiteral("%1: a path with a line break cannot be handed to the running Zolpane.").arg(trimmed)
                : QStringLiteral("%1: a path with characters outside code page %2 cannot be handed to the "
                                 "running Zolpane.")
                      .arg(trimmed)
                      .arg(CodePage::ansiCodePage())};
    // Written aside and renamed into place, so the running instance, which reads and deletes the file as soon as
    // it appears, never finds it empty or half written.
    if (!AtomicFile::write(paths.loadBuffPath(), HandOverFile::content(commandLine)))
        return {Result::Refused, QStringLiteral("%1 cannot be handed to the running Zolpane: %2")
                                     .arg(trimmed, QString::fromLocal8Bit(std::strerror(errno)))};
    return {Result::HandedOver, {}};
}

} // namespace SecondStart
