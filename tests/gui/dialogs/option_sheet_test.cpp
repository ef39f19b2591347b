// The Options sheet as the user drives it from the keyboard and the mouse:
// what OK, Cancel and the tabs do with the settings, the refusals with their
// messages and where they leave the user, the typing limits, the radio group,
// the names a screen reader hears, and the values reaching zu.set and the
// next Tag command.

#include "support/fixture.h"
#include "support/keyboard.h"

#include "core/settings/option_pages.h"
#include "core/settings/settings.h"
#include "gui/dialogs/option_page.h"
#include "gui/dialogs/option_sheet.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace zu::test {
namespace {

class OptionSheet : public AppTest {
protected:
    using User = std::function<void(COptionSheet&)>;

    // Answers the next dialog, which must be the Options sheet: `user`
    // works it while it is up.
    void answerSheet(User user) {
        dialogs.then([user](QDialog& dialog) {
            auto* sheet = qobject_cast<COptionSheet*>(&dialog);
            EXPECT_NE(sheet, nullptr) << "expected the Options sheet";
            if (!sheet)
                return int(QDialog::Rejected);
            EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Pelorinのｵﾌﾟｼｮﾝ"));
            sheet->show();
            QApplication::setActiveWindow(sheet);
            settle();
            user(*sheet);
            return sheet->result();
        });
    }
    // Runs the Options command with `user` working the sheet.
    void runOptions(User user) {
        answerSheet(std::move(user));
        frame().onCommand(cmd::Options);
        settle();
    }

    // Expects the refusal: a warning captioned "zu", answered with OK.
    void expectRefusal() {
        dialogs.then([](QDialog& dialog) {
            auto* box = qobject_cast<QMessageBox*>(&dialog);
            EXPECT_NE(box, nullptr) << "expected a message box";
            if (!box)
                return int(QDialog::Rejected);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("zu"));
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            return int(QMessageBox::Ok);
        });
    }

    static QWidget* focused() { return QApplication::focusWidget(); }
    static void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(focused(), Qt::Key(key), modifiers);
    }

    static int tabOf(OptionPage page) { return static_cast<int>(page); }
    // Chooses the page's tab with the mouse.
    static void clickTab(COptionSheet& sheet, OptionPage page) {
        QTabBar* bar = sheet.tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tabOf(page)).center());
    }
    static QLineEdit* edit(COptionSheet& sheet, OptionPage page, int id) {
        auto* e = qobject_cast<QLineEdit*>(sheet.page(tabOf(page))->control(id));
        EXPECT_NE(e, nullptr) << id;
        return e;
    }
    // Types `text` one character at a time, as the user (or an input
    // method) would; QTest::keyClicks only knows Latin-1.
    static void typeText(QWidget* w, const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
        }
    }
    // Replaces the edit's text by typing.
    static void type(QLineEdit* e, const QString& text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        typeText(e, text);
    }
};

TEST_F(OptionSheet, OkWithoutChangesOnEveryPageLeavesTheSettingsEqual) {
    const Settings before = settings();
    runOptions([](COptionSheet& sheet) {
        for (int i = 1; i < sheet.tabs()->count(); ++i) {
            press(Qt::Key_Tab, Qt::ControlModifier);
            EXPECT_EQ(sheet.tabs()->currentIndex(), i);
        }
        press(Qt::Key_Return);
    });
    EXPECT_EQ(settings(), before);
}

TEST_F(OptionSheet, CancelEscapeAndTheCloseBoxLeaveTheSettingsAfterChanges) {
    const std::pair<const char*, std::function<void(COptionSheet&)>> ways[] = {
        {"Cancel",
         [](COptionSheet& s) {
             QTest::mouseClick(s.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel),
                               Qt::LeftButton);
         }},
        {"Escape", [](COptionSheet&) { press(Qt::Key_Escape); }},
        {"close box", [](COptionSheet& s) { s.close(); }},
    };
    const Settings before = settings();
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        runOptions([&close](COptionSheet& sheet) {
            press(Qt::Key_Up); // Green
            clickTab(sheet, OptionPage::Font);
            type(edit(sheet, OptionPage::Font, 1009), QStringLiteral("6"));
            clickTab(sheet, OptionPage::Form);
            ASSERT_EQ(sheet.tabs()->currentIndex(), tabOf(OptionPage::Form));
            type(edit(sheet, OptionPage::Form, 1015), QStringLiteral("changed"));
            close(sheet);
            EXPECT_FALSE(sheet.isVisible());
        });
        EXPECT_EQ(settings(), before);
    }
}

