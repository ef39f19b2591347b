#pragma once
// Who runs each command. The core's command table says which class owns a
// command (the active view, its document, the main frame, the application);
// each of those classes, and each dialog that acts for one of them, adds a
// handler for the rows it owns. Routing looks the owner up in the table and
// the handler up here: there is no second list of ids to keep in step, and
// no caller asks which owner a command has.

#include "core/app/commands.h"

#include <functional>
#include <map>
#include <vector>

namespace zu {
class CMainFrame;
class CZuApp;
class CZuDoc;
class CZuView;

template <class Target> class HandlerTable {
public:
    using Run = std::function<void(Target&)>;
    using Enabled = std::function<bool(const Target&)>;

    struct Entry {
        Run run;
        Enabled enabled; // empty: available whenever its target exists

        bool isEnabled(const Target& target) const { return !enabled || enabled(target); }
    };

    explicit HandlerTable(CommandOwner owner) : owner_(owner) {}

    CommandOwner owner() const { return owner_; }

    // A second handler for one id is kept aside rather than replacing the
    // first, so that the routing test can name the clash.
    void add(int id, Run run, Enabled enabled = {}) {
        if (entries_.contains(id))
            duplicates_.push_back(id);
        else
            entries_.emplace(id, Entry{std::move(run), std::move(enabled)});
    }

    const Entry* find(int id) const {
        const auto it = entries_.find(id);
        return it == entries_.end() ? nullptr : &it->second;
    }

    std::vector<int> ids() const {
        std::vector<int> out;
        for (const auto& [id, entry] : entries_)
            out.push_back(id);
        return out;
    }
    const std::vector<int>& duplicates() const { return duplicates_; }

private:
    CommandOwner owner_;
    std::map<int, Entry> entries_;
    std::vector<int> duplicates_;
};

// What a command can go to from where it was chosen: the main window offers
// all four (the view and document of the active window, when there is one);
// a view's right-button menu offers only itself and its document.
struct CommandTargets {
    CZuView* view = nullptr;
    CZuDoc* document = nullptr;
    CMainFrame* frame = nullptr;
    CZuApp* app = nullptr;
};

struct CommandRegistry {
    HandlerTable<CZuView> view{CommandOwner::View};
    HandlerTable<CZuDoc> document{CommandOwner::Document};
    HandlerTable<CMainFrame> frame{CommandOwner::MainFrame};
    HandlerTable<CZuApp> app{CommandOwner::App};

    // Whether `id` is available among `targets`: its owner is one of them and
    // its handler allows it. Commands that nobody owns are always available,
    // so that their keys are taken and do nothing; unknown ids never are.
    bool isEnabled(int id, const CommandTargets& targets) const;
    // Runs `id` on its owner among `targets` when it is available; false when
    // it is not, and nothing ran.
    bool run(int id, const CommandTargets& targets) const;

private:
    // Calls `use(table, target)` with the handler table of `owner` and the
    // target of the same class; false when nobody owns the command.
    template <class Use>
    bool withOwner(CommandOwner owner, const CommandTargets& targets, Use use) const {
        bool result = false;
        const auto visit = [&](const auto& table, auto* target) {
            if (table.owner() == owner)
                result = use(table, target);
        };
        visit(view, targets.view);
        visit(document, targets.document);
        visit(frame, targets.frame);
        visit(app, targets.app);
        return result;
    }
};

// Every handler of the program, gathered once from all subsystems.
const CommandRegistry& commandRegistry();

} // namespace zu
