// ISO-2022-JP as mail and old pages write it: ASCII, and runs of other
// sets switched to by escapes: "ESC ( B" ASCII, "ESC ( J" JIS X 0201 Roman
// (0x5C is the yen sign, 0x7E the overline), "ESC ( I" half-width
// katakana, "ESC $ @" and "ESC $ B" JIS X 0208, "ESC $ ( D" JIS X 0212.
// The characters are the JIS tables' (jis.h), shared with EUC-JP.
//
// Files place their escapes in many ways (ESC $ @ or ESC $ B, back to ASCII
// or to Roman, at each line's end or only at the file's, with redundant
// ones), and a file must come back byte for byte. So the escapes are part of
// a character's form: the encoder writes, before each character, the escape
// its set needs and, before each line break and at the end, the one back to
// ASCII; where a file wrote other escapes around a character, the decoder
// remembers them as that character's Variant, and the encoder writes them
// instead. New text follows the file's own escapes: ESC $ @ and ESC ( J
// where the file used them, JIS X 0212 only in a file that has it. Escapes
// that stand by a line break alone (an empty line's) are kept as raw bytes.

#include "core/text/encoding.h"
#include "core/text/jis.h"
#include "core/text/line_breaks.h"

#include <algorithm>
#include <array>
#include <vector>

namespace zu {
namespace {

enum class Set : std::uint8_t { Ascii, Roman, Kana, Jis0208, Jis0212 };

// The escapes, numbered as a form keeps them (3 bits; 0 is none).
constexpr unsigned kNone = 0, kAscii = 1, kRoman = 2, kKana = 3, kJis1978 = 4, kJis0208 = 5,
                   kJis0212 = 6;
constexpr std::array<std::string_view, 7> kEscapeBytes{"",       "\x1B(B", "\x1B(J", "\x1B(I",
                                                       "\x1B$@", "\x1B$B", "\x1B$(D"};
constexpr std::array<Set, 7> kEscapeSet{Set::Ascii,   Set::Ascii,   Set::Roman,  Set::Kana,
                                        Set::Jis0208, Set::Jis0208, Set::Jis0212};

// The escapes the encoder writes only for a file that used them: every use
// is remembered, so that the file's own choice can be told from its forms.
bool isStyleEscape(unsigned e) {
    return e == kRoman || e == kJis1978 || e == kJis0212;
}

// The escapes written around one character instead of the encoder's own,
// packed into a Variant's 16 bits.
struct Form {
    std::array<unsigned char, 2> pre{};  // before the character, in order
    std::array<unsigned char, 2> post{}; // after it, when a line break or the end follows
    bool postGiven = false;              // `post` replaces the encoder's own there
    bool stay = false;                   // a control or space written in the set in force
    bool alt = false;                    // the character's second code in that set

    std::uint16_t pack() const {
        return static_cast<std::uint16_t>(pre[0] | pre[1] << 3 | post[0] << 6 | post[1] << 9 |
                                          postGiven << 12 | stay << 13 | alt << 14);
    }
    static Form unpack(std::uint16_t code) {
        Form f;
        f.pre = {static_cast<unsigned char>(code & 7), static_cast<unsigned char>(code >> 3 & 7)};
        f.post = {static_cast<unsigned char>(code >> 6 & 7),
                  static_cast<unsigned char>(code >> 9 & 7)};
        f.postGiven = (code >> 12 & 1) != 0;
        f.stay = (code >> 13 & 1) != 0;
        f.alt = (code >> 14 & 1) != 0;
        return f;
    }
    static bool valid(std::uint16_t code) {
        const Form f = unpack(code);
        return (code >> 15) == 0 &&
               std::ranges::all_of(f.pre, [](unsigned e) { return e < kEscapeBytes.size(); }) &&
               std::ranges::all_of(f.post, [](unsigned e) { return e < kEscapeBytes.size(); });
    }
};

// The escapes new text takes: the file's own.
struct Style {
    unsigned kanji = kJis0208;
    unsigned back = kAscii; // before a line break
    bool jis0212 = false;

