#pragma once
// Who runs each command. The core's command table says which class owns a
// command (the active view, its document, the main frame, the application);
// each of those classes, and each dialog that acts for one of them, adds a
// handler for the rows it owns. Routing looks the owner up in the table and
// the handler up here: there is no second list of ids to keep in step.

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

struct CommandRegistry {
    HandlerTable<CZuView> view{CommandOwner::View};
    HandlerTable<CZuDoc> document{CommandOwner::Document};
    HandlerTable<CMainFrame> frame{CommandOwner::MainFrame};
    HandlerTable<CZuApp> app{CommandOwner::App};
};

// Every handler of the program, gathered once from all subsystems.
const CommandRegistry& commandRegistry();

} // namespace zu
