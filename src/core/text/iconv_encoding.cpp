// The stateless code pages that glibc's iconv converts: UTF-8 and UTF-16
// in either byte order. iconv does the characters; this file keeps
// every byte it refuses and the line breaks as they were.

#include "core/text/encoding.h"
#include "core/text/iconv_converter.h"
#include "core/text/line_breaks.h"
#include "core/text/utf.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace zu {
namespace {

// A character that the text cannot hold as itself: one in the raw-byte
// range would be written back as a single byte, and U+2029 is how the text
// ends its lines, so it would be written back as a line break. Its bytes
// are kept raw instead.
bool keptAsBytes(char32_t ch) {
    return (ch >= kRawByteBase && ch <= kRawByteBase + 0xFF) || ch == 0x2029;
}

class IconvEncoding final : public Encoding {
public:
    enum class Width { Byte, Utf16Le, Utf16Be };

    IconvEncoding(std::string_view name, std::string_view charset, const char* iconvName,
                  std::string_view bom, Width width)
        : name_(name), charset_(charset), iconvName_(iconvName), bom_(bom), width_(width) {
        for (LineBreak kind : {LineBreak::CrLf, LineBreak::Lf, LineBreak::Cr})
            breakBytes_[static_cast<std::size_t>(kind)] = ascii(lineBreakBytes(kind));
    }

    std::string_view name() const override { return name_; }
    std::string_view charset() const override { return charset_; }
    std::string_view byteOrderMark() const override { return bom_; }

    Decoded decodeLines(std::string_view bytes, LineBreakCounts& counts) const override {
        Decoded out;
        if (!decodeWhole(bytes, out))
            out = decodeByCharacter(bytes);
        foldLineBreaks(out.text, out.breaks, counts);
        return out;
    }

    Encoded encodeLines(std::u16string_view text, std::span<const LineBreak> breaks,
                        LineBreak fallback, std::span<const Variant>,
                        Unmappable policy) const override {
        IconvConverter cd(iconvName_, kNativeUtf16);
        Encoded out;
        out.bytes.reserve(text.size() + text.size() / 2);
        BreakSequence kinds(breaks, fallback);
        std::size_t run = 0;
        std::size_t i = 0;
        while (i < text.size()) {
            const char16_t c = text[i];
            if (!isBreakUnit(c) && !isRawByteChar(c)) {
                ++i;
                continue;
            }
            encodeRun(cd, text, run, i, policy, out);
            if (isRawByteChar(c)) {
                out.bytes.push_back(static_cast<char>(c - kRawByteBase));
                ++i;
            } else {
                i += breakLength(text, i);
                out.bytes += breakBytes_[static_cast<std::size_t>(kinds.next())];
            }
            run = i;
        }
        encodeRun(cd, text, run, text.size(), policy, out);
        return out;
    }

private:
    // A byte that does not decode is kept with the bytes of its code unit:
    // two for UTF-16, so that what follows stays in step.
    std::size_t unitBytes() const { return width_ == Width::Byte ? 1 : 2; }

    // ASCII text in this encoding's bytes: itself, or widened to UTF-16.
    std::string ascii(std::string_view text) const {
        if (width_ == Width::Byte)
            return std::string(text);
        std::string out;
        for (char c : text) {
            if (width_ == Width::Utf16Be)
                out.push_back('\0');
            out.push_back(c);
            if (width_ == Width::Utf16Le)
                out.push_back('\0');
        }
        return out;
    }

    // The whole input in as few iconv calls as there are bytes it refuses.
    // False when iconv decodes a character the text cannot hold as itself:
    // decodeByCharacter keeps the bytes of such characters raw instead.
    bool decodeWhole(std::string_view bytes, Decoded& out) const {
        // No code page here makes more UTF-16 units than it has bytes.
        out.text.resize(bytes.size());
        char16_t* const begin = out.text.data();
        char* o = reinterpret_cast<char*>(begin);
        std::size_t oLeft = out.text.size() * sizeof(char16_t);
        const char* in = bytes.data();
        std::size_t inLeft = bytes.size();
        IconvConverter cd(kNativeUtf16, iconvName_);
        while (inLeft > 0) {
            const char* const made = o;
            std::size_t result = static_cast<std::size_t>(-1);
            if (cd.ok())
                result = cd.convert(in, inLeft, o, oLeft);
            const int error = errno;
            if (std::any_of(reinterpret_cast<const char16_t*>(made),
                            reinterpret_cast<const char16_t*>(o), keptAsBytes))
                return false;
            if (result != static_cast<std::size_t>(-1))
                break;
            if (cd.ok() && error == E2BIG)
                return false; // cannot happen with the room given; be safe
            const std::size_t kept = std::min(unitBytes(), inLeft);
            for (std::size_t k = 0; k < kept; ++k) {
                const auto byte = static_cast<unsigned char>(in[k]);
                const char16_t c = static_cast<char16_t>(kRawByteBase + byte);
                std::memcpy(o, &c, sizeof c);
                o += sizeof c;
                oLeft -= sizeof c;
            }
            out.rawBytes += kept;
            in += kept;
            inLeft -= kept;
            if (cd.ok())
                cd.reset();
        }
        out.text.resize(static_cast<std::size_t>(reinterpret_cast<char16_t*>(o) - begin));
        return true;
    }

