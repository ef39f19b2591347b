// Every command on a long line shown in pieces does what it does on the
// same line shown whole; and a file of one 10 MB line saves byte for byte.

#include "twin_views.h"

#include "core/tags/tag_commands.h"
#include "gui/doc/document_marks.h"
#include "gui/view/find_replace.h"
#include "gui/view/view_print.h"
#include "gui/view/whole_text.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QPrinter>
#include <QTextLayout>

#include <optional>

namespace zu::test {
namespace {

// CP932: kanji, both byte forms of duplicated characters, bytes that are no
// CP932 (0x80, 0xA0), tags across the pieces, and mixed line breaks.
const QByteArray kPage = "<html><body><p class=\"x\">\x93\xfa\x96\x7b\x8c\xea</p>text with words "
                         "<b>bold</b> more text \xed\x40\xfa\x5c and \x81\xca\xee\xf9 end"
                         "<a href=\"x.htm\">link</a>\x80 tail \xa0<i>it</i>\r\n"
                         "second <em>line</em> text\nthird\r\n";

class LongLineCommands : public TwinViews {
protected:
    // The colour each character of the text is drawn in.
    static std::vector<std::optional<Rgb>> colours(const CZuView* view) {
        std::vector<std::optional<Rgb>> shown;
        const QTextDocument& text = *view->document();
        const long length = view->doc()->text().sourceLength();
        for (long at = 0; at < length; ++at) {
            const int position = view->doc()->text().toControl(at);
            const QTextBlock block = text.findBlock(position);
            std::optional<Rgb> colour;
            for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
                const int offset = position - block.position();
                if (offset >= r.start && offset < r.start + r.length &&
                    r.format.hasProperty(QTextFormat::ForegroundBrush)) {
                    const QColor c = r.format.foreground().color();
                    colour =
                        Rgb{std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue())};
                }
            }
            shown.push_back(colour);
        }
        return shown;
    }
    static std::string saved(const CZuView* view) {
        return view->doc()
            ->text()
            .encode(view->doc()->form(), Unmappable::CharacterReference)
            .bytes;
    }
    // Text, selection, what would be saved and what a recovery copy keeps.
    ::testing::AssertionResult same() const {
        if (auto result = alike(); !result)
            return result;
        if (saved(plain) != saved(pieces))
            return ::testing::AssertionFailure() << "saved bytes differ";
        const RecoveryRecord a = plain->doc()->recoveryRecord();
        const RecoveryRecord b = pieces->doc()->recoveryRecord();
        if (a.text != b.text || a.variants != b.variants || a.breaks != b.breaks)
            return ::testing::AssertionFailure() << "recovery copies differ";
        return ::testing::AssertionSuccess();
    }
};

TEST_F(LongLineCommands, OpenedTheTwoAreOneText) {
    open(kPage);
    EXPECT_TRUE(same());
    EXPECT_EQ(saved(pieces), kPage.toStdString()) << "saved unedited, byte for byte";
}

TEST_F(LongLineCommands, TagCommandsAndAssistantsWrapTheSameText) {
    open(kPage);
    const int tag = tagCommands().front().id;
    struct Case {
        long start, end;
        int command;
    };
    // Selections that start, end or lie at joins (pieces of 8: 8, 16, ...),
    // across several, and carets at a join.
    const Case cases[] = {{5, 40, tag},         {8, 16, tag},         {16, 16, tag},
                          {15, 17, tag},        {0, 120, tag},        {24, 24, tag},
                          {17, 17, cmd::Index}, {40, 40, cmd::Topic}, {8, 8, cmd::Index}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + ".." + std::to_string(c.end));
        plain->setSelection(c.start, c.end);
        pieces->setSelection(c.start, c.end);
        command(c.command);
        EXPECT_TRUE(same());
        undo();
        EXPECT_TRUE(same());
        EXPECT_EQ(text(pieces), original);
    }
}

