#include "core/convert/site_conversion.h"

#include "core/doc/atomic_write.h"
#include "core/doc/content_hash.h"
#include "core/doc/file_errors.h"
#include "core/doc/file_read.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <sstream>
#include <sys/stat.h>

namespace zu::convert {
namespace {

constexpr std::string_view kListName = "zu-convert.list";
constexpr std::string_view kListHeader = "zu-convert 1";
// The undo writes as the conversion does: several pages wait for the disk
// together.
constexpr unsigned kWriters = 8;

std::string withoutSlash(std::string path) {
    while (path.size() > 1 && path.ends_with('/'))
        path.pop_back();
    return path;
}

std::string joined(const std::string& folder, const std::string& relative) {
    return folder == "/" ? "/" + relative : folder + "/" + relative;
}

std::string baseName(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A path on one line of the list: control bytes and '%' as %XX.
std::string escaped(std::string_view path) {
    std::string out;
    for (unsigned char c : path) {
        if (c < 0x20 || c == '%' || c == 0x7F) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string unescaped(std::string_view line) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const int high = i + 2 < line.size() ? hexValue(line[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(line[i + 2]) : -1;
        if (line[i] == '%' && low >= 0) {
            out.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            out.push_back(line[i]);
        }
    }
    return out;
}

// `text` as one word of a shell command line.
std::string shellWord(std::string_view text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct ListEntry {
    std::uint64_t source, result;
    std::string relative;
};

std::string listText(const std::string& root, const std::vector<ListEntry>& entries) {
    std::string text = std::string(kListHeader) + "\nsite " + escaped(root) + "\n";
    for (const ListEntry& e : entries) {
        char hashes[40];
        std::snprintf(hashes, sizeof hashes, "%016" PRIx64 " %016" PRIx64 " ", e.source, e.result);
        text += hashes + escaped(e.relative) + "\n";
    }
    return text;
}

bool parseList(std::string_view text, std::string& root, std::vector<ListEntry>& entries) {
    std::istringstream in{std::string(text)};
    std::string line;
    if (!std::getline(in, line) || line != kListHeader || !std::getline(in, line) ||
        !line.starts_with("site /"))
        return false;
    root = unescaped(std::string_view(line).substr(5));
    while (std::getline(in, line)) {
        ListEntry e{};
        if (line.size() < 35 || line[16] != ' ' || line[33] != ' ' ||
            std::sscanf(line.c_str(), "%16" SCNx64 " %16" SCNx64, &e.source, &e.result) != 2)
            return false;
        e.relative = unescaped(std::string_view(line).substr(34));
        if (e.relative.empty() || e.relative.starts_with('/'))
            return false;
        entries.push_back(std::move(e));
    }
    return true;
}

// Every folder on the way to `path` made, for the user alone.
int makeFolders(const std::string& base, const std::string& relative) {
    for (std::size_t slash = relative.find('/'); slash != std::string::npos;
         slash = relative.find('/', slash + 1))
        if (::mkdir(joined(base, relative.substr(0, slash)).c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
    return 0;
}

std::string saveError(const WriteResult& result) {
    return fileErrorMessage(result.error, FileOp::Save, result.path);
}

PageOutcome convertOne(const std::string& root, const std::string& files, const SitePage& page,
                       const ConvertOptions& options) {
    PageOutcome out{page.relative, PageOutcome::Kind::Failed, {}, page.plan};
    const std::string path = joined(root, page.relative);
    if (!insideWithoutLinks(root, page.relative)) {
        out.message = "ｼﾝﾎﾞﾘｯｸ ﾘﾝｸを通る場所になっています。";
        return out;
    }
    FileBytes read = readWholeFile(path, kMaxDocumentBytes);
    if (read.error != 0) {
        out.message = fileErrorMessage(read.error, FileOp::Open, path);
        return out;
    }
    const PageConversion conversion = convertPage(read.bytes, page.relative, options);
    if (conversion.plan.sourceHash != page.plan.sourceHash ||
        conversion.plan.resultHash != page.plan.resultHash || !conversion.plan.convertible()) {
        out.message = "一覧を作った後で変更されています。";
        return out;
    }
    const std::string copy = joined(files, page.relative);
    if (const int error = makeFolders(files, page.relative); error != 0) {
        out.message = fileErrorMessage(error, FileOp::Save, copy);
        return out;
    }
    if (const WriteResult written = writeFileAtomically(copy, read.bytes); !written) {
        out.message = saveError(written);
        return out;
    }
    // The page is written over only once the copy of its old bytes reads
    // back whole: undo needs every byte of it.
    const FileBytes kept = readWholeFile(copy, kMaxDocumentBytes);
    if (kept.error != 0 || kept.bytes != read.bytes) {
        out.message = "元のﾌｧｲﾙの写し " + copy + " を確かめられません。";
        return out;
    }
    if (const WriteResult written = writeFileAtomically(path, conversion.bytes); !written) {
        out.message = saveError(written);
        return out;
    }
    out.kind = PageOutcome::Kind::Converted;
    return out;
}

std::string html(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

// A relative address of a path: every byte but the unreserved ones as %XX.
std::string address(std::string_view path) {
    std::string out;
    for (unsigned char c : path) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~' || c == '/') {
            out.push_back(static_cast<char>(c));
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string timeText(long long time, const char* format) {
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm local{};
    ::localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

} // namespace

std::size_t SiteConversion::converted() const {
    return static_cast<std::size_t>(
        std::ranges::count(pages, PageOutcome::Kind::Converted, &PageOutcome::kind));
}

bool SiteUndo::complete() const {
    return error.empty() && std::ranges::all_of(pages, [](const UndoOutcome& o) {
               return o.kind == UndoOutcome::Kind::Restored ||
                      o.kind == UndoOutcome::Kind::AlreadyOriginal;
           });
}

std::string originalsFolderName(const std::string& root, long long time) {
    return withoutSlash(root) + ".zu-originals-" + timeText(time, "%Y%m%d-%H%M%S");
}

SiteConversion convertSite(const std::string& rootPath, const std::vector<SitePage>& pages,
                           const ConvertOptions& options, const Progress& progress,
                           unsigned writers) {
    SiteConversion result;
    const std::string root = withoutSlash(absolutePath(rootPath));
    std::vector<const SitePage*> work;
    for (const SitePage& page : pages) {
        if (page.plan.convertible())
            work.push_back(&page);
        else if (!page.plan.stop.empty())
            result.pages.push_back(
                {page.relative, PageOutcome::Kind::Failed, page.plan.stop, page.plan});
    }
    if (work.empty()) {
        result.error = "変換するﾌｧｲﾙがありません。";
        return result;
    }
    if (root == "/") {
        result.error = "ﾙｰﾄ ﾌｫﾙﾀﾞの横には元のﾌｧｲﾙを置けません。";
        return result;
    }
    const long long now = static_cast<long long>(std::time(nullptr));
    std::string folder = originalsFolderName(root, now);
    for (int attempt = 2; ::mkdir(folder.c_str(), 0700) != 0; ++attempt) {
        if (errno != EEXIST || attempt > 100) {
            result.error = fileErrorMessage(errno, FileOp::Save, folder);
            return result;
        }
        folder = originalsFolderName(root, now) + "-" + std::to_string(attempt);
    }
    result.originals = folder;
    const std::string files = folder + "/files";
    std::vector<ListEntry> entries;
    for (const SitePage* page : work)
        entries.push_back({page->plan.sourceHash, page->plan.resultHash, page->relative});
    // Written before any page is, so that the undo knows every page a crash
    // may have left converted.
    if (::mkdir(files.c_str(), 0700) != 0) {
        result.error = fileErrorMessage(errno, FileOp::Save, files);
        return result;
    }
    if (const WriteResult written =
            writeFileAtomically(joined(folder, std::string(kListName)), listText(root, entries));
        !written) {
        result.error = saveError(written);
        return result;
    }

    std::vector<PageOutcome> done(work.size());
    for (std::size_t k = 0; k < work.size(); ++k)
        done[k] = {work[k]->relative, PageOutcome::Kind::NotBegun, {}, work[k]->plan};
    result.cancelled = !forEachOnThreads(
        work.size(), [&](std::size_t k) { done[k] = convertOne(root, files, *work[k], options); },
        progress, writers);
    std::ranges::move(done, std::back_inserter(result.pages));
    std::ranges::sort(result.pages, {}, &PageOutcome::relative);

    const std::string report =
        conversionReport(root, result, options, timeText(now, "%Y-%m-%d %H:%M:%S"));
    if (const WriteResult written = writeFileAtomically(folder + "/report.html", report); !written)
        result.error = saveError(written);
    return result;
}

std::vector<std::string> conversionsOf(const std::string& rootPath) {
    const std::string root = withoutSlash(absolutePath(rootPath));
    const std::string prefix = baseName(root) + ".zu-originals-";
    std::vector<std::string> found;
    for (const std::string& name : namesIn(parentOf(root)))
        if (name.starts_with(prefix) &&
            kindOf(joined(joined(parentOf(root), name), std::string(kListName))) ==
                PathKind::RegularFile)
            found.push_back(joined(parentOf(root), name));
    // The names hold the time, so the newest sorts last.
    std::ranges::sort(found, std::greater<>());
    return found;
}

SiteUndo undoConversion(const std::string& originalsPath) {
    SiteUndo undo;
    const std::string originals = withoutSlash(absolutePath(originalsPath));
    const FileBytes list = readWholeFile(joined(originals, std::string(kListName)), 64u << 20);
    std::vector<ListEntry> entries;
    if (list.error != 0 || !parseList(list.bytes, undo.root, entries)) {
        undo.error = originals + " には zu の変換の記録がありません。";
        return undo;
    }
    undo.pages.resize(entries.size());
    const auto restore = [&](std::size_t k) {
        const ListEntry& e = entries[k];
        UndoOutcome& out = undo.pages[k];
        out = {e.relative, UndoOutcome::Kind::Failed, {}};
        const std::string path = joined(undo.root, e.relative);
        if (!insideWithoutLinks(undo.root, e.relative)) {
            out.message = "ｼﾝﾎﾞﾘｯｸ ﾘﾝｸを通る場所になっているか、ﾌｧｲﾙがありません。";
            return;
        }
        const FileBytes now = readWholeFile(path, kMaxDocumentBytes);
        if (now.error != 0) {
            out.message = fileErrorMessage(now.error, FileOp::Open, path);
            return;
        }
        const std::uint64_t hash = contentHash(now.bytes);
        if (hash == e.source) {
            out.kind = UndoOutcome::Kind::AlreadyOriginal;
            return;
        }
        if (hash != e.result) {
            out.kind = UndoOutcome::Kind::ChangedSince;
            out.message = "変換の後で変更されているので戻しません。";
            return;
        }
        const std::string copy = joined(originals + "/files", e.relative);
        const FileBytes kept = readWholeFile(copy, kMaxDocumentBytes);
        if (kept.error != 0 || contentHash(kept.bytes) != e.source) {
            out.message = "元のﾌｧｲﾙの写し " + copy + " が記録と違います。";
            return;
        }
        if (const WriteResult written = writeFileAtomically(path, kept.bytes); !written) {
            out.message = saveError(written);
            return;
        }
        out.kind = UndoOutcome::Kind::Restored;
    };
    forEachOnThreads(entries.size(), restore, {}, kWriters);
    return undo;
}

std::string conversionReport(const std::string& root, const SiteConversion& conversion,
                             const ConvertOptions& options, const std::string& when) {
    std::string r = "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"UTF-8\">\n"
                    "<title>UTF-8 への変換の記録: " +
                    html(baseName(root)) +
                    "</title>\n<style>table{border-collapse:collapse}th,td{border:1px solid "
                    "#999;padding:2px 6px;text-align:left;vertical-align:top}</style>\n"
                    "</head>\n<body>\n<h1>UTF-8 への変換の記録</h1>\n<p>ﾌｫﾙﾀﾞ: " +
                    html(root) + "<br>\n日時: " + html(when) +
                    "<br>\nBOM: " + (options.byteOrderMark ? "付ける" : "付けない") +
                    " (もとから UTF-8 のﾌｧｲﾙはそのまま)</p>\n<p>EUC-JP と ISO-2022-JP の"
                    "ﾍﾟｰｼﾞで JIS と Web で形の違う 6 文字は、" +
                    (options.six == SixForms::Web
                         ? std::string("ﾌﾞﾗｳｻﾞが表示していた Web の標準の形 (～ ∥ － ￠ ￡ "
                                       "￢) で書きました。")
                         : std::string("glibc の JIS の形 (〜 ‖ − ¢ £ ¬) で書きました。")) +
                    "</p>\n";
    if (conversion.cancelled)
        r += "<p><strong>途中で中止しました。</strong>変換したのは下の表のﾌｧｲﾙだけで、"
             "ほかのﾌｧｲﾙは元のままです。</p>\n";
    const std::string site = "../" + address(baseName(root)) + "/";
    std::string converted, failed, notBegun;
    std::size_t convertedCount = 0, failedCount = 0, notBegunCount = 0;
    for (const PageOutcome& page : conversion.pages) {
        const std::string name = html(page.relative);
        if (page.kind == PageOutcome::Kind::Converted) {
            ++convertedCount;
            converted += "<tr><td>" + name + "</td><td><a href=\"files/" + address(page.relative) +
                         "\">元</a></td><td><a href=\"" + site + address(page.relative) +
                         "\">変換後</a></td><td>";
            for (const std::string& change : page.plan.changes)
                converted += html(change) + "<br>";
            for (const std::string& note : page.plan.notes)
                converted += "注意: " + html(note) + "<br>";
            converted += "</td></tr>\n";
        } else if (page.kind == PageOutcome::Kind::Failed) {
            ++failedCount;
            failed += "<tr><td>" + name + "</td><td>" + html(page.message) + "</td></tr>\n";
        } else {
            ++notBegunCount;
            notBegun += "<li>" + name + "</li>\n";
        }
    }
    r += "<h2>変換したﾌｧｲﾙ (" + std::to_string(convertedCount) +
         ")</h2>\n<table>\n<tr><th>ﾌｧｲﾙ</th><th>元のﾌｧｲﾙ</th><th>変換後</th><th>変わったこと"
         "</th></tr>\n" +
         converted + "</table>\n";
    if (failedCount > 0)
        r += "<h2>変換しなかったﾌｧｲﾙ (" + std::to_string(failedCount) +
             ")</h2>\n<table>\n<tr><th>ﾌｧｲﾙ</th><th>理由</th></tr>\n" + failed + "</table>\n";
    if (notBegunCount > 0)
        r += "<h2>中止したので変換していないﾌｧｲﾙ (" + std::to_string(notBegunCount) +
             ")</h2>\n<ul>\n" + notBegun + "</ul>\n";
    r += "<h2>元に戻すには</h2>\n<p>zu の ｱｼｽﾀﾝﾄ &gt; ﾌｫﾙﾀﾞを UTF-8 に変換 で同じﾌｫﾙﾀﾞを選んで"
         "「元に戻す」を押すか、次のｺﾏﾝﾄﾞを実行します。変換の後で変更したﾌｧｲﾙは戻しません。"
         "</p>\n<pre>zu --convert-undo " +
         html(shellWord(conversion.originals)) + "</pre>\n</body>\n</html>\n";
    return r;
}

} // namespace zu::convert
