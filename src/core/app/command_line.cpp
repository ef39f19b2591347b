#include "core/app/command_line.h"

#include <algorithm>
#include <cctype>

namespace zu {
namespace {

// A switch is "/" or "-" and one of the known words. Anything else that
// starts with "/" is an absolute path on this system, not a switch.
std::string switchName(const std::string& arg) {
    // The long forms of this desktop, and its one-letter one, which has no
    // "/" form: "/n" is a path.
    if (arg == "--unregister")
        return "unregister";
    if (arg == "--check")
        return "check";
    if (arg == "--new-instance" || arg == "-n")
        return "new-instance";
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-'))
        return {};
    std::string word = arg.substr(1);
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static const char* const known[] = {"p",         "pt",         "dde",        "automation",
                                        "embedding", "unregister", "unregserver"};
    for (const char* k : known)
        if (word == k)
            return word;
    return {};
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool printing = false, printingTo = false, checking = false;
    std::vector<std::string> plain;
    bool switchesDone = false;
    for (const std::string& arg : args) {
        if (!switchesDone && arg == "--") {
            switchesDone = true;
            continue;
        }
        const std::string name = switchesDone ? std::string() : switchName(arg);
        if (name == "p")
            printing = true;
        else if (name == "pt")
            printingTo = true;
        else if (name == "unregister" || name == "unregserver")
            line.action = CommandLine::Action::Unregister;
        else if (name == "new-instance")
            line.newInstance = true;
        else if (name == "check")
            checking = true;
        else if (name.empty())
            plain.push_back(arg);
        // "/dde", "/automation" and "/embedding" have no counterpart here.
    }
    if (line.action == CommandLine::Action::Unregister)
        return line;
    if (checking) {
        line.action = CommandLine::Action::Check;
        line.files = std::move(plain);
        if (line.files.empty())
            line.error = "--check にはﾌｧｲﾙ名が必要です。";
        return line;
    }
    if (printingTo) {
        line.action = CommandLine::Action::PrintTo;
        if (plain.size() < 2) {
            line.error = "/pt にはﾌｧｲﾙ名とﾌﾟﾘﾝﾀ名が必要です。";
            return line;
        }
        line.files = {plain[0]};
        line.printer = plain[1];
        return line;
    }
    if (printing) {
        line.action = CommandLine::Action::Print;
        if (plain.empty()) {
            line.error = "/p にはﾌｧｲﾙ名が必要です。";
            return line;
        }
        line.files = {plain[0]};
        return line;
    }
    line.files = std::move(plain);
    line.action = line.files.empty() ? CommandLine::Action::New : CommandLine::Action::Open;
    return line;
}

} // namespace zu
