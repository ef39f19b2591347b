#include "core/convert/convert_run.h"

#include "core/convert/site_conversion.h"
#include "core/doc/file_read.h"

namespace zu::convert {
namespace {

const std::vector<std::string> kExtensions(std::begin(kPageExtensions), std::end(kPageExtensions));

std::string joinedPhrases(const std::vector<std::string>& phrases) {
    std::string text;
    for (const std::string& p : phrases)
        text += (text.empty() ? "" : "; ") + p;
    return text;
}

std::string under(const std::string& folder, const std::string& relative) {
    return folder.ends_with('/') ? folder + relative : folder + "/" + relative;
}

} // namespace

std::string listingLine(const std::string& path, const PagePlan& plan) {
    if (!plan.stop.empty())
        return path + ": 変換できません: " + plan.stop;
    if (!plan.needed)
        return path + ": 変更なし";
    return path + ": 変換します: " + joinedPhrases(plan.changes);
}

int runConvert(const ConvertRequest& request, std::ostream& out, std::ostream& errors) {
    int status = kAllConverted;
    const auto worsen = [&status](int to) { status = std::max(status, to); };
    for (const std::string& path : request.paths) {
        // A file named alone is a site of one page in its folder.
        std::string root = path;
        SiteList list;
        if (kindOf(path) == PathKind::Folder) {
            list = listSite(path, kExtensions, request.options);
        } else {
            const std::size_t slash = path.rfind('/');
            root =
                slash == std::string::npos ? "." : path.substr(0, std::max<std::size_t>(slash, 1));
            list.pages.push_back(listFile(path, request.options));
            if (kindOf(path) == PathKind::Missing) {
                errors << list.pages[0].plan.stop << '\n';
                worsen(kCannotConvert);
                continue;
            }
        }
        if (!list.error.empty()) {
            errors << list.error << '\n';
            worsen(kCannotConvert);
            continue;
        }
        const bool alone = root != path;
        const auto shown = [&](const SitePage& p) {
            return alone ? path : under(path, p.relative);
        };
        for (const SitePage& page : list.pages) {
            out << listingLine(shown(page), page.plan) << '\n';
            for (const std::string& note : page.plan.notes)
                out << shown(page) << ": 注意: " << note << '\n';
            if (!page.plan.stop.empty())
                worsen(kSomeStopped);
        }
        if (!request.apply)
            continue;
        const SiteConversion done = convertSite(root, list.pages, request.options);
        if (done.originals.empty()) {
            if (done.converted() == 0 && done.error == "変換するﾌｧｲﾙがありません。")
                continue;
            errors << done.error << '\n';
            worsen(kCannotConvert);
            continue;
        }
        for (const PageOutcome& page : done.pages)
            if (page.kind == PageOutcome::Kind::Failed && page.message != page.plan.stop) {
                out << (alone ? path : under(path, page.relative))
                    << ": 変換できません: " << page.message << '\n';
                worsen(kSomeStopped);
            }
        if (!done.error.empty()) {
            errors << done.error << '\n';
            worsen(kCannotConvert);
        }
        out << done.converted() << " 個のﾌｧｲﾙを変換しました。元のﾌｧｲﾙと記録: " << done.originals
            << "/report.html\n";
    }
    out.flush();
    return status;
}

int runUndo(const std::string& originals, std::ostream& out, std::ostream& errors) {
    const SiteUndo undo = undoConversion(originals);
    if (!undo.error.empty()) {
        errors << undo.error << '\n';
        return kCannotConvert;
    }
    std::size_t restored = 0;
    for (const UndoOutcome& page : undo.pages) {
        if (page.kind == UndoOutcome::Kind::Restored)
            ++restored;
        else if (page.kind != UndoOutcome::Kind::AlreadyOriginal)
            out << under(undo.root, page.relative) << ": 戻しません: " << page.message << '\n';
    }
    out << restored << " 個のﾌｧｲﾙを元に戻しました。\n";
    out.flush();
    return undo.complete() ? kAllConverted : kSomeStopped;
}

} // namespace zu::convert
