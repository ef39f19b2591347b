#include "support/memory_buffer.h"

#include "core/text/utf.h"

#include <algorithm>

namespace zu {
namespace {

// Inside the buffer a line break is one '\n', as in the real control.
std::u16string normaliseBreaks(std::string_view utf8) {
    std::u16string in = utf8ToUtf16(utf8);
    std::u16string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == u'\r') {
            if (i + 1 < in.size() && in[i + 1] == u'\n')
                ++i;
            out.push_back(u'\n');
        } else {
            out.push_back(in[i]);
        }
    }
    return out;
}

} // namespace

MemoryBuffer::MemoryBuffer(std::string_view text)
    : text_(normaliseBreaks(text)), colours_(text_.size()) {}

EditBuffer::Range MemoryBuffer::selection() const {
    return {std::min(anchor_, caret_), std::max(anchor_, caret_)};
}

void MemoryBuffer::setSelection(long start, long end) {
    const long size = static_cast<long>(text_.size());
    anchor_ = std::clamp(start, 0L, size);
    caret_ = std::clamp(end, 0L, size);
}

std::string MemoryBuffer::selectedText() const {
    const Range r = selection();
    return utf16ToUtf8(std::u16string_view(text_).substr(r.start, r.end - r.start));
}

void MemoryBuffer::remember() {
    if (stepDepth_ > 0 && stepRecorded_)
        return;
    undo_.push_back({text_, colours_, anchor_, caret_});
    stepRecorded_ = stepDepth_ > 0;
}

void MemoryBuffer::replaceSelection(std::string_view text) {
    const std::u16string insert = normaliseBreaks(text);
    const Range r = selection();
    if (insert.empty() && r.start == r.end)
        return;
    remember();
    text_.replace(r.start, r.end - r.start, insert);
    colours_.erase(colours_.begin() + r.start, colours_.begin() + r.end);
    colours_.insert(colours_.begin() + r.start, insert.size(), std::nullopt);
    anchor_ = caret_ = r.start + static_cast<long>(insert.size());
    modified_ = true;
}

void MemoryBuffer::beginUndoStep() {
    if (stepDepth_++ == 0)
        stepRecorded_ = false;
}

void MemoryBuffer::endUndoStep() {
    if (stepDepth_ > 0)
        --stepDepth_;
}

bool MemoryBuffer::undo() {
    if (undo_.empty())
        return false;
    Snapshot s = std::move(undo_.back());
    undo_.pop_back();
    text_ = std::move(s.text);
    colours_ = std::move(s.colours);
    anchor_ = s.anchor;
    caret_ = s.caret;
    return true;
}

void MemoryBuffer::setSelectionColour(Rgb colour) {
    const Range r = selection();
    std::fill(colours_.begin() + r.start, colours_.begin() + r.end, colour);
}

std::optional<Rgb> MemoryBuffer::colourAt(long position) const {
    if (position < 0 || position >= static_cast<long>(colours_.size()))
        return std::nullopt;
    return colours_[position];
}

std::string MemoryBuffer::text() const {
    return utf16ToUtf8(text_);
}

} // namespace zu
