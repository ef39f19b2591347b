#include "core/check/check_page.h"

#include "core/check/check_parts.h"
#include "core/text/utf.h"

#include <algorithm>

namespace zu::check {
namespace {

bool endsLine(std::u16string_view text, std::size_t i) {
    const char16_t c = text[i];
    return c == u'\n' || c == u'\u2029' ||
           (c == u'\r' && !(i + 1 < text.size() && text[i + 1] == u'\n'));
}

// Lines and columns of the findings (sorted by start), in one walk over
// the text however many there are.
void locate(std::u16string_view text, std::vector<Finding>& findings) {
    std::size_t line = 1, column = 1, i = 0;
    for (Finding& f : findings) {
        for (; i < f.start && i < text.size(); ++i) {
            if (endsLine(text, i)) {
                ++line;
                column = 1;
            } else if (!(isLowSurrogate(text[i]) && i > 0 && isHighSurrogate(text[i - 1]))) {
                ++column;
            }
        }
        f.line = line;
        f.column = column;
    }
}

} // namespace

std::size_t LineStarts::lineOf(std::size_t index) {
    if (starts_.empty()) {
        starts_.push_back(0);
        for (std::size_t i = 0; i < text_.size(); ++i)
            if (endsLine(text_, i))
                starts_.push_back(i + 1);
    }
    return static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), index) -
                                    starts_.begin());
}

void Findings::add(Rule rule, std::size_t start, std::size_t end,
                   std::initializer_list<std::u16string_view> args, std::optional<Fix> fix) {
    Finding f;
    f.rule = rule;
    f.start = start;
    f.end = end;
    const std::string_view pattern = ruleRow(rule).message;
    f.message.reserve(pattern.size() + 16);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::size_t arg =
            i + 1 < pattern.size() && pattern[i] == '%' ? pattern[i + 1] - '1' : args.size();
        if (arg < args.size()) {
            f.message += utf16ToUtf8(args.begin()[arg]);
            ++i;
        } else {
            f.message += pattern[i];
        }
    }
    f.fix = std::move(fix);
    list_.push_back(std::move(f));
}

std::u16string decimal(std::size_t n) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n != 0);
    return digits;
}

std::vector<Finding> checkPage(std::u16string_view text, const PageFacts& facts) {
    LineStarts lines(text);
    Findings found;
    checkCharacters(text, facts, found);
    const std::unique_ptr<TokenReader> readers[] = {
        wordChecks(found), elementChecks(facts, lines, found), structureChecks(found)};
    TokenReader* const each[] = {readers[0].get(), readers[1].get(), readers[2].get()};
    scanPage(text, each);
    std::vector<Finding> findings = found.take();
    std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
        return a.start != b.start ? a.start < b.start : a.rule < b.rule;
    });
    locate(text, findings);
    return findings;
}

std::u16string applyFixes(std::u16string_view text, std::span<const Fix> fixes) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t kept = 0;
    for (const Fix& fix : fixes) {
        out.append(text.substr(kept, fix.start - kept));
        out.append(fix.replacement);
        kept = fix.end;
    }
    out.append(text.substr(kept));
    return out;
}

} // namespace zu::check
