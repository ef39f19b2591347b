// Recovery copies on a real disk: private whatever the umask, the writer's
// own leftovers removed and nothing else, a file's version told by its
// bytes, and a copy that loses nothing while the disk refuses it.

#include "core/doc/recovery_store.h"
#include "core/doc/recovery_writer.h"

#include "support/file_faults.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sys/stat.h>
#include <sys/wait.h>
#include <utime.h>

namespace zu {
namespace {

using testing::readFile;
using testing::ScratchFolder;
using testing::writeFile;

int modeOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return static_cast<int>(info.st_mode & 07777);
}

long endedProcess() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

RecoveryRecord record(std::u16string text) {
    RecoveryRecord r;
    r.encoding = "CP932";
    r.text = std::move(text);
    return r;
}

TEST(RecoveryStore, FoldersAndCopiesAreTheUsersAloneWhateverTheUmask) {
    ScratchFolder scratch;
    const mode_t umask = ::umask(0);
    const std::string folder = scratch.file("config/recovery/");
    ASSERT_EQ(ensurePrivateFolder(folder), 0);
    EXPECT_EQ(modeOf(scratch.file("config/recovery")), 0700);
    // Made by an earlier version for everyone to read.
    ::chmod(scratch.file("config/recovery").c_str(), 0755);
    ASSERT_EQ(ensurePrivateFolder(folder), 0);
    EXPECT_EQ(modeOf(scratch.file("config/recovery")), 0700);

    ASSERT_EQ(writePrivateFile(folder + "1-1.zurecover", serializeRecovery(record(u"a"))), 0);
    EXPECT_EQ(modeOf(folder + "1-1.zurecover"), 0600);
    {
        RecoveryWriter writer(folder + "1-2.zurecover", {});
        writer.start(formEntry({}), textEntry(record(u"b")));
        ASSERT_TRUE(writer.finish());
    }
    EXPECT_EQ(modeOf(folder + "1-2.zurecover"), 0600);

    // Not a folder of the user's: a link in its place is never followed.
    ::symlink(scratch.file("elsewhere").c_str(), scratch.file("link").c_str());
    EXPECT_EQ(ensurePrivateFolder(scratch.file("link")), EPERM);
    ::umask(umask);
}

TEST(RecoveryStore, TheStartRemovesOnlyItsOwnDeadWritersTemporaryFiles) {
    ScratchFolder scratch;
    const std::string folder = scratch.withSlash();
    const long dead = endedProcess();
    const long alive = ::getpid();
    const std::string copy = recoveryFileName(dead, 1);
    const struct {
        std::string name;
        bool old; // last written two hours ago
        bool removed;
    } rows[] = {
        {recoveryTemporaryName(copy, 7), false, true},
        {recoveryTemporaryName(recoveryFileName(alive, 1), 7), false, false},
        {recoveryTemporaryName(copy, 8), false, false}, // another machine's
        {"." + copy + ".zu-" + std::to_string(dead) + "-0", true, true},
        {"." + copy + ".zu-" + std::to_string(dead) + "-1", false, false}, // maybe still written
        {copy, true, false},
        {damagedRecoveryName(copy), true, false},
        {".notes", true, false},
    };
    for (const auto& row : rows) {
        writeFile(folder + row.name, "x");
        if (row.old) {
            const struct utimbuf times = {::time(nullptr) - 7200, ::time(nullptr) - 7200};
            ::utime((folder + row.name).c_str(), &times);
        }
    }
    removeRecoveryLeftovers(folder, 7);
    for (const auto& row : rows)
        EXPECT_EQ(::access((folder + row.name).c_str(), F_OK) != 0, row.removed) << row.name;
}

TEST(RecoveryStore, AFileIsTheSameVersionWhileItHoldsTheSameBytes) {
    ScratchFolder scratch;
    const std::string page = scratch.file("page.htm");
    writeFile(page, "old text");
    const std::optional<SourceIdentity> known = identityOf(page);
    ASSERT_TRUE(known.has_value());
    EXPECT_EQ(known->hash, contentHash("old text"));
    EXPECT_EQ(checkSource(*known, page).state, SourceState::Same);

    const struct utimbuf later = {::time(nullptr) + 60, ::time(nullptr) + 60};
    ::utime(page.c_str(), &later); // touched: the same bytes
    SourceCheck check = checkSource(*known, page);
    EXPECT_EQ(check.state, SourceState::Same);
    EXPECT_NE(check.stamp, known->stamp);
    writeFile(page, "new text"); // the same size, other bytes
    EXPECT_EQ(checkSource(*known, page).state, SourceState::Changed);
    ::unlink(page.c_str());
    EXPECT_EQ(checkSource(*known, page).state, SourceState::Missing);
}

TEST(RecoveryStore, AFileBaseIsCopiedOnlyWhileItIsTheVersionRead) {
    ScratchFolder scratch;
    const std::string page = scratch.file("page.htm");
    writeFile(page, "a\r\nb");
    const SourceIdentity known = *identityOf(page);
    std::atomic<int> changed = 0;
    RecoveryWriter writer(scratch.file("1-1.zurecover"), [&](const RecoveryWriter::Report& r) {
        changed += r.event == RecoveryWriter::Event::BaseChanged;
    });
    writer.start(formEntry({}), RecoveryWriter::FileBase{page, known, "CP932"});
    writer.append(editEntry({0, 0, u"X", {}, {}, 4}));
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(parseRecovery(readFile(writer.path())).value_or(RecoveryRecord{}).text, u"Xa\nb");

    writeFile(page, "a\r\nc"); // another program's version
    writer.start(formEntry({}), RecoveryWriter::FileBase{page, known, "CP932"});
    writer.append(editEntry({0, 0, u"Y", {}, {}, 4}));
    EXPECT_FALSE(writer.finish());
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(parseRecovery(readFile(writer.path())).value_or(RecoveryRecord{}).text, u"Xa\nb")
        << "the last whole copy stays";
}

TEST(RecoveryStore, WhatTheDiskRefusesIsWrittenInOrderOnceItTakesItAgain) {
    ScratchFolder scratch;
    const std::string folder = scratch.file("recovery/");
    ASSERT_EQ(ensurePrivateFolder(folder), 0);
    std::atomic<int> failures = 0, recoveries = 0;
    RecoveryWriter writer(folder + "1-1.zurecover", [&](const RecoveryWriter::Report& r) {
        failures += r.error != 0;
        recoveries += r.written;
    });
    {
        const testing::Immutable locked(scratch.file("recovery"));
        if (!locked.error().empty())
            GTEST_SKIP() << locked.error();
        writer.start(formEntry({}), textEntry(record(u"ab")));
        writer.append(editEntry({2, 0, u"c", {}, {}, 3}));
        EXPECT_FALSE(writer.finish());
        writer.append(editEntry({3, 0, u"d", {}, {}, 4}));
        writer.retry();
        EXPECT_FALSE(writer.finish());
        EXPECT_EQ(failures, 1) << "said once until it works again";
    }
    writer.retry();
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(recoveries, 1);
    EXPECT_EQ(parseRecovery(readFile(writer.path())).value_or(RecoveryRecord{}).text, u"abcd");
}

// A full disk in the middle of an entry: what was written of it is cut, so
// that the copy reads back whole, and the entry is written once there is room.
TEST(RecoveryStore, AnEntryTheFullDiskCutIsWrittenAgainWhole) {
    ScratchFolder scratch;
    const std::string folder = scratch.file("small");
    ::mkdir(folder.c_str(), 0700);
    ZU_EXPECT_CHILD_OK(testing::inChild(
        [&]() -> std::string {
            if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
                return std::string("skip: cannot mount a small tmpfs: ") + std::strerror(errno);
            RecoveryWriter writer(folder + "/1-1.zurecover", {});
            writer.start(formEntry({}), textEntry(record(u"ab")));
            if (!writer.finish())
                return "the base did not fit";
            writeFile(folder + "/filler", std::string(60 << 10, 'f'));
            writer.append(editEntry({2, 0, std::u16string(8000, u'x'), {}, {}, 8002}));
            if (writer.finish())
                return "a full disk took the entry";
            const auto cut = parseRecovery(readFile(folder + "/1-1.zurecover"));
            if (!cut || cut->text != u"ab")
                return "the copy does not read back as before the entry";
            ::unlink((folder + "/filler").c_str());
            writer.retry();
            if (!writer.finish())
                return "the entry was not written once there was room";
            const auto back = parseRecovery(readFile(folder + "/1-1.zurecover"));
            return back && back->text == u"ab" + std::u16string(8000, u'x') ? "" : "wrong text";
        },
        true));
}

TEST(RecoveryStore, AGrownJournalIsWrittenAnewAsOneBase) {
    ScratchFolder scratch;
    RecoveryWriter writer(scratch.file("1-1.zurecover"), {}, {1, 3});
    // Breaks kept one by one, though the text has none yet.
    RecoveryForm form;
    form.mixedBreaks = true;
    writer.start(formEntry(form), textEntry(record(u"ab")));
    for (std::size_t i = 0; i < 5; ++i) {
        writer.append(editEntry({0, 0, u"x", {}, {}, 3 + i}));
        ASSERT_TRUE(writer.finish());
    }
    writer.append(editEntry({0, 0, u"\n", {LineBreak::Cr}, {}, 8}));
    ASSERT_TRUE(writer.finish());
    const RecoveryRead back = readRecovery(readFile(writer.path()));
    ASSERT_TRUE(back.record.has_value());
    EXPECT_EQ(back.record->text, u"\nxxxxxab");
    EXPECT_EQ(back.record->breaks, std::vector<LineBreak>{LineBreak::Cr});
    EXPECT_LT(back.entries, 4u) << "written anew";
}

} // namespace
} // namespace zu
