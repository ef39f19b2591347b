// The special-symbols dialog: its grid and focus, and the command that
// inserts the chosen reference, reached from the Tag menu, the toolbar and
// the right-button menu.

#include "support/fixture.h"
#include "support/keyboard.h"

#include "core/settings/settings.h"
#include "core/tags/symbols.h"
#include "gui/dialogs/symbol_dlg.h"

#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include <algorithm>
#include <set>

namespace zu::test {
namespace {

class SymbolDialog : public AppTest {};

// Where each button sits, as the user sees the grid: column and row counted
// from the distinct left and top edges of the buttons.
struct Grid {
    std::map<std::pair<int, int>, int> codeAt; // (column, row) -> code
    std::vector<int> lefts, tops, rights;
};

Grid gridOf(const CSymbolDlg& dialog) {
    Grid grid;
    std::set<int> lefts, tops;
    for (const Symbol& s : symbols()) {
        const QRect r = dialog.symbolButton(s.code)->geometry();
        lefts.insert(r.left());
        tops.insert(r.top());
    }
    grid.lefts.assign(lefts.begin(), lefts.end());
    grid.tops.assign(tops.begin(), tops.end());
    for (const Symbol& s : symbols()) {
        const QRect r = dialog.symbolButton(s.code)->geometry();
        const auto column = std::ranges::find(grid.lefts, r.left()) - grid.lefts.begin();
        const auto row = std::ranges::find(grid.tops, r.top()) - grid.tops.begin();
        grid.codeAt[{int(column), int(row)}] = s.code;
        if (row == 0)
            grid.rights.push_back(r.right());
    }
    return grid;
}

TEST_F(SymbolDialog, TwelveColumnsByEightRowsFilledDownFromTheTopLeft) {
    CSymbolDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("特殊記号"));
    const Grid grid = gridOf(dialog);
    ASSERT_EQ(grid.lefts.size(), 12u);
    ASSERT_EQ(grid.tops.size(), 8u);
    struct Cell {
        int column, row; // from 0, left to right and top to bottom
        int code;        // 0: no button
    } cells[] = {
        {0, 0, 161}, {0, 7, 168}, {1, 0, 169}, {2, 7, 184}, {3, 0, 185}, {3, 6, 191},
        {3, 7, 0},   {4, 0, 192}, {4, 7, 199}, {7, 5, 221}, {8, 0, 224}, {11, 7, 255},
    };
    for (const Cell& c : cells) {
        const auto it = grid.codeAt.find({c.column, c.row});
        EXPECT_EQ(it == grid.codeAt.end() ? 0 : it->second, c.code)
            << "column " << c.column << " row " << c.row;
    }
    EXPECT_EQ(grid.codeAt.size(), 95u);
    EXPECT_EQ(dialog.symbolButton(160), nullptr);
    EXPECT_EQ(dialog.symbolButton(256), nullptr);

    // The signs stand apart from the letters: the gap after the fourth
    // column is wider than any other.
    std::vector<int> gaps;
    for (std::size_t c = 0; c + 1 < grid.lefts.size(); ++c)
        gaps.push_back(grid.lefts[c + 1] - grid.rights[c]);
    EXPECT_EQ(std::ranges::max_element(gaps) - gaps.begin(), 3);
    EXPECT_GT(gaps[3], gaps[2] + 3);

    // Cancel lies below the grid, inside the dialog.
    const QRect cancel = dialog.cancelButton()->geometry();
    EXPECT_EQ(dialog.cancelButton()->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_GT(cancel.top(), dialog.symbolButton(168)->geometry().bottom());
    EXPECT_TRUE(dialog.rect().contains(cancel));
}

TEST_F(SymbolDialog, EveryButtonShowsItsGlyphAndIsNamed) {
    CSymbolDlg dialog;
    for (const Symbol& s : symbols()) {
        SCOPED_TRACE(s.code);
        QPushButton* b = dialog.symbolButton(s.code);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(s.name.data(), qsizetype(s.name.size())));
        EXPECT_EQ(b->accessibleName(), b->toolTip());
        EXPECT_TRUE(b->text().isEmpty()) << "the glyph is the label";
        // Drawn at twice the size, as on a high-density screen: the glyph
        // must leave black ink, and nothing but black or clear.
        const QImage image = b->icon().pixmap(b->iconSize(), 2.0).toImage();
        EXPECT_EQ(image.width(), b->iconSize().width() * 2);
        int ink = 0;
        bool onlyBlack = true;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                ink += c.alpha() > 128;
                onlyBlack &= c.alpha() == 0 || (c.red() == 0 && c.green() == 0 && c.blue() == 0);
            }
        EXPECT_GT(ink, 4);
        EXPECT_TRUE(onlyBlack);
    }
}

TEST_F(SymbolDialog, CancelHasTheFocusAndTabGoesThroughTheSymbolsInCodeOrder) {
    CSymbolDlg dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    settle();
    ASSERT_EQ(QApplication::focusWidget(), dialog.cancelButton());
    for (const Symbol& s : symbols()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), dialog.symbolButton(s.code)) << s.code;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.cancelButton());
    dialog.close();
}

