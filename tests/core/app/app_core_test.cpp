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

TEST(RecentFiles, TheProfileIsTheOwnersAloneAndNotReadAboveAMegabyte) {
    const testing::ScratchFolder dir;
    testing::writeFile(dir.file("loose"), "");
    ::chmod(dir.file("loose").c_str(), 0666);
    const mode_t umask = ::umask(0);
    for (const char* name : {"made", "loose"}) {
        EXPECT_TRUE(makeProfilePrivate(dir.file(name))) << name;
        struct stat info {};
        ::stat(dir.file(name).c_str(), &info);
        EXPECT_EQ(info.st_mode & 0777, 0600u) << name;
    }
    ::umask(umask);
    ASSERT_EQ(::symlink("loose", dir.file("link").c_str()), 0);
    EXPECT_FALSE(makeProfilePrivate(dir.file("link"))) << "a link may point anywhere";
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
