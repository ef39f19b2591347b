#pragma once
// The Options sheet: a modal dialog of tabbed option pages that works on a
// copy of the settings and hands the pages' values back only on OK. The
// Options command shows all six pages; the generic form, the calendar and
// the table template each show one page alone under a caption of their own.

#include "core/settings/option_pages.h"
#include "core/settings/settings.h"

#include <QDialog>

#include <span>
#include <vector>

class QTabWidget;

namespace zu {

class COptionPage;
class CZuView;
template <class Target> class HandlerTable;

// Runs a modal sheet captioned `caption` over `parent`, holding `pages` in
// that order and opening on the first. On OK, the fields of each page are
// copied into `target` (a page the user never opened gives back what it was
// given) and true is returned; on Cancel, Escape or the close box `target`
// is left untouched and false is returned.
bool runOptionSheet(QWidget* parent, const QString& caption, std::span<const OptionPage> pages,
                    Settings& target);

// The Options command: all six pages, editing the settings of the run.
void registerOptionCommands(HandlerTable<CZuView>& table);

class COptionSheet : public QDialog {
    Q_OBJECT
public:
    COptionSheet(QWidget* parent, const QString& caption, std::span<const OptionPage> pages,
                 const Settings& from);

    // Copies the fields of every page of the sheet into `target`.
    void copyInto(Settings& target) const;

    QTabWidget* tabs() const { return tabs_; }
    COptionPage* page(int index) const;

    // OK saves the page on top first and stays open when it refuses.
    void accept() override;

private:
    void pageChosen(int index);

    Settings members_; // the working copy every page edits
    QTabWidget* tabs_;
    std::vector<COptionPage*> pages_;
    int shown_ = 0;          // the page the user is on
    bool switching_ = false; // a tab change made here, not by the user
};

} // namespace zu
