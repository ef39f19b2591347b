// A site of 1,000 Shift_JIS pages of 50 KB (50 MB) moved to UTF-8: the list
// made before anything is written, and the conversion (copies of the
// originals, the pages written through the one atomic writer, the report),
// each against glibc's iconv converting the same bytes in the same run:
// in memory alone, and reading and writing each file as `iconv -f CP932 -t
// UTF-8 page > new` does (without the flush to disk the conversion makes).
//
//     zu_bench_convert [--pages N] [--kb K] [--folder DIR]
//
// The site is made in DIR (by default the temporary folder) and removed.

#include "core/convert/site_conversion.h"

#include <iconv.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string iconvConvert(iconv_t cd, const std::string& in) {
    std::string out(in.size() * 2 + 16, '\0');
    char* from = const_cast<char*>(in.data());
    std::size_t fromLeft = in.size();
    char* to = out.data();
    std::size_t toLeft = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &from, &fromLeft, &to, &toLeft) == static_cast<std::size_t>(-1)) {
        std::fprintf(stderr, "iconv: %s\n", std::strerror(errno));
        std::exit(1);
    }
    out.resize(out.size() - toLeft);
    return out;
}

// A page as hand-written sites have them: a head that declares x-sjis, then
// paragraphs of Japanese with some markup, in CR LF lines.
std::string makePage(iconv_t toSjis, std::size_t bytes, int number) {
    const std::string head = "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" "
                             "content=\"text/html; charset=x-sjis\">\r\n<title>ページ " +
                             std::to_string(number) + "</title>\r\n</head>\r\n<body>\r\n";
    const std::string paragraph =
        "<p>今日は朝から雨が降っていたので、図書館で本を読みました。"
        "<a href=\"diary.htm\">日記</a>の続きは、また明日書きます。</p>\r\n";
    const std::string sjisParagraph = iconvConvert(toSjis, paragraph);
    std::string page = iconvConvert(toSjis, head);
    while (page.size() < bytes)
        page += sjisParagraph;
    return page + "</body>\r\n</html>\r\n";
}

} // namespace

int main(int argc, char** argv) {
    std::size_t pages = 1000, kb = 50;
    fs::path base = fs::temp_directory_path();
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--pages") == 0)
            pages = std::strtoul(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--kb") == 0)
            kb = std::strtoul(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--folder") == 0)
            base = argv[i + 1];
    }
    iconv_t toSjis = iconv_open("CP932", "UTF-8");
    iconv_t toUtf8 = iconv_open("UTF-8", "CP932");
    const fs::path scratch = base / ("zu-bench-convert-" + std::to_string(::getpid()));
    const fs::path site = scratch / "site";
    const fs::path plain = scratch / "iconv";
    fs::create_directories(site);
    fs::create_directories(plain);
    std::size_t total = 0;
    for (std::size_t k = 0; k < pages; ++k) {
        const std::string page = makePage(toSjis, kb * 1000, static_cast<int>(k));
        total += page.size();
        std::ofstream(site / ("page" + std::to_string(k) + ".htm"), std::ios::binary) << page;
    }
    std::printf("%zu pages, %.1f MB of Shift_JIS\n", pages, total / 1e6);

    // iconv on the same bytes: in memory, then file to file.
    std::vector<std::string> bytes;
    for (std::size_t k = 0; k < pages; ++k) {
        std::ifstream in(site / ("page" + std::to_string(k) + ".htm"), std::ios::binary);
        bytes.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    auto start = Clock::now();
    std::size_t converted = 0;
    for (const std::string& page : bytes)
        converted += iconvConvert(toUtf8, page).size();
    const double iconvMemory = secondsSince(start);
    start = Clock::now();
    for (std::size_t k = 0; k < pages; ++k) {
        const std::string name = "page" + std::to_string(k) + ".htm";
        std::ifstream in(site / name, std::ios::binary);
        const std::string page{std::istreambuf_iterator<char>(in), {}};
        std::ofstream(plain / name, std::ios::binary) << iconvConvert(toUtf8, page);
    }
    const double iconvFiles = secondsSince(start);

    start = Clock::now();
    const zu::convert::SiteList list = zu::convert::listSite(site.string(), {".htm"}, {});
    const double listing = secondsSince(start);
    std::size_t convertible = 0;
    for (const auto& page : list.pages)
        convertible += page.plan.convertible();
    start = Clock::now();
    const zu::convert::SiteConversion done =
        zu::convert::convertSite(site.string(), list.pages, {});
    const double conversion = secondsSince(start);
    if (convertible != pages || done.converted() != pages || !done.error.empty()) {
        std::fprintf(stderr, "only %zu of %zu listed and %zu converted: %s\n", convertible, pages,
                     done.converted(), done.error.c_str());
        return 1;
    }

    std::printf("%-44s %8s %10s\n", "", "seconds", "x iconv");
    std::printf("%-44s %8.3f\n", "iconv, in memory", iconvMemory);
    std::printf("%-44s %8.3f\n", "iconv, file to file (no flush)", iconvFiles);
    std::printf("%-44s %8.3f %10.1f   (target < 2 s)\n", "zu: list (read, detect, plan)", listing,
                listing / iconvFiles);
    std::printf("%-44s %8.3f %10.1f   (target < 10 s)\n",
                "zu: convert (copies, atomic writes, report)", conversion, conversion / iconvFiles);
    std::printf("(%zu bytes of UTF-8 from iconv)\n", converted);
    // The originals' folder is beside the site, inside the scratch folder.
    fs::remove_all(scratch);
    iconv_close(toSjis);
    iconv_close(toUtf8);
    return 0;
}
