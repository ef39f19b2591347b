#include "gui/view/find_replace.h"

#include "gui/doc/document_edit.h"
#include "gui/doc/text_copy.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/whole_text.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/ui.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace zu {
namespace {

// The first match of o.text in `text` that starts at or after `from`, or
// (backward) the last that starts before it; -1 if none. The text is the
// document's source text, so that a match may run across the soft joins
// of a long line; a line break ends every match, as the search field
// holds one line. A whole word has no letter or digit on either side.
qsizetype findIn(const QString& text, const FindOptions& o, qsizetype from, bool backward) {
    const Qt::CaseSensitivity cs = o.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const qsizetype length = o.text.size();
    qsizetype at = from;
    if (backward && --at < 0)
        return -1;
    for (;;) {
        at = backward ? text.lastIndexOf(o.text, at, cs) : text.indexOf(o.text, at, cs);
        if (at < 0 || !o.wholeWord)
            return at;
        const bool letterBefore = at > 0 && text.at(at - 1).isLetterOrNumber();
        const bool letterAfter =
            at + length < text.size() && text.at(at + length).isLetterOrNumber();
        if (!letterBefore && !letterAfter)
            return at;
        at += backward ? -1 : 1;
        if (at < 0)
            return -1;
    }
}

bool selectionMatches(const CZuView& view, const FindOptions& o) {
    if (!view.textCursor().hasSelection())
        return false;
    return QString::compare(view.selectedText(), o.text,
                            o.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

void notFound(QWidget* parent, const QString& text) {
    ui::message(parent, QStringLiteral("「%1」が見つかりません。").arg(text), ui::Buttons::Ok,
                ui::Icon::Information);
}

// Every match in `text`, each after the one before.
std::vector<DocumentEdit::Replacement> everyMatch(const QString& text, const FindOptions& o) {
    std::vector<DocumentEdit::Replacement> matches;
    for (qsizetype at = findIn(text, o, 0, false); at >= 0;
         at = findIn(text, o, at + o.text.size(), false))
        matches.push_back({{at, at + o.text.size()}, o.replacement});
    return matches;
}

// Replace All on a long text: the matches found on a thread of their own,
// then replaced a batch at a time between events, from the last back, each
// batch joined to the one step for Undo that the first opened.
class ReplaceAllWork final : public WholeTextWork {
public:
    ReplaceAllWork(CZuView& view, const FindOptions& options, std::function<void(int)> done)
        : ReplaceAllWork(view, options, std::move(done), std::make_shared<Found>()) {}

    QString caption() const override {
        return QStringLiteral("%1 の文字列を置換しています。").arg(document().title());
    }

private:
    struct Found {
        // Written by the thread before the search is over, then read on
        // the window's thread only.
        std::vector<DocumentEdit::Replacement> matches;
        // Whether a batch may start at each match: only where a line
        // break or a join lies between it and the match in front, so that
        // no line or piece holds matches of two batches and no batch moves
        // the places of those still to come.
        std::vector<bool> mayStart;
    };

    ReplaceAllWork(CZuView& view, const FindOptions& options, std::function<void(int)> done,
                   std::shared_ptr<Found> found)
        : WholeTextWork(*view.doc(),
                        [found, options](TextCopy& copy) { search(copy, options, *found); }),
          view_(&view), options_(options), done_(std::move(done)), found_(std::move(found)) {
        start();
    }

    static void search(TextCopy& copy, const FindOptions& options, Found& f) {
        const std::u16string source = copy.takeSourceText();
        const QString text = QString::fromRawData(reinterpret_cast<const QChar*>(source.data()),
                                                  static_cast<qsizetype>(source.size()));
        f.matches = everyMatch(text, options);
        f.mayStart.assign(f.matches.size(), false);
        qsizetype nextBreak = -1;
        for (std::size_t k = 1; k < f.matches.size(); ++k) {
            const SourceRange before = f.matches[k - 1].range;
            const SourceRange range = f.matches[k].range;
            if (nextBreak >= 0 && nextBreak < before.to)
                nextBreak = -1;
            if (nextBreak < 0) {
                nextBreak = text.indexOf(QChar::ParagraphSeparator, before.to);
                if (nextBreak < 0)
                    nextBreak = text.size();
            }
            f.mayStart[k] = nextBreak < range.from || copy.cutBetween(before.to, range.from);
        }
        if (!f.mayStart.empty())
            f.mayStart[0] = true;
    }

    bool beginPutting() override {
        left_ = found_->matches.size();
        return left_ > 0;
    }

    int putSome(int milliseconds) override {
        const std::span<const DocumentEdit::Replacement> matches = found_->matches;
        QElapsedTimer clock;
        clock.start();
        do {
            // Grown while a batch is quick: each costs the control a change
            // of its own.
            QElapsedTimer batchClock;
            batchClock.start();
            std::size_t first = left_ > batch_ ? left_ - batch_ : 0;
            while (!found_->mayStart[first])
                --first;
            {
                DocumentEdit edit(document(), 0,
                                  left_ == matches.size() ? DocumentEdit::Step::New
                                                          : DocumentEdit::Step::JoinPrevious);
                edit.replace(matches.subspan(first, left_ - first));
                // The caret ends where replacing at once leaves it: after
                // the replacement made last, the first of the text.
                caret_ = edit.end();
            }
            left_ = first;
            const qint64 took = batchClock.nsecsElapsed();
            if (took < milliseconds * 125'000LL)
                batch_ *= 2;
            else if (took > milliseconds * 500'000LL && batch_ > 1)
                batch_ /= 2;
        } while (left_ > 0 && clock.elapsed() < milliseconds);
        return static_cast<int>(1000 - 1000 * left_ / matches.size());
    }

    void finish() override {
        const int count = static_cast<int>(found_->matches.size());
        if (view_ && count == 0)
            notFound(view_, options_.text);
        else if (view_)
            view_->setTextCursor(caret_);
        if (done_)
            done_(count);
    }

    QPointer<CZuView> view_;
    const FindOptions options_;
    std::function<void(int)> done_;
    std::shared_ptr<Found> found_;
    std::size_t left_ = 0;
    std::size_t batch_ = 1;
    QTextCursor caret_;
};

} // namespace

FindReplace& FindReplace::instance() {
    static FindReplace* single = new FindReplace;
    return *single;
}

void FindReplace::show(CZuView* view, bool replacing) {
    if (dialog_ && dialog_->replacing() != replacing) {
        last_ = dialog_->options();
        dialog_->close();
        delete dialog_.data();
    }
    FindOptions initial = last_;
    // A short selection on one line is what the user most likely looks for.
    if (const QString selected = view->selectedText();
        !selected.isEmpty() && !selected.contains(u'\n'))
        initial.text = selected;
    if (!dialog_) {
        dialog_ = new FindDialog(replacing, initial, view->window());
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog_, &QDialog::finished, this, [this] {
            if (dialog_)
                last_ = dialog_->options();
        });
    } else if (!initial.text.isEmpty()) {
        dialog_->findEdit()->setText(initial.text);
    }
    dialog_->setView(view);
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
    dialog_->findEdit()->setFocus();
    dialog_->findEdit()->selectAll();
}

void FindReplace::showFind(CZuView* view) {
    show(view, false);
}

void FindReplace::showReplace(CZuView* view) {
    show(view, true);
}

void FindReplace::findNext(CZuView* view) {
    if (dialog_)
        last_ = dialog_->options();
    if (last_.text.isEmpty()) {
        showFind(view);
        return;
    }
    find(view, last_);
}

bool FindReplace::find(CZuView* view, const FindOptions& options) {
    last_ = options;
    // A document at work in the background is the work's, its text
    // perhaps half in: the dialog, still open, must not touch it.
    if (options.text.isEmpty() || view->doc()->text().work())
        return false;
    const QString text = view->doc()->text().sourceText();
    const EditBuffer::Range current = view->selection();
    const bool backward = !options.down;
    qsizetype found = findIn(text, options, backward ? current.start : current.end, backward);
    // Once round the end of the text, as the user expects of an editor; the
    // status bar says so, or the match might be taken for one further on.
    const bool wrapped = found < 0;
    if (wrapped)
        found = findIn(text, options, backward ? text.size() : 0, backward);
    if (found < 0) {
        notFound(view, options.text);
        return false;
    }
    view->setSelection(found, found + options.text.size());
    emit view->statusNote(!wrapped   ? QString()
                          : backward ? QStringLiteral("末尾から検索しました")
                                     : QStringLiteral("先頭から検索しました"));
    return true;
}

bool FindReplace::replace(CZuView* view, const FindOptions& options) {
    last_ = options;
    if (view->doc()->text().work())
        return false;
    if (selectionMatches(*view, options))
        view->insertAtSelection(options.replacement);
    FindOptions forward = options;
    forward.down = true;
    return find(view, forward);
}

int FindReplace::replaceAll(CZuView* view, const FindOptions& options,
                            std::function<void(int)> done) {
    last_ = options;
    if (options.text.isEmpty() || view->doc()->text().work())
        return 0;
    if (view->doc()->text().sourceLength() >= removalBackgroundLength()) {
        new ReplaceAllWork(*view, options, std::move(done));
        return 0;
    }
    // Every match is found in the text as it is.
    const std::vector<DocumentEdit::Replacement> matches =
        everyMatch(view->doc()->text().sourceText(), options);
    if (matches.empty()) {
        notFound(view, options.text);
        if (done)
            done(0);
        return 0;
    }
    // The caret ends after the replacement made last, the first match.
    QTextCursor caret;
    {
        DocumentEdit edit(*view->doc());
        edit.replace(matches);
        caret = edit.end();
    }
    view->setTextCursor(caret);
    if (done)
        done(static_cast<int>(matches.size()));
    return static_cast<int>(matches.size());
}

FindDialog::FindDialog(bool replacing, const FindOptions& initial, QWidget* parent)
    : QDialog(parent), replacing_(replacing) {
    setWindowTitle(replacing ? QStringLiteral("置換") : QStringLiteral("検索"));
    setModal(false);

    auto* grid = new QGridLayout;
    auto* findLabel = new QLabel(QStringLiteral("検索する文字列(&N):"));
    findEdit_ = new QLineEdit(initial.text);
    findLabel->setBuddy(findEdit_);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(findEdit_, 0, 1);
    if (replacing) {
        auto* replaceLabel = new QLabel(QStringLiteral("置換後の文字列(&P):"));
        replaceEdit_ = new QLineEdit(initial.replacement);
        replaceLabel->setBuddy(replaceEdit_);
        grid->addWidget(replaceLabel, 1, 0);
        grid->addWidget(replaceEdit_, 1, 1);
    }

    wholeWord_ = new QCheckBox(QStringLiteral("単語単位で探す(&W)"));
    wholeWord_->setChecked(initial.wholeWord);
    matchCase_ = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"));
    matchCase_->setChecked(initial.matchCase);
    auto* checks = new QVBoxLayout;
    checks->addWidget(wholeWord_);
    checks->addWidget(matchCase_);
    auto* lower = new QHBoxLayout;
    lower->addLayout(checks);
    if (!replacing) {
        auto* direction = new QGroupBox(QStringLiteral("方向"));
        up_ = new QRadioButton(QStringLiteral("上へ(&U)"));
        down_ = new QRadioButton(QStringLiteral("下へ(&D)"));
        (initial.down ? down_ : up_)->setChecked(true);
        auto* d = new QHBoxLayout(direction);
        d->addWidget(up_);
        d->addWidget(down_);
        lower->addWidget(direction);
    }

    auto* left = new QVBoxLayout;
    left->addLayout(grid);
    left->addLayout(lower);
    left->addStretch();

    findNext_ = new QPushButton(QStringLiteral("次を検索(&F)"));
    findNext_->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNext_);
    if (replacing) {
        replace_ = new QPushButton(QStringLiteral("置換して次に(&R)"));
        replaceAll_ = new QPushButton(QStringLiteral("すべて置換(&A)"));
        buttons->addWidget(replace_);
        buttons->addWidget(replaceAll_);
    }
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"));
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    top->addLayout(buttons);

    // Tab goes through the fields, the options, then the buttons.
    QWidget* order[] = {findEdit_, replaceEdit_, wholeWord_, matchCase_,  up_,
                        down_,     findNext_,    replace_,   replaceAll_, cancel};
    QWidget* previous = nullptr;
    for (QWidget* w : order) {
        if (!w)
            continue;
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }

    connect(findEdit_, &QLineEdit::textChanged, this, &FindDialog::updateButtons);
    connect(findNext_, &QPushButton::clicked, this, [this] {
        if (view_)
            FindReplace::instance().find(view_, options());
    });
    if (replacing) {
        connect(replace_, &QPushButton::clicked, this, [this] {
            if (view_)
                FindReplace::instance().replace(view_, options());
        });
        connect(replaceAll_, &QPushButton::clicked, this, [this] {
            if (view_)
                FindReplace::instance().replaceAll(view_, options());
        });
    }
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    updateButtons();
}

FindOptions FindDialog::options() const {
    FindOptions o;
    o.text = findEdit_->text();
    o.replacement = replaceEdit_ ? replaceEdit_->text() : QString();
    o.matchCase = matchCase_->isChecked();
    o.wholeWord = wholeWord_->isChecked();
    o.down = !up_ || !up_->isChecked();
    return o;
}

void FindDialog::updateButtons() {
    const bool any = !findEdit_->text().isEmpty();
    findNext_->setEnabled(any);
    if (replace_) {
        replace_->setEnabled(any);
        replaceAll_->setEnabled(any);
    }
}

} // namespace zu
