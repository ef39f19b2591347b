#pragma once
// What the document tells the user about a file's bytes: the remark after
// opening one, and the question before saving characters Shift_JIS cannot
// hold. Texts are UTF-8.

#include "core/doc/recovery.h"
#include "core/text/document_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace zu {

// The status-bar remark after opening `title`; empty when there is nothing
// to say. Mixed line breaks come first: they change the file on saving.
std::string openNotice(std::string_view title, const DocumentText& decoded);

// The question before a save whose bytes would not read back as the text:
// the first place (a character Shift_JIS cannot hold, or a raw byte that the
// next character would complete), where it stands, how many more, and the
// offer to write unholdable characters as numeric character references and
// the rest as it is. `problems` is not empty.
std::string unencodableQuestion(const std::vector<SaveProblem>& problems);

// The question at start-up for a recovery copy a run left behind: which
// document, its file and encoding, and what "no" does.
std::string recoveryQuestion(const RecoveryRecord& record);

} // namespace zu
