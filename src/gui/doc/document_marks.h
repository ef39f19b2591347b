#pragma once
// What a document shows over its text without it being part of the text:
// the colours tag colouring painted, and the marks on bytes that are not
// valid Shift_JIS. Both are drawn through the blocks' additional formats
// (QTextLayout::setFormats), which are never saved, never undone and never
// make the document modified.

#include "core/tags/colour_runs.h"

#include <QObject>
#include <QTextBlock>
#include <QTextCharFormat>

#include <span>
#include <utility>
#include <vector>

class QTextDocument;

namespace zu {

class DocumentMarks final : public QObject {
public:
    explicit DocumentMarks(QTextDocument* text);

    // Paints `spans` (ascending, in control positions) in `colour` over the
    // colours shown already.
    void paintTags(std::span<const TagSpan> spans, Rgb colour);

    // Follows an edit of the text, as contentsChange reports it: the colours
    // move with their characters and the changed lines are drawn anew.
    void follow(int from, int removed, int added);

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
    // is its position.
    void show(const QTextBlock& block, int begin);

    const QTextCharFormat& format(Rgb colour);

    QTextDocument* text_;
    ColourRuns colours_;
    std::vector<std::pair<Rgb, QTextCharFormat>> formats_;
};

} // namespace zu
