// Every dialog and page of zu as the accessibility bus shows it: each
// control has the role of what it is and a name that holds its label, so
// that a screen reader announces the right kind of control by the name the
// user sees. Qt's own dialogs (files, colours, message boxes) are Qt's.

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
#include <QToolButton>

namespace zu::test {
namespace {

// The role each kind of control must have, most derived kind first.
QAccessible::Role expectedRole(const QWidget* w) {
    if (const auto* tool = qobject_cast<const QToolButton*>(w))
        return tool->menu() || tool->popupMode() == QToolButton::InstantPopup
                   ? QAccessible::ButtonMenu
                   : QAccessible::Button;
    const std::pair<const char*, QAccessible::Role> roles[] = {
        {"QRadioButton", QAccessible::RadioButton},
        {"QCheckBox", QAccessible::CheckBox},
        {"QPushButton", QAccessible::Button},
        {"QLineEdit", QAccessible::EditableText},
        {"QComboBox", QAccessible::ComboBox},
        {"QAbstractSpinBox", QAccessible::SpinBox},
        {"QListView", QAccessible::List},
        {"QTabBar", QAccessible::PageTabList},
        {"QTreeView", QAccessible::Tree}};
    for (const auto& [kind, role] : roles)
        if (w->inherits(kind))
            return role;
    return QAccessible::NoRole;
}

// What the user sees as the control's name: its text, or its label's.
QString visibleLabel(const QWidget* w, const QWidget* top) {
    QString text;
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        text = button->text();
    for (const QLabel* label : top->findChildren<QLabel*>())
        if (text.isEmpty() && label->buddy() == w)
            text = label->text();
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(u'&')
        .replace(u'\x01', u'&');
}

// Checks every control below `top`; returns how many, adding what is wrong to `faults`.
int walk(const QWidget* top, const QString& where, QStringList& faults) {
    int controls = 0;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        const QAccessible::Role role = expectedRole(w);
        // The line edit inside a spin box or combo box is part of it.
        if (role == QAccessible::NoRole || !w->isVisibleTo(top->window()) ||
            qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ||
            qobject_cast<QComboBox*>(w->parentWidget()))
            continue;
        ++controls;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        const QString label = visibleLabel(w, top);
        const QString what =
            where + u' ' + QString::fromLatin1(w->metaObject()->className()) + u' ' + label;
        const QString name = a ? a->text(QAccessible::Name) : QString();
        // A combo box on this desktop is named by its choice; what it asks
        // is said by the label it is labelled by.
        const auto labelled = [&] {
            for (const auto& [other, relation] : a->relations(QAccessible::Label))
                if (auto* l = qobject_cast<QLabel*>(other->object()); l && l->buddy() == w)
                    return true;
            return false;
        };
        // A name of its own may say more, never less than what is shown.
        if (!a || a->role() != role || name.isEmpty() ||
            (!name.contains(label) && !(role == QAccessible::ComboBox && labelled())))
            faults << what + QStringLiteral(": role %1, name \"%2\"")
                                 .arg(a ? int(a->role()) : -1)
                                 .arg(name);
        else if (role == QAccessible::RadioButton &&
                 a->state().checked != qobject_cast<QAbstractButton*>(w)->isChecked())
            faults << what + QStringLiteral(": wrong checked state");
        for (int i = 0; a && role == QAccessible::PageTabList && i < a->childCount(); ++i)
            if (a->child(i)->text(QAccessible::Name).isEmpty())
                faults << what + QStringLiteral(": a tab with no name");
    }
    return controls;
}

using Accessibility = AppTest;

TEST_F(Accessibility, EveryControlOfEveryDialogHasItsRoleAndItsLabelAsName) {
    QTest::keyClicks(view(), "<p>x</p>");
    QStringList faults;
    int controls = 0;
    for (const int command :
         {cmd::Options, cmd::GenericForm, cmd::TableTemplate, cmd::Calendar, cmd::Symbols,
          cmd::TagRemove, cmd::TagColor, cmd::AppAbout, cmd::ConvertSite}) {
        // Every page of a sheet, each shown in turn.
        dialogs.then([&](QDialog& dialog) {
            dialog.show();
            auto* sheet = qobject_cast<COptionSheet*>(&dialog);
            for (int i = 0; i < (sheet ? sheet->tabs()->count() : 1); ++i) {
                if (sheet)
                    sheet->tabs()->setCurrentIndex(i);
                settle();
                controls += walk(&dialog, dialog.windowTitle() + QString::number(i), faults);
            }
            return int(QDialog::Rejected);
        });
        frame().onCommand(command);
        settle();
    }
    // Find and Replace stay open beside the text.
    for (const int command : {cmd::EditFind, cmd::EditReplace}) {
        frame().onCommand(command);
        settle();
        ASSERT_NE(FindReplace::instance().dialog(), nullptr);
        controls += walk(FindReplace::instance().dialog(), QStringLiteral("Find"), faults);
        FindReplace::instance().dialog()->close();
    }
    // The main window, with the page check's list below the document:
    // toolbar buttons are named by their tooltips.
    frame().onCommand(cmd::PageCheck);
    settle();
    controls += walk(&frame(), QStringLiteral("Main window"), faults);
    EXPECT_GT(controls, 150);
    EXPECT_EQ(faults.join(u'\n').toStdString(), "");
}

TEST_F(Accessibility, TheBusChecksAColourAsAClickDoesAndSaysWhichIsChecked) {
    dialogs.then([&](QDialog& dialog) {
        const QList<QRadioButton*> colours =
            static_cast<COptionSheet&>(dialog).page(0)->findChildren<QRadioButton*>();
        EXPECT_EQ(colours.size(), 3);
        for (QRadioButton* colour : colours) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(colour);
            a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            for (QRadioButton* each : colours)
                EXPECT_EQ(QAccessible::queryAccessibleInterface(each)->state().checked,
                          each == colour);
            EXPECT_TRUE(colour->isChecked() && a->state().checkable);
        }
        return int(QDialog::Rejected);
    });
    frame().onCommand(cmd::Options);
    settle();
}

} // namespace
} // namespace zu::test
