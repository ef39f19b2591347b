// zu.set: seventeen CR LF lines, one value each, in the order of kLines.

#include "core/doc/atomic_write.h"
#include "core/doc/file_lock.h"
#include "core/settings/config_location.h"
#include "core/settings/field_bytes.h"
#include "core/settings/settings.h"
#include "core/text/cp932.h"
#include "core/text/utf.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {

namespace {

// One line of the file: either an integer field or a text field of a width.
struct Line {
    int Settings::*integer = nullptr;
    std::string Settings::*text = nullptr;
    std::size_t width = 0;
};

constexpr Line kLines[] = {
    {&Settings::tagColor},
    {&Settings::linkWithDirectory},
    {&Settings::linkWithAnchor},
    {&Settings::reserved},
    {nullptr, &Settings::mailAddress, Settings::kMailAddressWidth},
    {&Settings::tableColumns},
    {&Settings::tableRows},
    {nullptr, &Settings::fontFace, Settings::kFontFaceWidth},
    {&Settings::fontSize},
    {nullptr, &Settings::fontColor, Settings::kFontColorWidth},
    {&Settings::entityMnemonic},
    {nullptr, &Settings::pageTitle, Settings::kPageTitleWidth},
    {nullptr, &Settings::bodyOptions, Settings::kBodyOptionsWidth},
    {&Settings::calendarYear},
    {&Settings::calendarMonth},
    {&Settings::calendarColumns},
    {&Settings::calendarWidth},
};
static_assert(std::size(kLines) == Settings::kLineCount);

// The reader's line buffer held 255 bytes and a NUL; longer lines are cut
// rather than refused, and the rest of such a line is skipped.
constexpr std::size_t kMaxValueBytes = 255;

constexpr const char* kFileName = "zu.set";

bool isRawLeadByte(char16_t c) {
    if (!cp932::isRawByte(c))
        return false;
    const int byte = c - cp932::kRawByteBase;
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// A text line's value, in the form that writing it and reading it again gives
// back unchanged. Usually that is simply its decoding. But the record keeps
// characters, not bytes: a character the file wrote in a non-default form is
// written back in the default one, and when a stray lead byte (kept as a raw
// byte) stands before it, the new first byte can pair with that lead byte and
// read back as another character. Writing and reading are repeated until they
// agree.
std::string readText(std::string_view bytes, std::size_t width) {
    std::string text = cp932ToUtf8(fieldBytes(bytes, width));
    for (int round = 0; round < 8; ++round) {
        std::string again = fitField(text, width);
        if (again == text)
            return text;
        text = std::move(again);
    }
    // A safety net for the loop: without stray lead bytes nothing can pair
    // up, so one more round is stable.
    std::u16string units = utf8ToUtf16(text);
    std::erase_if(units, [](char16_t c) { return isRawLeadByte(c); });
    return fitField(utf16ToUtf8(units), width);
}

std::string folderOf(const Settings& record) {
    return configDirectory(record.programDirectory.folder());
}

} // namespace

std::string Settings::FilePath() const {
    return folderOf(*this) + kFileName;
}

std::string Settings::serialize() const {
    std::string out;
    for (const Line& line : kLines) {
        if (line.integer) {
            out += std::to_string(this->*line.integer);
        } else {
            const std::string bytes = utf8ToCp932(this->*line.text);
            out += fieldBytes(bytes, line.width);
        }
        out += "\r\n";
    }
    return out;
}

void Settings::parse(std::string_view bytes) {
    bytes = bytes.substr(0, kReadLimit);
    std::size_t position = 0;
    for (const Line& line : kLines) {
        const std::size_t cr = bytes.find('\r', position);
        // A line that the data ends inside is not assigned: the field keeps
        // the value it had, which on a first load is its default.
        if (cr == std::string_view::npos)
            return;
        std::string_view value = bytes.substr(position, cr - position);
        value = value.substr(0, cp932::fitBytes(value, kMaxValueBytes));
        if (line.integer)
            this->*line.integer = parseSettingsInteger(value);
        else
            this->*line.text = readText(value, line.width);
        // Past the CR and the byte after it, whatever that byte is: the file
        // is taken to end its lines with CR LF.
        position = std::min(cr + 2, bytes.size());
    }
}

void Settings::Load() {
    const std::string folder = folderOf(*this);
    ensureDirectory(folder);
    // Another zu may be saving at this moment: wait for it, so that this
    // one never reads a file that is being replaced.
    const FileLock lock(folder, FileLock::Mode::Shared);
    const std::string path = settingsFileToRead(programDirectory.folder());
    // Only a regular file is read: a FIFO named zu.set would block the start
    // for ever, and a folder has nothing to give. The defaults stay.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return;
    // Opening creates the file when it is missing: a first run leaves an
    // empty zu.set behind, where the user can find it (to make it read-only,
    // say, which freezes the settings). Without blocking, in case a FIFO
    // took the name since it was looked at.
    const int fd =
        ::open(path.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    char buffer[kReadLimit];
    std::size_t filled = 0;
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    while (regular && filled < kReadLimit) {
        const ssize_t got = ::read(fd, buffer + filled, kReadLimit - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    ::close(fd);
    parse(std::string_view(buffer, filled));
}

void Settings::Save() const {
    const std::string folder = folderOf(*this);
    ensureDirectory(folder);
    // Two zu ending at once write one after the other, never together.
    const FileLock lock(folder, FileLock::Mode::Exclusive);
    const std::string path = folder + kFileName;
    // A zu.set the user made read-only is the user's to change: root could
    // replace it, but the user asked for it to stay as it is.
    if (probeConfigFile(path) == ConfigFile::ReadOnly)
        return;
    // A reader sees the old settings or the new ones, never a mix, and a full
    // disk never destroys the old file; a link named zu.set stays a link.
    writeFileAtomically(path, serialize());
}

} // namespace zu
