// When zu tells the user that another program changed a document's file.

#include "core/doc/disk_watch.h"

#include <gtest/gtest.h>

namespace zu {
namespace {

const FileStamp kRead{1, 10, 5, 1000, 1};
const FileStamp kRewritten{1, 10, 5, 1000, 2}; // only the nanoseconds differ
const FileStamp kReplaced{1, 11, 5, 1000, 1};  // another file under the name

TEST(DiskWatch, AsksOnceAboutEachVersionOfAnUnmodifiedDocument) {
    struct Case {
        const char* name;
        std::optional<FileStamp> known;
        std::optional<FileStamp> now;
        bool modified;
        bool reload; // offered at activation
        bool warn;   // before a save
    } cases[] = {
        {"unchanged", kRead, kRead, false, false, false},
        {"rewritten", kRead, kRewritten, false, true, true},
        {"replaced", kRead, kReplaced, false, true, true},
        {"rewritten while the user edits", kRead, kRewritten, true, false, true},
        {"deleted", kRead, std::nullopt, false, false, false},
        {"never had a file", std::nullopt, kRead, false, false, false},
    };
    for (const Case& c : cases) {
        DiskWatch watch;
        watch.know(c.known);
        EXPECT_EQ(watch.offerReload(c.now, c.modified), c.reload) << c.name;
        EXPECT_FALSE(watch.offerReload(c.now, c.modified)) << c.name << ": asked only once";
        EXPECT_EQ(watch.warnBeforeSave(c.now), c.warn) << c.name;
    }
}

TEST(DiskWatch, ANewerVersionIsAskedAboutAgainAndSavingForgetsTheOld) {
    DiskWatch watch;
    watch.know(kRead);
    EXPECT_TRUE(watch.offerReload(kRewritten, false));
    EXPECT_TRUE(watch.offerReload(kReplaced, false)) << "changed once more";
    EXPECT_TRUE(watch.warnBeforeSave(kReplaced)) << "the user said no to the reload";

    watch.know(kReplaced); // saved over it
    EXPECT_FALSE(watch.warnBeforeSave(kReplaced));
    EXPECT_FALSE(watch.offerReload(kReplaced, false));
    EXPECT_TRUE(watch.offerReload(kRewritten, false)) << "a version asked about before a save";
}

TEST(DiskWatch, AModifiedDocumentIsToldOnceOfEachChangeAndOfTheDeletion) {
    using C = DiskChange;
    // What each activation finds on disk, and what the note says then.
    struct Step {
        std::optional<FileStamp> now;
        bool modified;
        C note;
    } steps[] = {
        {kRead, true, C::None},           {kRewritten, false, C::None},
        {kRewritten, true, C::Changed},   {kRewritten, true, C::None},
        {kReplaced, true, C::Changed},    {std::nullopt, false, C::None},
        {std::nullopt, true, C::Deleted}, {std::nullopt, true, C::None},
        {kReplaced, true, C::None},       {std::nullopt, true, C::Deleted},
    };
    DiskWatch watch;
    watch.know(kRead);
    int k = 0;
    for (const Step& s : steps)
        EXPECT_EQ(watch.noteForModified(s.now, s.modified), s.note) << "step " << k++;
    EXPECT_TRUE(watch.deleted(std::nullopt));
    EXPECT_FALSE(watch.deleted(kRead));
    watch.know(std::nullopt); // a document that never had a file
    EXPECT_EQ(watch.noteForModified(std::nullopt, true), C::None);
    EXPECT_FALSE(watch.deleted(std::nullopt));
}

} // namespace
} // namespace zu
