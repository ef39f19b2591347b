#include "core/check/page_scan.h"

#include "core/text/utf.h"

#include <algorithm>
#include <array>

namespace zu::check {
namespace {

constexpr std::size_t npos = std::u16string_view::npos;

bool isAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// What ends a tag's name or an attribute in HTML's tokenizer.
bool isTagSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\u2029';
}

char16_t lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

// Elements whose content is not markup: up to their end tag it is text
// (shown: title, textarea) or something else (script, style...).
struct ContentRow {
    std::string_view name;
    Token::Kind kind;
};
constexpr std::array kPlainContent{
    ContentRow{"script", Token::Kind::RawText},  ContentRow{"style", Token::Kind::RawText},
    ContentRow{"xmp", Token::Kind::RawText},     ContentRow{"iframe", Token::Kind::RawText},
    ContentRow{"noembed", Token::Kind::RawText}, ContentRow{"noframes", Token::Kind::RawText},
    ContentRow{"title", Token::Kind::Text},      ContentRow{"textarea", Token::Kind::Text},
};

class Scanner {
public:
    Scanner(std::u16string_view text, std::span<TokenReader* const> readers) : readers_(readers) {
        page_.text = text;
    }

    void run() {
        const std::u16string_view text = page_.text;
        std::size_t textStart = 0;
        std::size_t at = 0;
        while ((at = text.find(u'<', at)) != npos) {
            const std::size_t tagStart = at;
            const char16_t next = at + 1 < text.size() ? text[at + 1] : 0;
            Token token;
            if (isAsciiLetter(next)) {
                token = tag(tagStart, Token::Kind::StartTag);
            } else if (next == u'/' && at + 2 < text.size() && isAsciiLetter(text[at + 2])) {
                token = tag(tagStart, Token::Kind::EndTag);
            } else if (text.substr(at + 1, 3) == u"!--") {
                token = delimited(tagStart, 4, u"-->", Token::Kind::Comment);
            } else if (next == u'!' || next == u'?') {
                token = delimited(tagStart, 2, u">", Token::Kind::Declaration);
            } else {
                ++at; // a "<" in text, as in "a < b"
                continue;
            }
            addText(textStart, tagStart, Token::Kind::Text);
            at = textStart = token.end;
            const bool opensContent = token.kind == Token::Kind::StartTag && !token.selfClosing &&
                                      !token.unterminated && !inForeign();
            const std::u16string_view name = page_.name(token);
            followForeign(token);
            push(token);
            if (!opensContent)
                continue;
            for (const ContentRow& row : kPlainContent) {
                if (!nameIs(name, row.name))
                    continue;
                at = textStart = endOfContent(name, token.end);
                addText(token.end, at, row.kind);
                break;
            }
        }
        addText(textStart, text.size(), Token::Kind::Text);
        for (TokenReader* reader : readers_)
            reader->end(page_);
    }

private:
    std::span<TokenReader* const> readers_;
    Page page_;
    // How deep inside <svg> or <math> the scan is, and which of the two
    // opened it: only its own end tag leaves it.
    int foreignDepth_ = 0;
    bool foreignIsSvg_ = false;

    bool inForeign() const { return foreignDepth_ > 0; }

    void push(Token& token) {
        token.foreign = token.foreign || inForeign();
        for (TokenReader* reader : readers_)
            reader->read(page_, token);
    }

    void addText(std::size_t start, std::size_t end, Token::Kind kind) {
        if (start >= end)
            return;
        Token t;
        t.kind = kind;
        t.start = start;
        t.end = end;
        push(t);
    }

    void followForeign(Token& token) {
        const std::u16string_view name = page_.name(token);
        const bool root = inForeign() ? nameIs(name, foreignIsSvg_ ? "svg" : "math")
                                      : (nameIs(name, "svg") || nameIs(name, "math"));
        if (!root)
            return;
        if (token.kind == Token::Kind::StartTag && !token.selfClosing) {
            if (!inForeign())
                foreignIsSvg_ = nameIs(name, "svg");
            ++foreignDepth_;
        } else if (token.kind == Token::Kind::EndTag && inForeign()) {
            // The closing root still belongs to the foreign part.
            token.foreign = true;
            --foreignDepth_;
        }
    }

    // From `from` to the start of "</name" followed by the end of a name;
    // the whole rest of the text when there is none.
    std::size_t endOfContent(std::u16string_view name, std::size_t from) const {
        const std::u16string_view text = page_.text;
        for (std::size_t at = from; (at = text.find(u"</", at)) != npos; at += 2) {
            const std::size_t after = at + 2 + name.size();
            if (after > text.size())
                break;
            bool same = true;
            for (std::size_t i = 0; i < name.size() && same; ++i)
                same = lower(text[at + 2 + i]) == lower(name[i]);
            if (same && (after == text.size() || isTagSpace(text[after]) || text[after] == u'/' ||
                         text[after] == u'>'))
                return at;
        }
        return text.size();
    }

    Token delimited(std::size_t start, std::size_t open, std::u16string_view close,
                    Token::Kind kind) const {
        Token t;
        t.kind = kind;
        t.start = start;
        const std::size_t at = page_.text.find(close, start + open);
        t.unterminated = at == npos;
        t.end = at == npos ? page_.text.size() : at + close.size();
        return t;
    }

