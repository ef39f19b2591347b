#include "core/desktop/browser.h"

#include "core/desktop/mime_lists.h"
#include "core/desktop/registration.h"

#include <algorithm>

namespace zu {
namespace {

constexpr std::string_view kWebAddressType = "x-scheme-handler/http";

bool isWebBrowser(const EntryFacts& facts) {
    const auto has = [](const std::vector<std::string>& items, std::string_view item) {
        return std::find(items.begin(), items.end(), item) != items.end();
    };
    return has(facts.categories, "WebBrowser") || has(facts.mimeTypes, kWebAddressType);
}

// The commands of $BROWSER, which lists them separated by ":"; in each,
// "%s" stands for the address and "%%" for "%", and a command without "%s"
// gets the address at its end. Its words are split at blanks, never given
// to a shell.
std::vector<std::vector<std::string>> browserVariable(const std::string& value,
                                                      const std::string& url) {
    std::vector<std::vector<std::string>> commands;
    std::string_view list = value;
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        std::string_view command = list.substr(0, colon);
        list.remove_prefix(colon == std::string_view::npos ? list.size() : colon + 1);
        std::vector<std::string> argv;
        bool addressGiven = false;
        while (!command.empty()) {
            const std::size_t start = command.find_first_not_of(" \t");
            if (start == std::string_view::npos)
                break;
            command.remove_prefix(start);
            const std::size_t end = std::min(command.find_first_of(" \t"), command.size());
            const std::string_view word = command.substr(0, end);
            command.remove_prefix(end);
            std::string arg;
            for (std::size_t i = 0; i < word.size(); ++i) {
                if (word[i] == '%' && i + 1 < word.size() && word[i + 1] == 's') {
                    arg += url;
                    addressGiven = true;
                    ++i;
                } else {
                    arg += word[i];
                    if (word[i] == '%' && i + 1 < word.size() && word[i + 1] == '%')
                        ++i;
                }
            }
            argv.push_back(std::move(arg));
        }
        if (argv.empty())
            continue;
        if (!addressGiven)
            argv.push_back(url);
        commands.push_back(std::move(argv));
    }
    return commands;
}

} // namespace

std::string localFileUrl(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : path) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}

std::vector<BrowserCommand> browserCommands(const std::string& path, const std::string& self,
                                            const DesktopFileSystem& fs) {
    const std::string url = localFileUrl(path);
    std::vector<BrowserCommand> commands;
    std::vector<std::string> ids;
    // A program is zu when it is this very program, or the "zu" the PATH
    // finds, which an installed entry starts.
    const auto isZu = [&](const std::string& program) {
        const auto found = findProgram(program, fs);
        return program == self || (found && *found == self) ||
               program.substr(program.find_last_of('/') + 1) == "zu";
    };
    const auto addEntry = [&](const InstalledApplication* app) {
        if (!app || app->id == kDesktopId || app->facts.terminal ||
            std::find(ids.begin(), ids.end(), app->id) != ids.end())
            return;
        auto argv = entryCommand(app->facts, app->path, url, path);
        if (!argv || isZu(argv->front()))
            return;
        ids.push_back(app->id);
        commands.push_back({std::move(*argv), app->id});
    };

    MimeAssociations associations(fs);
    addEntry(associations.defaultFor(kWebAddressType));
    if (const auto variable = fs.env("BROWSER"))
        for (auto& argv : browserVariable(*variable, url))
            if (findProgram(argv.front(), fs) && !isZu(argv.front()))
                commands.push_back({std::move(argv), "$BROWSER"});
    std::vector<const InstalledApplication*> pages = associations.applications(kWebPageType);
    std::stable_partition(pages.begin(), pages.end(),
                          [](const InstalledApplication* app) { return isWebBrowser(app->facts); });
    for (const InstalledApplication* app : pages)
        addEntry(app);
    return commands;
}

std::string noBrowserMessage() {
    return "ﾌﾞﾗｳｻﾞが見つかりません。\n"
           "Web ﾍﾟｰｼﾞ (http) を開く既定のｱﾌﾟﾘｹｰｼｮﾝも、環境変数 BROWSER も、"
           "zu のほかに HTML ﾌｧｲﾙを開くｱﾌﾟﾘｹｰｼｮﾝもありません。\n"
           "ﾌﾞﾗｳｻﾞをｲﾝｽﾄｰﾙし、ﾃﾞｽｸﾄｯﾌﾟの設定で既定の Web ﾌﾞﾗｳｻﾞに選んでください"
           " (xdg-settings set default-web-browser firefox-esr.desktop のようにも設定できます)。"
           "または環境変数 BROWSER にﾌﾞﾗｳｻﾞのｺﾏﾝﾄﾞ名を設定してください。";
}

std::string browserFailedMessage(const std::vector<std::string>& tried) {
    std::string names;
    for (const std::string& name : tried)
        names += (names.empty() ? "" : ", ") + name;
    return "ﾌﾞﾗｳｻﾞを起動できませんでした (" + names +
           ")。\nﾃﾞｽｸﾄｯﾌﾟの設定か環境変数 BROWSER で、起動できるﾌﾞﾗｳｻﾞを選んでください。";
}

} // namespace zu
