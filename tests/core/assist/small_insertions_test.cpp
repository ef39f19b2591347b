#include "core/assist/small_insertions.h"

#include "support/fixed_time_zone.h"

#include <gtest/gtest.h>

#include <limits>

namespace zu {
namespace {

TEST(SmallInsertions, ColourReferenceIsLowercaseHexInFrontOfTheSelection) {
    struct Case {
        Rgb colour;
        const char* open;
    };
    const Case cases[] = {
        {{255, 0, 0}, "#ff0000"},     {{0, 0, 0}, "#000000"},          {{10, 5, 255}, "#0a05ff"},
        {{255, 255, 255}, "#ffffff"}, {{0xab, 0xcd, 0xef}, "#abcdef"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.open);
        EXPECT_EQ(colourReference(c.colour), (Fragment{c.open, ""}));
    }
}

TEST(SmallInsertions, IndexAndTopicTexts) {
    EXPECT_EQ(indexEntry(), (Fragment{"<h3><a HREF=\"URL\">", "</a></h3>\r\n"}));
    EXPECT_EQ(topicEntry(), (Fragment{"<h4></h4>\r\n", "<blockquote>\r\n\r\n</blockquote>\r\n"}));
}

TEST(SmallInsertions, LocalDateTexts) {
    struct Case {
        const char* name;
        const char* zone;
        std::time_t when;
        const char* date;
        const char* dateTime;
    };
    const Case cases[] = {
        // 1998-01-05 09:07 UTC.
        {"morning, zero-padded", "UTC0", 883991220, "1998/01/05", "1998/01/05 09:07"},
        // 1998-01-04 15:10 UTC is already the 5th in Japan.
        {"after local midnight, UTC still the day before", "JST-9", 883926600, "1998/01/05",
         "1998/01/05 00:10"},
        // The same moment, west of Greenwich.
        {"same moment in New York", "EST5", 883926600, "1998/01/04", "1998/01/04 10:10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::FixedTimeZone zone(c.zone);
        EXPECT_EQ(localDateText(c.when, DateForm::Date), c.date);
        EXPECT_EQ(localDateText(c.when, DateForm::DateTime), c.dateTime);
    }
}

TEST(SmallInsertions, UnconvertibleTimeGivesAnEmptyDate) {
    testing::FixedTimeZone zone("UTC0");
    const std::time_t never = std::numeric_limits<std::time_t>::max();
    EXPECT_EQ(localDateText(never, DateForm::Date), "");
    EXPECT_EQ(dateHeading(localDateText(never, DateForm::DateTime)),
              (Fragment{"<h5></h5>", "<br>"}));
}

TEST(SmallInsertions, DateHeading) {
    EXPECT_EQ(dateHeading("1998/01/05"), (Fragment{"<h5>1998/01/05</h5>", "<br>"}));
    EXPECT_EQ(dateHeading("1998/01/05 09:07"), (Fragment{"<h5>1998/01/05 09:07</h5>", "<br>"}));
}

} // namespace
} // namespace zu
