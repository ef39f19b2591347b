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
// same colours. The long text keeps thousands of runs, in many chunks.
TEST(ColourRuns, AgreeWithAColourPerCharacter) {
    for (const long length : {40L, 6000L}) {
        SCOPED_TRACE(length);
        std::mt19937 random(7);
        const Rgb colours[] = {kBlue, kRed, kGreen};
        std::vector<std::optional<Rgb>> model(static_cast<std::size_t>(length));
        ColourRuns runs;
        runs.edit(0, 0, length, true);
        for (int step = 0; step < 3000; ++step) {
            const long size = static_cast<long>(model.size());
            const int kind = int(random() % 5);
            if (kind <= 1) {
                // Painted over everything, or repainted within a stretch.
                const long begin = kind == 0 ? 0 : long(random() % (size + 1));
                const long end = kind == 0 ? size : std::min(size, begin + long(random() % 60));
                std::vector<TagSpan> spans;
                for (long at = begin + long(random() % 5); at < end; at += 1 + long(random() % 6)) {
                    const long stop = std::min(end, at + 1 + long(random() % 4));
                    spans.push_back({at, stop});
                    at = stop;
                }
                const Rgb colour = colours[random() % 3];
                if (kind == 0) {
                    runs.paint(spans, colour);
                } else {
                    runs.repaint(begin, end, spans, colour);
                    std::fill(model.begin() + begin, model.begin() + end, std::nullopt);
                }
                for (const TagSpan& s : spans)
                    for (long i = s.start; i < s.end; ++i)
                        model[i] = colour;
            } else {
                const long from = long(random() % (size + 1));
                const long removed = std::min(size - from, long(random() % 4));
                const long added = size > 5 * length ? 0 : long(random() % 4);
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
            const std::vector<ColourRun> all = runs.runs();
            for (std::size_t r = 0; r < all.size(); ++r) {
                ASSERT_LT(all[r].start, all[r].end) << step;
                ASSERT_LE(all[r].end, static_cast<long>(shown.size())) << step;
                ASSERT_TRUE(r == 0 || all[r - 1].end <= all[r].start) << step;
                for (long i = all[r].start; i < all[r].end; ++i)
                    shown[i] = all[r].colour;
            }
            ASSERT_EQ(shown, model) << "step " << step;
            const long probe = long(random() % (model.size() + 1));
            ASSERT_EQ(runs.colourAt(probe),
                      probe < long(model.size()) ? model[probe] : std::nullopt);
            for (const ColourRun& run : runs.overlapping(probe, probe + 9))
                ASSERT_TRUE(run.end > probe && run.start < probe + 9) << step;
        }
    }
}

} // namespace
} // namespace zu
