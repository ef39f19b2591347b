#include "gui/widgets/ui.h"

#include "gui/widgets/file_names.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

namespace zu::ui {
namespace {

DialogHook& hook() {
    static DialogHook h;
    return h;
}

QMessageBox::StandardButton standard(Answer a) {
    switch (a) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Cancel;
}

} // namespace

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

QString appTitle() {
    return QStringLiteral("zu");
}

QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::vector<FilePath> localFiles(const QMimeData* data) {
    std::vector<FilePath> paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        // The URL carries the path's bytes percent-encoded; toLocalFile()
        // would decode them as UTF-8 and lose a name that is not.
        if (url.host().isEmpty())
            paths.emplace_back(
                QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1())
                    .toStdString());
        else
            paths.push_back(pathFromQt(url.toLocalFile()));
    }
    return paths;
}

void setDialogHook(DialogHook h) {
    hook() = std::move(h);
}

int exec(QDialog& dialog) {
    if (hook())
        return hook()(dialog);
    return dialog.exec();
}

Answer message(QWidget* parent, const QString& text, Buttons buttons, Icon icon) {
    static const QString ok = QStringLiteral("OK");
    static const QString cancel = QStringLiteral("ｷｬﾝｾﾙ");
    static const QString yes = QStringLiteral("はい(&Y)");
    static const QString no = QStringLiteral("いいえ(&N)");
    switch (buttons) {
    case Buttons::Ok: {
        const Button set[] = {{Answer::Ok, ok}};
        return message(parent, text, set, icon);
    }
    case Buttons::OkCancel: {
        const Button set[] = {{Answer::Ok, ok}, {Answer::Cancel, cancel}};
        return message(parent, text, set, icon);
    }
    case Buttons::YesNo: {
        const Button set[] = {{Answer::Yes, yes}, {Answer::No, no}};
        return message(parent, text, set, icon);
    }
    case Buttons::YesNoCancel: {
        const Button set[] = {{Answer::Yes, yes}, {Answer::No, no}, {Answer::Cancel, cancel}};
        return message(parent, text, set, icon);
    }
    }
    return Answer::Cancel;
}

Answer message(QWidget* parent, const QString& text, std::span<const Button> buttons, Icon icon) {
    QMessageBox box(parent ? parent : QApplication::activeWindow());
    box.setWindowTitle(appTitle());
    box.setText(text);
    switch (icon) {
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    for (const Button& b : buttons) {
        QAbstractButton* button = box.addButton(standard(b.answer));
        button->setText(b.label);
        // The label with its mnemonic marker is what a screen reader says.
        button->setAccessibleName(QString(b.label).remove(QLatin1Char('&')));
    }
    box.setDefaultButton(standard(buttons.front().answer));
    box.setEscapeButton(box.button(standard(buttons.back().answer)));

    const int result = exec(box);
    for (const Button& b : buttons)
        if (result == standard(b.answer))
            return b.answer;
    return buttons.back().answer;
}

} // namespace zu::ui
