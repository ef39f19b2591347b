#include "core/settings/option_pages.h"

#include <cassert>

namespace zu {
namespace {

using Kind = ControlKind;
using S = Settings;
using namespace control;

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
    radio(Kind::RadioFirst, color::Red, "Red", {34, 33, 109, 18}, &S::tagColor, 0),
    radio(Kind::Radio, color::Green, "Green", {34, 59, 109, 18}, &S::tagColor, 1),
    radio(Kind::Radio, color::Blue, "Blue", {34, 89, 109, 18}, &S::tagColor, 2),
    groupBox("ﾀｸﾞの色", {20, 16, 144, 112}, color::Red),
};

constexpr PageControl kLink[] = {
    check(link::WithDirectory, "ﾃﾞｨﾚｸﾄﾘ付き", {91, 23, 102, 19}, &S::linkWithDirectory),
    textEdit(link::MailAddress, {91, 121, 101, 13}, &S::mailAddress, S::kMailAddressWidth),
    label("ﾌｧｲﾙﾘﾝｸ作成形式", {17, 29, 64, 13}, link::WithDirectory),
    label("ﾒｰﾙの宛先", {17, 123, 64, 13}, link::MailAddress),
    check(link::WithAnchor, "ｱﾝｶｰ付き", {91, 65, 74, 16}, &S::linkWithAnchor),
    label("ｱﾝｶｰの付加", {17, 69, 64, 13}, link::WithAnchor),
};

constexpr PageControl kTable[] = {
    integerEdit(table::Columns, {69, 36, 25, 11}, &S::tableColumns),
    integerEdit(table::Rows, {69, 65, 25, 12}, &S::tableRows),
    label("列数", {28, 36, 35, 12}, table::Columns),
    label("行数", {28, 65, 35, 12}, table::Rows),
};

constexpr PageControl kFont[] = {
    integerEdit(font::Size, {63, 43, 21, 12}, &S::fontSize),
    textEdit(font::Color, {63, 67, 47, 13}, &S::fontColor, S::kFontColorWidth, kFontColorChars),
    label("ﾌｪｲｽ", {18, 19, 39, 13}, font::Face),
    label("ｻｲｽﾞ", {18, 45, 39, 13}, font::Size),
    label("ｶﾗｰ", {19, 70, 39, 13}, font::Color),
    textEdit(font::Face, {63, 17, 94, 14}, &S::fontFace, S::kFontFaceWidth),
    check(font::Mnemonic, "ﾆｰﾓﾆｯｸ", {84, 119, 71, 14}, &S::entityMnemonic),
    label("特殊記号の形式", {17, 123, 56, 13}, font::Mnemonic),
};

constexpr PageControl kForm[] = {
    textEdit(form::PageTitle, {23, 31, 229, 12}, &S::pageTitle, S::kPageTitleWidth),
    textEdit(form::BodyOptions, {23, 73, 229, 13}, &S::bodyOptions, S::kBodyOptionsWidth),
    label("ﾍﾟｰｼﾞﾀｲﾄﾙ文字列", {7, 15, 61, 10}, form::PageTitle),
    label("<body>ﾀｸﾞのｵﾌﾟｼｮﾝ", {7, 57, 61, 9}, form::BodyOptions),
};

constexpr PageControl kCalendar[] = {
    integerEdit(calendar::Year, {97, 41, 60, 12}, &S::calendarYear),
    integerEdit(calendar::Month, {97, 69, 60, 12}, &S::calendarMonth),
    integerEdit(calendar::Columns, {97, 99, 60, 12}, &S::calendarColumns),
    integerEdit(calendar::Width, {97, 126, 60, 12}, &S::calendarWidth),
    label("年（西暦）", {46, 43, 43, 11}, calendar::Year),
    label("幅", {46, 122, 38, 11}, calendar::Width),
    label("列数", {46, 97, 43, 11}, calendar::Columns),
    label("月", {46, 67, 46, 11}, calendar::Month),
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
constexpr ExchangeStep kColorSteps[] = {radioStep(color::Red, &S::tagColor)};

constexpr ExchangeStep kLinkSteps[] = {
    checkStep(link::WithDirectory, &S::linkWithDirectory),
    textStep(link::MailAddress, &S::mailAddress),
    checkStep(link::WithAnchor, &S::linkWithAnchor),
};

// Table sizes take any integer, negative ones included.
constexpr ExchangeStep kTableSteps[] = {
    integerStep(table::Columns, &S::tableColumns),
    integerStep(table::Rows, &S::tableRows),
};

constexpr ExchangeStep kFontSteps[] = {
    textStep(font::Color, &S::fontColor, kFontColorChars),
    integerStep(font::Size, &S::fontSize, IntRange{1, 7}),
    textStep(font::Face, &S::fontFace),
    checkStep(font::Mnemonic, &S::entityMnemonic),
};

constexpr ExchangeStep kFormSteps[] = {
    textStep(form::BodyOptions, &S::bodyOptions),
    textStep(form::PageTitle, &S::pageTitle),
};

constexpr ExchangeStep kCalendarSteps[] = {
    integerStep(calendar::Columns, &S::calendarColumns, IntRange{1, 10}),
    integerStep(calendar::Month, &S::calendarMonth, IntRange{1, 12}),
    integerStep(calendar::Width, &S::calendarWidth, IntRange{0, 800}),
    integerStep(calendar::Year, &S::calendarYear, IntRange{1900, 2100}),
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
