// What zu adds while the user types: tags coloured as they are typed, the
// caret's line and column, line numbers, Go to line and the note when Find
// goes round the end. On a long line shown in pieces each must come out as
// on the same line shown whole.

#include "twin_views.h"

#include "core/settings/settings.h"
#include "core/tags/tag_spans.h"
#include "gui/app/caret_pane.h"
#include "gui/dialogs/go_to_line_dlg.h"
#include "gui/doc/document_marks.h"
#include "gui/view/find_replace.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTextLayout>
#include <QToolButton>

#include <optional>
#include <random>

namespace zu::test {
namespace {

// Tags across the joins of pieces of 8, a tag over two lines, a surrogate
// pair, and three lines.
const QByteArray kPage = "<p class=\"x\">日本語</p>text <b>bold</b> and a <a href=\"x\">link</a>\n"
                         "second <em\nline>😀 <i>it</i>\nthird";

// The colour of each character of the text as the view draws it, 'B' for
// blue, 'R' for dark red and '.' for none, once every line is drawn.
std::string drawn(const CZuView* view) {
    const QTextDocument& text = *view->document();
    for (QTextBlock b = text.begin(); b.isValid(); b = b.next())
        view->doc()->text().marks().showBeforeDrawing(b);
    std::string shown;
    for (long at = 0; at < view->doc()->text().sourceLength(); ++at) {
        const int position = view->doc()->text().toControl(at);
        const QTextBlock block = text.findBlock(position);
        char colour = '.';
        for (const QTextLayout::FormatRange& r : block.layout()->formats())
            if (position - block.position() >= r.start &&
                position - block.position() < r.start + r.length &&
                r.format.hasProperty(QTextFormat::ForegroundBrush))
                colour = r.format.foreground().color() == QColor(0, 0, 255) ? 'B' : 'R';
        shown += colour;
    }
    return shown;
}

// What tag colouring gives the view's text.
std::string tagged(const CZuView* view) {
    const QString text = view->doc()->text().sourceText();
    std::string colours(static_cast<std::size_t>(text.size()), '.');
    for (const TagSpan& s :
         tagSpans({reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())}))
        colours.replace(std::size_t(s.start), std::size_t(s.end - s.start),
                        std::size_t(s.end - s.start), 'B');
    return colours;
}

class WhileTyping : public TwinViews {
protected:
    void type(const QString& keys) { QTest::keyClicks(view(), keys); }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(view(), Qt::Key(k), m);
    }
};

TEST_F(WhileTyping, TagsTakeTheirColourAsTheyAreTypedUndoneAndRedone) {
    frame().onCommand(cmd::FileNew);
    frame().onCommand(cmd::ColourWhileTyping);
    view()->setFocus();
    struct Step {
        const char* name;
        std::function<void()> act;
        const char* colours;
    } steps[] = {
        {"an open tag", [&] { type("<p"); }, ".."},
        {"its '>'", [&] { type(">"); }, "BB."},
        {"a close tag", [&] { type("ab</p>"); }, "BB...BBB."},
        {"at the line's start", [&] { key(Qt::Key_Home), type("x"); }, ".BB...BBB."},
        {"a break inside the tag", [&] { key(Qt::Key_Right), key(Qt::Key_Return); }, ".......BBB."},
        {"Undo", [&] { view()->undo(); }, ".BB...BBB."},
        {"Redo", [&] { view()->redo(); }, ".......BBB."},
        {"in the options' colour", [&] { settings().tagColor = 0, type("<i>"); }, "...RR.....BBB."},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        EXPECT_EQ(drawn(view()), s.colours);
    }
    // Colouring made no step of its own: Undo goes back to the empty text.
    while (view()->document()->isUndoAvailable())
        view()->undo();
    EXPECT_TRUE(view()->toPlainText().isEmpty());
}

TEST_F(WhileTyping, ALineCutIntoPiecesAsItIsEnteredKeepsItsColours) {
    frame().onCommand(cmd::ColourWhileTyping);
    const QString line = QStringLiteral("<p>one</p><b>two</b><i>three</i> <a href=x>four</a>");
    // Typed, and pasted: either makes the text's first joins.
    for (const bool typed : {true, false}) {
        TextModel::setDefaultJoinBound(8);
        frame().onCommand(cmd::FileNew);
        TextModel::setDefaultJoinBound(kSoftJoinBound);
        if (typed)
            type(line);
        else
            view()->insertAtSelection(line);
        ASSERT_FALSE(doc()->text().joinMap().empty());
        EXPECT_EQ(drawn(view()), tagged(view())) << typed;
    }
}

