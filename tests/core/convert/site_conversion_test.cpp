#include "core/convert/convert_run.h"
#include "core/convert/site_conversion.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zu::convert {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A small site: a page in each encoding, declared and not, one mislabelled,
// one with a byte its encoding lacks, the six characters, a text file, and
// links to a page outside the site.
struct Site {
    testing::ScratchFolder scratch;
    fs::path root = scratch.path() / "site";
    std::map<std::string, std::string> originals{
        {"index.htm", "<html>\r\n<head>\r\n<meta charset=\"x-sjis\">\r\n</head>\r\n\x93\xFA\r\n"},
        {"sub/euc.html", "<html><head></head>\xA1\xC1\xC6\xFC\n"},
        {"sub/jis.htm", "<meta charset=\"csISO2022JP\">\x1B$B%3\x1B(B"},
        {"utf8.htm", "<meta charset=\"utf-8\">\xE6\x97\xA5"},
        {"wrong.htm", "<meta charset=\"EUC-JP\">\x93\xFA\x96\x7B\x82\xA0\x82\xA2"},
        {"broken.htm", "<meta charset=\"EUC-JP\">\xC6\xFC\xFF"},
        {"notes.txt", "\x93\xFA"},
        {"image.png", "\x89PNG"},
    };

    Site() {
        fs::create_directories(root / "sub");
        for (const auto& [name, bytes] : originals)
            std::ofstream(root / name, std::ios::binary) << bytes;
        std::ofstream(scratch.path() / "outside.htm") << "<p>x";
        fs::create_directory_symlink(scratch.path(), root / "up");
        fs::create_symlink(scratch.path() / "outside.htm", root / "out.htm");
    }
    std::vector<std::string> extensions() const { return {".htm", ".html", ".txt"}; }
    fs::path originalsFolder() const {
        for (const auto& entry : fs::directory_iterator(scratch.path()))
            if (entry.path().filename().string().starts_with("site.zu-originals-"))
                return entry.path();
        return {};
    }
};

const std::string kListing =
    "broken.htm: 変換できません: EUC-JP として読めないﾊﾞｲﾄが 1 個あります (最初は 1 行目)。\n"
    "index.htm: 変換します: Shift_JIS → UTF-8; 宣言 x-sjis → UTF-8\n"
    "notes.txt: 変換します: Shift_JIS → UTF-8\n"
    "out.htm: 変換できません: ﾌｫﾙﾀﾞの外を指すｼﾝﾎﾞﾘｯｸ ﾘﾝｸなので変換しません。\n"
    "sub/euc.html: 変換します: EUC-JP → UTF-8; <meta charset=\"UTF-8\"> を追加; JIS と Web で"
    "形の違う文字 1 個を Web の形 (～∥－￠￡￢) に\n"
    "sub/jis.htm: 変換します: ISO-2022-JP → UTF-8; 宣言 csISO2022JP → UTF-8\n"
    "up/: 変換できません: ﾌｫﾙﾀﾞの外を指すｼﾝﾎﾞﾘｯｸ ﾘﾝｸなのでたどりません。\n"
    "utf8.htm: 変更なし\n"
    "wrong.htm: 変換できません: 宣言 (EUC-JP) が中身の文字ｺｰﾄﾞ (Shift_JIS) と違います。\n";

std::string listing(const SiteList& list) {
    std::string out;
    for (const SitePage& page : list.pages)
        out += listingLine(page.relative, page.plan) + "\n";
    return out;
}

