#pragma once
// A page's text cut into what the checks read: text, tags with their
// attributes, comments and declarations, each with its place in the text.
//
// The tag finders of the Tag menu's colouring and removal do not serve here:
// colouring looks at one line at a time and removal cuts from "<" to ">"
// whatever lies between, while a check must read a tag written over several
// lines, an attribute value holding ">", a comment holding tags and a script
// holding "<". This scanner follows the way browsers cut a page into tokens,
// which is what decides what the reader gets.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zu::check {

// Positions are UTF-16 indexes into the text, in 32 bits: scanPage reads
// at most the first 4 G characters.
struct Attribute {
    std::uint32_t nameStart = 0;
    std::uint32_t nameEnd = 0;
    // The value without its quotes; both equal nameEnd when there is none.
    std::uint32_t valueStart = 0;
    std::uint32_t valueEnd = 0;
};

struct Token {
    enum class Kind : std::uint8_t {
        Text,    // shown to the reader (title and textarea content too)
        RawText, // script, style and the like: not shown as text
        StartTag,
        EndTag,
        Comment,     // <!-- -->
        Declaration, // <!DOCTYPE>, <?xml ?>, <![CDATA[ ]]>
    };
    Kind kind = Kind::Text;
    bool selfClosing = false;  // "<br/>"
    bool unterminated = false; // the text ended before the tag or comment did
    bool foreign = false;      // inside <svg> or <math>, whose tags are not HTML's
    std::uint32_t start = 0;   // the whole token, end excluded
    std::uint32_t end = 0;
    std::uint32_t nameStart = 0; // tags: the element's name as written
    std::uint32_t nameEnd = 0;
};

// The page as the scan stands: its text, and the attributes of the start
// tag just read.
struct Page {
    std::u16string_view text;
    std::vector<Attribute> attributes;

    std::u16string_view name(const Token& t) const {
        return text.substr(t.nameStart, t.nameEnd - t.nameStart);
    }
    // The first attribute of that name (lower-case ASCII) of the start tag
    // just read, or null.
    const Attribute* attribute(std::string_view lowerName) const;
    std::u16string_view value(const Attribute& a) const {
        return text.substr(a.valueStart, a.valueEnd - a.valueStart);
    }
};

// What reads the tokens of a page as the scan finds them. The tokens are
// not kept: a page of 200,000 tags read in one pass stays in the cache,
// and each reader keeps only what it needs.
class TokenReader {
public:
    virtual ~TokenReader() = default;
    // In text order, covering the text without gaps.
    virtual void read(const Page& page, const Token& token) = 0;
    // After the last token.
    virtual void end(const Page&) {}
};

void scanPage(std::u16string_view text, std::span<TokenReader* const> readers);

// Whether `name` is `lowerAscii`, ignoring ASCII case, as HTML names are.
bool nameIs(std::u16string_view name, std::string_view lowerAscii);

// `text` with its character references ("&amp;", "&#12354;", "&#x3042;",
// "&nbsp;"...) made the characters they stand for; a reference zu does not
// know stays as written.
std::u16string resolveReferences(std::u16string_view text);

// The length of the blank at `at` in the text of a page: a space, a tab, a
// line break, a no-break space, U+3000 or another Unicode space, written as
// the character or as a reference to it; 0 when there is none.
std::size_t blankAt(std::u16string_view text, std::size_t at);

// Whether `c` is a blank to a reader: ASCII white space, a no-break space,
// U+3000 or another of Unicode's spaces.
bool isBlank(char16_t c);

// `text` (references resolved) without blanks at either end.
std::u16string_view trimBlanks(std::u16string_view text);

} // namespace zu::check
