#pragma once
// One text in two windows: once as ordinary lines, once with every line
// longer than a few characters shown in pieces (soft joins). Whatever the
// user or a command does must come out the same in both.

#include "support/fixture.h"

#include <QTest>
#include <QTextBlock>

namespace zu::test {

class TwinViews : public AppTest {
protected:
    static constexpr std::size_t kBound = 8;

    void TearDown() override {
        TextModel::setDefaultJoinBound(kSoftJoinBound);
        AppTest::TearDown();
    }

    // Opens `bytes` as two files, the second in pieces of at most `bound`.
    void open(const QByteArray& bytes, std::size_t bound = kBound) {
        ++count_;
        TextModel::setDefaultJoinBound(kSoftJoinBound);
        plainFile = writeFile(QStringLiteral("plain%1.htm").arg(count_), bytes);
        piecesFile = writeFile(QStringLiteral("pieces%1.htm").arg(count_), bytes);
        CZuDoc* a = app->openFile(plainFile);
        TextModel::setDefaultJoinBound(bound);
        CZuDoc* b = app->openFile(piecesFile);
        ASSERT_TRUE(a && b);
        settle();
        plain = a->views().front();
        pieces = b->views().front();
        ASSERT_TRUE(a->text().joinMap().empty());
        ASSERT_FALSE(b->text().joinMap().empty()) << "the text must have a long line";
        original = text(plain);
    }

    // The text as the file holds it, lines ending in '\n'.
    static QString text(const CZuView* view) {
        return view->doc()->text().sourceText().replace(QChar::ParagraphSeparator, u'\n');
    }
    long length() const { return static_cast<long>(original.size()); }

    // Puts the caret at `at` in both; in pieces, at a join, on the given side.
    void caretAt(long at, JoinMap::Side side) {
        plain->setSelection(at, at);
        QTextCursor c = pieces->textCursor();
        c.setPosition(pieces->doc()->text().toControl(at, side));
        pieces->setTextCursor(c);
    }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(plain, Qt::Key(k), m);
        QTest::keyClick(pieces, Qt::Key(k), m);
    }
    void undo() {
        plain->undo();
        pieces->undo();
    }
    // Runs a command of the views' own in both.
    void command(int id) {
        plain->runContextCommand(id);
        pieces->runContextCommand(id);
    }

    // Both hold the same text with the same selection.
    ::testing::AssertionResult alike() const {
        if (text(pieces) != text(plain))
            return ::testing::AssertionFailure()
                   << "text in pieces \"" << text(pieces).toStdString() << "\", in lines \""
                   << text(plain).toStdString() << "\"";
        if (pieces->selection() != plain->selection())
            return ::testing::AssertionFailure()
                   << "selection in pieces " << pieces->selection().start << ".."
                   << pieces->selection().end << ", in lines " << plain->selection().start << ".."
                   << plain->selection().end;
        if (pieces->selectedText() != plain->selectedText())
            return ::testing::AssertionFailure() << "selected text";
        return ::testing::AssertionSuccess();
    }

    // No paragraph of the pieces is an empty piece, which would show as an
    // empty line that the text does not have.
    bool noEmptyPiece() const {
        for (QTextBlock b = pieces->document()->begin(); b.isValid(); b = b.next())
            if (isJoined(b) && (b.length() == 1 || b.previous().length() == 1))
                return false;
        return true;
    }

    CZuView* plain = nullptr;
    CZuView* pieces = nullptr;
    QString plainFile, piecesFile;
    QString original;

private:
    int count_ = 0;
};

} // namespace zu::test