TEST(SiteConversion, ListsConvertsReportsAndUndoes) {
    const Site site;
    const SiteList list = listSite(site.root.string(), site.extensions(), {});
    EXPECT_EQ(listing(list), kListing);

    const SiteConversion done = convertSite(site.root.string(), list.pages, {});
    EXPECT_EQ(done.error, "");
    EXPECT_EQ(done.converted(), 4u);
    EXPECT_EQ(fs::path(done.originals), site.originalsFolder());
    const std::map<std::string, std::string> converted{
        {"index.htm",
         "<html>\r\n<head>\r\n<meta charset=\"UTF-8\">\r\n</head>\r\n\xE6\x97\xA5\r\n"},
        {"sub/euc.html", "<html><head><meta charset=\"UTF-8\"></head>\xEF\xBD\x9E\xE6\x97\xA5\n"},
        {"sub/jis.htm", "<meta charset=\"UTF-8\">\xE3\x82\xB3"},
        {"notes.txt", "\xE6\x97\xA5"},
    };
    for (const auto& [name, bytes] : site.originals) {
        const auto it = converted.find(name);
        EXPECT_EQ(contentOf(site.root / name), it == converted.end() ? bytes : it->second) << name;
        if (it != converted.end()) {
            EXPECT_EQ(contentOf(site.originalsFolder() / "files" / name), bytes) << name;
        }
    }
    EXPECT_EQ(contentOf(site.scratch.path() / "outside.htm"), "<p>x");

    const std::string report = contentOf(site.originalsFolder() / "report.html");
    for (const char* part :
         {"<td>sub/euc.html</td><td><a href=\"files/sub/euc.html\">元</a></td><td><a "
          "href=\"../site/sub/euc.html\">変換後</a></td><td>EUC-JP → UTF-8<br>",
          "Web の標準の形 (～ ∥ － ￠ ￡ ￢) で書きました",
          "<tr><td>wrong.htm</td><td>宣言 (EUC-JP) が中身の文字ｺｰﾄﾞ (Shift_JIS) と違います。",
          "<h2>変換したﾌｧｲﾙ (4)</h2>", "zu --convert-undo '"})
        EXPECT_NE(report.find(part), std::string::npos) << part;
    EXPECT_EQ(report.find("中止"), std::string::npos);

    // A page edited after the conversion is not written over by the undo.
    std::ofstream(site.root / "notes.txt", std::ios::binary) << "edited";
    EXPECT_EQ(conversionsOf(site.root.string()),
              std::vector<std::string>{site.originalsFolder().string()});
    const SiteUndo undo = undoConversion(site.originalsFolder().string());
    EXPECT_FALSE(undo.complete());
    for (const auto& [name, bytes] : site.originals)
        EXPECT_EQ(contentOf(site.root / name), name == "notes.txt" ? "edited" : bytes) << name;
    ASSERT_EQ(undo.pages.size(), 4u);
    EXPECT_EQ(undo.pages[1].relative, "notes.txt");
    EXPECT_EQ(undo.pages[1].kind, UndoOutcome::Kind::ChangedSince);
}

TEST(SiteConversion, ACancelledRunConvertsWholeFilesOnlyAndSaysWhich) {
    const Site site;
    const SiteList list = listSite(site.root.string(), site.extensions(), {});
    // Stopped as soon as the first page is done, by one writer: the page it
    // may have begun meanwhile is finished, the others are never begun.
    const SiteConversion done = convertSite(
        site.root.string(), list.pages, {},
        [](std::size_t finished, std::size_t) { return finished == 0; }, 1);
    EXPECT_TRUE(done.cancelled);
    EXPECT_GE(done.converted(), 1u);
    EXPECT_LT(done.converted(), 4u);
    const std::string report = contentOf(site.originalsFolder() / "report.html");
    EXPECT_NE(report.find("<strong>途中で中止しました。</strong>"), std::string::npos);
    EXPECT_NE(report.find("中止したので変換していないﾌｧｲﾙ"), std::string::npos);
    // Each page is its original or converted whole, and the undo gives every
    // original back.
    EXPECT_TRUE(undoConversion(site.originalsFolder().string()).complete());
    for (const auto& [name, bytes] : site.originals)
        EXPECT_EQ(contentOf(site.root / name), bytes) << name;
}

TEST(SiteConversion, CommandLineListsAppliesAndTellsByItsStatus) {
    const Site site;
    const std::string root = site.root.string();
    const struct {
        std::vector<std::string> paths;
        bool apply;
        int status;
        std::string firstLine;
    } runs[] = {
        {{root + "/index.htm"},
         false,
         kAllConverted,
         root + "/index.htm: 変換します: Shift_JIS → UTF-8; 宣言 x-sjis → UTF-8"},
        {{root + "/wrong.htm"},
         true,
         kSomeStopped,
         root +
             "/wrong.htm: 変換できません: 宣言 (EUC-JP) が中身の文字ｺｰﾄﾞ (Shift_JIS) と違います。"},
        {{root + "/missing.htm"}, false, kCannotConvert, ""},
        {{root + "/index.htm"},
         true,
         kAllConverted,
         root + "/index.htm: 変換します: Shift_JIS → UTF-8; 宣言 x-sjis → UTF-8"},
        {{root + "/index.htm"}, false, kAllConverted, root + "/index.htm: 変更なし"},
    };
    for (const auto& run : runs) {
        std::ostringstream out, errors;
        EXPECT_EQ(runConvert({run.paths, run.apply, {}}, out, errors), run.status) << run.paths[0];
        EXPECT_EQ(out.str().substr(0, out.str().find('\n')), run.firstLine);
    }
    std::ostringstream out, errors;
    EXPECT_EQ(runUndo(site.originalsFolder().string(), out, errors), kAllConverted);
    EXPECT_EQ(out.str(), "1 個のﾌｧｲﾙを元に戻しました。\n");
    EXPECT_EQ(contentOf(site.root / "index.htm"), site.originals.at("index.htm"));
}

} // namespace
} // namespace zu::convert
