#include "core/app/command_line.h"
#include "core/app/recent_files.h"
#include "core/doc/file_errors.h"
#include "core/doc/file_read.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {
namespace {

using Action = CommandLine::Action;

struct LineCase {
    std::vector<std::string> args;
    Action action;
    std::vector<std::string> files;
    std::string printer;
    bool error;
};

TEST(CommandLine, ClassicFormsAndPathsThatLookLikeSwitches) {
    const LineCase cases[] = {
        {{}, Action::New, {}, "", false},
        {{"a.htm"}, Action::Open, {"a.htm"}, "", false},
        {{"a.htm", "b.htm"}, Action::Open, {"a.htm", "b.htm"}, "", false},
        // An absolute path is a file here, not a switch.
        {{"/home/u/p"}, Action::Open, {"/home/u/p"}, "", false},
        {{"/p", "a.htm"}, Action::Print, {"a.htm"}, "", false},
        {{"-P", "a.htm"}, Action::Print, {"a.htm"}, "", false},
        {{"/pt", "a.htm", "Laser"}, Action::PrintTo, {"a.htm"}, "Laser", false},
        {{"/pt", "a.htm"}, Action::PrintTo, {}, "", true},
        {{"/p"}, Action::Print, {}, "", true},
        {{"/dde"}, Action::New, {}, "", false},
        {{"/Unregister"}, Action::Unregister, {}, "", false},
        {{"--", "/p"}, Action::Open, {"/p"}, "", false},
    };
    for (const LineCase& c : cases) {
        const CommandLine line = parseCommandLine(c.args);
        SCOPED_TRACE(c.args.empty() ? std::string("(none)") : c.args.front());
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(!line.error.empty(), c.error);
        if (!c.error) {
            EXPECT_EQ(line.files, c.files);
            EXPECT_EQ(line.printer, c.printer);
        }
    }
}

TEST(CommandLine, DesktopFormsAndWhichZuOpensTheFiles) {
    const struct {
        std::vector<std::string> args;
        Action action;
        std::vector<std::string> files;
        bool window, handsOver;
    } cases[] = {
        {{"a.htm"}, Action::Open, {"a.htm"}, true, true},
        {{"-n", "a.htm"}, Action::Open, {"a.htm"}, true, false},
        {{"a.htm", "--new-instance"}, Action::Open, {"a.htm"}, true, false},
        // Without files there is nothing to hand over: a new zu starts.
        {{}, Action::New, {}, true, false},
        {{"-n"}, Action::New, {}, true, false},
        {{"/p", "a.htm"}, Action::Print, {"a.htm"}, false, false},
        {{"/pt", "a.htm", "Laser"}, Action::PrintTo, {"a.htm"}, false, false},
        {{"--unregister"}, Action::Unregister, {}, false, false},
        {{"-unregserver"}, Action::Unregister, {}, false, false},
        // "/n" is a path, and after "--" so is "-n".
        {{"/n"}, Action::Open, {"/n"}, true, true},
        {{"--", "-n"}, Action::Open, {"-n"}, true, true},
    };
    for (const auto& c : cases) {
        const CommandLine line = parseCommandLine(c.args);
        SCOPED_TRACE(c.args.empty() ? std::string("(none)") : c.args.front());
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.files, c.files);
        EXPECT_EQ(line.opensWindow(), c.window);
        EXPECT_EQ(line.handsOver(), c.handsOver);
    }
}

TEST(RecentFiles, NewestFirstNoDuplicatesOldestFallsOff) {
    RecentFiles list(3);
    for (const char* p : {"a", "b", "c", "b", "d"})
        list.add(p);
    EXPECT_EQ(list.paths(), (std::vector<std::string>{"d", "b", "c"}));
    list.remove("b");
    EXPECT_EQ(list.paths(), (std::vector<std::string>{"d", "c"}));
    list.assign({"x", "y", "z", "w"});
    EXPECT_EQ(list.paths(), (std::vector<std::string>{"x", "y", "z"}));
}

TEST(RecentFiles, MenuLabelsNumberTheEntriesAndShowAmpersands) {
    EXPECT_EQ(RecentFiles::menuLabel(0, "/d/a&b.htm"), "&1 /d/a&&b.htm");
    EXPECT_EQ(RecentFiles::menuLabel(8, "x"), "&9 x");
    EXPECT_EQ(RecentFiles::menuLabel(9, "x"), "1&0 x");
    // Shortened first, escaped after: the "&" of a kept folder is doubled.
    EXPECT_EQ(RecentFiles::menuLabel(0, "/a&b/ccccccccccccccccccccccccccccc/dddddddd/e.htm"),
              "&1 /a&&b/.../dddddddd/e.htm");
}

