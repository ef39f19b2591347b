// Routing has one source of truth: the owner column of the command table.
// Every command someone owns has exactly one handler, registered by its
// owner, and nobody registers a command the table gives to another class.

#include "support/fixture.h"

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

class RoutingTargets : public test::AppTest {};

// The targets of `all` of the class that owns a command (mine), or the rest.
CommandTargets part(const CommandTargets& all, CommandOwner owner, bool mine) {
    const auto keep = [&](CommandOwner of, auto* target) {
        return (of == owner) == mine ? target : nullptr;
    };
    return {keep(CommandOwner::View, all.view), keep(CommandOwner::Document, all.document),
            keep(CommandOwner::MainFrame, all.frame), keep(CommandOwner::App, all.app)};
}

// Each command is available exactly when the target of its own class is
// there: taking that one away disables it, taking the other three away
// changes nothing. Nothing runs while its target is missing.
TEST_F(RoutingTargets, EachCommandGoesToTheTargetOfItsOwnerAlone) {
    const CommandRegistry& r = commandRegistry();
    const CommandTargets all{view(), doc(), &frame(), app.get()};
    for (const CommandInfo& info : allCommands()) {
        if (info.owner == CommandOwner::Nobody) {
            EXPECT_TRUE(r.isEnabled(info.id, {})) << info.id;
            continue;
        }
        const CommandTargets without = part(all, info.owner, false);
        EXPECT_EQ(r.isEnabled(info.id, part(all, info.owner, true)), r.isEnabled(info.id, all))
            << info.id;
        EXPECT_FALSE(r.isEnabled(info.id, without)) << info.id;
        EXPECT_FALSE(r.run(info.id, without)) << info.id;
    }
    EXPECT_FALSE(r.isEnabled(12345, all));
}

// With no document window, what stays available: the commands of the
// frame and the application that need no document, and the keys that do
// nothing.
TEST_F(RoutingTargets, WithoutADocumentWindowOnlyTheseAreAvailable) {
    frame().onCommand(cmd::FileClose);
    settle();
    ASSERT_EQ(view(), nullptr);
    std::vector<int> enabled;
    for (const CommandInfo& info : allCommands())
        if (frame().isCommandEnabled(info.id))
            enabled.push_back(info.id);
    EXPECT_EQ(enabled, (std::vector<int>{32768, 33101, 33102, 33120, 57600, 57601, 57606, 57616,
                                         57617, 57618, 57619, 57620, 57621, 57622, 57623, 57624,
                                         57625, 57664, 57665, 57680, 57681, 57860, 59392, 59393}));
}

} // namespace
} // namespace zu
