#include "gui/doc/document_marks.h"

#include "core/settings/settings.h"
#include "core/text/cp932.h"
#include "gui/doc/text_model.h"

#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace zu {
namespace {

// Tells the blocks that carry marks from those that never had any, so that
// following an edit of a long text does not give every line a layout only
// to clear it.
class Marked final : public QTextBlockUserData {};

std::u16string_view asView(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

QTextCharFormat rawByteMark() {
    QTextCharFormat mark;
    mark.setBackground(QColor(255, 200, 200));
    mark.setForeground(QColor(160, 0, 0));
    return mark;
}

} // namespace

// Why an overlay and not character formats. Setting a character format is
// a change of the document: QTextDocument records it for Undo and counts it
// as a modification, and its price, a split of the fragment tree per tag,
// made colouring a large page several times slower than opening it. The
// additional formats of a block's layout cost a list per line, leave the
// document and its undo history alone, and are what QSyntaxHighlighter draws
// with. What they do not do by themselves is follow the text, so the colours
// are kept as runs beside it (ColourRuns) and moved with every edit: typed
// text takes the colour of its neighbour as it would take its format. Text
// that Undo brings back takes its neighbour's colour too, not the one it had.
DocumentMarks::DocumentMarks(QTextDocument* text) : QObject(text), text_(text) {}

std::vector<TagSpan> controlTagSpans(const TextModel& doc, const QString& text, long from) {
    std::vector<TagSpan> spans = tagSpans(asView(text));
    for (TagSpan& span : spans) {
        span.start = doc.toControl(from + span.start);
        span.end = doc.toControl(from + span.end);
    }
    return spans;
}

void DocumentMarks::paintTags(std::span<const TagSpan> spans, Rgb colour) {
    lastColour_ = colour;
    if (spans.empty())
        return;
    colours_.paint(spans, colour);
    // Positions are counted along, not asked of each block: a block finds
    // its position by walking the block tree.
    QTextBlock block = text_->findBlock(static_cast<int>(spans.front().start));
    const int first = block.position();
    int begin = first;
    int shownEnd = first;
    for (const TagSpan& span : spans) {
        while (block.isValid() && begin + block.length() <= span.start) {
            begin += block.length();
            block = block.next();
        }
        // A line is drawn once, however many tags it holds; a tag across
        // the soft joins of a long line is drawn in every piece it touches.
        while (block.isValid()) {
            if (shownEnd <= begin) {
                show(block, begin);
                shownEnd = begin + block.length();
            }
            if (begin + block.length() >= span.end)
                break;
            begin += block.length();
            block = block.next();
        }
        if (!block.isValid())
            break;
    }
    // Outside an edit the layout learns of new formats only when told.
    text_->markContentsDirty(first, shownEnd - first);
}

void DocumentMarks::follow(int from, int removed, int added) {
    // Text typed at a soft join continues the line: it takes the colour of
    // what stands in front of it, which the join's separator carries.
    const bool atLineStart =
        from == 0 || (text_->characterAt(from - 1) == QChar::ParagraphSeparator &&
                      TextModel::startsLine(text_->findBlock(from)));
    colours_.edit(from, removed, added, atLineStart);
    const int end = from + added;
    int first = from;
    int last = end;
    if (whileTyping_) {
        const auto [begin, stop] = recolourStretch(from, end);
        first = std::min(first, begin);
        last = std::max(last, stop);
    }
    QTextBlock block = text_->findBlock(first);
    int begin = block.position();
    while (block.isValid()) {
        // The lines of the edit are laid out anew anyway; another line of
        // the stretch only when its colours changed.
        const int length = block.length();
        if (show(block, begin) && (begin + length <= from || begin > end))
            text_->markContentsDirty(begin, length);
        begin += length;
        if (begin > last)
            break;
        block = block.next();
    }
}

void DocumentMarks::setColourWhileTyping(bool on) {
    whileTyping_ = on;
    if (on)
        colourEveryTag();
}

Rgb DocumentMarks::typingColour() const {
    return tagColour(settings().tagColor).value_or(lastColour_);
}

void DocumentMarks::colourEveryTag() {
    const TextModel* doc = TextModel::of(text_);
    if (!doc)
        return;
    // Exactly the tags, as every edit leaves the stretch it touches; the
    // lines are drawn so when a view draws them.
    const QString text = doc->sourceText();
    colours_.repaint(0, text_->characterCount(), controlTagSpans(*doc, text), typingColour());
}

std::pair<int, int> DocumentMarks::recolourStretch(int from, int to) {
    // Back to the last ">" or the line's start, and on to the next ">" or
    // the line's end, piece by piece through a line shown in pieces.
    QTextBlock block = text_->findBlock(from);
    std::size_t limit = static_cast<std::size_t>(from - block.position());
    int begin = block.position();
    for (;;) {
        const QString piece = block.text();
        if (const auto at = tagStretchStart(asView(piece), limit)) {
            begin = block.position() + static_cast<int>(*at);
            break;
        }
        if (TextModel::startsLine(block)) {
            begin = block.position();
            break;
        }
        block = block.previous();
        limit = static_cast<std::size_t>(block.length() - 1);
    }
    block = text_->findBlock(to);
    std::size_t offset = static_cast<std::size_t>(to - block.position());
    int end = to;
    for (;;) {
        const QString piece = block.text();
        if (const auto at = tagStretchEnd(asView(piece), offset)) {
            end = block.position() + static_cast<int>(*at);
            break;
        }
        const QTextBlock next = block.next();
        if (!next.isValid() || TextModel::startsLine(next)) {
            end = block.position() + static_cast<int>(piece.size());
            break;
        }
        block = next;
        offset = 0;
    }
    if (const TextModel* doc = TextModel::of(text_))
        colours_.repaint(begin, end,
                         controlTagSpans(*doc, doc->sourceText(begin, end), doc->toSource(begin)),
                         typingColour());
    return {begin, end};
}

void DocumentMarks::reset(RawBytes rawBytes) {
    colours_ = ColourRuns();
    if (whileTyping_)
        colourEveryTag();
    // A replaced text has no block that carries marks: unless it holds a
    // raw byte, there is nothing to draw.
    if (rawBytes == RawBytes::None)
        return;
    const QString all = text_->toRawText();
    if (std::none_of(all.cbegin(), all.cend(),
                     [](QChar c) { return cp932::isRawByte(c.unicode()); }))
        return;
    int begin = 0;
    for (QTextBlock block = text_->begin(); block.isValid(); block = block.next()) {
        show(block, begin);
        begin += block.length();
    }
    text_->markContentsDirty(0, text_->characterCount());
}

const QTextCharFormat& DocumentMarks::format(Rgb colour) {
    // One format per colour, shared by every range: there are seldom more
    // than the three colours of the options.
    for (const auto& [rgb, format] : formats_)
        if (rgb == colour)
            return format;
    QTextCharFormat format;
    format.setForeground(QColor(colour.red, colour.green, colour.blue));
    return formats_.emplace_back(colour, format).second;
}

void DocumentMarks::showBeforeDrawing(const QTextBlock& block) {
    // New formats mark their block changed, and a change left unreported
    // would be reported with the next edit, as if that edit had replaced
    // the block: it is reported at once.
    const int begin = block.position();
    if (show(block, begin))
        text_->markContentsDirty(begin, block.length());
}

bool DocumentMarks::show(const QTextBlock& block, int begin) {
    static const QTextCharFormat rawMark = rawByteMark();
    const QString text = block.text();
    const int end = begin + static_cast<int>(text.size());

    QList<QTextLayout::FormatRange> ranges;
    for (const ColourRun& run : colours_.overlapping(begin, end)) {
        const int start = static_cast<int>(std::max<long>(run.start, begin));
        const int stop = static_cast<int>(std::min<long>(run.end, end));
        ranges.append({start - begin, stop - start, format(run.colour)});
    }
    // After the colours, so that a raw byte inside a tag still looks like one.
    const QChar* data = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i)
        if (cp932::isRawByte(data[i].unicode()))
            ranges.append({static_cast<int>(i), 1, rawMark});

    QTextBlock changed = block;
    if (ranges.isEmpty()) {
        if (!block.userData())
            return false;
        changed.setUserData(nullptr);
    } else if (!block.userData()) {
        changed.setUserData(new Marked);
    }
    QTextLayout* layout = block.layout();
    if (layout->formats() == ranges)
        return false;
    layout->setFormats(ranges);
    return true;
}

} // namespace zu
