#pragma once
// How well a file's bytes read in one of the encodings a Japanese page
// without a trustworthy declaration may be in: how many bytes would be kept
// raw, and how much the characters read like Japanese text (kana and common
// kanji count for it, private-use characters and controls against). The
// bytes are walked without building the text, so that opening a large file
// pays little for asking.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

namespace zu {

enum class Candidate { Cp932, EucJp, Utf8 };

struct Reading {
    std::size_t rawBytes = 0;
    std::int64_t score = 0;
};

// Stops once more than `rawLimit` bytes are raw: the reading then counts
// rawLimit + 1 raw bytes and the score of what was read so far. The bytes
// 0x80..0x9F that glibc's EUC-JP reads as C1 controls count as raw in an
// EUC-JP reading: they are what Shift_JIS lead bytes become.
Reading readAs(Candidate candidate, std::string_view bytes,
               std::size_t rawLimit = std::numeric_limits<std::size_t>::max());

// What one character adds to a reading's score.
int japaneseWeight(char16_t c);

} // namespace zu
