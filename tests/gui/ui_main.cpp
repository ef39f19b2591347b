// Runs the widget tests inside one QApplication, with the settings, the
// recent-file list, the desktop registration and the socket of the running
// zu kept in a fresh temporary folder, never the user's own.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir scratch;
    const auto folder = [&](const char* name) {
        const QString path = scratch.filePath(QString::fromLatin1(name));
        QDir().mkpath(path);
        return QFile::encodeName(path);
    };
    qputenv("ZU_CONFIG_DIR", folder("config"));
    qputenv("XDG_CONFIG_HOME", folder("xdg-config"));
    qputenv("XDG_DATA_HOME", folder("xdg-data"));
    // The machine's own lists and entries stay out of it: no browser of the
    // machine is ever started, no default of its own decides.
    qputenv("XDG_DATA_DIRS", folder("xdg-data-dirs"));
    qputenv("XDG_CONFIG_DIRS", folder("xdg-config-dirs"));
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("BROWSER");
    // The runtime folder is the user's alone, as the desktop makes it.
    const QByteArray runtime = folder("runtime");
    QFile::setPermissions(QFile::decodeName(runtime),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime);
    // A display named by the developer's session must not pick the socket.
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
