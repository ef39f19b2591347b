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

char16_t foldAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? c - u'A' + u'a' : c;
}

} // namespace

MemoryBuffer::MemoryBuffer(std::string_view text, int wrapWidth)
    : text_(normaliseBreaks(text)), colours_(text_.size()), wrapWidth_(wrapWidth) {}

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

std::vector<long> MemoryBuffer::lineStarts() const {
    std::vector<long> starts{0};
    long lineBegin = 0;
    for (long i = 0; i < static_cast<long>(text_.size()); ++i) {
        if (text_[i] == u'\n') {
            lineBegin = i + 1;
            starts.push_back(lineBegin);
        } else if (wrapWidth_ > 0 && i + 1 - lineBegin == wrapWidth_ &&
                   i + 1 < static_cast<long>(text_.size()) && text_[i + 1] != u'\n') {
            lineBegin = i + 1;
            starts.push_back(lineBegin);
        }
    }
    return starts;
}

int MemoryBuffer::lineCount() const {
    return static_cast<int>(lineStarts().size());
}

long MemoryBuffer::lineStart(int line) const {
    const std::vector<long> starts = lineStarts();
    if (line < 0 || line >= static_cast<int>(starts.size()))
        return -1;
    return starts[line];
}

long MemoryBuffer::find(std::string_view text, long from, long to, bool matchCase) const {
    const std::u16string needle = normaliseBreaks(text);
    const long size = static_cast<long>(text_.size());
    const long end = (to < 0 || to > size) ? size : to;
    const long length = static_cast<long>(needle.size());
    for (long at = std::max(from, 0L); at + length <= end; ++at) {
        bool same = true;
        for (long k = 0; k < length && same; ++k) {
            const char16_t a = text_[at + k], b = needle[k];
            same = matchCase ? a == b : foldAscii(a) == foldAscii(b);
        }
        if (same)
            return at;
    }
    return -1;
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

void MemoryBuffer::setText(std::string_view text) {
    text_ = normaliseBreaks(text);
    colours_.assign(text_.size(), std::nullopt);
    anchor_ = caret_ = 0;
    undo_.clear();
    modified_ = true;
}

} // namespace zu
