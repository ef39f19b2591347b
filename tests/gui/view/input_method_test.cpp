// Typing through an input method: what a composition leaves in the text
// when it is committed or cancelled, its undo step, and where the input
// method is told to open its candidates.

#include "support/fixture.h"

#include "core/settings/option_pages.h"
#include "core/settings/settings.h"
#include "gui/dialogs/option_sheet.h"
#include "gui/widgets/composition_guard.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextCharFormat>

namespace zu::test {
namespace {

using Attribute = QInputMethodEvent::Attribute;

// An input method as Qt's connection to ibus behaves towards a control
// (watched with Mozc): the composition shown is kept; hiding a cancelled
// one keeps it too, and a focus change commits what is kept; a reset
// forgets it.
class KeepingInputMethod {
public:
    enum Step { Compose, Hide, Commit, FocusMoves };

    void run(QObject* to, Step step, const QString& text = {}, int cursor = -1) {
        QList<Attribute> shown;
        if (step == Compose) {
            shown = {
                Attribute(QInputMethodEvent::TextFormat, 0, int(text.size()), QTextCharFormat()),
                Attribute(QInputMethodEvent::Cursor, cursor < 0 ? int(text.size()) : cursor, 1)};
            kept_ = text;
        }
        QInputMethodEvent event(step == Compose ? text : QString(), shown);
        if (step == Commit || step == FocusMoves) {
            if (step == FocusMoves && kept_.isEmpty())
                return;
            event.setCommitString(step == Commit ? text : kept_);
            kept_.clear();
        }
        QCoreApplication::sendEvent(to, &event);
    }
    void reset() { kept_.clear(); }

private:
    QString kept_;
};

struct Step {
    KeepingInputMethod::Step step;
    const char16_t* text = u"";
};

using S = KeepingInputMethod;
const struct {
    const char* name;
    std::vector<Step> steps;
    const char16_t* typed;
} kCompositions[] = {
    {"cancelled, then the focus moves",
     {{S::Compose, u"け"}, {S::Compose, u"けす"}, {S::Hide}, {S::FocusMoves}},
     u""},
    {"committed, hidden, then the focus moves",
     {{S::Compose, u"けす"}, {S::Commit, u"消す"}, {S::Hide}, {S::FocusMoves}},
     u"消す"},
    {"still composing when the focus moves", {{S::Compose, u"けす"}, {S::FocusMoves}}, u"けす"},
    {"cancelled, then another committed",
     {{S::Compose, u"けす"}, {S::Hide}, {S::Compose, u"あ"}, {S::Commit, u"あ"}, {S::FocusMoves}},
     u"あ"},
};

std::string text(const CZuView* view) {
    return view->doc()->sourceText().replace(QChar::ParagraphSeparator, u'\n').toStdString();
}

// The rectangle an input method asks the view for.
QRectF asked(CZuView* view) {
    QInputMethodQueryEvent query(Qt::ImCursorRectangle);
    QCoreApplication::sendEvent(view, &query);
    return query.value(Qt::ImCursorRectangle).toRectF();
}

class InputMethod : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        guard = std::make_unique<CompositionGuard>(nullptr, [this] { ime.reset(); });
    }
    void TearDown() override {
        guard.reset();
        AppTest::TearDown();
    }
    CZuView* open(const QByteArray& bytes) {
        CZuDoc* d = app->openFile(writeFile(QStringLiteral("page%1.htm").arg(++count), bytes));
        settle();
        return d ? d->views().front() : nullptr;
    }
    void compose(CZuView* view, const QString& text, int cursor) {
        ime.run(view, S::Compose, text, cursor);
    }

    KeepingInputMethod ime;
    std::unique_ptr<CompositionGuard> guard;
    int count = 0;
};

