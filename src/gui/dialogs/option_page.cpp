#include "gui/dialogs/option_page.h"

#include "core/settings/option_rules.h"
#include "core/settings/settings.h"
#include "gui/widgets/ui.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QValidator>

#include <algorithm>

namespace zu {
namespace {

// Both kinds of button answer a click anywhere in their box, as the
// template's buttons do, not only on their mark and text.

// An automatic check box has two states for the user, even when it shows
// the partial state for a stored 2: a click then checks it, so that the
// user never lands on a state the box cannot be given again.
class TwoStateCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void nextCheckState() override {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        setTristate(false);
    }
};

// A radio button of a group that the page keeps exclusive itself: a click
// or Space only ever checks it, never unchecks it.
class GroupRadioButton : public QRadioButton {
public:
    // The text is set once the button is whole: setting it asks for the
    // button's accessible interface, which Qt keeps from then on, and only
    // a whole GroupRadioButton gets the one that says "radio button".
    GroupRadioButton(const QString& text, QWidget* parent) : QRadioButton(parent) { setText(text); }

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void nextCheckState() override { setChecked(true); }
};

// The label as a screen reader says it: without the "&" that marks the
// mnemonic, "&&" standing for one "&".
QString withoutMnemonic(const QString& label) {
    QString out;
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label[i] == u'&' && i + 1 < label.size())
            ++i;
        out += label[i];
    }
    return out;
}

// Qt tells the accessibility bus that a radio button outside Qt's own
// exclusive groups is a check box, and a screen reader would announce one.
// These are radio buttons in every way the user meets them (one of the
// group is checked, a click or Space checks, never unchecks), so the bus
// hears a radio button, its label as its name, checked or not, and the
// press that checks it.
class RadioButtonAccessible : public QAccessibleWidget {
public:
    explicit RadioButtonAccessible(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return withoutMnemonic(button()->text());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        return state;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* radioButtonAccessible(const QString&, QObject* object) {
    if (auto* button = dynamic_cast<GroupRadioButton*>(object))
        return new RadioButtonAccessible(button);
    return nullptr;
}

void setButtonState(QWidget* button, CheckState state) {
    if (auto* box = qobject_cast<QCheckBox*>(button))
        box->setCheckState(state == CheckState::Partial   ? Qt::PartiallyChecked
                           : state == CheckState::Checked ? Qt::Checked
                                                          : Qt::Unchecked);
    else
        qobject_cast<QAbstractButton*>(button)->setChecked(state == CheckState::Checked);
}

CheckState buttonState(const QWidget* button) {
    // A partial check box counts as checked for Qt, not for the page.
    if (auto* box = qobject_cast<const QCheckBox*>(button);
        box && box->checkState() == Qt::PartiallyChecked)
        return CheckState::Partial;
    return qobject_cast<const QAbstractButton*>(button)->isChecked() ? CheckState::Checked
                                                                     : CheckState::Unchecked;
}

} // namespace

// Keeps a text edit to what its settings field can hold, so that nothing is
// ever cut behind the user's back. A value the page is handed that already
// does not fit must not lock the field: any text made only by deleting from
// it stays allowed, so the user can mend it, but nothing can be added to it
// until it fits.
class COptionPage::FieldValidator : public QValidator {
public:
    FieldValidator(std::size_t width, QObject* parent) : QValidator(parent), width_(width) {}

    void setLoaded(const QString& text) { loaded_ = text; }

    State validate(QString& input, int&) const override {
        return fitsTextField(input.toStdString(), width_) || isDeletionOf(input, loaded_)
                   ? Acceptable
                   : Invalid;
    }

private:
    // Whether `text` is `from` with some characters taken out.
    static bool isDeletionOf(const QString& text, const QString& from) {
        qsizetype at = 0;
        for (const QChar c : from)
            if (at < text.size() && text[at] == c)
                ++at;
        return at == text.size();
    }

