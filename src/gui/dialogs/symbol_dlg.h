#pragma once
// The special-symbols dialog: a button for each of the 95 Latin-1 signs and
// letters; the first one pressed closes the dialog with the reference it
// stands for.

#include <QDialog>

#include <string>

class QPushButton;

namespace zu {
struct Symbol;

class CSymbolDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSymbolDlg(QWidget* parent = nullptr);

    // After OK: "&Agrave;" or "&#192;", in the form the options asked for
    // when the button was pressed.
    const std::string& symbolText() const { return symbolText_; }

    QPushButton* cancelButton() const { return cancel_; }
    // The button of character `code`, 161 to 255; null for any other code.
    QPushButton* symbolButton(int code) const;

private:
    void choose(const Symbol& symbol);

    std::string symbolText_;
    QPushButton* cancel_;
};

} // namespace zu
