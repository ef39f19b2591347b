#pragma once
// Converting the pages the user ticked, and taking the whole conversion
// back.
//
// Beside the site (its folder "site") a folder "site.zu-originals-DATE-TIME"
// is made, readable by the user alone, holding:
//   files/...       a byte-exact copy of every page converted, at its place;
//   zu-convert.list what each page was and became (hashes), for the undo;
//   report.html     what changed in each page, with links to both versions.
// A folder rather than an archive: the originals stay pages a browser
// shows, their links among each other working, with nothing to unpack.
//
// Each page is read again and must still be what the list saw; its copy is
// written and read back before the page itself is written, through the one
// atomic writer, so that a failure or a crash at any moment leaves every
// page either as it was or converted whole, with its original kept.

#include "core/convert/site_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zu::convert {

struct PageOutcome {
    enum class Kind { Converted, Failed, NotBegun };
    std::string relative;
    Kind kind = Kind::NotBegun;
    std::string message; // why it failed
    PagePlan plan;
};

struct SiteConversion {
    std::string originals; // the folder beside the site; empty when none could be made
    std::string error;     // nothing was converted, and why
    std::vector<PageOutcome> pages;
    bool cancelled = false;
    std::size_t converted() const;
};

// Converts `ticked` (from listSite of `root`; pages that need nothing are
// left out, and those that cannot be converted are only reported), on
// `writers` threads: writing is mostly waiting for the disk to flush, which
// several pages do better together.
SiteConversion convertSite(const std::string& root, const std::vector<SitePage>& ticked,
                           const ConvertOptions& options, const Progress& progress = {},
                           unsigned writers = 8);

// The folder the originals of a conversion of `root` started at `time`
// (seconds since the epoch, local time) are kept in.
std::string originalsFolderName(const std::string& root, long long time);

struct UndoOutcome {
    std::string relative;
    enum class Kind { Restored, AlreadyOriginal, ChangedSince, Failed } kind;
    std::string message;
};
struct SiteUndo {
    std::string root;
    std::string error; // the folder holds no conversion zu can undo
    std::vector<UndoOutcome> pages;
    bool complete() const; // every page is its original again
};

// Puts back every original a conversion kept in `originals`. A page changed
// since the conversion is not written over: it is said instead.
SiteUndo undoConversion(const std::string& originals);

// The conversions of `root` kept beside it, newest first.
std::vector<std::string> conversionsOf(const std::string& root);

// The report, as zu writes it into the originals' folder: the options, each
// converted page with links to both versions and what changed, the pages
// not converted and why, a cancelled run said as such.
std::string conversionReport(const std::string& root, const SiteConversion& conversion,
                             const ConvertOptions& options, const std::string& when);

} // namespace zu::convert
