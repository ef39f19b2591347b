// Replacing a file: the whole new content or the old file untouched, with the
// system's reason for a failure, and nothing left behind either way.

#include "core/doc/atomic_write.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace zu {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::ScratchFolder;
using testing::writeFile;

std::size_t entries(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

TEST(AtomicWrite, ReplacesTheWholeFileAndKeepsItsPermissions) {
    const ScratchFolder dir;
    const std::string file = dir.file("page.htm");
    writeFile(file, "old content that is longer than the new one");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);

    const WriteResult result = writeFileAtomically(file, std::string("a\0b\r\n", 5));
    EXPECT_TRUE(result);
    EXPECT_EQ(readFile(file), std::string("a\0b\r\n", 5));
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(dir.path()), 1u) << "no temporary file left";
}

TEST(AtomicWrite, ANewFileFollowsTheUmask) {
    const ScratchFolder dir;
    const mode_t old = ::umask(022);
    const WriteResult result = writeFileAtomically(dir.file("new.htm"), "x");
    ::umask(old);
    ASSERT_TRUE(result);
    struct stat info {};
    ASSERT_EQ(::stat(dir.file("new.htm").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST(AtomicWrite, NamesTheReasonAndTheStepOfAFailure) {
    const ScratchFolder dir;
    writeFile(dir.file("plain"), "x");
    fs::create_directory(dir.path() / "sub");
    struct Case {
        const char* name;
        std::string path;
        int error;
        WriteResult::Step step;
    } cases[] = {
        {"missing folder", dir.file("none/x.htm"), ENOENT, WriteResult::Step::Create},
        {"file as folder", dir.file("plain/x.htm"), ENOTDIR, WriteResult::Step::Create},
        {"a folder", dir.file("sub"), EISDIR, WriteResult::Step::Rename},
    };
    for (const Case& c : cases) {
        const WriteResult result = writeFileAtomically(c.path, "text");
        EXPECT_EQ(result.error, c.error) << c.name;
        EXPECT_EQ(result.step, c.step) << c.name;
        EXPECT_EQ(result.path, c.path) << c.name;
    }
    EXPECT_TRUE(fs::is_directory(dir.path() / "sub"));
    EXPECT_EQ(readFile(dir.file("plain")), "x");
    EXPECT_EQ(entries(dir.path()), 2u) << "no temporary file left";
}

// A full disk, made real with a file-size limit: the write fails with the
// system's reason and the old file keeps every byte.
TEST(AtomicWrite, AFullDiskLeavesTheOldFileWhole) {
    const ScratchFolder dir;
    const std::string file = dir.file("big.htm");
    const std::string old(1000, 'o');
    writeFile(file, old);

    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const WriteResult result = writeFileAtomically(file, std::string(200 * 1024, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(result.error, EFBIG);
    EXPECT_EQ(result.step, WriteResult::Step::Write);
    EXPECT_EQ(readFile(file), old);
    EXPECT_EQ(entries(dir.path()), 1u) << "no temporary file left";
}

} // namespace
} // namespace zu
