#pragma once
// The table template: an empty table of a chosen size whose every cell holds
// a full-width space, so that it stays visible in a browser.

#include "core/edit/fragment.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zu {

// The largest table built, in cells. A row without cells counts as one cell,
// since it still costs two lines.
inline constexpr std::int64_t kTableCellLimit = 100000;

// Counts of zero or less are not errors: rows <= 0 gives no rows, columns <= 0
// rows without cells. The caller asks tableTemplateRefusal first; this
// function does not check the size.
Fragment tableTemplate(int columns, int rows);

// The message to show instead of building a table above kTableCellLimit
// cells; nullopt when the table may be built.
std::optional<std::string> tableTemplateRefusal(int columns, int rows);

} // namespace zu
