#include "core/tags/colour_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <vector>

namespace zu {
namespace {

constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kRed{192, 0, 0};
constexpr Rgb kGreen{0, 128, 0};

// «<p>abc</p>» coloured as tag colouring leaves it: «<p» and «</p».
ColourRuns paragraph() {
    ColourRuns runs;
    const TagSpan spans[] = {{0, 2}, {6, 9}};
    runs.paint(spans, kBlue);
    return runs;
}

struct PaintCase {
    const char* name;
    std::vector<ColourRun> before;
    std::vector<TagSpan> spans;
    std::vector<ColourRun> after; // painted red over `before`
};

TEST(ColourRuns, PaintingCoversOnlyItsSpansAndKeepsEarlierColours) {
    const PaintCase cases[] = {
        {"nothing painted yet", {}, {{0, 2}, {6, 9}}, {{0, 2, kRed}, {6, 9, kRed}}},
        {"a later run paints over an earlier one",
         {{0, 2, kBlue}, {6, 9, kBlue}},
         {{6, 9}},
         {{0, 2, kBlue}, {6, 9, kRed}}},
        {"inside one long run",
         {{0, 10, kGreen}},
         {{2, 4}, {6, 8}},
         {{0, 2, kGreen}, {2, 4, kRed}, {4, 6, kGreen}, {6, 8, kRed}, {8, 10, kGreen}}},
        {"one span over several runs and the gaps between",
         {{1, 2, kBlue}, {3, 4, kGreen}, {5, 7, kBlue}},
         {{0, 6}},
         {{0, 6, kRed}, {6, 7, kBlue}}},
        {"touching a run of the same colour joins it", {{0, 2, kRed}}, {{2, 4}}, {{0, 4, kRed}}},
        {"no spans change nothing", {{0, 2, kBlue}}, {}, {{0, 2, kBlue}}},
    };
    for (const PaintCase& c : cases) {
        SCOPED_TRACE(c.name);
        ColourRuns runs;
        for (const ColourRun& run : c.before) {
            const TagSpan span{run.start, run.end};
            runs.paint({&span, 1}, run.colour);
        }
        runs.paint(c.spans, kRed);
        EXPECT_EQ(runs.runs(), c.after);
    }
}

struct EditCase {
    const char* name;
    long from, removed, added;
    bool atLineStart;
    std::vector<ColourRun> after; // starting from paragraph()
};

TEST(ColourRuns, EditsCarryTheColourAsACharacterFormatWould) {
    const EditCase cases[] = {
        {"typed after «<p» takes its colour", 2, 0, 1, false, {{0, 3, kBlue}, {7, 10, kBlue}}},
        {"typed inside the tag", 1, 0, 2, false, {{0, 4, kBlue}, {8, 11, kBlue}}},
        {"typed after «>» stays plain", 3, 0, 1, false, {{0, 2, kBlue}, {7, 10, kBlue}}},
        {"typed at the line start takes the colour after it",
         0,
         0,
         1,
         true,
         {{0, 3, kBlue}, {7, 10, kBlue}}},
        {"typed at the start of a plain line", 3, 0, 1, true, {{0, 2, kBlue}, {7, 10, kBlue}}},
        {"typed at the end", 10, 0, 1, false, {{0, 2, kBlue}, {6, 9, kBlue}}},
        {"a deleted coloured character", 1, 1, 0, false, {{0, 1, kBlue}, {5, 8, kBlue}}},
        {"a deletion across both tags joins what is left", 1, 6, 0, false, {{0, 3, kBlue}}},
        {"the word replaced after «>»", 3, 3, 2, false, {{0, 2, kBlue}, {5, 8, kBlue}}},
        {"the whole tag replaced, typed after nothing coloured", 6, 3, 1, false, {{0, 2, kBlue}}},
        {"all text replaced", 0, 10, 5, true, {}},
        {"nothing at all", 4, 0, 0, false, {{0, 2, kBlue}, {6, 9, kBlue}}},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        ColourRuns runs = paragraph();
        runs.edit(c.from, c.removed, c.added, c.atLineStart);
        EXPECT_EQ(runs.runs(), c.after);
    }
}

TEST(ColourRuns, LooksUpByPosition) {
    const ColourRuns runs = paragraph();
    const std::optional<Rgb> expected[] = {kBlue, kBlue, {}, {}, {}, {}, kBlue, kBlue, kBlue, {}};
    for (long i = 0; i < 10; ++i)
        EXPECT_EQ(runs.colourAt(i), expected[i]) << i;
    EXPECT_EQ(runs.overlapping(2, 6).size(), 0u);
    EXPECT_EQ(runs.overlapping(1, 7).size(), 2u);
    EXPECT_EQ(runs.overlapping(8, 20).front(), (ColourRun{6, 9, kBlue}));
}

// The runs against the plainest model there is, a colour per character, over
// many random edits, paintings and repaintings: they must always show the
// same colours. The text is long enough to hold its runs in many chunks.
TEST(ColourRuns, AgreeWithAColourPerCharacter) {
    std::mt19937 random(7);
    const Rgb colours[] = {kBlue, kRed, kGreen};
    std::vector<std::optional<Rgb>> model(3000);
    ColourRuns runs;
    runs.edit(0, 0, 3000, true);
    for (int step = 0; step < 3000; ++step) {
        const long size = static_cast<long>(model.size());
        if (random() % 4 == 0) {
            std::vector<TagSpan> spans;
            const long first = random() % 2 ? 0 : long(random() % size);
            const long last = first == 0 ? size : std::min(size, first + 60);
            for (long at = first + long(random() % 5); at < last; at += 1 + long(random() % 6)) {
                const long end = std::min(last, at + 1 + long(random() % 4));
                spans.push_back({at, end});
                at = end;
            }
            const Rgb colour = colours[random() % 3];
            if (first == 0) {
                runs.paint(spans, colour);
            } else {
                runs.repaint(first, last, spans, colour);
                std::fill(model.begin() + first, model.begin() + last, std::nullopt);
            }
            for (const TagSpan& s : spans)
                for (long i = s.start; i < s.end; ++i)
                    model[i] = colour;
        } else {
            const long from = long(random() % (size + 1));
            const long removed = std::min(size - from, long(random() % 4));
            const long added = size > 15000 ? 0 : long(random() % 4);
            const bool atLineStart = random() % 5 == 0;
            std::optional<Rgb> inherited;
            const long source = atLineStart ? from + removed : from - 1;
            if (added > 0 && source >= 0 && source < size)
                inherited = model[source];
            model.erase(model.begin() + from, model.begin() + from + removed);
            model.insert(model.begin() + from, added, inherited);
            runs.edit(from, removed, added, atLineStart);
        }
        std::vector<std::optional<Rgb>> shown(model.size());
        for (const ColourRun& run : runs.runs()) {
            ASSERT_LT(run.start, run.end) << step;
            ASSERT_LE(run.end, static_cast<long>(shown.size())) << step;
            for (long i = run.start; i < run.end; ++i)
                shown[i] = run.colour;
        }
        ASSERT_EQ(shown, model) << "step " << step;
        const std::vector<ColourRun> all = runs.runs();
        for (std::size_t i = 1; i < all.size(); ++i)
            ASSERT_LE(all[i - 1].end, all[i].start) << step;
    }
}

} // namespace
} // namespace zu
