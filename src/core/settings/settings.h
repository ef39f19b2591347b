#pragma once
// core/settings: the Settings record, its file zu.set and where that lives.
//
// The user's preferences: one record for the whole run, loaded from "zu.set"
// once at start-up and written back once at exit.
//
// Text fields hold UTF-8 inside the program; in the file they are CP932 and
// each has a fixed byte width, the room a zu.set gives it: a field of width
// N keeps at most N-1 CP932 bytes (fitField enforces it), so that what is
// saved always reads back whole.

#include <cstddef>
#include <string>
#include <string_view>

namespace zu {

struct Settings {
    // Byte widths of the text fields, terminating NUL included.
    static constexpr std::size_t kMailAddressWidth = 128;
    static constexpr std::size_t kFontFaceWidth = 64;
    static constexpr std::size_t kFontColorWidth = 8;
    static constexpr std::size_t kPageTitleWidth = 128;
    static constexpr std::size_t kBodyOptionsWidth = 128;
    static constexpr std::size_t kReadLimit = 1024; // bytes of zu.set ever examined
    static constexpr int kLineCount = 17;

    int tagColor = 2;
    int linkWithDirectory = 0;
    int linkWithAnchor = 1;
    int reserved = 1;
    std::string mailAddress = "webmaster@example.com";
    int tableColumns = 4;
    int tableRows = 3;
    std::string fontFace = "ＭＳ Ｐゴシック";
    int fontSize = 3;
    std::string fontColor = "#000000";
    int entityMnemonic = 1;
    std::string pageTitle = "title";
    std::string bodyOptions = "BGCOLOR=#ffffff LINK=#ff0000 VLINK=#0000ff ALINK=#000000";
    int calendarYear = 1998;
    int calendarMonth = 1;
    int calendarColumns = 1;
    int calendarWidth = 400;

    // Where the running program lives; filled at construction of the global
    // record, not stored in zu.set.
    std::string programPath;
    struct Directory {
        std::string drive;     // "C:" on a drive-letter path, else empty
        std::string directory; // up to and including the last separator
        // The folder the program is in, where its files are looked for:
        // the directory, after the drive where a path has one.
        std::string folder() const { return drive + directory; }
        friend bool operator==(const Directory&, const Directory&) = default;
    } programDirectory;

    // Reads zu.set (creating it empty when missing) and assigns every value
    // that has a complete line. Never reports anything.
    void Load();
    // Writes all seventeen values to zu.set, atomically. Never reports anything.
    void Save() const;

    // The zu.set file these two use.
    std::string FilePath() const;

    // The file's content, exactly as Save writes it.
    std::string serialize() const;
    // Assigns the values of the first Settings::kReadLimit bytes of `bytes`.
    void parse(std::string_view bytes);

    friend bool operator==(const Settings&, const Settings&) = default;
};

// The one record of the run. Constructed with the defaults and the program's
// location before anything else uses it.
Settings& settings();

// `utf8` cut to at most width-1 CP932 bytes, at a character boundary. The
// value ends at a NUL or CR (a field is a C string, a line ends at CR); a
// character outside CP932 becomes an HTML character reference ("&#233;").
std::string fitField(std::string_view utf8, std::size_t width);

// Splits a program path into drive and directory. Both "/" and "\" separate;
// the path is text, so the trail byte of a double-byte character is never
// taken for a separator.
Settings::Directory splitProgramPath(std::string_view utf8Path);
// The same split for a path given as CP932 bytes; the result is CP932 too.
Settings::Directory splitProgramPathCp932(std::string_view cp932Path);

// Reads an integer line: leading blanks, an optional sign, then digits up to
// the first non-digit; no digits gives 0. Wraps like 32-bit arithmetic.
int parseSettingsInteger(std::string_view line);

} // namespace zu
