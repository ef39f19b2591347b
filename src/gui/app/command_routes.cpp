// Gathers the handlers of every subsystem into the one registry that routing
// reads. This is the only place that knows them all.

#include "gui/app/main_frame.h"
#include "gui/app/zu_app.h"
#include "gui/check/page_check_list.h"
#include "gui/commands/command_registry.h"
#include "gui/dialogs/assistant_commands.h"
#include "gui/dialogs/convert_dlg.h"
#include "gui/dialogs/go_to_line_dlg.h"
#include "gui/dialogs/option_sheet.h"
#include "gui/dialogs/tag_dialog_commands.h"
#include "gui/doc/doc_commands.h"
#include "gui/view/view_commands.h"

namespace zu {

const CommandRegistry& commandRegistry() {
    static const CommandRegistry registry = [] {
        CommandRegistry r;
        registerViewCommands(r.view);
        registerAssistantCommands(r.view);
        registerOptionCommands(r.view);
        registerTagDialogCommands(r.view);
        registerGoToLineCommand(r.view);
        registerPageCheckCommand(r.view);
        registerDocumentCommands(r.document);
        CMainFrame::registerCommands(r.frame);
        registerConvertCommand(r.frame);
        CZuApp::registerCommands(r.app);
        return r;
    }();
    return registry;
}

} // namespace zu
