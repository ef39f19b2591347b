#pragma once
// SIGTERM and SIGHUP (a shutdown, a closed terminal, `kill`) end zu only
// after it has kept what is unsaved: the signal is turned into a call on the
// window thread, where the documents can be reached safely.

#include <functional>

class QObject;

namespace zu {

// Calls `handler` on the window thread each time SIGTERM or SIGHUP arrives.
// `context` owns the watch.
void onTerminationSignal(QObject* context, std::function<void()> handler);

} // namespace zu
