// Replacing a file: the whole new content or the old file untouched, with the
// system's reason for a failure, and nothing left behind either way. The
// file stays the file it was (links, owner, the link that names it), and
// every fault is made to happen for real.

#include "core/doc/atomic_write.h"
#include "core/doc/file_read.h"
#include "support/file_faults.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {
namespace {

namespace fs = std::filesystem;
using testing::Immutable;
using testing::inChild;
using testing::readFile;
using testing::ScratchFolder;
using testing::writeFile;

std::size_t entries(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

struct stat statOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info;
}

TEST(AtomicWrite, ReplacesTheWholeFileAndKeepsItsPermissions) {
    const ScratchFolder dir;
    const std::string file = dir.file("page.htm");
    writeFile(file, "old content that is longer than the new one");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);

    const WriteResult result = writeFileAtomically(file, std::string("a\0b\r\n", 5));
    EXPECT_TRUE(result);
    EXPECT_EQ(readFile(file), std::string("a\0b\r\n", 5));
    EXPECT_EQ(statOf(file).st_mode & 07777, 0640u);
    EXPECT_EQ(entries(dir.path()), 1u) << "no temporary file left";
}

// Bytes given in pieces are the file one after the other, written by
// rename and in place alike, the file cut where the last piece ends.
TEST(AtomicWrite, PiecesAreWrittenOneAfterTheOther) {
    const ScratchFolder dir;
    const std::string file = dir.file("page.htm");
    const std::string_view pieces[] = {"ab", "", "cd\r\n", "e"};
    for (const bool inPlace : {false, true}) {
        writeFile(file, "old content that is longer than the new one");
        if (inPlace) {
            ASSERT_EQ(::link(file.c_str(), dir.file("other.htm").c_str()), 0);
        }
        ASSERT_TRUE(writeFileAtomically(file, pieces));
        EXPECT_EQ(readFile(file), "abcd\r\ne") << inPlace;
    }
    EXPECT_EQ(readFile(dir.file("other.htm")), "abcd\r\ne");
}

TEST(AtomicWrite, ANewFileFollowsTheUmask) {
    const ScratchFolder dir;
    const mode_t old = ::umask(022);
    const WriteResult result = writeFileAtomically(dir.file("new.htm"), "x");
    ::umask(old);
    ASSERT_TRUE(result);
    EXPECT_EQ(statOf(dir.file("new.htm")).st_mode & 07777, 0644u);
}

TEST(AtomicWrite, NamesTheReasonAndTheStepOfAFailure) {
    const ScratchFolder dir;
    writeFile(dir.file("plain"), "x");
    fs::create_directory(dir.path() / "sub");
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("loop", dir.file("loop").c_str()), 0);
    struct Case {
        const char* name;
        std::string path;
        int error;
    } cases[] = {
        {"missing folder", dir.file("none/x.htm"), ENOENT},
        {"file as folder", dir.file("plain/x.htm"), ENOTDIR},
        {"a folder", dir.file("sub"), EISDIR},
        // Opening a FIFO to write would wait for a reader for ever.
        {"a FIFO", dir.file("fifo"), kNotARegularFile},
        {"a link to itself", dir.file("loop"), ELOOP},
        {"a name too long", dir.file(std::string(NAME_MAX + 1, 'n')), ENAMETOOLONG},
    };
    ::alarm(20); // a write that blocks ends the test instead of hanging it
    for (const Case& c : cases) {
        const WriteResult result = writeFileAtomically(c.path, "text");
        EXPECT_EQ(result.error, c.error) << c.name;
        EXPECT_EQ(result.step, WriteResult::Step::Create) << c.name;
        EXPECT_EQ(result.path, c.path) << c.name;
    }
    ::alarm(0);
    EXPECT_TRUE(fs::is_directory(dir.path() / "sub"));
    EXPECT_EQ(readFile(dir.file("plain")), "x");
    EXPECT_EQ(entries(dir.path()), 4u) << "no temporary file left";
}

