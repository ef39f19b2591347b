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

QStringList localFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        // The URL carries the path's bytes percent-encoded; toLocalFile()
        // would decode them as UTF-8 and lose a name that is not.
        if (url.host().isEmpty())
            paths << pathFromBytes(
                QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1())
                    .toStdString());
        else
            paths << url.toLocalFile();
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
    struct Choice {
        Answer answer;
        const char* label;
    };
    static const Choice ok[] = {{Answer::Ok, "OK"}};
    static const Choice okCancel[] = {{Answer::Ok, "OK"}, {Answer::Cancel, "ｷｬﾝｾﾙ"}};
    static const Choice yesNo[] = {{Answer::Yes, "はい(&Y)"}, {Answer::No, "いいえ(&N)"}};
    static const Choice yesNoCancel[] = {
        {Answer::Yes, "はい(&Y)"}, {Answer::No, "いいえ(&N)"}, {Answer::Cancel, "ｷｬﾝｾﾙ"}};
    const Choice* first = ok;
    std::size_t count = 1;
    switch (buttons) {
    case Buttons::Ok:
        break;
    case Buttons::OkCancel:
        first = okCancel, count = 2;
        break;
    case Buttons::YesNo:
        first = yesNo, count = 2;
        break;
    case Buttons::YesNoCancel:
        first = yesNoCancel, count = 3;
        break;
    }
    for (std::size_t i = 0; i < count; ++i) {
        QAbstractButton* b = box.addButton(standard(first[i].answer));
        b->setText(QString::fromUtf8(first[i].label));
    }
    box.setDefaultButton(standard(first[0].answer));
    box.setEscapeButton(box.button(standard(first[count - 1].answer)));

    const int result = exec(box);
    for (std::size_t i = 0; i < count; ++i)
        if (result == standard(first[i].answer))
            return first[i].answer;
    return first[count - 1].answer;
}

} // namespace zu::ui
