// What a reader without sight gets of images, links and the page itself:
// the alt texts and link texts that name them, and the page's title,
// language, character set, refresh and ids.

#include "core/check/check_parts.h"
#include "core/text/detect_encoding.h"
#include "core/text/encoding.h"
#include "core/text/utf.h"

#include <algorithm>
#include <unordered_map>

namespace zu::check {
namespace {

// Words that say an image is there and nothing about it.
constexpr std::u16string_view kPlaceholderAlts[] = {
    u"画像",   u"写真",    u"図",     u"イメージ", u"アイコン", u"バナー", u"スペーサー",
    u"空白",   u"image",   u"img",    u"photo",    u"picture",  u"pic",    u"icon",
    u"spacer", u"graphic", u"banner", u"blank",    u"dummy",    u"*",
};

// Link texts that say nothing of where the link goes, out of context.
constexpr std::u16string_view kVagueLinkTexts[] = {
    u"こちら",         u"ここ",           u"こちらをクリック",
    u"ここをクリック", u"詳しくはこちら", u"詳細はこちら",
    u"詳細",           u"もっと見る",     u"続き",
    u"続きを読む",     u"click here",     u"here",
    u"click",          u"more",           u"read more",
    u"link",
};

// Titles that editors and page generators put in and nobody changed.
constexpr std::u16string_view kPlaceholderTitles[] = {
    u"無題",       u"無題ドキュメント",  u"タイトル",      u"タイトルなし",
    u"untitled",   u"untitled document", u"untitled page", u"new page",
    u"new page 1", u"document",          u"title",         u"no title",
};

constexpr std::u16string_view kImageExtensions[] = {u".gif", u".jpg",  u".jpeg", u".png", u".bmp",
                                                    u".svg", u".webp", u".ico",  u".tif", u".tiff"};

// Characters that frame a link's text without being part of it
// ("≫こちら", "こちら。").
constexpr std::u16string_view kLinkFrame = u"。、.,!！?？>＞<＜»«≫≪→←▶▷►・:：[]［］()（）「」『』";

// `text` for comparing with the lists: references resolved, blanks at the
// ends dropped and inside made one space, ASCII letters made lower case.
std::u16string normalized(std::u16string_view raw) {
    const std::u16string resolved = resolveReferences(raw);
    std::u16string out;
    for (const char16_t c : trimBlanks(resolved)) {
        if (isBlank(c)) {
            if (out.back() != u' ')
                out.push_back(u' ');
        } else {
            out.push_back(c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c);
        }
    }
    return out;
}

template <std::size_t N>
bool listed(const std::u16string_view (&list)[N], std::u16string_view value) {
    return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

// Whether a text holds anything but blanks.
bool readable(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t blank = blankAt(text, i);
        if (blank == 0)
            return true;
        i += blank;
    }
    return false;
}

std::size_t characterCount(std::u16string_view text) {
    std::size_t n = 0;
    for (const char16_t c : text)
        n += !isLowSurrogate(c);
    return n;
}

bool endsWithIgnoringCase(std::u16string_view lowerText, std::u16string_view suffix) {
    return lowerText.size() > suffix.size() &&
           lowerText.substr(lowerText.size() - suffix.size()) == suffix;
}

bool sameEncoding(const Encoding& a, const Encoding& b) {
    return &a == &b || (isUtf16(a) && isUtf16(b));
}

class ElementScan : public TokenReader {
public:
    ElementScan(const PageFacts& facts, LineStarts& lines, Findings& out)
        : facts_(facts), lines_(lines), out_(out) {}

    void read(const Page& page, const Token& t) override {
        page_ = &page;
        if (t.foreign)
            return;
        if (afterTitle_) {
            afterTitle_ = false;
            if (t.kind == Token::Kind::Text)
                titleText_ = t;
        }
        if (t.kind == Token::Kind::Text) {
            if (link_)
                linkText(text(t));
            return;
        }
        if (t.kind == Token::Kind::Declaration) {
            wholePage_ = wholePage_ || nameIs(text(t).substr(0, 9), "<!doctype");
            return;
        }
        if (link_)
            link_->end = t.end; // a new link's tag is taken back in startTag
        if (t.kind == Token::Kind::EndTag && nameIs(page.name(t), "a"))
            endLink();
        if (t.kind == Token::Kind::StartTag)
            startTag(t);
    }

    void end(const Page& page) override {
        page_ = &page;
        endLink();
        if (wholePage_)
            pageRules();
        charset();
    }

private:
    struct Link {
        Token tag;
        bool named = false; // it has text, or an image with a text
        bool hasImage = false;
        std::optional<Token> emptyAlt; // an image in it with alt=""
        std::u16string text;           // what a reader gets of it, up to a limit
        std::size_t end = 0;           // of what it holds so far
    };

