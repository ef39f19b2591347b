#include "core/doc/write_journal.h"

#include "core/doc/atomic_write.h"
#include "core/doc/file_read.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {
namespace {

constexpr std::string_view kHeader = "zu unfinished write 1\n";
constexpr std::string_view kEnd = "end\n";
constexpr std::string_view kSuffix = ".zuwrite";
// A note being made: renamed to its name only once it is whole and locked.
constexpr std::string_view kNewSuffix = ".zuwrite.new";

// Paths are any bytes but NUL; a line holds them with the bytes that would
// end or confuse it written as %XX.
std::string escape(std::string_view text) {
    std::string out;
    for (const unsigned char c : text) {
        if (c <= 0x20 || c == '%' || c == 0x7F) {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", c);
            out += code;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::optional<std::string> unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= text.size() ||
            std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr !=
                text.data() + i + 3)
            return std::nullopt;
        out += static_cast<char>(value);
        i += 2;
    }
    return out;
}

template <class Number> std::optional<Number> number(std::string_view text, int base = 10) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

// The fields of one part of a note, up to its "end" line; nothing when the
// part is not whole. `at` moves past it.
std::optional<std::vector<std::pair<std::string_view, std::string_view>>>
fields(std::string_view bytes, std::size_t& at) {
    std::vector<std::pair<std::string_view, std::string_view>> out;
    for (;;) {
        const std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos)
            return std::nullopt;
        const std::string_view line = bytes.substr(at, end - at);
        at = end + 1;
        if (line == "end")
            return out;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return std::nullopt;
        out.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
}

std::string sizeAndHash(std::uint64_t size, std::uint64_t hash) {
    char text[48];
    std::snprintf(text, sizeof text, "%llu %016llx", static_cast<unsigned long long>(size),
                  static_cast<unsigned long long>(hash));
    return text;
}

bool parseSizeAndHash(std::string_view text, std::uint64_t& size, std::uint64_t& hash) {
    const std::size_t space = text.find(' ');
    if (space == std::string_view::npos)
        return false;
    const auto s = number<std::uint64_t>(text.substr(0, space));
    const auto h = number<std::uint64_t>(text.substr(space + 1), 16);
    if (!s || !h)
        return false;
    size = *s;
    hash = *h;
    return true;
}

int writeAllTo(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return -1;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A file zu may remove as a temporary of its own: a plain file of this
// user (never a link, a folder or someone else's file of the same name).
bool ownPlainFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::getuid();
}

// Whole bytes of a plain file of this user, links not followed.
std::optional<std::string> readOwn(const std::string& path) {
    if (!ownPlainFile(path))
        return std::nullopt;
    FileBytes file = readWholeFile(path, std::size_t{1} << 40);
    if (file.error != 0)
        return std::nullopt;
    return std::move(file.bytes);
}

} // namespace

std::uint64_t noteHash(std::string_view bytes) {
    return noteHash(std::span<const std::string_view>(&bytes, 1));
}

std::uint64_t noteHash(std::span<const std::string_view> pieces) {
    // FNV-1a, 64 bits: it tells apart the two contents a note knows of, and
    // a file that holds neither.
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const std::string_view bytes : pieces) {
        for (const unsigned char c : bytes) {
            hash ^= c;
            hash *= 0x100000001b3ull;
        }
    }
    return hash;
}

std::string hostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

std::string serializeWriteNote(const WriteNote& note) {
    std::string out(kHeader);
    out += "host=" + escape(note.host) + "\n";
    out += "pid=" + std::to_string(note.pid) + "\n";
    out += "target=" + escape(note.target) + "\n";
    out += "spare=" + escape(note.spare) + "\n";
    out += kEnd;
    if (note.backup)
        out += serializeBackup(*note.backup);
    return out;
}

std::string serializeBackup(const WriteNote::Backup& backup) {
    return "backup=" + escape(backup.path) +
           "\nold=" + sizeAndHash(backup.oldSize, backup.oldHash) +
           "\nnew=" + sizeAndHash(backup.newSize, backup.newHash) + "\n" + std::string(kEnd);
}

