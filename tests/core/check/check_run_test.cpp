#include "core/check/check_run.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace zu::check {
namespace {

TEST(CheckRun, PrintsEveryFindingAndEndsAsTheWorstFileSays) {
    const testing::ScratchFolder scratch;
    const auto write = [&](const char* name, std::string_view bytes) {
        std::ofstream(scratch.file(name), std::ios::binary) << bytes;
        return scratch.file(name);
    };
    const std::string clean = write(
        "clean.htm", "<html lang=ja><head><meta charset=\"Shift_JIS\"><title>\x94\x4c</title>");
    // ① in Shift_JIS, read as zu opens the file.
    const std::string likely = write("likely.htm", "<p>\r\n\x87\x40</p>");
    // UTF-8 bytes under a Shift_JIS label.
    const std::string faulty = write(
        "faulty.htm", "<html lang=ja><meta charset=\"Shift_JIS\"><title>\xE7\x8C\xAB</title>");
    const std::string missing = scratch.file("missing.htm");

    const std::string likelyLine = likely +
                                   ":2:1: 問題の可能性大: 機種依存文字「①」は環境によって"
                                   "正しく表示されないことがあります。「(1)」にできます。\n";
    const std::string faultyLine = faulty + ":1:30: 問題あり: 文字コードの宣言 (Shift_JIS) が"
                                            "ファイルの文字コード (UTF-8) と違います。\n";
    const struct {
        std::vector<std::string> files;
        int status;
        std::string out, errors;
    } runs[] = {
        {{clean}, 0, "", ""},
        {{clean, likely}, 0, likelyLine, ""},
        {{faulty, likely}, 1, faultyLine + likelyLine, ""},
        {{missing, faulty, clean}, 2, faultyLine, missing + " が見つかりません。\n"},
    };
    for (const auto& run : runs) {
        std::ostringstream out, errors;
        EXPECT_EQ(runCheck(run.files, out, errors), run.status) << run.files[0];
        EXPECT_EQ(out.str(), run.out);
        EXPECT_EQ(errors.str(), run.errors);
    }
}

} // namespace
} // namespace zu::check
