#pragma once
// One page of the Options dialog, built from the core's table of its
// controls: CPageColor, CPageLink, CPageTable, CPageFont, CPageForm and
// CPageCalendar are all this class, told apart by their table (and named
// after it, as objectName). The page shows and collects; what a value
// means and whether it is refused is decided by the core's page rules.

#include "core/settings/option_pages.h"

#include <QFont>
#include <QWidget>

#include <map>
#include <vector>

class QAbstractButton;
class QLabel;

namespace zu {

struct Settings;

class COptionPage : public QWidget {
    Q_OBJECT
public:
    // `members` is the sheet's working copy of the settings; the page reads
    // its fields when first opened and writes them when saved.
    COptionPage(OptionPage page, Settings& members, QWidget* parent = nullptr);

    OptionPage page() const { return info_.page; }
    QString caption() const;

    // Shows the members in the controls, the first time only: a page the
    // user never opens never touches its members.
    void open();
    bool isOpened() const { return opened_; }

    // Stores the controls into the members. On a refused value the user is
    // told, the offending edit gets the focus with its text selected, and
    // false is returned so that the caller stays on this page.
    bool save();

    // Gives the focus to the first control the Tab key would reach.
    void focusFirstControl();

    // The control with the template's id, or null.
    QWidget* control(int id) const;

    // The font every page template is drawn in, with fallbacks that have
    // the Japanese glyphs when the template's own face is missing.
    static QFont pageFont();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class FieldValidator;

    QRect toPixels(const DialogRect& rect) const;
    // Returns the label made for a Label row, else null.
    QLabel* addControl(const PageControl& control);
    void updateTabStops(const std::vector<QAbstractButton*>& group);
    std::vector<QAbstractButton*>* groupOf(QObject* button);

    const PageInfo& info_;
    Settings& members_;
    bool opened_ = false;
    int baseX_ = 0, baseY_ = 0; // dialog base units of the page font, in pixels
    std::map<int, QWidget*> controls_;
    std::map<int, FieldValidator*> validators_;
    std::vector<std::vector<QAbstractButton*>> radioGroups_;
};

} // namespace zu
