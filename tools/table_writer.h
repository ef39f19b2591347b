#pragma once
// What the code-page table generators share: glibc's iconv asked one code
// or character at a time, failing with a message, hex numbers, and writing
// a 16-bit array or a BMP character table as C++ source. Header-only: each
// generator is one program of its own.

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace zu::gen {

[[noreturn]] inline void fail(const char* tool, const std::string& why) {
    std::fprintf(stderr, "%s: %s\n", tool, why.c_str());
    std::exit(1);
}

// One code page of iconv's, both ways, against UTF-32LE (older iconvs only
// know it as UCS-4LE).
class Iconv {
public:
    Iconv(const char* name, const char* tool) {
        for (const char* wide : {"UTF-32LE", "UCS-4LE"}) {
            toUnicode_ = iconv_open(wide, name);
            fromUnicode_ = iconv_open(name, wide);
            if (toUnicode_ != kNone && fromUnicode_ != kNone)
                return;
            close();
        }
        fail(tool, std::string("iconv does not know ") + name);
    }
    ~Iconv() { close(); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // The characters iconv makes of exactly these bytes, or nothing when it
    // rejects them or leaves some unconsumed.
    std::optional<std::vector<char32_t>> decode(const std::string& bytes) {
        iconv(toUnicode_, nullptr, nullptr, nullptr, nullptr);
        std::string in = bytes;
        std::array<char, 64> out{};
        char* ip = in.data();
        std::size_t il = in.size();
        char* op = out.data();
        std::size_t ol = out.size();
        if (iconv(toUnicode_, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0)
            return std::nullopt;
        std::vector<char32_t> chars;
        for (const char* c = out.data(); c + 4 <= op; c += 4) {
            const auto* u = reinterpret_cast<const unsigned char*>(c);
            chars.push_back(char32_t(u[0]) | char32_t(u[1]) << 8 | char32_t(u[2]) << 16 |
                            char32_t(u[3]) << 24);
        }
        return chars;
    }

    // The bytes iconv writes for one character, or nothing when it has none.
    std::optional<std::string> encode(char32_t ch) {
        iconv(fromUnicode_, nullptr, nullptr, nullptr, nullptr);
        char in[4] = {char(ch & 0xFF), char(ch >> 8 & 0xFF), char(ch >> 16 & 0xFF),
                      char(ch >> 24 & 0xFF)};
        std::array<char, 16> out{};
        char* ip = in;
        std::size_t il = sizeof in;
        char* op = out.data();
        std::size_t ol = out.size();
        if (iconv(fromUnicode_, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0)
            return std::nullopt;
        return std::string(out.data(), op);
    }

private:
    static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);
    void close() {
        if (toUnicode_ != kNone)
            iconv_close(toUnicode_);
        if (fromUnicode_ != kNone)
            iconv_close(fromUnicode_);
        toUnicode_ = fromUnicode_ = kNone;
    }
    iconv_t toUnicode_ = kNone;
    iconv_t fromUnicode_ = kNone;
};

inline std::string hex(unsigned v, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", digits, v);
    return buf;
}

// The values as "0x....," entries, `perLine` to a line.
template <typename Values>
void array16(std::ostringstream& o, const Values& values, std::size_t perLine) {
    for (std::size_t i = 0; i < values.size(); ++i)
        o << (i % perLine == 0 ? "\n    " : " ") << "0x" << hex(values[i], 4) << ",";
}

// A table of the 0x10000 BMP characters as kEncodeBlock[256], the block of
// each high byte, and kEncode[blocks][256]; blocks that hold only zeros
// share block 0. `comment` (whole lines) goes above. Fails with `tool`'s
// name when there are more blocks than a byte can number.
inline void encodeBlocks(std::ostringstream& o, const std::vector<std::uint16_t>& encode,
                         const char* comment, const char* tool) {
    std::vector<std::array<std::uint16_t, 256>> blocks(1);
    std::array<unsigned char, 256> blockOf{};
    for (unsigned hi = 0; hi < 256; ++hi) {
        std::array<std::uint16_t, 256> block{};
        bool any = false;
        for (unsigned lo = 0; lo < 256; ++lo) {
            block[lo] = encode[hi << 8 | lo];
            any = any || block[lo] != 0;
        }
        if (!any)
            continue;
        if (blocks.size() > 255)
            fail(tool, "too many encode blocks");
        blockOf[hi] = static_cast<unsigned char>(blocks.size());
        blocks.push_back(block);
    }
    o << comment << "inline constexpr unsigned char kEncodeBlock[256] = {";
    for (int i = 0; i < 256; ++i)
        o << (i % 16 == 0 ? "\n    " : " ") << int(blockOf[i]) << ",";
    o << "\n};\n\n"
      << "inline constexpr std::uint16_t kEncode[" << blocks.size() << "][256] = {";
    for (const auto& block : blocks) {
        o << "\n  {";
        array16(o, block, 8);
        o << "\n  },";
    }
    o << "\n};\n\n";
}

// kVariantForms[]: each code with the character it reads as.
inline void variantForms(std::ostringstream& o,
                         const std::vector<std::pair<std::uint16_t, char16_t>>& forms,
                         const char* comment) {
    o << comment
      << "struct VariantForm {\n    std::uint16_t code;\n    char16_t ch;\n};\n"
         "inline constexpr VariantForm kVariantForms[] = {";
    for (std::size_t i = 0; i < forms.size(); ++i)
        o << (i % 4 == 0 ? "\n    " : " ") << "{0x" << hex(forms[i].first, 4) << ", 0x"
          << hex(forms[i].second, 4) << "},";
    o << "\n};\n\n";
}

} // namespace zu::gen
