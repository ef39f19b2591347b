// Every line break is written back as it was read, whatever the file's other
// breaks are, through edits around it and edits taken back; a break the user
// makes takes the file's most frequent style.

#include "support/fixture.h"

#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>

namespace zu::test {
namespace {

class LineBreaks : public AppTest {
protected:
    QString open(const QByteArray& bytes) {
        const QString file = writeFile(QStringLiteral("breaks%1.htm").arg(++count_), bytes);
        EXPECT_NE(app->openFile(file), nullptr);
        settle();
        view()->setFocus();
        return file;
    }
    QByteArray save(const QString& file) {
        frame().onCommand(cmd::FileSave);
        return readFile(file);
    }
    // Puts the caret at the start of line `line` (0-based).
    void caretToLine(int line) {
        QTextCursor c(view()->document()->findBlockByNumber(line));
        view()->setTextCursor(c);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(view(), k, m); }

private:
    int count_ = 0;
};

// The mixes: a lone CR before CR LF, a lone CR at the end, LF before CR LF,
// each style in the minority.
const QByteArray kMixes[] = {
    "a\r\r\nb\nc\rd\r\n", "x\r", "\r\r\n", "a\rb\r\n\n", "a\n\r\nb\r", "1\n2\n3\r4\r\n5",
};

TEST_F(LineBreaks, EditsOnEveryLineTakenBackLeaveEveryByte) {
    for (const QByteArray& bytes : kMixes) {
        SCOPED_TRACE(bytes.toStdString());
        const QString file = open(bytes);
        const int lines = view()->document()->blockCount();
        for (int line = 0; line < lines; ++line) {
            // Type at the start of the line, then join it to the line before
            // and split it again: the break must come back as it was.
            caretToLine(line);
            key(Qt::Key_Q);
            key(Qt::Key_Backspace);
            if (line > 0) {
                caretToLine(line);
                key(Qt::Key_Backspace);
                frame().onCommand(cmd::EditUndo);
            }
        }
        EXPECT_EQ(save(file), bytes);
        doc()->text().setModified(false);
        frame().onCommand(cmd::FileClose);
        settle();
    }
}

TEST_F(LineBreaks, DeletingABreakAndUndoingItInOneSelectionKeepsThemAll) {
    const QByteArray bytes = "a\r\r\nb\nc\rd\r\n";
    const QString file = open(bytes);
    frame().onCommand(cmd::EditSelectAll);
    key(Qt::Key_Delete);
    frame().onCommand(cmd::EditUndo);
    EXPECT_EQ(save(file), bytes);
}

TEST_F(LineBreaks, ANewBreakTakesTheMostFrequentStyle) {
    // CR LF twice, LF once, CR once: new breaks are CR LF.
    const QString file = open("a\r\r\nb\nc\rd\r\n");
    caretToLine(2); // "b"
    key(Qt::Key_End);
    key(Qt::Key_Return);
    key(Qt::Key_X);
    EXPECT_EQ(save(file), QByteArray("a\r\r\nb\r\nx\nc\rd\r\n"));
    // Split from a line that follows an LF, the new line still takes CR LF.
    caretToLine(4); // "c"
    key(Qt::Key_End);
    key(Qt::Key_Return);
    key(Qt::Key_Y);
    EXPECT_EQ(save(file), QByteArray("a\r\r\nb\r\nx\nc\r\ny\rd\r\n"));

    // Joining two lines keeps the break of the line after them.
    caretToLine(4); // "c", after the LF
    key(Qt::Key_Backspace);
    EXPECT_EQ(save(file), QByteArray("a\r\r\nb\r\nxc\r\ny\rd\r\n"));
}

TEST_F(LineBreaks, ShiftReturnAndPastedSeparatorsMakeOrdinaryBreaks) {
    const QString file = open("a\nb\n");
    caretToLine(1);
    key(Qt::Key_Return, Qt::ShiftModifier);
    key(Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
    EXPECT_EQ(save(file), QByteArray("a\n\n\nb\n"));

    auto* data = new QMimeData;
    data->setText(QStringLiteral("1\u20282\u20293\r4\r\n5"));
    QApplication::clipboard()->setMimeData(data);
    caretToLine(0);
    frame().onCommand(cmd::EditPaste);
    EXPECT_EQ(save(file), QByteArray("1\n2\n3\n4\n5a\n\n\nb\n"));
    // One Undo takes the whole paste back.
    frame().onCommand(cmd::EditUndo);
    EXPECT_EQ(save(file), QByteArray("a\n\n\nb\n"));
}

TEST_F(LineBreaks, ARawByteThatWouldJoinItsNeighbourIsNamedBeforeSaving) {
    // 0x81 alone is kept as a raw byte; once the break after it is deleted,
    // "@" (0x40) would complete it and the file would read back as U+3000.
    const QString file = open("x\x81\r\n@\r\n");
    caretToLine(1);
    key(Qt::Key_Backspace);
    dialogs.thenMessage(QMessageBox::Cancel);
    frame().onCommand(cmd::FileSave);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().last().startsWith(QStringLiteral("1 行目 2 文字目の")))
        << dialogs.messages().last().toStdString();
    EXPECT_TRUE(dialogs.messages().last().contains(QStringLiteral("「\u3000」")));
    EXPECT_EQ(readFile(file), QByteArray("x\x81\r\n@\r\n")) << "nothing written on Cancel";
    EXPECT_TRUE(doc()->text().isModified());

    dialogs.thenMessage(QMessageBox::Ok);
    EXPECT_EQ(save(file), QByteArray("x\x81@\r\n")) << "the user chose to save it so";
    EXPECT_EQ(view()->toPlainText(), QString::fromUtf16(u"x\uF781@\n"))
        << "the byte saved as it is stays in the text as it is";
}

} // namespace
} // namespace zu::test
