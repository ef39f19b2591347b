#pragma once
// Recovery copies: what zu keeps of each modified document in the config
// folder while it is open, so that a crash, a kill or a logout that did not
// save loses nothing. A copy holds the text exactly as the document has it
// (bytes kept raw, the byte forms of duplicated characters, each line break)
// and what is needed to make it that document again: its title, its file and
// the file's encoding. Nothing is ever written next to the user's files.

#include "core/text/document_text.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

struct RecoveryRecord {
    std::string title;          // UTF-8, as the window showed it
    std::string path;           // the file's path as the system's bytes; empty for a new document
    std::string encoding;       // the name the file is saved in
    bool byteOrderMark = false; // the file starts with the encoding's mark
    LineBreak lineBreak = LineBreak::CrLf; // for breaks past the end of `breaks`
    std::vector<LineBreak> breaks;
    std::vector<cp932::Variant> variants;
    std::u16string text; // line breaks as '\n'
    friend bool operator==(const RecoveryRecord&, const RecoveryRecord&) = default;
};

// The file's content. UTF-16 is kept as it is, so that no character (not
// even a lone surrogate pasted from elsewhere) can be lost on the way.
std::string serializeRecovery(const RecoveryRecord& record);
// Nothing when `bytes` is not a whole recovery copy (cut short, or not one).
std::optional<RecoveryRecord> parseRecovery(std::string_view bytes);

// Copies are named for the process that keeps them and a number of its own:
// "<pid>-<n>.zurecover". A copy whose process no longer runs is left over
// from a run that ended without saving.
std::string recoveryFileName(long processId, int number);
std::optional<long> recoveryOwner(std::string_view fileName);

// The folder below the config folder (which ends in "/") that holds them.
std::string recoveryDirectory(const std::string& configDirectory);

} // namespace zu