TEST(AtomicWrite, ANameAsLongAsTheSystemAllowsIsSaved) {
    // The temporary file's name is longer than the file's own; it must not
    // be what makes a valid name fail.
    const ScratchFolder dir;
    const std::string file = dir.file(std::string(NAME_MAX, 'n'));
    writeFile(file, "old");
    EXPECT_TRUE(writeFileAtomically(file, "new"));
    EXPECT_EQ(readFile(file), "new");
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(AtomicWrite, WritesThroughSymbolicLinks) {
    const ScratchFolder dir;
    fs::create_directory(dir.path() / "real");
    writeFile(dir.path() / "real" / "page.htm", "old");
    struct Case {
        const char* name;
        std::string link;
        std::string target; // as written in the link
        std::string file;   // the file it comes to
    } cases[] = {
        {"relative", dir.file("rel.htm"), "real/page.htm", dir.file("real/page.htm")},
        {"absolute", dir.file("abs.htm"), dir.file("real/page.htm"), dir.file("real/page.htm")},
        {"link to a link", dir.file("twice.htm"), "rel.htm", dir.file("real/page.htm")},
        {"to a missing file", dir.file("dangling.htm"), "real/new.htm", dir.file("real/new.htm")},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(::symlink(c.target.c_str(), c.link.c_str()), 0) << c.name;
        const std::string text = std::string("via ") + c.name;
        EXPECT_TRUE(writeFileAtomically(c.link, text)) << c.name;
        EXPECT_TRUE(fs::is_symlink(c.link)) << c.name << ": the link stays a link";
        EXPECT_EQ(fs::read_symlink(c.link).string(), c.target) << c.name;
        EXPECT_EQ(readFile(c.file), text) << c.name;
    }
    EXPECT_EQ(entries(dir.path() / "real"), 2u) << "no temporary file left";
}

TEST(AtomicWrite, AFileWithOtherNamesIsWrittenInPlaceSoEveryNameSeesTheText) {
    const ScratchFolder dir;
    const std::string file = dir.file("page.htm");
    writeFile(file, "old text, longer than the new");
    ASSERT_EQ(::link(file.c_str(), dir.file("other.htm").c_str()), 0);
    const ino_t inode = statOf(file).st_ino;

    const std::string texts[] = {"new", std::string(100000, 'g'), std::string()};
    for (const std::string& text : texts) {
        ASSERT_TRUE(writeFileAtomically(file, text));
        EXPECT_EQ(readFile(dir.file("other.htm")), text);
        EXPECT_EQ(readFile(file), text);
        EXPECT_EQ(statOf(file).st_ino, inode);
        EXPECT_EQ(statOf(file).st_nlink, 2u);
    }
    EXPECT_EQ(entries(dir.path()), 2u) << "the backup is gone after success";
}

TEST(AtomicWrite, KeepsOwnerAndGroup) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another owner to start with";
    const ScratchFolder dir;
    const std::string file = dir.file("theirs.htm");
    writeFile(file, "old");
    ASSERT_EQ(::chown(file.c_str(), 4321, 4322), 0);
    ASSERT_TRUE(writeFileAtomically(file, "new"));
    EXPECT_EQ(statOf(file).st_uid, 4321u);
    EXPECT_EQ(statOf(file).st_gid, 4322u);
    EXPECT_EQ(readFile(file), "new");
}

TEST(AtomicWrite, AFileWhoseOwnerANewFileCouldNotHaveIsWrittenInPlace) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make a file of another user";
    const ScratchFolder dir;
    const std::string file = dir.file("shared.htm");
    writeFile(file, "old");
    ASSERT_EQ(::chown(file.c_str(), 4321, 4321), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    const ino_t inode = statOf(file).st_ino;
    // As another ordinary user, who may write the file and make files in the
    // folder but cannot give a new file to the owner.
    ZU_EXPECT_CHILD_OK(inChild([&]() -> std::string {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            return "skip: cannot become another user";
        if (::access(file.c_str(), W_OK) != 0)
            return "skip: the scratch folder is out of reach of other users";
        const WriteResult result = writeFileAtomically(file, "new text");
        return result ? "" : "write failed: " + std::to_string(result.error);
    }));
    EXPECT_EQ(statOf(file).st_ino, inode);
    EXPECT_EQ(statOf(file).st_uid, 4321u);
    EXPECT_EQ(readFile(file), "new text");
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(AtomicWrite, AWritableFileInAFolderThatCannotBeWrittenIsWrittenInPlace) {
    const ScratchFolder dir;
    const ScratchFolder tmp;
    const testing::ScopedEnv tmpdir("TMPDIR", tmp.path().string());
    const std::string file = dir.file("page.htm");
    writeFile(file, "old");
    {
        const Immutable locked(dir.path().string());
        if (!locked.error().empty())
            GTEST_SKIP() << locked.error();
        const WriteResult result = writeFileAtomically(file, "new, and longer than the old");
        EXPECT_TRUE(result) << result.error;
        // A file that is not there cannot be made in such a folder.
        const WriteResult create = writeFileAtomically(dir.file("new.htm"), "x");
        EXPECT_EQ(create.error, EPERM);
        EXPECT_EQ(create.step, WriteResult::Step::Create);
    }
    EXPECT_EQ(readFile(file), "new, and longer than the old");
    EXPECT_EQ(entries(dir.path()), 1u);
    EXPECT_EQ(entries(tmp.path()), 0u) << "the backup made elsewhere is gone too";
}

TEST(AtomicWrite, AReadOnlyFileIsLeftAsItWas) {
    const ScratchFolder dir;
    const std::string file = dir.file("page.htm");
    writeFile(file, "old");
    {
        const Immutable locked(file);
        if (!locked.error().empty())
            GTEST_SKIP() << locked.error();
        const WriteResult result = writeFileAtomically(file, "new");
        EXPECT_EQ(result.error, EPERM);
    }
    EXPECT_EQ(readFile(file), "old");
    EXPECT_EQ(entries(dir.path()), 1u);
}

// A full disk, made real with a file-size limit: the write fails with the
// system's reason and the old file keeps every byte, whether the file is
// replaced or written in place.
TEST(AtomicWrite, AFullDiskLeavesTheOldFileWhole) {
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "replaced");
        const ScratchFolder dir;
        const std::string file = dir.file("big.htm");
        const std::string old(1000, 'o');
        writeFile(file, old);
        if (inPlace) {
            ASSERT_EQ(::link(file.c_str(), dir.file("other.htm").c_str()), 0);
        }

        WriteResult result;
        {
            const testing::FileSizeLimit limit(64 * 1024);
            result = writeFileAtomically(file, std::string(200 * 1024, 'n'));
        }
        EXPECT_EQ(result.error, EFBIG);
        EXPECT_EQ(result.step, WriteResult::Step::Write);
        EXPECT_TRUE(result.keptBackup.empty()) << "the old bytes were put back";
        EXPECT_EQ(readFile(file), old);
        EXPECT_EQ(entries(dir.path()), inPlace ? 2u : 1u) << "nothing left behind";
    }
}

