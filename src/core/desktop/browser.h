#pragma once
// Which web browser shows a page for ﾌﾞﾗｳｻﾞで表示: found as the desktop
// finds one for a web address, never by the page's own type, whose default
// may well be zu. In order: the default for http addresses, the commands
// of $BROWSER, then the programs that open web pages, browsers first. zu
// itself is never one of them.

#include "core/desktop/desktop_files.h"

#include <string>
#include <vector>

namespace zu {

struct BrowserCommand {
    std::vector<std::string> argv; // the program and its arguments; no shell reads them
    std::string from;              // the desktop id, or "$BROWSER"
};

// The file URL of an absolute path: every byte but the unreserved ones and
// "/" percent-encoded, so that any file name survives.
std::string localFileUrl(const std::string& path);

// Every way to show `path` (absolute) in a browser, the best first, for
// the caller to try until one starts. `self` is the running zu's program.
std::vector<BrowserCommand> browserCommands(const std::string& path, const std::string& self,
                                            const DesktopFileSystem& fs);

// The message when there is no browser at all, and when none of them
// could be started (`tried` names them).
std::string noBrowserMessage();
std::string browserFailedMessage(const std::vector<std::string>& tried);

} // namespace zu
