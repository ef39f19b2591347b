#pragma once
// core/convert: moving pages to another encoding (one page as it is saved,
// or a whole site), with their charset declarations made to agree.
//
// A page's charset declarations and the charset attributes that are not
// declarations. A browser takes a page's encoding from <meta charset>, from
// <meta http-equiv="Content-Type" content="...; charset=..."> and from the
// XML declaration; a page moved to another encoding must say so in every one
// of them, or the browser shows the new bytes as the old encoding. The
// charset of a link (<a charset>, <link charset>, <script charset>) names the
// encoding of another file, which the move does not change: it is left as it
// is, and said. A "charset" in the text, in a comment or inside a script is
// no declaration and is never touched.

#include "core/doc/encoding_rules.h"
#include "core/text/encoding.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zu::convert {

struct CharsetMention {
    enum class Kind {
        MetaCharset,     // <meta charset=...>
        MetaContentType, // <meta http-equiv="Content-Type" content="...; charset=...">
        XmlDeclaration,  // <?xml ... encoding="..."?>
        Link,            // charset on any other tag: the encoding of another file
    };
    Kind kind;
    std::size_t position; // of the label, in the text
    std::size_t length;
    std::string label; // as written (ASCII)
    std::string tag;   // the tag's name, lower case ("meta", "script", "?xml")
    std::size_t line;  // 1-based line of the label

    bool declares() const { return kind != Kind::Link; }
};

// Every charset mention of a page, in text order.
std::vector<CharsetMention> charsetMentions(std::u16string_view text);

// Whether a declaration may be added to a page: a page with a head (or at
// least an html tag) gets one; a text file or a part of a page does not.
enum class AddDeclaration { IfMissing, Never };

// What makes a page declare `to`: the edits (in text order; an added
// declaration is an edit of length 0) and the link charsets left alone.
struct DeclarationPlan {
    std::vector<TextReplacement> edits;
    std::vector<CharsetMention> leftAlone;
    std::vector<CharsetMention> declarations; // as they were
    bool added = false;                       // a <meta charset> goes in
};
DeclarationPlan planDeclarations(std::u16string_view text, const Encoding& to,
                                 AddDeclaration add = AddDeclaration::IfMissing);

// `text` with the plan's edits made (UTF-8 edits into UTF-16 text).
std::u16string applyEdits(std::u16string_view text, const std::vector<TextReplacement>& edits);

// "<script charset="Shift_JIS"> (12 行目) はほかのﾌｧｲﾙの文字ｺｰﾄﾞなのでそのままです。"
std::string leftAloneNote(const CharsetMention& link);

// Whether a file of this name is a page that declares its charset (.htm,
// .html, .shtml and every name but .txt): a plain text file has no head.
bool isPageName(std::string_view fileName);

} // namespace zu::convert
