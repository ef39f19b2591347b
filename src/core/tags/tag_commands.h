#pragma once
// core/tags: the Tag menu table, and what tag editing works out from text.
//
// The 57 commands of the Tag menu: one row each, read by the menu builder,
// the status bar and the command handler alike.

#include "core/edit/fragment.h"
#include "core/settings/settings.h"

#include <span>
#include <string_view>

namespace zu {

// A Settings value that a command copies into its open text, at the moment
// it runs.
enum class SettingsValue { None, FontFace, FontColor, FontSize, MailAddress };

struct TagCommand {
    int id;
    std::string_view menuText; // label, then "\t" and the hint when there is one
    std::string_view prompt;   // status-bar prompt; empty for the heading entries
    std::string_view open;     // open text, or the part in front of the value
    SettingsValue value;       // inserted after `open`
    std::string_view openTail; // the rest of the open text, after the value
    std::string_view close;
};

// In command-id order.
std::span<const TagCommand> tagCommands();
const TagCommand* findTagCommand(int id); // nullptr when id is not a tag command

// The open and close texts of `command` with the current `settings`.
Fragment tagFragment(const TagCommand& command, const Settings& settings);

} // namespace zu
