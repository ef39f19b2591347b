#include "gui/view/whole_text.h"

#include "core/tags/tag_spans.h"
#include "gui/doc/document_marks.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/ui.h"

#include <QTextDocument>

#include <string_view>
#include <vector>

namespace zu {
namespace {

// The text as the control holds it, U+2029 ending each line but the last.
std::u16string_view asView(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

} // namespace

// The colours are drawn over the text (DocumentMarks says why), so the
// selection, the undo history and the modified flag are never touched.
void colourTags(CZuView& view) {
    const ui::WaitCursor wait;
    TextModel& text = view.doc()->text();
    // Found in the text, drawn on the control's paragraphs.
    text.marks().paintTags(controlTagSpans(text, text.sourceText()), view.tagColour());
}

TagRemoval::Outcome removeAllTags(CZuDoc& document) {
    const ui::WaitCursor wait;
    const QString text = document.text().sourceText();
    const TagRemoval removal = removeTags(asView(text));
    // Setting the whole text anew, against deleting each tag where it
    // stands: the tags are many and the fragment tree splits at each, which
    // made the deletions take several times longer than filling the text.
    if (removal.outcome == TagRemoval::Outcome::Removed) {
        std::vector<SourceRange> tags;
        tags.reserve(removal.tags.size());
        for (const TagSpan& tag : removal.tags)
            tags.push_back({tag.start, tag.end});
        DocumentEdit(document).takeOut(tags, removal.text);
    }
    return removal.outcome;
}

} // namespace zu
