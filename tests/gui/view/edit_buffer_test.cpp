// The EditBuffer contract, checked on both implementations: the in-memory
// buffer the core tests use and the real view. If they differed, a core test
// would prove something about a buffer the program does not have.

#include "core/edit/wrap_selection.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"
#include "support/memory_buffer.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <gtest/gtest.h>

#include <memory>

namespace zu {
namespace {

// Each implementation with the few things a user does to it from outside.
struct InMemory {
    MemoryBuffer buffer;
    explicit InMemory(std::string_view text) : buffer(text) {}
    EditBuffer& get() { return buffer; }
    std::string text() const { return buffer.text(); }
    void undo() { buffer.undo(); }
    void setClipboardHasText(bool has) { buffer.setClipboardHasText(has); }
};

struct InView {
    CZuDoc doc{QStringLiteral("Zu1")};
    std::unique_ptr<CZuView> view = std::make_unique<CZuView>(&doc);
    explicit InView(std::string_view text) {
        // Loaded text is not an edit: nothing of it may be undone.
        doc.textDocument()->setUndoRedoEnabled(false);
        view->setPlainText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        doc.textDocument()->setUndoRedoEnabled(true);
    }
    EditBuffer& get() { return *view; }
    std::string text() const { return view->toPlainText().toStdString(); }
    void undo() { view->undo(); }
    void setClipboardHasText(bool has) {
        if (has)
            QApplication::clipboard()->setText(QStringLiteral("clip"));
        else
            QApplication::clipboard()->setMimeData(new QMimeData);
    }
};

template <class Impl> class EditBufferContract : public ::testing::Test {};
using Implementations = ::testing::Types<InMemory, InView>;
class Names {
public:
    template <class T> static std::string GetName(int) {
        return std::is_same_v<T, InMemory> ? "InMemory" : "InView";
    }
};
TYPED_TEST_SUITE(EditBufferContract, Implementations, Names);

TYPED_TEST(EditBufferContract, SelectionIsAscendingAndClampedToTheText) {
    TypeParam impl("0123456789");
    EditBuffer& b = impl.get();
    b.setSelection(7, 3); // made backwards
    EXPECT_EQ(b.selection(), (EditBuffer::Range{3, 7}));
    b.setSelection(4, 4);
    EXPECT_EQ(b.selection(), (EditBuffer::Range{4, 4}));
    b.setSelection(-5, 99);
    EXPECT_EQ(b.selection(), (EditBuffer::Range{0, 10}));
}

TYPED_TEST(EditBufferContract, ReplaceSelectionLeavesTheCaretAfterTheText) {
    TypeParam impl("abcdef");
    EditBuffer& b = impl.get();
    b.setSelection(1, 3);
    b.replaceSelection("XYZ");
    EXPECT_EQ(impl.text(), "aXYZdef");
    EXPECT_EQ(b.selection(), (EditBuffer::Range{4, 4}));
}

TYPED_TEST(EditBufferContract, ALineBreakIsOnePositionHoweverItIsGiven) {
    TypeParam impl("ab");
    EditBuffer& b = impl.get();
    b.setSelection(1, 1);
    b.replaceSelection("1\r\n2\n3");
    EXPECT_EQ(impl.text(), "a1\n2\n3b");
    EXPECT_EQ(b.selection(), (EditBuffer::Range{6, 6}));
}

TYPED_TEST(EditBufferContract, PositionsCountUtf16UnitsAsTheControlDoes) {
    TypeParam impl("日本😀x");
    EditBuffer& b = impl.get();
    b.setSelection(4, 5); // the emoji takes two positions
    b.replaceSelection("y");
    EXPECT_EQ(impl.text(), "日本😀y");
}

TYPED_TEST(EditBufferContract, StepsNestAndOneUndoTakesBackTheOutermost) {
    TypeParam impl("text");
    EditBuffer& b = impl.get();
    EXPECT_FALSE(b.canUndo());
    {
        UndoStep outer(b);
        b.setSelection(4, 4);
        b.replaceSelection("]");
        {
            UndoStep inner(b);
            b.setSelection(0, 0);
            b.replaceSelection("[");
        }
    }
    EXPECT_EQ(impl.text(), "[text]");
    EXPECT_TRUE(b.canUndo());
    impl.undo();
    EXPECT_EQ(impl.text(), "text");
}

TYPED_TEST(EditBufferContract, WrapSelectionIsOneUndoStepWithTheCaretInFront) {
    TypeParam impl("say hello");
    EditBuffer& b = impl.get();
    b.setSelection(9, 4);
    WrapSelection(b, "<b>", "</b>");
    EXPECT_EQ(impl.text(), "say <b>hello</b>");
    EXPECT_EQ(b.selection(), (EditBuffer::Range{4, 4}));
    impl.undo();
    EXPECT_EQ(impl.text(), "say hello");
}

TYPED_TEST(EditBufferContract, CanPasteFollowsTheClipboard) {
    TypeParam impl("");
    impl.setClipboardHasText(true);
    EXPECT_TRUE(impl.get().canPaste());
    impl.setClipboardHasText(false);
    EXPECT_FALSE(impl.get().canPaste());
}

} // namespace
} // namespace zu
