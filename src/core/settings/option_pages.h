#pragma once
// The six pages of the Options dialog as data: each page's controls in tab
// order with their dialog-unit positions and the Settings field they edit,
// and the steps that move the controls' values back into the fields. The
// widgets are built from these tables; the rules that run the steps are in
// option_rules.h.

#include "core/settings/dialog_layout.h"
#include "core/settings/settings.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zu {

// In the order the full sheet shows them.
enum class OptionPage { Color, Link, Table, Font, Form, Calendar };

// The controls of each page by what they edit. A number belongs to its page
// alone: pages use the same number for different fields (1006 is the
// table's columns and the calendar's), so code names a control by these.
namespace control {
namespace color {
inline constexpr int Red = 1001, Green = 1002, Blue = 1003;
}
namespace link {
inline constexpr int WithDirectory = 1002, MailAddress = 1005, WithAnchor = 1018;
}
namespace table {
inline constexpr int Columns = 1006, Rows = 1007;
}
namespace font {
inline constexpr int Size = 1009, Color = 1010, Face = 1011, Mnemonic = 1012;
}
namespace form {
inline constexpr int PageTitle = 1015, BodyOptions = 1016;
}
namespace calendar {
inline constexpr int Year = 1004, Month = 1005, Columns = 1006, Width = 1007;
}
} // namespace control

enum class ControlKind {
    RadioFirst,  // radio button that starts its group
    Radio,       // further radio button of the group
    GroupBox,    // frame that ends the radio group
    CheckBox,    // two-state automatic check box
    Edit,        // single-line text edit
    IntegerEdit, // single-line edit holding an integer
    Label,       // plain left-aligned static text
};

struct PageControl {
    int id = 0; // 0 for labels and the group box, which nothing addresses
    ControlKind kind = ControlKind::Label;
    std::string_view text;
    DialogRect rect;
    // The field the control edits; at most one is set.
    int Settings::*intField = nullptr;
    std::string Settings::*textField = nullptr;
    int radioValue = -1; // radio buttons: the field's value when this one is checked
    // Labels and the group box: the control they name for accessibility (the
    // first button for the radio group).
    int buddy = 0;
    // Text edits: the field's byte width, terminating NUL included (at most
    // width-1 CP932 bytes fit), and a limit in characters while typing (0:
    // none).
    std::size_t fieldWidth = 0;
    int maxChars = 0;
};

// How one step of a page's save moves a control's value into its field.
enum class ExchangeKind {
    RadioGroup, // the group starting at the step's control
    CheckBox,
    Text,
    Integer,
};

struct IntRange {
    int min = 0, max = 0;
    friend bool operator==(const IntRange&, const IntRange&) = default;
};

struct ExchangeStep {
    int control = 0;
    ExchangeKind kind = ExchangeKind::Text;
    int Settings::*intField = nullptr;
    std::string Settings::*textField = nullptr;
    std::optional<IntRange> range; // Integer: checked after the value was stored
    int maxChars = 0;              // Text: checked after the text was stored (0: none)
};

struct PageInfo {
    OptionPage page;
    std::string_view className;
    int resource; // the page's dialog template number
    std::string_view caption;
    int width, height;                     // dialog units
    std::span<const PageControl> controls; // template order, which is the tab order
    std::span<const ExchangeStep> steps;   // save order, which decides the first error shown
};

// All six, in sheet order.
std::span<const PageInfo> optionPages();
const PageInfo& pageInfo(OptionPage page);

// The control with `id` on `page`, or null.
const PageControl* findControl(OptionPage page, int id);

// The full sheet, and the three sheets that show one page alone.
inline constexpr std::string_view kOptionsSheetCaption = "Pelorinのｵﾌﾟｼｮﾝ";
inline constexpr std::string_view kFormSheetCaption = "汎用ﾌｫｰﾑの挿入";
inline constexpr std::string_view kCalendarSheetCaption = "ｶﾚﾝﾀﾞｰの作成";
inline constexpr std::string_view kTableSheetCaption = "ﾃｰﾌﾞﾙﾃﾝﾌﾟﾚｰﾄの挿入";

} // namespace zu