    std::size_t width_;
    QString loaded_;
};

COptionPage::COptionPage(OptionPage page, Settings& members, QWidget* parent)
    : QWidget(parent), info_(pageInfo(page)), members_(members) {
    setObjectName(ui::qs(info_.className));
    static const bool accessible = (QAccessible::installFactory(radioButtonAccessible), true);
    Q_UNUSED(accessible);
    setFont(pageFont());

    // The dialog base units as the platform derives them from a font: the
    // average width of the Latin letters and the line height.
    const QFontMetrics metrics(font());
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = (letters / 26 + 1) / 2;
    baseY_ = metrics.height();

    setMinimumSize(toPixels({0, 0, info_.width, info_.height}).size());

    // Made in template order, so that the Tab key follows it.
    std::vector<std::pair<QLabel*, int>> buddies;
    for (const PageControl& control : info_.controls)
        if (QLabel* label = addControl(control))
            buddies.emplace_back(label, control.buddy);
    // A label may name a control that comes after it in the template.
    for (const auto& [label, buddy] : buddies)
        label->setBuddy(control(buddy));
}

QString COptionPage::caption() const {
    return ui::qs(info_.caption);
}

QFont COptionPage::pageFont() {
    QFont font;
    font.setFamilies({ui::qs(kDialogFontFace), QStringLiteral("Noto Sans CJK JP"), font.family()});
    font.setPointSize(kDialogFontPoints);
    return font;
}

QRect COptionPage::toPixels(const DialogRect& r) const {
    return {r.x * baseX_ / 4, r.y * baseY_ / 8, r.width * baseX_ / 4, r.height * baseY_ / 8};
}

QWidget* COptionPage::control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

QLabel* COptionPage::addControl(const PageControl& c) {
    const QRect rect = toPixels(c.rect);
    switch (c.kind) {
    case ControlKind::RadioFirst:
    case ControlKind::Radio: {
        if (c.kind == ControlKind::RadioFirst || radioGroups_.empty())
            radioGroups_.emplace_back();
        auto* button = new GroupRadioButton(ui::qs(c.text), this);
        button->setGeometry(rect);
        // Not Qt's exclusive group: a stored value outside the group shows
        // no button checked, and Tab stops once in the group while the
        // arrow keys move within it (see updateTabStops, eventFilter).
        button->setAutoExclusive(false);
        button->installEventFilter(this);
        radioGroups_.back().push_back(button);
        const std::size_t group = radioGroups_.size() - 1;
        connect(button, &QAbstractButton::toggled, this, [this, button, group](bool checked) {
            // Checking one button unchecks the rest of its group.
            if (checked)
                for (QAbstractButton* other : radioGroups_[group])
                    if (other != button)
                        other->setChecked(false);
            updateTabStops(radioGroups_[group]);
        });
        controls_[c.id] = button;
        return nullptr;
    }
    case ControlKind::GroupBox: {
        auto* box = new QGroupBox(ui::qs(c.text), this);
        box->setGeometry(rect);
        // Drawn behind the buttons it frames, which stay the ones clicked.
        box->lower();
        return nullptr;
    }
    case ControlKind::CheckBox: {
        auto* box = new TwoStateCheckBox(ui::qs(c.text), this);
        box->setGeometry(rect);
        controls_[c.id] = box;
        return nullptr;
    }
    case ControlKind::Edit:
    case ControlKind::IntegerEdit: {
        auto* edit = new QLineEdit(this);
        edit->setGeometry(rect);
        if (c.maxChars > 0)
            edit->setMaxLength(c.maxChars);
        if (c.fieldWidth > 0) {
            auto* validator = new FieldValidator(c.fieldWidth, edit);
            edit->setValidator(validator);
            validators_[c.id] = validator;
        }
        controls_[c.id] = edit;
        return nullptr;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(this);
        // "<body>ﾀｸﾞのｵﾌﾟｼｮﾝ" is a text to show, not markup.
        label->setTextFormat(Qt::PlainText);
        label->setText(ui::qs(c.text));
        // Centred on its row, since the edits beside it centre their text in
        // their box: the two texts stand level. A text wider than the
        // template's box runs on rather than being cut, as nothing stands to
        // its right.
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setGeometry(
            rect.adjusted(0, 0, std::max(0, label->sizeHint().width() - rect.width()), 0));
        return label;
    }
    }
    return nullptr;
}

void COptionPage::updateTabStops(const std::vector<QAbstractButton*>& group) {
    // Tab enters a radio group at its checked button, or at its first when
    // none is checked; the arrow keys move within it.
    const bool anyChecked =
        std::any_of(group.begin(), group.end(), [](auto* b) { return b->isChecked(); });
    for (std::size_t i = 0; i < group.size(); ++i) {
        const bool stop = anyChecked ? group[i]->isChecked() : i == 0;
        group[i]->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

std::vector<QAbstractButton*>* COptionPage::groupOf(QObject* button) {
    for (auto& group : radioGroups_)
        if (std::find(group.begin(), group.end(), button) != group.end())
            return &group;
    return nullptr;
}

bool COptionPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    int step = 0;
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        step = 1;
        break;
    default:
        return QWidget::eventFilter(watched, event);
    }
    std::vector<QAbstractButton*>* group = groupOf(watched);
    if (!group || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QWidget::eventFilter(watched, event);
    // The arrow keys go round the group in its order and check the button
    // they reach, so that a group is set from the keyboard alone.
    const auto n = static_cast<std::ptrdiff_t>(group->size());
    const std::ptrdiff_t at = std::find(group->begin(), group->end(), watched) - group->begin();
    QAbstractButton* next = (*group)[static_cast<std::size_t>((at + step + n) % n)];
    next->setChecked(true);
    next->setFocus(step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
    return true;
}

void COptionPage::open() {
    if (opened_)
        return;
    opened_ = true;
    const ControlWriter writer{
        .setText =
            [this](int id, const std::string& text) {
                auto* edit = qobject_cast<QLineEdit*>(control(id));
                const QString shown = ui::qs(text);
                if (const auto it = validators_.find(id); it != validators_.end())
                    it->second->setLoaded(shown);
                edit->setText(shown);
                edit->setCursorPosition(0);
            },
        .setCheck = [this](int id, CheckState state) { setButtonState(control(id), state); },
    };
    fillPage(info_.page, members_, writer);
    for (const auto& group : radioGroups_)
        updateTabStops(group);
}

bool COptionPage::save() {
    if (!opened_)
        return true;
    const ControlReader reader{
        .text =
            [this](int id) { return qobject_cast<QLineEdit*>(control(id))->text().toStdString(); },
        .check = [this](int id) { return buttonState(control(id)); },
    };
    const std::optional<FieldFailure> failure = savePage(info_.page, reader, members_);
    if (!failure)
        return true;
    ui::message(this, ui::qs(failure->message), ui::Buttons::Ok, ui::Icon::Warning);
    if (auto* edit = qobject_cast<QLineEdit*>(control(failure->control))) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
    return false;
}

void COptionPage::focusFirstControl() {
    for (const PageControl& c : info_.controls)
        if (QWidget* w = control(c.id); w && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
}

} // namespace zu
