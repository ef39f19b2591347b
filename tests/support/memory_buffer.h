#pragma once
// An EditBuffer held in memory, for checking the commands without a window.

#include "core/edit/edit_buffer.h"

#include <optional>
#include <string>
#include <vector>

namespace zu {

class MemoryBuffer final : public EditBuffer {
public:
    explicit MemoryBuffer(std::string_view text = {});

    Range selection() const override;
    void setSelection(long start, long end) override;
    void replaceSelection(std::string_view text) override;
    void beginUndoStep() override;
    void endUndoStep() override;
    bool canUndo() const override { return !undo_.empty(); }
    bool canPaste() const override { return clipboardHasText_; }

    // What the real control shows or gets from the user, for the tests.
    std::string text() const;
    std::string selectedText() const;
    bool isModified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }
    bool undo();
    void setClipboardHasText(bool has) { clipboardHasText_ = has; }
    // The anchor and the caret; the caret may stand in front of the anchor.
    long anchor() const { return anchor_; }
    long caret() const { return caret_; }
    // Colours stand for any character format the control keeps per
    // character: a command must not lose them.
    void setSelectionColour(Rgb colour);
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

    std::u16string text_;
    std::vector<std::optional<Rgb>> colours_;
    long anchor_ = 0, caret_ = 0;
    int stepDepth_ = 0;
    bool stepRecorded_ = false;
    bool modified_ = false;
    bool clipboardHasText_ = false;
    std::vector<Snapshot> undo_;
};

} // namespace zu
