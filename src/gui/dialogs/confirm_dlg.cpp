#include "gui/dialogs/confirm_dlg.h"

#include "core/tags/tag_removal.h"
#include "gui/dialogs/dialog_units.h"
#include "gui/widgets/ui.h"

#include <QLabel>
#include <QPushButton>

namespace zu {
namespace {

QPushButton* addButton(QDialog* dialog, const DialogButton& button, const DialogUnits& units) {
    auto* b = new QPushButton(ui::qs(button.text), dialog);
    b->setGeometry(units.rect(button.rect));
    return b;
}

void addLabel(QDialog* dialog, const DialogLabel& label, const DialogUnits& units) {
    auto* l = new QLabel(ui::qs(label.text), dialog);
    l->move(units.x(label.x), units.y(label.y));
    l->adjustSize();
}

} // namespace

CConfirmDlg::CConfirmDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(ui::qs(kConfirmCaption));
    setFont(dialogFont());
    const DialogUnits units(font());
    setFixedSize(units.size(kConfirmWidth, kConfirmHeight));

    addLabel(this, kConfirmWarning, units);
    addLabel(this, kConfirmQuestion, units);
    ok_ = addButton(this, kConfirmOk, units);
    cancel_ = addButton(this, kConfirmCancel, units);
    ok_->setDefault(true);
    ok_->setFocus();
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

} // namespace zu
