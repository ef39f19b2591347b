#pragma once
// gui/dialogs: the dialogs and assistants; each registers the commands it
// runs for the view.
//
// Commands whose dialogs and assistants are still to come: they say so
// instead of doing nothing.

namespace zu {
class CZuView;
template <class Target> class HandlerTable;

void registerPendingCommands(HandlerTable<CZuView>& table);

} // namespace zu