TEST_F(WhileTyping, OnOpeningAndReloadingNeverModifiedNorSaved) {
    const QByteArray bytes = "<b>x</b>\r\n<i>";
    frame().onCommand(cmd::ColourWhileTyping);
    ASSERT_NE(app->openFile(pathFromQt(writeFile(QStringLiteral("page.htm"), bytes))), nullptr);
    settle();
    EXPECT_EQ(drawn(view()), "BB..BBB..BB.");
    EXPECT_FALSE(doc()->text().isModified());
    EXPECT_FALSE(view()->document()->isUndoAvailable());
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(pathToQt(doc()->pathName())), bytes);
    EXPECT_TRUE(doc()->reload().isEmpty());
    EXPECT_EQ(drawn(view()), "BB..BBB..BB.");

    // Turned off, what is typed takes its neighbour's colour, as after a run
    // of tag colouring; the command colours as ever.
    frame().onCommand(cmd::ColourWhileTyping);
    view()->moveCursor(QTextCursor::End);
    type("<u>");
    EXPECT_EQ(drawn(view()), "BB..BBB..BB....");
    dialogs.then([](QDialog&) { return int(QDialog::Accepted); });
    frame().onCommand(cmd::TagColor);
    EXPECT_EQ(drawn(view()), "BB..BBB..BB.BB.");
}

TEST_F(WhileTyping, APageIsColouredAsItsLinesAreDrawn) {
    app->setColourWhileTyping(true);
    ASSERT_NE(app->openFile(pathFromQt(
                  writeFile(QStringLiteral("long.htm"), QByteArray("<b>x</b>\n").repeated(500)))),
              nullptr);
    settle();
    const auto formats = [this](int line) {
        return view()->document()->findBlockByNumber(line).layout()->formats().size();
    };
    EXPECT_EQ(formats(0), 2);
    EXPECT_EQ(formats(499), 0) << "not drawn yet";
    view()->moveCursor(QTextCursor::End);
    view()->viewport()->repaint();
    EXPECT_EQ(formats(499), 2);
}

TEST_F(WhileTyping, BothOptionsAreOffUntilChosenAndKeptInZuConf) {
    frame().onCommand(cmd::FileNew);
    const QString conf = QString::fromLocal8Bit(qgetenv("ZU_CONFIG_DIR")) + "/zu.conf";
    for (const auto& [id, name] : {std::pair{cmd::ColourWhileTyping, "ColourTagsWhileTyping"},
                                   std::pair{cmd::LineNumbers, "LineNumbers"}}) {
        SCOPED_TRACE(name);
        QAction* action = frame().action(id);
        EXPECT_FALSE(action->isChecked());
        frame().onCommand(id);
        frame().updateCommands();
        EXPECT_TRUE(action->isChecked());
        EXPECT_TRUE(QSettings(conf, QSettings::IniFormat)
                        .value(QStringLiteral("Settings/") + name)
                        .toBool());
    }
    EXPECT_TRUE(view()->lineNumbersShown());
    EXPECT_TRUE(doc()->text().marks().coloursWhileTyping());
    app.reset();
    app = std::make_unique<CZuApp>();
    ASSERT_FALSE(app->start({}).has_value());
    frame().onCommand(cmd::FileNew);
    EXPECT_TRUE(view()->lineNumbersShown());
    EXPECT_TRUE(doc()->text().marks().coloursWhileTyping());
}

// Colours and the caret's place after every edit, Undo among them: in
// pieces as in lines, and the colours those tag colouring gives the text.
TEST_F(WhileTyping, RandomEditsInPiecesAsInLines) {
    app->setColourWhileTyping(true);
    open(kPage);
    std::mt19937 random(21);
    const int keys[] = {Qt::Key_Less,      Qt::Key_Greater, Qt::Key_A,    Qt::Key_Return,
                        Qt::Key_Backspace, Qt::Key_Delete,  Qt::Key_Space};
    for (int step = 0; step < 300; ++step) {
        SCOPED_TRACE(step);
        ASSERT_EQ(drawn(plain), tagged(plain));
        ASSERT_EQ(drawn(pieces), drawn(plain));
        ASSERT_EQ(pieces->caretPlace(), plain->caretPlace());
        if (step % 7 == 6) {
            undo();
            continue;
        }
        const long at = long(random() % (text(plain).size() + 1));
        caretAt(at, random() % 2 ? JoinMap::Side::Before : JoinMap::Side::After);
        if (step % 11 == 10) {
            plain->insertAtSelection(QStringLiteral("😀"));
            pieces->insertAtSelection(QStringLiteral("😀"));
        } else {
            TwinViews::key(keys[random() % std::size(keys)]);
        }
        ASSERT_TRUE(alike());
    }
}

