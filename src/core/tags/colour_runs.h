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

    // Follows an edit: `removed` characters at `from` replaced by `added`.
    // The new characters take the colour of the character in front of them,
    // or at the start of a line that of the character after them: the format
    // that typed text takes in the editing control.
    void edit(long from, long removed, long added, bool atLineStart);

    // The colour painted on the character at `position`, if any.
    std::optional<Rgb> colourAt(long position) const;

    // The runs that overlap begin..end (end excluded), in order.
    std::span<const ColourRun> overlapping(long begin, long end) const;

    const std::vector<ColourRun>& runs() const { return runs_; }

private:
    std::vector<ColourRun> runs_; // ascending, not overlapping, none empty
};

} // namespace zu
