#include "core/desktop/mimeapps.h"

#include "core/desktop/text_lines.h"

#include <algorithm>
#include <optional>

namespace zu {
namespace {

// One line of the file, with where it starts and ends (its "\n" excluded).
struct Line {
    std::size_t begin, end;
};

std::vector<Line> linesOf(std::string_view text) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back({begin, end});
        begin = end + 1;
    }
    return lines;
}

bool isGroupHeader(std::string_view line) {
    line = trimLine(line);
    return !line.empty() && line.front() == '[';
}

// Where the group is in the file, and the line of `mimeType` inside it.
struct Found {
    std::optional<std::size_t> header;  // line index of the group header
    std::size_t groupEnd = 0;           // one past its last line that is not blank
    std::optional<std::size_t> keyLine; // line index of the key
    std::string_view value;             // the key's value
};

Found find(std::string_view text, const std::vector<Line>& lines, std::string_view mimeType,
           std::string_view group = kDefaultGroup) {
    Found found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = text.substr(lines[i].begin, lines[i].end - lines[i].begin);
        if (isGroupHeader(line)) {
            // A second group of the same name is not read: the first counts.
            if (found.header)
                break;
            if (trimLine(line) == group) {
                found.header = i;
                found.groupEnd = i + 1;
            }
            continue;
        }
        if (!found.header)
            continue;
        if (!trimLine(line).empty())
            found.groupEnd = i + 1;
        const std::size_t equals = line.find('=');
        if (!found.keyLine && equals != std::string_view::npos &&
            trimLine(line.substr(0, equals)) == mimeType) {
            found.keyLine = i;
            found.value = trimLine(line.substr(equals + 1));
        }
    }
    return found;
}

std::vector<std::string> splitList(std::string_view value) {
    std::vector<std::string> ids;
    while (!value.empty()) {
        const std::size_t semicolon = value.find(';');
        const std::string_view id = trimLine(value.substr(0, semicolon));
        if (!id.empty())
            ids.emplace_back(id);
        value.remove_prefix(semicolon == std::string_view::npos ? value.size() : semicolon + 1);
    }
    return ids;
}

std::string joinList(const std::vector<std::string>& ids) {
    std::string out;
    for (const std::string& id : ids)
        out += id + ";";
    return out;
}

// The text with line `index` replaced by `replacement` (a line without its
// "\n"), or removed when `replacement` is empty.
std::string replaceLine(std::string_view text, const std::vector<Line>& lines, std::size_t index,
                        const std::string& replacement) {
    const Line& line = lines[index];
    std::string out(text.substr(0, line.begin));
    if (!replacement.empty()) {
        out += replacement;
        // A file with CR LF breaks keeps them.
        if (line.end > line.begin && text[line.end - 1] == '\r')
            out += '\r';
        out += text.substr(line.end);
    } else {
        out += text.substr(std::min(line.end + 1, text.size()));
    }
    return out;
}

} // namespace

std::vector<std::string> listedApplications(std::string_view mimeapps, std::string_view group,
                                            std::string_view mimeType) {
    const std::vector<Line> lines = linesOf(mimeapps);
    return splitList(find(mimeapps, lines, mimeType, group).value);
}

std::string withDefaultApplication(std::string_view mimeapps, std::string_view mimeType,
                                   std::string_view desktopId) {
    const std::vector<Line> lines = linesOf(mimeapps);
    const Found found = find(mimeapps, lines, mimeType);
    std::vector<std::string> ids = splitList(found.value);
    std::erase(ids, std::string(desktopId));
    ids.insert(ids.begin(), std::string(desktopId));
    const std::string line = std::string(mimeType) + "=" + joinList(ids);

    if (found.keyLine)
        return replaceLine(mimeapps, lines, *found.keyLine, line);
    std::string out(mimeapps);
    if (found.header) {
        // After the group's last entry, before the blank lines that part it
        // from the next group.
        const Line& last = lines[found.groupEnd - 1];
        if (last.end == out.size())
            out += '\n';
        out.insert(last.end + 1, line + "\n");
        return out;
    }
    if (!out.empty() && out.back() != '\n')
        out += '\n';
    if (!out.empty())
        out += '\n';
    out += std::string(kDefaultGroup) + "\n" + line + "\n";
    return out;
}

std::string withoutDefaultApplication(std::string_view mimeapps, std::string_view mimeType,
                                      std::string_view desktopId) {
    const std::vector<Line> lines = linesOf(mimeapps);
    const Found found = find(mimeapps, lines, mimeType);
    if (!found.keyLine)
        return std::string(mimeapps);
    std::vector<std::string> ids = splitList(found.value);
    if (std::erase(ids, std::string(desktopId)) == 0)
        return std::string(mimeapps);
    return replaceLine(mimeapps, lines, *found.keyLine,
                       ids.empty() ? std::string() : std::string(mimeType) + "=" + joinList(ids));
}

} // namespace zu