std::optional<WriteNote> parseWriteNote(std::string_view bytes) {
    if (bytes.substr(0, kHeader.size()) != kHeader)
        return std::nullopt;
    std::size_t at = kHeader.size();
    const auto first = fields(bytes, at);
    if (!first)
        return std::nullopt;
    WriteNote note;
    bool host = false, pid = false, target = false, spare = false;
    for (const auto& [key, value] : *first) {
        const std::optional<std::string> text = unescape(value);
        if (!text)
            return std::nullopt;
        if (key == "host") {
            note.host = *text;
            host = true;
        } else if (key == "pid") {
            const auto p = number<long>(value);
            if (!p || *p <= 0)
                return std::nullopt;
            note.pid = *p;
            pid = true;
        } else if (key == "target") {
            note.target = *text;
            target = !text->empty();
        } else if (key == "spare") {
            note.spare = *text;
            spare = true;
        }
    }
    if (!host || !pid || !target || !spare)
        return std::nullopt;
    if (at == bytes.size())
        return note;
    const auto second = fields(bytes, at);
    if (!second)
        return note; // the part about the copy was cut short
    if (at != bytes.size())
        return std::nullopt;
    WriteNote::Backup backup;
    int found = 0;
    for (const auto& [key, value] : *second) {
        if (key == "backup") {
            const std::optional<std::string> text = unescape(value);
            if (!text || text->empty())
                return std::nullopt;
            backup.path = *text;
            found |= 1;
        } else if (key == "old") {
            if (!parseSizeAndHash(value, backup.oldSize, backup.oldHash))
                return std::nullopt;
            found |= 2;
        } else if (key == "new") {
            if (!parseSizeAndHash(value, backup.newSize, backup.newHash))
                return std::nullopt;
            found |= 4;
        }
    }
    if (found != 7)
        return std::nullopt;
    note.backup = std::move(backup);
    return note;
}

