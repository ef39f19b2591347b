#pragma once
// A 64-bit hash of bytes (XXH64, seed 0): what tells one content of a file
// from another when its name, size and time may not, and what checks that
// each entry of a recovery copy reads back as it was written. Fast enough
// to run over a whole document as it is opened.

#include <cstdint>
#include <string_view>

namespace zu {

class ContentHash {
public:
    void update(std::string_view bytes);
    std::uint64_t digest() const;

private:
    std::uint64_t lanes_[4] = {0x60EA27EEADC0B5D6ull, 0xC2B2AE3D27D4EB4Full, 0,
                               0x61C8864E7A143579ull};
    unsigned char pending_[32] = {};
    std::size_t pendingSize_ = 0;
    std::uint64_t total_ = 0;
};

std::uint64_t contentHash(std::string_view bytes);

} // namespace zu