TEST_F(LongLineCommands, FindAndReplaceAcrossJoins) {
    open(kPage);
    FindReplace& find = FindReplace::instance();
    // "text with words" runs across a join.
    FindOptions options;
    options.text = QStringLiteral("TEXT WITH WORDS");
    for (const bool down : {true, false}) {
        options.down = down;
        plain->setSelection(down ? 0 : length(), down ? 0 : length());
        pieces->setSelection(down ? 0 : length(), down ? 0 : length());
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(find.find(plain, options));
            ASSERT_TRUE(find.find(pieces, options));
            EXPECT_TRUE(same());
            EXPECT_EQ(pieces->selectedText(), QStringLiteral("text with words"));
        }
    }
    options.wholeWord = true;
    options.text = QStringLiteral("ext");
    dialogs.thenMessage(QMessageBox::Ok); // not found
    EXPECT_FALSE(find.find(pieces, options));
    options.wholeWord = false;

    options.text = QStringLiteral("text");
    options.replacement = QStringLiteral("a much longer replacement");
    plain->setSelection(0, 0);
    pieces->setSelection(0, 0);
    ASSERT_TRUE(find.find(plain, options));
    ASSERT_TRUE(find.find(pieces, options));
    find.replace(plain, options);
    find.replace(pieces, options);
    EXPECT_TRUE(same());
    EXPECT_EQ(find.replaceAll(plain, options), find.replaceAll(pieces, options));
    EXPECT_TRUE(same());
    EXPECT_FALSE(text(pieces).contains(QStringLiteral("text")));
    for (QTextBlock b = pieces->document()->begin(); b.isValid(); b = b.next())
        EXPECT_LE(b.length() - 1, int(kBound)) << "a piece the replacements made long is cut";
    undo();
    EXPECT_TRUE(same());
    undo();
    EXPECT_TRUE(same());
    EXPECT_EQ(text(pieces), original);
}

TEST_F(LongLineCommands, TagColouringAndTypingInColouredText) {
    open(kPage);
    colourTags(*plain);
    colourTags(*pieces);
    ASSERT_TRUE(colours(plain)[1].has_value()) << "tags are coloured";
    EXPECT_EQ(colours(pieces), colours(plain));
    // Text typed anywhere takes its colour from its neighbours alike.
    for (long at = 0; at < length(); at += 3) {
        caretAt(at, at % 2 ? JoinMap::Side::Before : JoinMap::Side::After);
        key(Qt::Key_Q);
        ASSERT_EQ(colours(pieces), colours(plain)) << at;
    }
    EXPECT_TRUE(same());
}

TEST_F(LongLineCommands, TextTypedAtAJoinTakesTheColourOfTheLineShownWhole) {
    // "<abcdefg" fills a piece: a tag's coloured part ends at the join in
    // front of its '>', and another tag starts right after a join.
    open("<abcdefg>12345678<b>x</b> and <em>y</em> z\r\n");
    colourTags(*plain);
    colourTags(*pieces);
    for (long at = 0; at <= length(); ++at)
        for (const auto side : {JoinMap::Side::Before, JoinMap::Side::After}) {
            caretAt(at, side);
            key(Qt::Key_Q);
            ASSERT_EQ(colours(pieces), colours(plain)) << at;
            undo();
        }
}

TEST_F(LongLineCommands, TagRemovalKeepsBytesAndBreaksAlike) {
    open(kPage);
    ASSERT_EQ(removeAllTags(*plain->doc()), TagRemoval::Outcome::Removed);
    ASSERT_EQ(removeAllTags(*pieces->doc()), TagRemoval::Outcome::Removed);
    EXPECT_TRUE(same());
    EXPECT_FALSE(text(pieces).contains(u'<'));
    EXPECT_FALSE(pieces->doc()->text().joinMap().empty()) << "what stays is still long";
}

TEST_F(LongLineCommands, CopyCutAndPasteCarryTheTextAlike) {
    open(kPage);
    for (auto [start, end] : {std::pair{3L, 50L}, std::pair{16L, 24L}, std::pair{0L, length()}}) {
        plain->setSelection(start, end);
        pieces->setSelection(start, end);
        plain->copy();
        const QString fromPlain = QApplication::clipboard()->text();
        pieces->copy();
        EXPECT_EQ(QApplication::clipboard()->text(), fromPlain);
        EXPECT_EQ(fromPlain, original.mid(start, end - start));
    }
    plain->setSelection(10, 60);
    pieces->setSelection(10, 60);
    command(cmd::EditCut);
    EXPECT_TRUE(same());
    caretAt(20, JoinMap::Side::Before);
    command(cmd::EditPaste);
    EXPECT_TRUE(same());
    undo();
    undo();
    EXPECT_TRUE(same());
    EXPECT_EQ(text(pieces), original);
}

