#pragma once
// The commands the editing view runs itself: editing, find and replace,
// printing, help, view in browser, and the 57 Tag menu commands.

namespace zu {
class CZuView;
template <class Target> class HandlerTable;

void registerViewCommands(HandlerTable<CZuView>& table);

} // namespace zu
