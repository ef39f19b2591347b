#include "core/settings/option_rules.h"

#include "core/text/cp932.h"
#include "core/text/utf.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace zu {
namespace {

// How many characters of a typed integer are looked at; anything after them
// is not part of the value, whatever it is.
constexpr std::size_t kIntegerChars = 31;

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The radio buttons of the group that starts at `first`, in group order.
std::vector<int> radioGroup(OptionPage page, int first) {
    std::vector<int> ids;
    bool inGroup = false;
    for (const PageControl& control : pageInfo(page).controls) {
        if (control.kind == ControlKind::RadioFirst)
            inGroup = control.id == first;
        else if (control.kind != ControlKind::Radio)
            inGroup = false;
        if (inGroup)
            ids.push_back(control.id);
    }
    return ids;
}

} // namespace

std::optional<int> parseDialogInteger(std::string_view utf8) {
    // Cutting bytes instead of characters gives the same answer: a value can
    // only be made of ASCII, and any other character within the first 31
    // makes the text fail either way.
    std::string_view text = utf8.substr(0, kIntegerChars);
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    // One more than INT_MAX in magnitude, so that INT_MIN still reads.
    const std::int64_t limit = std::int64_t{std::numeric_limits<int>::max()} + (negative ? 1 : 0);
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8)
        if (!isContinuationByte(c))
            ++count;
    return count;
}

int radioIndex(int value) {
    return value >= 0 && value <= 2 ? value : -1;
}

int radioSave(std::span<const CheckState> buttons) {
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i] == CheckState::Checked)
            return static_cast<int>(i);
    return -1;
}

CheckState checkFill(int& value) {
    switch (value) {
    case 1:
        return CheckState::Checked;
    case 2:
        return CheckState::Partial;
    case 0:
        return CheckState::Unchecked;
    default:
        value = 0;
        return CheckState::Unchecked;
    }
}

int checkSave(CheckState state) {
    return state == CheckState::Checked ? 1 : 0;
}

std::string integerMessage() {
    return "整数を入力してください。";
}

std::string rangeMessage(int min, int max) {
    return std::to_string(min) + " から " + std::to_string(max) + " までの整数を入力してください。";
}

std::string maxCharsMessage(int maxChars) {
    return std::to_string(maxChars) + " 文字以内で入力してください。";
}

bool fitsTextField(std::string_view utf8, std::size_t width) {
    if (width == 0)
        return false;
    // Ill-formed UTF-8 becomes U+FFFD here, which CP932 cannot hold either.
    const std::u16string text = utf8ToUtf16(utf8);
    for (const char16_t c : text)
        if (c == u'\0' || c == u'\r' || cp932::isRawByte(c))
            return false;
    const cp932::Encoded encoded = cp932::encode(text);
    return encoded.unencodable.empty() && encoded.bytes.size() <= width - 1;
}

void fillPage(OptionPage page, Settings& members, const ControlWriter& controls) {
    for (const ExchangeStep& step : pageInfo(page).steps) {
        switch (step.kind) {
        case ExchangeKind::RadioGroup: {
            const int checked = radioIndex(members.*step.intField);
            const std::vector<int> buttons = radioGroup(page, step.control);
            for (std::size_t i = 0; i < buttons.size(); ++i)
                controls.setCheck(buttons[i], static_cast<int>(i) == checked
                                                  ? CheckState::Checked
                                                  : CheckState::Unchecked);
            break;
        }
        case ExchangeKind::CheckBox:
            controls.setCheck(step.control, checkFill(members.*step.intField));
            break;
        case ExchangeKind::Text:
            controls.setText(step.control, members.*step.textField);
            break;
        case ExchangeKind::Integer:
            controls.setText(step.control, std::to_string(members.*step.intField));
            break;
        }
    }
}

std::optional<FieldFailure> savePage(OptionPage page, const ControlReader& controls,
                                     Settings& members) {
    for (const ExchangeStep& step : pageInfo(page).steps) {
        switch (step.kind) {
        case ExchangeKind::RadioGroup: {
            std::vector<CheckState> states;
            for (const int id : radioGroup(page, step.control))
                states.push_back(controls.check(id));
            members.*step.intField = radioSave(states);
            break;
        }
        case ExchangeKind::CheckBox:
            members.*step.intField = checkSave(controls.check(step.control));
            break;
        case ExchangeKind::Text: {
            std::string text = controls.text(step.control);
            const bool tooLong =
                step.maxChars > 0 && characterCount(text) > static_cast<std::size_t>(step.maxChars);
            // Stored, then judged, like an integer and its range: a refused
            // value stays in the member, but the user stays on the page and
            // the next save reads the control again.
            members.*step.textField = std::move(text);
            if (tooLong)
                return FieldFailure{step.control, maxCharsMessage(step.maxChars)};
            break;
        }
        case ExchangeKind::Integer: {
            const std::optional<int> value = parseDialogInteger(controls.text(step.control));
            if (!value)
                return FieldFailure{step.control, integerMessage()};
            members.*step.intField = *value;
            if (step.range && (*value < step.range->min || *value > step.range->max))
                return FieldFailure{step.control, rangeMessage(step.range->min, step.range->max)};
            break;
        }
        }
    }
    return std::nullopt;
}

void copyPageFields(OptionPage page, const Settings& from, Settings& to) {
    for (const ExchangeStep& step : pageInfo(page).steps) {
        if (step.intField)
            to.*step.intField = from.*step.intField;
        if (step.textField)
            to.*step.textField = from.*step.textField;
    }
}

} // namespace zu
