#include "core/tags/colour_runs.h"

#include <algorithm>
#include <utility>

namespace zu {
namespace {

// Appends `run`, joined to the last one when they touch in the same colour,
// so that edits inside a painted stretch do not fray it into pieces.
void append(std::vector<ColourRun>& runs, const ColourRun& run) {
    if (run.start >= run.end)
        return;
    if (!runs.empty() && runs.back().end == run.start && runs.back().colour == run.colour)
        runs.back().end = run.end;
    else
        runs.push_back(run);
}

// The first run that ends after `position`.
std::vector<ColourRun>::const_iterator firstEndingAfter(const std::vector<ColourRun>& runs,
                                                        long position) {
    return std::ranges::upper_bound(runs, position, {}, &ColourRun::end);
}

} // namespace

void ColourRuns::paint(std::span<const TagSpan> spans, Rgb colour) {
    std::vector<ColourRun> painted;
    painted.reserve(runs_.size() + spans.size());
    std::size_t next = 0; // the first old run not yet copied
    for (const TagSpan& span : spans) {
        while (next < runs_.size() && runs_[next].end <= span.start)
            append(painted, runs_[next++]);
        // An old run under the span keeps what lies outside it; the part
        // beyond it stays in the old list for the spans that follow.
        while (next < runs_.size() && runs_[next].start < span.end) {
            ColourRun& old = runs_[next];
            append(painted, {old.start, std::min(old.end, span.start), old.colour});
            if (old.end > span.end) {
                old.start = span.end;
                break;
            }
            ++next;
        }
        append(painted, {span.start, span.end, colour});
    }
    while (next < runs_.size())
        append(painted, runs_[next++]);
    runs_ = std::move(painted);
}

void ColourRuns::edit(long from, long removed, long added, bool atLineStart) {
    if (removed <= 0 && added <= 0)
        return;
    const long to = from + removed;
    const long shift = added - removed;

    // Looked up before the edit: the character in front of it is the same
    // before and after, and the one after it is the first beyond the
    // removed stretch.
    std::optional<Rgb> inherited;
    if (added > 0) {
        const long source = atLineStart ? to : from - 1;
        if (source >= 0)
            inherited = colourAt(source);
    }

    // Only the runs from the edit on change: they are rebuilt in one pass.
    const auto first = firstEndingAfter(runs_, from - 1);
    std::vector<ColourRun> rest(first, runs_.cend());
    runs_.erase(first, runs_.end());

    bool placed = !inherited;
    const auto placeInserted = [&] {
        if (!placed)
            append(runs_, {from, from + added, *inherited});
        placed = true;
    };
    for (const ColourRun& run : rest) {
        // What lies in front of the edit stays; what lies in the removed
        // stretch goes; what lies beyond it moves by what the edit added.
        if (run.start < from)
            append(runs_, {run.start, std::min(run.end, from), run.colour});
        if (run.end > to) {
            placeInserted();
            append(runs_, {std::max(run.start, to) + shift, run.end + shift, run.colour});
        }
    }
    placeInserted();
}

std::optional<Rgb> ColourRuns::colourAt(long position) const {
    const auto it = firstEndingAfter(runs_, position);
    if (it != runs_.end() && it->start <= position)
        return it->colour;
    return std::nullopt;
}

std::span<const ColourRun> ColourRuns::overlapping(long begin, long end) const {
    const auto first = firstEndingAfter(runs_, begin);
    auto last = first;
    while (last != runs_.end() && last->start < end)
        ++last;
    return {first, last};
}

} // namespace zu
