#pragma once
// The program's command line in the classic form: files to open, or
// "/p FILE" to print a file to the default printer and "/pt FILE PRINTER" to
// print it to a named one. Switches may also start with "-".

#include <string>
#include <vector>

namespace zu {

struct CommandLine {
    enum class Action {
        New,        // no file: one empty document
        Open,       // open every file in `files`
        Print,      // print files[0] to the default printer, then end
        PrintTo,    // print files[0] to `printer`, then end
        Unregister, // remove the desktop registration, then end
    };
    Action action = Action::New;
    std::vector<std::string> files;
    std::string printer;
    // Set when the arguments do not make a command (e.g. "/pt" without a
    // printer); the program reports it and ends.
    std::string error;
};

// `args` without the program's own name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

} // namespace zu
