#pragma once
// The tag commands that open a dialog first: special symbols, which inserts
// the reference chosen, and tag colouring and tag removal, which work on the
// whole text once the user confirms.

namespace zu {
class CZuView;
template <class Target> class HandlerTable;

void registerTagDialogCommands(HandlerTable<CZuView>& table);

} // namespace zu
