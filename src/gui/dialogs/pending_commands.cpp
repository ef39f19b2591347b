#include "gui/dialogs/pending_commands.h"

#include "core/app/commands.h"
#include "gui/commands/command_registry.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/ui.h"

namespace zu {

void registerPendingCommands(HandlerTable<CZuView>& table) {
    for (const int id : {cmd::GenericForm, cmd::Options, cmd::Calendar, cmd::TableTemplate})
        table.add(id, [](CZuView& view) {
            ui::message(&view, QStringLiteral("この機能はまだ使用できません。"), ui::Buttons::Ok,
                        ui::Icon::Information);
        });
}

} // namespace zu
