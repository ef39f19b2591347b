#pragma once
// Checking a page: every rule of finding.h run over a text, the findings
// sorted by where they start. One pass over the text and its tags, cheap
// enough to run again after each edit: a list that follows the document
// checks it again rather than patching what it found before.

#include "core/check/finding.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zu {
class Encoding;
}

namespace zu::check {

struct PageFacts {
    // The encoding the page's file was read in, as zu detected it (the
    // document's encoding): what the characters must fit, and what the
    // charset declaration must name. Null: neither is checked.
    const Encoding* encoding = nullptr;
};

// Findings in ascending order of `start` (rule order among equals).
//
// The rules about the page as a whole (title, lang, charset) apply only to
// a text that is a whole page: one with a DOCTYPE or an html, head, body or
// title tag. A part of a page (a file a server includes into others) is
// checked for the rest.
std::vector<Finding> checkPage(std::u16string_view text, const PageFacts& facts = {});

// `text` with the fixes made. They must not overlap and be in ascending
// order, as the fixes of checkPage's findings of one rule are.
std::u16string applyFixes(std::u16string_view text, std::span<const Fix> fixes);

} // namespace zu::check
