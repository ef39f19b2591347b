#pragma once
// What the Options pages do with their values: how a typed integer is read,
// how radio buttons and check boxes stand for a field, the messages of a
// refused value, and each page's fill and save run over its controls by id.
// The widgets only show and collect; every decision is made here.

#include "core/settings/option_pages.h"
#include "core/settings/settings.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zu {

// The integer a user typed: blanks and tabs around, an optional sign, decimal
// digits and nothing else. Only the first 31 characters are looked at. Empty
// text, anything else, and a number a 32-bit field cannot hold all fail.
std::optional<int> parseDialogInteger(std::string_view utf8);

// Characters (code points) of UTF-8 text, as a typing limit counts them.
std::size_t characterCount(std::string_view utf8);

// A check box's or radio button's state. Distinct from any toolkit's
// numbering on purpose.
enum class CheckState { Unchecked, Checked, Partial };

// Radio group, fill: the position of the button to check for `value` (0 to
// 2), or -1 when the value names none and no button is checked.
int radioIndex(int value);
// Radio group, save: the position of the checked button among `buttons`
// (in group order), or -1 when none is checked.
int radioSave(std::span<const CheckState> buttons);

// Check box, fill: the state shown for the field's value; 2 shows the
// partial state. A value below 0 or above 2 is first set to 0.
CheckState checkFill(int& value);
// Check box, save: 1 when checked, else 0 (a partial box counts as not checked).
int checkSave(CheckState state);

// The messages of a refused value.
std::string integerMessage();               // "整数を入力してください。"
std::string rangeMessage(int min, int max); // "%1 から %2 までの整数を入力してください。"
std::string maxCharsMessage(int maxChars); // "%1 文字以内で入力してください。"

// Whether `utf8` may stand in a text field of `width` bytes (terminating NUL
// included): every character is one CP932 has (no raw-byte stand-ins, no
// character references made up for it, no NUL or CR, which would end the
// field early) and the CP932 bytes are at most width-1. The edits refuse any
// typing or pasting that would make this false, so nothing is ever cut.
bool fitsTextField(std::string_view utf8, std::size_t width);

struct FieldFailure {
    int control; // the edit to focus, with its whole text selected
    std::string message;
    friend bool operator==(const FieldFailure&, const FieldFailure&) = default;
};

// What a page reads its controls through, by control id.
struct ControlReader {
    std::function<std::string(int control)> text; // edits, UTF-8
    std::function<CheckState(int control)> check; // check boxes and radio buttons
};

// What a page shows its values through, by control id.
struct ControlWriter {
    std::function<void(int control, const std::string& text)> setText;
    std::function<void(int control, CheckState state)> setCheck;
};

// Fills the page's controls from `members`, in save order. A check box value
// outside 0 to 2 is set to 0 in `members` on the way.
void fillPage(OptionPage page, Settings& members, const ControlWriter& controls);

// Runs the page's save steps in order, storing each value into `members` as
// soon as it is read, and stops at the first refused value. Fields stored by
// earlier steps keep their new values. Text is stored whole: the edits never
// hold more than their field can.
std::optional<FieldFailure> savePage(OptionPage page, const ControlReader& controls,
                                     Settings& members);

// Copies exactly the fields `page` edits.
void copyPageFields(OptionPage page, const Settings& from, Settings& to);

} // namespace zu
