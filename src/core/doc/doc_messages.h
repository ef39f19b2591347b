#pragma once
// What the document tells the user about a file's bytes: the remark after
// opening one, and the question before saving characters its encoding
// cannot hold. Texts are UTF-8.

#include "core/doc/recovery.h"
#include "core/doc/write_journal.h"
#include "core/text/document_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace zu {

// The status-bar remark after opening `title`; empty when there is nothing
// to say. Mixed line breaks come first: they change the file on saving.
std::string openNotice(std::string_view title, const DocumentText& decoded);

// The question before a save whose bytes in `encoding` would not read back
// as the text: the first place (a character the encoding cannot hold, or a
// raw byte that the bytes next to it would complete), where it stands, how
// many more, and the offer to write unholdable characters as numeric
// character references and the rest as it is. Where UTF-8 could hold the
// characters the encoding cannot, switching the document to UTF-8 is
// offered as well. `problems` is not empty.
struct SaveQuestion {
    std::string text;
    bool offersUtf8 = false;
};
SaveQuestion saveQuestion(const std::vector<SaveProblem>& problems, const Encoding& encoding);

// Another program changed the file `path` names since zu read or wrote it:
// the question when its window comes back (the document is unmodified), and
// the one before a save would write over that program's work.
std::string changedOnDiskReloadQuestion(std::string_view path);
std::string changedOnDiskOverwriteQuestion(std::string_view path);
// The same for a modified document, whose edits stay: the note when its
// window comes back; and before Save asks for a name for a deleted file.
std::string changedOnDiskNote(std::string_view path, bool deleted);
std::string deletedBeforeSaveNote(std::string_view path);

// The question at start-up for a recovery copy a run left behind: which
// document, its file and encoding, what has become of the file since the
// edits were made (`file`), and what "no" does.
std::string recoveryQuestion(const RecoveryRecord& record, SourceState file = SourceState::Same);

// A recovery copy could not be written in `folder` for the system's
// `error`: the message, which says that zu keeps trying, and the shorter
// status-bar text.
std::string recoveryWriteFailure(std::string_view folder, int error);
std::string recoveryWriteFailureStatus(std::string_view folder);

// Copies that did not read back, put aside under the names `kept` (full
// paths); empty `kept` entries could not be moved and stay where they were.
std::string recoveryDamagedNotice(const std::vector<std::string>& kept);

// A save of `path` in place that a crash cut short, found at the next start
// with the copy of the old bytes: what the file holds now, and the offer to
// put the old bytes back (answered with kPutBackButton or kKeepButton).
// Without a copy: what the file holds, when that is not the new bytes.
std::string unfinishedWriteQuestion(std::string_view path, WriteJournal::Unfinished::Holds holds);
std::string unfinishedWriteWithoutCopy(std::string_view path);
std::string putBackFailed(std::string_view path, std::string_view copy);
inline constexpr std::string_view kPutBackButton = "保存前の内容に戻す(&R)";
inline constexpr std::string_view kKeepButton = "今の内容のままにする(&K)";

} // namespace zu
