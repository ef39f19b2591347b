#include "core/assist/small_insertions.h"

#include <array>

namespace zu {

Fragment colourReference(Rgb colour) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text = "#";
    for (const std::uint8_t component : {colour.red, colour.green, colour.blue}) {
        text += kDigits[component >> 4];
        text += kDigits[component & 0x0f];
    }
    return {std::move(text), ""};
}

Fragment indexEntry() {
    return {"<h3><a HREF=\"URL\">", "</a></h3>\r\n"};
}

Fragment topicEntry() {
    // The selection stays outside both elements: it is the text that
    // introduces the quoted block.
    return {"<h4></h4>\r\n", "<blockquote>\r\n\r\n</blockquote>\r\n"};
}

std::string localDateText(std::time_t when, DateForm form) {
    // localtime_r need not look at TZ again once it has read it; the user may
    // have changed zones since the program started.
    ::tzset();
    std::tm local{};
    if (::localtime_r(&when, &local) == nullptr)
        return {};
    const char* pattern = form == DateForm::Date ? "%Y/%m/%d" : "%Y/%m/%d %H:%M";
    std::array<char, 128> buffer{};
    const std::size_t length = std::strftime(buffer.data(), buffer.size(), pattern, &local);
    return std::string(buffer.data(), length);
}

Fragment dateHeading(std::string_view dateText) {
    std::string open = "<h5>";
    open += dateText;
    open += "</h5>";
    return {std::move(open), "<br>"};
}

} // namespace zu