TEST(RecentFiles, TheProfileIsTheOwnersAloneWhateverTheUmask) {
    const testing::ScratchFolder dir;
    const mode_t umask = ::umask(0);
    const struct {
        const char* name;
        int mode; // -1: no file yet
        bool made;
        int after;
    } cases[] = {
        {"missing", -1, true, 0600},    {"open to all", 0666, true, 0600},
        {"readable", 0644, true, 0600}, {"read-only", 0400, true, 0400},
        {"private", 0600, true, 0600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir.file(c.name);
        if (c.mode >= 0) {
            testing::writeFile(file, "[Recent File List]\n");
            ::chmod(file.c_str(), static_cast<mode_t>(c.mode));
        }
        EXPECT_EQ(makeProfilePrivate(file), c.made);
        struct stat info {};
        ASSERT_EQ(::stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, static_cast<mode_t>(c.after));
    }
    ::umask(umask);
    // Neither a link (someone could point it anywhere) nor another user's file.
    ASSERT_EQ(::symlink("private", dir.file("link").c_str()), 0);
    EXPECT_FALSE(makeProfilePrivate(dir.file("link")));
    if (::getuid() == 0) {
        testing::writeFile(dir.file("theirs"), "");
        ::chmod(dir.file("theirs").c_str(), 0644);
        ASSERT_EQ(::chown(dir.file("theirs").c_str(), 65534, 65534), 0);
        EXPECT_FALSE(makeProfilePrivate(dir.file("theirs")));
    }
    EXPECT_EQ(kMaxProfileBytes, 1048576u);
    EXPECT_EQ(profileTooLargeMessage("/c/zu.conf"),
              "/c/zu.conf は 1 MB を超えているため読み込みません。最近使ったﾌｧｲﾙの一覧は、"
              "このﾌｧｲﾙを削除するまで保存されません。");
}

TEST(FileErrors, EachSystemErrorGetsTheMessageThatMeansTheSame) {
    struct Case {
        int error;
        FileOp op;
        std::string expected;
    } cases[] = {
        {ENOENT, FileOp::Open, "/d/f.htm が見つかりません。"},
        {ENOTDIR, FileOp::Open, "/d/f.htm は無効なﾊﾟｽです。"},
        {ENAMETOOLONG, FileOp::Save, "/d/f.htm は無効なﾊﾟｽです。"},
        {EACCES, FileOp::Save, "/d/f.htm へのｱｸｾｽは拒否されました。"},
        {EROFS, FileOp::Save, "/d/f.htm へのｱｸｾｽは拒否されました。"},
        {ETXTBSY, FileOp::Open, "/d/f.htm へのｱｸｾｽ中に共有違反が発生しました。"},
        {ENOSPC, FileOp::Save, "/d/f.htm へのｱｸｾｽ中にﾃﾞｨｽｸの空き容量が不足しました。"},
        {EFBIG, FileOp::Save, "/d/f.htm へのｱｸｾｽ中にﾃﾞｨｽｸの空き容量が不足しました。"},
        {EFBIG, FileOp::Open, "/d/f.htm は大きすぎるため開けません。"},
        {EIO, FileOp::Open, "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"},
        {EIO, FileOp::Save, "ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fileErrorMessage(c.error, c.op, "/d/f.htm"), c.expected) << c.error;
}

TEST(ReadWholeFile, ReadsEverythingOrSaysWhyNot) {
    const testing::ScratchFolder scratch;
    const std::string dir = scratch.path().string();
    const std::string file = scratch.file("f.bin");
    const std::string content("a\0b\x81\r\n", 6);
    std::ofstream(file, std::ios::binary) << content;

    EXPECT_EQ(readWholeFile(file, 100).bytes, content);
    EXPECT_EQ(readWholeFile(file, 100).error, 0);
    EXPECT_EQ(readWholeFile(file, 6).error, 0) << "exactly at the limit";
    EXPECT_EQ(readWholeFile(file, 5).error, EFBIG) << "refused whole, never cut";
    EXPECT_TRUE(readWholeFile(file, 5).bytes.empty());
    EXPECT_EQ(readWholeFile(scratch.file("none"), 100).error, ENOENT);
    EXPECT_EQ(readWholeFile(dir, 100).error, EISDIR);
    EXPECT_EQ(readWholeFile(file + "/x", 100).error, ENOTDIR);
}

} // namespace
} // namespace zu