    void note(unsigned e) {
        kanji = e == kJis1978 ? kJis1978 : kanji;
        back = e == kRoman ? kRoman : back;
        jis0212 = jis0212 || e == kJis0212;
    }
    static Style of(std::span<const Variant> variants) {
        Style s;
        for (const Variant& v : variants) {
            if (!Form::valid(v.code))
                continue;
            const Form f = Form::unpack(v.code);
            for (unsigned e : {f.pre[0], f.pre[1], f.post[0], f.post[1]})
                s.note(e);
        }
        return s;
    }
};

bool isControl(char16_t c) {
    return c < 0x21 || c == 0x7F;
}

std::uint16_t planeOf(Set s) {
    return s == Set::Jis0212 ? jis::k0212 : 0;
}

// Whether set `s` holds `c` as the encoder writes (a control or space only
// in ASCII or Roman: the decoder reads them in any set).
bool holds(Set s, char16_t c) {
    if (isControl(c))
        return s == Set::Ascii || s == Set::Roman;
    switch (s) {
    case Set::Ascii:
        return c < 0x80;
    case Set::Roman:
        return (c < 0x80 && c != 0x5C && c != 0x7E) || c == 0xA5 || c == 0x203E;
    case Set::Kana:
        return c >= 0xFF61 && c <= 0xFF9F;
    case Set::Jis0208:
    case Set::Jis0212:
        return c >= 0x80 && jis::codeInPlane(c, planeOf(s), 0) != 0;
    }
    return false;
}

// The encoder's side: the set in force, what switching to a character's
// set and back takes, and the bytes of a character in a set.
class Writer {
public:
    Writer(const Style& style, std::string* out) : style_(style), out_(out) {}

