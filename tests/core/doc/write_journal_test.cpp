// A save killed at every moment it can be killed: the next start finds the
// whole old file, the whole new one, or a file whose old bytes it can put
// back, says which, and leaves nothing of the save behind. Only zu's own
// files of a dead writer of this machine are ever removed.

#include "core/doc/atomic_write.h"
#include "core/doc/write_journal.h"
#include "support/kill_at_call.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::ScratchFolder;
using testing::writeFile;
using Holds = WriteJournal::Unfinished::Holds;

std::set<std::string> namesIn(const fs::path& dir) {
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(dir, ignored))
        names.insert(entry.path().filename().string());
    return names;
}

// Old and new bytes that differ at their very start, the new shorter, so
// that a write in place stopped before its end is a mix of both.
std::string content(char first, std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(first + i % 23);
    return bytes;
}

TEST(WriteJournal, AKillAtAnyMomentOfASaveLeavesTheWholeOldOrNewOrTheOldToPutBack) {
    const std::string oldBytes = content('a', 300000);
    const std::string newBytes = content('A', 200000);
    for (const bool inPlace : {true, false}) {
        SCOPED_TRACE(inPlace ? "a file with two names, written in place" : "a file renamed over");
        std::set<Holds> seen;
        bool finished = false;
        for (int n = 1; n < 2000 && !finished; ++n) {
            SCOPED_TRACE("killed at system call " + std::to_string(n));
            const ScratchFolder dir;
            fs::create_directory(dir.path() / "docs");
            fs::create_directory(dir.path() / "tmp");
            const testing::ScopedEnv tmp("TMPDIR", dir.file("tmp"));
            const std::string file = dir.file("docs/page.htm");
            const std::string other = dir.file("docs/other.htm");
            writeFile(file, oldBytes);
            if (inPlace) {
                ASSERT_EQ(::link(file.c_str(), other.c_str()), 0);
            }
            const std::set<std::string> before = namesIn(dir.path() / "docs");
            const WriteJournal journal(dir.file("saving") + "/");

            const testing::CallKill kill =
                testing::killAtCall([&] { writeFileAtomically(file, newBytes, &journal); }, n);
            if (kill.outcome == testing::CallKill::Outcome::Failed) {
                if (n == 1)
                    GTEST_SKIP() << "no process can be watched here: " << kill.error;
                FAIL() << kill.error;
            }
            finished = kill.outcome == testing::CallKill::Outcome::Finished;

            std::vector<WriteJournal::Unfinished> found = journal.unfinished();
            const std::string now = readFile(file);
            ASSERT_LE(found.size(), 1u);
            if (found.empty() || !found[0].note().backup) {
                // Renamed or not: the file is one of the two, whole.
                EXPECT_TRUE(now == oldBytes || now == newBytes);
            } else {
                WriteJournal::Unfinished& write = found[0];
                const Holds expected = now == oldBytes   ? Holds::Old
                                       : now == newBytes ? Holds::New
                                                         : Holds::Neither;
                EXPECT_EQ(write.holds(), expected);
                seen.insert(write.holds());
                // The copy goes only once the new bytes are whole.
                if (!write.canPutBack()) {
                    ASSERT_EQ(write.holds(), Holds::New);
                }
                // Every other time the user takes the old bytes back.
                if (n % 2 == 1 && write.canPutBack()) {
                    ASSERT_TRUE(write.putBack(journal));
                    EXPECT_EQ(readFile(file), oldBytes);
                    EXPECT_EQ(readFile(other), oldBytes) << "still one file with two names";
                }
            }
            for (WriteJournal::Unfinished& write : found)
                write.finish();
            if (finished) {
                EXPECT_EQ(now, newBytes);
            }
            EXPECT_EQ(namesIn(dir.path() / "docs"), before) << "a temporary file was left";
            EXPECT_TRUE(namesIn(dir.path() / "tmp").empty()) << "a copy was left";
            EXPECT_TRUE(namesIn(dir.file("saving")).empty()) << "a note was left";
            EXPECT_TRUE(journal.unfinished().empty());
            if (::testing::Test::HasFatalFailure())
                return;
        }
        EXPECT_TRUE(finished) << "the save never ended";
        if (inPlace) {
            EXPECT_EQ(seen, (std::set<Holds>{Holds::Old, Holds::New, Holds::Neither}))
                << "every state of a write in place was met";
        }
    }
}