TEST_F(OptionSheet, OpensOnTheCheckedColourWhichTheArrowKeysMoveRoundTheGroup) {
    runOptions([](COptionSheet& sheet) {
        auto* color = sheet.page(0);
        auto* red = qobject_cast<QRadioButton*>(color->control(1001));
        auto* green = qobject_cast<QRadioButton*>(color->control(1002));
        auto* blue = qobject_cast<QRadioButton*>(color->control(1003));
        EXPECT_EQ(sheet.tabs()->currentIndex(), 0);
        EXPECT_EQ(focused(), blue);
        EXPECT_TRUE(blue->isChecked());

        const struct {
            int key;
            QRadioButton* reached;
        } moves[] = {{Qt::Key_Up, green}, {Qt::Key_Up, red},      {Qt::Key_Up, blue},
                     {Qt::Key_Down, red}, {Qt::Key_Right, green}, {Qt::Key_Left, red}};
        for (const auto& move : moves) {
            press(move.key);
            EXPECT_EQ(focused(), move.reached);
            for (QRadioButton* b : {red, green, blue})
                EXPECT_EQ(b->isChecked(), b == move.reached) << b->text().toStdString();
        }
        // Tab leaves the group and comes back to its checked button.
        press(Qt::Key_Tab);
        EXPECT_NE(focused(), green);
        press(Qt::Key_Backtab);
        EXPECT_EQ(focused(), red);

        QTest::mouseClick(green, Qt::LeftButton);
        QTest::mouseClick(green, Qt::LeftButton); // a second click keeps it
        EXPECT_TRUE(green->isChecked());
        press(Qt::Key_Return);
    });
    EXPECT_EQ(settings().tagColor, 1);
}

TEST_F(OptionSheet, AColourOutsideTheGroupShowsNoneAndSavesMinusOne) {
    settings().tagColor = 7;
    runOptions([](COptionSheet& sheet) {
        for (const int id : {1001, 1002, 1003})
            EXPECT_FALSE(qobject_cast<QRadioButton*>(sheet.page(0)->control(id))->isChecked());
        // With nothing checked the group is entered at its first button.
        EXPECT_EQ(focused(), sheet.page(0)->control(1001));
        press(Qt::Key_Return);
    });
    EXPECT_EQ(settings().tagColor, -1);
}

struct Refusal {
    OptionPage page;
    int control;
    const char* typed;
    const char* message;
};

const Refusal kRefusals[] = {
    {OptionPage::Calendar, 1005, "0", "1 から 12 までの整数を入力してください。"},
    {OptionPage::Calendar, 1005, "13", "1 から 12 までの整数を入力してください。"},
    {OptionPage::Calendar, 1004, "2101", "1900 から 2100 までの整数を入力してください。"},
    {OptionPage::Calendar, 1004, "1899", "1900 から 2100 までの整数を入力してください。"},
    {OptionPage::Calendar, 1007, "801", "0 から 800 までの整数を入力してください。"},
    {OptionPage::Calendar, 1006, "11", "1 から 10 までの整数を入力してください。"},
    {OptionPage::Calendar, 1006, "0", "1 から 10 までの整数を入力してください。"},
    {OptionPage::Font, 1009, "8", "1 から 7 までの整数を入力してください。"},
    {OptionPage::Font, 1009, "abc", "整数を入力してください。"},
    {OptionPage::Font, 1009, "", "整数を入力してください。"},
    {OptionPage::Font, 1009, "3x", "整数を入力してください。"},
    {OptionPage::Table, 1007, "- 2", "整数を入力してください。"},
};