    Set state() const { return state_; }
    void escape(unsigned e) {
        if (e == kNone)
            return;
        if (out_)
            *out_ += kEscapeBytes[e];
        state_ = kEscapeSet[e];
    }
    // The escape to write before `c`: none when the set in force holds it,
    // 0xFF when no set does.
    unsigned switchFor(char16_t c, std::uint16_t twinCode) const {
        if (holds(state_, c))
            return kNone;
        if (c < 0x80)
            return style_.back == kRoman && holds(Set::Roman, c) ? kRoman : kAscii;
        if (c == 0xA5 || c == 0x203E)
            return kRoman;
        if (c >= 0xFF61 && c <= 0xFF9F)
            return kKana;
        if ((twinCode & jis::k0212) && style_.jis0212)
            return kJis0212;
        if (jis::codeInPlane(c, 0, 0) != 0)
            return style_.kanji;
        if (style_.jis0212 && jis::codeInPlane(c, jis::k0212, 0) != 0)
            return kJis0212;
        return 0xFF;
    }
    // The escape to write after the last character before a line break, or
    // at the end.
    unsigned closing(bool atEnd) const {
        if (atEnd)
            return state_ == Set::Ascii ? kNone : kAscii;
        return state_ == Set::Ascii || state_ == Set::Roman ? kNone : style_.back;
    }
    void character(char16_t c, bool alt, std::uint16_t twinCode) {
        if (!out_)
            return;
        if (isControl(c) || state_ == Set::Ascii) {
            out_->push_back(static_cast<char>(c));
        } else if (state_ == Set::Roman) {
            out_->push_back(c == 0xA5 ? '\x5C' : c == 0x203E ? '\x7E' : static_cast<char>(c));
        } else if (state_ == Set::Kana) {
            out_->push_back(static_cast<char>(c - 0xFF61 + 0x21));
        } else {
            std::uint16_t code = jis::codeInPlane(c, planeOf(state_), alt ? 1 : 0);
            if (twinCode != 0 && (twinCode & jis::k0212) == planeOf(state_) && !alt)
                code = twinCode;
            if (code == 0)
                code = jis::codeInPlane(c, planeOf(state_), 0);
            *out_ += {static_cast<char>(code >> 8 & 0x7F), static_cast<char>(code & 0x7F)};
        }
    }

private:
    Style style_;
    std::string* out_;
    Set state_ = Set::Ascii;
};

// What a file's bytes are, before the escapes are given to the characters.
struct Token {
    enum Kind : unsigned char { Char, Raw, Break, Esc } kind;
    unsigned char escape = 0; // Esc
    Set set = Set::Ascii;     // Char: the set it was read in
    LineBreak lineBreak = LineBreak::Lf;
    char16_t ch = 0;        // Char: the character; Raw: the byte
    std::uint16_t code = 0; // Char in a JIS set: its code
    std::array<unsigned char, 2> pre{}, post{};
    bool hasPost = false;
};

unsigned escapeAt(std::string_view bytes, std::size_t i) {
    for (unsigned e = kAscii; e < kEscapeBytes.size(); ++e)
        if (bytes.substr(i, kEscapeBytes[e].size()) == kEscapeBytes[e])
            return e;
    return kNone;
}

// The file's bytes as tokens, each escape switching the set that the
// bytes after it are read in. A run of escapes that stands between two line
// breaks (or a break and the start or the end) belongs to no character and
// is kept raw, switching nothing.
std::vector<Token> tokenize(std::string_view bytes) {
    std::vector<Token> tokens;
    tokens.reserve(bytes.size());
    Set state = Set::Ascii;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const auto raw = [&](unsigned char b) { tokens.push_back({Token::Raw, 0, state, {}, b}); };
    const auto isBreakByte = [&](std::size_t i) { return at(i) == '\r' || at(i) == '\n'; };
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char b = at(i);
        if (b == 0x1B) {
            std::size_t end = i;
            while (end < bytes.size() && escapeAt(bytes, end) != kNone)
                end += kEscapeBytes[escapeAt(bytes, end)].size();
            if (end == i) {
                raw(b);
                ++i;
            } else if ((tokens.empty() || tokens.back().kind == Token::Break) &&
                       (end == bytes.size() || isBreakByte(end))) {
                for (; i < end; ++i)
                    raw(at(i));
            } else {
                for (; i < end; i += kEscapeBytes[escapeAt(bytes, i)].size()) {
                    const unsigned e = escapeAt(bytes, i);
                    tokens.push_back({Token::Esc, static_cast<unsigned char>(e)});
                    state = kEscapeSet[e];
                }
            }
            continue;
        }
        if (b == '\r' || b == '\n') {
            std::size_t length = 0;
            tokens.push_back({Token::Break, 0, state, breakAt(bytes, i, length)});
            i += length;
            continue;
        }
        if (b >= 0x80 || (b == 0x7F && state != Set::Ascii && state != Set::Roman)) {
            raw(b);
            ++i;
            continue;
        }
        char16_t c = b;
        std::uint16_t code = 0;
        std::size_t length = 1;
        if (isControl(b)) {
            // read as themselves in any set
        } else if (state == Set::Roman) {
            c = b == 0x5C ? 0xA5 : b == 0x7E ? 0x203E : b;
        } else if (state == Set::Kana) {
            c = b <= 0x5F ? static_cast<char16_t>(0xFF61 + (b - 0x21)) : 0;
        } else if (state == Set::Jis0208 || state == Set::Jis0212) {
            c = 0;
            if (i + 1 < bytes.size() && jis::isJisByte(at(i + 1))) {
                code = jis::code(b, at(i + 1), planeOf(state));
                c = jis::decode(code);
                length = c != 0 ? 2 : 1;
                if (c == 0) { // a pair that reads as nothing: both bytes kept
                    raw(b);
                    ++i;
                }
            }
        }
        if (c == 0) {
            raw(at(i));
            ++i;
            continue;
        }
        tokens.push_back({Token::Char, 0, state, {}, c, code});
        i += length;
    }
    return tokens;
}

// Gives each run of escapes to the character it stands before, or after
// (where a line break or the end follows); keeps raw the front of a run
// longer than a form holds (only the last two of a run can matter: each
// escape sets the whole state).
std::vector<Token> attachEscapes(const std::vector<Token>& tokens) {
    std::vector<Token> out;
    out.reserve(tokens.size());
    const auto keepRaw = [&](const Token& esc) {
        for (char b : kEscapeBytes[esc.escape])
            out.push_back({Token::Raw, 0, Set::Ascii, {}, static_cast<unsigned char>(b)});
    };
    std::size_t i = 0;
    while (i < tokens.size()) {
        if (tokens[i].kind != Token::Esc) {
            out.push_back(tokens[i++]);
            continue;
        }
        std::size_t end = i;
        while (end < tokens.size() && tokens[end].kind == Token::Esc)
            ++end;
        const bool before = end < tokens.size() && tokens[end].kind != Token::Break;
        const bool after = !before && !out.empty() && out.back().kind != Token::Break;
        if (!before && !after) {
            for (; i < end; ++i)
                keepRaw(tokens[i]);
            continue;
        }
        for (; end - i > 2; ++i)
            keepRaw(tokens[i]);
        std::array<unsigned char, 2> run{};
        for (std::size_t k = 0; i < end; ++i, ++k)
            run[k] = tokens[i].escape;
        if (before) {
            out.push_back(tokens[end]);
            out.back().pre = run;
            i = end + 1;
        } else {
            out.back().post = run;
            out.back().hasPost = true;
        }
    }
    return out;
}

std::vector<unsigned char> escapes(const std::array<unsigned char, 2>& run) {
    std::vector<unsigned char> list;
    for (unsigned char e : run)
        if (e != kNone)
            list.push_back(e);
    return list;
}

class Iso2022JpEncoding final : public Encoding {
public:
    std::string_view name() const override { return "ISO-2022-JP"; }
    std::string_view charset() const override { return "ISO-2022-JP"; }
    bool keepsByteForms() const override { return true; }
    char16_t readsBackAs(char16_t c) const override { return jis::readsBackAs(c); }

