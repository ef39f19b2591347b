#pragma once
// core/check: the page check. It reads a page's text for the problems that
// Japanese accessibility checkers report (機種依存 characters, half-width
// kana, words spaced out for layout, images and links without a readable
// name, the page's title, language and charset, tags not closed) and says
// how sure it is of each. The editor's list and the command line show the
// same findings and apply the same fixes.
//
// This file: what one finding is. Positions are UTF-16 indexes into the text
// that was checked (a document's text, each line break one character, as
// the editing control holds it). Lines and columns are those of the file,
// counted from 1: a line ends at '\n', at '\r' (CR LF counting once) or at
// U+2029, and a column counts characters from the line's start, a
// surrogate pair as the one character it is and a tab as one, so that the
// editor's line-and-column pane and a terminal agree with what is printed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zu::check {

// How sure the check is that what it found is a fault of the page.
enum class Severity : std::uint8_t {
    Problem, // 問題あり: a fault whatever the page says
    Likely,  // 問題の可能性大: almost always a fault
    Judge,   // 要判断: the author must look at it in context
};

// "問題あり", "問題の可能性大", "要判断".
std::string_view severityName(Severity severity);

enum class Rule : std::uint8_t {
    PlatformCharacter, // a CP932 extension character
    Unencodable,       // a character the page's encoding cannot hold
    UnreadableBytes,   // bytes that did not decode in the page's encoding
    HalfWidthKana,
    SpacedWord,    // 「氏　名」
    SpacedLetters, // "W E L C O M E"
    MissingAlt,
    EmptyAltInLink, // the image is all there is of a link or a button
    BlankAlt,
    FileNameAlt,
    PlaceholderAlt, // 「画像」, "spacer"
    LongAlt,
    EmptyLink,
    VagueLinkText, // 「こちら」
    MissingTitle,
    EmptyTitle,
    PlaceholderTitle, // 「無題」
    MissingLang,
    TimedRefresh, // meta refresh after a delay
    Redirect,     // meta refresh at once
    MissingCharset,
    CharsetMismatch,
    DuplicateId,
    UnclosedElement,
    MisnestedElement, // closed after an element that it contains
    StrayEndTag,
    UnknownElement,
    UnterminatedTag,
};

// A rule as data: its severity and its message, in which "%1" and "%2" stand
// for what the finding names (a character, an element, a value).
struct RuleRow {
    Rule rule;
    Severity severity;
    std::string_view message;
};

// Every rule, in the order of Rule.
std::span<const RuleRow> ruleRows();
const RuleRow& ruleRow(Rule rule);

// Where a fix is safe: the text from `start` to `end` (UTF-16 indexes, end
// excluded) becomes `replacement`.
struct Fix {
    std::size_t start = 0;
    std::size_t end = 0;
    std::u16string replacement;
    friend bool operator==(const Fix&, const Fix&) = default;
};

struct Finding {
    Rule rule{};
    std::size_t start = 0; // what to select: UTF-16 indexes, end excluded
    std::size_t end = 0;
    std::size_t line = 0; // of `start`, from 1
    std::size_t column = 0;
    std::string message;
    std::optional<Fix> fix;

    Severity severity() const { return ruleRow(rule).severity; }
};

} // namespace zu::check
