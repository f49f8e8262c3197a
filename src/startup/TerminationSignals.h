#pragma once

#include <QObject>

#include <functional>

namespace TerminationSignals {

// SIGTERM and SIGINT (a session ending, Ctrl+C in a terminal) run onSignal once, from owner's event loop, so the
// program ends in its orderly way.
void install(QObject* owner, std::function<void()> onSignal);

} // namespace TerminationSignals