TEST(WriteJournal, OnlyTheTemporaryFilesOfADeadWriterOfThisMachineAreItsOwn) {
    const ScratchFolder dir;
    const std::string target = dir.file("page.htm");
    writeFile(target, "page");
    const WriteJournal journal(dir.file("saving") + "/");
    ASSERT_TRUE(fs::create_directory(dir.file("saving")));
    // Notes written as a dead writer leaves them: no process holds them.
    const auto note = [&](const std::string& name, const std::string& host, long pid) {
        writeFile(dir.file("saving/" + name), serializeWriteNote({host, pid, target, "", {}}));
    };
    const auto temporary = [&](long pid, int attempt) {
        return dir.file(".page.htm.zu-" + std::to_string(pid) + "-" + std::to_string(attempt));
    };
    const long dead = 999999999; // no process has this number
    const long elsewhere = 88888888;
    note("1-1.zuwrite", hostName(), dead);
    note("2-1.zuwrite", "another-machine", elsewhere);
    note("3-1.zuwrite.new", hostName(), 77777777); // a note never written whole
    writeFile(dir.file("saving/4-1.zuwrite"), "not a note");
    writeFile(temporary(dead, 0), "x");
    writeFile(temporary(dead, 7), "x");
    writeFile(temporary(elsewhere, 0), "x");
    writeFile(dir.file(".page.htm.zu-backup-" + std::to_string(dead) + "-1"), "x");
    writeFile(dir.file(".other.htm.zu-" + std::to_string(dead) + "-0"), "another file's");
    ASSERT_EQ(::symlink("page.htm", temporary(dead, 2).c_str()), 0);
    if (::getuid() == 0) {
        writeFile(temporary(dead, 3), "another user's");
        ASSERT_EQ(::chown(temporary(dead, 3).c_str(), 65534, 65534), 0);
    }
    // A writer that runs now holds its note: neither it nor its names are
    // touched, even in the middle of a scan.
    WriteJournal::Entry living = journal.begin({hostName(), ::getpid(), target, "", {}});
    writeFile(temporary(::getpid(), 0), "being written");

    std::vector<WriteJournal::Unfinished> found = journal.unfinished();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].note().pid, dead);
    EXPECT_EQ(
        found[0].leftovers(),
        (std::vector<std::string>{temporary(dead, 0), temporary(dead, 7),
                                  dir.file(".page.htm.zu-backup-" + std::to_string(dead) + "-1")}));
    found[0].finish();
    std::set<std::string> expected = {"page.htm",
                                      "saving",
                                      ".page.htm.zu-" + std::to_string(elsewhere) + "-0",
                                      ".other.htm.zu-" + std::to_string(dead) + "-0",
                                      ".page.htm.zu-" + std::to_string(dead) + "-2",
                                      ".page.htm.zu-" + std::to_string(::getpid()) + "-0"};
    if (::getuid() == 0)
        expected.insert(".page.htm.zu-" + std::to_string(dead) + "-3");
    EXPECT_EQ(namesIn(dir.path()), expected);
    EXPECT_EQ(namesIn(dir.file("saving")).size(), 3u) << "the other machine's, the living "
                                                         "writer's and what is no note stay";
}

TEST(WriteJournal, ANoteReadsBackAndACopyPartCutShortIsLeftOut) {
    WriteNote note{"host one", 42, "/home/u/a%b\nc.htm", "/tmp", {}};
    EXPECT_EQ(serializeWriteNote(note), "zu unfinished write 1\n"
                                        "host=host%20one\n"
                                        "pid=42\n"
                                        "target=/home/u/a%25b%0Ac.htm\n"
                                        "spare=/tmp\n"
                                        "end\n");
    EXPECT_EQ(parseWriteNote(serializeWriteNote(note)), note);
    const std::string first = serializeWriteNote(note);
    note.backup = WriteNote::Backup{"/home/u/.a.zu-backup-42-0", 5, 0xabc, 7, 0x1f};
    const std::string whole = serializeWriteNote(note);
    EXPECT_EQ(whole.substr(first.size()), "backup=/home/u/.a.zu-backup-42-0\n"
                                          "old=5 0000000000000abc\n"
                                          "new=7 000000000000001f\n"
                                          "end\n");
    EXPECT_EQ(parseWriteNote(whole), note);
    for (std::size_t cut = first.size(); cut < whole.size(); ++cut)
        EXPECT_EQ(parseWriteNote(whole.substr(0, cut))->backup, std::nullopt) << cut;
    for (std::size_t cut = 0; cut < first.size(); ++cut)
        EXPECT_EQ(parseWriteNote(whole.substr(0, cut)), std::nullopt) << cut;
    EXPECT_EQ(parseWriteNote(whole + "x"), std::nullopt);
}

} // namespace
} // namespace zu
