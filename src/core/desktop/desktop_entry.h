#pragma once
// core/desktop, beside core/app at the top of the core: how zu meets the
// Linux desktop. Its desktop entry, the user's default program for web
// pages, the registration that keeps both in place at every start, and the
// request a second zu hands to the one already running.
//
// The desktop entry: the file that puts zu in the desktop's menus and "Open
// with" lists. The installed entry and the one registration writes for the
// user are the same text; only the program they start differs.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

// The name the desktop knows zu by; the entry's file name.
inline constexpr std::string_view kDesktopId = "zu.desktop";

// The entry that starts `program` (a bare name found on the PATH, or an
// absolute path) and shows `icon` (a theme icon name or an absolute path).
// Nothing when the program cannot be written into an entry: the entry is
// UTF-8 and one line per key, so a name that is not UTF-8 or holds a control
// character has no form there.
std::optional<std::string> desktopEntry(std::string_view program, std::string_view icon);

// The program the entry's Exec key starts, its quoting and escapes undone;
// nothing when the entry has no Exec key.
std::optional<std::string> entryProgram(std::string_view entry);

// One argument of an Exec line: quoted when it holds a character the
// desktop's command-line rules reserve, with "%" doubled so that it is not
// taken for a field code, and with the escapes every string value needs.
std::string execArgument(std::string_view argument);

// What the desktop reads of an application's entry: the keys of its
// "[Desktop Entry]" group that say whether it is installed, what it opens
// and how it is started (string escapes undone; lists split at ";").
struct EntryFacts {
    std::string type, name, icon, exec, tryExec;
    bool hidden = false;   // the entry stands for a deleted one
    bool terminal = false; // the program needs a terminal to run in
    std::vector<std::string> mimeTypes, categories;
};
EntryFacts readEntry(std::string_view entry);

// The arguments of an Exec value, its quoting undone and its field codes
// left in place ("%%" included); nothing when a quote is left open.
std::optional<std::vector<std::string>> splitExec(std::string_view exec);

// The command that opens one file with the entry: its Exec value with the
// field codes filled in (%u and %U by `url`, %f and %F by `path`, %c, %i
// and %k from the entry) and "%%" made "%". A command that takes no file
// gets `url` at its end, so that what it opens is never lost. Nothing when
// the value cannot be split or names no program.
std::optional<std::vector<std::string>> entryCommand(const EntryFacts& entry,
                                                     const std::string& entryPath,
                                                     const std::string& url,
                                                     const std::string& path);

} // namespace zu
