#pragma once
// Find, Find Next and Replace on the active view, with the usual modeless
// dialogs. The last search is remembered for Find Next (F3).

#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zu {
class CZuView;

struct FindOptions {
    QString text;
    QString replacement;
    bool matchCase = false;
    bool wholeWord = false;
    bool down = true;
};

class FindDialog;

class FindReplace : public QObject {
    Q_OBJECT
public:
    static FindReplace& instance();

    void showFind(CZuView* view);
    void showReplace(CZuView* view);
    // Repeats the last search; opens the Find dialog when there was none.
    void findNext(CZuView* view);

    // Selects the next match in `view`, going round the end of the text
    // once; says so and returns false when there is none.
    bool find(CZuView* view, const FindOptions& options);
    // Replaces the selection when it is a match, then finds the next one.
    bool replace(CZuView* view, const FindOptions& options);
    // Replaces every match as one undo step; returns how many, and `done`
    // hears it too. In a text of removalBackgroundLength() characters or
    // more the matches are found while the window answers, the document's
    // windows showing a bar and a ｷｬﾝｾﾙ button (cancelling changes nothing),
    // and replaced a batch at a time between events: 0 is returned then,
    // and `done` hears how many once they are all in, unless cancelled.
    int replaceAll(CZuView* view, const FindOptions& options, std::function<void(int)> done = {});

    const FindOptions& last() const { return last_; }
    // The dialog now open, if any (for tests and for focus).
    FindDialog* dialog() const { return dialog_; }

private:
    void show(CZuView* view, bool replacing);

    FindOptions last_;
    QPointer<FindDialog> dialog_;
};

class FindDialog : public QDialog {
    Q_OBJECT
public:
    FindDialog(bool replacing, const FindOptions& initial, QWidget* parent);

    void setView(CZuView* view) { view_ = view; }
    bool replacing() const { return replacing_; }
    FindOptions options() const;

    QLineEdit* findEdit() const { return findEdit_; }
    QLineEdit* replaceEdit() const { return replaceEdit_; }
    QCheckBox* wholeWordBox() const { return wholeWord_; }
    QCheckBox* matchCaseBox() const { return matchCase_; }
    QRadioButton* upButton() const { return up_; }
    QPushButton* findNextButton() const { return findNext_; }
    QPushButton* replaceButton() const { return replace_; }
    QPushButton* replaceAllButton() const { return replaceAll_; }

private:
    void updateButtons();

    bool replacing_;
    QPointer<CZuView> view_;
    QLineEdit* findEdit_;
    QLineEdit* replaceEdit_ = nullptr;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QRadioButton* up_ = nullptr;
    QRadioButton* down_ = nullptr;
    QPushButton* findNext_;
    QPushButton* replace_ = nullptr;
    QPushButton* replaceAll_ = nullptr;
};

} // namespace zu
