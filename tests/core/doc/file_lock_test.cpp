// The lock between zu processes: another zu is played by a second lock on
// the same file, which the system treats as another holder.

#include "core/doc/file_lock.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <chrono>

namespace zu {
namespace {

using namespace std::chrono_literals;
using Mode = FileLock::Mode;

TEST(FileLock, APatientLockGivesUpOnlyWhenAnotherHolderExcludesIt) {
    const struct {
        const char* name;
        Mode held, wanted;
        bool granted;
    } cases[] = {
        {"SharedBesideShared", Mode::Shared, Mode::Shared, true},
        {"ExclusiveWaitsForShared", Mode::Shared, Mode::Exclusive, false},
        {"SharedWaitsForExclusive", Mode::Exclusive, Mode::Shared, false},
    };
    testing::ScratchFolder folder;
    const std::string path = FileLock::pathFor(folder.file("zu.socket"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FileLock other(path, c.held);
        ASSERT_TRUE(other.locked());
        const auto start = std::chrono::steady_clock::now();
        const FileLock mine(path, c.wanted, 150ms);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(mine.locked(), c.granted);
        if (!c.granted) {
            EXPECT_GE(waited, 150ms) << "gave up before its time";
        }
    }
    // Once the other holder is gone the lock is granted at once.
    const FileLock free(path, Mode::Exclusive, 0ms);
    EXPECT_TRUE(free.locked());
}

} // namespace
} // namespace zu
