#include "core/desktop/desktop_entry.h"

#include "core/desktop/text_lines.h"
#include "core/text/utf.h"

#include <utility>

namespace zu {
namespace {

// The characters that make an Exec argument need quotes.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

// A string value's own escapes: a backslash is written twice.
std::string escapeValue(std::string_view text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '\\')
            out += '\\';
    }
    return out;
}

std::string unescapeValue(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[++i]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            out += text[i];
            break;
        }
    }
    return out;
}

bool isWritable(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F)
            return false;
    // Decoding replaces every ill-formed sequence, so a round trip that
    // changes the bytes means they were not UTF-8.
    return utf16ToUtf8(utf8ToUtf16(text)) == text;
}

// The group's keys in order, the file's own locale variants ("Name[ja]")
// left out: zu reads only the keys that hold no text for the user.
template <typename Visit> void forEachEntryKey(std::string_view entry, Visit visit) {
    bool inEntryGroup = false;
    while (!entry.empty()) {
        const std::size_t end = entry.find('\n');
        const std::string_view line = trimLine(entry.substr(0, end));
        entry.remove_prefix(end == std::string_view::npos ? entry.size() : end + 1);
        if (!line.empty() && line.front() == '[') {
            inEntryGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inEntryGroup && equals != std::string_view::npos)
            visit(trimLine(line.substr(0, equals)),
                  unescapeValue(trimLine(line.substr(equals + 1))));
    }
}

std::vector<std::string> splitList(std::string_view value) {
    std::vector<std::string> items;
    while (!value.empty()) {
        const std::size_t semicolon = value.find(';');
        if (const std::string_view item = trimLine(value.substr(0, semicolon)); !item.empty())
            items.emplace_back(item);
        value.remove_prefix(semicolon == std::string_view::npos ? value.size() : semicolon + 1);
    }
    return items;
}

} // namespace

std::string execArgument(std::string_view argument) {
    std::string quoted;
    const bool needsQuotes =
        argument.empty() || argument.find_first_of(kReserved) != std::string_view::npos;
    if (needsQuotes)
        quoted += '"';
    for (char c : argument) {
        if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\'))
            quoted += '\\';
        quoted += c;
        if (c == '%')
            quoted += '%';
    }
    if (needsQuotes)
        quoted += '"';
    return escapeValue(quoted);
}

std::optional<std::string> desktopEntry(std::string_view program, std::string_view icon) {
    if (program.empty() || !isWritable(program) || !isWritable(icon))
        return std::nullopt;
    const std::string programText(program);
    // Comments and the generic name in English and Japanese: the desktop
    // shows the one of the user's language.
    std::string entry = "[Desktop Entry]\n"
                        "Type=Application\n"
                        "Name=zu\n"
                        "GenericName=HTML Editor\n"
                        "GenericName[ja]=HTML エディタ\n"
                        "Comment=Write HTML pages by hand, in Shift_JIS\n"
                        "Comment[ja]=HTML を手で書くためのエディタ (Shift_JIS)\n";
    entry += "Icon=" + escapeValue(icon) + "\n";
    // TryExec hides the entry from the menus once its program is gone, as
    // after a build folder is deleted.
    entry += "TryExec=" + escapeValue(program) + "\n";
    entry += "Exec=" + execArgument(program) + " %F\n";
    entry += "Terminal=false\n"
             "MimeType=text/html;text/plain;\n"
             "Categories=Utility;TextEditor;\n"
             "StartupWMClass=zu\n";
    return entry;
}

std::optional<std::string> entryProgram(std::string_view entry) {
    std::optional<std::string> exec;
    forEachEntryKey(entry, [&](std::string_view key, std::string value) {
        if (key == "Exec" && !exec)
            exec = std::move(value);
    });
    if (!exec)
        return std::nullopt;
    const auto args = splitExec(*exec);
    if (!args || args->empty())
        return std::string();
    // "%%" stands for one "%".
    std::string program;
    const std::string& first = args->front();
    for (std::size_t i = 0; i < first.size(); ++i) {
        program += first[i];
        if (first[i] == '%' && i + 1 < first.size() && first[i + 1] == '%')
            ++i;
    }
    return program;
}

EntryFacts readEntry(std::string_view entry) {
    EntryFacts facts;
    forEachEntryKey(entry, [&](std::string_view key, std::string value) {
        if (key == "Type")
            facts.type = std::move(value);
        else if (key == "Name")
            facts.name = std::move(value);
        else if (key == "Icon")
            facts.icon = std::move(value);
        else if (key == "Exec")
            facts.exec = std::move(value);
        else if (key == "TryExec")
            facts.tryExec = std::move(value);
        else if (key == "Hidden")
            facts.hidden = value == "true";
        else if (key == "Terminal")
            facts.terminal = value == "true";
        else if (key == "MimeType")
            facts.mimeTypes = splitList(value);
        else if (key == "Categories")
            facts.categories = splitList(value);
    });
    return facts;
}

std::optional<std::vector<std::string>> splitExec(std::string_view exec) {
    std::vector<std::string> args;
    std::string arg;
    bool inArg = false, quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '"')
                quoted = false;
            else if (c == '\\' && i + 1 < exec.size())
                arg += exec[++i];
            else
                arg += c;
            continue;
        }
        if (c == ' ' || c == '\t') {
            if (inArg)
                args.push_back(std::exchange(arg, {}));
            inArg = false;
            continue;
        }
        inArg = true;
        if (c == '"')
            quoted = true;
        else
            arg += c;
    }
    if (quoted)
        return std::nullopt;
    if (inArg)
        args.push_back(std::move(arg));
    return args;
}

std::optional<std::vector<std::string>> entryCommand(const EntryFacts& entry,
                                                     const std::string& entryPath,
                                                     const std::string& url,
                                                     const std::string& path) {
    const auto args = splitExec(entry.exec);
    // The program is named by the entry, never by what a field code holds.
    if (!args || args->empty() || args->front().find('%') != std::string::npos)
        return std::nullopt;
    std::vector<std::string> command;
    bool fileGiven = false;
    for (const std::string& arg : *args) {
        if (arg == "%i") {
            if (!entry.icon.empty()) {
                command.emplace_back("--icon");
                command.push_back(entry.icon);
            }
            continue;
        }
        std::string out;
        bool onlyCodes = !arg.empty();
        for (std::size_t i = 0; i < arg.size(); ++i) {
            if (arg[i] != '%' || i + 1 == arg.size()) {
                out += arg[i];
                onlyCodes = false;
                continue;
            }
            switch (arg[++i]) {
            case '%':
                out += '%';
                onlyCodes = false;
                break;
            case 'u':
            case 'U':
                out += url;
                fileGiven = true;
                break;
            case 'f':
            case 'F':
                out += path;
                fileGiven = true;
                break;
            case 'c':
                out += entry.name;
                break;
            case 'k':
                out += entryPath;
                break;
            default: // the deprecated codes, and unknown ones, stand for nothing
                break;
            }
        }
        // A code that stands for nothing leaves no empty argument behind.
        if (!out.empty() || !onlyCodes)
            command.push_back(std::move(out));
    }
    if (command.empty() || command.front().empty())
        return std::nullopt;
    if (!fileGiven)
        command.push_back(url);
    return command;
}

} // namespace zu
