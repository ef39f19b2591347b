#include "gui/view/help_window.h"

#include "core/settings/settings.h"
#include "gui/widgets/ui.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace zu {

QString helpFilePath() {
    const QString programDir = QString::fromStdString(settings().programDirectory.folder());
    const QString beside = QDir(programDir).filePath(QStringLiteral("zu.html"));
    const QString installed = QDir(programDir).filePath(QStringLiteral("../share/zu/zu.html"));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return QFileInfo(installed).absoluteFilePath();
    return beside;
}

void showHelp(QWidget* owner) {
    const QString path = helpFilePath();
    if (!QFileInfo(path).isFile()) {
        ui::message(owner, QStringLiteral("ﾍﾙﾌﾟ ﾌｧｲﾙ %1 が見つかりません。").arg(path));
        return;
    }
    static QPointer<QDialog> window;
    if (!window) {
        window = new QDialog(owner ? owner->window() : nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(QStringLiteral("zu ﾍﾙﾌﾟ"));
        auto* browser = new QTextBrowser(window);
        browser->setObjectName(QStringLiteral("helpBrowser"));
        browser->setOpenExternalLinks(true);
        browser->setSource(QUrl::fromLocalFile(path));
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
        window->resize(640, 560);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace zu
