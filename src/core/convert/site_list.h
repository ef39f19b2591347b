#pragma once
// The pages of a site as the conversion lists them before anything is
// written: every file under the folder whose name ends in one of the chosen
// extensions, each read whole and planned (page_conversion.h). Symbolic
// links are never followed: a linked file or folder inside the site is
// listed where it really is, and one that leads out of the folder is listed
// as not converted.

#include "core/convert/page_conversion.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zu::convert {

// The extensions offered, in the order the dialog shows them.
inline constexpr std::string_view kPageExtensions[] = {".htm", ".html", ".shtml", ".txt"};

struct SitePage {
    std::string relative; // under the site's folder, "/" between names
    PagePlan plan;
};

// Whether `name` ends in one of `extensions` (case ignored).
bool hasExtension(std::string_view name, const std::vector<std::string>& extensions);

// Called between files with how many are done of how many; false stops.
using Progress = std::function<bool(std::size_t done, std::size_t total)>;

struct SiteList {
    std::vector<SitePage> pages; // by relative path
    std::string error;           // the folder could not be read
    bool cancelled = false;
};

// `root` must be a folder. Files are read on several threads; `progress`
// is called on the caller's.
SiteList listSite(const std::string& root, const std::vector<std::string>& extensions,
                  const ConvertOptions& options, const Progress& progress = {});

// The same for one file, listed by its own name.
SitePage listFile(const std::string& path, const ConvertOptions& options);

// Whether `path` is inside the real folder `root` and no name on the way
// to it is a symbolic link: what the conversion checks again just before
// it writes, so a link made after the list was made leads nowhere.
bool insideWithoutLinks(const std::string& root, const std::string& relative);

// Runs `work(k)` for k in [0, count) on a few threads, calling `progress`
// on the caller's thread as they finish; once it says stop, no k not yet
// begun is begun. Returns whether it ran to the end.
bool forEachOnThreads(std::size_t count, const std::function<void(std::size_t)>& work,
                      const Progress& progress, unsigned threads);

} // namespace zu::convert
