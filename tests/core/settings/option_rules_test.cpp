// How the Options pages read, judge and store what the user typed.

#include "core/settings/option_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zu {

// Prints a record as its file (settings_test.cpp), so a failure shows every value.
void PrintTo(const Settings& record, std::ostream* out);

namespace {

using C = CheckState;

std::string repeat(std::string_view piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

TEST(OptionRules, ParseDialogInteger) {
    const std::string spaces30(30, ' ');
    const struct {
        std::string text;
        std::optional<int> value;
    } cases[] = {
        {"12", 12},
        {" 12 ", 12},
        {"\t-3\t", -3},
        {"+7", 7},
        {"-0", 0},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"1a", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"-", std::nullopt},
        {"--1", std::nullopt},
        {"+-1", std::nullopt},
        {"- 1", std::nullopt},
        {"12 3", std::nullopt},
        {"1\n", std::nullopt},
        {"１２", std::nullopt},    // full-width digits are not digits
        {"\u30001", std::nullopt}, // nor is the ideographic space a blank
        {"1.0", std::nullopt},
        {"0x10", std::nullopt},
        {"9:", std::nullopt}, // the characters either side of the digits
        {"/1", std::nullopt},
        // Only the first 31 characters count.
        {spaces30 + "5", 5},
        {spaces30 + " 5", std::nullopt},
        {std::string(29, ' ') + "123", 12},
        {"1" + spaces30 + "x", 1},
        {repeat("あ", 31) + "5", std::nullopt},
        {"7" + repeat("\u3000", 30) + "x", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseDialogInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(OptionRules, RadioFillAndSave) {
    const std::pair<int, int> fill[] = {{0, 0}, {1, 1}, {2, 2}, {-1, -1}, {3, -1}, {INT_MIN, -1}};
    for (const auto& [value, index] : fill)
        EXPECT_EQ(radioIndex(value), index) << value;

    const std::pair<std::vector<C>, int> save[] = {
        {{C::Checked, C::Unchecked, C::Unchecked}, 0},
        {{C::Unchecked, C::Checked, C::Unchecked}, 1},
        {{C::Unchecked, C::Unchecked, C::Checked}, 2},
        {{C::Unchecked, C::Unchecked, C::Unchecked}, -1},
    };
    for (const auto& [states, value] : save)
        EXPECT_EQ(radioSave(states), value);
}

TEST(OptionRules, CheckFillAndSave) {
    const struct {
        int value;
        C shown;
        int after;
    } fill[] = {
        {0, C::Unchecked, 0}, {1, C::Checked, 1},    {2, C::Partial, 2},
        {3, C::Unchecked, 0}, {-1, C::Unchecked, 0}, {INT_MIN, C::Unchecked, 0},
    };
    for (const auto& c : fill) {
        int value = c.value;
        EXPECT_EQ(checkFill(value), c.shown) << c.value;
        EXPECT_EQ(value, c.after) << c.value;
    }
    EXPECT_EQ(checkSave(C::Checked), 1);
    EXPECT_EQ(checkSave(C::Unchecked), 0);
    EXPECT_EQ(checkSave(C::Partial), 0);
}

TEST(OptionRules, Messages) {
    EXPECT_EQ(integerMessage(), "整数を入力してください。");
    EXPECT_EQ(rangeMessage(1, 12), "1 から 12 までの整数を入力してください。");
    EXPECT_EQ(rangeMessage(-5, 0), "-5 から 0 までの整数を入力してください。");
    EXPECT_EQ(maxCharsMessage(7), "7 文字以内で入力してください。");
}

TEST(OptionRules, FitsTextField) {
    const struct {
        std::string text;
        std::size_t width;
        bool fits;
    } cases[] = {
        {"", 128, true},
        {std::string(127, 'a'), 128, true},
        {std::string(128, 'a'), 128, false},
        {repeat("表", 63) + "a", 128, true}, // 127 CP932 bytes
        {repeat("表", 64), 128, false},
        {repeat("ｱ", 127), 128, true}, // one byte each in CP932, three in UTF-8
        {repeat("ｱ", 128), 128, false},
        {repeat("Ｐ", 31) + "a", 64, true},
        {repeat("Ｐ", 32), 64, false},
        {"#000000", 8, true},
        {"赤赤赤赤", 8, false},
        {"€", 128, false},
        {"a€", 128, false},
        {"\uF781", 128, false}, // stands for a raw byte, not a character
        {std::string("a\0b", 3), 128, false},
        {"a\rb", 128, false},
        {"\xff", 128, false}, // not UTF-8
        {"a", 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fitsTextField(c.text, c.width), c.fits) << c.text << " in " << c.width;
}

// Control values by id, as the page's widgets would hold them.
struct Panel {
    std::map<int, std::string> texts;
    std::map<int, C> checks;

    ControlReader reader() {
        return {[this](int id) { return texts.at(id); }, [this](int id) { return checks.at(id); }};
    }
    ControlWriter writer() {
        return {[this](int id, const std::string& text) { texts[id] = text; },
                [this](int id, C state) { checks[id] = state; }};
    }
};

// The page's controls as fillPage shows `record`.
Panel filled(OptionPage page, Settings record) {
    Panel panel;
    fillPage(page, record, panel.writer());
    return panel;
}

TEST(OptionRules, FillShowsTheMembers) {
    Settings record;
    record.tagColor = 1;
    EXPECT_EQ(filled(OptionPage::Color, record).checks,
              (std::map<int, C>{{1001, C::Unchecked}, {1002, C::Checked}, {1003, C::Unchecked}}));
    record.tagColor = 5;
    EXPECT_EQ(filled(OptionPage::Color, record).checks,
              (std::map<int, C>{{1001, C::Unchecked}, {1002, C::Unchecked}, {1003, C::Unchecked}}));

    record.linkWithDirectory = 7;
    record.linkWithAnchor = 2;
    record.mailAddress = "a@b";
    Panel link = filled(OptionPage::Link, record);
    EXPECT_EQ(link.checks, (std::map<int, C>{{1002, C::Unchecked}, {1018, C::Partial}}));
    EXPECT_EQ(link.texts, (std::map<int, std::string>{{1005, "a@b"}}));
    Settings members = record;
    fillPage(OptionPage::Link, members, Panel().writer());
    EXPECT_EQ(members.linkWithDirectory, 0);

    record.calendarYear = -12;
    EXPECT_EQ(filled(OptionPage::Calendar, record).texts,
              (std::map<int, std::string>{{1004, "-12"}, {1005, "1"}, {1006, "1"}, {1007, "400"}}));
}

TEST(OptionRules, SavingWhatWasFilledChangesNothing) {
    for (const PageInfo& info : optionPages()) {
        Settings members;
        Panel panel = filled(info.page, members);
        EXPECT_EQ(savePage(info.page, panel.reader(), members), std::nullopt) << info.className;
        EXPECT_EQ(members, Settings()) << info.className;
    }
}

TEST(OptionRules, SaveReportsTheFirstRefusedFieldAndKeepsEarlierValues) {
    const std::string needInteger = "整数を入力してください。";
    const struct {
        const char* name;
        OptionPage page;
        std::map<int, std::string> texts;
        std::map<int, C> checks;
        std::optional<FieldFailure> failure;
        std::function<void(Settings&)> expect; // the defaults turned into the saved record
    } cases[] = {
        // clang-format off
        {"green", OptionPage::Color, {}, {{1002, C::Checked}}, {},
         [](Settings& s) { s.tagColor = 1; }},
        {"no colour", OptionPage::Color, {}, {}, {},
         [](Settings& s) { s.tagColor = -1; }},
        {"link", OptionPage::Link, {{1005, "x@y"}}, {{1002, C::Checked}, {1018, C::Partial}}, {},
         [](Settings& s) { s.linkWithDirectory = 1, s.mailAddress = "x@y", s.linkWithAnchor = 0; }},
        {"negative table", OptionPage::Table, {{1006, "-5"}, {1007, "0"}}, {}, {},
         [](Settings& s) { s.tableColumns = -5, s.tableRows = 0; }},
        {"table rows", OptionPage::Table, {{1006, " 9"}, {1007, "y"}}, {},
         FieldFailure{1007, needInteger},
         [](Settings& s) { s.tableColumns = 9; }},
        {"colour before size", OptionPage::Font, {{1010, "#00000000"}, {1009, "8"}}, {},
         FieldFailure{1010, "7 文字以内で入力してください。"},
         [](Settings& s) { s.fontColor = "#00000000"; }},
        {"seven characters", OptionPage::Font,
         {{1010, "赤赤赤赤赤赤赤"}, {1009, "7"}, {1011, "f"}}, {{1012, C::Unchecked}}, {},
         [](Settings& s) { s.fontColor = "赤赤赤赤赤赤赤", s.fontSize = 7, s.fontFace = "f", s.entityMnemonic = 0; }},
        {"size 8", OptionPage::Font, {{1010, "red"}, {1009, "8"}}, {},
         FieldFailure{1009, "1 から 7 までの整数を入力してください。"},
         [](Settings& s) { s.fontColor = "red", s.fontSize = 8; }},
        {"size letters", OptionPage::Font, {{1010, "red"}, {1009, "ab"}}, {},
         FieldFailure{1009, needInteger},
         [](Settings& s) { s.fontColor = "red"; }},
        {"size empty", OptionPage::Font, {{1010, ""}, {1009, ""}}, {},
         FieldFailure{1009, needInteger},
         [](Settings& s) { s.fontColor = ""; }},
        {"columns before month", OptionPage::Calendar, {{1006, "11"}, {1005, "13"}}, {},
         FieldFailure{1006, "1 から 10 までの整数を入力してください。"},
         [](Settings& s) { s.calendarColumns = 11; }},
        {"month 13", OptionPage::Calendar, {{1006, "5"}, {1005, "13"}}, {},
         FieldFailure{1005, "1 から 12 までの整数を入力してください。"},
         [](Settings& s) { s.calendarColumns = 5, s.calendarMonth = 13; }},
        {"month 0", OptionPage::Calendar, {{1006, "1"}, {1005, "0"}}, {},
         FieldFailure{1005, "1 から 12 までの整数を入力してください。"},
         [](Settings& s) { s.calendarMonth = 0; }},
        {"width 801", OptionPage::Calendar, {{1006, "10"}, {1005, "12"}, {1007, "801"}}, {},
         FieldFailure{1007, "0 から 800 までの整数を入力してください。"},
         [](Settings& s) { s.calendarColumns = 10, s.calendarMonth = 12, s.calendarWidth = 801; }},
        {"year 2101", OptionPage::Calendar, {{1006, "1"}, {1005, "1"}, {1007, "0"}, {1004, "2101"}}, {},
         FieldFailure{1004, "1900 から 2100 までの整数を入力してください。"},
         [](Settings& s) { s.calendarWidth = 0, s.calendarYear = 2101; }},
        {"calendar bounds", OptionPage::Calendar, {{1006, "10"}, {1005, "12"}, {1007, "800"}, {1004, "1900"}}, {}, {},
         [](Settings& s) { s.calendarColumns = 10, s.calendarMonth = 12, s.calendarWidth = 800, s.calendarYear = 1900; }},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Panel panel{c.texts, c.checks};
        // Radio buttons and check boxes the row leaves out are unchecked.
        for (const PageControl& control : pageInfo(c.page).controls)
            if (control.kind != ControlKind::Edit && control.kind != ControlKind::IntegerEdit &&
                control.id != 0)
                panel.checks.try_emplace(control.id, C::Unchecked);
        Settings members, expected;
        c.expect(expected);
        EXPECT_EQ(savePage(c.page, panel.reader(), members), c.failure);
        EXPECT_EQ(members, expected);
    }
}

TEST(OptionRules, CopyPageFieldsCopiesExactlyThePagesFields) {
    Settings from;
    from.tagColor = 0, from.linkWithDirectory = 1, from.linkWithAnchor = 0, from.reserved = 9;
    from.mailAddress = "m", from.tableColumns = -1, from.tableRows = -2, from.fontFace = "ff";
    from.fontSize = 8, from.fontColor = "fc", from.entityMnemonic = 0, from.pageTitle = "pt";
    from.bodyOptions = "bo", from.calendarYear = 1, from.calendarMonth = 2;
    from.calendarColumns = 3, from.calendarWidth = 4, from.programPath = "/p";

    const std::pair<OptionPage, std::function<void(Settings&)>> cases[] = {
        {OptionPage::Color, [](Settings& s) { s.tagColor = 0; }},
        {OptionPage::Link,
         [](Settings& s) { s.linkWithDirectory = 1, s.mailAddress = "m", s.linkWithAnchor = 0; }},
        {OptionPage::Table, [](Settings& s) { s.tableColumns = -1, s.tableRows = -2; }},
        {OptionPage::Font,
         [](Settings& s) {
             s.fontFace = "ff", s.fontSize = 8, s.fontColor = "fc", s.entityMnemonic = 0;
         }},
        {OptionPage::Form, [](Settings& s) { s.pageTitle = "pt", s.bodyOptions = "bo"; }},
        {OptionPage::Calendar,
         [](Settings& s) {
             s.calendarYear = 1, s.calendarMonth = 2, s.calendarColumns = 3, s.calendarWidth = 4;
         }},
    };
    for (const auto& [page, expect] : cases) {
        Settings to, expected;
        expect(expected);
        copyPageFields(page, from, to);
        EXPECT_EQ(to, expected) << pageInfo(page).className;
    }
}

} // namespace
} // namespace zu
