#include "gui/commands/command_registry.h"

namespace zu {

bool CommandRegistry::isEnabled(int id, const CommandTargets& targets) const {
    const CommandInfo* info = findCommand(id);
    if (!info)
        return false;
    if (info->owner == CommandOwner::Nobody)
        return true;
    return withOwner(info->owner, targets, [id](const auto& table, auto* target) {
        const auto* entry = table.find(id);
        return target && entry && entry->isEnabled(*target);
    });
}

bool CommandRegistry::run(int id, const CommandTargets& targets) const {
    if (!isEnabled(id, targets))
        return false;
    withOwner(findCommand(id)->owner, targets, [id](const auto& table, auto* target) {
        table.find(id)->run(*target);
        return true;
    });
    return true;
}

} // namespace zu
