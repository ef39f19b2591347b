#include "gui/dialogs/symbol_dlg.h"

#include "core/settings/settings.h"
#include "core/tags/symbols.h"
#include "gui/dialogs/dialog_units.h"
#include "gui/widgets/glyph_icon.h"
#include "gui/widgets/ui.h"

#include <QPushButton>

#include <algorithm>

namespace zu {
namespace {

QString objectNameOf(int code) {
    return QStringLiteral("symbol%1").arg(code);
}

} // namespace

CSymbolDlg::CSymbolDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(ui::qs(kSymbolDialogCaption));
    setFont(dialogFont());
    const DialogUnits units(font());
    setFixedSize(units.size(kSymbolDialogWidth, kSymbolDialogHeight));

    // Cancel comes first in the tab order, and so has the focus when the
    // dialog opens; the symbols follow in code order.
    cancel_ = new QPushButton(ui::qs(kSymbolCancel.text), this);
    cancel_->setGeometry(units.rect(kSymbolCancel.rect));
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    QWidget* previous = cancel_;
    for (const Symbol& symbol : symbols()) {
        auto* button = new QPushButton(this);
        const QRect cell = units.rect(symbolCell(symbol).rect);
        button->setGeometry(cell);
        button->setObjectName(objectNameOf(symbol.code));
        button->setIcon(ui::glyphIcon(QString(QChar(static_cast<char16_t>(symbol.code)))));
        const int side = std::max(8, std::min(cell.width(), cell.height()) - 6);
        button->setIconSize({side, side});
        button->setToolTip(ui::qs(symbol.name));
        button->setAccessibleName(ui::qs(symbol.name));
        connect(button, &QPushButton::clicked, this, [this, &symbol] { choose(symbol); });
        setTabOrder(previous, button);
        previous = button;
    }
}

QPushButton* CSymbolDlg::symbolButton(int code) const {
    if (!findSymbol(code))
        return nullptr;
    return findChild<QPushButton*>(objectNameOf(code), Qt::FindDirectChildrenOnly);
}

void CSymbolDlg::choose(const Symbol& symbol) {
    // The form is read now, not when the dialog opened.
    symbolText_ = std::string(symbolReference(symbol, settings().entityMnemonic));
    accept();
}

} // namespace zu
