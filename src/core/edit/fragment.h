#pragma once
// What an inserting command puts around the selection. Texts are UTF-8 and
// use "\r\n" for a line break; the view turns each break into one of the
// document's own.

#include <string>

namespace zu {

struct Fragment {
    std::string open;
    std::string close;
    friend bool operator==(const Fragment&, const Fragment&) = default;
};

} // namespace zu
