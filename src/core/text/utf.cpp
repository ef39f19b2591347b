#include "core/text/utf.h"

namespace zu {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

void appendUtf8(std::string& out, char32_t ch) {
    if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | ch >> 6));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | ch >> 12));
        out.push_back(static_cast<char>(0x80 | (ch >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | ch >> 18));
        out.push_back(static_cast<char>(0x80 | (ch >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
}

// The allowed range of the second byte of a sequence, which is what rules
// out overlong forms, surrogates and code points past U+10FFFF.
struct Lead {
    int length; // 0: not a lead byte
    unsigned char secondMin;
    unsigned char secondMax;
};

Lead classify(unsigned char b) {
    if (b >= 0xC2 && b <= 0xDF)
        return {2, 0x80, 0xBF};
    if (b == 0xE0)
        return {3, 0xA0, 0xBF};
    if (b == 0xED)
        return {3, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF)
        return {3, 0x80, 0xBF};
    if (b == 0xF0)
        return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3)
        return {4, 0x80, 0xBF};
    if (b == 0xF4)
        return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

} // namespace

void appendUtf16(std::u16string& out, char32_t ch) {
    if (ch < 0x10000) {
        out.push_back(static_cast<char16_t>(ch));
    } else {
        ch -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (ch >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (ch & 0x3FF)));
    }
}

int utf8SequenceLength(std::string_view bytes) {
    if (bytes.empty())
        return 0;
    const auto b = static_cast<unsigned char>(bytes[0]);
    if (b < 0x80)
        return 1;
    const Lead lead = classify(b);
    if (lead.length == 0 || bytes.size() < static_cast<std::size_t>(lead.length))
        return 0;
    const auto second = static_cast<unsigned char>(bytes[1]);
    if (second < lead.secondMin || second > lead.secondMax)
        return 0;
    for (int k = 2; k < lead.length; ++k)
        if (!isContinuation(static_cast<unsigned char>(bytes[k])))
            return 0;
    return lead.length;
}

std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        // An ill-formed sequence is replaced by one U+FFFD for each maximal
        // prefix of a valid sequence (the Unicode recommended practice), so
        // a truncated character costs one replacement and the byte after
        // it is not swallowed.
        const Lead lead = classify(b);
        if (lead.length == 0) {
            appendUtf16(out, kReplacement);
            ++i;
            continue;
        }
        char32_t ch = b & (0xFF >> (lead.length + 1));
        std::size_t taken = 1;
        bool complete = true;
        for (; taken < static_cast<std::size_t>(lead.length); ++taken) {
            if (i + taken >= n) {
                complete = false;
                break;
            }
            const auto c = static_cast<unsigned char>(utf8[i + taken]);
            const bool fits =
                taken == 1 ? c >= lead.secondMin && c <= lead.secondMax : isContinuation(c);
            if (!fits) {
                complete = false;
                break;
            }
            ch = ch << 6 | (c & 0x3F);
        }
        appendUtf16(out, complete ? ch : kReplacement);
        i += taken;
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    const std::size_t n = utf16.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t ch = codePointAt(utf16, i);
        i += utf16Length(ch) - 1;
        appendUtf8(out, isSurrogate(ch) ? kReplacement : ch);
    }
    return out;
}

} // namespace zu
