#pragma once
// Tag removal: every tag taken out of the whole text, the text between the
// tags kept; and the confirmation shown before both whole-text commands
// (removal and colouring), which cannot be undone.

#include "core/settings/dialog_layout.h"
#include "core/tags/tag_spans.h"

#include <string>
#include <string_view>
#include <vector>

namespace zu {

struct TagRemoval {
    enum class Outcome {
        Removed,    // `text` is the new text
        Unchanged,  // no tag was found: leave the document alone
        Mismatched, // a ">" came before the next "<": tell the user, change nothing
    };
    Outcome outcome = Outcome::Unchanged;
    std::u16string text; // empty unless Removed
    // Where the removed tags stood in the old text, "<" to ">" inclusive, in
    // ascending order; empty unless Removed. A window that deletes just these
    // ranges keeps what it knows about the characters between them.
    std::vector<TagSpan> tags;
};

// Works on UTF-16 text, whole characters at a time, so part of a double-byte
// character can never be taken for a delimiter.
TagRemoval removeTags(std::u16string_view text);

// Shown, with the caption "zu", when removal meets a ">" before a "<".
inline constexpr std::string_view kTagMismatchMessage = "< と > が正しく対応していません。";

// The confirmation dialog; OK is the default button.
inline constexpr std::string_view kConfirmCaption = "確認";
inline constexpr int kConfirmWidth = 187;
inline constexpr int kConfirmHeight = 93;
inline constexpr DialogLabel kConfirmWarning{"注意：この操作はアンドゥできません。", 7, 16};
inline constexpr DialogLabel kConfirmQuestion{"実行しますか？", 60, 40};
inline constexpr DialogButton kConfirmOk{1, "OK", {37, 60, 50, 14}};
inline constexpr DialogButton kConfirmCancel{2, "ｷｬﾝｾﾙ", {102, 60, 50, 14}};

} // namespace zu
