#include "gui/app/encoding_panes.h"

#include "core/doc/encoding_rules.h"
#include "gui/doc/doc_commands.h"
#include "gui/doc/text_load.h"
#include "gui/doc/zu_doc.h"
#include "gui/widgets/ui.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>

namespace zu {
namespace {

QToolButton* makePane(const QString& name) {
    auto* pane = new QToolButton;
    pane->setObjectName(name);
    pane->setAutoRaise(true);
    pane->setPopupMode(QToolButton::InstantPopup);
    pane->setFocusPolicy(Qt::StrongFocus);
    pane->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return pane;
}

} // namespace

EncodingPanes::EncodingPanes(QStatusBar* bar, QWidget* window)
    : QObject(bar), encoding_(makePane(QStringLiteral("encodingPane"))),
      lineBreak_(makePane(QStringLiteral("lineBreakPane"))), menu_(new QMenu(window)),
      window_(window) {
    encoding_->setMenu(menu_);
    lineBreak_->setMenu(menu_);
    bar->addPermanentWidget(encoding_);
    bar->addPermanentWidget(lineBreak_);
    connect(menu_, &QMenu::aboutToShow, this, &EncodingPanes::fillMenu);

    auto* key = new QAction(window);
    key->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+E")));
    key->setShortcutContext(Qt::WindowShortcut);
    connect(key, &QAction::triggered, this, [this] {
        if (encoding_->isVisible())
            encoding_->showMenu();
    });
    window->addAction(key);
    setDocument(nullptr);
}

void EncodingPanes::setDocument(CZuDoc* doc) {
    if (doc == doc_ && doc)
        return;
    disconnect(watch_);
    doc_ = doc;
    if (doc)
        watch_ = connect(doc, &CZuDoc::formChanged, this, &EncodingPanes::refresh);
    refresh();
}

void EncodingPanes::refresh() {
    encoding_->setVisible(doc_ != nullptr);
    lineBreak_->setVisible(doc_ != nullptr);
    if (!doc_)
        return;
    const QString encoding = ui::qs(encodingLabel(doc_->form(), doc_->text().declaredEncoding()));
    const QString lineBreak =
        ui::qs(lineBreakLabel(doc_->form().lineBreak, doc_->text().hasMixedBreaks()));
    encoding_->setText(encoding);
    lineBreak_->setText(lineBreak);
    encoding_->setAccessibleName(QStringLiteral("ｴﾝｺｰﾃﾞｨﾝｸﾞ %1").arg(encoding));
    lineBreak_->setAccessibleName(QStringLiteral("改行 %1").arg(lineBreak));
    encoding_->setToolTip(QStringLiteral("ｴﾝｺｰﾃﾞｨﾝｸﾞ (Ctrl+Shift+E)"));
    lineBreak_->setToolTip(QStringLiteral("改行 (Ctrl+Shift+E)"));
}

void EncodingPanes::fillMenu() {
    menu_->clear();
    // A document being read again is not to be touched until it is in.
    if (!doc_ || doc_->text().work())
        return;
    QPointer<CZuDoc> doc = doc_;

    QMenu* reopen = menu_->addMenu(QStringLiteral("別のｴﾝｺｰﾃﾞｨﾝｸﾞで開き直す(&R)"));
    const bool mayReopen = canReopen(doc->text().isModified(), !doc->pathName().empty());
    reopen->setEnabled(mayReopen);
    QMenu* save = menu_->addMenu(QStringLiteral("別のｴﾝｺｰﾃﾞｨﾝｸﾞ/改行で保存(&S)"));
    const auto reopenIn = [this, doc](const Encoding* encoding) {
        return [this, doc, encoding] {
            if (!doc)
                return;
            reloadDocument(*doc, encoding, window_);
        };
    };
    // A page read in another encoding than it declares can be read as it
    // says, first in the list.
    if (const Encoding* declared = doc->text().declaredEncoding();
        declaresOther(declared, *doc->form().encoding)) {
        QAction* asDeclared = reopen->addAction(
            QStringLiteral("宣言どおり %1 で開き直す(&D)").arg(ui::qs(declared->name())));
        asDeclared->setEnabled(mayReopen);
        connect(asDeclared, &QAction::triggered, this, reopenIn(declared));
        reopen->addSeparator();
    }
    for (const EncodingChoice& choice : encodingChoices()) {
        const bool current = isCurrent(choice, *doc->form().encoding);
        QAction* again = reopen->addAction(ui::qs(choice.label));
        again->setCheckable(true);
        again->setChecked(current);
        again->setEnabled(mayReopen);
        connect(again, &QAction::triggered, this, reopenIn(choice.encoding));
        QAction* next = save->addAction(ui::qs(choice.label));
        next->setCheckable(true);
        next->setChecked(current);
        connect(next, &QAction::triggered, this, [this, doc, current, encoding = choice.encoding] {
            // Saved, as the item says: the same questions and the same
            // writer as Save.
            if (doc && !current) {
                const std::vector<std::string> leftAlone = doc->switchEncoding(*encoding);
                if (saveDocument(*doc) && !leftAlone.empty()) {
                    QString text;
                    for (const std::string& note : leftAlone)
                        text += ui::qs(note) + QLatin1Char('\n');
                    ui::message(window_, text.trimmed(), ui::Buttons::Ok, ui::Icon::Information);
                }
            }
        });
    }
    save->addSeparator();
    for (LineBreak style : {LineBreak::CrLf, LineBreak::Lf, LineBreak::Cr}) {
        // While the file's breaks are mixed, no one style is the file's.
        const bool current = !doc->text().hasMixedBreaks() && doc->form().lineBreak == style;
        QAction* next = save->addAction(ui::qs(lineBreakName(style)));
        next->setCheckable(true);
        next->setChecked(current);
        connect(next, &QAction::triggered, this, [doc, current, style] {
            if (doc && !current) {
                doc->setLineBreakStyle(style);
                saveDocument(*doc);
            }
        });
    }
}

} // namespace zu