WriteJournal::Entry::Entry(Entry&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

WriteJournal::Entry& WriteJournal::Entry::operator=(Entry&& other) noexcept {
    if (this != &other) {
        this->~Entry();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

WriteJournal::Entry::~Entry() {
    if (fd_ < 0)
        return;
    // Gone before the lock is: no start finds a note whose write is over.
    ::unlink(path_.c_str());
    ::close(fd_);
}

bool WriteJournal::Entry::noteBackup(const std::string& backupPath, std::string_view oldBytes,
                                     std::span<const std::string_view> newBytes) {
    if (fd_ < 0)
        return false;
    std::size_t newSize = 0;
    for (const std::string_view piece : newBytes)
        newSize += piece.size();
    const std::string part = serializeBackup(
        {backupPath, oldBytes.size(), noteHash(oldBytes), newSize, noteHash(newBytes)});
    // On disk before the first byte of the file is written over: a crash of
    // the machine must find it too.
    if (writeAllTo(fd_, part) == 0 && ::fsync(fd_) == 0)
        return true;
    // A note that does not name the copy would make it look like a leftover
    // of the writer, to be removed: better no note at all, and the copy
    // left for the user, as before there were notes.
    ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
    return false;
}

WriteJournal::Entry WriteJournal::begin(const WriteNote& note) const {
    Entry entry;
    // The notes name the user's files: the folder is the user's alone.
    ::mkdir(folder_.c_str(), 0700);
    struct stat info {};
    if (::lstat(folder_.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid() ||
        ((info.st_mode & 077) != 0 && ::chmod(folder_.c_str(), 0700) != 0))
        return entry;
    static std::atomic<unsigned> count{0};
    const std::string name = folder_ + std::to_string(::getpid()) + "-" + std::to_string(++count);
    const std::string made = name + std::string(kNewSuffix);
    const int fd = ::open(made.c_str(), O_RDWR | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return entry;
    // Locked and whole before it has its name: a note found under its name
    // is one that was written whole.
    const std::string path = name + std::string(kSuffix);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || writeAllTo(fd, serializeWriteNote(note)) != 0 ||
        ::rename(made.c_str(), path.c_str()) != 0) {
        ::unlink(made.c_str());
        ::close(fd);
        return entry;
    }
    entry.fd_ = fd;
    entry.path_ = path;
    return entry;
}

WriteJournal::Unfinished::Unfinished(Unfinished&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), notePath_(std::move(other.notePath_)),
      note_(std::move(other.note_)), oldBytes_(std::move(other.oldBytes_)),
      intactEmptyBackup_(other.intactEmptyBackup_), holds_(other.holds_),
      leftovers_(std::move(other.leftovers_)) {}

WriteJournal::Unfinished::~Unfinished() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool WriteJournal::Unfinished::putBack(const WriteJournal& journal) const {
    if (!canPutBack())
        return false;
    return static_cast<bool>(writeFileAtomically(note_.target, oldBytes_, &journal));
}

void WriteJournal::Unfinished::finish() {
    for (const std::string& file : leftovers_)
        ::unlink(file.c_str());
    if (note_.backup && ownPlainFile(note_.backup->path))
        ::unlink(note_.backup->path.c_str());
    // The note last: until it goes, a start that comes after a crash here
    // finds the rest again.
    ::unlink(notePath_.c_str());
    leftovers_.clear();
}

std::vector<WriteJournal::Unfinished> WriteJournal::unfinished() const {
    std::vector<Unfinished> found;
    const std::string host = hostName();
    std::vector<long> living; // writers that still run: their names are theirs
    struct Candidate {
        int fd;
        std::string path;
        WriteNote note;
    };
    std::vector<Candidate> dead;
    for (const std::string& name : namesIn(folder_)) {
        const std::string path = folder_ + name;
        const bool made = endsWith(name, kNewSuffix);
        if (!made && !endsWith(name, kSuffix))
            continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        struct stat info {};
        std::string bytes;
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink > 0 &&
            info.st_size < (1 << 20)) {
            bytes.resize(static_cast<std::size_t>(info.st_size));
            if (::pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
                bytes.clear();
        }
        const std::optional<WriteNote> note = parseWriteNote(bytes);
        if (!locked) {
            if (note && note->host == host)
                living.push_back(note->pid);
            ::close(fd);
            continue;
        }
        if (made) {
            // Its writer died before the note was whole: it noted nothing.
            ::unlink(path.c_str());
            ::close(fd);
            continue;
        }
        if (!note || note->host != host || info.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        dead.push_back({fd, path, *note});
    }

    for (Candidate& c : dead) {
        Unfinished u;
        u.fd_ = c.fd;
        u.notePath_ = std::move(c.path);
        u.note_ = std::move(c.note);
        const WriteNote& note = u.note_;
        if (note.backup) {
            std::optional<std::string> old = readOwn(note.backup->path);
            if (old &&
                (old->size() != note.backup->oldSize || noteHash(*old) != note.backup->oldHash))
                old.reset();
            std::optional<std::string> now;
            if (kindOf(note.target) == PathKind::RegularFile)
                if (FileBytes file = readWholeFile(note.target, std::size_t{1} << 40);
                    file.error == 0)
                    now = std::move(file.bytes);
            if (!now)
                u.holds_ = Unfinished::Holds::Missing;
            else if (old ? *now == *old
                         : now->size() == note.backup->oldSize &&
                               noteHash(*now) == note.backup->oldHash)
                u.holds_ = Unfinished::Holds::Old;
            else if (now->size() == note.backup->newSize && noteHash(*now) == note.backup->newHash)
                u.holds_ = Unfinished::Holds::New;
            else
                u.holds_ = Unfinished::Holds::Neither;
            if (old) {
                u.intactEmptyBackup_ = old->empty();
                u.oldBytes_ = std::move(*old);
            }
        }
        // A process that runs now under the dead writer's number may be
        // writing under the same names: those are left for it.
        if (std::find(living.begin(), living.end(), note.pid) == living.end()) {
            for (const std::string& file : temporaryNames(note.target, note.spare, note.pid))
                if ((!note.backup || file != note.backup->path || !u.canPutBack()) &&
                    ownPlainFile(file))
                    u.leftovers_.push_back(file);
        }
        found.push_back(std::move(u));
    }
    return found;
}

} // namespace zu