// Answers the dialog by pressing the button of `code`, with the form set to
// `mnemonic` at that moment.
DialogScript::Answer press(int code, int mnemonic) {
    return [code, mnemonic](QDialog& dialog) {
        auto* symbolDialog = qobject_cast<CSymbolDlg*>(&dialog);
        EXPECT_NE(symbolDialog, nullptr) << dialog.windowTitle().toStdString();
        if (!symbolDialog)
            return int(QDialog::Rejected);
        settings().entityMnemonic = mnemonic;
        symbolDialog->symbolButton(code)->click();
        return symbolDialog->result();
    };
}

TEST_F(SymbolDialog, TheReferenceGoesInFrontOfTheSelectionInTheFormOfTheMoment) {
    struct Case {
        const char* name;
        int code, mnemonic;
        QString text;
        int from, to;
        QString expected;
    } cases[] = {
        {"named at the caret", 161, 1, "", 0, 0, "&iexcl;"},
        {"numeric at the caret", 161, 0, "", 0, 0, "&#161;"},
        {"bottom right, named", 255, 1, "xy", 1, 1, "x&yuml;y"},
        {"bottom right, numeric", 255, 0, "", 0, 0, "&#255;"},
        {"in front of a selection", 198, 1, "abc", 0, 3, "&AElig;abc"},
        {"selected backwards", 230, 1, "-abc-", 4, 1, "-&aelig;abc-"},
        {"thorn", 222, 1, "", 0, 0, "&THORN;"},
        {"soft hyphen", 173, 1, "", 0, 0, "&shy;"},
        {"divide, numeric", 247, 0, "", 0, 0, "&#247;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view()->setPlainText(c.text);
        view()->setSelection(c.from, c.to);
        doc()->text().setModified(false);
        view()->setFocus();
        dialogs.then(press(c.code, c.mnemonic));
        ASSERT_TRUE(chooseFromMenu(view(), cmd::Symbols));
        EXPECT_EQ(view()->toPlainText(), c.expected);
        const int start = std::min(c.from, c.to);
        EXPECT_EQ(view()->selection(), (EditBuffer::Range{start, start}));
        EXPECT_TRUE(doc()->text().isModified());
        frame().onCommand(cmd::EditUndo);
        EXPECT_EQ(view()->toPlainText(), c.text) << "one step to undo";
    }
}

TEST_F(SymbolDialog, AChangedFormTakesEffectWithTheNextSymbol) {
    // Each opening reads the option as the button is pressed, so the same
    // button gives the other form once the option has changed.
    settings().entityMnemonic = 1;
    dialogs.then([](QDialog& dialog) {
        static_cast<CSymbolDlg&>(dialog).symbolButton(208)->click();
        return dialog.result();
    });
    frame().onCommand(cmd::Symbols);
    settings().entityMnemonic = 0;
    dialogs.then([](QDialog& dialog) {
        static_cast<CSymbolDlg&>(dialog).symbolButton(208)->click();
        return dialog.result();
    });
    frame().onCommand(cmd::Symbols);
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("&#208;&ETH;"));
}

TEST_F(SymbolDialog, KeyboardAloneChoosesFromTheToolbarAndTheRightButtonMenu) {
    // From the toolbar: Tab from Cancel to the first symbol, Space presses it.
    dialogs.then([](QDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        return dialog.result();
    });
    frame().action(cmd::Symbols)->trigger();
    settle();
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("&iexcl;"));

    // From the right-button menu: Return presses the button with the focus.
    CZuView::setMenuHook([](QMenu& menu, const QPoint&) -> QAction* {
        for (QAction* a : menu.actions())
            if (a->text() == QStringLiteral("特殊記号"))
                return a;
        return nullptr;
    });
    dialogs.then([](QDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        return dialog.result();
    });
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                            view()->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(view()->viewport(), &event);
    CZuView::setMenuHook({});
    settle();
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("&cent;&iexcl;"));
}

TEST_F(SymbolDialog, CancelReturnEscapeAndTheCloseBoxInsertNothing) {
    const std::function<void(QDialog&)> ways[] = {
        [](QDialog& d) {
            // Return presses Cancel, which has the focus.
            d.show();
            QApplication::setActiveWindow(&d);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            EXPECT_FALSE(d.isVisible());
        },
        [](QDialog& d) { static_cast<CSymbolDlg&>(d).cancelButton()->click(); },
        [](QDialog& d) {
            d.show();
            QApplication::setActiveWindow(&d);
            QTest::keyClick(&d, Qt::Key_Escape);
            EXPECT_FALSE(d.isVisible());
        },
        [](QDialog& d) {
            d.show();
            d.close();
        },
    };
    view()->setPlainText(QStringLiteral("abc"));
    view()->setSelection(1, 2);
    doc()->text().setModified(false);
    for (const auto& way : ways) {
        dialogs.then([&way](QDialog& dialog) {
            way(dialog);
            return dialog.result();
        });
        QApplication::setActiveWindow(&frame());
        view()->setFocus();
        ASSERT_TRUE(chooseFromMenu(view(), cmd::Symbols));
        EXPECT_EQ(view()->toPlainText(), QStringLiteral("abc"));
        EXPECT_FALSE(doc()->text().isModified());
        EXPECT_EQ(view()->selection(), (EditBuffer::Range{1, 2}));
    }
}

} // namespace
} // namespace zu::test
