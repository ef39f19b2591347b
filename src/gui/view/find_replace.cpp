#include "gui/view/find_replace.h"

#include "gui/view/zu_view.h"
#include "gui/widgets/ui.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace zu {
namespace {

QTextDocument::FindFlags flagsOf(const FindOptions& o, bool backward) {
    QTextDocument::FindFlags flags;
    if (o.matchCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (o.wholeWord)
        flags |= QTextDocument::FindWholeWords;
    if (backward)
        flags |= QTextDocument::FindBackward;
    return flags;
}

bool selectionMatches(const QTextCursor& c, const FindOptions& o) {
    if (!c.hasSelection())
        return false;
    return QString::compare(c.selectedText(), o.text,
                            o.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

void notFound(QWidget* parent, const QString& text) {
    ui::message(parent, QStringLiteral("「%1」が見つかりません。").arg(text), ui::Buttons::Ok,
                ui::Icon::Information);
}

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
    const QTextCursor c = view->textCursor();
    if (c.hasSelection() && !c.selectedText().contains(QChar::ParagraphSeparator))
        initial.text = c.selectedText();
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
    if (options.text.isEmpty())
        return false;
    QTextDocument* doc = view->document();
    const QTextCursor current = view->textCursor();
    const bool backward = !options.down;
    QTextCursor from(doc);
    from.setPosition(backward ? current.selectionStart() : current.selectionEnd());
    QTextCursor found = doc->find(options.text, from, flagsOf(options, backward));
    if (found.isNull()) {
        // Once round the end of the text, as the user expects of an editor.
        QTextCursor wrap(doc);
        wrap.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
        found = doc->find(options.text, wrap, flagsOf(options, backward));
    }
    if (found.isNull()) {
        notFound(view, options.text);
        return false;
    }
    view->setTextCursor(found);
    return true;
}

bool FindReplace::replace(CZuView* view, const FindOptions& options) {
    last_ = options;
    QTextCursor c = view->textCursor();
    if (selectionMatches(c, options)) {
        c.insertText(options.replacement);
        view->setTextCursor(c);
    }
    FindOptions forward = options;
    forward.down = true;
    return find(view, forward);
}

int FindReplace::replaceAll(CZuView* view, const FindOptions& options) {
    last_ = options;
    if (options.text.isEmpty())
        return 0;
    QTextDocument* doc = view->document();
    QTextCursor step(doc);
    QTextCursor at(doc);
    int count = 0;
    step.beginEditBlock();
    for (;;) {
        QTextCursor found = doc->find(options.text, at, flagsOf(options, false));
        if (found.isNull())
            break;
        found.insertText(options.replacement);
        at = found;
        ++count;
    }
    step.endEditBlock();
    if (count == 0)
        notFound(view, options.text);
    else
        view->setTextCursor(at);
    return count;
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
