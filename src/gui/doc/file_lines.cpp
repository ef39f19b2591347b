#include "gui/doc/file_lines.h"

#include "gui/doc/document_joins.h"
#include "gui/doc/zu_doc.h"

#include <QTextDocument>

namespace zu {
namespace {

std::u16string_view asView(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

// How many paragraphs up to and including the one at control position
// `start` continue a line: each is one control position the source lacks.
long joinsUpTo(const CZuDoc& doc, int start) {
    return start - doc.toSource(start);
}

} // namespace

QTextBlock lineStart(const QTextBlock& block) {
    QTextBlock first = block;
    while (first.previous().isValid() && isJoined(first))
        first = first.previous();
    return first;
}

long lineIndex(const CZuDoc& doc, const QTextBlock& block) {
    return block.blockNumber() - joinsUpTo(doc, block.position());
}

long lineCount(const CZuDoc& doc) {
    return doc.textDocument()->blockCount() - static_cast<long>(doc.joinMap().size());
}

QTextBlock lineBlock(const CZuDoc& doc, long index) {
    if (index < 0 || index >= lineCount(doc))
        return {};
    // The paragraph of a line is its index plus the joins in front of it;
    // counted from the index upward, the count settles on the first piece.
    const QTextDocument* text = doc.textDocument();
    long number = index;
    for (;;) {
        const QTextBlock block = text->findBlockByNumber(static_cast<int>(number));
        const long next = index + joinsUpTo(doc, block.position());
        if (next == number)
            return block;
        number = next;
    }
}

QString lineText(const CZuDoc& doc, const QTextBlock& first) {
    QTextBlock last = first;
    while (last.next().isValid() && isJoined(last.next()))
        last = last.next();
    return doc.sourceText(first.position(), last.position() + last.length() - 1);
}

LineColumn lineColumnAt(const CZuDoc& doc, int position) {
    const QTextBlock block = doc.textDocument()->findBlock(position);
    const QTextBlock first = lineStart(block);
    const QString before = doc.sourceText(first.position(), position);
    return placeInLine(lineIndex(doc, first), asView(before));
}

} // namespace zu
