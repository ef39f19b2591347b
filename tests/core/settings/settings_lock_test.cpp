// Two zu never write zu.set at the same moment, and one never reads it while
// another writes: the folder is locked around Load and Save. Another zu is
// played here by a lock the test holds.

#include "core/doc/file_lock.h"
#include "core/settings/settings.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>

namespace zu {
namespace {

using namespace std::chrono_literals;
using testing::ScopedEnv;
using testing::ScratchFolder;

TEST(SettingsLock, LoadAndSaveWaitForAnotherZuOnlyWhenTheyMust) {
    const struct {
        const char* name;
        FileLock::Mode held;
        bool saving;
        bool waits;
    } cases[] = {
        {"TwoReadersTogether", FileLock::Mode::Shared, false, false},
        {"WriterWaitsForAReader", FileLock::Mode::Shared, true, true},
        {"ReaderWaitsForAWriter", FileLock::Mode::Exclusive, false, true},
        {"WriterWaitsForAWriter", FileLock::Mode::Exclusive, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        ScopedEnv config("ZU_CONFIG_DIR", folder.path().string());
        Settings record;
        record.fontSize = 5;
        std::future<void> done;
        {
            const FileLock other(folder.withSlash(), c.held);
            ASSERT_TRUE(other.locked());
            done = std::async(std::launch::async, [&] {
                if (c.saving)
                    record.Save();
                else
                    record.Load();
            });
            // Unhindered, either takes a few milliseconds.
            EXPECT_EQ(done.wait_for(c.waits ? 300ms : 10s) == std::future_status::timeout, c.waits);
        }
        done.get();
        if (c.saving) {
            EXPECT_EQ(testing::readFile(folder.path() / "zu.set"), record.serialize());
        }
        // The lock leaves nothing in the folder but zu.set.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    }
}

} // namespace
} // namespace zu
