// The Options pages checked row by row against the dialog templates as the
// user sees them: controls, texts, positions, bindings and save order.

#include "core/settings/option_pages.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace zu {
namespace {

using K = ControlKind;
using S = Settings;

struct Row {
    int id;
    ControlKind kind;
    std::string_view text;
    DialogRect rect;
    int buddy = 0;
    int S::*intField = nullptr;
    std::string S::*textField = nullptr;
    int radioValue = -1;
    std::size_t fieldWidth = 0;
    int maxChars = 0;
};

struct Page {
    OptionPage page;
    std::string_view className;
    int resource;
    std::string_view caption;
    int width, height;
    std::vector<Row> controls;
};

const std::vector<Page> kGolden = {
    {OptionPage::Color,
     "CPageColor",
     130,
     "ｶﾗｰ",
     187,
     195,
     {
         {1001, K::RadioFirst, "Red", {34, 33, 109, 18}, 0, &S::tagColor, nullptr, 0},
         {1002, K::Radio, "Green", {34, 59, 109, 18}, 0, &S::tagColor, nullptr, 1},
         {1003, K::Radio, "Blue", {34, 89, 109, 18}, 0, &S::tagColor, nullptr, 2},
         {0, K::GroupBox, "ﾀｸﾞの色", {20, 16, 144, 112}, 1001},
     }},
    {OptionPage::Link,
     "CPageLink",
     131,
     "ﾘﾝｸ",
     222,
     169,
     {
         {1002, K::CheckBox, "ﾃﾞｨﾚｸﾄﾘ付き", {91, 23, 102, 19}, 0, &S::linkWithDirectory},
         {1005, K::Edit, "", {91, 121, 101, 13}, 0, nullptr, &S::mailAddress, -1, 128},
         {0, K::Label, "ﾌｧｲﾙﾘﾝｸ作成形式", {17, 29, 64, 13}, 1002},
         {0, K::Label, "ﾒｰﾙの宛先", {17, 123, 64, 13}, 1005},
         {1018, K::CheckBox, "ｱﾝｶｰ付き", {91, 65, 74, 16}, 0, &S::linkWithAnchor},
         {0, K::Label, "ｱﾝｶｰの付加", {17, 69, 64, 13}, 1018},
     }},
    {OptionPage::Table,
     "CPageTable",
     229,
     "ﾃｰﾌﾞﾙ",
     187,
     179,
     {
         {1006, K::IntegerEdit, "", {69, 36, 25, 11}, 0, &S::tableColumns},
         {1007, K::IntegerEdit, "", {69, 65, 25, 12}, 0, &S::tableRows},
         {0, K::Label, "列数", {28, 36, 35, 12}, 1006},
         {0, K::Label, "行数", {28, 65, 35, 12}, 1007},
     }},
    {OptionPage::Font,
     "CPageFont",
     230,
     "ﾌｫﾝﾄ/特殊記号",
     187,
     175,
     {
         {1009, K::IntegerEdit, "", {63, 43, 21, 12}, 0, &S::fontSize},
         {1010, K::Edit, "", {63, 67, 47, 13}, 0, nullptr, &S::fontColor, -1, 8, 7},
         {0, K::Label, "ﾌｪｲｽ", {18, 19, 39, 13}, 1011},
         {0, K::Label, "ｻｲｽﾞ", {18, 45, 39, 13}, 1009},
         {0, K::Label, "ｶﾗｰ", {19, 70, 39, 13}, 1010},
         {1011, K::Edit, "", {63, 17, 94, 14}, 0, nullptr, &S::fontFace, -1, 64},
         {1012, K::CheckBox, "ﾆｰﾓﾆｯｸ", {84, 119, 71, 14}, 0, &S::entityMnemonic},
         {0, K::Label, "特殊記号の形式", {17, 123, 56, 13}, 1012},
     }},
    {OptionPage::Form,
     "CPageForm",
     233,
     "汎用ﾌｫｰﾑ",
     259,
     169,
     {
         {1015, K::Edit, "", {23, 31, 229, 12}, 0, nullptr, &S::pageTitle, -1, 128},
         {1016, K::Edit, "", {23, 73, 229, 13}, 0, nullptr, &S::bodyOptions, -1, 128},
         {0, K::Label, "ﾍﾟｰｼﾞﾀｲﾄﾙ文字列", {7, 15, 61, 10}, 1015},
         {0, K::Label, "<body>ﾀｸﾞのｵﾌﾟｼｮﾝ", {7, 57, 61, 9}, 1016},
     }},
    {OptionPage::Calendar,
     "CPageCalendar",
     235,
     "ｶﾚﾝﾀﾞｰ",
     235,
     179,
     {
         {1004, K::IntegerEdit, "", {97, 41, 60, 12}, 0, &S::calendarYear},
         {1005, K::IntegerEdit, "", {97, 69, 60, 12}, 0, &S::calendarMonth},
         {1006, K::IntegerEdit, "", {97, 99, 60, 12}, 0, &S::calendarColumns},
         {1007, K::IntegerEdit, "", {97, 126, 60, 12}, 0, &S::calendarWidth},
         {0, K::Label, "年（西暦）", {46, 43, 43, 11}, 1004},
         {0, K::Label, "幅", {46, 122, 38, 11}, 1007},
         {0, K::Label, "列数", {46, 97, 43, 11}, 1006},
         {0, K::Label, "月", {46, 67, 46, 11}, 1005},
     }},
};

TEST(OptionPages, EveryPageAndControlAsTheTemplatesShowThem) {
    ASSERT_EQ(optionPages().size(), kGolden.size());
    for (std::size_t p = 0; p < kGolden.size(); ++p) {
        const Page& want = kGolden[p];
        const PageInfo& got = optionPages()[p];
        SCOPED_TRACE(want.className);
        EXPECT_EQ(got.page, want.page);
        EXPECT_EQ(&pageInfo(want.page), &got);
        EXPECT_EQ(got.className, want.className);
        EXPECT_EQ(got.resource, want.resource);
        EXPECT_EQ(got.caption, want.caption);
        EXPECT_EQ(std::pair(got.width, got.height), std::pair(want.width, want.height));
        ASSERT_EQ(got.controls.size(), want.controls.size());
        for (std::size_t i = 0; i < want.controls.size(); ++i) {
            const Row& w = want.controls[i];
            const PageControl& g = got.controls[i];
            SCOPED_TRACE(testing::Message() << "row " << i << " " << w.text << " " << w.id);
            EXPECT_EQ(g.id, w.id);
            EXPECT_EQ(g.kind, w.kind);
            EXPECT_EQ(g.text, w.text);
            EXPECT_EQ(g.rect, w.rect);
            EXPECT_EQ(g.buddy, w.buddy);
            EXPECT_EQ(g.intField, w.intField);
            EXPECT_EQ(g.textField, w.textField);
            EXPECT_EQ(g.radioValue, w.radioValue);
            EXPECT_EQ(g.fieldWidth, w.fieldWidth);
            EXPECT_EQ(g.maxChars, w.maxChars);
            if (w.id != 0) {
                EXPECT_EQ(findControl(want.page, w.id), &g);
            }
        }
    }
    EXPECT_EQ(findControl(OptionPage::Table, 1005), nullptr);
    EXPECT_EQ(findControl(OptionPage::Color, 0), nullptr);
}

struct Step {
    int control;
    ExchangeKind kind;
    int S::*intField;
    std::string S::*textField;
    std::optional<IntRange> range = std::nullopt;
    int maxChars = 0;
};

TEST(OptionPages, SaveStepsRunInThePagesOwnOrder) {
    using E = ExchangeKind;
    const std::vector<std::pair<OptionPage, std::vector<Step>>> golden = {
        {OptionPage::Color, {{1001, E::RadioGroup, &S::tagColor, nullptr}}},
        {OptionPage::Link,
         {{1002, E::CheckBox, &S::linkWithDirectory, nullptr},
          {1005, E::Text, nullptr, &S::mailAddress},
          {1018, E::CheckBox, &S::linkWithAnchor, nullptr}}},
        {OptionPage::Table,
         {{1006, E::Integer, &S::tableColumns, nullptr},
          {1007, E::Integer, &S::tableRows, nullptr}}},
        {OptionPage::Font,
         {{1010, E::Text, nullptr, &S::fontColor, std::nullopt, 7},
          {1009, E::Integer, &S::fontSize, nullptr, IntRange{1, 7}},
          {1011, E::Text, nullptr, &S::fontFace},
          {1012, E::CheckBox, &S::entityMnemonic, nullptr}}},
        {OptionPage::Form,
         {{1016, E::Text, nullptr, &S::bodyOptions}, {1015, E::Text, nullptr, &S::pageTitle}}},
        {OptionPage::Calendar,
         {{1006, E::Integer, &S::calendarColumns, nullptr, IntRange{1, 10}},
          {1005, E::Integer, &S::calendarMonth, nullptr, IntRange{1, 12}},
          {1007, E::Integer, &S::calendarWidth, nullptr, IntRange{0, 800}},
          {1004, E::Integer, &S::calendarYear, nullptr, IntRange{1900, 2100}}}},
    };
    for (const auto& [page, steps] : golden) {
        const std::span<const ExchangeStep> got = pageInfo(page).steps;
        SCOPED_TRACE(pageInfo(page).className);
        ASSERT_EQ(got.size(), steps.size());
        for (std::size_t i = 0; i < steps.size(); ++i) {
            SCOPED_TRACE(steps[i].control);
            EXPECT_EQ(got[i].control, steps[i].control);
            EXPECT_EQ(got[i].kind, steps[i].kind);
            EXPECT_EQ(got[i].intField, steps[i].intField);
            EXPECT_EQ(got[i].textField, steps[i].textField);
            EXPECT_EQ(got[i].range, steps[i].range);
            EXPECT_EQ(got[i].maxChars, steps[i].maxChars);
        }
    }
}

TEST(OptionPages, SheetCaptionsAndTemplateFont) {
    EXPECT_EQ(kOptionsSheetCaption, "Pelorinのｵﾌﾟｼｮﾝ");
    EXPECT_EQ(kFormSheetCaption, "汎用ﾌｫｰﾑの挿入");
    EXPECT_EQ(kCalendarSheetCaption, "ｶﾚﾝﾀﾞｰの作成");
    EXPECT_EQ(kTableSheetCaption, "ﾃｰﾌﾞﾙﾃﾝﾌﾟﾚｰﾄの挿入");
    EXPECT_EQ(kDialogFontFace, "ＭＳ Ｐゴシック");
    EXPECT_EQ(kDialogFontPoints, 9);
}

} // namespace
} // namespace zu
