#include "core/doc/content_hash.h"

#include <bit>
#include <cstring>

namespace zu {
namespace {

constexpr std::uint64_t P1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t P2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t P3 = 0x165667B19E3779F9ull;
constexpr std::uint64_t P4 = 0x85EBCA77C2B2AE63ull;
constexpr std::uint64_t P5 = 0x27D4EB2F165667C5ull;

std::uint64_t rotl(std::uint64_t x, int r) {
    return (x << r) | (x >> (64 - r));
}

// Little-endian reads, whatever the machine's order: one load each, so
// that a whole file is hashed at the speed of memory.
template <class T> T readLittle(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big && sizeof v == 8)
        v = static_cast<T>(__builtin_bswap64(v));
    else if constexpr (std::endian::native == std::endian::big)
        v = static_cast<T>(__builtin_bswap32(static_cast<std::uint32_t>(v)));
    return v;
}

std::uint64_t read64(const unsigned char* p) {
    return readLittle<std::uint64_t>(p);
}

std::uint32_t read32(const unsigned char* p) {
    return readLittle<std::uint32_t>(p);
}

std::uint64_t round(std::uint64_t acc, std::uint64_t input) {
    return rotl(acc + input * P2, 31) * P1;
}

std::uint64_t merge(std::uint64_t acc, std::uint64_t lane) {
    return (acc ^ round(0, lane)) * P1 + P4;
}

void stripe(std::uint64_t (&lanes)[4], const unsigned char* p) {
    for (int i = 0; i < 4; ++i)
        lanes[i] = round(lanes[i], read64(p + 8 * i));
}

} // namespace

void ContentHash::update(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t size = bytes.size();
    total_ += size;
    if (pendingSize_ > 0) {
        const std::size_t take = std::min(size, 32 - pendingSize_);
        std::memcpy(pending_ + pendingSize_, p, take);
        pendingSize_ += take;
        p += take;
        size -= take;
        if (pendingSize_ < 32)
            return;
        stripe(lanes_, pending_);
        pendingSize_ = 0;
    }
    for (; size >= 32; p += 32, size -= 32)
        stripe(lanes_, p);
    std::memcpy(pending_, p, size);
    pendingSize_ = size;
}

std::uint64_t ContentHash::digest() const {
    std::uint64_t h;
    if (total_ >= 32) {
        h = rotl(lanes_[0], 1) + rotl(lanes_[1], 7) + rotl(lanes_[2], 12) + rotl(lanes_[3], 18);
        for (const std::uint64_t lane : lanes_)
            h = merge(h, lane);
    } else {
        h = P5; // the seed, 0, plus P5
    }
    h += total_;
    const unsigned char* p = pending_;
    std::size_t size = pendingSize_;
    for (; size >= 8; p += 8, size -= 8)
        h = rotl(h ^ round(0, read64(p)), 27) * P1 + P4;
    if (size >= 4) {
        h = rotl(h ^ (read32(p) * P1), 23) * P2 + P3;
        p += 4;
        size -= 4;
    }
    for (; size > 0; ++p, --size)
        h = rotl(h ^ (*p * P5), 11) * P1;
    h ^= h >> 33;
    h *= P2;
    h ^= h >> 29;
    h *= P3;
    h ^= h >> 32;
    return h;
}

std::uint64_t contentHash(std::string_view bytes) {
    ContentHash hash;
    hash.update(bytes);
    return hash.digest();
}

} // namespace zu
