#include "gui/dialogs/tag_dialog_commands.h"

#include "core/app/commands.h"
#include "core/edit/wrap_selection.h"
#include "core/settings/settings.h"
#include "core/tags/tag_spans.h"
#include "gui/commands/command_registry.h"
#include "gui/dialogs/confirm_dlg.h"
#include "gui/dialogs/symbol_dlg.h"
#include "gui/view/whole_text.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/ui.h"

#include <QPointer>

namespace zu {
namespace {

// The dialog has no owner of its own: it belongs to the main window.
void insertSymbol(CZuView& view) {
    CSymbolDlg dialog(view.window());
    if (ui::exec(dialog) != QDialog::Accepted)
        return;
    WrapSelection(view, dialog.symbolText(), "");
}

bool confirmed(CZuView& view) {
    CConfirmDlg confirm(view.window());
    return ui::exec(confirm) == QDialog::Accepted;
}

void colourAllTags(CZuView& view) {
    // The colour is taken from the options before asking, so a cancelled
    // run still leaves it set, with nothing to see of it.
    if (const std::optional<Rgb> colour = tagColour(settings().tagColor))
        view.setTagColour(*colour);
    if (confirmed(view))
        colourTags(view);
}

void removeTagsFromText(CZuView& view) {
    if (!confirmed(view))
        return;
    // A large text is worked on in the background: the view may be gone
    // by the time the outcome is known.
    removeAllTags(*view.doc(), [window = QPointer<CZuView>(&view)](TagRemoval::Outcome outcome) {
        if (outcome == TagRemoval::Outcome::Mismatched)
            ui::message(window.data(), ui::qs(kTagMismatchMessage), ui::Buttons::Ok,
                        ui::Icon::Warning);
    });
}

} // namespace

void registerTagDialogCommands(HandlerTable<CZuView>& table) {
    table.add(cmd::Symbols, insertSymbol);
    table.add(cmd::TagColor, colourAllTags);
    table.add(cmd::TagRemove, removeTagsFromText);
}

} // namespace zu
