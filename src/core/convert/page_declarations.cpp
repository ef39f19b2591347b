#include "core/convert/page_declarations.h"

#include "core/text/utf.h"

#include <algorithm>

namespace zu::convert {
namespace {

char16_t lower(char16_t c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c + ('a' - 'A')) : c;
}

// A line break of a document's text: '\n', or U+2029 as the editing control
// ends its paragraphs.
bool isBreak(char16_t c) {
    return c == '\n' || c == 0x2029;
}

bool isSpace(char16_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || isBreak(c);
}

bool isLetter(char16_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The characters of an encoding's label.
bool isLabelChar(char16_t c) {
    return isLetter(c) || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':';
}

bool startsWithWord(std::u16string_view s, std::size_t at, std::string_view word) {
    if (s.size() - at < word.size())
        return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (lower(s[at + k]) != static_cast<unsigned char>(word[k]))
            return false;
    return true;
}

std::string ascii(std::u16string_view s) {
    std::string out;
    for (char16_t c : s)
        out.push_back(c < 0x80 ? static_cast<char>(lower(c)) : '?');
    return out;
}

struct Span {
    std::size_t position = 0, length = 0;
};

struct Attribute {
    std::string name; // lower case
    Span value;
};

// The label in s[value]: spaces around it left out; empty when it holds
// more than one word.
Span labelIn(std::u16string_view s, Span value) {
    std::size_t from = value.position, to = value.position + value.length;
    while (from < to && isSpace(s[from]))
        ++from;
    while (to > from && isSpace(s[to - 1]))
        --to;
    for (std::size_t k = from; k < to; ++k)
        if (!isLabelChar(s[k]))
            return {};
    return {from, to - from};
}

// The label after "charset=" in the content of an http-equiv meta.
Span charsetParameter(std::u16string_view s, Span content) {
    const std::size_t end = content.position + content.length;
    for (std::size_t k = content.position; k + 7 <= end; ++k) {
        if (!startsWithWord(s, k, "charset") || (k > content.position && isLabelChar(s[k - 1])))
            continue;
        std::size_t v = k + 7;
        while (v < end && isSpace(s[v]))
            ++v;
        if (v >= end || s[v] != '=')
            continue;
        ++v;
        while (v < end && isSpace(s[v]))
            ++v;
        if (v < end && (s[v] == '"' || s[v] == '\''))
            ++v;
        std::size_t stop = v;
        while (stop < end && isLabelChar(s[stop]))
            ++stop;
        return {v, stop - v};
    }
    return {};
}

// The attributes of the tag whose name ends at `at`, up to its '>' (or
// "?>"), quotes respected; `close` is set to the index past the tag, or npos
// when the text ends inside it.
std::vector<Attribute> attributesFrom(std::u16string_view s, std::size_t at, std::size_t& close) {
    std::vector<Attribute> attributes;
    std::size_t i = at;
    while (i < s.size()) {
        while (i < s.size() && (isSpace(s[i]) || s[i] == '/' || s[i] == '?'))
            ++i;
        if (i >= s.size())
            break;
        if (s[i] == '>') {
            close = i + 1;
            return attributes;
        }
        const std::size_t nameStart = i;
        while (i < s.size() && !isSpace(s[i]) && s[i] != '=' && s[i] != '>' && s[i] != '/')
            ++i;
        Attribute attribute{ascii(s.substr(nameStart, i - nameStart)), {}};
        std::size_t v = i;
        while (v < s.size() && isSpace(s[v]))
            ++v;
        if (v < s.size() && s[v] == '=') {
            ++v;
            while (v < s.size() && isSpace(s[v]))
                ++v;
            if (v < s.size() && (s[v] == '"' || s[v] == '\'')) {
                const std::size_t end = s.find(s[v], v + 1);
                if (end == std::u16string_view::npos)
                    break;
                attribute.value = {v + 1, end - v - 1};
                i = end + 1;
            } else {
                std::size_t end = v;
                while (end < s.size() && !isSpace(s[end]) && s[end] != '>')
                    ++end;
                attribute.value = {v, end - v};
                i = end;
            }
        }
        if (i == nameStart)
            ++i;
        attributes.push_back(std::move(attribute));
    }
    close = std::u16string_view::npos;
    return attributes;
}

const Attribute* find(const std::vector<Attribute>& attributes, std::string_view name) {
    for (const Attribute& a : attributes)
        if (a.name == name)
            return &a;
    return nullptr;
}

// Elements whose content is text to the browser, not tags.
bool holdsRawText(std::string_view tag) {
    return tag == "script" || tag == "style" || tag == "textarea" || tag == "xmp" || tag == "title";
}

// Where the added declaration goes: just inside <head> (or <html> when the
// page has no head tag); npos for a part of a page.
struct HeadStart {
    std::size_t head = std::u16string_view::npos;
    std::size_t html = std::u16string_view::npos;
};

class Scanner {
public:
    explicit Scanner(std::u16string_view s) : s_(s) {}

    std::vector<CharsetMention> mentions;
    HeadStart start;

    void run() {
        for (std::size_t i = s_.find(u'<'); i != std::u16string_view::npos; i = s_.find(u'<', i)) {
            if (startsWithWord(s_, i, "<!--")) {
                const std::size_t end = s_.find(u"-->", i + 4);
                if (end == std::u16string_view::npos)
                    return;
                i = end + 3;
            } else if (startsWithWord(s_, i, "<?xml") && i + 5 < s_.size() && isSpace(s_[i + 5])) {
                std::size_t close = 0;
                const auto attributes = attributesFrom(s_, i + 5, close);
                if (const Attribute* e = find(attributes, "encoding"))
                    note(CharsetMention::Kind::XmlDeclaration, labelIn(s_, e->value), "?xml");
                if (close == std::u16string_view::npos)
                    return;
                i = close;
            } else if (i + 1 < s_.size() && isLetter(s_[i + 1])) {
                i = tag(i);
                if (i == std::u16string_view::npos)
                    return;
            } else {
                ++i;
            }
        }
    }

private:
    std::size_t tag(std::size_t at) {
        std::size_t i = at + 1;
        while (i < s_.size() && !isSpace(s_[i]) && s_[i] != '>' && s_[i] != '/')
            ++i;
        const std::string name = ascii(s_.substr(at + 1, i - at - 1));
        std::size_t close = 0;
        const auto attributes = attributesFrom(s_, i, close);
        if (close == std::u16string_view::npos)
            return close;
        if (name == "head" && start.head == std::u16string_view::npos)
            start.head = close;
        if (name == "html" && start.html == std::u16string_view::npos)
            start.html = close;
        const Attribute* charset = find(attributes, "charset");
        if (name == "meta") {
            const Attribute* equiv = find(attributes, "http-equiv");
            const Attribute* content = find(attributes, "content");
            if (charset)
                note(CharsetMention::Kind::MetaCharset, labelIn(s_, charset->value), name);
            else if (equiv && content &&
                     ascii(s_.substr(equiv->value.position, equiv->value.length)) == "content-type")
                note(CharsetMention::Kind::MetaContentType, charsetParameter(s_, content->value),
                     name);
        } else if (charset) {
            note(CharsetMention::Kind::Link, labelIn(s_, charset->value), name);
        }
        if (holdsRawText(name)) {
            // Up to the element's end tag: a "<meta" inside a script is text.
            for (std::size_t end = s_.find(u"</", close); end != std::u16string_view::npos;
                 end = s_.find(u"</", end + 2))
                if (startsWithWord(s_, end + 2, name))
                    return end;
            return std::u16string_view::npos;
        }
        return close;
    }

    void note(CharsetMention::Kind kind, Span label, std::string_view tag) {
        if (label.length == 0)
            return;
        lines_ += static_cast<std::size_t>(
            std::count_if(s_.begin() + static_cast<std::ptrdiff_t>(counted_),
                          s_.begin() + static_cast<std::ptrdiff_t>(label.position), isBreak));
        counted_ = label.position;
        std::string text;
        for (char16_t c : s_.substr(label.position, label.length))
            text.push_back(static_cast<char>(c));
        mentions.push_back({kind, label.position, label.length, text, std::string(tag), lines_});
    }

    std::u16string_view s_;
    std::size_t counted_ = 0;
    std::size_t lines_ = 1;
};

bool namesSame(std::string_view label, const Encoding& to) {
    const Encoding* named = findEncoding(label);
    return named && (named == &to || (isUtf16(*named) && isUtf16(to)));
}

} // namespace

std::vector<CharsetMention> charsetMentions(std::u16string_view text) {
    Scanner scanner(text);
    scanner.run();
    return std::move(scanner.mentions);
}

DeclarationPlan planDeclarations(std::u16string_view text, const Encoding& to, AddDeclaration add) {
    Scanner scanner(text);
    scanner.run();
    DeclarationPlan plan;
    bool hasMeta = false;
    for (CharsetMention& m : scanner.mentions) {
        if (!m.declares()) {
            plan.leftAlone.push_back(m);
            continue;
        }
        hasMeta = hasMeta || m.kind != CharsetMention::Kind::XmlDeclaration;
        if (!namesSame(m.label, to))
            plan.edits.push_back({m.position, m.length, std::string(to.charset())});
        plan.declarations.push_back(std::move(m));
    }
    // A browser reading HTML takes no encoding from the XML declaration:
    // only a meta makes the page say what it is in.
    if (hasMeta || add == AddDeclaration::Never)
        return plan;
    std::size_t at =
        scanner.start.head != std::u16string_view::npos ? scanner.start.head : scanner.start.html;
    if (at == std::u16string_view::npos)
        return plan;
    std::string meta = "<meta charset=\"" + std::string(to.charset()) + "\">";
    if (at < text.size() && isBreak(text[at])) {
        // On a line of its own, indented as the line it goes before.
        ++at;
        std::size_t indent = at;
        while (indent < text.size() && (text[indent] == ' ' || text[indent] == '\t'))
            ++indent;
        meta = utf16ToUtf8(text.substr(at, indent - at)) + meta + "\n";
    }
    plan.edits.push_back({at, 0, std::move(meta)});
    std::ranges::sort(plan.edits, {}, &TextReplacement::position);
    plan.added = true;
    return plan;
}

std::u16string applyEdits(std::u16string_view text, const std::vector<TextReplacement>& edits) {
    std::u16string out;
    out.reserve(text.size() + 64);
    std::size_t from = 0;
    for (const TextReplacement& e : edits) {
        out.append(text.substr(from, e.position - from));
        out += utf8ToUtf16(e.text);
        from = e.position + e.length;
    }
    out.append(text.substr(from));
    return out;
}

std::string leftAloneNote(const CharsetMention& link) {
    return "<" + link.tag + " charset=\"" + link.label + "\"> (" + std::to_string(link.line) +
           " 行目) はほかのﾌｧｲﾙの文字ｺｰﾄﾞなのでそのままです。";
}

bool isPageName(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return true;
    std::string extension;
    for (char c : fileName.substr(dot + 1))
        extension.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c);
    return extension != "txt";
}

} // namespace zu::convert
