#include "core/assist/table_template.h"

#include <algorithm>
#include <string_view>

namespace zu {

Fragment tableTemplate(int columns, int rows) {
    static constexpr std::string_view kCell = "<td>　</td>\r\n";
    std::string open = "<table BORDER=1 BGCOLOR=#ffffff>\r\n";
    // The row is built only when there are rows: without any, a huge column
    // count would cost gigabytes for a table of two lines.
    if (rows > 0) {
        std::string row = "<tr>\r\n";
        for (int column = 0; column < columns; ++column)
            row += kCell;
        row += "</tr>\r\n";
        open.reserve(open.size() + row.size() * static_cast<std::size_t>(rows) + 16);
        for (int index = 0; index < rows; ++index)
            open += row;
    }
    // No break after "</table>": the selection follows on the same line and
    // the close text ends it.
    open += "</table>";
    return {std::move(open), "\r\n"};
}

std::optional<std::string> tableTemplateRefusal(int columns, int rows) {
    if (rows <= 0)
        return std::nullopt;
    // In 64 bits: two 32-bit counts multiply past any 32-bit value.
    const std::int64_t cells = std::int64_t{rows} * std::max<std::int64_t>(columns, 1);
    if (cells <= kTableCellLimit)
        return std::nullopt;
    return "ﾃｰﾌﾞﾙが大きすぎます。行数と列数の積は 100000 以下にしてください。";
}

} // namespace zu
