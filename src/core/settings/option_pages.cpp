#include "core/settings/option_pages.h"

#include <cassert>

namespace zu {
namespace {

using Kind = ControlKind;
using S = Settings;

constexpr PageControl radio(Kind kind, int id, std::string_view text, DialogRect rect,
                            int Settings::*field, int value) {
    PageControl c{id, kind, text, rect};
    c.intField = field;
    c.radioValue = value;
    return c;
}
constexpr PageControl groupBox(std::string_view text, DialogRect rect, int buddy) {
    PageControl c{0, Kind::GroupBox, text, rect};
    c.buddy = buddy;
    return c;
}
constexpr PageControl label(std::string_view text, DialogRect rect, int buddy) {
    PageControl c{0, Kind::Label, text, rect};
    c.buddy = buddy;
    return c;
}
constexpr PageControl check(int id, std::string_view text, DialogRect rect, int Settings::*field) {
    PageControl c{id, Kind::CheckBox, text, rect};
    c.intField = field;
    return c;
}
constexpr PageControl integerEdit(int id, DialogRect rect, int Settings::*field) {
    PageControl c{id, Kind::IntegerEdit, {}, rect};
    c.intField = field;
    return c;
}
constexpr PageControl textEdit(int id, DialogRect rect, std::string Settings::*field,
                               std::size_t width, int maxChars = 0) {
    PageControl c{id, Kind::Edit, {}, rect};
    c.textField = field;
    c.fieldWidth = width;
    c.maxChars = maxChars;
    return c;
}

// The colour field keeps to 7 characters while typing; its byte width still
// applies, since seven double-byte characters would not fit in 7 bytes.
constexpr int kFontColorChars = 7;

// Labels name the control on their row to their right; on the form page the
// labels stand above their edits instead.
constexpr PageControl kColor[] = {
    radio(Kind::RadioFirst, 1001, "Red", {34, 33, 109, 18}, &S::tagColor, 0),
    radio(Kind::Radio, 1002, "Green", {34, 59, 109, 18}, &S::tagColor, 1),
    radio(Kind::Radio, 1003, "Blue", {34, 89, 109, 18}, &S::tagColor, 2),
    groupBox("ﾀｸﾞの色", {20, 16, 144, 112}, 1001),
};

constexpr PageControl kLink[] = {
    check(1002, "ﾃﾞｨﾚｸﾄﾘ付き", {91, 23, 102, 19}, &S::linkWithDirectory),
    textEdit(1005, {91, 121, 101, 13}, &S::mailAddress, S::kMailAddressWidth),
    label("ﾌｧｲﾙﾘﾝｸ作成形式", {17, 29, 64, 13}, 1002),
    label("ﾒｰﾙの宛先", {17, 123, 64, 13}, 1005),
    check(1018, "ｱﾝｶｰ付き", {91, 65, 74, 16}, &S::linkWithAnchor),
    label("ｱﾝｶｰの付加", {17, 69, 64, 13}, 1018),
};

constexpr PageControl kTable[] = {
    integerEdit(1006, {69, 36, 25, 11}, &S::tableColumns),
    integerEdit(1007, {69, 65, 25, 12}, &S::tableRows),
    label("列数", {28, 36, 35, 12}, 1006),
    label("行数", {28, 65, 35, 12}, 1007),
};

constexpr PageControl kFont[] = {
    integerEdit(1009, {63, 43, 21, 12}, &S::fontSize),
    textEdit(1010, {63, 67, 47, 13}, &S::fontColor, S::kFontColorWidth, kFontColorChars),
    label("ﾌｪｲｽ", {18, 19, 39, 13}, 1011),
    label("ｻｲｽﾞ", {18, 45, 39, 13}, 1009),
    label("ｶﾗｰ", {19, 70, 39, 13}, 1010),
    textEdit(1011, {63, 17, 94, 14}, &S::fontFace, S::kFontFaceWidth),
    check(1012, "ﾆｰﾓﾆｯｸ", {84, 119, 71, 14}, &S::entityMnemonic),
    label("特殊記号の形式", {17, 123, 56, 13}, 1012),
};

constexpr PageControl kForm[] = {
    textEdit(1015, {23, 31, 229, 12}, &S::pageTitle, S::kPageTitleWidth),
    textEdit(1016, {23, 73, 229, 13}, &S::bodyOptions, S::kBodyOptionsWidth),
    label("ﾍﾟｰｼﾞﾀｲﾄﾙ文字列", {7, 15, 61, 10}, 1015),
    label("<body>ﾀｸﾞのｵﾌﾟｼｮﾝ", {7, 57, 61, 9}, 1016),
};

constexpr PageControl kCalendar[] = {
    integerEdit(1004, {97, 41, 60, 12}, &S::calendarYear),
    integerEdit(1005, {97, 69, 60, 12}, &S::calendarMonth),
    integerEdit(1006, {97, 99, 60, 12}, &S::calendarColumns),
    integerEdit(1007, {97, 126, 60, 12}, &S::calendarWidth),
    label("年（西暦）", {46, 43, 43, 11}, 1004),
    label("幅", {46, 122, 38, 11}, 1007),
    label("列数", {46, 97, 43, 11}, 1006),
    label("月", {46, 67, 46, 11}, 1005),
};

constexpr ExchangeStep radioStep(int control, int Settings::*field) {
    return {control, ExchangeKind::RadioGroup, field, nullptr, std::nullopt, 0};
}
constexpr ExchangeStep checkStep(int control, int Settings::*field) {
    return {control, ExchangeKind::CheckBox, field, nullptr, std::nullopt, 0};
}
constexpr ExchangeStep textStep(int control, std::string Settings::*field, int maxChars = 0) {
    return {control, ExchangeKind::Text, nullptr, field, std::nullopt, maxChars};
}
constexpr ExchangeStep integerStep(int control, int Settings::*field,
                                   std::optional<IntRange> range = std::nullopt) {
    return {control, ExchangeKind::Integer, field, nullptr, range, 0};
}

// Save order is not tab order: it decides which of several bad fields the
// user is sent to first.
constexpr ExchangeStep kColorSteps[] = {radioStep(1001, &S::tagColor)};

constexpr ExchangeStep kLinkSteps[] = {
    checkStep(1002, &S::linkWithDirectory),
    textStep(1005, &S::mailAddress),
    checkStep(1018, &S::linkWithAnchor),
};

// Table sizes take any integer, negative ones included.
constexpr ExchangeStep kTableSteps[] = {
    integerStep(1006, &S::tableColumns),
    integerStep(1007, &S::tableRows),
};

constexpr ExchangeStep kFontSteps[] = {
    textStep(1010, &S::fontColor, kFontColorChars),
    integerStep(1009, &S::fontSize, IntRange{1, 7}),
    textStep(1011, &S::fontFace),
    checkStep(1012, &S::entityMnemonic),
};

constexpr ExchangeStep kFormSteps[] = {
    textStep(1016, &S::bodyOptions),
    textStep(1015, &S::pageTitle),
};

constexpr ExchangeStep kCalendarSteps[] = {
    integerStep(1006, &S::calendarColumns, IntRange{1, 10}),
    integerStep(1005, &S::calendarMonth, IntRange{1, 12}),
    integerStep(1007, &S::calendarWidth, IntRange{0, 800}),
    integerStep(1004, &S::calendarYear, IntRange{1900, 2100}),
};

constexpr PageInfo kPages[] = {
    {OptionPage::Color, "CPageColor", 130, "ｶﾗｰ", 187, 195, kColor, kColorSteps},
    {OptionPage::Link, "CPageLink", 131, "ﾘﾝｸ", 222, 169, kLink, kLinkSteps},
    {OptionPage::Table, "CPageTable", 229, "ﾃｰﾌﾞﾙ", 187, 179, kTable, kTableSteps},
    {OptionPage::Font, "CPageFont", 230, "ﾌｫﾝﾄ/特殊記号", 187, 175, kFont, kFontSteps},
    {OptionPage::Form, "CPageForm", 233, "汎用ﾌｫｰﾑ", 259, 169, kForm, kFormSteps},
    {OptionPage::Calendar, "CPageCalendar", 235, "ｶﾚﾝﾀﾞｰ", 235, 179, kCalendar, kCalendarSteps},
};

} // namespace

std::span<const PageInfo> optionPages() {
    return kPages;
}

const PageInfo& pageInfo(OptionPage page) {
    const auto index = static_cast<std::size_t>(page);
    assert(index < std::size(kPages) && kPages[index].page == page);
    return kPages[index];
}

const PageControl* findControl(OptionPage page, int id) {
    if (id == 0)
        return nullptr;
    for (const PageControl& control : pageInfo(page).controls)
        if (control.id == id)
            return &control;
    return nullptr;
}

} // namespace zu
