#pragma once
// What the desktop's own text files (desktop entries, mimeapps.list) share:
// a line read without the blanks around it and without the CR a file
// written elsewhere may end it with.

#include <string_view>

namespace zu {

inline std::string_view trimLine(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

} // namespace zu
