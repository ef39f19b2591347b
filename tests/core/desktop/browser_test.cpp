// Which browser ﾌﾞﾗｳｻﾞで表示 starts, and with what arguments, on desktops
// held in memory.

#include "core/desktop/browser.h"
#include "core/desktop/desktop_entry.h"

#include "memory_desktop.h"

#include <gtest/gtest.h>

namespace zu {
namespace {

using testing::MemoryDesktop;
using Argv = std::vector<std::string>;

const std::string kPage = "/home/u/p.htm";
const std::string kUrl = "file:///home/u/p.htm";
const std::string kSelf = "/opt/zu/bin/zu";
constexpr const char* kApps = "/usr/share/applications/";

TEST(Browser, TheHttpDefaultThenBrowserThenPageHandlersNeverZu) {
    const std::string user = "/home/u/.config/mimeapps.list",
                      data = "/home/u/.local/share/applications/";
    const std::string http = "[Default Applications]\nx-scheme-handler/http=";
    const std::string zuEverywhere = http + "zu.desktop;\ntext/html=zu.desktop;zu-dev.desktop;\n";
    const std::string zuEntry = "[Desktop Entry]\nType=Application\nExec=/opt/zu/bin/zu "
                                "%F\nMimeType=text/html;x-scheme-handler/http;\n";
    const std::string pages = "[Default Applications]\ntext/html=bluefish.desktop;\n[Added "
                              "Associations]\ntext/html=lynx.desktop;netsurf.desktop;\n";
    const struct {
        const char* name;
        std::map<std::string, std::string> files, env; // added to the desktop below
        std::vector<Argv> expected;
    } cases[] = {
        // clang-format off
        {"NothingButZu", {{"/usr/share/applications/bluefish.desktop", ""}, {"/usr/share/applications/firefox.desktop", ""}, {"/opt/share/applications/chromium.desktop", ""}}, {}, {}},
        {"TheHttpDefault", {{user, http + "firefox.desktop;\n"}}, {}, {{"firefox", kUrl}, {"bluefish", kUrl}}},
        // With no default named, the entry that declares http addresses.
        {"AnHttpHandler", {{"/usr/share/applications/firefox.desktop", ""}}, {{"XDG_DATA_DIRS", "/usr/share:/opt/share"}}, {{"chromium", "--new-window", kUrl}, {"bluefish", kUrl}}},
        {"BrowserCommandsAfterTheDefault", {{user, http + "firefox.desktop;\n"}}, {{"BROWSER", "missing:w3m -T text/html %s --x=%%s:/opt/b/run"}},
         {{"firefox", kUrl}, {"w3m", "-T", "text/html", kUrl, "--x=%s"}, {"/opt/b/run", kUrl}, {"bluefish", kUrl}}},
        {"ZuIsNeverTheBrowser", {{user, zuEverywhere}, {data + "zu.desktop", zuEntry}, {data + "zu-dev.desktop", "[Desktop Entry]\nType=Application\nExec=zu %F\nMimeType=text/html;\n"}},
         {{"BROWSER", "zu:/opt/zu/bin/zu %s"}}, {{"firefox", kUrl}, {"bluefish", kUrl}}},
        // Browsers first among the programs that open pages; one that needs a terminal cannot be started.
        {"BrowsersBeforeEditors", {{user, pages}, {"/usr/share/applications/firefox.desktop", ""},
          {"/usr/share/applications/netsurf.desktop", "[Desktop Entry]\nType=Application\nExec=netsurf\nCategories=Network;WebBrowser;\n"},
          {"/usr/share/applications/lynx.desktop", "[Desktop Entry]\nType=Application\nExec=lynx %u\nTerminal=true\nCategories=WebBrowser;\n"}},
         {}, {{"netsurf", kUrl}, {"bluefish", kUrl}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        MemoryDesktop desktop;
        desktop.env["PATH"] = "/usr/bin:/bin";
        desktop.programs = {"/usr/bin/w3m", "/opt/b/run", "/opt/zu/bin/zu", "/usr/bin/zu"};
        desktop.app(std::string(kApps) + "bluefish.desktop", "bluefish", "text/html;",
                    "Categories=Development;\n");
        desktop.app(std::string(kApps) + "firefox.desktop", "firefox", "text/html;",
                    "Categories=WebBrowser;\n");
        desktop.app("/opt/share/applications/chromium.desktop", "chromium --new-window",
                    "x-scheme-handler/http;");
        // An empty text takes the entry away.
        for (const auto& [path, text] : c.files)
            if (text.empty())
                desktop.files.erase(path);
            else
                desktop.files[path] = text;
        for (const auto& [name, value] : c.env)
            desktop.env[name] = value;
        std::vector<Argv> found;
        for (const BrowserCommand& command : browserCommands(kPage, kSelf, desktop.fs()))
            found.push_back(command.argv);
        EXPECT_EQ(found, c.expected) << c.name;
    }
}

TEST(Browser, FileUrlsKeepEveryByteOfTheName) {
    EXPECT_EQ(localFileUrl("/tmp/a b/日本.htm"), "file:///tmp/a%20b/%E6%97%A5%E6%9C%AC.htm");
    EXPECT_EQ(localFileUrl("/x/100%#?;&=+.htm"), "file:///x/100%25%23%3F%3B%26%3D%2B.htm");
    EXPECT_EQ(localFileUrl("/x/\x93\xfa.htm"), "file:///x/%93%FA.htm");
    EXPECT_EQ(localFileUrl("/A-z_0.~"), "file:///A-z_0.~");
}

TEST(Browser, ExecFieldCodesAreFilledAndQuotesUndone) {
    const struct {
        const char* exec;
        std::optional<Argv> argv;
    } cases[] = {
        {"firefox %u", Argv{"firefox", kUrl}},
        {"firefox --new %U", Argv{"firefox", "--new", kUrl}},
        {"viewer %f", Argv{"viewer", kPage}},
        {"viewer --file=%F", Argv{"viewer", "--file=" + kPage}},
        {"bare", Argv{"bare", kUrl}},
        {"\"/opt/my browser/b\" %i %c %k %d %u",
         Argv{"/opt/my browser/b", "--icon", "web", "Web", "/e.desktop", kUrl}},
        {"b \"a \\\"q\\\" \\\\ \\$x\" 100%% %u", Argv{"b", "a \"q\" \\ $x", "100%", kUrl}},
        {"b \"open", std::nullopt},
        {"", std::nullopt},
        {"%u", std::nullopt},
    };
    for (const auto& c : cases) {
        EntryFacts facts;
        facts.exec = c.exec;
        facts.icon = "web";
        facts.name = "Web";
        EXPECT_EQ(entryCommand(facts, "/e.desktop", kUrl, kPage), c.argv) << c.exec;
    }
}

} // namespace
} // namespace zu
