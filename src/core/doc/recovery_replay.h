#pragma once
// Reading a recovery copy's entries back into the document they describe
// (recovery.h): the form, the base and then every edit, in order. The edits
// are laid over the base as pieces and the text is put together once at
// the end, so that a long journal on a large text reads back in one pass
// over the text rather than one per edit.

#include "core/doc/recovery.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace zu {

class RecoveryReplay {
public:
    // One entry's kind and what it holds. False when it is no entry that may
    // come here, or does not fit what came before.
    bool apply(char kind, std::string_view payload);
    bool hasBase() const { return !buffers_.empty(); }
    const std::optional<RecoveryForm>& form() const { return form_; }
    // The document after every entry so far; nothing without a form and a
    // base.
    std::optional<RecoveryRecord> result() const;

private:
    struct Buffer {
        std::u16string text;
        std::vector<LineBreak> breaks; // one for each '\n' of text
        std::vector<cp932::Variant> variants;
    };
    struct Piece {
        std::size_t buffer;
        std::size_t start;
        std::size_t length;
    };
    bool applyForm(std::string_view payload);
    bool applyBase(Buffer base, std::vector<LineBreak> storedBreaks);
    bool applyEdit(std::string_view payload);

    std::optional<RecoveryForm> form_;
    std::vector<Buffer> buffers_;       // the base, then what each edit put in
    std::vector<LineBreak> baseBreaks_; // as the base stored them
    std::vector<Piece> pieces_;
    std::size_t length_ = 0;
};

} // namespace zu