    Decoded decodeLines(std::string_view bytes, LineBreakCounts& counts) const override {
        Decoded out = decodeForms(bytes);
        if (encodeLines(out.text, out.breaks, LineBreak::Lf, out.variants, Unmappable::Report)
                .bytes != bytes)
            out = decodeAsAscii(bytes); // cannot happen; be safe: every byte kept
        for (LineBreak kind : out.breaks)
            ++(kind == LineBreak::CrLf ? counts.crLf
               : kind == LineBreak::Cr ? counts.cr
                                       : counts.lf);
        return out;
    }

    Encoded encodeLines(std::u16string_view text, std::span<const LineBreak> breaks,
                        LineBreak fallback, std::span<const Variant> variants,
                        Unmappable policy) const override {
        Encoded out;
        out.bytes.reserve(text.size() + text.size() / 2);
        Writer w(Style::of(variants), &out.bytes);
        BreakSequence kinds(breaks, fallback);
        const Variant* v = variants.data();
        const Variant* const vEnd = v + variants.size();
        std::size_t i = 0;
        while (i < text.size()) {
            const char16_t c = text[i];
            if (isBreakUnit(c)) {
                i += breakLength(text, i);
                out.bytes += lineBreakBytes(kinds.next());
                continue;
            }
            while (v != vEnd && v->index < i)
                ++v;
            const Form form =
                v != vEnd && v->index == i && Form::valid(v->code) ? Form::unpack(v->code) : Form{};
            for (unsigned e : form.pre)
                w.escape(e);
            const std::uint16_t twin = twinCode(c, text, variants);
            std::size_t next = i + 1;
            if (isRawByteChar(c)) {
                out.bytes.push_back(static_cast<char>(c - kRawByteBase));
            } else if (const unsigned e = form.stay ? kNone : w.switchFor(c, twin); e == 0xFF) {
                if (policy == Unmappable::CharacterReference)
                    w.escape(w.switchFor(u'&', 0));
                next = skipUnencodable(text, i, policy, out);
            } else {
                w.escape(e);
                w.character(c, form.alt, twin);
            }
            i = next;
            if (i == text.size() || isBreakUnit(text[i])) {
                if (form.postGiven) {
                    for (unsigned e : form.post)
                        w.escape(e);
                } else {
                    w.escape(w.closing(i == text.size()));
                }
            }
        }
        return out;
    }

private:
    // The code the file gave an input method's character elsewhere, which
    // new ones take too (see jis.h); 0 for any other character.
    static std::uint16_t twinCode(char16_t c, std::u16string_view text,
                                  std::span<const Variant> variants) {
        if (c < 0x80 || jis::readsBackAs(c) == c)
            return 0;
        for (const Variant& v : variants) {
            if (v.index < text.size() && text[v.index] == c && Form::valid(v.code) &&
                (Form::unpack(v.code).pre[0] == kJis0212 ||
                 Form::unpack(v.code).pre[1] == kJis0212))
                return jis::codeInPlane(c, jis::k0212, 0);
        }
        return 0;
    }