TEST_F(OptionSheet, ARefusedValueIsNamedAndTheUserStaysOnItWithTheTextSelected) {
    const Settings before = settings();
    for (const Refusal& r : kRefusals) {
        SCOPED_TRACE(std::string(r.typed) + " in " + std::to_string(r.control));
        runOptions([this, &r](COptionSheet& sheet) {
            clickTab(sheet, r.page);
            QLineEdit* field = edit(sheet, r.page, r.control);
            type(field, QString::fromUtf8(r.typed));
            // Focus elsewhere, so that the refusal has to bring it back.
            sheet.tabs()->tabBar()->setFocus();
            expectRefusal();
            press(Qt::Key_Return);

            EXPECT_TRUE(sheet.isVisible());
            EXPECT_EQ(sheet.tabs()->currentIndex(), tabOf(r.page));
            EXPECT_EQ(focused(), field);
            EXPECT_EQ(field->text(), QString::fromUtf8(r.typed));
            EXPECT_EQ(field->selectedText(), field->text());
            EXPECT_EQ(field->hasSelectedText(), !field->text().isEmpty());
            press(Qt::Key_Escape);
        });
        ASSERT_FALSE(dialogs.messages().isEmpty());
        EXPECT_EQ(dialogs.messages().last(), QString::fromUtf8(r.message));
        EXPECT_EQ(settings(), before);
    }
}

TEST_F(OptionSheet, TheFirstRefusalInSaveOrderIsTheOneShown) {
    // Month and year are both wrong; the month is checked first although the
    // year comes first on the page.
    runOptions([this](COptionSheet& sheet) {
        clickTab(sheet, OptionPage::Calendar);
        type(edit(sheet, OptionPage::Calendar, 1005), QStringLiteral("13"));
        type(edit(sheet, OptionPage::Calendar, 1004), QStringLiteral("3000"));
        expectRefusal();
        press(Qt::Key_Return);
        EXPECT_EQ(focused(), edit(sheet, OptionPage::Calendar, 1005));
        press(Qt::Key_Escape);
    });
    EXPECT_EQ(dialogs.messages(), QStringList{"1 から 12 までの整数を入力してください。"});
}

