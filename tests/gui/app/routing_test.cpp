// Routing has one source of truth: the owner column of the command table.
// Every command someone owns has exactly one handler, registered by its
// owner, and nobody registers a command the table gives to another class.

#include "core/app/commands.h"
#include "gui/commands/command_registry.h"

#include <gtest/gtest.h>

namespace zu {
namespace {

template <class Target>
void expectOnlyOwnRows(const HandlerTable<Target>& table, const char* name) {
    for (int id : table.ids()) {
        const CommandInfo* info = findCommand(id);
        ASSERT_NE(info, nullptr) << name << " handles " << id << ", which the table lacks";
        EXPECT_EQ(info->owner, table.owner()) << name << " handles " << id;
    }
    EXPECT_TRUE(table.duplicates().empty())
        << name << " registers " << table.duplicates().front() << " twice";
}

TEST(Routing, EveryOwnedCommandHasExactlyOneHandlerAndOnlyItsOwnersOne) {
    const CommandRegistry& r = commandRegistry();
    for (const CommandInfo& info : allCommands()) {
        const int handlers = (r.view.find(info.id) != nullptr) +
                             (r.document.find(info.id) != nullptr) +
                             (r.frame.find(info.id) != nullptr) + (r.app.find(info.id) != nullptr);
        EXPECT_EQ(handlers, info.owner == CommandOwner::Nobody ? 0 : 1) << info.id;
    }
    expectOnlyOwnRows(r.view, "the view");
    expectOnlyOwnRows(r.document, "the document");
    expectOnlyOwnRows(r.frame, "the main frame");
    expectOnlyOwnRows(r.app, "the application");
}

} // namespace
} // namespace zu
