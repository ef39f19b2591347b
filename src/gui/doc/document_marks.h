#pragma once
// What a document shows over its text without it being part of the text:
// the colours tag colouring painted (by the command, or while the user
// types), and the marks on bytes that are not valid Shift_JIS. Both are
// drawn through the blocks' additional formats (QTextLayout::setFormats),
// which are never saved, never undone and never make the document modified.

#include "core/tags/colour_runs.h"

#include <QObject>
#include <QTextBlock>
#include <QTextCharFormat>

#include <span>
#include <utility>
#include <vector>

class QTextDocument;

namespace zu {
class TextModel;

// The spans tag colouring gives `text`, a stretch of the document's text as
// the file holds it that starts at source position `from`, in control
// positions. A tag that runs up to a soft join colours the join's separator
// too, so that text typed there takes the tag's colour as it would inside an
// ordinary line.
std::vector<TagSpan> controlTagSpans(const TextModel& doc, const QString& text, long from = 0);

class DocumentMarks final : public QObject {
public:
    explicit DocumentMarks(QTextDocument* text);

    // Paints `spans` (ascending, in control positions) in `colour` over the
    // colours shown already.
    void paintTags(std::span<const TagSpan> spans, Rgb colour);

    // Follows an edit of the text, as contentsChange reports it: the colours
    // move with their characters and the changed lines are drawn anew.
    // While tags are coloured as the user types, the stretch the edit can
    // recolour (tagStretchStart) takes the colours tag colouring gives it:
    // every edit, Undo and Redo alike.
    void follow(int from, int removed, int added);

    // Tags coloured as the user types, in the colour tag colouring uses.
    // Turned on, and whenever the text is set anew while on, every tag of the
    // text takes it at once; the lines take it as they are drawn
    // (showBeforeDrawing), so that a large page is not laid out whole.
    void setColourWhileTyping(bool on);
    bool coloursWhileTyping() const { return whileTyping_; }

    // Brings the block's formats up to date with the colours, just before a
    // view draws it.
    void showBeforeDrawing(const QTextBlock& block);

    // Forgets every colour and marks the raw bytes of the whole text: for a
    // text that was set anew while nobody followed its edits. Whoever set it
    // may know already that it holds no raw byte, which spares a look
    // through (and a copy of) the whole text.
    enum class RawBytes { Unknown, None };
    void reset(RawBytes rawBytes = RawBytes::Unknown);

    // The colour painted on each character, as ColourRuns keeps it.
    const ColourRuns& colours() const { return colours_; }

private:
    // Sets the block's formats from the colours and its raw bytes; `begin`
    // is its position. Whether they changed: a layout given new formats is
    // laid out anew, which a long line's pieces must be spared.
    bool show(const QTextBlock& block, int begin);

    // The colour of tags coloured while typing: the options' tag colour, else
    // the one tag colouring painted in last (blue before the first run).
    Rgb typingColour() const;
    void colourEveryTag();
    // Recolours the stretch an edit of from..to can recolour; its bounds.
    std::pair<int, int> recolourStretch(int from, int to);

    const QTextCharFormat& format(Rgb colour);

    QTextDocument* text_;
    ColourRuns colours_;
    std::vector<std::pair<Rgb, QTextCharFormat>> formats_;
    bool whileTyping_ = false;
    Rgb lastColour_{0, 0, 255};
};

} // namespace zu