    const PageFacts& facts_;
    LineStarts& lines_;
    Findings& out_;
    const Page* page_ = nullptr;
    std::optional<Link> link_;
    bool wholePage_ = false;
    std::optional<Token> html_;
    bool lang_ = false; // the html tag names a language
    std::optional<Token> head_;
    std::optional<Token> title_;
    std::optional<Token> titleText_;
    bool afterTitle_ = false;
    std::unordered_map<std::u16string, std::size_t> ids_;

    std::u16string_view text(const Token& t) const {
        return page_->text.substr(t.start, t.end - t.start);
    }
    std::u16string_view value(const Attribute& a) const { return page_->value(a); }
    const Attribute* attribute(std::string_view name) const { return page_->attribute(name); }

    static Link linkOf(const Token& t) {
        Link link;
        link.tag = t;
        link.end = t.end;
        return link;
    }

    void startTag(const Token& t) {
        const std::u16string_view name = page_->name(t);
        if (nameIs(name, "a")) {
            if (link_)
                link_->end = t.start;
            endLink(); // a link never holds another: the new one ends it
            if (attribute("href")) {
                link_ = linkOf(t);
                const Attribute* label = attribute("aria-label");
                link_->named = attribute("aria-labelledby") || (label && readable(value(*label)));
            }
        } else if (nameIs(name, "img")) {
            image(t, u"<img>", link_ ? &*link_ : nullptr);
        } else if (nameIs(name, "area")) {
            if (attribute("href")) {
                Link area = linkOf(t);
                image(t, u"<area>", &area);
                endLink(area);
            }
        } else if (nameIs(name, "input")) {
            const Attribute* type = attribute("type");
            if (type && nameIs(trimBlanks(value(*type)), "image")) {
                Link button = linkOf(t);
                image(t, u"<input type=\"image\">", &button);
                endLink(button);
            }
        } else if (nameIs(name, "html")) {
            wholePage_ = true;
            if (!html_) {
                html_ = t;
                const Attribute* lang = attribute("lang");
                lang = lang ? lang : attribute("xml:lang");
                lang_ = lang && readable(value(*lang));
            }
        } else if (nameIs(name, "head")) {
            wholePage_ = true;
            head_ = head_ ? head_ : t;
        } else if (nameIs(name, "body")) {
            wholePage_ = true;
        } else if (nameIs(name, "title")) {
            wholePage_ = true;
            if (!title_) {
                title_ = t;
                afterTitle_ = true;
            }
        } else if (nameIs(name, "meta")) {
            refresh(t);
        }
        if (const Attribute* id = attribute("id"))
            identifier(*id);
    }

    // An image's text. `link` is the link or button the image stands in,
    // when it stands in one.
    void image(const Token& t, std::u16string_view element, Link* link) {
        if (link)
            link->hasImage = true;
        const Attribute* alt = attribute("alt");
        if (!alt) {
            out_.add(Rule::MissingAlt, t.start, t.end, {element});
            return;
        }
        const std::u16string_view raw = value(*alt);
        const std::size_t start = alt->valueStart, end = alt->valueEnd;
        if (raw.empty()) {
            if (link && !link->emptyAlt)
                link->emptyAlt = t;
            return;
        }
        const std::u16string text = normalized(raw);
        if (link && !text.empty()) {
            link->named = true;
            link->text += raw;
        }
        if (text.empty()) {
            out_.add(Rule::BlankAlt, start, end);
            return;
        }
        if (fileName(text))
            out_.add(Rule::FileNameAlt, start, end, {raw});
        else if (listed(kPlaceholderAlts, text))
            out_.add(Rule::PlaceholderAlt, start, end, {raw});
        if (const std::size_t n = characterCount(resolveReferences(raw)); n > 150)
            out_.add(Rule::LongAlt, start, end, {decimal(n)});
    }

    // Whether an alt text (normalized) is a file name: the name of the
    // image itself, or one word ending as image files do.
    bool fileName(std::u16string_view text) const {
        if (const Attribute* src = attribute("src")) {
            std::u16string source = normalized(value(*src));
            source.erase(0, source.find_last_of(u'/') + 1);
            if (!source.empty() && source == text)
                return true;
        }
        if (text.find(u' ') != std::u16string_view::npos)
            return false;
        return std::any_of(std::begin(kImageExtensions), std::end(kImageExtensions),
                           [&](std::u16string_view e) { return endsWithIgnoringCase(text, e); });
    }

    void endLink() {
        if (link_)
            endLink(*link_);
        link_.reset();
    }

