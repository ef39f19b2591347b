#pragma once
// glibc's iconv as an object that closes itself, and the names of UTF-16 and
// UTF-32 in this machine's byte order (the form char16_t and char32_t take).

#include <bit>
#include <cstddef>

#include <iconv.h>

namespace zu {

inline constexpr const char* kNativeUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
inline constexpr const char* kNativeUtf32 =
    std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";

class IconvConverter {
public:
    IconvConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvConverter() {
        if (ok())
            iconv_close(cd_);
    }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    // False when this system's iconv does not know one of the two names.
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // iconv(3): advances the four arguments; (size_t)-1 with errno set when
    // it stopped early (E2BIG: no room; EILSEQ or EINVAL: `in` is at input
    // it cannot convert).
    std::size_t convert(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
        char* input = const_cast<char*>(in);
        const std::size_t result = iconv(cd_, &input, &inLeft, &out, &outLeft);
        in = input;
        return result;
    }
    // Back to the initial shift state, after an error or between pieces.
    void reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t cd_;
};

} // namespace zu
