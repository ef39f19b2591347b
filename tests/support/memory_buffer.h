#pragma once
// An EditBuffer held in memory, for checking the commands without a window.
// Display lines are the text's lines, optionally wrapped at a fixed width.

#include "core/edit/edit_buffer.h"

#include <optional>
#include <string>
#include <vector>

namespace zu {

class MemoryBuffer final : public EditBuffer {
public:
    explicit MemoryBuffer(std::string_view text = {}, int wrapWidth = 0);

    Range selection() const override;
    void setSelection(long start, long end) override;
    std::string selectedText() const override;
    void replaceSelection(std::string_view text) override;
    void beginUndoStep() override;
    void endUndoStep() override;
    int lineCount() const override;
    long lineStart(int line) const override;
    long find(std::string_view text, long from, long to, bool matchCase) const override;
    void setSelectionColour(Rgb colour) override;
    bool canUndo() const override { return !undo_.empty(); }
    bool canPaste() const override { return clipboardHasText_; }
    std::string text() const override;
    void setText(std::string_view text) override;
    bool isModified() const override { return modified_; }
    void setModified(bool modified) override { modified_ = modified; }

    // Test controls that the real control gets from the user.
    bool undo();
    void setClipboardHasText(bool has) { clipboardHasText_ = has; }
    // The anchor and the caret; the caret may stand in front of the anchor.
    long anchor() const { return anchor_; }
    long caret() const { return caret_; }
    // The colour set on the character at `position`, if any.
    std::optional<Rgb> colourAt(long position) const;
    // How many undo steps the buffer holds.
    std::size_t undoDepth() const { return undo_.size(); }

private:
    struct Snapshot {
        std::u16string text;
        std::vector<std::optional<Rgb>> colours;
        long anchor, caret;
    };
    void remember();
    std::vector<long> lineStarts() const;

    std::u16string text_;
    std::vector<std::optional<Rgb>> colours_;
    long anchor_ = 0, caret_ = 0;
    int wrapWidth_ = 0;
    int stepDepth_ = 0;
    bool stepRecorded_ = false;
    bool modified_ = false;
    bool clipboardHasText_ = false;
    std::vector<Snapshot> undo_;
};

} // namespace zu
