#include "core/doc/doc_messages.h"

#include "core/text/utf.h"

#include <cstdio>

namespace zu {
namespace {

std::string_view breakName(LineBreak style) {
    switch (style) {
    case LineBreak::CrLf:
        return "CR+LF";
    case LineBreak::Lf:
        return "LF";
    case LineBreak::Cr:
        return "CR";
    }
    return {};
}

std::string utf8Of(char32_t ch) {
    std::u16string units;
    if (ch > 0xFFFF) {
        const char32_t rest = ch - 0x10000;
        units = {char16_t(0xD800 + (rest >> 10)), char16_t(0xDC00 + (rest & 0x3FF))};
    } else {
        units = {char16_t(ch)};
    }
    return utf16ToUtf8(units);
}

} // namespace

std::string openNotice(std::string_view title, const DocumentText& decoded) {
    std::string out(title);
    if (decoded.mixedBreaks)
        return out + " には種類の異なる改行が混在しています。保存すると " +
               std::string(breakName(decoded.lineBreak)) + " にそろえます。";
    if (decoded.rawBytes > 0)
        return out + " には Shift_JIS として正しくないﾊﾞｲﾄが " + std::to_string(decoded.rawBytes) +
               " 個あります。色付きで表示し、そのまま保存します。";
    return {};
}

std::string unencodableQuestion(const std::vector<SaveProblem>& problems) {
    const SaveProblem& first = problems.front();
    // A lone surrogate is no character to show; its code point still is.
    const bool showable = first.ch < 0xD800 || first.ch > 0xDFFF;
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(first.ch));
    std::string text = std::to_string(first.line) + " 行目 " + std::to_string(first.column) +
                       " 文字目の「" + (showable ? utf8Of(first.ch) : std::string("?")) + "」(" +
                       code + ") は Shift_JIS で保存できない文字です。";
    if (problems.size() > 1)
        text +=
            "\nほかにも保存できない文字が " + std::to_string(problems.size() - 1) + " 個あります。";
    text += "\n\n保存できない文字を数値文字参照 (&#" + std::to_string(first.ch) +
            "; の形) に置き換えて保存しますか？";
    return text;
}

} // namespace zu
