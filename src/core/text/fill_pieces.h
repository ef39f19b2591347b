#pragma once
// A large text handed to the editing control a piece at a time, so that the
// window goes on answering between pieces while a file is loaded.

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace zu {

// The characters from..to of the text; `joinAfter` when a soft join
// (soft_joins.h) follows them, that is when `to` is a join point.
struct FillPiece {
    std::size_t from = 0;
    std::size_t to = 0;
    bool joinAfter = false;
    friend bool operator==(const FillPiece&, const FillPiece&) = default;
};

// The pieces of `text` in order, together all of it: each at most `size`
// UTF-16 units long (size > 1), ending at every one of the ascending
// `joins`. A piece never ends between the two halves of a surrogate pair,
// which the control would otherwise hold as two broken characters for a
// moment. An empty text is one empty piece.
std::vector<FillPiece> fillPieces(std::u16string_view text, std::span<const std::size_t> joins,
                                  std::size_t size);

} // namespace zu
