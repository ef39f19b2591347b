// Tags not closed, closed in the wrong order or closed without being opened,
// and elements HTML does not have. The page's tags are followed on a stack
// of open elements, with HTML's rules for the end tags a page may leave out
// (a <p> ends where a block starts, an <li> where the next one starts) so
// that a page written to those rules is not reported.
//
// HTML Tidy's library would report the same faults, with line and column,
// from UTF-8 text in memory; but parsing the 4 MB page of zu_bench_tags
// takes it two to four times as long as zu takes to open that page, where
// this whole check takes less. Its columns also count a tab as a tab stop,
// its messages are English, and it follows a fault with notes on how it
// mended it, which a reader of this list would have to skip.

#include "core/check/check_parts.h"
#include "core/text/utf.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>

namespace zu::check {
namespace {

enum Flags : std::uint8_t {
    Void = 1,        // never has content or an end tag: <br>, <img>
    OptionalEnd = 2, // its end tag may be left out: <p>, <li>, <td>
    ClosesP = 4,     // its start tag ends an open <p>
    HeadOnly = 8,    // belongs in the head: it does not end the head
    EndsOthers = 16, // its start tag may end others: it has a row in kImpliedEnds
};

struct ElementRow {
    std::string_view name;
    std::uint8_t flags;
};

// HTML's elements, with those of its earlier versions that browsers still
// know (font, center, frame...). Sorted by name.
constexpr ElementRow kElements[] = {
    {"a", 0},
    {"abbr", 0},
    {"acronym", 0},
    {"address", ClosesP},
    {"applet", 0},
    {"area", Void},
    {"article", ClosesP},
    {"aside", ClosesP},
    {"audio", 0},
    {"b", 0},
    {"base", Void | HeadOnly},
    {"basefont", Void},
    {"bdi", 0},
    {"bdo", 0},
    {"bgsound", Void},
    {"big", 0},
    {"blink", 0},
    {"blockquote", ClosesP},
    {"body", OptionalEnd},
    {"br", Void},
    {"button", 0},
    {"canvas", 0},
    {"caption", OptionalEnd},
    {"center", ClosesP},
    {"cite", 0},
    {"code", 0},
    {"col", Void},
    {"colgroup", OptionalEnd},
    {"data", 0},
    {"datalist", 0},
    {"dd", OptionalEnd | ClosesP | EndsOthers},
    {"del", 0},
    {"details", ClosesP},
    {"dfn", 0},
    {"dialog", ClosesP},
    {"dir", ClosesP},
    {"div", ClosesP},
    {"dl", ClosesP},
    {"dt", OptionalEnd | ClosesP | EndsOthers},
    {"em", 0},
    {"embed", Void},
    {"fieldset", ClosesP},
    {"figcaption", ClosesP},
    {"figure", ClosesP},
    {"font", 0},
    {"footer", ClosesP},
    {"form", ClosesP},
    {"frame", Void},
    {"frameset", 0},
    {"h1", ClosesP},
    {"h2", ClosesP},
    {"h3", ClosesP},
    {"h4", ClosesP},
    {"h5", ClosesP},
    {"h6", ClosesP},
    {"head", OptionalEnd},
    {"header", ClosesP},
    {"hgroup", ClosesP},
    {"hr", Void | ClosesP},
    {"html", OptionalEnd},
    {"i", 0},
    {"iframe", 0},
    {"img", Void},
    {"input", Void},
    {"ins", 0},
    {"isindex", Void},
    {"kbd", 0},
    {"keygen", Void},
    {"label", 0},
    {"legend", 0},
    {"li", OptionalEnd | ClosesP | EndsOthers},
    {"link", Void | HeadOnly},
    {"listing", ClosesP},
    {"main", ClosesP},
    {"map", 0},
    {"mark", 0},
    {"marquee", 0},
    {"math", 0},
    {"menu", ClosesP},
    {"meta", Void | HeadOnly},
    {"meter", 0},
    {"nav", ClosesP},
    {"nobr", 0},
    {"noembed", 0},
    {"noframes", HeadOnly},
    {"noscript", HeadOnly},
    {"object", 0},
    {"ol", ClosesP},
    {"optgroup", OptionalEnd | EndsOthers},
    {"option", OptionalEnd | EndsOthers},
    {"output", 0},
    {"p", OptionalEnd | ClosesP},
    {"param", Void},
    {"picture", 0},
    {"plaintext", ClosesP},
    {"pre", ClosesP},
    {"progress", 0},
    {"q", 0},
    {"rb", OptionalEnd | EndsOthers},
    {"rp", OptionalEnd | EndsOthers},
    {"rt", OptionalEnd | EndsOthers},
    {"rtc", OptionalEnd | EndsOthers},
    {"ruby", 0},
    {"s", 0},
    {"samp", 0},
    {"script", HeadOnly},
    {"search", ClosesP},
    {"section", ClosesP},
    {"select", 0},
    {"slot", 0},
    {"small", 0},
    {"source", Void},
    {"spacer", Void},
    {"span", 0},
    {"strike", 0},
    {"strong", 0},
    {"style", HeadOnly},
    {"sub", 0},
    {"summary", 0},
    {"sup", 0},
    {"svg", 0},
    {"table", ClosesP},
    {"tbody", OptionalEnd | EndsOthers},
    {"td", OptionalEnd | EndsOthers},
    {"template", HeadOnly},
    {"textarea", 0},
    {"tfoot", OptionalEnd | EndsOthers},
    {"th", OptionalEnd | EndsOthers},
    {"thead", OptionalEnd | EndsOthers},
    {"time", 0},
    {"title", HeadOnly},
    {"tr", OptionalEnd | EndsOthers},
    {"track", Void},
    {"tt", 0},
    {"u", 0},
    {"ul", ClosesP},
    {"var", 0},
    {"video", 0},
    {"wbr", Void},
    {"xmp", ClosesP},
};

constexpr bool sortedByName() {
    for (std::size_t i = 1; i < std::size(kElements); ++i)
        if (!(kElements[i - 1].name < kElements[i].name))
            return false;
    return true;
}
static_assert(sortedByName(), "the table is searched by halves");

// A start tag that ends open elements whose end tag was left out: the
// elements it ends, looked for from the innermost open one outwards, and
// the elements past which the search does not go (a list's items end at
// the next item of the same list, not of the list around it).
struct ImpliedEnd {
    std::string_view start;
    std::array<std::string_view, 8> ends;
    std::array<std::string_view, 4> within;
};
constexpr ImpliedEnd kImpliedEnds[] = {
    {"li", {"li"}, {"ul", "ol", "menu", "dir"}},
    {"dt", {"dt", "dd"}, {"dl"}},
    {"dd", {"dt", "dd"}, {"dl"}},
    {"tr", {"tr", "td", "th", "caption", "colgroup"}, {"table", "thead", "tbody", "tfoot"}},
    {"td", {"td", "th"}, {"tr", "table"}},
    {"th", {"td", "th"}, {"tr", "table"}},
    {"thead", {"thead", "tbody", "tfoot", "tr", "td", "th", "caption", "colgroup"}, {"table"}},
    {"tbody", {"thead", "tbody", "tfoot", "tr", "td", "th", "caption", "colgroup"}, {"table"}},
    {"tfoot", {"thead", "tbody", "tfoot", "tr", "td", "th", "caption", "colgroup"}, {"table"}},
    {"option", {"option"}, {"select", "datalist", "optgroup"}},
    {"optgroup", {"option", "optgroup"}, {"select", "datalist"}},
    {"rb", {"rb", "rt", "rtc", "rp"}, {"ruby"}},
    {"rt", {"rb", "rt", "rp"}, {"ruby"}},
    {"rtc", {"rb", "rt", "rtc", "rp"}, {"ruby"}},
    {"rp", {"rb", "rt", "rp"}, {"ruby"}},
};

constexpr bool impliedEndsFlagged() {
    for (const ImpliedEnd& rule : kImpliedEnds) {
        bool flagged = false;
        for (const ElementRow& row : kElements)
            flagged = flagged || (row.name == rule.start && (row.flags & EndsOthers));
        if (!flagged)
            return false;
    }
    return true;
}
static_assert(impliedEndsFlagged(), "a start tag with a row in kImpliedEnds is marked so");

template <std::size_t N>
bool among(const std::array<std::string_view, N>& names, std::string_view n) {
    return std::find(names.begin(), names.end(), n) != names.end();
}

// An element's name in lower case, as its table row and stack entry use
// it: ASCII letters lowered, anything else made UTF-8.
std::string lowerName(std::u16string_view name) {
    std::string out;
    out.reserve(name.size());
    for (const char16_t c : name) {
        if (c < 0x80)
            out.push_back(static_cast<char>(c >= u'A' && c <= u'Z' ? c + 32 : c));
        else
            out += utf16ToUtf8(std::u16string_view(&c, 1));
    }
    return out;
}

constexpr const ElementRow* rowOf(std::string_view name) {
    const auto* row =
        std::lower_bound(std::begin(kElements), std::end(kElements), name,
                         [](const ElementRow& r, std::string_view n) { return r.name < n; });
    return row != std::end(kElements) && row->name == name ? row : nullptr;
}
constexpr const ElementRow* kHead = rowOf("head");
constexpr const ElementRow* kP = rowOf("p");

class Nesting : public TokenReader {
public:
    explicit Nesting(Findings& out) : out_(out) {}

