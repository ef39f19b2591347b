#include "core/doc/recovery.h"

#include "core/doc/recovery_fields.h"
#include "core/doc/recovery_replay.h"

namespace zu {
namespace {

using namespace recovery_fields;

constexpr std::string_view kFirstMagic = "zu recovery 1\n";
constexpr std::string_view kMagic = "zu recovery 2\n";
constexpr std::string_view kSuffix = ".zurecover";
constexpr std::string_view kTemporarySuffix = ".zutmp";

// An entry: its kind, the length of what it holds, what it holds, and a
// hash of the three.
constexpr std::size_t kEntryHead = 9;
constexpr std::size_t kEntryCheck = 8;
// Form, text base, file base, edit.
constexpr std::string_view kEntryKinds = "FTBS";

std::string entryHead(char kind, std::uint64_t length) {
    std::string out(1, kind);
    out += littleEndian(length);
    return out;
}

std::string entry(char kind, std::string_view payload) {
    std::string out = entryHead(kind, payload.size());
    out += payload;
    out += littleEndian(contentHash(out));
    return out;
}

// What a copy of the first kind holds after its start: the whole record,
// the form as a header and then the text.
std::optional<RecoveryRecord> readFirstKind(std::string_view rest) {
    RecoveryRecord r;
    std::string_view value;
    std::optional<std::string> text;
    if (!field(rest, "title", value) || !(text = unhex(value)))
        return std::nullopt;
    r.title = *text;
    if (!field(rest, "path", value) || !(text = unhex(value)))
        return std::nullopt;
    r.path = *text;
    if (!field(rest, "encoding", value) || !(text = unhex(value)))
        return std::nullopt;
    r.encoding = *text;
    if (!field(rest, "bom", value) || !flag(value, r.byteOrderMark))
        return std::nullopt;
    if (!field(rest, "linebreak", value) || !lineBreak(value, r.lineBreak))
        return std::nullopt;
    auto body = textBody(rest);
    if (!body)
        return std::nullopt;
    r.breaks = std::move(body->breaks);
    r.variants = std::move(body->variants);
    r.text = std::move(body->text);
    return r;
}

} // namespace

RecoveryForm formOf(const RecoveryRecord& r) {
    return {r.title, r.path, r.encoding, r.byteOrderMark, r.lineBreak, !r.breaks.empty(), r.source};
}

std::string recoveryStart() {
    return std::string(kMagic);
}

std::string formEntry(const RecoveryForm& f) {
    std::string out = "title " + hex(f.title) + "\n";
    out += "path " + hex(f.path) + "\n";
    out += "encoding " + hex(f.encoding) + "\n";
    out += "bom " + std::string(f.byteOrderMark ? "1" : "0") + "\n";
    out += "linebreak " + std::to_string(static_cast<int>(f.lineBreak)) + "\n";
    out += "mixed " + std::string(f.mixedBreaks ? "1" : "0") + "\n";
    if (const auto& s = f.source)
        out += "source " + std::to_string(s->stamp.device) + " " + std::to_string(s->stamp.inode) +
               " " + std::to_string(s->stamp.size) + " " +
               std::to_string(s->stamp.modifiedSeconds) + " " +
               std::to_string(s->stamp.modifiedNanoseconds) + " " + std::to_string(s->hash) + "\n";
    else
        out += "source -\n";
    return entry('F', out);
}

std::string textEntry(const RecoveryRecord& r) {
    return entry('T', textBodyOf(r.breaks, r.variants, r.text));
}

std::string editEntry(const RecoveryEdit& e) {
    std::string out = "from " + std::to_string(e.from) + "\n";
    out += "removed " + std::to_string(e.removed) + "\n";
    out += "length " + std::to_string(e.length) + "\n";
    out += textBodyOf(e.breaks, e.variants, e.text);
    return entry('S', out);
}

std::string fileEntryFront(std::string_view encoding, std::uint64_t size) {
    const std::string header = "encoding " + hex(encoding) + "\n";
    return entryHead('B', header.size() + size) + header;
}

std::string entryCheck(const ContentHash& frontAndBytes) {
    return littleEndian(frontAndBytes.digest());
}

std::string serializeRecovery(const RecoveryRecord& r) {
    return recoveryStart() + formEntry(formOf(r)) + textEntry(r);
}

RecoveryRead readRecovery(std::string_view bytes) {
    RecoveryRead read;
    if (bytes.substr(0, kFirstMagic.size()) == kFirstMagic) {
        read.record = readFirstKind(bytes.substr(kFirstMagic.size()));
        read.wholeLength = read.record ? bytes.size() : 0;
        return read;
    }
    if (bytes.substr(0, kMagic.size()) != kMagic)
        return read;
    RecoveryReplay replay;
    std::size_t at = kMagic.size();
    while (at < bytes.size()) {
        const std::size_t left = bytes.size() - at;
        // Bytes that do not start an entry were not written by zu.
        const char kind = bytes[at];
        if (kEntryKinds.find(kind) == std::string_view::npos)
            return {};
        // Too short for the entry it announces: the last entry, cut short
        // while it was appended. What came before it is the copy.
        if (left < kEntryHead + kEntryCheck)
            break;
        const std::uint64_t length = fromLittleEndian(bytes.substr(at + 1, 8));
        if (length > left - kEntryHead - kEntryCheck)
            break;
        const std::size_t size = kEntryHead + static_cast<std::size_t>(length) + kEntryCheck;
        const std::string_view whole = bytes.substr(at, size - kEntryCheck);
        if (contentHash(whole) != fromLittleEndian(bytes.substr(at + size - kEntryCheck, 8))) {
            if (at + size == bytes.size())
                break; // the last entry, written only in part
            return {};
        }
        const bool wasBase = replay.hasBase();
        if (!replay.apply(kind, whole.substr(kEntryHead)))
            return {};
        at += size;
        if (!wasBase && replay.hasBase())
            read.baseEnd = at;
        else if (wasBase)
            ++read.entries;
    }
    read.record = replay.result();
    if (!read.record)
        return {};
    read.wholeLength = at;
    read.form = replay.form();
    return read;
}

std::string recoveryFileName(long processId, int number) {
    return std::to_string(processId) + "-" + std::to_string(number) + std::string(kSuffix);
}

std::optional<long> recoveryOwner(std::string_view name) {
    if (name.size() <= kSuffix.size() || name.substr(name.size() - kSuffix.size()) != kSuffix)
        return std::nullopt;
    name.remove_suffix(kSuffix.size());
    const auto dash = name.find('-');
    if (dash == std::string_view::npos || !number<int>(name.substr(dash + 1)))
        return std::nullopt;
    return number<long>(name.substr(0, dash));
}

std::string recoveryDirectory(const std::string& configDirectory) {
    return configDirectory + "recovery/";
}

std::string recoveryTemporaryName(std::string_view copyName, std::uint64_t hostId) {
    return "." + std::string(copyName) + "." + hexNumber(hostId) + std::string(kTemporarySuffix);
}

std::optional<RecoveryLeftover> recoveryLeftover(std::string_view name) {
    if (name.substr(0, 1) != ".")
        return std::nullopt;
    name.remove_prefix(1);
    // ".<copy>.<16 hex digits of the machine>.zutmp"
    if (name.size() > kTemporarySuffix.size() + 17 &&
        name.substr(name.size() - kTemporarySuffix.size()) == kTemporarySuffix) {
        name.remove_suffix(kTemporarySuffix.size());
        const std::string_view host = name.substr(name.size() - 16);
        const auto id = hexNumberOf(host);
        const std::string_view copy = name.substr(0, name.size() - 17);
        const auto owner = recoveryOwner(copy);
        if (!id || name[name.size() - 17] != '.' || !owner)
            return std::nullopt;
        return RecoveryLeftover{*owner, *id};
    }
    // Earlier versions wrote a copy through the writer of documents, whose
    // temporary name is ".<copy>.zu-<pid>-<attempt>": the process that made
    // it is the one the copy is named for.
    const auto tag = name.rfind(".zu-");
    if (tag == std::string_view::npos)
        return std::nullopt;
    const auto owner = recoveryOwner(name.substr(0, tag));
    const std::string_view writer = name.substr(tag + 4);
    const auto dash = writer.find('-');
    if (!owner || dash == std::string_view::npos || number<long>(writer.substr(0, dash)) != owner ||
        !number<int>(writer.substr(dash + 1)))
        return std::nullopt;
    return RecoveryLeftover{*owner, std::nullopt};
}

std::uint64_t recoveryHostId(std::string_view hostName) {
    return contentHash(hostName);
}

std::string damagedRecoveryName(std::string_view copyName) {
    return std::string(copyName) + ".damaged";
}

} // namespace zu
