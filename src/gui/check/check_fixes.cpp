#include "gui/check/check_fixes.h"

#include "gui/doc/document_joins.h"
#include "gui/doc/zu_doc.h"

#include <QString>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>
#include <vector>

namespace zu {

// The way Replace All edits: every place mapped to the control before the
// first edit, then replaced from the last back, so that no edit moves a
// place still to come; one edit block is one undo step.
void applyCheckFixes(CZuDoc& document, std::span<const check::Fix> fixes) {
    if (fixes.empty())
        return;
    std::vector<std::pair<int, int>> places;
    places.reserve(fixes.size());
    for (const check::Fix& fix : fixes)
        places.emplace_back(document.toControl(static_cast<long>(fix.start)),
                            document.toControl(static_cast<long>(fix.end), JoinMap::Side::Before));
    QTextDocument* text = document.textDocument();
    QTextCursor step(text);
    step.beginEditBlock();
    QTextCursor edit(text);
    QTextCursor last(text); // follows the edits in front of it
    for (std::size_t i = fixes.size(); i-- > 0;) {
        edit.setPosition(places[i].first);
        edit.setPosition(places[i].second, QTextCursor::KeepAnchor);
        removeSelection(edit);
        const std::u16string& with = fixes[i].replacement;
        edit.insertText(QString(reinterpret_cast<const QChar*>(with.data()),
                                static_cast<qsizetype>(with.size())));
        if (i + 1 == fixes.size())
            last = edit;
    }
    // A line the fixes made long is shown in pieces.
    const int first = text->findBlock(places.front().first).blockNumber();
    if (splitLongBlocks(text, first, last.blockNumber(), document.joinBound()))
        document.joins().joinsMade();
    step.endEditBlock();
}

} // namespace zu
