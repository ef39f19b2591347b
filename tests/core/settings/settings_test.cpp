#include "core/settings/settings.h"

#include "core/text/cp932.h"
#include "core/text/utf.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>

#include <climits>
#include <functional>
#include <iconv.h>
#include <memory>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace zu {

// Failures print the record as its file, which shows every value at once.
void PrintTo(const Settings& record, std::ostream* out) {
    *out << ::testing::PrintToString(record.serialize());
}
void PrintTo(const Settings::Directory& parts, std::ostream* out) {
    *out << "{drive " << ::testing::PrintToString(parts.drive) << ", directory "
         << ::testing::PrintToString(parts.directory) << "}";
}

namespace {

using testing::readFile;
using testing::ScopedEnv;
using testing::ScratchFolder;
using testing::writeFile;

// UTF-8 to CP932 by glibc, the reference the code page is checked against.
std::string iconvCp932(const std::string& utf8) {
    iconv_t cd = ::iconv_open("CP932", "UTF-8");
    std::string in = utf8, out(utf8.size() * 2, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const std::size_t result = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    ::iconv_close(cd);
    EXPECT_NE(result, static_cast<std::size_t>(-1)) << utf8;
    out.resize(out.size() - outLeft);
    return out;
}

std::string repeat(std::string_view piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

// A record in which every field differs from its default, with negative
// integers and empty texts: a line read into the wrong field, or not read at
// all, shows.
Settings changedRecord() {
    Settings r;
    r.tagColor = 0;
    r.linkWithDirectory = 1;
    r.linkWithAnchor = 0;
    r.reserved = -7;
    r.mailAddress = "";
    r.tableColumns = -1;
    r.tableRows = 12;
    r.fontFace = "ＭＳ 明朝";
    r.fontSize = -3;
    r.fontColor = "";
    r.entityMnemonic = 0;
    r.pageTitle = "表の見出し";
    r.bodyOptions = "";
    r.calendarYear = -2000;
    r.calendarMonth = 12;
    r.calendarColumns = 0;
    r.calendarWidth = 65535;
    return r;
}

std::vector<std::string> changedLines() {
    return {"0",    "1",     "0",  "-7",
            "",     "-1",    "12", iconvCp932("ＭＳ 明朝"),
            "-3",   "",      "0",  iconvCp932("表の見出し"),
            "",     "-2000", "12", "0",
            "65535"};
}

// Every integer at an end of its range and every text full to the byte.
Settings fullRecord() {
    Settings r;
    r.tagColor = INT_MIN;
    r.linkWithDirectory = INT_MAX;
    r.linkWithAnchor = INT_MIN;
    r.reserved = INT_MAX;
    r.mailAddress = repeat("m", 127);
    r.tableColumns = INT_MIN;
    r.tableRows = INT_MAX;
    r.fontFace = "a" + repeat("あ", 31);
    r.fontSize = INT_MIN;
    r.fontColor = "#ffffff";
    r.entityMnemonic = INT_MAX;
    r.pageTitle = repeat("表", 62) + "\uF7FF" + "x" + "\uF780"; // raw bytes 0xFF and 0x80
    r.bodyOptions = repeat("BGCOLOR=#ffffff ", 7) + repeat("=", 15);
    r.calendarYear = INT_MIN;
    r.calendarMonth = INT_MAX;
    r.calendarColumns = INT_MIN;
    r.calendarWidth = INT_MAX;
    return r;
}

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

class SettingsFileTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    ScopedEnv configDir{"ZU_CONFIG_DIR", folder.path().string()};
    std::filesystem::path file() const { return folder.path() / "zu.set"; }
};

TEST(SettingsFormat, DefaultFileIsExact) {
    const std::string fontFace = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";
    ASSERT_EQ(fontFace, iconvCp932("ＭＳ Ｐゴシック"));
    const std::string expected = "2\r\n0\r\n1\r\n1\r\nwebmaster@example.com\r\n4\r\n3\r\n" +
                                 fontFace +
                                 "\r\n3\r\n#000000\r\n1\r\ntitle\r\n"
                                 "BGCOLOR=#ffffff LINK=#ff0000 VLINK=#0000ff ALINK=#000000\r\n"
                                 "1998\r\n1\r\n1\r\n400\r\n";
    EXPECT_EQ(Settings().serialize(), expected);
}

TEST(SettingsFormat, NegativeIntegersAndEmptyTextsAreWrittenPlainly) {
    EXPECT_EQ(changedRecord().serialize(), joinLines(changedLines()));
}

TEST(SettingsFormat, TextsTooLongForTheirFieldAreWrittenCut) {
    Settings r;
    r.mailAddress = repeat("x", 200);
    r.fontColor = "#00000000";
    const std::string file = r.serialize();
    EXPECT_NE(file.find("\r\n" + repeat("x", 127) + "\r\n"), std::string::npos);
    EXPECT_EQ(file.find(repeat("x", 128)), std::string::npos);
    EXPECT_NE(file.find("\r\n#000000\r\n"), std::string::npos);
}

struct RecordCase {
    const char* name;
    std::function<Settings()> make;
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.name;
}

class WriteThenRead : public SettingsFileTest, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(WriteThenRead, ThroughTheFileGivesEveryValueBack) {
    const Settings written = GetParam().make();
    written.Save();
    Settings read;
    read.Load();
    EXPECT_EQ(read, written);

    Settings parsed;
    parsed.parse(written.serialize());
    EXPECT_EQ(parsed, written);
}

INSTANTIATE_TEST_SUITE_P(Records, WriteThenRead,
                         ::testing::Values(RecordCase{"Changed", changedRecord},
                                           RecordCase{"Full", fullRecord},
                                           RecordCase{"Defaults", [] { return Settings(); }}),
                         [](const auto& info) { return std::string(info.param.name); });

struct IntegerCase {
    const char* line;
    int value;
};

// Tests are listed under their case name, not a dump of the case's bytes.
void PrintTo(const IntegerCase& c, std::ostream* os) {
    // Blanks and control characters as "_", so that the name stays one word.
    *os << "line_";
    for (const char* p = c.line; *p; ++p)
        *os << (std::isalnum(static_cast<unsigned char>(*p)) || *p == '+' || *p == '-' ? *p : '_');
}

class IntegerLine : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerLine, ReadsBlanksSignAndDigitsAndWrapsAt32Bits) {
    const IntegerCase& c = GetParam();
    EXPECT_EQ(parseSettingsInteger(c.line), c.value) << '"' << c.line << '"';

