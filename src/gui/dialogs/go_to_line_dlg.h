#pragma once
// Go to line (Ctrl+G): a line of the file and, if the user likes, a column
// in it. OK checks both as the Options dialog checks its integer fields;
// a refused value is said in a message and its field is selected again.

#include "core/edit/go_to_line.h"
#include "gui/commands/command_registry.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;

namespace zu {
class CZuView;

class CGoToLineDlg : public QDialog {
    Q_OBJECT
public:
    // `lineColumns(line)` gives the characters of line `line` (from 1).
    CGoToLineDlg(long lineCount, long currentLine, std::function<long(long line)> lineColumns,
                 QWidget* parent = nullptr);

    QLineEdit* lineEdit() const { return line_; }
    QLineEdit* columnEdit() const { return column_; }
    QPushButton* okButton() const { return ok_; }
    // What OK accepted.
    GoToPlace place() const { return place_; }

    void accept() override;

private:
    long lineCount_;
    std::function<long(long)> lineColumns_;
    QLineEdit* line_;
    QLineEdit* column_;
    QPushButton* ok_;
    GoToPlace place_;
};

void registerGoToLineCommand(HandlerTable<CZuView>& table);

} // namespace zu
