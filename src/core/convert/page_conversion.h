#pragma once
// One page moved to UTF-8, as the site conversion and `zu --convert` do it:
// read in the encoding zu would open it in, every declaration made to say
// UTF-8 (a <meta charset> added where a page has none), its line breaks
// kept, and written only when it is proven that nothing was lost: the text
// read must give the file's own bytes back, and the new bytes must read as
// the new text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zu::convert {

// Six characters are read differently by glibc's JIS tables, which zu's
// EUC-JP and ISO-2022-JP use, and by the web's encoding standard, which
// browsers use: EUC-JP A1C1, A1C2, A1DD, A1F1, A1F2 and A2CC (and their JIS
// codes in ISO-2022-JP). A page moved to UTF-8 keeps what its readers saw
// when it takes the browsers' form.
enum class SixForms {
    Web, // U+FF5E ～, U+2225 ∥, U+FF0D －, U+FFE0 ￠, U+FFE1 ￡, U+FFE2 ￢
    Jis, // U+301C 〜, U+2016 ‖, U+2212 −, U+00A2 ¢, U+00A3 £, U+00AC ¬
};

struct ConvertOptions {
    // Whether a page converted from another encoding starts with a
    // byte-order mark; a page already in UTF-8 keeps what it has.
    bool byteOrderMark = false;
    SixForms six = SixForms::Web;
};

// The browsers' form of one of the six in glibc's form; 0 for any other
// character.
char16_t webFormOf(char16_t glibcForm);

struct PagePlan {
    std::string encoding;             // as zu reads the file ("Shift_JIS"); empty if unread
    std::string declared;             // the labels it declares, as written, ", " between
    std::vector<std::string> changes; // what converting changes, one phrase each
    std::vector<std::string> notes;   // charsets left alone, and why
    std::string stop;                 // why it is not converted; empty when it can be
    bool needed = false;              // converting writes other bytes
    std::size_t six = 0;              // how many of the six characters it holds
    std::uint64_t sourceHash = 0;     // of the bytes read
    std::uint64_t resultHash = 0;     // of the bytes it becomes
    bool convertible() const { return stop.empty() && needed; }
};

struct PageConversion {
    PagePlan plan;
    std::string bytes; // the page in UTF-8, when the plan is convertible
};

// `fileName` tells a page (whose declarations are made to agree) from a
// text file (.txt, whose bytes alone change).
PageConversion convertPage(std::string_view bytes, std::string_view fileName,
                           const ConvertOptions& options);

} // namespace zu::convert
