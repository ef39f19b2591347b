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
            if (kill == testing::CallKill::Failed && n == 1)
                GTEST_SKIP() << "no process can be watched here (ptrace)";
            ASSERT_NE(kill, testing::CallKill::Failed);
            finished = kill == testing::CallKill::Finished;

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
    const WriteJournal journal(dir.file("saving") + "/");
    ASSERT_TRUE(fs::create_directory(dir.file("saving")));
    const long dead = 999999999, elsewhere = 88888888; // numbers no process has
    const auto named = [&](long pid, int attempt, const char* tag = "") {
        return ".page.htm.zu-" + std::string(tag) + std::to_string(pid) + "-" +
               std::to_string(attempt);
    };
    // Notes as dead writers leave them (no process holds them), one never
    // written whole, and what is no note.
    writeFile(dir.file("saving/1.zuwrite"), serializeWriteNote({hostName(), dead, target, "", {}}));
    writeFile(dir.file("saving/2.zuwrite"),
              serializeWriteNote({"elsewhere", elsewhere, target, "", {}}));
    writeFile(dir.file("saving/3.zuwrite.new"), "zu unfinished");
    writeFile(dir.file("saving/4.zuwrite"), "not a note");
    for (const std::string& name :
         {std::string("page.htm"), named(dead, 0), named(dead, 7), named(dead, 1, "backup-"),
          named(elsewhere, 0), std::string(".other.htm.zu-999999999-0"), named(::getpid(), 0)})
        writeFile(dir.file(name), "x");
    ASSERT_EQ(::symlink("page.htm", dir.file(named(dead, 2)).c_str()), 0);
    if (::getuid() == 0) {
        writeFile(dir.file(named(dead, 3)), "another user's");
        ASSERT_EQ(::chown(dir.file(named(dead, 3)).c_str(), 65534, 65534), 0);
    }
    // A writer that runs holds its note: neither it nor its names are touched.
    const WriteJournal::Entry living = journal.begin({hostName(), ::getpid(), target, "", {}});

    std::vector<WriteJournal::Unfinished> found = journal.unfinished();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].leftovers(),
              (std::vector<std::string>{dir.file(named(dead, 0)), dir.file(named(dead, 7)),
                                        dir.file(named(dead, 1, "backup-"))}));
    found[0].finish();
    std::set<std::string> stay = {"page.htm",
                                  "saving",
                                  named(elsewhere, 0),
                                  named(dead, 2),
                                  ".other.htm.zu-999999999-0",
                                  named(::getpid(), 0)};
    if (::getuid() == 0)
        stay.insert(named(dead, 3));
    EXPECT_EQ(namesIn(dir.path()), stay);
    EXPECT_EQ(namesIn(dir.file("saving")).size(), 3u) << "another machine's, a living "
                                                         "writer's and what is no note stay";
}

TEST(WriteJournal, ANoteReadsBackAndACopyPartCutShortIsLeftOut) {
    // A path may hold any byte but NUL, the line's end and the escape too.
    WriteNote note{"host one", 42, "/home/u/a%b\nc.htm", "/tmp", {}};
    const std::string first = serializeWriteNote(note);
    note.backup = WriteNote::Backup{"/home/u/.a.zu-backup-42-0", 5, 0xabc, 7, 0x1f};
    const std::string whole = serializeWriteNote(note);
    EXPECT_EQ(parseWriteNote(whole), note);
    for (std::size_t cut = first.size(); cut < whole.size(); ++cut)
        EXPECT_EQ(parseWriteNote(whole.substr(0, cut))->backup, std::nullopt) << cut;
    for (std::size_t cut = 0; cut < first.size(); ++cut)
        EXPECT_EQ(parseWriteNote(whole.substr(0, cut)), std::nullopt) << cut;
    EXPECT_EQ(parseWriteNote(whole + "x"), std::nullopt);
}

} // namespace
} // namespace zu
