#pragma once
// The tag colours a document shows: stretches of text painted by tag
// colouring. They are not part of the text; they ride on it, following every
// edit as a character format would, so that a view can draw them.

#include "core/edit/edit_buffer.h"
#include "core/tags/tag_spans.h"

#include <optional>
#include <span>
#include <vector>

namespace zu {

struct ColourRun {
    long start = 0;
    long end = 0; // excluded
    Rgb colour;
    friend bool operator==(const ColourRun&, const ColourRun&) = default;
};

class ColourRuns {
public:
    // Paints `spans` (ascending, apart from each other) in `colour` on top of
    // what is painted already: other text keeps the colour it has.
    void paint(std::span<const TagSpan> spans, Rgb colour);

    // Makes the colours of begin..end (end excluded) exactly `spans`, which
    // lie within it, in `colour`: what was painted there before goes.
    void repaint(long begin, long end, std::span<const TagSpan> spans, Rgb colour);

    // Follows an edit: `removed` characters at `from` replaced by `added`.
    // The new characters take the colour of the character in front of them,
    // or at the start of a line that of the character after them: the format
    // that typed text takes in the editing control.
    void edit(long from, long removed, long added, bool atLineStart);

    // The colour painted on the character at `position`, if any.
    std::optional<Rgb> colourAt(long position) const;

    // The runs that overlap begin..end (end excluded), in order.
    std::vector<ColourRun> overlapping(long begin, long end) const;

    // Every run, in order; runs that touch in the same colour are one.
    std::vector<ColourRun> runs() const;

private:
    // The runs are kept in chunks of a few hundred, each with an offset for
    // all of its runs: an edit rewrites the chunk it falls in and moves the
    // chunks after it by their offsets alone. One list of the runs of every
    // tag of a large page would be copied in half at each keystroke.
    struct Chunk {
        long shift = 0;              // added to every position in `runs`
        std::vector<ColourRun> runs; // never empty
        long start() const { return runs.front().start + shift; }
        long end() const { return runs.back().end + shift; }
    };

    // The first chunk that ends after `position`.
    std::size_t chunkEndingAfter(long position) const;
    // Replaces the runs of the chunks that overlap begin..end (both
    // included) by what `rewrite` makes of them (absolute positions, in
    // order), then moves every chunk after them by `shift`.
    template <class Rewrite> void rewrite(long begin, long end, long shift, Rewrite rewrite);

    std::vector<Chunk> chunks_; // ascending, not overlapping
};

} // namespace zu
