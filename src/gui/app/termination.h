#pragma once
// SIGTERM, SIGHUP, SIGINT and SIGQUIT (a shutdown, a closed terminal,
// `kill`, Ctrl+C) end zu only after it has kept what is unsaved: the
// signal is turned into a call on the window thread, where the documents
// can be reached safely.

#include <functional>

class QObject;

namespace zu {

// Calls `handler` on the window thread each time one of them arrives.
// `context` owns the watch.
void onTerminationSignal(QObject* context, std::function<void()> handler);

} // namespace zu
