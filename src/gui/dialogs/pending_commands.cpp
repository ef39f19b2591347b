#include "gui/dialogs/pending_commands.h"

#include "core/app/commands.h"
#include "gui/commands/command_registry.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/ui.h"

namespace zu {

void registerPendingCommands(HandlerTable<CZuView>& table) {
    for (const int id :
         {cmd::TagColor, cmd::GenericForm, cmd::Index, cmd::Topic, cmd::ColorReference,
          cmd::QuickCreate, cmd::TagRemove, cmd::Date, cmd::DateTime, cmd::FileList, cmd::ImageLink,
          cmd::Calendar, cmd::TableTemplate, cmd::FileTable, cmd::Symbols})
        table.add(id, [](CZuView& view) {
            ui::message(&view, QStringLiteral("この機能はまだ使用できません。"), ui::Buttons::Ok,
                        ui::Icon::Information);
        });
}

} // namespace zu
