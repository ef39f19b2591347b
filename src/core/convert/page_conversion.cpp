#include "core/convert/page_conversion.h"

#include "core/convert/page_declarations.h"
#include "core/doc/content_hash.h"
#include "core/text/detect_encoding.h"
#include "core/text/document_text.h"

#include <algorithm>
#include <utility>

namespace zu::convert {
namespace {

// glibc's form and the browsers' form of the six, in JIS code order.
constexpr std::pair<char16_t, char16_t> kSix[] = {
    {0x301C, 0xFF5E}, {0x2016, 0x2225}, {0x2212, 0xFF0D},
    {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2},
};

std::size_t lineOf(std::u16string_view text, std::size_t index) {
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + index, u'\n'));
}

bool isAscii(std::string_view bytes) {
    return std::ranges::all_of(bytes, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Why the file's declarations cannot be trusted with the bytes, if they
// cannot: one names another encoding than the bytes are in, or one zu
// does not know while the bytes are more than ASCII.
std::string contradiction(const std::vector<CharsetMention>& declarations, const Encoding& read,
                          std::string_view bytes) {
    for (const CharsetMention& d : declarations) {
        const Encoding* named = findEncoding(d.label);
        if (!named) {
            if (!isAscii(bytes))
                return "宣言されている文字ｺｰﾄﾞ「" + d.label + "」は zu が読めないものです。";
            continue;
        }
        // A declaration in ASCII bytes cannot be UTF-16: browsers read it as UTF-8.
        if (isUtf16(*named) && !isUtf16(read))
            named = &utf8Encoding();
        if (named != &read && !(isUtf16(*named) && isUtf16(read)))
            return "宣言 (" + d.label + ") が中身の文字ｺｰﾄﾞ (" + std::string(read.name()) +
                   ") と違います。";
    }
    return {};
}

std::string sixPhrase(std::size_t count, SixForms six) {
    return six == SixForms::Web ? "JIS と Web で形の違う文字 " + std::to_string(count) +
                                      " 個を Web の形 (～∥－￠￡￢) に"
                                : "JIS と Web で形の違う文字 " + std::to_string(count) +
                                      " 個を JIS の形 (〜‖−¢£¬) のまま";
}

} // namespace

char16_t webFormOf(char16_t glibcForm) {
    for (auto [jis, web] : kSix)
        if (jis == glibcForm)
            return web;
    return 0;
}

PageConversion convertPage(std::string_view bytes, std::string_view fileName,
                           const ConvertOptions& options) {
    PageConversion out;
    PagePlan& plan = out.plan;
    plan.sourceHash = contentHash(bytes);
    const Detected detected = detectEncoding(bytes);
    const Encoding& from = *detected.encoding;
    plan.encoding = std::string(from.name());
    if (!isUtf16(from) && bytes.find('\0') != std::string_view::npos) {
        plan.stop = "ﾃｷｽﾄのﾌｧｲﾙではありません (0 のﾊﾞｲﾄがあります)。";
        return out;
    }
    const DocumentText read = decodeDocument(bytes, from);
    std::u16string text = read.text;
    const bool page = isPageName(fileName);
    const DeclarationPlan declarations =
        page ? planDeclarations(text, utf8Encoding()) : DeclarationPlan{};
    for (const CharsetMention& d : declarations.declarations)
        plan.declared += (plan.declared.empty() ? "" : ", ") + d.label;
    for (const CharsetMention& link : declarations.leftAlone)
        plan.notes.push_back(leftAloneNote(link));

    if (read.rawBytes > 0) {
        const auto raw = std::ranges::find_if(text, isRawByteChar);
        plan.stop = std::string(from.name()) + " として読めないﾊﾞｲﾄが " +
                    std::to_string(read.rawBytes) + " 個あります (最初は " +
                    std::to_string(lineOf(text, static_cast<std::size_t>(raw - text.begin()))) +
                    " 行目)。";
        return out;
    }
    if (plan.stop = contradiction(declarations.declarations, from, bytes); !plan.stop.empty())
        return out;
    // Proof that the text holds the whole file: it gives its bytes back.
    if (encodeDocument(read.text, read.form(), read.variants, Unmappable::Report, read.breaks)
            .bytes != bytes) {
        plan.stop = "読んだ内容から元のﾊﾞｲﾄに戻せないので、全部を読めたとは言えません。";
        return out;
    }

    const bool jisTables = &from == &eucJpEncoding() || &from == &iso2022JpEncoding();
    if (jisTables) {
        for (char16_t& c : text) {
            if (const char16_t web = webFormOf(c)) {
                ++plan.six;
                if (options.six == SixForms::Web)
                    c = web;
            }
        }
    }
    // The edits' positions hold: the six change one character for one.
    std::vector<LineBreak> breaks = read.breaks;
    std::size_t shift = 0;
    for (const TextReplacement& e : declarations.edits) {
        // A declaration added on a line of its own brings a break, which
        // takes the style of the break before it.
        const auto added = static_cast<std::size_t>(std::ranges::count(e.text, '\n'));
        if (added == 0)
            continue;
        const std::size_t index = shift + lineOf(read.text, e.position) - 1;
        const LineBreak style = index > 0 ? breaks[index - 1] : read.lineBreak;
        breaks.insert(breaks.begin() + static_cast<std::ptrdiff_t>(index), added, style);
        shift += added;
    }
    text = applyEdits(text, declarations.edits);

    const bool alreadyUtf8 = &from == &utf8Encoding();
    const TextForm form{&utf8Encoding(), alreadyUtf8 ? read.byteOrderMark : options.byteOrderMark,
                        read.lineBreak};
    EncodedDocument result = encodeDocument(text, form, {}, Unmappable::Report, breaks);
    if (!result.problems.empty()) {
        plan.stop = "UTF-8 で書けない文字があります (" + std::to_string(result.problems[0].line) +
                    " 行目)。";
        return out;
    }
    // Proof that the new bytes say what was meant.
    const DocumentText back = decodeDocument(result.bytes, utf8Encoding());
    if (back.text != text || back.breaks != breaks || back.rawBytes != 0) {
        plan.stop = "変換した結果を読み直すと内容が違います。";
        return out;
    }

    if (!alreadyUtf8)
        plan.changes.push_back(plan.encoding + " → UTF-8" +
                               (form.byteOrderMark ? " (BOM 付き)" : ""));
    for (const TextReplacement& e : declarations.edits) {
        if (e.length == 0) {
            plan.changes.push_back("<meta charset=\"UTF-8\"> を追加");
            continue;
        }
        std::string was;
        for (char16_t c : std::u16string_view(read.text).substr(e.position, e.length))
            was.push_back(static_cast<char>(c));
        plan.changes.push_back("宣言 " + was + " → UTF-8");
    }
    if (plan.six > 0)
        plan.changes.push_back(sixPhrase(plan.six, options.six));
    plan.needed = result.bytes != bytes;
    plan.resultHash = contentHash(result.bytes);
    out.bytes = std::move(result.bytes);
    return out;
}

} // namespace zu::convert
