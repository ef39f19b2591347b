#pragma once
// File list, file table and image link: HTML that refers to files the user
// picked, headed by the folder of the first one.
//
// Paths are UTF-8 with "/" separators and go into the HTML as they stand:
// no separator is converted, no scheme added, nothing escaped.

#include "core/edit/fragment.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zu {

// What the list and the table show of one file. A fact is empty when the
// file vanished or cannot be examined; the file keeps its line or row anyway,
// so the user sees it was picked.
struct FileFacts {
    std::string path;
    std::optional<std::time_t> modified; // last write
    std::optional<std::int64_t> size;    // bytes
    friend bool operator==(const FileFacts&, const FileFacts&) = default;
};

enum class LinkForm {
    NameOnly,      // the part after the last "/"
    WithDirectory, // the full path
};

enum class Anchor {
    Plain,  // the name alone
    Linked, // inside <a HREF="...">
};

// The folder of `firstPath`, without a trailing "/"; "/" for a file in the
// root folder, empty for a bare name.
std::string folderHeading(std::string_view firstPath);

std::string linkName(std::string_view path, LinkForm form);

// "%y/%m/%d %H:%M" in local time (98/07/15 09:05); empty when the time
// cannot be converted.
std::string fileTimeText(std::time_t when);

// One line per file: name, tab, time, blank, size "Bytes<br>". A missing
// fact is left out with its blank or unit, so a vanished file gives the
// line name "\t<br>".
Fragment fileList(std::span<const FileFacts> files, LinkForm form, Anchor anchor);

// A bordered table of name (always linked), time, size and a comment cell;
// missing facts leave their cells empty.
Fragment fileTable(std::span<const FileFacts> files, LinkForm form);

// One image tag per file; linked ones are followed by an empty line.
Fragment imageLink(std::span<const std::string> paths, LinkForm form, Anchor anchor);

// The last-write time and, for a regular file, the size of `path`; only the
// path when it cannot be examined.
FileFacts readFileFacts(const std::string& path);

} // namespace zu
