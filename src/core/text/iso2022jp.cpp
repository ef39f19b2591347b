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
    // Whether `code` can be a form of `c` that the decoder made. A document
    // switched from another encoding still holds that encoding's codes: a
    // CP932 or JIS X 0212 code has the top bit, and each of EUC-JP's other
    // variant codes (rows 13 and 89..92) has the `stay` bit, which the
    // decoder only gives controls.
    static bool valid(std::uint16_t code, char16_t c) {
        const Form f = unpack(code);
        return (code >> 15) == 0 && !(f.stay && c >= 0x21) &&
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
    static Style of(std::u16string_view text, std::span<const Variant> variants) {
        Style s;
        for (const Variant& v : variants) {
            if (v.index >= text.size() || !Form::valid(v.code, text[v.index]))
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

using Run = std::array<unsigned char, 2>;

// A character, or a byte kept raw, as the file has it, with the escapes
// that stand right before it.
struct Unit {
    char16_t ch;            // the character, or the raw byte
    std::uint16_t code = 0; // a character of a JIS set: its code
    Set set = Set::Ascii;   // the set it was read in
    bool raw = false;
    Run pre{};
};

unsigned escapeAt(std::string_view bytes, std::size_t i) {
    for (unsigned e = kAscii; e < kEscapeBytes.size(); ++e)
        if (bytes.substr(i, kEscapeBytes[e].size()) == kEscapeBytes[e])
            return e;
    return kNone;
}

// Walks the bytes as a reader of ISO-2022-JP does, each escape switching the
// set the bytes after it are read in, and hands `sink` each unit, the
// escapes after the last unit before a line break or the end (post), and
// each line break. A run of escapes with no unit before or after it on its
// line (on an empty line, say) belongs to no character: it is handed on as
// raw bytes and switches nothing. Of a longer run than a form holds, the
// front is handed on raw (only the last two can matter: each escape sets
// the whole state).
template <typename Sink> void scan(std::string_view bytes, Sink& sink) {
    Set state = Set::Ascii;
    bool afterUnit = false;
    Run pre{};
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const auto raw = [&](unsigned char b) {
        sink.unit(Unit{b, 0, state, true, pre});
        pre = {};
        afterUnit = true;
    };
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char b = at(i);
        if (b == 0x1B) {
            std::vector<unsigned char> run;
            std::size_t end = i;
            for (unsigned e; end < bytes.size() && (e = escapeAt(bytes, end)) != kNone;
                 end += kEscapeBytes[e].size())
                run.push_back(static_cast<unsigned char>(e));
            const bool beforeBreak = end == bytes.size() || at(end) == '\r' || at(end) == '\n';
            if (run.empty() || (!afterUnit && beforeBreak)) {
                for (end = std::max(end, i + 1); i < end; ++i)
                    raw(at(i));
                continue;
            }
            for (std::size_t k = 0; k + 2 < run.size(); ++k)
                for (char e : kEscapeBytes[run[k]])
                    raw(static_cast<unsigned char>(e));
            const Run last{run.size() >= 2 ? run[run.size() - 2] : run.back(),
                           run.size() >= 2 ? run.back() : static_cast<unsigned char>(kNone)};
            state = kEscapeSet[run.back()];
            if (beforeBreak)
                sink.post(last, end == bytes.size());
            else
                pre = last;
            i = end;
            continue;
        }
        if (b == '\r' || b == '\n') {
            std::size_t length = 0;
            sink.lineBreak(breakAt(bytes, i, length));
            afterUnit = false;
            i += length;
            continue;
        }
        char16_t c = b;
        std::uint16_t code = 0;
        if (b >= 0x80 || (b == 0x7F && state != Set::Ascii && state != Set::Roman)) {
            c = 0;
        } else if (isControl(b)) {
            // read as themselves in any set
        } else if (state == Set::Roman) {
            c = b == 0x5C ? 0xA5 : b == 0x7E ? 0x203E : b;
        } else if (state == Set::Kana) {
            c = b <= 0x5F ? static_cast<char16_t>(0xFF61 + (b - 0x21)) : 0;
        } else if (state == Set::Jis0208 || state == Set::Jis0212) {
            c = 0;
            if (i + 1 < bytes.size() && jis::isJisByte(at(i + 1))) {
                code = jis::code(b, at(i + 1), planeOf(state));
                if ((c = jis::decode(code)) == 0) { // a pair that reads as nothing: both kept
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
        sink.unit(Unit{c, code, state, false, pre});
        pre = {};
        afterUnit = true;
        i += code != 0 ? 2 : 1;
    }
    sink.end();
}

// The escapes the file's characters carry, which make its style.
struct StyleSink {
    Style style;
    void unit(const Unit& u) {
        for (unsigned e : u.pre)
            style.note(e);
    }
    void post(const Run& run, bool) {
        for (unsigned e : run)
            style.note(e);
    }
    void lineBreak(LineBreak) {}
    void end() {}
};

// The text, and a Variant wherever the file wrote other escapes around a
// character than the encoder would, or escapes only a file's style has. A
// unit stays pending until what follows it tells whether it is the last
// before a line break or the end.
class FormSink {
public:
    explicit FormSink(const Style& style) : w_(style, nullptr) {}

    void unit(const Unit& u) {
        settle(false, {}, false);
        form_ = Form{};
        form_.pre = u.pre;
        // Runs are packed to the front: {e, kNone} for one escape.
        given_ = std::ranges::any_of(u.pre, isStyleEscape);
        if (u.raw) {
            given_ = given_ || u.pre != Run{};
            for (unsigned e : u.pre)
                w_.escape(e);
            out.text.push_back(static_cast<char16_t>(kRawByteBase + u.ch));
            ++out.rawBytes;
        } else {
            const unsigned wanted = w_.switchFor(u.ch, 0);
            given_ = given_ || u.pre != Run{static_cast<unsigned char>(wanted), kNone};
            for (unsigned e : u.pre)
                w_.escape(e);
            form_.stay = given_ && !holds(w_.state(), u.ch);
            if (!given_)
                w_.escape(wanted);
            form_.alt = u.code != 0 && jis::codeInPlane(u.ch, planeOf(u.set), 0) != u.code;
            given_ = given_ || form_.alt;
            out.text.push_back(u.ch);
        }
        pending_ = true;
    }
    void post(const Run& run, bool atEnd) { settle(true, run, atEnd); }
    void lineBreak(LineBreak kind) {
        settle(true, {}, false);
        out.breaks.push_back(kind);
        out.text.push_back(u'\n');
    }
    void end() { settle(true, {}, true); }

    Decoded out;

private:
    void settle(bool last, const Run& run, bool atEnd) {
        if (!pending_)
            return;
        pending_ = false;
        if (last) {
            const unsigned closing = w_.closing(atEnd);
            if (std::ranges::any_of(run, isStyleEscape) ||
                run != Run{static_cast<unsigned char>(closing), kNone}) {
                form_.post = run;
                form_.postGiven = given_ = true;
            }
            for (unsigned e : run)
                w_.escape(e);
        }
        if (given_)
            out.variants.push_back({out.text.size() - 1, form_.pack()});
    }

    Writer w_;
    Form form_;
    bool given_ = false;
    bool pending_ = false;
};

// What an input method's character is written as in a file that has JIS X
// 0212, which holds U+FF5E itself: that code; 0 for any other character or
// file (see jis.h).
std::uint16_t twinCode(char16_t c, const Style& style) {
    return style.jis0212 && c >= 0x80 && jis::readsBackAs(c) != c
               ? jis::codeInPlane(c, jis::k0212, 0)
               : 0;
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
        const Style style = Style::of(text, variants);
        Writer w(style, &out.bytes);
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
            const Form form = v != vEnd && v->index == i && Form::valid(v->code, c)
                                  ? Form::unpack(v->code)
                                  : Form{};
            for (unsigned e : form.pre)
                w.escape(e);
            const std::uint16_t twin = twinCode(c, style);
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
    // Reads every escape, and notes where the file wrote other escapes than
    // the encoder would.
    static Decoded decodeForms(std::string_view bytes) {
        StyleSink style;
        scan(bytes, style);
        FormSink forms(style.style);
        scan(bytes, forms);
        return std::move(forms.out);
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
