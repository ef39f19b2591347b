#pragma once
// What the parts of the page check share: the findings being gathered and
// the line a position is on. Only core/check includes this.

#include "core/check/check_page.h"
#include "core/check/page_scan.h"

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zu::check {

// The start of every line of a text, to tell the line of a position;
// found when first asked, as most pages never ask.
class LineStarts {
public:
    explicit LineStarts(std::u16string_view text) : text_(text) {}
    std::size_t lineOf(std::size_t index); // from 1
private:
    std::u16string_view text_;
    std::vector<std::size_t> starts_;
};

class Findings {
public:
    // The message is the rule's with "%1", "%2" replaced by `args` (UTF-16
    // text made UTF-8).
    void add(Rule rule, std::size_t start, std::size_t end,
             std::initializer_list<std::u16string_view> args = {}, std::optional<Fix> fix = {});
    std::vector<Finding> take() { return std::move(list_); }

private:
    std::vector<Finding> list_;
};

// The parts of checkPage, each adding what it finds: the characters of the
// whole text, and three readers of its tokens in the one scan.
void checkCharacters(std::u16string_view text, const PageFacts& facts, Findings& out);
std::unique_ptr<TokenReader> wordChecks(Findings& out);
std::unique_ptr<TokenReader> elementChecks(const PageFacts& facts, LineStarts& lines,
                                           Findings& out);
std::unique_ptr<TokenReader> structureChecks(Findings& out);

// A number as text, for messages.
std::u16string decimal(std::size_t n);

} // namespace zu::check
