#pragma once
// The program's command line: files to open, or "/p FILE" to print a file to
// the default printer and "/pt FILE PRINTER" to print it to a named one, the
// forms that shortcuts and scripts made for zu use. Switches may also start
// with "-". The forms usual on this desktop stand beside them:
// "--unregister", "-n" or "--new-instance" for a zu of its own rather than
// the one already running, "--check" to check pages from a shell without a
// window, "--convert utf-8" (with "--apply", "--bom", "--jis-forms") and
// "--convert-undo" to move pages to UTF-8 and back without one, "-h" or
// "--help", "-V" or
// "--version", and "--" after which every argument is a file. The window
// system's own switches ("-style fusion", "--platform xcb") are left to it.

#include <string>
#include <string_view>
#include <vector>

namespace zu {

struct CommandLine {
    enum class Action {
        New,         // no file: one empty document
        Open,        // open every file in `files`
        Print,       // print files[0] to the default printer, then end
        PrintTo,     // print files[0] to `printer`, then end
        Unregister,  // remove the desktop registration, then end
        Help,        // print the usage, then end
        Version,     // print the version, then end
        Check,       // "--check": check every file in `files`, print the findings, end
        Convert,     // "--convert utf-8": list (and with "--apply" convert) `files`, end
        ConvertUndo, // "--convert-undo FOLDER": put a conversion's originals back, end
    };
    Action action = Action::New;
    std::vector<std::string> files;
    std::string printer;
    bool newInstance = false;
    // "--convert": "--apply" writes, "--bom" starts the pages with a
    // byte-order mark, "--jis-forms" keeps glibc's form of the six
    // characters JIS and the web read differently.
    bool apply = false, byteOrderMark = false, jisForms = false;
    // Set when the arguments do not make a command (e.g. "/pt" without a
    // printer); the program reports it and ends.
    std::string error;
    // Set for a switch zu does not know ("--frobnicate"): said on the
    // terminal with the usage, and zu ends with status 2.
    std::string usageError;

    // Whether this run shows the editor's window, and so may serve or be
    // served by another zu; printing and unregistering end without one.
    bool opensWindow() const { return action == Action::New || action == Action::Open; }
    // Whether the files go to a zu that is already running rather than to
    // a new one: only files to open do, and only without "-n".
    bool handsOver() const { return action == Action::Open && !newInstance; }
};

// `args` without the program's own name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// What "zu --help" prints: the forms of the command line, the switches and
// the environment variables zu reads.
std::string usageText();
// What "zu --version" prints.
std::string versionText(std::string_view version);

} // namespace zu