TEST(AtomicWrite, NoCopyOfTheOldBytesMeansNoWriteInPlace) {
    // The old file is already past the limit: its copy cannot be made, so it
    // is not touched at all.
    const ScratchFolder dir;
    const std::string file = dir.file("big.htm");
    const std::string old(100 * 1024, 'o');
    writeFile(file, old);
    ASSERT_EQ(::link(file.c_str(), dir.file("other.htm").c_str()), 0);
    WriteResult result;
    {
        const testing::FileSizeLimit limit(64 * 1024);
        result = writeFileAtomically(file, "short");
    }
    EXPECT_EQ(result.error, EFBIG);
    EXPECT_EQ(result.step, WriteResult::Step::Backup);
    EXPECT_EQ(readFile(file), old);
    EXPECT_EQ(entries(dir.path()), 2u);
}

// A disk that is really full: a tiny file system of the test's own.
TEST(AtomicWrite, ATinyFileSystemThatFillsUpLeavesTheOldFileWhole) {
    const ScratchFolder dir;
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "replaced");
        ZU_EXPECT_CHILD_OK(inChild(
            [&]() -> std::string {
                if (::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0)
                    return std::string("skip: cannot mount a file system: ") + std::strerror(errno);
                const std::string file = dir.file("page.htm");
                const std::string old(8 * 1024, 'o');
                writeFile(file, old);
                if (inPlace && ::link(file.c_str(), dir.file("other.htm").c_str()) != 0)
                    return "link failed";
                const WriteResult result = writeFileAtomically(file, std::string(80 * 1024, 'n'));
                if (result.error != ENOSPC)
                    return "expected ENOSPC, got " + std::to_string(result.error);
                if (readFile(file) != old)
                    return "the old file was damaged";
                if (entries(dir.path()) != (inPlace ? 2u : 1u))
                    return "something was left behind";
                return "";
            },
            true));
    }
}

// A file system mounted read-only, where the file's own permissions would
// allow the write.
TEST(AtomicWrite, AReadOnlyFileSystemRefusesAndKeepsTheFile) {
    const ScratchFolder dir;
    const std::string file = dir.file("page.htm");
    writeFile(file, "old");
    ZU_EXPECT_CHILD_OK(inChild(
        [&]() -> std::string {
            const char* at = dir.path().c_str();
            if (::mount(at, at, nullptr, MS_BIND, nullptr) != 0 ||
                ::mount(nullptr, at, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
                return std::string("skip: cannot mount read-only: ") + std::strerror(errno);
            const WriteResult result = writeFileAtomically(file, "new");
            return result.error == EROFS ? ""
                                         : "expected EROFS, got " + std::to_string(result.error);
        },
        true));
    EXPECT_EQ(readFile(file), "old");
    EXPECT_EQ(entries(dir.path()), 1u);
}

} // namespace
} // namespace zu