    // One character per iconv call, so that the bytes of each are known.
    Decoded decodeByCharacter(std::string_view bytes) const {
        Decoded out;
        out.text.reserve(bytes.size());
        IconvConverter cd(kNativeUtf32, iconvName_);
        std::size_t pos = 0;
        const auto keepRaw = [&](std::size_t count) {
            for (std::size_t k = 0; k < count; ++k)
                out.text.push_back(static_cast<char16_t>(
                    kRawByteBase + static_cast<unsigned char>(bytes[pos + k])));
            out.rawBytes += count;
            pos += count;
        };
        while (pos < bytes.size()) {
            char32_t ch = 0;
            char* o = reinterpret_cast<char*>(&ch);
            std::size_t oLeft = sizeof ch;
            const char* in = bytes.data() + pos;
            std::size_t inLeft = bytes.size() - pos;
            if (cd.ok())
                cd.convert(in, inLeft, o, oLeft);
            const std::size_t used = bytes.size() - pos - inLeft;
            if (oLeft == 0 && used > 0 && !keptAsBytes(ch)) {
                appendUtf16(out.text, ch);
                pos += used;
            } else if (oLeft == 0 && used > 0) {
                keepRaw(used);
            } else {
                keepRaw(std::min(unitBytes(), bytes.size() - pos));
                if (cd.ok())
                    cd.reset();
            }
        }
        return out;
    }

    // Encodes text[begin, end), which holds no break and no raw byte.
    void encodeRun(IconvConverter& cd, std::u16string_view text, std::size_t begin, std::size_t end,
                   Unmappable policy, Encoded& out) const {
        const char* in = reinterpret_cast<const char*>(text.data() + begin);
        std::size_t inLeft = (end - begin) * sizeof(char16_t);
        while (inLeft > 0) {
            // Four bytes per unit is the most any of these code pages takes.
            const std::size_t used = out.bytes.size();
            out.bytes.resize(used + inLeft * 2 + 4);
            char* o = out.bytes.data() + used;
            std::size_t oLeft = out.bytes.size() - used;
            std::size_t result = static_cast<std::size_t>(-1);
            if (cd.ok())
                result = cd.convert(in, inLeft, o, oLeft);
            const int error = errno;
            out.bytes.resize(static_cast<std::size_t>(o - out.bytes.data()));
            if (result != static_cast<std::size_t>(-1))
                break;
            if (cd.ok() && error == E2BIG)
                continue;
            // A character this code page cannot hold; a surrogate pair is
            // one, a lone surrogate is reported as itself.
            const std::size_t index =
                static_cast<std::size_t>(reinterpret_cast<const char16_t*>(in) - text.data());
            const char32_t ch = codePointAt(text.substr(0, end), index);
            const std::size_t units = utf16Length(ch);
            if (policy == Unmappable::Report)
                out.unencodable.push_back({index, ch});
            else
                out.bytes += ascii("&#" + std::to_string(static_cast<std::uint32_t>(ch)) + ";");
            in += units * sizeof(char16_t);
            inLeft -= units * sizeof(char16_t);
            if (cd.ok())
                cd.reset();
        }
    }

    std::string_view name_;
    std::string_view charset_;
    const char* iconvName_;
    std::string_view bom_;
    Width width_;
    std::array<std::string, 3> breakBytes_;
};

} // namespace

const Encoding& utf8Encoding() {
    static const IconvEncoding encoding("UTF-8", "UTF-8", "UTF-8", "\xEF\xBB\xBF",
                                        IconvEncoding::Width::Byte);
    return encoding;
}

const Encoding& utf16LeEncoding() {
    static const IconvEncoding encoding("UTF-16LE", "UTF-16", "UTF-16LE", "\xFF\xFE",
                                        IconvEncoding::Width::Utf16Le);
    return encoding;
}

const Encoding& utf16BeEncoding() {
    static const IconvEncoding encoding("UTF-16BE", "UTF-16", "UTF-16BE", "\xFE\xFF",
                                        IconvEncoding::Width::Utf16Be);
    return encoding;
}

} // namespace zu
