// The Tag menu as a user drives it: every command chosen from the keyboard
// wraps the selection, leaves the caret in front of what it inserted, can be
// undone in one step, and the document then saves as the exact bytes.

#include "support/fixture.h"
#include "support/keyboard.h"

#include "core/settings/settings.h"
#include "core/tags/tag_commands.h"
#include "core/text/document_text.h"
#include "core/text/utf.h"

#include <QTest>
#include <QTextDocument>

namespace zu::test {
namespace {

class TagMenu : public AppTest {};

QString expectedText(const Fragment& f, const QString& selected) {
    QString s = QString::fromStdString(f.open) + selected + QString::fromStdString(f.close);
    return s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

TEST_F(TagMenu, EveryCommandFromTheKeyboardWrapsTheSelectionAndSavesItsBytes) {
    const QString selected = QStringLiteral("日本語");
    int n = 0;
    for (const TagCommand& command : tagCommands()) {
        SCOPED_TRACE(command.id);
        CZuView* v = view();
        ASSERT_NE(v, nullptr);
        v->setPlainText(selected);
        v->setSelection(3, 0); // made backwards: it must not matter
        v->setFocus();

        ASSERT_TRUE(chooseFromMenu(v, command.id));

        const Fragment fragment = tagFragment(command, settings());
        EXPECT_EQ(v->toPlainText(), expectedText(fragment, selected));
        EXPECT_EQ(v->selection(), (EditBuffer::Range{0, 0}));

        // Saved, the text is the CP932 bytes with the document's CR LF.
        const QString file = path(QStringLiteral("tag%1.htm").arg(++n));
        dialogs.thenSaveAs(file);
        frame().onCommand(cmd::FileSave);
        const std::u16string text =
            utf8ToUtf16(fragment.open + selected.toStdString() + fragment.close);
        EXPECT_EQ(readFile(file).toStdString(), encodeDocument(text, LineBreak::CrLf).bytes);

        // One Undo takes the whole insertion back.
        frame().onCommand(cmd::EditUndo);
        EXPECT_EQ(v->toPlainText(), selected);

        // Start the next command with a new, unsaved document.
        doc()->text().setModified(false);
        frame().onCommand(cmd::FileClose);
        frame().onCommand(cmd::FileNew);
        settle();
    }
}

TEST_F(TagMenu, SharedLetterMovesBetweenItemsAndReturnChooses) {
    // In 文字装飾 both 太字 and 下付き carry B: one press highlights 太字,
    // a second moves on to 下付き, Return chooses it.
    view()->setFocus();
    QTest::keyClick(view(), Qt::Key_T, Qt::AltModifier);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_E);
    QWidget* decoration = QApplication::activePopupWidget();
    QTest::keyClick(decoration, Qt::Key_B);
    EXPECT_EQ(view()->toPlainText(), QString()) << "a shared letter must not choose";
    QTest::keyClick(decoration, Qt::Key_B);
    QTest::keyClick(decoration, Qt::Key_Return);
    settle();
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("<sub></sub>\n"));
}

TEST_F(TagMenu, SettingsValuesAreReadWhenTheCommandRuns) {
    Settings saved = settings();
    settings().fontSize = -2;
    settings().fontFace = "a\"b";
    view()->setFocus();
    ASSERT_TRUE(chooseFromMenu(view(), 32792));
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("<font SIZE=-2></font>"));
    view()->setPlainText(QString());
    ASSERT_TRUE(chooseFromMenu(view(), 32790));
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("<font FACE=\"a\"b\"></font>"));
    settings() = saved;
}

} // namespace
} // namespace zu::test