TEST_F(InputMethod, ACancelledCompositionNeverReachesTheTextNorAField) {
    for (const auto& row : kCompositions) {
        SCOPED_TRACE(row.name);
        CZuView* view = open("<p>\r\n");
        ASSERT_TRUE(view);
        view->setSelection(3, 3);
        for (const Step& s : row.steps)
            ime.run(view, s.step, QString::fromUtf16(s.text));
        EXPECT_EQ(text(view), ("<p>" + QString::fromUtf16(row.typed) + "\n").toStdString());

        // The page title field of the Options sheet, and what zu.set gets.
        dialogs.then([&](QDialog& dialog) {
            auto& sheet = static_cast<COptionSheet&>(dialog);
            sheet.tabs()->setCurrentIndex(static_cast<int>(OptionPage::Form));
            QLineEdit* title = nullptr;
            for (QLineEdit* field : sheet.tabs()->currentWidget()->findChildren<QLineEdit*>())
                if (field->text() == QStringLiteral("title"))
                    title = field;
            EXPECT_TRUE(title);
            if (!title)
                return int(QDialog::Rejected);
            title->end(false);
            for (const Step& s : row.steps)
                ime.run(title, s.step, QString::fromUtf16(s.text));
            sheet.accept();
            return sheet.result();
        });
        frame().onCommand(cmd::Options);
        settle();
        EXPECT_EQ(settings().pageTitle, "title" + QString::fromUtf16(row.typed).toStdString());
        settings().pageTitle = "title";
    }
}

TEST_F(InputMethod, TypingOverASelectionIsOneUndoStepAlsoAcrossAJoin) {
    const QString longLine(5000, u'a');
    const struct {
        const char* name;
        QByteArray file;
        long from, to; // the selection
        QString before, after;
    } rows[] = {
        {"a word", "\x83\x65\x83\x58\x83\x67\r\nline2\r\n", 0, 3, QStringLiteral("テスト\nline2\n"),
         QStringLiteral("選択\nline2\n")},
        {"across a join", longLine.toLatin1() + "\r\n", 4090, 4100, longLine + u'\n',
         longLine.left(4090) + QStringLiteral("選択") + longLine.mid(4100) + u'\n'},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CZuView* view = open(row.file);
        ASSERT_TRUE(view);
        const auto typeOver = [&](bool commit) {
            view->setSelection(row.from, row.to);
            compose(view, QStringLiteral("せ"), -1);
            compose(view, QStringLiteral("せんたく"), -1);
            compose(view, QStringLiteral("選択"), 0);
            if (commit)
                ime.run(view, S::Commit, QStringLiteral("選択"));
            ime.run(view, S::Hide);
        };
        typeOver(true);
        EXPECT_EQ(text(view), row.after.toStdString());
        view->undo();
        EXPECT_EQ(text(view), row.before.toStdString());
        // A composition cancelled over a selection leaves it removed; what
        // the next one commits is a step of its own.
        const auto typeAt = [&](long at) {
            view->setSelection(at, at);
            compose(view, QStringLiteral("を"), -1);
            ime.run(view, S::Commit, QStringLiteral("を"));
            view->undo();
        };
        typeOver(false);
        const QString removed = row.before.left(row.from) + row.before.mid(row.to);
        typeAt(row.from);
        EXPECT_EQ(text(view), removed.toStdString());
        view->undo();
        EXPECT_EQ(text(view), row.before.toStdString());
        typeOver(true);
        typeAt(row.from + 2);
        EXPECT_EQ(text(view), row.after.toStdString());
    }
}

TEST_F(InputMethod, TheCandidatesOpenAtTheStartOfTheComposition) {
    // Where the text after the composition cannot be wrapped earlier, the
    // control's caret at the composition's end is the start of the next
    // row: a long word after it, or the pieces of a long line that typing
    // over a selection across their join made one.
    const struct {
        const char* name;
        QByteArray file;
        long from, to;
    } rows[] = {
        {"before a long word", "ab " + QByteArray(2000, 'c') + "\r\n", 3, 3},
        {"over a selection across a join", QByteArray(5000, 'a') + "\r\n", 4090, 4100},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CZuView* view = open(row.file);
        ASSERT_TRUE(view);
        view->setSelection(row.from, row.to);
        // The control's own answer for the composition's start is the one
        // with the composition's caret there.
        compose(view, QStringLiteral("せんたく"), 0);
        const QRectF start =
            view->QPlainTextEdit::inputMethodQuery(Qt::ImCursorRectangle).toRectF();
        compose(view, QStringLiteral("せんたく"), -1);
        EXPECT_NE(view->QPlainTextEdit::inputMethodQuery(Qt::ImCursorRectangle).toRectF(), start)
            << "the caret at the end of the composition is not where it starts";
        EXPECT_EQ(asked(view), start);
        ime.run(view, S::Commit, QStringLiteral("選択"));
        EXPECT_NE(asked(view), start) << "without a composition, the caret";
    }
}

} // namespace
} // namespace zu::test
