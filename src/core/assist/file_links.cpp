#include "core/assist/file_links.h"

#include <sys/stat.h>

#include <array>

namespace zu {

namespace {

// Files of 2 GiB and more are listed with their real size.
static_assert(sizeof(off_t) >= sizeof(std::int64_t), "build with 64-bit file offsets");

// The heading shared by the list and the image link.
std::string centredFolder(std::string_view firstPath) {
    return "<center><h3><u>" + folderHeading(firstPath) + "</u></h3></center>\r\n";
}

std::string_view firstPathOf(std::span<const FileFacts> files) {
    return files.empty() ? std::string_view{} : std::string_view{files.front().path};
}

std::string timeTextOf(const FileFacts& file) {
    return file.modified ? fileTimeText(*file.modified) : std::string{};
}

std::string sizeTextOf(const FileFacts& file) {
    return file.size ? std::to_string(*file.size) : std::string{};
}

} // namespace

std::string folderHeading(std::string_view firstPath) {
    // In UTF-8 the byte of "/" never occurs inside another character, so the
    // last one found is a real separator whatever the names hold.
    const std::size_t slash = firstPath.rfind('/');
    if (slash == std::string_view::npos)
        return {};
    if (slash == 0)
        return "/";
    return std::string(firstPath.substr(0, slash));
}

std::string linkName(std::string_view path, LinkForm form) {
    if (form == LinkForm::WithDirectory)
        return std::string(path);
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string fileTimeText(std::time_t when) {
    // Read TZ afresh: localtime_r alone may keep the zone of an earlier call.
    ::tzset();
    std::tm local{};
    if (::localtime_r(&when, &local) == nullptr)
        return {};
    std::array<char, 64> buffer{};
    const std::size_t length =
        std::strftime(buffer.data(), buffer.size(), "%y/%m/%d %H:%M", &local);
    return std::string(buffer.data(), length);
}

Fragment fileList(std::span<const FileFacts> files, LinkForm form, Anchor anchor) {
    std::string open = centredFolder(firstPathOf(files));
    for (const FileFacts& file : files) {
        const std::string name = linkName(file.path, form);
        if (anchor == Anchor::Linked)
            open += "<a HREF=\"" + name + "\">" + name + "</a>";
        else
            open += name;
        // The tab stays even without facts, so the names still line up.
        open += "\t";
        const std::string time = timeTextOf(file);
        open += time;
        if (file.size) {
            if (!time.empty())
                open += " ";
            open += sizeTextOf(file) + "Bytes";
        }
        open += "<br>\r\n";
    }
    return {std::move(open), "\r\n"};
}

Fragment fileTable(std::span<const FileFacts> files, LinkForm form) {
    std::string open = "<center>\r\n<h3><u>" + folderHeading(firstPathOf(files)) +
                       "</u></h3>\r\n<table BORDER=1 CELLPADDING=4 BGCOLOR=#ffffff>\r\n";
    open += "<tr>\r\n";
    for (const std::string_view heading :
         {">Name</th>", ">Update</th>", ">Bytes</th>", ">Comments</th>"}) {
        open += "<th BGCOLOR=#00eecc ALIGN=\"center\"";
        open += heading;
        open += "\r\n";
    }
    open += "</tr>\r\n";

    // The table always links its names: it is meant as an index page.
    for (const FileFacts& file : files) {
        const std::string name = linkName(file.path, form);
        open += "<tr>\r\n";
        open += "<td><a HREF=\"" + name + "\">" + name + "</a></td>\r\n";
        open += "<td>" + timeTextOf(file) + "</td>\r\n";
        open += "<td ALIGN=\"right\">" + sizeTextOf(file) + "</td>\r\n";
        // A placeholder for the user to overwrite with a description.
        open += "<td>ファイル</td>\r\n";
        open += "</tr>\r\n";
    }
    open += "</table>\r\n";
    return {std::move(open), "</center>\r\n"};
}

Fragment imageLink(std::span<const std::string> paths, LinkForm form, Anchor anchor) {
    std::string open = centredFolder(paths.empty() ? std::string_view{} : paths.front());
    for (const std::string& path : paths) {
        const std::string name = linkName(path, form);
        const std::string image = "<img SRC=\"" + name + "\">";
        if (anchor == Anchor::Linked)
            open += "<a HREF=\"" + name + "\">" + image + "</a>\r\n\r\n";
        else
            open += image + "\r\n";
    }
    return {std::move(open), "\r\n"};
}

FileFacts readFileFacts(const std::string& path) {
    FileFacts facts{path, std::nullopt, std::nullopt};
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return facts;
    facts.modified = status.st_mtime;
    // Only a regular file has a size that means its length in bytes.
    if (S_ISREG(status.st_mode))
        facts.size = static_cast<std::int64_t>(status.st_size);
    return facts;
}

} // namespace zu
