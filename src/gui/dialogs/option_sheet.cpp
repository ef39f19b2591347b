#include "gui/dialogs/option_sheet.h"

#include "core/app/commands.h"
#include "core/settings/option_rules.h"
#include "gui/commands/command_registry.h"
#include "gui/dialogs/option_page.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/ui.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zu {

COptionSheet::COptionSheet(QWidget* parent, const QString& caption,
                           std::span<const OptionPage> pages, const Settings& from)
    : QDialog(parent), members_(from), tabs_(new QTabWidget(this)) {
    setWindowTitle(caption);
    // The sheet takes its font from its pages, so that its tabs and buttons
    // match what they frame.
    setFont(COptionPage::pageFont());

    for (const OptionPage page : pages) {
        auto* widget = new COptionPage(page, members_);
        pages_.push_back(widget);
        tabs_->addTab(widget, widget->caption());
    }
    // No page ever reports itself changed, so there is nothing to apply:
    // the sheet has only OK and Cancel.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COptionSheet::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(tabs_, &QTabWidget::currentChanged, this, &COptionSheet::pageChosen);
    if (!pages_.empty()) {
        pages_.front()->open();
        pages_.front()->focusFirstControl();
    }
}

COptionPage* COptionSheet::page(int index) const {
    return index >= 0 && index < static_cast<int>(pages_.size()) ? pages_[index] : nullptr;
}

void COptionSheet::pageChosen(int index) {
    if (switching_)
        return;
    // The page being left must save first. The tab bar has already moved,
    // so it is put back before anything is said: a refusal is shown over
    // the page it concerns, and the user stays there.
    switching_ = true;
    tabs_->setCurrentIndex(shown_);
    const bool saved = page(shown_)->save();
    if (saved) {
        tabs_->setCurrentIndex(index);
        shown_ = index;
        page(index)->open();
    }
    switching_ = false;
}

void COptionSheet::accept() {
    if (COptionPage* top = page(shown_); top && !top->save())
        return;
    QDialog::accept();
}

void COptionSheet::copyInto(Settings& target) const {
    for (const COptionPage* p : pages_)
        copyPageFields(p->page(), members_, target);
}

bool runOptionSheet(QWidget* parent, const QString& caption, std::span<const OptionPage> pages,
                    Settings& target) {
    COptionSheet sheet(parent, caption, pages, target);
    if (ui::exec(sheet) != QDialog::Accepted)
        return false;
    sheet.copyInto(target);
    return true;
}

void registerOptionCommands(HandlerTable<CZuView>& table) {
    table.add(cmd::Options, [](CZuView& view) {
        static constexpr OptionPage kAll[] = {OptionPage::Color, OptionPage::Link,
                                              OptionPage::Table, OptionPage::Font,
                                              OptionPage::Form,  OptionPage::Calendar};
        runOptionSheet(view.window(), ui::qs(kOptionsSheetCaption), kAll, settings());
    });
}

} // namespace zu