TEST_F(LongLineCommands, CharactersShiftJisCannotHoldAreSavedAsReferencesAlike) {
    open(kPage);
    // A euro sign and an emoji beside joins (pieces of 8).
    for (const long at : {40L, 32L, 24L, 16L, 8L}) {
        for (CZuView* view : {plain, pieces}) {
            view->setSelection(at, at);
            view->replaceSelection(at % 16 ? "\xE2\x82\xAC" : "\xF0\x9F\x98\x80");
        }
    }
    ASSERT_TRUE(same());
    ASSERT_TRUE(
        plain->doc()->saveTo(pathFromQt(plainFile), Unmappable::CharacterReference).saved());
    ASSERT_TRUE(
        pieces->doc()->saveTo(pathFromQt(piecesFile), Unmappable::CharacterReference).saved());
    EXPECT_TRUE(same());
    EXPECT_TRUE(text(pieces).contains(QStringLiteral("&#8364;")));
    EXPECT_EQ(readFile(piecesFile), readFile(plainFile));
}

TEST_F(LongLineCommands, PrintsAsTheLineShownWhole) {
    open(kPage + QByteArray(600, 'w') + " end");
    QPrinter& printer = sharedPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    const auto print = [&](CZuView* view, const QString& name) {
        printer.setOutputFileName(path(name));
        printDirect(*view);
        return QFileInfo(path(name)).size();
    };
    const qint64 whole = print(plain, QStringLiteral("plain.pdf"));
    EXPECT_GT(whole, 0);
    EXPECT_EQ(print(pieces, QStringLiteral("pieces.pdf")), whole);
    printer.setOutputFormat(QPrinter::NativeFormat);
}

// One line of 10 MB in CP932, with bytes that are no CP932 and both byte
// forms of duplicated characters: opened in pieces of the program's own
// length, edited in the middle and at both ends and saved, byte for byte.
TEST_F(LongLineCommands, ATenMegabyteLineSavesByteForByte) {
    const QByteArray unit = "<p class=\"item\">\x93\xfa\x96\x7b\x8c\xea a\x80"
                            "b\xa0"
                            "c\xfd\xfe\xff\x81 d \xed\x40\xfa\x5c\x81\xca\xee\xf9\xfa\x54"
                            "\x81\xe0\x87\x90</p>" +
                            QByteArray(400, 'x') + "<b>text</b> ";
    const int units = (10 << 20) / int(unit.size());
    QByteArray bytes;
    bytes.reserve(units * unit.size());
    for (int i = 0; i < units; ++i)
        bytes += unit;
    const QString file = writeFile(QStringLiteral("long.htm"), bytes);
    CZuDoc* d = openWhole(file);
    ASSERT_NE(d, nullptr);
    settle();
    CZuView* v = d->views().front();
    EXPECT_GT(v->document()->blockCount(), 1000) << "shown in pieces";
    EXPECT_EQ(d->text().encode(d->form(), Unmappable::Report).bytes, bytes.toStdString())
        << "unedited";

    // A unit is as many characters long wherever it stands.
    const long unitLength = d->text().sourceLength() / units;
    const long middle = (units / 2) * unitLength;
    v->setSelection(d->text().sourceLength(), d->text().sourceLength());
    v->replaceSelection("E");
    v->setSelection(middle, middle);
    v->replaceSelection("M");
    v->setSelection(0, 0);
    v->replaceSelection("S");
    const QByteArray expected = "S" + bytes.left((units / 2) * unit.size()) + "M" +
                                bytes.mid((units / 2) * unit.size()) + "E";
    ASSERT_TRUE(d->saveTo(pathFromQt(file), Unmappable::Report).saved());
    EXPECT_TRUE(readFile(file) == expected) << "edited in the middle and at both ends";

    for (int i = 0; i < 3; ++i)
        v->undo();
    ASSERT_TRUE(d->saveTo(pathFromQt(file), Unmappable::Report).saved());
    EXPECT_TRUE(readFile(file) == bytes) << "edits taken back";
}

} // namespace
} // namespace zu::test
