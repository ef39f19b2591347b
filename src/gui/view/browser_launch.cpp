#include "gui/view/browser_launch.h"

#include "core/desktop/browser.h"
#include "gui/widgets/ui.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

namespace zu {

void showInBrowser(QWidget* parent, const FilePath& path) {
    const std::string self =
        QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    const std::vector<BrowserCommand> commands =
        browserCommands(path.bytes(), self, realDesktopFileSystem());
    if (commands.empty()) {
        ui::message(parent, ui::qs(noBrowserMessage()));
        return;
    }
    std::vector<std::string> tried;
    for (const BrowserCommand& command : commands) {
        QStringList args;
        for (std::size_t i = 1; i < command.argv.size(); ++i)
            args << QFile::decodeName(QByteArray::fromStdString(command.argv[i]));
        // Detached: the browser outlives zu, and zu never waits for it.
        if (QProcess::startDetached(QFile::decodeName(QByteArray::fromStdString(command.argv[0])),
                                    args))
            return;
        tried.push_back(command.from == "$BROWSER" ? command.argv[0] : command.from);
    }
    ui::message(parent, ui::qs(browserFailedMessage(tried)));
}

} // namespace zu
