#include "gui/check/check_fixes.h"

#include "gui/doc/document_edit.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace zu {

// All the fixes in one document edit: one step for Undo, places named in
// the file's text as the findings give them.
void applyCheckFixes(CZuDoc& document, std::span<const check::Fix> fixes) {
    if (fixes.empty())
        return;
    std::vector<DocumentEdit::Replacement> places;
    places.reserve(fixes.size());
    for (const check::Fix& fix : fixes)
        places.push_back({{static_cast<long>(fix.start), static_cast<long>(fix.end)},
                          QString(reinterpret_cast<const QChar*>(fix.replacement.data()),
                                  static_cast<qsizetype>(fix.replacement.size()))});
    std::ranges::sort(places, {}, [](const auto& r) { return r.range.from; });
    DocumentEdit edit(document, places.front().range.from);
    edit.replace(places);
}

} // namespace zu
