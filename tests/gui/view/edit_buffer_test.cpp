// The EditBuffer contract, checked on both implementations: the in-memory
// buffer the core tests use and the real view, once with ordinary lines and
// once with every line shown in pieces of three characters (soft joins). If
// they differed, a core test would prove something about a buffer the
// program does not have.

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
        doc.text().textDocument()->setUndoRedoEnabled(false);
        view->setPlainText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        doc.text().textDocument()->setUndoRedoEnabled(true);
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

// The view of a document loaded as a file is, its long lines in pieces.
struct InPieces {
    std::unique_ptr<CZuDoc> doc;
    std::unique_ptr<CZuView> view;
    explicit InPieces(std::string_view text) {
        RecoveryRecord record;
        const QString loaded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        record.text.assign(reinterpret_cast<const char16_t*>(loaded.utf16()),
                           static_cast<std::size_t>(loaded.size()));
        TextModel::setDefaultJoinBound(3);
        doc = CZuDoc::restore(record);
        TextModel::setDefaultJoinBound(kSoftJoinBound);
        view = std::make_unique<CZuView>(doc.get());
        if (loaded.size() > 3) {
            EXPECT_FALSE(doc->text().joinMap().empty()) << "the line must be in pieces";
        }
    }
    ~InPieces() { view.reset(); }
    EditBuffer& get() { return *view; }
    std::string text() const {
        return doc->text().sourceText().replace(QChar::ParagraphSeparator, u'\n').toStdString();
    }
    void undo() { view->undo(); }
    void setClipboardHasText(bool has) { InView("").setClipboardHasText(has); }
};

template <class Impl> class EditBufferContract : public ::testing::Test {};
using Implementations = ::testing::Types<InMemory, InView, InPieces>;
class Names {
public:
    template <class T> static std::string GetName(int) {
        return std::is_same_v<T, InMemory> ? "InMemory"
               : std::is_same_v<T, InView> ? "InView"
                                           : "InPieces";
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

TYPED_TEST(EditBufferContract, EveryPlaceTakesTextAndBreaksAndOneUndoTakesThemBack) {
    // In pieces of three, 3, 6 and 9 are the joins: each place of the text,
    // and every selection that starts or ends at one, behaves alike.
    const std::string original = "0123456789";
    for (long start = 0; start <= 10; ++start)
        for (long end = start; end <= std::min(start + 4, 10L); ++end)
            for (const std::string_view inserted : {"ab", "x\ny", ""}) {
                SCOPED_TRACE(std::to_string(start) + ".." + std::to_string(end) + " " +
                             std::string(inserted));
                TypeParam impl(original);
                EditBuffer& b = impl.get();
                b.setSelection(start, end);
                ASSERT_EQ(b.selection(), (EditBuffer::Range{start, end}));
                b.replaceSelection(inserted);
                std::string expected = original;
                expected.replace(static_cast<std::size_t>(start),
                                 static_cast<std::size_t>(end - start), inserted);
                EXPECT_EQ(impl.text(), expected);
                const long caret = start + static_cast<long>(inserted.size());
                EXPECT_EQ(b.selection(), (EditBuffer::Range{caret, caret}));
                if (inserted.empty() && start == end)
                    continue;
                impl.undo();
                EXPECT_EQ(impl.text(), original);
            }
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
