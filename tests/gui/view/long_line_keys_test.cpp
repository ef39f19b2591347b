// Keys in a long line shown in pieces behave as in the same line shown
// whole: the user never meets a join, from either side of it.

#include "twin_views.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QStyleHints>

#include <random>

namespace zu::test {
namespace {

// Tags, blanks, a word the joins cut, Japanese and a character of two
// UTF-16 units, in one line (UTF-8, so that every character saves).
const QByteArray kLine = "<p class=\"x\">日本語のテキスト</p><b>bold</b> and "
                         "a_longword_cut_somewhere 😀 end\nnext line";

// Lines made at random, with a piece bound of 2 to 6 each, so that pieces of
// one, two and three characters are met; the long line may be any of them.
// A fixed seed each, so that a failure can be run again.
struct Generated {
    QByteArray text;
    std::size_t bound;
};
void PrintTo(const Generated& g, std::ostream* os) {
    *os << "\"" << g.text.toStdString() << "\" in pieces of at most " << g.bound;
}

std::vector<Generated> generatedLines(int count) {
    static const char* const kParts[] = {"a", "b",  "x",  "_", " ",  ">",  "<",  "/",
                                         ".", "日", "本", "😀", "  ", "ab", "<b>"};
    static const char* const kBreaks[] = {"\n", "\r\n", "\r"};
    std::vector<Generated> lines;
    for (int seed = 1; seed <= count; ++seed) {
        std::mt19937 random(static_cast<unsigned>(seed));
        const auto pick = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        Generated g{{}, static_cast<std::size_t>(pick(2, 6))};
        const int lineCount = pick(1, 3), longOne = pick(0, lineCount - 1);
        for (int line = 0; line < lineCount; ++line) {
            if (line > 0)
                g.text += kBreaks[pick(0, 2)];
            const int parts = line == longOne ? pick(int(g.bound) + 1, 24) : pick(0, 12);
            for (int k = 0; k < parts; ++k)
                g.text += kParts[pick(0, int(std::size(kParts)) - 1)];
        }
        if (pick(0, 3) == 0)
            g.text += kBreaks[pick(0, 2)];
        lines.push_back(g);
    }
    return lines;
}

struct Key {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

const Key kKeys[] = {
    {"Right", Qt::Key_Right},
    {"Left", Qt::Key_Left},
    {"Shift+Right", Qt::Key_Right, Qt::ShiftModifier},
    {"Shift+Left", Qt::Key_Left, Qt::ShiftModifier},
    {"Ctrl+Right", Qt::Key_Right, Qt::ControlModifier},
    {"Ctrl+Left", Qt::Key_Left, Qt::ControlModifier},
    {"Ctrl+Shift+Right", Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier},
    {"Backspace", Qt::Key_Backspace},
    {"Delete", Qt::Key_Delete},
    {"Ctrl+Backspace", Qt::Key_Backspace, Qt::ControlModifier},
    {"Ctrl+Delete", Qt::Key_Delete, Qt::ControlModifier},
    {"Return", Qt::Key_Return},
    {"typing", Qt::Key_Q},
};

using LongLineKeys = TwinViews;
class GeneratedLines : public TwinViews, public ::testing::WithParamInterface<Generated> {};
INSTANTIATE_TEST_SUITE_P(Random, GeneratedLines, ::testing::ValuesIn(generatedLines(24)));

TEST_P(GeneratedLines, EachKeyAtEveryPlaceOnEitherSideOfAJoin) {
    open(GetParam().text, GetParam().bound);
    for (const Key& k : kKeys)
        for (long at = 0; at <= length(); ++at)
            for (const auto side : {JoinMap::Side::Before, JoinMap::Side::After}) {
                SCOPED_TRACE(std::string(k.name) + " at " + std::to_string(at) +
                             (side == JoinMap::Side::Before ? " before" : " after"));
                caretAt(at, side);
                key(k.key, k.modifiers);
                ASSERT_TRUE(alike());
                EXPECT_TRUE(noEmptyPiece());
                if (text(plain) != original)
                    undo();
                ASSERT_TRUE(alike());
                ASSERT_EQ(text(pieces), original);
            }
}

TEST_P(GeneratedLines, KeysOnASelectionFromAnywhereToAnywhere) {
    // Selections that start at a line's start and take a join or a break
    // with them are where the control would lose what ends the line in
    // front (a join would become a break, or a break a join).
    open("line one\n" + GetParam().text, GetParam().bound);
    const Key keys[] = {{"Delete", Qt::Key_Delete}, {"Backspace", Qt::Key_Backspace},
                        {"typing", Qt::Key_Q},      {"Tab", Qt::Key_Tab},
                        {"Return", Qt::Key_Return}, {"Cut", Qt::Key_X, Qt::ControlModifier}};
    for (const Key& k : keys)
        for (long start = 0; start < length(); ++start)
            for (long end = start + 1; end <= std::min(length(), start + 12); ++end) {
                SCOPED_TRACE(std::string(k.name) + " on " + std::to_string(start) + ".." +
                             std::to_string(end));
                plain->setSelection(start, end);
                pieces->setSelection(start, end);
                ASSERT_TRUE(alike());
                key(k.key, k.modifiers);
                ASSERT_TRUE(alike());
                ASSERT_TRUE(noEmptyPiece());
                undo();
                ASSERT_TRUE(alike());
                ASSERT_EQ(text(pieces), original);
            }
}

TEST_F(LongLineKeys, AnInputMethodTypingOverASelection) {
    open("line one\n" + kLine);
    for (long start = 0; start < length(); ++start)
        for (long end = start + 1; end <= std::min(length(), start + 12); ++end) {
            SCOPED_TRACE(std::to_string(start) + ".." + std::to_string(end));
            for (CZuView* view : {plain, pieces}) {
                view->setSelection(start, end);
                QInputMethodEvent typed;
                typed.setCommitString(QStringLiteral("い"));
                QApplication::sendEvent(view, &typed);
            }
            ASSERT_TRUE(alike());
            while (plain->canUndo())
                plain->undo();
            while (pieces->canUndo())
                pieces->undo();
            ASSERT_EQ(text(pieces), original);
        }
}

TEST_P(GeneratedLines, RunsOfKeysThroughTheWholeLine) {
    open(GetParam().text, GetParam().bound);
    struct Run {
        const char* name;
        long from;
        Key key;
    };
    const Run runs[] = {
        {"Right to the end", 0, {"", Qt::Key_Right}},
        {"Left to the start", length(), {"", Qt::Key_Left}},
        {"selecting to the end", 0, {"", Qt::Key_Right, Qt::ShiftModifier}},
        {"selecting to the start", length(), {"", Qt::Key_Left, Qt::ShiftModifier}},
        {"word by word", 0, {"", Qt::Key_Right, Qt::ControlModifier}},
        {"word by word back", length(), {"", Qt::Key_Left, Qt::ControlModifier}},
        {"deleting backwards", length(), {"", Qt::Key_Backspace}},
        {"deleting forwards", 0, {"", Qt::Key_Delete}},
        {"deleting words backwards", length(), {"", Qt::Key_Backspace, Qt::ControlModifier}},
        {"deleting words forwards", 0, {"", Qt::Key_Delete, Qt::ControlModifier}},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        caretAt(run.from, JoinMap::Side::After);
        for (long step = 0; step <= length(); ++step) {
            key(run.key.key, run.key.modifiers);
            ASSERT_TRUE(alike()) << "step " << step;
        }
        // A run of deletions across a join is taken back in a step more
        // (the control joins two deletions into one step only side by side).
        while (plain->canUndo())
            plain->undo();
        while (pieces->canUndo())
            pieces->undo();
        ASSERT_EQ(text(pieces), original);
        ASSERT_EQ(text(plain), original);
    }
}

TEST_F(LongLineKeys, BackspaceAndDeleteAtAShortPieceTakeOneCharacterOfTheText) {
    // A line in pieces of four units; Delete inside one of them shortens it
    // to one, two or three characters, the first of them a letter or an
    // emoji (two units). Then each key at each place of that piece, its
    // joins on either side included, must do to the file's text what it
    // does to a plain string; again after Undo, which may leave the
    // control's text in other runs than loading did.
    struct Row {
        int piece; // 0 first, 1 middle, 2 last
        int size;  // in characters
        bool emoji;
    };
    std::vector<Row> rows;
    for (int piece = 0; piece < 3; ++piece)
        for (int size = 1; size <= 3; ++size)
            for (const bool emoji : {false, true})
                rows.push_back({piece, size, emoji});
    for (const Row& row : rows)
        for (int offset = 0; offset <= row.size; ++offset)
            for (const bool back : {true, false}) {
                SCOPED_TRACE("piece " + std::to_string(row.piece) + " of " +
                             std::to_string(row.size) + (row.emoji ? " from an emoji" : "") +
                             ", at " + std::to_string(offset) +
                             (back ? ", Backspace" : ", Delete"));
                QByteArray line = "abcdefghijkl";
                if (row.emoji)
                    line.replace(4 * row.piece, 2, "\xF0\x9F\x98\x80");
                open("top\n" + line + "\nend", 4);
                QTextBlock block = pieces->document()->findBlockByNumber(1 + row.piece);
                ASSERT_EQ(block.length() - 1, 4);
                const int first = row.emoji ? 2 : 1; // units of the first character
                QTextCursor c = pieces->textCursor();
                c.setPosition(block.position() + first);
                pieces->setTextCursor(c);
                for (int k = row.size; k < (row.emoji ? 3 : 4); ++k)
                    QTest::keyClick(pieces, Qt::Key_Delete);
                block = pieces->document()->findBlockByNumber(1 + row.piece);
                ASSERT_EQ(block.length() - 1, first + row.size - 1);
                pieces->document()->clearUndoRedoStacks(); // Undo is to take back the key only
                const QString before = text(pieces);
                const int position = block.position() + (offset == 0 ? 0 : first + offset - 1);
                const long at = pieces->doc()->text().toSource(position);
                // The character the key takes, in the plain string.
                const long from = back ? at - (offset == 1 ? first : 1) : at;
                const long width = back ? at - from : (offset == 0 ? first : 1);
                for (int round = 0; round < 2; ++round) {
                    c.setPosition(position);
                    pieces->setTextCursor(c);
                    QTest::keyClick(pieces, back ? Qt::Key_Backspace : Qt::Key_Delete);
                    EXPECT_EQ(text(pieces).toStdString(),
                              QString(before).remove(from, width).toStdString());
                    EXPECT_EQ(pieces->selection().start, from);
                    EXPECT_TRUE(noEmptyPiece());
                    pieces->undo();
                    EXPECT_EQ(text(pieces).toStdString(), before.toStdString());
                }
            }
}

TEST_F(LongLineKeys, ReturnAtAJoinTakesItsPlace) {
    open(kLine);
    const JoinMap joins = pieces->doc()->text().joinMap();
    const int paragraphs = pieces->document()->blockCount();
    const long join = joins.toSource(joins.starts().front());
    for (const auto side : {JoinMap::Side::Before, JoinMap::Side::After}) {
        caretAt(join, side);
        key(Qt::Key_Return);
        EXPECT_TRUE(alike());
        EXPECT_EQ(pieces->document()->blockCount(), paragraphs) << "the break replaced the join";
        EXPECT_TRUE(noEmptyPiece());
        undo();
    }
    EXPECT_EQ(text(pieces), original);
}

int longestParagraph(const QTextDocument& text) {
    int longest = 0;
    for (QTextBlock b = text.begin(); b.isValid(); b = b.next())
        longest = std::max(longest, b.length() - 1);
    return longest;
}

TEST_F(LongLineKeys, TypingCutsAPieceItMakesTwiceTooLong) {
    open(kLine);
    caretAt(20, JoinMap::Side::After);
    for (int i = 0; i < 40; ++i) {
        key(Qt::Key_Z);
        ASSERT_TRUE(alike());
        ASSERT_LE(longestParagraph(*pieces->document()), int(2 * kBound));
    }
    // Every step Undo takes changes the text: the cut is in the step of a
    // character typed, never a step of its own.
    QString before = text(pieces);
    while (pieces->canUndo()) {
        pieces->undo();
        EXPECT_NE(text(pieces), before);
        before = text(pieces);
    }
    EXPECT_EQ(text(pieces), original);
}

TEST_F(LongLineKeys, PastingALongLineShowsItInPiecesAndOneUndoTakesItBack) {
    open(kLine);
    const int paragraphs = pieces->document()->blockCount();
    auto* data = new QMimeData;
    data->setText(QStringLiteral("<i>a pasted line long enough for pieces</i>\r\nand more"));
    QApplication::clipboard()->setMimeData(data);
    caretAt(13, JoinMap::Side::After);
    plain->paste();
    pieces->paste();
    EXPECT_TRUE(alike());
    EXPECT_GT(pieces->document()->blockCount(), paragraphs + 4);
    for (QTextBlock b = pieces->document()->begin(); b.isValid(); b = b.next())
        EXPECT_LE(b.length() - 1, int(2 * kBound)) << b.text().toStdString();
    undo();
    EXPECT_TRUE(alike());
    EXPECT_EQ(text(pieces), original);
    EXPECT_EQ(pieces->document()->blockCount(), paragraphs);
}

TEST_F(LongLineKeys, CopyAndCutTakeTheTextWithoutJoins) {
    open(kLine);
    const QString line = original.left(original.indexOf(u'\n'));
    pieces->setSelection(2, line.size() + 3);
    pieces->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), original.mid(2, line.size() + 1));
    pieces->cut();
    EXPECT_EQ(text(pieces), original.left(2) + original.mid(line.size() + 3));
    pieces->setSelection(0, 0);
    pieces->paste();
    EXPECT_EQ(text(pieces),
              original.mid(2, line.size() + 1) + original.left(2) + original.mid(line.size() + 3));
}

TEST_F(LongLineKeys, ThreeClicksSelectTheWholeLineAndTwoAWordAcrossAJoin) {
    open(kLine);
    // Windows of their own beside the frame's, both shown the same size.
    CZuView shownPlain(plain->doc()), shownPieces(pieces->doc());
    for (CZuView* view : {&shownPlain, &shownPieces}) {
        view->resize(600, 400);
        view->show();
    }
    plain = &shownPlain;
    pieces = &shownPieces;
    // Clicks far enough apart in time not to count as one more click.
    QStyleHints* hints = QGuiApplication::styleHints();
    const int interval = hints->mouseDoubleClickInterval();
    hints->setMouseDoubleClickInterval(40);
    const auto apart = [] { QTest::qWait(60); };
    const auto click = [](CZuView* view, long at, int times) {
        QTextCursor c(view->document());
        c.setPosition(view->doc()->text().toControl(at));
        const QPoint point = view->cursorRect(c).center() + QPoint(2, 0);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);
        if (times == 3)
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    };
    const QString line = original.left(original.indexOf(u'\n'));
    for (long at : {1L, 20L, 50L}) {
        click(pieces, at, 3);
        EXPECT_EQ(pieces->selectedText(), line + u'\n');
        apart();
    }
    // Two clicks select the word under them as in the line shown whole,
    // also where joins cut it ("a_longword_cut_somewhere" has no blank near
    // enough to end a piece at).
    const long word = static_cast<long>(line.indexOf(QStringLiteral("a_longword")));
    for (long inside = word - 3; inside < word + 26; ++inside) {
        click(plain, inside, 2);
        click(pieces, inside, 2);
        EXPECT_TRUE(alike()) << inside;
        apart();
    }
    hints->setMouseDoubleClickInterval(interval);
}

} // namespace
} // namespace zu::test
