#pragma once
// The rules behind the status bar's encoding and line-break panes: what
// they say, what their menus offer and when, and what changing a
// document's encoding does to it. Texts are UTF-8.

#include "core/text/document_text.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zu {

// The encodings the menus offer, in order; UTF-16 stands for both byte
// orders (the file's mark or its zero bytes decide when reading, and a
// document switched to it is written little-endian with a mark).
struct EncodingChoice {
    std::string_view label;
    const Encoding* encoding;
};
std::span<const EncodingChoice> encodingChoices();
// Whether `choice` is the encoding the document is in now.
bool isCurrent(const EncodingChoice& choice, const Encoding& now);

// "CR+LF", "LF" or "CR".
std::string_view lineBreakName(LineBreak style);

// What the panes show: the encoding's name, "(BOM)" after it when the file
// starts with a byte-order mark, and the encoding the page declares when it
// is another ("EUC-JP (宣言: Shift_JIS)"); the style new breaks take, noted
// as mixed while the file's own breaks disagree.
std::string encodingLabel(const TextForm& form, const Encoding* declared = nullptr);
// Whether the page declares an encoding other than `now`: the reopen menu
// then offers the declared one first.
bool declaresOther(const Encoding* declared, const Encoding& now);
std::string lineBreakLabel(LineBreak style, bool mixed);

// Reading a file again in another encoding throws the text away, so it is
// offered only for an unmodified document that has a file.
bool canReopen(bool modified, bool hasFile);

// The form a document takes when switched to `to`: a byte-order mark is
// kept while the encoding stays the same, written for UTF-16 (which is hard
// to read without one) and dropped otherwise.
TextForm switchedForm(const TextForm& now, const Encoding& to);

// An edit of a document's text: `length` characters at `position` become
// `text` (a charset declaration rewritten, core/convert).
struct TextReplacement {
    std::size_t position;
    std::size_t length;
    std::string text; // UTF-8
};

} // namespace zu