    void read(const Page& page, const Token& t) override {
        page_ = &page;
        if (t.unterminated && t.kind != Token::Kind::Text && t.kind != Token::Kind::RawText)
            unterminated(t);
        if (t.foreign)
            return;
        if (t.kind == Token::Kind::StartTag)
            startTag(t);
        else if (t.kind == Token::Kind::EndTag)
            endTag(t);
    }

    void end(const Page& page) override {
        for (const Open& e : stack_)
            if (mustClose(e))
                out_.add(Rule::UnclosedElement, e.tag.start, e.tag.end, {page.name(e.tag)});
    }

private:
    struct Open {
        std::string name;
        const ElementRow* row; // null: an element HTML does not have
        Token tag;
    };

    const Page* page_ = nullptr;
    Findings& out_;
    std::vector<Open> stack_;
    // How many elements of each name are open, so that an end tag with no
    // element to close is known at once and not looked for down the whole
    // stack: HTML's by their row, others by name.
    std::array<std::size_t, std::size(kElements)> openKnown_{};
    std::unordered_map<std::string, std::size_t> openOther_;
    // Elements left open by an end tag that closed an element around them,
    // reported then: their own end tag, when it comes, is not reported again.
    std::unordered_map<std::string, std::size_t> passed_;

    static bool mustClose(const Open& e) {
        // An unknown element is reported as unknown, once.
        return e.row && !(e.row->flags & OptionalEnd) && e.name.find('-') == std::string::npos;
    }
    static bool isCustom(std::string_view name) { return name.find('-') != std::string_view::npos; }

