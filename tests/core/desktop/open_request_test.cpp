// What a second zu sends the running one, and where the socket is.

#include "core/desktop/open_request.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zu {
namespace {

using State = OpenRequest::State;

TEST(OpenRequest, EveryPathComesBackWhateverItHolds) {
    const std::vector<std::vector<std::string>> lists = {
        {},
        {"/home/u/a.htm"},
        {"/a b/c.htm", "/d/\n/e.htm", "/日本語/ﾍﾟｰｼﾞ.htm", "/x/\x82\xa0.htm"},
    };
    for (const auto& files : lists) {
        const OpenRequest request = decodeOpenRequest(encodeOpenRequest(files));
        EXPECT_EQ(request.state, State::Complete);
        EXPECT_EQ(request.files, files);
    }
}

TEST(OpenRequest, APartialRequestWaitsAndAForeignOneIsRefused) {
    const std::string whole = encodeOpenRequest({"/a.htm", "/b.htm"});
    // Every cut short of the end is still arriving, never complete.
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_EQ(decodeOpenRequest(std::string_view(whole).substr(0, size)).state,
                  State::Incomplete)
            << size;
    EXPECT_EQ(decodeOpenRequest(whole + "x").state, State::Invalid);
    EXPECT_EQ(decodeOpenRequest("GET / HTTP/1.0\r\n").state, State::Invalid);
    EXPECT_EQ(decodeOpenRequest(std::string("zu-open-2\0\0", 11)).state, State::Invalid);
}

TEST(InstanceSocket, OnePerUserAndDisplayInAFolderOnlyTheUserCanEnter) {
    const struct {
        const char* name;
        std::map<std::string, std::string> env;
        std::set<std::string> notPrivate;
        std::optional<std::string> path;
    } cases[] = {
        {"Runtime", {{"XDG_RUNTIME_DIR", "/run/user/1000"}}, {}, "/run/user/1000/zu.socket"},
        {"X11",
         {{"XDG_RUNTIME_DIR", "/run/user/1000/"}, {"DISPLAY", ":0"}},
         {},
         "/run/user/1000/zu-_0.socket"},
        {"WaylandFirst",
         {{"XDG_RUNTIME_DIR", "/r"}, {"DISPLAY", ":1"}, {"WAYLAND_DISPLAY", "wayland-0"}},
         {},
         "/r/zu-wayland-0.socket"},
        {"NoRuntimeFolder", {{"DISPLAY", "host:10.0"}}, {}, "/tmp/zu-1000/zu-host_10.0.socket"},
        {"RelativeRuntimeIgnored",
         {{"XDG_RUNTIME_DIR", "r"}, {"TMPDIR", "/t"}},
         {},
         "/t/zu-1000/zu.socket"},
        {"RuntimeNotPrivate",
         {{"XDG_RUNTIME_DIR", "/r"}, {"TMPDIR", "/t/"}},
         {"/r"},
         "/t/zu-1000/zu.socket"},
        {"NothingPrivate", {{"XDG_RUNTIME_DIR", "/r"}}, {"/r", "/tmp/zu-1000"}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<std::string, bool>> asked;
        EXPECT_EQ(instanceSocketPath(
                      [&](const char* name) -> std::optional<std::string> {
                          const auto found = c.env.find(name);
                          return found == c.env.end() ? std::nullopt : std::optional(found->second);
                      },
                      1000,
                      [&](const std::string& folder, bool make) {
                          asked.emplace_back(folder, make);
                          return !c.notPrivate.contains(folder);
                      }),
                  c.path);
        // Only the folder of the temporary folder is zu's to make.
        for (const auto& [folder, make] : asked)
            EXPECT_EQ(make, folder.find("/zu-1000") != std::string::npos) << folder;
    }
}

TEST(InstanceSocket, APrivateFolderIsTheUsersOwnFolderThatNoOneElseMayEnter) {
    const testing::ScratchFolder dir;
    const auto path = [&](const char* name) { return dir.file(name); };
    ASSERT_EQ(::mkdir(path("mine").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(path("open").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(path("shared").c_str(), 0770), 0);
    ASSERT_EQ(::mkdir(path("enterable").c_str(), 0701), 0);
    ASSERT_EQ(::symlink("mine", path("link").c_str()), 0);
    testing::writeFile(path("file"), "x");
    const struct {
        const char* name;
        bool make, isPrivate;
    } cases[] = {
        {"mine", false, true},       {"missing", false, false}, {"made", true, true},
        {"open", true, false},       {"shared", false, false},  {"link", true, false},
        {"enterable", false, false}, {"file", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isPrivateFolder(path(c.name), c.make, ::getuid()), c.isPrivate);
    }
    struct stat made {};
    ASSERT_EQ(::stat(path("made").c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0700u);
    // A folder someone else made first, with the right mode, is theirs.
    EXPECT_FALSE(isPrivateFolder(path("mine"), false, ::getuid() + 1));
}

} // namespace
} // namespace zu