TEST_F(OptionSheet, LeavingAPageByItsTabSavesItFirst) {
    runOptions([this](COptionSheet& sheet) {
        clickTab(sheet, OptionPage::Table);
        QLineEdit* columns = edit(sheet, OptionPage::Table, 1006);
        type(columns, QStringLiteral("x"));

        // By the mouse and by Ctrl+Tab: refused, and still on the table page.
        expectRefusal();
        clickTab(sheet, OptionPage::Calendar);
        EXPECT_EQ(sheet.tabs()->currentIndex(), tabOf(OptionPage::Table));
        EXPECT_TRUE(sheet.page(tabOf(OptionPage::Table))->isVisible());
        EXPECT_FALSE(sheet.page(tabOf(OptionPage::Calendar))->isOpened());
        EXPECT_EQ(focused(), columns);
        EXPECT_EQ(columns->selectedText(), QStringLiteral("x"));
        expectRefusal();
        press(Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(sheet.tabs()->currentIndex(), tabOf(OptionPage::Table));

        // Mended, the next page opens with what the settings hold.
        type(columns, QStringLiteral("-5"));
        press(Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(sheet.tabs()->currentIndex(), tabOf(OptionPage::Font));
        EXPECT_EQ(edit(sheet, OptionPage::Font, 1009)->text(), QStringLiteral("3"));
        press(Qt::Key_Return);
    });
    EXPECT_EQ(dialogs.messages(),
              (QStringList{"整数を入力してください。", "整数を入力してください。"}));
    EXPECT_EQ(settings().tableColumns, -5);
}

TEST_F(OptionSheet, BoundsAndAnyTableSizeAreAccepted) {
    const struct {
        OptionPage page;
        int control;
        const char* typed;
        int Settings::*field;
        int value;
    } accepted[] = {
        {OptionPage::Calendar, 1007, "0", &Settings::calendarWidth, 0},
        {OptionPage::Calendar, 1007, "800", &Settings::calendarWidth, 800},
        {OptionPage::Calendar, 1006, "10", &Settings::calendarColumns, 10},
        {OptionPage::Calendar, 1004, " +2100 ", &Settings::calendarYear, 2100},
        {OptionPage::Font, 1009, "7", &Settings::fontSize, 7},
        {OptionPage::Table, 1006, "-3", &Settings::tableColumns, -3},
        {OptionPage::Table, 1007, "0", &Settings::tableRows, 0},
        {OptionPage::Table, 1007, "-2147483648", &Settings::tableRows, -2147483647 - 1},
    };
    for (const auto& a : accepted) {
        SCOPED_TRACE(a.typed);
        runOptions([&a](COptionSheet& sheet) {
            clickTab(sheet, a.page);
            type(edit(sheet, a.page, a.control), QString::fromUtf8(a.typed));
            press(Qt::Key_Return);
            EXPECT_FALSE(sheet.isVisible());
        });
        EXPECT_EQ(settings().*a.field, a.value);
    }
}

TEST_F(OptionSheet, APageNeverOpenedGivesBackWhatItHeld) {
    settings().calendarMonth = 13;
    settings().calendarYear = 3000;
    settings().fontSize = 0;
    settings().fontColor = "#abcdef";
    settings().linkWithDirectory = 7;
    settings().tableColumns = -1;
    const Settings before = settings();
    runOptions([](COptionSheet&) { press(Qt::Key_Return); });
    EXPECT_EQ(settings(), before);

    // Opened, the link page shows 7 unchecked and so saves 0.
    runOptions([](COptionSheet& sheet) {
        clickTab(sheet, OptionPage::Link);
        EXPECT_EQ(qobject_cast<QCheckBox*>(sheet.page(tabOf(OptionPage::Link))->control(1002))
                      ->checkState(),
                  Qt::Unchecked);
        press(Qt::Key_Return);
    });
    EXPECT_EQ(settings().linkWithDirectory, 0);
    EXPECT_EQ(settings().calendarMonth, 13);
}

TEST_F(OptionSheet, AStoredTwoShowsPartlyCheckedAndAClickChecksIt) {
    settings().linkWithAnchor = 2;
    settings().linkWithDirectory = 2;
    runOptions([](COptionSheet& sheet) {
        clickTab(sheet, OptionPage::Link);
        COptionPage* link = sheet.page(tabOf(OptionPage::Link));
        auto* anchor = qobject_cast<QCheckBox*>(link->control(1018));
        EXPECT_EQ(anchor->checkState(), Qt::PartiallyChecked);
        QTest::mouseClick(anchor, Qt::LeftButton);
        EXPECT_EQ(anchor->checkState(), Qt::Checked);
        QTest::mouseClick(anchor, Qt::LeftButton);
        QTest::mouseClick(anchor, Qt::LeftButton);
        EXPECT_EQ(anchor->checkState(), Qt::Checked); // never partial again
        press(Qt::Key_Return);
    });
    EXPECT_EQ(settings().linkWithAnchor, 1);
    EXPECT_EQ(settings().linkWithDirectory, 0); // left partial: not checked
}

TEST_F(OptionSheet, EditsRefuseWhatTheirFieldCannotHold) {
    runOptions([](COptionSheet& sheet) {
        clickTab(sheet, OptionPage::Font);
        // The colour keeps to seven characters, and to seven bytes.
        QLineEdit* color = edit(sheet, OptionPage::Font, 1010);
        type(color, QStringLiteral("#12345678"));
        EXPECT_EQ(color->text(), QStringLiteral("#123456"));
        type(color, QStringLiteral("赤赤赤赤"));
        EXPECT_EQ(color->text(), QStringLiteral("赤赤赤"));
        // A longer paste is cut at the seventh character: the field never
        // holds more than it may.
        color->clear();
        QApplication::clipboard()->setText(QStringLiteral("#1234567890"));
        color->paste();
        EXPECT_EQ(color->text(), QStringLiteral("#123456"));

        // 63 bytes of face; a character CP932 lacks never gets in.
        QLineEdit* face = edit(sheet, OptionPage::Font, 1011);
        type(face, QString(30, QChar(u'書')) + QStringLiteral("abcd"));
        EXPECT_EQ(face->text(), QString(30, QChar(u'書')) + QStringLiteral("abc"));
        type(face, QStringLiteral("Caf\u00e9"));
        EXPECT_EQ(face->text(), QStringLiteral("Caf"));

        // Pasting is held to the same rule: all or nothing.
        clickTab(sheet, OptionPage::Link);
        QLineEdit* mail = edit(sheet, OptionPage::Link, 1005);
        mail->selectAll();
        QApplication::clipboard()->setText(QString(128, QChar(u'm')));
        mail->paste();
        EXPECT_EQ(mail->text(), QStringLiteral("webmaster@example.com"));
        QApplication::clipboard()->setText(QString(127, QChar(u'm')));
        mail->selectAll();
        mail->paste();
        EXPECT_EQ(mail->text(), QString(127, QChar(u'm')));
        press(Qt::Key_Return);
    });
    EXPECT_EQ(settings().fontFace, "Caf");
    EXPECT_EQ(settings().mailAddress, std::string(127, 'm'));
}

TEST_F(OptionSheet, AStoredTextThatDoesNotFitCanStillBeMended) {
    settings().pageTitle = "a\u00e9b" + std::string(130, 'x');
    runOptions([](COptionSheet& sheet) {
        clickTab(sheet, OptionPage::Form);
        QLineEdit* title = edit(sheet, OptionPage::Form, 1015);
        EXPECT_EQ(title->text().toStdString(), settings().pageTitle);
        title->setFocus();
        title->end(false);
        press(Qt::Key_Backspace);
        EXPECT_EQ(title->text().size(), 132);
        // Deleting is allowed; adding to a text that still does not fit is not.
        typeText(title, QStringLiteral("y"));
        EXPECT_EQ(title->text().size(), 132);
        title->undo();
        EXPECT_EQ(title->text().toStdString(), settings().pageTitle);
        type(title, QStringLiteral("mended"));
        EXPECT_EQ(title->text(), QStringLiteral("mended"));
        press(Qt::Key_Return);
    });
    EXPECT_EQ(settings().pageTitle, "mended");
}

// The font page's template order is not its order on the screen: the face,
// at the top, comes third.
TEST_F(OptionSheet, TabFollowsTheTemplateOrder) {
    runOptions([](COptionSheet& sheet) {
        clickTab(sheet, OptionPage::Font);
        COptionPage* font = sheet.page(tabOf(OptionPage::Font));
        font->focusFirstControl();
        for (const int id : {1010, 1011, 1012}) {
            press(Qt::Key_Tab);
            EXPECT_EQ(focused(), font->control(id)) << id;
        }
        press(Qt::Key_Escape);
    });
}

TEST_F(OptionSheet, EveryControlIsNamedByItsLabelOrItsOwnText) {
    runOptions([](COptionSheet& sheet) {
        for (const PageInfo& info : optionPages()) {
            COptionPage* page = sheet.page(tabOf(info.page));
            for (const PageControl& c : info.controls) {
                if (c.id == 0)
                    continue;
                // Buttons are named by their own text, edits by their label.
                std::string_view name = c.text;
                for (const PageControl& l : info.controls)
                    if (c.text.empty() && l.kind == ControlKind::Label && l.buddy == c.id)
                        name = l.text;
                QWidget* w = page->control(c.id);
                ASSERT_NE(w, nullptr) << c.id;
                EXPECT_NE(w->focusPolicy(), Qt::NoFocus) << c.id;
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
                ASSERT_NE(a, nullptr);
                EXPECT_EQ(a->text(QAccessible::Name), ui::qs(name)) << info.className << c.id;
            }
        }
        press(Qt::Key_Escape);
    });
}

TEST_F(OptionSheet, LabelsShowTheirWholeTextBesideOrAboveWhatTheyName) {
    runOptions([](COptionSheet& sheet) {
        for (const PageInfo& info : optionPages()) {
            SCOPED_TRACE(info.className);
            COptionPage* page = sheet.page(tabOf(info.page));
            const QRect area(QPoint(0, 0), page->minimumSize());
            for (const PageControl& c : info.controls) {
                if (QWidget* w = page->control(c.id)) {
                    EXPECT_TRUE(area.contains(w->geometry())) << c.id;
                    // Nothing covers it: a click lands on the control.
                    EXPECT_EQ(page->childAt(w->geometry().center()), w) << c.id;
                }
            }
            auto* box = page->findChild<QGroupBox*>();
            for (const PageControl& c : info.controls) {
                if (c.kind == ControlKind::RadioFirst || c.kind == ControlKind::Radio) {
                    ASSERT_NE(box, nullptr);
                    EXPECT_TRUE(box->geometry().contains(page->control(c.id)->geometry()));
                }
                if (c.kind != ControlKind::Label)
                    continue;
                QLabel* label = nullptr;
                for (QLabel* l : page->findChildren<QLabel*>())
                    if (l->text() == ui::qs(c.text))
                        label = l;
                ASSERT_NE(label, nullptr) << c.text;
                SCOPED_TRACE(label->text().toStdString());
                EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
                QWidget* named = page->control(c.buddy);
                ASSERT_EQ(label->buddy(), named);
                const QRect l = label->geometry(), n = named->geometry();
                const bool beside =
                    l.right() < n.left() && l.top() < n.bottom() && n.top() < l.bottom();
                const bool above = l.bottom() < n.top() && l.left() < n.left();
                EXPECT_TRUE(info.page == OptionPage::Form ? above : beside);
            }
        }
        press(Qt::Key_Escape);
    });
}

TEST_F(OptionSheet, ValuesSetInTheSheetReachZuSetAndTheNextRunsTagCommands) {
    answerSheet([](COptionSheet& sheet) {
        for (int i = 0; i < tabOf(OptionPage::Font); ++i)
            press(Qt::Key_Tab, Qt::ControlModifier);
        type(edit(sheet, OptionPage::Font, 1009), QStringLiteral("5"));
        type(edit(sheet, OptionPage::Font, 1010), QStringLiteral("red"));
        type(edit(sheet, OptionPage::Font, 1011), QStringLiteral("明朝"));
        clickTab(sheet, OptionPage::Link);
        type(edit(sheet, OptionPage::Link, 1005), QStringLiteral("me@example.jp"));
        press(Qt::Key_Return);
    });
    view()->setFocus();
    ASSERT_TRUE(chooseFromMenu(view(), cmd::Options));
    settle();

    app.reset(); // exit: zu.set is written
    const QByteArray written =
        readFile(QString::fromLocal8Bit(qgetenv("ZU_CONFIG_DIR")) + QStringLiteral("/zu.set"));
    const QList<QByteArray> lines = written.split('\n');
    ASSERT_GE(lines.size(), 10);
    EXPECT_EQ(lines[4], "me@example.jp\r");
    EXPECT_EQ(lines[7], "\x96\xbe\x92\xa9\r"); // 明朝 in CP932
    EXPECT_EQ(lines[8], "5\r");
    EXPECT_EQ(lines[9], "red\r");

    // The next run starts from the defaults and reads the file.
    Settings defaults;
    defaults.programPath = settings().programPath;
    defaults.programDirectory = settings().programDirectory;
    settings() = defaults;
    app = std::make_unique<CZuApp>();
    ASSERT_FALSE(app->start({}).has_value());
    const struct {
        int command;
        const char* inserted;
    } tags[] = {
        {32790, "<font FACE=\"明朝\"></font>"},
        {32791, "<font COLOR=red></font>"},
        {32792, "<font SIZE=5></font>"},
        {32810, "<a HREF=\"mailto:me@example.jp\">E-mail</a>"},
    };
    for (const auto& tag : tags) {
        view()->clear();
        frame().onCommand(tag.command);
        EXPECT_EQ(view()->toPlainText(), QString::fromUtf8(tag.inserted));
    }
}

} // namespace
} // namespace zu::test
