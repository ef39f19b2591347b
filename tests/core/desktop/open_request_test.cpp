// What a second zu sends the running one, and where the socket is.

#include "core/desktop/open_request.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
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

TEST(InstanceSocket, OnePerUserAndDisplayInTheRuntimeFolder) {
    const struct {
        const char* name;
        std::map<std::string, std::string> env;
        std::string path;
    } cases[] = {
        {"Runtime", {{"XDG_RUNTIME_DIR", "/run/user/1000"}}, "/run/user/1000/zu.socket"},
        {"X11",
         {{"XDG_RUNTIME_DIR", "/run/user/1000/"}, {"DISPLAY", ":0"}},
         "/run/user/1000/zu-_0.socket"},
        {"WaylandFirst",
         {{"XDG_RUNTIME_DIR", "/r"}, {"DISPLAY", ":1"}, {"WAYLAND_DISPLAY", "wayland-0"}},
         "/r/zu-wayland-0.socket"},
        {"NoRuntimeFolder", {{"DISPLAY", "host:10.0"}}, "/tmp/1000-zu-host_10.0.socket"},
        {"RelativeRuntimeIgnored",
         {{"XDG_RUNTIME_DIR", "r"}, {"TMPDIR", "/t"}},
         "/t/1000-zu.socket"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(instanceSocketPath(
                      [&](const char* name) -> std::optional<std::string> {
                          const auto found = c.env.find(name);
                          return found == c.env.end() ? std::nullopt : std::optional(found->second);
                      },
                      1000),
                  c.path);
    }
}

} // namespace
} // namespace zu
