#pragma once
// The fixes of the page check made in a document's text.

#include "core/check/finding.h"

#include <span>

namespace zu {
class CZuDoc;

// Makes `fixes` (ascending, not overlapping, in source positions of the
// document's text as the check found them) as one undo step.
void applyCheckFixes(CZuDoc& document, std::span<const check::Fix> fixes);

} // namespace zu
