#include "core/desktop/desktop_entry.h"

#include "core/desktop/text_lines.h"
#include "core/text/utf.h"

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

// The first argument of a command line written by the Exec rules.
std::string firstArgument(std::string_view line) {
    line = trimLine(line);
    std::string out;
    if (line.empty() || line.front() != '"') {
        for (char c : line) {
            if (c == ' ' || c == '\t')
                break;
            out += c;
        }
    } else {
        for (std::size_t i = 1; i < line.size() && line[i] != '"'; ++i) {
            if (line[i] == '\\' && i + 1 < line.size())
                ++i;
            out += line[i];
        }
    }
    // "%%" stands for one "%".
    std::string program;
    for (std::size_t i = 0; i < out.size(); ++i) {
        program += out[i];
        if (out[i] == '%' && i + 1 < out.size() && out[i + 1] == '%')
            ++i;
    }
    return program;
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
        if (!inEntryGroup || equals == std::string_view::npos ||
            trimLine(line.substr(0, equals)) != "Exec")
            continue;
        return firstArgument(unescapeValue(trimLine(line.substr(equals + 1))));
    }
    return std::nullopt;
}

} // namespace zu
