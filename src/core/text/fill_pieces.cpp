#include "core/text/fill_pieces.h"

#include "core/text/utf.h"

#include <algorithm>

namespace zu {

std::vector<FillPiece> fillPieces(std::u16string_view text, std::span<const std::size_t> joins,
                                  std::size_t size) {
    std::vector<FillPiece> pieces;
    std::size_t from = 0;
    std::size_t next = 0; // the first join not yet reached
    do {
        const std::size_t join = next < joins.size() ? joins[next] : text.size();
        std::size_t to = std::min({from + size, join, text.size()});
        if (to < join && to > from + 1 && isHighSurrogate(text[to - 1]))
            --to;
        const bool joinAfter = next < joins.size() && to == joins[next];
        pieces.push_back({from, to, joinAfter});
        if (joinAfter)
            ++next;
        from = to;
    } while (from < text.size() || next < joins.size());
    return pieces;
}

} // namespace zu
