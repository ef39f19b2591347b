// The three assistants that ask in a one-page sheet: the generic form, the
// table template and the calendar. OK stores the page's values before the
// fragment is built; Cancel inserts nothing and changes nothing.

#include "support/fixture.h"
#include "support/keyboard.h"

#include "core/settings/settings.h"
#include "gui/dialogs/option_page.h"
#include "gui/dialogs/option_sheet.h"

#include <QLineEdit>
#include <QTest>

#include <functional>

namespace zu::test {
namespace {

class AssistantSheet : public AppTest {
protected:
    using Fields = std::vector<std::pair<int, QString>>;

    // Answers the next sheet: checks its caption, fills `fields` of its one
    // page and presses OK (or Cancel).
    void answer(const QString& caption, Fields fields, bool ok = true) {
        dialogs.then([caption, fields, ok](QDialog& dialog) {
            auto* sheet = qobject_cast<COptionSheet*>(&dialog);
            EXPECT_NE(sheet, nullptr) << "expected a sheet";
            if (!sheet)
                return int(QDialog::Rejected);
            EXPECT_EQ(sheet->windowTitle(), caption);
            EXPECT_EQ(sheet->tabs()->count(), 1);
            sheet->show();
            settle();
            for (const auto& [id, text] : fields) {
                auto* edit = qobject_cast<QLineEdit*>(sheet->page(0)->control(id));
                EXPECT_NE(edit, nullptr) << id;
                if (edit)
                    edit->setText(text);
            }
            if (ok)
                sheet->accept();
            else
                sheet->reject();
            return sheet->result();
        });
    }

