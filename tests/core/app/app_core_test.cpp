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

TEST(CommandLine, FilesPrintSwitchesAndPathsThatLookLikeSwitches) {
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
        {{"--check", "a.htm", "b.htm"}, Action::Check, {"a.htm", "b.htm"}, "", false},
        {{"--check"}, Action::Check, {}, "", true},
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

TEST(CommandLine, QuestionsToZuUnknownSwitchesAndTheToolkitsOwn) {
    const struct {
        std::vector<std::string> args;
        Action action;
        std::vector<std::string> files;
        bool usageError;
    } cases[] = {
        {{"--help"}, Action::Help, {}, false},
        {{"-h"}, Action::Help, {}, false},
        {{"a.htm", "--version"}, Action::Version, {}, false},
        {{"-V"}, Action::Version, {}, false},
        {{"--help", "--version"}, Action::Help, {}, false},
        {{"--", "--help"}, Action::Open, {"--help"}, false},
        {{"--", "--frobnicate"}, Action::Open, {"--frobnicate"}, false},
        {{"--frobnicate", "a.htm"}, Action::New, {}, true},
        {{"--help", "--frobnicate"}, Action::New, {}, true},
        {{"--p", "a.htm"}, Action::New, {}, true},
        // One dash and an unknown word is a file, as it always was.
        {{"-frob.htm"}, Action::Open, {"-frob.htm"}, false},
        {{"-style", "fusion", "a.htm"}, Action::Open, {"a.htm"}, false},
        {{"--platform", "xcb", "--reverse", "a.htm"}, Action::Open, {"a.htm"}, false},
        {{"-style=fusion", "--display=:1", "-reverse=x"}, Action::Open, {"-reverse=x"}, false},
        {{"--", "-style", "fusion"}, Action::Open, {"-style", "fusion"}, false},
    };
    for (const auto& c : cases) {
        const CommandLine line = parseCommandLine(c.args);
        SCOPED_TRACE(c.args.front() + (c.args.size() > 1 ? " " + c.args[1] : ""));
        EXPECT_EQ(line.usageError.empty(), !c.usageError) << line.usageError;
        if (c.usageError)
            continue;
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.files, c.files);
    }
    EXPECT_EQ(parseCommandLine({"--frob=1"}).usageError, "不明なｽｲｯﾁです: --frob=1");
    EXPECT_EQ(versionText("1.2.3"), "zu 1.2.3\n");
}

TEST(CommandLine, TheUsageNamesEverySwitchAndEveryVariableTheReadmeDoes) {
    const std::string usage = usageText();
    for (const char* word : {"/p ", "/pt ", "/dde", "/unregister", "/unregserver", "--unregister",
                             "-n,", "--new-instance", "-h,", "--help", "-V,", "--version", "--  "})
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    // Every variable the README names, so that the two cannot drift apart.
    const std::string readme = testing::readFile(std::string(ZU_SOURCE_DIR) + "/README.md");
    std::size_t variables = 0;
    for (std::size_t at = readme.find('`'); at != std::string::npos; at = readme.find('`', at)) {
        const std::size_t end = readme.find('`', at + 1);
        if (end == std::string::npos)
            break;
        const std::string word = readme.substr(at + 1, end - at - 1);
        at = end + 1;
        if (word.starts_with("ZU_") || word == "BROWSER" ||
            (word.starts_with("XDG_") && word.find('/') == word.npos)) {
            ++variables;
            EXPECT_NE(usage.find(word.substr(0, word.find('='))), std::string::npos) << word;
        }
    }
    EXPECT_GE(variables, 6u);
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