    // Text inside the link being read.
    void linkText(std::u16string_view text) {
        link_->end = static_cast<std::size_t>(text.data() + text.size() - page_->text.data());
        if (!readable(text))
            return;
        link_->named = true;
        // Long enough for every listed text and its frame: a longer text is
        // not one of them anyway.
        if (link_->text.size() < 64)
            link_->text += text.substr(0, 64);
    }

    void endLink(const Link& link) {
        if (link.named) {
            std::u16string text = normalized(link.text);
            const std::size_t first = text.find_first_not_of(kLinkFrame);
            text.erase(0, first == std::u16string::npos ? text.size() : first);
            text.erase(text.find_last_not_of(kLinkFrame) + 1);
            if (listed(kVagueLinkTexts, trimBlanks(text)))
                out_.add(Rule::VagueLinkText, link.tag.start,
                         std::max<std::size_t>(link.end, link.tag.end), {trimBlanks(text)});
            return;
        }
        if (link.emptyAlt)
            out_.add(Rule::EmptyAltInLink, link.emptyAlt->start, link.emptyAlt->end);
        else if (!link.hasImage)
            out_.add(Rule::EmptyLink, link.tag.start, link.tag.end);
        // An image with no alt at all has been reported as such.
    }

    void refresh(const Token& t) {
        const Attribute* equiv = attribute("http-equiv");
        if (!equiv || !nameIs(trimBlanks(value(*equiv)), "refresh"))
            return;
        const Attribute* content = attribute("content");
        std::size_t delay = 0;
        for (const char16_t c : content ? trimBlanks(value(*content)) : std::u16string_view()) {
            if (c < u'0' || c > u'9')
                break;
            delay = std::min<std::size_t>(delay * 10 + (c - u'0'), 999999);
        }
        if (delay > 0)
            out_.add(Rule::TimedRefresh, t.start, t.end, {decimal(delay)});
        else
            out_.add(Rule::Redirect, t.start, t.end);
    }

    void identifier(const Attribute& id) {
        const std::u16string key = resolveReferences(value(id));
        const auto [first, added] = ids_.try_emplace(key, id.valueStart);
        if (!added)
            out_.add(Rule::DuplicateId, id.valueStart, id.valueEnd,
                     {value(id), decimal(lines_.lineOf(first->second))});
    }

    // Where a finding about something the page lacks is shown: its head, or
    // its html tag, or its start.
    std::pair<std::size_t, std::size_t> missingAt() const {
        const std::optional<Token>& at = head_ ? head_ : html_;
        if (!at)
            return {0, 0};
        return {at->start, at->end};
    }

    void pageRules() {
        if (!title_) {
            out_.add(Rule::MissingTitle, missingAt().first, missingAt().second);
        } else {
            const std::u16string_view raw = titleText_ ? text(*titleText_) : std::u16string_view();
            const std::u16string normal = normalized(raw);
            if (normal.empty())
                out_.add(Rule::EmptyTitle, title_->start, title_->end);
            else if (listed(kPlaceholderTitles, normal))
                out_.add(Rule::PlaceholderTitle, titleText_->start, titleText_->end,
                         {trimBlanks(raw)});
        }
        if (!lang_)
            out_.add(Rule::MissingLang, html_ ? html_->start : 0, html_ ? html_->end : 0);
        if (!findHeadDeclaration(page_->text, Labels::Any))
            out_.add(Rule::MissingCharset, missingAt().first, missingAt().second);
    }

    // A declaration that names another encoding than the file's: a browser
    // that believes it shows the page garbled. Checked in parts of pages
    // too, wherever one is declared.
    void charset() {
        // Found as opening the file finds it, so that the check and the
        // encoding zu read the page in speak of the same declaration.
        const std::optional<CharsetDeclaration> declared =
            findHeadDeclaration(page_->text, Labels::Supported);
        if (!declared || !facts_.encoding)
            return;
        const std::size_t start = declared->position, end = start + declared->length;
        const std::u16string_view label = page_->text.substr(start, declared->length);
        const Encoding* named = findEncoding(utf16ToUtf8(label));
        if (!named || sameEncoding(*named, *facts_.encoding))
            return;
        out_.add(Rule::CharsetMismatch, start, end, {label, ascii(facts_.encoding->name())},
                 Fix{start, end, ascii(facts_.encoding->charset())});
    }

    static std::u16string ascii(std::string_view text) {
        return std::u16string(text.begin(), text.end());
    }
};

} // namespace

std::unique_ptr<TokenReader> elementChecks(const PageFacts& facts, LineStarts& lines,
                                           Findings& out) {
    return std::make_unique<ElementScan>(facts, lines, out);
}

} // namespace zu::check
