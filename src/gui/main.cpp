#include "core/settings/settings.h"
#include "gui/app/icons.h"
#include "gui/app/termination.h"
#include "gui/app/zu_app.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QTranslator>

int main(int argc, char* argv[]) {
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

    zu::settings(); // the program's location, before anything reads it
    zu::CZuApp app;
    QStringList args = QApplication::arguments();
    args.removeFirst();
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