    Token tag(std::size_t start, Token::Kind kind) {
        const std::u16string_view text = page_.text;
        Token t;
        t.kind = kind;
        t.start = start;
        std::size_t at = start + (kind == Token::Kind::EndTag ? 2 : 1);
        t.nameStart = at;
        while (at < text.size() && !isTagSpace(text[at]) && text[at] != u'/' && text[at] != u'>')
            ++at;
        t.nameEnd = at;
        page_.attributes.clear();
        for (;;) {
            while (at < text.size() && (isTagSpace(text[at]) || text[at] == u'/')) {
                if (text[at] == u'/' && at + 1 < text.size() && text[at + 1] == u'>')
                    t.selfClosing = true;
                ++at;
            }
            if (at >= text.size()) {
                t.unterminated = true;
                break;
            }
            if (text[at] == u'>') {
                ++at;
                break;
            }
            Attribute a;
            a.nameStart = at++; // a first "=" belongs to the name
            while (at < text.size() && !isTagSpace(text[at]) && text[at] != u'/' &&
                   text[at] != u'>' && text[at] != u'=')
                ++at;
            a.nameEnd = a.valueStart = a.valueEnd = at;
            std::size_t look = at;
            while (look < text.size() && isTagSpace(text[look]))
                ++look;
            if (look < text.size() && text[look] == u'=') {
                at = look + 1;
                while (at < text.size() && isTagSpace(text[at]))
                    ++at;
                if (at < text.size() && (text[at] == u'"' || text[at] == u'\'')) {
                    const std::size_t close = text.find(text[at], at + 1);
                    a.valueStart = at + 1;
                    a.valueEnd = close == npos ? text.size() : close;
                    at = close == npos ? text.size() : close + 1;
                } else {
                    a.valueStart = at;
                    while (at < text.size() && !isTagSpace(text[at]) && text[at] != u'>')
                        ++at;
                    a.valueEnd = at;
                }
            }
            if (kind == Token::Kind::StartTag)
                page_.attributes.push_back(a);
        }
        t.end = at;
        return t;
    }
};

struct NamedReference {
    std::u16string_view name;
    char16_t ch;
};
// The references a check needs to see through: the blanks, and the
// characters a file name or a placeholder word may be written with.
constexpr std::array kNamedReferences{
    NamedReference{u"amp", u'&'},         NamedReference{u"lt", u'<'},
    NamedReference{u"gt", u'>'},          NamedReference{u"quot", u'"'},
    NamedReference{u"apos", u'\''},       NamedReference{u"nbsp", u'\u00A0'},
    NamedReference{u"ensp", u'\u2002'},   NamedReference{u"emsp", u'\u2003'},
    NamedReference{u"thinsp", u'\u2009'},
};

// The reference at `at` ("&" there): its length and the character it
// stands for, or length 0 when zu does not know it.
std::pair<std::size_t, char32_t> referenceAt(std::u16string_view text, std::size_t at) {
    const std::size_t semicolon = text.find(u';', at + 1);
    if (semicolon == npos || semicolon - at > 10)
        return {0, 0};
    const std::u16string_view body = text.substr(at + 1, semicolon - at - 1);
    const std::size_t length = semicolon + 1 - at;
    if (body.size() >= 2 && body[0] == u'#') {
        const bool hex = body[1] == u'x' || body[1] == u'X';
        char32_t value = 0;
        std::size_t i = hex ? 2 : 1;
        if (i == body.size())
            return {0, 0};
        for (; i < body.size(); ++i) {
            const char16_t c = body[i];
            int digit = -1;
            if (c >= u'0' && c <= u'9')
                digit = c - u'0';
            else if (hex && lower(c) >= u'a' && lower(c) <= u'f')
                digit = lower(c) - u'a' + 10;
            if (digit < 0)
                return {0, 0};
            value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
            if (value > 0x10FFFF)
                return {0, 0};
        }
        if (value == 0 || isSurrogate(value))
            return {0, 0};
        return {length, value};
    }
    for (const NamedReference& r : kNamedReferences)
        if (body == r.name)
            return {length, r.ch};
    return {0, 0};
}

} // namespace

void scanPage(std::u16string_view text, std::span<TokenReader* const> readers) {
    Scanner(text.substr(0, 0xFFFFFFFE), readers).run();
}

const Attribute* Page::attribute(std::string_view lowerName) const {
    for (const Attribute& a : attributes)
        if (nameIs(text.substr(a.nameStart, a.nameEnd - a.nameStart), lowerName))
            return &a;
    return nullptr;
}

bool nameIs(std::u16string_view name, std::string_view lowerAscii) {
    if (name.size() != lowerAscii.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (lower(name[i]) != static_cast<unsigned char>(lowerAscii[i]))
            return false;
    return true;
}

std::u16string resolveReferences(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] == u'&') {
            if (const auto [length, ch] = referenceAt(text, at); length != 0) {
                appendUtf16(out, ch);
                at += length;
                continue;
            }
        }
        out.push_back(text[at++]);
    }
    return out;
}

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\u00A0' ||
           c == u'\u3000' || (c >= u'\u2000' && c <= u'\u200B') || c == u'\u2029' || c == u'\uFEFF';
}

std::size_t blankAt(std::u16string_view text, std::size_t at) {
    if (at >= text.size())
        return 0;
    if (isBlank(text[at]))
        return 1;
    if (text[at] == u'&') {
        const auto [length, ch] = referenceAt(text, at);
        if (length != 0 && ch < 0x10000 && isBlank(static_cast<char16_t>(ch)))
            return length;
    }
    return 0;
}

std::u16string_view trimBlanks(std::u16string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace zu::check
