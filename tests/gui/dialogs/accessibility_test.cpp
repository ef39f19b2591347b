// Every dialog and page of zu as the accessibility bus shows it: each
// control has the role of what it is and a name, its label's text, so that
// a screen reader announces the right kind of control by the name the user
// sees. Qt's own dialogs (files, colours, message boxes) are Qt's.

#include "support/fixture.h"

#include "gui/dialogs/option_page.h"
#include "gui/dialogs/option_sheet.h"
#include "gui/view/find_replace.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

namespace zu::test {
namespace {

// The role each kind of control must have, most derived kind first.
QAccessible::Role expectedRole(const QWidget* w) {
    if (qobject_cast<const QRadioButton*>(w))
        return QAccessible::RadioButton;
    if (qobject_cast<const QCheckBox*>(w))
        return QAccessible::CheckBox;
    if (const auto* tool = qobject_cast<const QToolButton*>(w))
        return tool->menu() || tool->popupMode() == QToolButton::InstantPopup
                   ? QAccessible::ButtonMenu
                   : QAccessible::Button;
    if (qobject_cast<const QPushButton*>(w))
        return QAccessible::Button;
    if (qobject_cast<const QLineEdit*>(w))
        return QAccessible::EditableText;
    if (qobject_cast<const QComboBox*>(w))
        return QAccessible::ComboBox;
    if (qobject_cast<const QAbstractSpinBox*>(w))
        return QAccessible::SpinBox;
    if (qobject_cast<const QListView*>(w))
        return QAccessible::List;
    if (qobject_cast<const QTabBar*>(w))
        return QAccessible::PageTabList;
    return QAccessible::NoRole;
}

QString withoutMnemonic(QString text) {
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(u'&')
        .replace(u'\x01', u'&');
}

// The text the user sees for the control: its own, or its label's.
QString visibleLabel(const QWidget* w, const QWidget* top) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(w);
        button && !button->text().isEmpty())
        return withoutMnemonic(button->text());
    for (const QLabel* label : top->findChildren<QLabel*>())
        if (label->buddy() == w)
            return withoutMnemonic(label->text());
    return {};
}

struct Walked {
    int controls = 0;
    QStringList faults;
};

void walk(const QWidget* top, const QString& where, Walked& walked) {
    for (QWidget* w : top->findChildren<QWidget*>()) {
        const QAccessible::Role role = expectedRole(w);
        if (role == QAccessible::NoRole || !w->isVisibleTo(top->window()))
            continue;
        // The line edit inside a spin box or combo box is part of it.
        if (qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ||
            qobject_cast<QComboBox*>(w->parentWidget()))
            continue;
        ++walked.controls;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        const QString what = where + QStringLiteral(": ") +
                             QString::fromLatin1(w->metaObject()->className()) +
                             QStringLiteral(" ") + visibleLabel(w, top);
        if (!a) {
            walked.faults << what + QStringLiteral(" has no accessible interface");
            continue;
        }
        if (a->role() != role)
            walked.faults << what + QStringLiteral(" has role %1, not %2")
                                        .arg(int(a->role()), 0, 16)
                                        .arg(int(role), 0, 16);
        const QString name = a->text(QAccessible::Name);
        const QString label = visibleLabel(w, top);
        if (name.isEmpty())
            walked.faults << what + QStringLiteral(" has no name");
        // A name of its own may say more, never less than what is shown.
        else if (!label.isEmpty() && !name.contains(label))
            walked.faults << what + QStringLiteral(" is named \"%1\"").arg(name);
        if (role == QAccessible::PageTabList)
            for (int i = 0; i < a->childCount(); ++i)
                if (a->child(i)->text(QAccessible::Name).isEmpty())
                    walked.faults << what + QStringLiteral(" has a tab with no name");
        if (role == QAccessible::RadioButton &&
            a->state().checked != qobject_cast<QAbstractButton*>(w)->isChecked())
            walked.faults << what + QStringLiteral(" says the wrong checked state");
    }
}

class Accessibility : public AppTest {
protected:
    // Runs `command`, walks the dialog it shows (every page of a sheet),
    // then cancels it.
    void walkDialogOf(int command, const QString& where) {
        bool shown = false;
        dialogs.then([&](QDialog& dialog) {
            shown = true;
            dialog.show();
            settle();
            if (auto* sheet = qobject_cast<COptionSheet*>(&dialog)) {
                for (int i = 0; i < sheet->tabs()->count(); ++i) {
                    sheet->tabs()->setCurrentIndex(i);
                    settle();
                    walk(&dialog, where + QStringLiteral(" / ") + sheet->tabs()->tabText(i),
                         walked);
                }
            } else {
                walk(&dialog, where, walked);
            }
            return int(QDialog::Rejected);
        });
        frame().onCommand(command);
        settle();
        EXPECT_TRUE(shown) << where.toStdString();
    }

    Walked walked;
};

TEST_F(Accessibility, EveryControlOfEveryDialogHasItsRoleAndItsLabelAsName) {
    QTest::keyClicks(view(), "<p>x</p>");
    const struct {
        int command;
        const char* where;
    } dialogsOfZu[] = {
        {cmd::Options, "Options"},        {cmd::GenericForm, "Generic form"},
        {cmd::TableTemplate, "Table"},    {cmd::Calendar, "Calendar"},
        {cmd::Symbols, "Symbols"},        {cmd::TagRemove, "Tag removal"},
        {cmd::TagColor, "Tag colouring"}, {cmd::AppAbout, "About"},
    };
    for (const auto& d : dialogsOfZu)
        walkDialogOf(d.command, QString::fromUtf8(d.where));

    // Find and Replace stay open beside the text.
    for (const int command : {cmd::EditFind, cmd::EditReplace}) {
        frame().onCommand(command);
        settle();
        FindDialog* find = FindReplace::instance().dialog();
        ASSERT_NE(find, nullptr);
        walk(find, command == cmd::EditFind ? QStringLiteral("Find") : QStringLiteral("Replace"),
             walked);
        find->close();
        settle();
    }
    // The main window: its toolbar buttons, named by their tooltips.
    walk(&frame(), QStringLiteral("Main window"), walked);

    EXPECT_GT(walked.controls, 150);
    EXPECT_EQ(walked.faults.join(u'\n').toStdString(), "");
}

TEST_F(Accessibility, TheColourChoicesAreRadioButtonsThatSayWhichIsChecked) {
    dialogs.then([&](QDialog& dialog) {
        dialog.show();
        settle();
        auto* sheet = qobject_cast<COptionSheet*>(&dialog);
        EXPECT_NE(sheet, nullptr);
        if (!sheet)
            return int(QDialog::Rejected);
        const QList<QRadioButton*> colours = sheet->page(0)->findChildren<QRadioButton*>();
        EXPECT_EQ(colours.size(), 3);
        for (QRadioButton* colour : colours) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(colour);
            EXPECT_EQ(a->role(), QAccessible::RadioButton);
            EXPECT_TRUE(a->state().checkable);
            // The bus's press checks it, as a click does; the others clear.
            a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            EXPECT_TRUE(colour->isChecked());
            EXPECT_TRUE(a->state().checked);
            for (QRadioButton* other : colours) {
                if (other != colour) {
                    EXPECT_FALSE(QAccessible::queryAccessibleInterface(other)->state().checked);
                }
            }
        }
        return int(QDialog::Rejected);
    });
    frame().onCommand(cmd::Options);
    settle();
}

} // namespace
} // namespace zu::test