TEST_F(WhileTyping, LineAndColumnCountTheFilesLinesAndCharacters) {
    open(kPage);
    for (long at = 0; at <= length(); ++at)
        for (const auto side : {JoinMap::Side::Before, JoinMap::Side::After}) {
            caretAt(at, side);
            ASSERT_EQ(pieces->caretPlace(), plain->caretPlace()) << at;
        }
    const QString all = text(plain);
    const std::pair<long, LineColumn> cases[] = {
        {all.indexOf("</p>"), {1, 17}}, {all.indexOf("<i>"), {3, 8}}, {length(), {4, 6}}};
    for (const auto& [at, place] : cases) {
        caretAt(at, JoinMap::Side::After);
        EXPECT_EQ(pieces->caretPlace(), place) << at;
    }
    // The pane follows the active view's caret.
    EXPECT_EQ(frame().caretPane()->pane()->text(), QStringLiteral("行 4, 桁 6"));
}

TEST_F(WhileTyping, TheGutterNumbersLinesNotPieces) {
    open(kPage);
    app->setShowLineNumbers(true);
    for (CZuView* v : {plain, pieces}) {
        std::vector<long> numbers;
        for (const CZuView::NumberedRow& row : v->numberedRows(0, v->viewport()->height()))
            numbers.push_back(row.number);
        EXPECT_EQ(numbers, (std::vector<long>{1, 2, 3, 4}));
    }
    // The first line in pieces takes more rows than in the view of lines.
    EXPECT_GT(pieces->numberedRows(0, 9999)[1].top, plain->numberedRows(0, 9999)[1].top);
    app->setShowLineNumbers(false);
    EXPECT_FALSE(pieces->lineNumbersShown());
}

TEST_F(WhileTyping, GoToLineChecksItsFieldsAndPutsTheCaretThere) {
    open(kPage);
    struct Case {
        const char* line;
        const char* column;
        const char* message; // refused, in the field it names
        LineColumn place;
        bool lineRefused = false; // else the column, when refused
    } cases[] = {{"3", "", nullptr, {3, 1}},
                 {"1", "30", nullptr, {1, 30}},
                 {"4", "7", "1 から 6 までの整数を入力してください。", {}},
                 // Lines, not the pieces the first one is shown in.
                 {"5", "", "1 から 4 までの整数を入力してください。", {}, true}};
    for (CZuView* v : {plain, pieces})
        for (const Case& c : cases) {
            SCOPED_TRACE(c.line + std::string("/") + c.column);
            v->setSelection(0, 0);
            dialogs.then([&](QDialog& d) {
                auto* dialog = qobject_cast<CGoToLineDlg*>(&d);
                dialog->lineEdit()->setText(QString::fromUtf8(c.line));
                dialog->columnEdit()->setText(QString::fromUtf8(c.column));
                dialog->okButton()->click();
                // A refused field is selected, to be typed again.
                EXPECT_EQ(
                    (c.lineRefused ? dialog->lineEdit() : dialog->columnEdit())->hasSelectedText(),
                    c.message != nullptr);
                return dialog->result();
            });
            if (c.message)
                dialogs.thenMessage(QMessageBox::Ok);
            v->runContextCommand(cmd::GoToLine);
            if (c.message) {
                EXPECT_EQ(dialogs.messages().back(), QString::fromUtf8(c.message));
            } else {
                EXPECT_EQ(v->caretPlace(), c.place);
            }
        }
}

TEST_F(WhileTyping, FindSaysWhenItGoesRoundTheEnd) {
    frame().onCommand(cmd::FileNew);
    type("ab cd ab");
    FindOptions options;
    options.text = QStringLiteral("ab");
    const std::tuple<bool, long, long, const char*> steps[] = {
        {true, 8, 0, "先頭から検索しました"},
        {true, 1, 6, ""},
        {false, 0, 6, "末尾から検索しました"},
        {false, 7, 6, ""}};
    for (const auto& [down, from, found, note] : steps) {
        options.down = down;
        view()->setSelection(from, from);
        ASSERT_TRUE(FindReplace::instance().find(view(), options));
        EXPECT_EQ(view()->selection().start, found);
        EXPECT_EQ(frame().statusBar()->currentMessage(), QString::fromUtf8(note));
    }
}

} // namespace
} // namespace zu::test