    // Reads every escape, and notes where the file wrote other escapes than
    // the encoder would.
    static Decoded decodeForms(std::string_view bytes) {
        const std::vector<Token> tokens = attachEscapes(tokenize(bytes));
        Style style;
        for (const Token& t : tokens)
            for (unsigned e : {t.pre[0], t.pre[1], t.post[0], t.post[1]})
                style.note(e);
        Decoded out;
        out.text.reserve(tokens.size());
        Writer w(style, nullptr);
        for (std::size_t k = 0; k < tokens.size(); ++k) {
            const Token& t = tokens[k];
            if (t.kind == Token::Break) {
                out.breaks.push_back(t.lineBreak);
                out.text.push_back(u'\n');
                continue;
            }
            Form form;
            form.pre = t.pre;
            bool given = std::ranges::any_of(t.pre, isStyleEscape);
            const std::vector<unsigned char> pre = escapes(t.pre);
            if (t.kind == Token::Raw) {
                given = given || !pre.empty();
                for (unsigned e : pre)
                    w.escape(e);
            } else {
                const unsigned wanted = w.switchFor(t.ch, 0);
                given = given || pre != escapes({static_cast<unsigned char>(wanted), 0});
                for (unsigned e : pre)
                    w.escape(e);
                if (given && !holds(w.state(), t.ch))
                    form.stay = true;
                if (!given)
                    w.escape(wanted);
                if (t.code != 0 && jis::codeInPlane(t.ch, planeOf(t.set), 0) != t.code)
                    form.alt = given = true;
            }
            const bool last = k + 1 == tokens.size() || tokens[k + 1].kind == Token::Break;
            if (last) {
                const unsigned closing = w.closing(k + 1 == tokens.size());
                const std::vector<unsigned char> post = escapes(t.post);
                if (std::ranges::any_of(post, isStyleEscape) ||
                    post != escapes({static_cast<unsigned char>(closing), 0})) {
                    form.post = t.post;
                    form.postGiven = given = true;
                }
                for (unsigned e : post)
                    w.escape(e);
            }
            if (given)
                out.variants.push_back({out.text.size(), form.pack()});
            if (t.kind == Token::Raw) {
                out.text.push_back(static_cast<char16_t>(kRawByteBase + t.ch));
                ++out.rawBytes;
            } else {
                out.text.push_back(t.ch);
            }
        }
        return out;
    }

    // Every byte as itself, each ESC kept raw: what any file can be read as
    // and written back from.
    static Decoded decodeAsAscii(std::string_view bytes) {
        Decoded out;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (b == '\r' || b == '\n') {
                std::size_t length = 0;
                out.breaks.push_back(breakAt(bytes, i, length));
                out.text.push_back(u'\n');
                i += length - 1;
            } else if (b >= 0x80 || b == 0x1B) {
                out.text.push_back(static_cast<char16_t>(kRawByteBase + b));
                ++out.rawBytes;
            } else {
                out.text.push_back(b);
            }
        }
        return out;
    }
};

} // namespace

const Encoding& iso2022JpEncoding() {
    static const Iso2022JpEncoding encoding;
    return encoding;
}

} // namespace zu
