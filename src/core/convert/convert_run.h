#pragma once
// `zu --convert utf-8 PATH...`: the site conversion from a shell, with no
// window. Each PATH is a folder (its pages: .htm, .html, .shtml, .txt) or a
// file; every page is listed first, one line each, in UTF-8:
//
//     site/index.htm: 変換します: Shift_JIS → UTF-8; 宣言 x-sjis → UTF-8
//     site/new.htm: 変更なし
//     site/bad.htm: 変換できません: Shift_JIS として読めないﾊﾞｲﾄが 1 個あります (最初は 3 行目)。
//
// and with `--apply` the pages that can be are then converted, each PATH
// with its originals kept beside it (site_conversion.h).
// `zu --convert-undo FOLDER` puts the originals kept in FOLDER back.

#include "core/convert/page_conversion.h"

#include <ostream>
#include <string>
#include <vector>

namespace zu::convert {

// What a run ends with: 0 when every page could be converted (or needed
// nothing), 1 when a page is stopped or was not converted, 2 when a PATH or
// the originals' folder could not be read or made.
enum ExitStatus : int { kAllConverted = 0, kSomeStopped = 1, kCannotConvert = 2 };

struct ConvertRequest {
    std::vector<std::string> paths;
    bool apply = false;
    ConvertOptions options;
};

int runConvert(const ConvertRequest& request, std::ostream& out, std::ostream& errors);
int runUndo(const std::string& originals, std::ostream& out, std::ostream& errors);

// One line of the listing, without its line break.
std::string listingLine(const std::string& path, const PagePlan& plan);

} // namespace zu::convert
