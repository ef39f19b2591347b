#include "gui/view/view_commands.h"

#include "core/app/commands.h"
#include "core/edit/wrap_selection.h"
#include "core/settings/settings.h"
#include "core/tags/tag_commands.h"
#include "gui/commands/command_registry.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/browser_launch.h"
#include "gui/view/find_replace.h"
#include "gui/view/help_window.h"
#include "gui/view/view_print.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/file_names.h"

namespace zu {

void registerViewCommands(HandlerTable<CZuView>& table) {
    // Each Tag menu command wraps the selection in its row's texts, with the
    // settings as they are at the moment it runs.
    for (const TagCommand& tag : tagCommands())
        table.add(tag.id,
                  [&tag](CZuView& view) { WrapSelection(view, tagFragment(tag, settings())); });

    // The browser shows the file as last saved; unsaved edits are not in it.
    table.add(
        cmd::ViewInBrowser, [](CZuView& view) { showInBrowser(&view, view.doc()->pathName()); },
        [](const CZuView& view) { return !view.doc()->pathName().empty(); });
    table.add(cmd::Help, [](CZuView& view) { showHelp(&view); });

    table.add(cmd::FilePrint, [](CZuView& view) { printWithDialog(view); });
    table.add(cmd::FilePrintDirect, [](CZuView& view) { printDirect(view); });
    table.add(cmd::FilePrintPreview, [](CZuView& view) { printPreview(view); });

    table.add(
        cmd::EditUndo, [](CZuView& view) { view.undo(); },
        [](const CZuView& view) { return view.canUndo(); });
    const auto hasSelection = [](const CZuView& view) { return view.textCursor().hasSelection(); };
    table.add(
        cmd::EditCut, [](CZuView& view) { view.cutSelection(); }, hasSelection);
    table.add(
        cmd::EditCopy, [](CZuView& view) { view.copy(); }, hasSelection);
    table.add(
        cmd::EditPaste, [](CZuView& view) { view.paste(); },
        [](const CZuView& view) { return view.canPaste(); });
    table.add(cmd::EditSelectAll, [](CZuView& view) { view.selectAll(); });
    table.add(cmd::EditFind, [](CZuView& view) { FindReplace::instance().showFind(&view); });
    table.add(cmd::EditRepeat, [](CZuView& view) { FindReplace::instance().findNext(&view); });
    table.add(cmd::EditReplace, [](CZuView& view) { FindReplace::instance().showReplace(&view); });
}

} // namespace zu
