#pragma once
// Text the benchmarks build their pages from.

#include "core/text/cp932.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace zu::bench {

// Every two-byte Shift_JIS character of the rows led by `leads` that decodes
// to one ordinary character (no raw byte, no second byte form): Japanese
// text as a page holds it.
inline std::vector<std::string> shiftJisPairs(std::initializer_list<unsigned> leads) {
    std::vector<std::string> pairs;
    for (unsigned lead : leads)
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string pair{char(lead), char(trail)};
            const auto d = cp932::decode(pair);
            if (d.text.size() == 1 && d.rawBytes == 0 && d.variants.empty())
                pairs.push_back(pair);
        }
    return pairs;
}

} // namespace zu::bench
