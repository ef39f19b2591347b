#pragma once
// The confirmation asked before tag colouring and tag removal, which cannot
// be undone. OK is the default button.

#include <QDialog>

class QPushButton;

namespace zu {

class CConfirmDlg : public QDialog {
    Q_OBJECT
public:
    explicit CConfirmDlg(QWidget* parent = nullptr);

    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace zu
