#include "support/keyboard.h"

#include "core/app/menus.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace zu::test {
namespace {

struct Step {
    std::span<const MenuNode> siblings;
    std::size_t index;
};

bool findPath(std::span<const MenuNode> nodes, int id, std::vector<Step>& path) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const MenuNode& n = nodes[i];
        path.push_back({nodes, i});
        if (n.kind == MenuNode::Kind::Command && n.id == id)
            return true;
        if (n.kind == MenuNode::Kind::Popup && findPath(n.children, id, path))
            return true;
        path.pop_back();
    }
    return false;
}

// The letter after "&", upper-cased; 0 when the label has none.
char mnemonic(std::string_view label) {
    const auto at = label.find('&');
    if (at == std::string_view::npos || at + 1 >= label.size())
        return 0;
    const char c = label[at + 1];
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

Qt::Key keyFor(char letter) {
    return Qt::Key(Qt::Key_A + (letter - 'A'));
}

void settle() {
    for (int i = 0; i < 2; ++i)
        QCoreApplication::processEvents();
}

} // namespace

bool chooseFromMenu(QWidget* focus, int id) {
    std::vector<Step> path;
    if (!findPath(documentMenu(), id, path)) {
        ADD_FAILURE() << "command " << id << " is in no menu";
        return false;
    }
    // The menu bar's title: Alt and its letter.
    const char top = mnemonic(path[0].siblings[path[0].index].label);
    QTest::keyClick(focus, keyFor(top), Qt::AltModifier);
    settle();
    for (std::size_t level = 1; level < path.size(); ++level) {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            ADD_FAILURE() << "no menu open at level " << level << " for " << id;
            return false;
        }
        const Step& step = path[level];
        const MenuNode& target = step.siblings[step.index];
        const char letter = mnemonic(target.label);
        if (letter) {
            int clash = 0;
            for (const MenuNode& sibling : step.siblings)
                clash += mnemonic(sibling.label) == letter;
            if (clash == 1) {
                QTest::keyClick(menu, keyFor(letter));
            } else {
                // A shared letter moves the highlight to the next item that
                // carries it, from wherever the highlight stands (a menu
                // opened from the keyboard starts on its first item); Return
                // then chooses.
                const QString label =
                    QString::fromUtf8(target.label.data(), qsizetype(target.label.size()));
                for (int press = 0; press < clash; ++press) {
                    QTest::keyClick(menu, keyFor(letter));
                    if (menu->activeAction() && menu->activeAction()->text() == label)
                        break;
                }
                // A submenu opens with the arrow key (Qt may have shown it on
                // the highlight, but only the key makes it take the keys); a
                // command runs with Return.
                QTest::keyClick(menu, target.kind == MenuNode::Kind::Popup ? Qt::Key_Right
                                                                           : Qt::Key_Return);
            }
        } else {
            // No letter: arrow down from wherever the highlight stands.
            QList<QAction*> items;
            for (QAction* a : menu->actions())
                if (!a->isSeparator() && a->isVisible())
                    items << a;
            int wanted = 0;
            for (std::size_t i = 0; i < step.index; ++i)
                wanted += step.siblings[i].kind != MenuNode::Kind::Separator;
            const int now = items.indexOf(menu->activeAction());
            for (int press = now; press < wanted; ++press)
                QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        }
        settle();
    }
    if (QApplication::activePopupWidget()) {
        ADD_FAILURE() << "a menu stayed open after choosing " << id;
        QApplication::activePopupWidget()->close();
        return false;
    }
    return true;
}

} // namespace zu::test
