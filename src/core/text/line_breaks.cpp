#include "core/text/line_breaks.h"

namespace zu {

void foldLineBreaks(std::u16string& text, std::vector<LineBreak>& breaks, LineBreakCounts& counts) {
    char16_t* const begin = text.data();
    const char16_t* p = begin;
    const char16_t* const end = begin + text.size();
    char16_t* o = begin;
    while (p < end) {
        const char16_t c = *p++;
        if (c == u'\n') {
            ++counts.lf;
            breaks.push_back(LineBreak::Lf);
        } else if (c == u'\r') {
            if (p < end && *p == u'\n') {
                ++p;
                ++counts.crLf;
                breaks.push_back(LineBreak::CrLf);
            } else {
                ++counts.cr;
                breaks.push_back(LineBreak::Cr);
            }
            *o++ = u'\n';
            continue;
        }
        *o++ = c;
    }
    text.resize(static_cast<std::size_t>(o - begin));
}

std::string_view lineBreakBytes(LineBreak style) {
    switch (style) {
    case LineBreak::CrLf:
        return "\r\n";
    case LineBreak::Lf:
        return "\n";
    case LineBreak::Cr:
        return "\r";
    }
    return "\r\n";
}

} // namespace zu
