#pragma once
// Quick create: a fixed page skeleton that shows the selection as
// preformatted text in a fixed-pitch font.

#include "core/edit/fragment.h"

#include <string_view>

namespace zu {

// `charset` is the one the content-type line names; CP932 pages say "x-sjis".
Fragment quickCreate(std::string_view charset = "x-sjis");

} // namespace zu
