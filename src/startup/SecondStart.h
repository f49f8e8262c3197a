#pragma once

#include "services/AppPaths.h"

#include <QString>

// A second start while Zolpane runs: its command line goes to the running instance through loadbuff.dat.
namespace SecondStart {

enum class Result { HandedOver, AlreadyRunning, Refused };
struct HandOver {
    Result result;
    QString refusal; // why, for Refused
};

// Writes the command line into loadbuff.dat when it names a regular file. A command line that names nothing there
// ("nowindow", none) gets the box that the program is already running. A path of something else (a folder, a FIFO,
// a device), or one that the one-line hand-over file cannot carry whole (a line break, a character outside the code
// page), is refused with the reason: such paths come from a shell or a script, which reads the error output and
// must not wait on a box.
HandOver handOver(const AppPaths& paths, const QString& commandLine);

} // namespace SecondStart
