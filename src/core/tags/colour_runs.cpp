#include "core/tags/colour_runs.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace zu {
namespace {

// How many runs a chunk holds when it is made: enough that the offsets of
// the chunks after an edit are few to move, few enough that rewriting one
// chunk costs next to nothing.
constexpr std::size_t kChunkRuns = 256;

using Runs = std::vector<ColourRun>;

// Appends `run`, joined to the last one when they touch in the same colour,
// so that edits inside a painted stretch do not fray it into pieces.
void append(Runs& runs, const ColourRun& run) {
    if (run.start >= run.end)
        return;
    if (!runs.empty() && runs.back().end == run.start && runs.back().colour == run.colour)
        runs.back().end = run.end;
    else
        runs.push_back(run);
}

// The first run that ends after `position`.
Runs::const_iterator firstEndingAfter(const Runs& runs, long position) {
    return std::ranges::upper_bound(runs, position, {}, &ColourRun::end);
}

Runs paintOver(Runs runs, std::span<const TagSpan> spans, Rgb colour) {
    Runs painted;
    painted.reserve(runs.size() + spans.size());
    std::size_t next = 0; // the first old run not yet copied
    for (const TagSpan& span : spans) {
        while (next < runs.size() && runs[next].end <= span.start)
            append(painted, runs[next++]);
        // An old run under the span keeps what lies outside it; the part
        // beyond it stays in the old list for the spans that follow.
        while (next < runs.size() && runs[next].start < span.end) {
            ColourRun& old = runs[next];
            append(painted, {old.start, std::min(old.end, span.start), old.colour});
            if (old.end > span.end) {
                old.start = span.end;
                break;
            }
            ++next;
        }
        append(painted, {span.start, span.end, colour});
    }
    while (next < runs.size())
        append(painted, runs[next++]);
    return painted;
}

// `runs` without what lies in begin..end.
Runs cutOut(const Runs& runs, long begin, long end) {
    Runs kept;
    kept.reserve(runs.size() + 1);
    for (const ColourRun& run : runs) {
        append(kept, {run.start, std::min(run.end, begin), run.colour});
        append(kept, {std::max(run.start, end), run.end, run.colour});
    }
    return kept;
}

} // namespace

std::size_t ColourRuns::chunkEndingAfter(long position) const {
    const auto it = std::ranges::partition_point(
        chunks_, [position](const Chunk& chunk) { return chunk.end() <= position; });
    return static_cast<std::size_t>(it - chunks_.begin());
}

template <class Rewrite>
void ColourRuns::rewrite(long begin, long end, long shift, Rewrite rewrite) {
    // A chunk that ends where the stretch begins is taken too, so that a run
    // painted against its last one joins it.
    const std::size_t first = chunkEndingAfter(begin - 1);
    std::size_t last = first;
    while (last < chunks_.size() && chunks_[last].start() <= end)
        ++last;
    Runs local;
    for (std::size_t k = first; k < last; ++k)
        for (const ColourRun& run : chunks_[k].runs)
            local.push_back({run.start + chunks_[k].shift, run.end + chunks_[k].shift, run.colour});
    const Runs made = rewrite(std::move(local));
    for (std::size_t k = last; k < chunks_.size(); ++k)
        chunks_[k].shift += shift;

    std::vector<Chunk> pieces;
    for (std::size_t at = 0; at < made.size(); at += kChunkRuns) {
        const auto from = made.begin() + static_cast<std::ptrdiff_t>(at);
        const auto to =
            made.begin() + static_cast<std::ptrdiff_t>(std::min(at + kChunkRuns, made.size()));
        pieces.push_back({0, Runs(from, to)});
    }
    const auto at = chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(first),
                                  chunks_.begin() + static_cast<std::ptrdiff_t>(last));
    chunks_.insert(at, std::make_move_iterator(pieces.begin()),
                   std::make_move_iterator(pieces.end()));
}

void ColourRuns::paint(std::span<const TagSpan> spans, Rgb colour) {
    if (spans.empty())
        return;
    rewrite(spans.front().start, spans.back().end, 0,
            [&](Runs local) { return paintOver(std::move(local), spans, colour); });
}

void ColourRuns::repaint(long begin, long end, std::span<const TagSpan> spans, Rgb colour) {
    rewrite(begin, end, 0,
            [&](Runs local) { return paintOver(cutOut(local, begin, end), spans, colour); });
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

    rewrite(from, to, shift, [&](const Runs& local) {
        Runs edited;
        edited.reserve(local.size() + 2);
        bool placed = !inherited;
        const auto placeInserted = [&] {
            if (!placed)
                append(edited, {from, from + added, *inherited});
            placed = true;
        };
        for (const ColourRun& run : local) {
            // What lies in front of the edit stays; what lies in the removed
            // stretch goes; what lies beyond it moves by what the edit added.
            if (run.start < from)
                append(edited, {run.start, std::min(run.end, from), run.colour});
            if (run.end > to) {
                placeInserted();
                append(edited, {std::max(run.start, to) + shift, run.end + shift, run.colour});
            }
        }
        placeInserted();
        return edited;
    });
}

std::optional<Rgb> ColourRuns::colourAt(long position) const {
    const std::size_t k = chunkEndingAfter(position);
    if (k == chunks_.size())
        return std::nullopt;
    const Chunk& chunk = chunks_[k];
    const auto it = firstEndingAfter(chunk.runs, position - chunk.shift);
    if (it != chunk.runs.end() && it->start + chunk.shift <= position)
        return it->colour;
    return std::nullopt;
}

std::vector<ColourRun> ColourRuns::overlapping(long begin, long end) const {
    std::vector<ColourRun> found;
    for (std::size_t k = chunkEndingAfter(begin); k < chunks_.size(); ++k) {
        const Chunk& chunk = chunks_[k];
        for (auto it = firstEndingAfter(chunk.runs, begin - chunk.shift); it != chunk.runs.end();
             ++it) {
            if (it->start + chunk.shift >= end)
                return found;
            found.push_back({it->start + chunk.shift, it->end + chunk.shift, it->colour});
        }
    }
    return found;
}

std::vector<ColourRun> ColourRuns::runs() const {
    Runs all;
    for (const Chunk& chunk : chunks_)
        for (const ColourRun& run : chunk.runs)
            append(all, {run.start + chunk.shift, run.end + chunk.shift, run.colour});
    return all;
}

} // namespace zu
