#pragma once
// The small fragments of the Assistant menu: a colour value, an index entry,
// a topic block and a dated heading.

#include "core/edit/edit_buffer.h"
#include "core/edit/fragment.h"

#include <ctime>
#include <string>
#include <string_view>

namespace zu {

// "#rrggbb" in lowercase hex in front of the selection; nothing after it.
Fragment colourReference(Rgb colour);

// The selection becomes the link text of an h3 heading pointing at "URL".
Fragment indexEntry();

// An empty h4 heading line in front of the selection and an empty
// blockquote block after it.
Fragment topicEntry();

enum class DateForm {
    Date,     // 1998/01/05
    DateTime, // 1998/01/05 09:07
};

// `when` in the machine's local time (TZ is read afresh on every call); empty
// when it cannot be converted.
std::string localDateText(std::time_t when, DateForm form);

// "<h5>" date "</h5>" in front of the selection, "<br>" after it.
Fragment dateHeading(std::string_view dateText);

} // namespace zu
