#include "gui/doc/file_lines.h"

#include "gui/doc/text_model.h"

#include <QTextDocument>

namespace zu {
namespace {

std::u16string_view asView(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

// How many paragraphs up to and including the one at control position
// `start` continue a line: each is one control position the source lacks.
long joinsUpTo(const TextModel& doc, int start) {
    return start - doc.toSource(start);
}

} // namespace

QTextBlock lineStart(const QTextBlock& block) {
    QTextBlock first = block;
    while (!TextModel::startsLine(first))
        first = first.previous();
    return first;
}

long lineIndex(const TextModel& doc, const QTextBlock& block) {
    return block.blockNumber() - joinsUpTo(doc, block.position());
}

long lineCount(const TextModel& doc) {
    return lineIndex(doc, doc.textDocument()->lastBlock()) + 1;
}

QTextBlock lineBlock(const TextModel& doc, long index) {
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

QString lineText(const TextModel& doc, const QTextBlock& first) {
    QTextBlock last = first;
    while (last.next().isValid() && !TextModel::startsLine(last.next()))
        last = last.next();
    return doc.sourceText(first.position(), last.position() + last.length() - 1);
}

// The characters of each piece of a long line, kept in its paragraph's
// user state until an edit touches it (-1, the state of a new paragraph):
// the caret's column in a line of a million characters is then a sum over
// its pieces, not a count through all of them at every keystroke.
class PieceColumns final : public QObject {
public:
    explicit PieceColumns(QTextDocument* text) : QObject(text) {
        setObjectName(kName);
        connect(text, &QTextDocument::contentsChange, this, [text](int from, int, int added) {
            for (QTextBlock b = text->findBlock(from); b.isValid() && b.position() <= from + added;
                 b = b.next())
                b.setUserState(-1);
        });
    }

    // One for each document, made when first needed; found by its name, as
    // a class without a meta-object of its own cannot be told from others.
    static constexpr QLatin1StringView kName{"zu-piece-columns"};
    static void follow(QTextDocument* text) {
        if (!text->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly))
            new PieceColumns(text);
    }

    static long of(QTextBlock block) {
        if (block.userState() < 0) {
            const QString piece = block.text();
            block.setUserState(static_cast<int>(characterColumns(asView(piece))));
        }
        return block.userState();
    }
};

LineColumn lineColumnAt(const TextModel& doc, int position) {
    QTextDocument* text = doc.textDocument();
    const QTextBlock block = text->findBlock(position);
    const QTextBlock first = lineStart(block);
    // The piece of the place, up to it, as the file holds it; then the
    // pieces in front of it, whole (a join never parts a character).
    const QString before = doc.sourceText(block.position(), position);
    LineColumn place = placeInLine(lineIndex(doc, first), asView(before));
    if (first == block)
        return place;
    PieceColumns::follow(text);
    for (QTextBlock piece = block.previous(); piece.isValid(); piece = piece.previous()) {
        place.column += PieceColumns::of(piece);
        if (piece == first)
            break;
    }
    return place;
}

} // namespace zu
