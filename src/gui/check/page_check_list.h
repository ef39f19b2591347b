#pragma once
// gui/check: the page check in the editor. A list docked below the
// documents shows what core/check finds in the active document (severity,
// line, column, message); Enter or a double-click selects the place in the
// document, and the fixes the check offers are made from the list. The
// list follows edits: a short pause after the text changes, the document
// is checked again.

#include "core/check/finding.h"

#include <QDockWidget>
#include <QPointer>
#include <QTimer>

#include <span>
#include <vector>

class QAbstractItemModel;
class QPushButton;
class QTreeView;

namespace zu {
class CZuDoc;
class CZuView;
class FindingsModel;
template <class Target> class HandlerTable;

class PageCheckList : public QDockWidget {
    Q_OBJECT
public:
    explicit PageCheckList(QWidget* parent = nullptr);

    // The command: shows the list under the documents of `view`'s main
    // window (made there on first use), checks the view's document and
    // puts the keyboard in the list.
    static PageCheckList* showFor(CZuView& view);

    // The view whose document is listed and where Enter goes; null empties
    // the list. A list on screen checks the document at once.
    void setView(CZuView* view);
    CZuView* view() const;
    // Checks the document again now.
    void recheck();
    // Whether an edit was made that the findings do not know of yet.
    bool stale() const { return pause_.isActive(); }
    const std::vector<check::Finding>& findings() const;

    QTreeView* list() const { return list_; }
    QPushButton* fixButton() const { return fix_; }
    QPushButton* fixAllButton() const { return fixAll_; }

    // What Enter and the two buttons do, to the current row. Each first
    // checks again if the text has changed since, so that no fix is made
    // at a place the text has left.
    void goToCurrent();
    void fixCurrent();
    void fixAllOfKind();

    // How long after the last change the list checks again: long enough
    // that typing a word does not check at every key.
    static constexpr int kPauseMs = 400;

private:
    void textChanged();
    const check::Finding* current() const;
    void setCurrentRow(int row);
    void updateButtons();
    // The current finding, found again if the text has changed since.
    const check::Finding* currentNow();
    // Makes `fixes`, pressed by `button`.
    void make(std::span<const check::Fix> fixes, QPushButton* button);

    FindingsModel* model_;
    QTreeView* list_;
    QPushButton* fix_;
    QPushButton* fixAll_;
    QPointer<CZuView> view_;
    QPointer<CZuDoc> doc_;
    QTimer pause_;
};

// Registers the command that shows the list.
void registerPageCheckCommand(HandlerTable<CZuView>& table);

} // namespace zu