    QString run(int id, const QString& text, int from, int to) {
        view()->setPlainText(text);
        view()->setSelection(from, to);
        // The sheet of an earlier run was the active window while it was up.
        QApplication::setActiveWindow(&frame());
        view()->setFocus();
        EXPECT_TRUE(chooseFromMenu(view(), id));
        settle();
        return view()->toPlainText();
    }
};

const QString kFormOpen =
    QStringLiteral("<html>\n<head>\n<meta NAME=\"GENERATOR\" Content=\"ZO 2.00\">\n"
                   "<meta HTTP-EQUIV=\"Content-Type\" content=\"text/html; charset=x-sjis\">\n"
                   "<title>title</title>\n</head>\n"
                   "<body BGCOLOR=#ffffff LINK=#ff0000 VLINK=#0000ff ALINK=#000000>\n"
                   "<font FACE=\"ＭＳ Ｐゴシック\" SIZE=3>\n\n");
const QString kFormClose = QStringLiteral("\n\n</font>\n</body>\n</html>\n");

TEST_F(AssistantSheet, GenericFormWithTheDefaultsPutsTheCaretWhereTheContentGoes) {
    answer(QStringLiteral("汎用ﾌｫｰﾑの挿入"), {});
    EXPECT_EQ(run(cmd::GenericForm, QString(), 0, 0), kFormOpen + kFormClose);
    // The start of the second of the three empty lines.
    EXPECT_EQ(view()->selection(), (EditBuffer::Range{249, 249}));

    // Saved, the open text is the 265 bytes the page always had.
    dialogs.thenSaveAs(path(QStringLiteral("form.htm")));
    frame().onCommand(cmd::FileSave);
    const QByteArray bytes = readFile(path(QStringLiteral("form.htm")));
    EXPECT_EQ(bytes.left(265).right(5), QByteArray(">\r\n\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\n\r\n</font>\r\n</body>\r\n</html>\r\n"));
}

TEST_F(AssistantSheet, GenericFormAroundASelectionInTheMiddleOfAText) {
    answer(QStringLiteral("汎用ﾌｫｰﾑの挿入"), {{1015, QStringLiteral("My page")}, {1016, {}}});
    const QString result = run(cmd::GenericForm, QStringLiteral("abHellocd"), 2, 7);
    QString open = kFormOpen;
    open.replace(QStringLiteral("<title>title</title>"), QStringLiteral("<title>My page</title>"));
    open.replace(QStringLiteral("<body BGCOLOR=#ffffff LINK=#ff0000 VLINK=#0000ff ALINK=#000000>"),
                 QStringLiteral("<body>"));
    EXPECT_EQ(result, QStringLiteral("ab") + open + QStringLiteral("Hello") + kFormClose +
                          QStringLiteral("cd"));
    // The end of the open text, in front of the former selection.
    const long caret = 2 + static_cast<long>(open.size());
    EXPECT_EQ(view()->selection(), (EditBuffer::Range{caret, caret}));
    EXPECT_EQ(result.mid(caret, 5), QStringLiteral("Hello"));
    // OK kept what was entered.
    EXPECT_EQ(settings().pageTitle, "My page");
    EXPECT_EQ(settings().bodyOptions, "");
}

TEST_F(AssistantSheet, CancelInsertsNothingAndKeepsTheSettings) {
    const Settings before = settings();
    const struct {
        int id;
        QString caption;
        Fields fields;
    } cases[] = {
        {cmd::GenericForm, QStringLiteral("汎用ﾌｫｰﾑの挿入"), {{1015, QStringLiteral("new")}}},
        {cmd::TableTemplate, QStringLiteral("ﾃｰﾌﾞﾙﾃﾝﾌﾟﾚｰﾄの挿入"), {{1006, QStringLiteral("9")}}},
        {cmd::Calendar, QStringLiteral("ｶﾚﾝﾀﾞｰの作成"), {{1005, QStringLiteral("7")}}},
    };
    for (const auto& c : cases) {
        answer(c.caption, c.fields, false);
        EXPECT_EQ(run(c.id, QStringLiteral("keep"), 0, 4), QStringLiteral("keep")) << c.id;
        EXPECT_EQ(settings(), before) << c.id;
    }
}

TEST_F(AssistantSheet, TableTemplateFromTheSheetsCounts) {
    const QString cell = QStringLiteral("<td>　</td>\n");
    const QString row = QStringLiteral("<tr>\n") + cell + cell + cell + QStringLiteral("</tr>\n");
    answer(QStringLiteral("ﾃｰﾌﾞﾙﾃﾝﾌﾟﾚｰﾄの挿入"),
           {{1006, QStringLiteral("3")}, {1007, QStringLiteral("2")}});
    EXPECT_EQ(run(cmd::TableTemplate, QStringLiteral("X"), 0, 1),
              QStringLiteral("<table BORDER=1 BGCOLOR=#ffffff>\n") + row + row +
                  QStringLiteral("</table>X\n"));
    EXPECT_EQ(settings().tableColumns, 3);
    EXPECT_EQ(settings().tableRows, 2);

    answer(QStringLiteral("ﾃｰﾌﾞﾙﾃﾝﾌﾟﾚｰﾄの挿入"),
           {{1006, QStringLiteral("-1")}, {1007, QStringLiteral("2")}});
    EXPECT_EQ(
        run(cmd::TableTemplate, QString(), 0, 0),
        QStringLiteral("<table BORDER=1 BGCOLOR=#ffffff>\n<tr>\n</tr>\n<tr>\n</tr>\n</table>\n"));
}

TEST_F(AssistantSheet, ATableTooLargeToBuildIsRefusedAndNothingIsInserted) {
    answer(QStringLiteral("ﾃｰﾌﾞﾙﾃﾝﾌﾟﾚｰﾄの挿入"),
           {{1006, QStringLiteral("1000")}, {1007, QStringLiteral("1000")}});
    dialogs.thenMessage(QMessageBox::Ok);
    EXPECT_EQ(run(cmd::TableTemplate, QStringLiteral("keep"), 0, 0), QStringLiteral("keep"));
    EXPECT_EQ(dialogs.messages().last(),
              QStringLiteral("ﾃｰﾌﾞﾙが大きすぎます。行数と列数の積は 100000 以下にしてください。"));
    // The counts were entered with OK; they stay, as any value would.
    EXPECT_EQ(settings().tableRows, 1000);
}

TEST_F(AssistantSheet, CalendarFromTheSheetsValues) {
    answer(QStringLiteral("ｶﾚﾝﾀﾞｰの作成"), {});
    const QString page = run(cmd::Calendar, QStringLiteral("S"), 0, 1);
    EXPECT_TRUE(page.contains(
        QStringLiteral("\n<tr><th>Date</th><th>Day</th><th WIDTH=400>Title</th></tr>\n")));
    EXPECT_TRUE(page.contains(
        QStringLiteral("\n<tr><th>1</th><td BGCOLOR=#ffffff>Thu</td><td>　</td></tr>\n")));
    EXPECT_EQ(page.count(QStringLiteral("<tr><th>")), 1 + 31) << "the header and a row a day";
    EXPECT_TRUE(page.endsWith(QStringLiteral("</font></body>\nS</html>\n")));

    answer(QStringLiteral("ｶﾚﾝﾀﾞｰの作成"), {{1004, QStringLiteral("2100")},
                                            {1005, QStringLiteral("2")},
                                            {1006, QStringLiteral("2")},
                                            {1007, QStringLiteral("200")}});
    const QString february = run(cmd::Calendar, QString(), 0, 0);
    EXPECT_TRUE(february.contains(QStringLiteral("<center><h1>2100/2</h1></center>")));
    EXPECT_EQ(february.count(QStringLiteral("<tr>\n<th>")), 1 + 28) << "2100 is no leap year";
    EXPECT_EQ(settings().calendarYear, 2100);
    EXPECT_EQ(settings().calendarColumns, 2);
}

} // namespace
} // namespace zu::test
