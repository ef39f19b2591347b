#pragma once
// gui/widgets: Qt helpers that know nothing of zu's rules.
//
// The one way the program shows a modal dialog or a message box. Every box
// is captioned "zu" and labelled in Japanese; tests install a hook that
// answers instead of the user.

#include "core/text/file_path.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <span>
#include <string_view>
#include <vector>

class QDialog;
class QMimeData;
class QWidget;

namespace zu::ui {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { Information, Warning, Question, Critical };
enum class Answer { Ok, Cancel, Yes, No };

// Shows `text` in a message box captioned "zu" and returns the button chosen.
// Closing the box with Escape answers Cancel (or No, or Ok, when those are
// the only buttons).
Answer message(QWidget* parent, const QString& text, Buttons buttons = Buttons::Ok,
               Icon icon = Icon::Warning);

// The same with buttons of the caller's own labels, in order, each standing
// for an answer (and the QMessageBox::StandardButton of that answer, which
// is what a test hook returns): the first is the default, the last answers
// Escape.
struct Button {
    Answer answer;
    QString label;
};
Answer message(QWidget* parent, const QString& text, std::span<const Button> buttons,
               Icon icon = Icon::Question);

// Runs `dialog` modally and returns its result code.
int exec(QDialog& dialog);

// While set, exec() (and so message()) hands the dialog to the hook instead
// of showing it; the hook returns the result the user would have given: a
// QDialog::DialogCode, or for a QMessageBox the QMessageBox::StandardButton.
using DialogHook = std::function<int(QDialog&)>;
void setDialogHook(DialogHook hook);

// Shows the wait cursor for as long as it lives: for work on a whole
// document that may take a moment.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The application title, the caption of every message box.
QString appTitle();

// A text of the core's tables (UTF-8) as Qt text.
QString qs(std::string_view utf8);

// The local files a drag carries; empty when it carries none.
std::vector<FilePath> localFiles(const QMimeData* data);

} // namespace zu::ui
