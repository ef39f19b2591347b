#pragma once
// Recovery copies: what zu keeps of each modified document in the config
// folder while it is open, so that a crash, a kill or a logout that did not
// save loses nothing. A copy holds the text exactly as the document has it
// (bytes kept raw, the byte forms of duplicated characters, each line break)
// and what is needed to make it that document again: its title, its file,
// the file's encoding and which version of the file the edits were made to.
// Nothing is ever written next to the user's files.
//
// A copy is a journal, so that keeping it costs what the edits cost, not
// what the document costs: a start, the document's form, a base (the whole
// text once, or the very bytes of the file it was read from) and then the
// edits, each appended as an entry of its own. Every entry carries a check
// of its bytes; an entry cut short by a crash while it was appended is the
// last one, and the copy reads back as it was before that entry.

#include "core/doc/content_hash.h"
#include "core/doc/file_read.h"
#include "core/text/document_text.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

// The version of a file a document was read from (or last written to): its
// stamp and a hash of its bytes, so that a later look can tell whether
// another program has changed it since.
struct SourceIdentity {
    FileStamp stamp;
    std::uint64_t hash = 0;
    friend bool operator==(const SourceIdentity&, const SourceIdentity&) = default;
};

struct RecoveryRecord {
    std::string title;          // UTF-8, as the window showed it
    std::string path;           // the file's path as the system's bytes; empty for a new document
    std::string encoding;       // the name the file is saved in
    bool byteOrderMark = false; // the file starts with the encoding's mark
    LineBreak lineBreak = LineBreak::CrLf; // for breaks past the end of `breaks`
    std::vector<LineBreak> breaks;
    std::vector<cp932::Variant> variants;
    std::u16string text;                  // line breaks as '\n'
    std::optional<SourceIdentity> source; // the file's version the edits were made to
    friend bool operator==(const RecoveryRecord&, const RecoveryRecord&) = default;
};

// What a document's file has become since the version its edits were made
// to: the same bytes, other bytes, or no file at all.
enum class SourceState { Same, Changed, Missing };

// Everything of a document but its text.
struct RecoveryForm {
    std::string title;
    std::string path;
    std::string encoding;
    bool byteOrderMark = false;
    LineBreak lineBreak = LineBreak::CrLf;
    // Each break is kept as the file had it; else every one is `lineBreak`.
    bool mixedBreaks = false;
    std::optional<SourceIdentity> source;
    friend bool operator==(const RecoveryForm&, const RecoveryForm&) = default;
};
RecoveryForm formOf(const RecoveryRecord& record);

// One edit: the `removed` characters at `from` (positions in the text as it
// was) replaced by `text`, whose k-th line break is `breaks[k]` and whose
// characters at `variants` (indexes into `text`) have their other byte form.
// `length` is the whole text's length after it, a check that the edits are
// read in the order they were made.
struct RecoveryEdit {
    std::size_t from = 0;
    std::size_t removed = 0;
    std::u16string text;
    std::vector<LineBreak> breaks;
    std::vector<cp932::Variant> variants;
    std::size_t length = 0;
};

// The pieces of a copy, in the order they are written.
std::string recoveryStart();
std::string formEntry(const RecoveryForm& form);
// The base as a text: `record`'s text, breaks and byte forms.
std::string textEntry(const RecoveryRecord& record);
std::string editEntry(const RecoveryEdit& edit);
// The base as a file's `size` bytes, read in `encoding`: the front of the
// entry, which the bytes follow, and then entryCheck() of a hash that has
// seen the front and the bytes. Written in pieces, so that no copy of a
// large file need be held.
std::string fileEntryFront(std::string_view encoding, std::uint64_t size);
std::string entryCheck(const ContentHash& frontAndBytes);

// A whole copy of `record`: its start, form and text.
std::string serializeRecovery(const RecoveryRecord& record);

struct RecoveryRead {
    // Nothing when the bytes are not a copy that reads back whole: not a
    // copy, no base, an entry whose check fails with more bytes after it, or
    // an edit that does not fit the text.
    std::optional<RecoveryRecord> record;
    // How many bytes of the copy read back; a last entry cut short lies
    // beyond. The next entry is appended there.
    std::size_t wholeLength = 0;
    std::size_t baseEnd = 0;          // where the base entry ends
    std::size_t entries = 0;          // the entries after the base
    std::optional<RecoveryForm> form; // the last form; none in a copy of the first kind
};
RecoveryRead readRecovery(std::string_view bytes);
inline std::optional<RecoveryRecord> parseRecovery(std::string_view bytes) {
    return readRecovery(bytes).record;
}

// Copies are named for the process that keeps them and a number of its own:
// "<pid>-<n>.zurecover". A copy whose process no longer runs is left over
// from a run that ended without saving.
std::string recoveryFileName(long processId, int number);
std::optional<long> recoveryOwner(std::string_view fileName);

// The folder below the config folder (which ends in "/") that holds them.
std::string recoveryDirectory(const std::string& configDirectory);

// A copy being made anew is written under a temporary name first, which
// names the copy, the machine (`hostId`, from recoveryHostId) and, through
// the copy's name, the process. A start removes those of its own machine
// whose process has ended; a name of any other form is never removed.
std::string recoveryTemporaryName(std::string_view copyName, std::uint64_t hostId);
struct RecoveryLeftover {
    long processId;
    std::optional<std::uint64_t> hostId; // none: a name of earlier versions, which have none
};
std::optional<RecoveryLeftover> recoveryLeftover(std::string_view fileName);
std::uint64_t recoveryHostId(std::string_view hostName);

// Where a copy that does not read back is put aside: beside it, under a
// name no start offers or removes.
std::string damagedRecoveryName(std::string_view copyName);

} // namespace zu
