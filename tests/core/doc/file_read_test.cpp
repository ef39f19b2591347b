// Reading a document's file: only regular files are ever opened, nothing
// blocks or reads for ever, and every refusal has the system's reason; the
// stamp that tells when another program has changed a file; paths made
// absolute and compared.

#include "core/doc/file_errors.h"
#include "core/doc/file_read.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zu {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;
using testing::writeFile;

TEST(ReadWholeFile, RefusesWhatIsNoDocumentWithoutBlockingOrReadingForEver) {
    const ScratchFolder dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    fs::create_directory(dir.path() / "folder");
    writeFile(dir.file("big"), std::string(5000, 'b'));
    struct Case {
        const char* name;
        std::string path;
        int error;
        const char* message; // when opening it fails
    } cases[] = {
        {"missing", dir.file("none.htm"), ENOENT, " が見つかりません。"},
        {"folder", dir.file("folder"), EISDIR, " は無効なﾊﾟｽです。"},
        {"FIFO without a writer", dir.file("fifo"), kNotARegularFile,
         "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"},
        {"/dev/null", "/dev/null", kNotARegularFile, "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"},
        {"/dev/zero, which never ends", "/dev/zero", kNotARegularFile,
         "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"},
        // A regular file that even root cannot read.
        {"unreadable", "/proc/self/mem", EIO, "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"},
        {"over the limit", dir.file("big"), EFBIG, " は大きすぎるため開けません。"},
    };
    ::alarm(20); // a blocked open ends the test instead of hanging it
    for (const Case& c : cases) {
        const FileBytes read = readWholeFile(c.path, 4096);
        EXPECT_EQ(read.error, c.error) << c.name;
        EXPECT_TRUE(read.bytes.empty()) << c.name;
        const std::string message = fileErrorMessage(read.error, FileOp::Open, c.path);
        EXPECT_TRUE(message.ends_with(c.message)) << c.name << ": " << message;
    }
    ::alarm(0);
}

TEST(ReadWholeFile, ReadsEveryByteOfABinaryFile) {
    const ScratchFolder dir;
    std::mt19937 random(3);
    std::string bytes(300000, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random());
    writeFile(dir.file("binary"), bytes);
    const FileBytes read = readWholeFile(dir.file("binary"), bytes.size());
    EXPECT_EQ(read.error, 0);
    EXPECT_TRUE(read.bytes == bytes);
    EXPECT_EQ(read.stamp, stampOf(dir.file("binary")));
}

TEST(ReadWholeFile, AFileThatGivesNoSizeIsReadToItsEnd) {
    std::ifstream stream("/proc/version", std::ios::binary);
    const std::string expected((std::istreambuf_iterator<char>(stream)), {});
    ASSERT_FALSE(expected.empty());
    const FileBytes read = readWholeFile("/proc/version", 1 << 20);
    EXPECT_EQ(read.error, 0);
    EXPECT_EQ(read.bytes, expected);
}

TEST(ReadWholeFile, InSlicesTellsHowFarAndStopsWhenTold) {
    const ScratchFolder dir;
    const std::string bytes(kReadSlice * 2 + 10, 'x');
    writeFile(dir.file("large"), bytes);
    std::vector<std::size_t> told;
    const FileBytes read =
        readWholeFile(dir.file("large"), bytes.size(), [&](std::size_t have, std::size_t expected) {
            EXPECT_EQ(expected, bytes.size());
            told.push_back(have);
            return true;
        });
    EXPECT_EQ(read.error, 0);
    EXPECT_TRUE(read.bytes == bytes);
    EXPECT_EQ(told, (std::vector<std::size_t>{kReadSlice, kReadSlice * 2, kReadSlice * 2 + 10}));

    const FileBytes stopped =
        readWholeFile(dir.file("large"), bytes.size(),
                      [](std::size_t have, std::size_t) { return have < kReadSlice * 2; });
    EXPECT_EQ(stopped.error, ECANCELED);
    EXPECT_TRUE(stopped.bytes.empty());
}

TEST(FileStamp, ChangesWithEveryKindOfChangeByAnotherProgram) {
    const ScratchFolder dir;
    const std::string file = dir.file("page.htm");
    writeFile(file, "first");
    const auto first = stampOf(file);
    ASSERT_TRUE(first);
    EXPECT_EQ(stampOf(file), first) << "untouched";

    struct Case {
        const char* name;
        std::function<void()> change;
    } cases[] = {
        // Same length and the same second: only the nanoseconds differ.
        {"rewritten in place", [&] { writeFile(file, "again"); }},
        {"replaced by another file",
         [&] {
             writeFile(dir.file("new"), "again");
             fs::rename(dir.file("new"), file);
         }},
        {"touched",
         [&] {
             const struct timespec times[2] = {{0, UTIME_NOW}, {0, UTIME_NOW}};
             ::utimensat(AT_FDCWD, file.c_str(), times, 0);
         }},
    };
    for (const Case& c : cases) {
        const auto before = stampOf(file);
        // File times advance with the kernel's tick, a few milliseconds.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        c.change();
        EXPECT_NE(stampOf(file), before) << c.name;
    }
    fs::remove(file);
    EXPECT_EQ(stampOf(file), std::nullopt) << "deleted";
    fs::create_directory(file);
    EXPECT_EQ(stampOf(file), std::nullopt) << "a folder took its name";
}

TEST(AbsolutePath, CleansByTheTextAlone) {
    const std::string cwd = fs::current_path().string();
    const struct {
        std::string in, out;
    } cases[] = {
        {"/a/b/c", "/a/b/c"},
        {"/a/./b//c/", "/a/b/c"},
        {"/a/b/../c", "/a/c"},
        {"/..", "/"},
        {"/", "/"},
        {"x.htm", cwd + "/x.htm"},
        {"./x.htm", cwd + "/x.htm"},
        {"/a/\x93\xfa", "/a/\x93\xfa"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(absolutePath(c.in), c.out) << c.in;
}

TEST(SameFile, KnowsAFileByAnyOfItsNames) {
    const ScratchFolder dir;
    writeFile(dir.file("a.htm"), "x");
    writeFile(dir.file("b.htm"), "x");
    ASSERT_EQ(::link(dir.file("a.htm").c_str(), dir.file("hard.htm").c_str()), 0);
    ASSERT_EQ(::symlink("a.htm", dir.file("soft.htm").c_str()), 0);
    EXPECT_TRUE(sameFile(dir.file("a.htm"), dir.file("hard.htm")));
    EXPECT_TRUE(sameFile(dir.file("a.htm"), dir.file("soft.htm")));
    EXPECT_FALSE(sameFile(dir.file("a.htm"), dir.file("b.htm")));
    EXPECT_TRUE(sameFile(dir.file("gone.htm"), dir.file("./gone.htm")));
    EXPECT_FALSE(sameFile(dir.file("gone.htm"), dir.file("other.htm")));
}

} // namespace
} // namespace zu
