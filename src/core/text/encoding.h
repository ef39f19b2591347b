#pragma once
// The code page a document is read and written in, behind one interface, so
// that the document, its byte-form markers and the save question need not
// know which one it is. CP932 (zu's own codec, which keeps the duplicate byte
// forms) stays the default; UTF-8 and UTF-16 go through glibc's iconv, EUC-JP
// and ISO-2022-JP through the JIS tables generated from it (jis.h). Every one of them is lossless
// for the bytes of a file: a byte that does not decode is kept as the character kRawByteBase + byte
// and written back as that byte, so that an unedited file saves as it was.

#include "core/text/code_page.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

// A raw byte kept in the text that pairs with the bytes written after it,
// turning into something else when the file is read again (a lead byte the
// next character completes, say): the text at `index` would read as
// `readsAs`.
struct BytePair {
    std::size_t index;
    char16_t ch; // the character at `index`, usually a raw-byte character
    char32_t readsAs;
    friend bool operator==(const BytePair&, const BytePair&) = default;
};

class Encoding {
public:
    virtual ~Encoding() = default;

    // The name the user sees: "Shift_JIS", "UTF-8", "UTF-16LE", "EUC-JP"...
    virtual std::string_view name() const = 0;
    // The charset a page in this encoding declares in its content-type line:
    // the IANA name, and "x-sjis" for CP932, as zu's pages always said.
    virtual std::string_view charset() const = 0;
    // The byte-order mark files in this encoding may start with; empty when
    // the encoding has none.
    virtual std::string_view byteOrderMark() const { return {}; }
    // Whether characters may have two byte forms that the document must
    // remember (Variant): CP932's, EUC-JP's and ISO-2022-JP's do (for
    // ISO-2022-JP, the escapes around a character are part of its form).
    virtual bool keepsByteForms() const { return false; }
    // What `c` reads as once written, when it has no form of its own and is
    // written as a twin (U+FF5E as JIS's U+301C in EUC-JP); else `c`.
    virtual char16_t readsBackAs(char16_t c) const { return c; }

    // Bytes (without a byte-order mark) to text, every line break (CR LF,
    // LF or CR alone) made one '\n' and its kind noted in `breaks`. Never
    // fails.
    virtual Decoded decodeLines(std::string_view bytes, LineBreakCounts& counts) const = 0;

    // Text to bytes, writing the k-th line break of the text ('\n', U+2029,
    // a lone '\r' or a "\r\n" pair) as breaks[k] and those past the end of
    // `breaks` as `fallback`. `variants` (ascending index) are honoured
    // where the encoding keeps byte forms. Unencodable indexes are positions
    // in `text`.
    virtual Encoded encodeLines(std::u16string_view text, std::span<const LineBreak> breaks,
                                LineBreak fallback, std::span<const Variant> variants,
                                Unmappable policy) const = 0;

    // The places where `bytes`, which encodeLines made of `text` leaving out
    // `unencodable`, would not read back as `text`, in text order.
    virtual std::vector<BytePair> bytePairs(std::u16string_view text,
                                            std::span<const Variant> variants,
                                            std::string_view bytes,
                                            std::span<const Unencodable> unencodable) const;

protected:
    // What bytePairs does for an encoding with no cheaper way: reads the bytes
    // back and compares. Only a text holding raw bytes (or, for a code page
    // that switches with escapes, an ESC) can read back differently, so
    // other texts are not read again.
    std::vector<BytePair> bytePairsByRereading(std::u16string_view text, std::string_view bytes,
                                               std::span<const Unencodable> unencodable) const;
};

// The character at text[i], which the encoding cannot hold (a surrogate
// pair counts as one): listed in `out` or written there as an HTML numeric
// character reference, "&#8364;", in ASCII. The index past it.
std::size_t skipUnencodable(std::u16string_view text, std::size_t i, Unmappable policy,
                            Encoded& out);

// The encodings, in the order the menus list them; CP932 first.
std::span<const Encoding* const> encodings();
const Encoding& cp932Encoding();
const Encoding& utf8Encoding();
const Encoding& utf16LeEncoding();
const Encoding& utf16BeEncoding();
const Encoding& eucJpEncoding();
const Encoding& iso2022JpEncoding();

// The encoding a name stands for, ignoring case and telling '_' from '-'
// not: the names above, every label the web's encoding standard lists for
// them and the usual aliases ("x-sjis", "windows-31j", "cp932"; "utf8";
// "UTF-16" is little-endian, the order most files so labelled are in; "x-euc", "EUC_JP"...).
// Null when zu does not support it.
const Encoding* findEncoding(std::string_view name);

// Whether `encoding` is one of the two UTF-16 byte orders.
bool isUtf16(const Encoding& encoding);

} // namespace zu
