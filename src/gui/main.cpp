#include "core/settings/settings.h"
#include "gui/app/icons.h"
#include "gui/app/termination.h"
#include "gui/app/zu_app.h"
#include "gui/widgets/ui.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QSessionManager>
#include <QTranslator>

#include <csignal>
#include <cstdio>

namespace {

// ZU_MESSAGE_LOG names a file for running zu unattended (scripts, the
// program's own tests): every message box is appended to it, one line
// each, and answered as Escape would answer it, instead of waiting for a
// user who is not there.
void logMessagesTo(const QByteArray& file) {
    zu::ui::setDialogHook([file](QDialog& dialog) -> int {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        // Opened for each message, and with stdio, so that the log may be a
        // pipe as well as a file.
        if (std::FILE* log = std::fopen(file.constData(), "a")) {
            const QByteArray line =
                (box ? box->text() : dialog.windowTitle()).toUtf8().replace('\n', ' ') + '\n';
            std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), log);
            std::fclose(log);
        }
        if (!box)
            return QDialog::Rejected;
        return box->standardButton(box->escapeButton());
    });
}

} // namespace

int main(int argc, char* argv[]) {
    // A write past the file-size limit (ulimit -f) would otherwise end zu on
    // the spot, edits and all; ignored, the write fails with EFBIG and the
    // save reports a full disk like any other.
    std::signal(SIGXFSZ, SIG_IGN);

    // "zu --help" and "zu --check" answer on a terminal that may have no
    // display, before any application object exists: a check runs in a
    // site's build.
    if (const std::optional<int> answered =
            zu::CZuApp::answerOnTerminal(std::vector<std::string>(argv + 1, argv + argc)))
        return *answered;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zu"));
    // The desktop matches the windows to zu.desktop, for their icon and name.
    QApplication::setDesktopFileName(QStringLiteral("zu"));
    QApplication::setWindowIcon(zu::appIcon());

    // The framework's own dialogs (files, printing) speak Japanese too.
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);

    if (const QByteArray log = qgetenv("ZU_MESSAGE_LOG"); !log.isEmpty())
        logMessagesTo(log);

    zu::settings(); // the program's location, before anything reads it
    zu::CZuApp app;
    // From argv itself, which QApplication has left with the arguments it
    // does not take: arguments() decodes them as UTF-8 and would lose the
    // bytes of a file name that is not.
    const std::vector<std::string> args(argv + 1, argv + argc);
    // A shutdown or a kill keeps every unsaved change; a logout asks first.
    zu::onTerminationSignal(&app, [&app] { app.keepEverythingAndQuit(); });
    QObject::connect(&application, &QGuiApplication::commitDataRequest,
                     [&app](QSessionManager& session) {
                         if (!app.commitData(session.allowsInteraction()))
                             session.cancel();
                         session.release();
                     });
    if (const std::optional<int> code = app.start(args))
        return *code;
    return QApplication::exec();
}