    std::size_t& openCount(const ElementRow* row, const std::string& name) {
        return row ? openKnown_[static_cast<std::size_t>(row - kElements)] : openOther_[name];
    }
    void push(std::string name, const ElementRow* row, const Token& t) {
        ++openCount(row, name);
        stack_.push_back({std::move(name), row, t});
    }
    void pop() {
        --openCount(stack_.back().row, stack_.back().name);
        stack_.pop_back();
    }
    bool topIs(const ElementRow* row) const { return !stack_.empty() && stack_.back().row == row; }

    void unterminated(const Token& t) {
        // What the tag starts with: "<!--", "<!", "<?", "<img", "</p".
        const std::size_t shown =
            std::min(t.end - t.start, t.kind == Token::Kind::Comment       ? 4
                                      : t.kind == Token::Kind::Declaration ? 2
                                                                           : t.nameEnd - t.start);
        out_.add(Rule::UnterminatedTag, t.start, t.end, {page_->text.substr(t.start, shown)});
    }

    void startTag(const Token& t) {
        std::string name = lowerName(page_->name(t));
        const ElementRow* row = rowOf(name);
        if (!row && !isCustom(name))
            out_.add(Rule::UnknownElement, t.start, t.end, {page_->name(t)});
        const std::uint8_t flags = row ? row->flags : 0;
        if (topIs(kHead) && !(flags & HeadOnly))
            pop(); // the head ends where the body's content starts
        if (flags & ClosesP && topIs(kP))
            pop();
        if (flags & EndsOthers)
            for (const ImpliedEnd& rule : kImpliedEnds)
                if (rule.start == name)
                    endImplied(rule);
        if (flags & Void || t.selfClosing || t.unterminated)
            return;
        push(std::move(name), row, t);
    }

    void endImplied(const ImpliedEnd& rule) {
        while (!stack_.empty()) {
            const std::string& top = stack_.back().name;
            if (among(rule.within, top))
                return;
            if (!among(rule.ends, top) && top != "p")
                return;
            pop();
        }
    }

    void endTag(const Token& t) {
        const std::string name = lowerName(page_->name(t));
        const ElementRow* row = rowOf(name);
        if (openCount(row, name) == 0) {
            if (auto passed = passed_.find(name); passed != passed_.end() && passed->second > 0)
                --passed->second;
            else if (name != "html" && name != "head" && name != "body")
                out_.add(Rule::StrayEndTag, t.start, t.end, {page_->name(t)});
            return;
        }
        while (row ? stack_.back().row != row : stack_.back().name != name) {
            const Open& inner = stack_.back();
            if (mustClose(inner)) {
                out_.add(Rule::MisnestedElement, t.start, t.end,
                         {page_->name(t), page_->name(inner.tag)});
                ++passed_[inner.name];
            }
            pop();
        }
        pop();
    }
};

} // namespace

std::unique_ptr<TokenReader> structureChecks(Findings& out) {
    return std::make_unique<Nesting>(out);
}

} // namespace zu::check
