// Typing through an input method: cancelled text the input method keeps,
// the undo step of typing over a selection, where the candidates open.

#include "support/fixture.h"

#include "gui/widgets/composition_guard.h"

#include <QInputMethodEvent>
#include <QLineEdit>

namespace zu::test {
namespace {

void send(QObject* to, const QString& shown, int caret = 0, const QString& commit = {}) {
    QInputMethodEvent event(shown, {{QInputMethodEvent::Cursor, caret, 1}});
    event.setCommitString(commit);
    QCoreApplication::sendEvent(to, &event);
}

TEST(Composition, ACancelledOneIsForgottenBeforeTheFocusMoves) {
    // What Qt's connection to ibus does (seen with Mozc): it keeps the last
    // composition shown, also when the engine hides it as cancelled, and
    // commits it at the next focus change unless told to reset.
    QString kept;
    CompositionGuard guard(nullptr, [&] { kept.clear(); });
    for (const bool cancelled : {true, false}) {
        QLineEdit field;
        send(&field, kept = QStringLiteral("けす"), 2);
        if (cancelled)
            send(&field, {});
        send(&field, {}, 0, kept); // the focus moves
        EXPECT_EQ(field.text(), cancelled ? QString() : QStringLiteral("けす"));
    }
}

TEST_F(AppTest, TypingOverASelectionIsOneUndoStepAndTheCandidatesOpenAtTheStart) {
    const QString line(5000, u'a'), typed = QStringLiteral("選択");
    CZuView* view = app->openFile(writeFile(QStringLiteral("a.htm"), line.toLatin1()))->views()[0];
    for (const long from : {0L, 4090L}) { // the second selection goes across a join
        SCOPED_TRACE(from);
        view->setSelection(from, from + 10);
        // The control's own rectangle with the caret at the composition's
        // start, and at its end: the start of the next row, as the word
        // after it cannot be wrapped earlier.
        send(view, typed);
        const QVariant start = view->QPlainTextEdit::inputMethodQuery(Qt::ImCursorRectangle);
        send(view, typed, 2);
        EXPECT_NE(view->QPlainTextEdit::inputMethodQuery(Qt::ImCursorRectangle), start);
        EXPECT_EQ(view->inputMethodQuery(Qt::ImCursorRectangle).toRectF(), start.toRectF());
        send(view, {}, 0, typed);
        EXPECT_EQ(view->doc()->text().sourceText(), line.left(from) + typed + line.mid(from + 10));
        view->undo();
        EXPECT_EQ(view->doc()->text().sourceText(), line);
        // Cancelled, the selection stays removed; what comes next is a step
        // of its own.
        view->setSelection(from, from + 10);
        send(view, typed);
        send(view, {});
        send(view, {}, 0, typed);
        view->undo();
        EXPECT_EQ(view->doc()->text().sourceText(), line.left(from) + line.mid(from + 10));
        view->undo();
    }
}

} // namespace
} // namespace zu::test
