#pragma once
// gui/dialogs: the dialogs and assistants; each file registers the commands
// it runs for the view.
//
// The Assistant menu's commands: each gathers its input (a dialog, a sheet,
// the clock, the picked files' facts), asks the core for the fragment and
// inserts it with one WrapSelection.

#include <ctime>
#include <functional>

namespace zu {
class CZuView;
template <class Target> class HandlerTable;

void registerAssistantCommands(HandlerTable<CZuView>& table);

// The clock the date commands read; tests put a fixed moment here. An empty
// function means the system clock.
void setAssistantClock(std::function<std::time_t()> clock);

} // namespace zu