    // The same text as line 1 of a file.
    Settings record;
    record.parse(std::string(c.line) + "\r\n");
    EXPECT_EQ(record.tagColor, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntegerLine,
    ::testing::Values(IntegerCase{"", 0}, IntegerCase{"abc", 0}, IntegerCase{"12abc", 12},
                      IntegerCase{"   42", 42}, IntegerCase{"\t7", 7}, IntegerCase{" \v\f\n9", 9},
                      IntegerCase{"+5", 5}, IntegerCase{"-0", 0}, IntegerCase{"-15", -15},
                      IntegerCase{"007", 7}, IntegerCase{"12 34", 12}, IntegerCase{"- 5", 0},
                      IntegerCase{"+-5", 0}, IntegerCase{"0x10", 0}, IntegerCase{"5-", 5},
                      IntegerCase{"2147483647", INT_MAX}, IntegerCase{"-2147483648", INT_MIN},
                      IntegerCase{"2147483648", INT_MIN}, IntegerCase{"-2147483649", INT_MAX},
                      IntegerCase{"4294967297", 1}, IntegerCase{"99999999999", 1215752191}));

// A file made of the changed record's lines with one line replaced.
std::string changedFileWithLine(std::size_t index, const std::string& value) {
    std::vector<std::string> lines = changedLines();
    lines[index] = value;
    return joinLines(lines);
}

struct OverlongCase {
    const char* name;
    std::size_t line; // 0-based
    std::string value;
    std::function<void(Settings&)> expect;
};

// Tests are listed under their case name, not a dump of the case's bytes.
void PrintTo(const OverlongCase& c, std::ostream* os) {
    *os << c.name;
}

class OverlongLine : public ::testing::TestWithParam<OverlongCase> {};

TEST_P(OverlongLine, IsCutAndTheLinesAfterItStillRead) {
    const OverlongCase& c = GetParam();
    Settings expected = changedRecord();
    c.expect(expected);

    Settings read;
    read.parse(changedFileWithLine(c.line, c.value));
    EXPECT_EQ(read, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OverlongLine,
    ::testing::Values(OverlongCase{"TextLineOf300Bytes", 4, repeat("a", 300),
                                   [](Settings& r) { r.mailAddress = repeat("a", 127); }},
                      // Only the first 255 bytes of a line are a value: the digits after
                      // them would change the wrapped number.
                      OverlongCase{"IntegerLineOf300Bytes", 0,
                                   repeat("0", 254) + "7" + repeat("9", 45),
                                   [](Settings& r) { r.tagColor = 7; }},
                      OverlongCase{"CutExactlyAtWidthLessOne", 7, "a" + repeat("\x82\xA0", 40),
                                   [](Settings& r) { r.fontFace = "a" + repeat("あ", 31); }},
                      OverlongCase{"CutBeforeADoubleByteCharacterThatWouldNotFit", 7,
                                   repeat("\x82\xA0", 40),
                                   [](Settings& r) { r.fontFace = repeat("あ", 31); }},
                      OverlongCase{"ShortFieldCutBeforeDoubleByte", 9, "abcdef\x95\x5C",
                                   [](Settings& r) { r.fontColor = "abcdef"; }},
                      OverlongCase{"ShortFieldFullToTheByte", 9, "abc\x95\x5C\x95\x5C",
                                   [](Settings& r) { r.fontColor = "abc表表"; }},
                      OverlongCase{"TextEndsAtNul", 11, std::string("ab\0cd", 5),
                                   [](Settings& r) { r.pageTitle = "ab"; }}),
    [](const ::testing::TestParamInfo<OverlongCase>& info) {
        return std::string(info.param.name);
    });

struct ShortCase {
    const char* name;
    std::string bytes;
    std::vector<int> firstLines; // values lines 1 to 4 should get; the rest stay default
};

// Tests are listed under their case name, not a dump of the case's bytes.
void PrintTo(const ShortCase& c, std::ostream* os) {
    *os << c.name;
}

class ShortFile : public ::testing::TestWithParam<ShortCase> {};

TEST_P(ShortFile, AssignsOnlyCompleteLines) {
    const ShortCase& c = GetParam();
    Settings expected;
    int Settings::*const firstFields[] = {&Settings::tagColor, &Settings::linkWithDirectory,
                                          &Settings::linkWithAnchor, &Settings::reserved};
    for (std::size_t i = 0; i < c.firstLines.size(); ++i)
        expected.*firstFields[i] = c.firstLines[i];

    // An exactly-sized heap copy, so that a read past the data is caught
    // under AddressSanitizer.
    auto bytes = std::make_unique<char[]>(c.bytes.size());
    std::copy(c.bytes.begin(), c.bytes.end(), bytes.get());
    Settings read;
    read.parse(std::string_view(bytes.get(), c.bytes.size()));
    EXPECT_EQ(read, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortFile,
    ::testing::Values(ShortCase{"Empty", "", {}}, ShortCase{"NoCr", "5", {}},
                      ShortCase{"OnlyLineFeeds", "5\n6\n7\n", {}},
                      ShortCase{"CrIsTheLastByte", "5\r", {5}},
                      ShortCase{"LastLineWithoutCr", "5\r\n6\r\n7", {5, 6}},
                      ShortCase{
                          "TextLineWithoutCr", "5\r\n6\r\n7\r\n8\r\nme@example.org", {5, 6, 7, 8}},
                      ShortCase{"EmptyLines", "\r\n\r\n\r\n", {0, 0, 0}},
                      // The byte after a CR is skipped whatever it is, so the "3" goes and
                      // line 3 starts at the next CR: an empty line.
                      ShortCase{"ByteAfterCrIsSkipped", "1\r\n2\r3\r\n", {1, 2, 0}},
                      ShortCase{"LineFeedInsideALine", "4\n5\r\n", {4}}),
    [](const ::testing::TestParamInfo<ShortCase>& info) { return std::string(info.param.name); });

TEST(SettingsParse, EighteenthLineIgnored) {
    Settings read;
    read.parse(joinLines(changedLines()) + "999\r\n");
    EXPECT_EQ(read, changedRecord());
}

// A file whose line 17 ("555") ends with its CR at `crIndex`.
std::string fileWithLastCrAt(std::size_t crIndex) {
    std::vector<std::string> lines = changedLines();
    lines[16] = "555";
    lines[12] = "";
    const std::size_t without = joinLines(lines).size() - 2; // the CR of line 17 is at size-2
    lines[12] = repeat("x", static_cast<int>(crIndex - without));
    const std::string file = joinLines(lines) + repeat("z", 2000);
    EXPECT_EQ(file[crIndex], '\r');
    return file;
}

struct ReadLimitCase {
    const char* name;
    std::size_t crIndex;
    int calendarWidth;
};

// Tests are listed under their case name, not a dump of the case's bytes.
void PrintTo(const ReadLimitCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadLimit : public SettingsFileTest, public ::testing::WithParamInterface<ReadLimitCase> {};

TEST_P(ReadLimit, OnlyTheFirst1024BytesCount) {
    const ReadLimitCase& c = GetParam();
    const std::string bytes = fileWithLastCrAt(c.crIndex);
    Settings expected = changedRecord();
    expected.bodyOptions = repeat("x", 127);
    expected.calendarWidth = c.calendarWidth;

    Settings parsed;
    parsed.parse(bytes);
    EXPECT_EQ(parsed, expected);

    writeFile(file(), bytes);
    Settings loaded;
    loaded.Load();
    EXPECT_EQ(loaded, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadLimit,
                         ::testing::Values(ReadLimitCase{"CrIsByte1024", 1023, 555},
                                           ReadLimitCase{"CrIsByte1025", 1024, 400}),
                         [](const ::testing::TestParamInfo<ReadLimitCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SettingsFileTest, FilePathIsInTheConfigFolder) {
    EXPECT_EQ(Settings().FilePath(), folder.withSlash() + "zu.set");
}

TEST_F(SettingsFileTest, FirstLoadCreatesAnEmptyFileAndItsFolder) {
    const std::filesystem::path nested = folder.path() / "a" / "b";
    ScopedEnv inside("ZU_CONFIG_DIR", nested.string());
    Settings loaded;
    loaded.Load();
    ASSERT_TRUE(std::filesystem::is_regular_file(nested / "zu.set"));
    EXPECT_EQ(std::filesystem::file_size(nested / "zu.set"), 0u);
    EXPECT_EQ(loaded, Settings());
}

TEST_F(SettingsFileTest, SaveReplacesALongerFileAndLeavesNothingElse) {
    writeFile(file(), repeat("old settings line\r\n", 200));
    ::chmod(file().c_str(), 0600);
    const Settings record = changedRecord();
    record.Save();

    EXPECT_EQ(readFile(file()), record.serialize());
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"zu.set"});
    struct stat info {};
    ASSERT_EQ(::stat(file().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "a private zu.set stays private";
}

TEST_F(SettingsFileTest, SaveWhereNoFolderCanBeMadeFailsSilently) {
    // A regular file in the path stops the folder even for root, where
    // permission bits would not.
    writeFile(folder.path() / "plain", "data");
    ScopedEnv blocked("ZU_CONFIG_DIR", (folder.path() / "plain" / "sub").string());
    Settings().Save();
    Settings loaded;
    loaded.Load();
    EXPECT_EQ(loaded, Settings());
    EXPECT_EQ(readFile(folder.path() / "plain"), "data");
}

TEST_F(SettingsFileTest, FailedReplaceLeavesNoTemporaryBehind) {
    // A folder named zu.set cannot be renamed over, so the write gets as far
    // as the temporary file and must take it away again.
    std::filesystem::create_directory(file());
    writeFile(file() / "inside", "x");
    changedRecord().Save();

    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"zu.set"});
    EXPECT_TRUE(std::filesystem::is_directory(file()));
}

// Random files, biased towards what the reader treats specially.
TEST(SettingsParse, RandomBytesNeverReadOutsideAndWriteBackTheSameRecord) {
    std::mt19937 random(20240607);
    const char special[] = {'\r', '\n', '\r', '\0', '-', '+', ' '};
    for (int round = 0; round < 3000; ++round) {
        const std::size_t size = round % 10 == 0 ? random() % 1400 : random() % 300;
        auto bytes = std::make_unique<char[]>(size);
        for (std::size_t i = 0; i < size; ++i) {
            const unsigned kind = random() % 10;
            unsigned char b;
            if (kind < 3)
                b = special[random() % sizeof special];
            else if (kind < 5)
                b = static_cast<unsigned char>('0' + random() % 10);
            else if (kind < 8)
                b = static_cast<unsigned char>(0x80 + random() % 0x80);
            else
                b = static_cast<unsigned char>(random());
            bytes[i] = static_cast<char>(b);
        }

        Settings parsed;
        parsed.parse(std::string_view(bytes.get(), size));
        const std::string written = parsed.serialize();
        ASSERT_LT(written.size(), Settings::kReadLimit);
        Settings again;
        again.parse(written);
        ASSERT_EQ(again, parsed) << "round " << round;
    }
}

// A stray lead byte before a character in a non-default form: written back,
// the default form's first byte can pair with the stray byte.
TEST(SettingsParse, StrayLeadByteBeforeAnAlternativeFormReadsBackTheSame) {
    for (const std::string title : {"\x82\xFA\x4A", "\xFC\xFA\x4A", "x\x82\xFA\x4A\x82\xFA\x4A"}) {
        Settings parsed;
        parsed.parse(changedFileWithLine(11, title));
        Settings again;
        again.parse(parsed.serialize());
        EXPECT_EQ(again, parsed) << ::testing::PrintToString(title);
    }
}

struct FitCase {
    const char* name;
    std::string value;
    std::size_t width;
    std::string expected;
};

// Tests are listed under their case name, not a dump of the case's bytes.
void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.name;
}

class FitField : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitField, KeepsAtMostWidthLessOneBytes) {
    const FitCase& c = GetParam();
    EXPECT_EQ(fitField(c.value, c.width), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitField,
    ::testing::Values(FitCase{"Fits", "#000000", 8, "#000000"},
                      FitCase{"OneByteTooMany", "#0000000", 8, "#000000"},
                      FitCase{"DoubleByteNotSplit", "ああああ", 8, "あああ"},
                      FitCase{"MixedFullToTheByte", "aあbいc", 8, "aあbいc"},
                      FitCase{"RawBytesKept", repeat("\uF7FF", 9), 8, repeat("\uF7FF", 7)},
                      FitCase{"OutsideCp932BecomesAReference", "é", 8, "&#233;"},
                      FitCase{"EndsAtLineBreak", "ab\rcd", 8, "ab"},
                      FitCase{"WidthOne", "a", 1, ""}, FitCase{"WidthZero", "a", 0, ""},
                      FitCase{"Empty", "", 128, ""}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return std::string(info.param.name); });

struct SplitCase {
    const char* name;
    std::string path;
    std::string drive, directory;
};

// Tests are listed under their case name, not a dump of the case's bytes.
void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class SplitUtf8 : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitUtf8, TakesDriveAndDirectory) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(splitProgramPath(c.path), (Settings::Directory{c.drive, c.directory}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitUtf8,
    ::testing::Values(SplitCase{"DriveLetter", "C:\\Tools\\Editor\\zu.exe",
                                "C:", "\\Tools\\Editor\\"},
                      SplitCase{"RootOfDrive", "C:\\zu.exe", "C:", "\\"},
                      SplitCase{"DriveWithoutSeparator", "C:zu.exe", "C:", ""},
                      SplitCase{"DriveOnly", "D:", "D:", ""},
                      SplitCase{"NoSeparator", "zu", "", ""}, SplitCase{"Empty", "", "", ""},
                      SplitCase{"ColonFirst", ":x/zu", "", ":x/"},
                      SplitCase{"Posix", "/usr/local/bin/zu", "", "/usr/local/bin/"},
                      SplitCase{"PosixRoot", "/zu", "", "/"},
                      SplitCase{"MixedSeparators", "C:/Tools\\sub/zu.exe", "C:", "/Tools\\sub/"},
                      SplitCase{"JapaneseFolder", "/home/表/zu", "", "/home/表/"},
                      SplitCase{"JapaneseFileName", "/opt/zu/表", "", "/opt/zu/"}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

class SplitCp932 : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCp932, NeverTakesATrailByteForASeparator) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(splitProgramPathCp932(c.path), (Settings::Directory{c.drive, c.directory}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCp932,
    ::testing::Values(
        SplitCase{"TrailByteIsBackslash", "C:\\\x95\x5C\\zu.exe", "C:", "\\\x95\x5C\\"},
        SplitCase{"FileNameEndsInTrailBackslash", "C:\\dir\\\x95\x5C", "C:", "\\dir\\"},
        SplitCase{"OnlyADoubleByteCharacter", "\x95\x5C", "", ""},
        SplitCase{"IbmExtensionTrailBackslash", "C:\\\xFA\x5C\\zu.exe", "C:", "\\\xFA\x5C\\"},
        // The NEC-selected form of the same character: the file's bytes must
        // come back, not the form the encoder would choose.
        SplitCase{"NecSelectedFormKept", "C:\\\xED\x40\\zu.exe", "C:", "\\\xED\x40\\"},
        SplitCase{"RawByteKept", "C:\\\xFF\\zu.exe", "C:", "\\\xFF\\"},
        SplitCase{"RootOfDrive", "C:\\zu.exe", "C:", "\\"}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(SplitCp932, TheCharacterIsTheOneIconvKnows) {
    EXPECT_EQ(iconvCp932("表"), "\x95\x5C");
}

TEST(SettingsGlobal, KnowsWhereTheRunningProgramIs) {
    const Settings& global = settings();
    const std::filesystem::path program = global.programPath;
    EXPECT_TRUE(program.is_absolute()) << global.programPath;
    EXPECT_EQ(program.filename(), "zu_core_tests");
    EXPECT_EQ(global.programDirectory.drive, "");
    EXPECT_EQ(global.programDirectory.directory + "zu_core_tests", global.programPath);
}

} // namespace
} // namespace zu
