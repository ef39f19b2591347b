// ﾌﾞﾗｳｻﾞで表示 on a desktop made in a scratch folder, where zu is the
// default for web pages as a registration would have made it: fake browsers
// (scripts that write down their arguments) as desktop entries and in
// $BROWSER, one that cannot start, and none.

#include "support/fixture.h"
#include "support/scratch_folder.h"

#include <QFileInfo>
#include <QTest>

#include <optional>

namespace zu::test {
namespace {

using zu::testing::ScopedEnv;

class Browser : public AppTest {
protected:
    std::string xdg(const QString& name) const {
        return QFile::encodeName(root.filePath(name)).toStdString();
    }
    void put(const QString& name, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(root.filePath(name)).path());
        QFile f(root.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // A program that writes the arguments it was started with to `out`.
    QByteArray fake(const QString& name, const QString& out) {
        const QByteArray o = QFile::encodeName(out);
        put(name, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + o + ".part'\nmv '" + o + ".part' '" + o +
                      "'\n");
        QFile::setPermissions(root.filePath(name),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return QFile::encodeName(root.filePath(name));
    }
    QByteArray entry(const QByteArray& exec, const char* types) {
        return "[Desktop Entry]\nType=Application\nName=F\nExec=" + exec + "\nMimeType=" + types +
               "\n";
    }

    QTemporaryDir root;
    ScopedEnv data{"XDG_DATA_HOME", xdg(QStringLiteral("data"))};
    ScopedEnv config{"XDG_CONFIG_HOME", xdg(QStringLiteral("config"))};
    ScopedEnv dataDirs{"XDG_DATA_DIRS", xdg(QStringLiteral("system"))};
    ScopedEnv configDirs{"XDG_CONFIG_DIRS", xdg(QStringLiteral("etc"))};
    ScopedEnv desktop{"XDG_CURRENT_DESKTOP", std::nullopt};
    ScopedEnv browser{"BROWSER", std::nullopt};
};

TEST_F(Browser, TheDesktopsBrowserGetsTheSavedFilesUrlAndZuNeverDoes) {
    const char* const noBrowser =
        "ﾌﾞﾗｳｻﾞが見つかりません。\n"
        "Web ﾍﾟｰｼﾞ (http) を開く既定のｱﾌﾟﾘｹｰｼｮﾝも、環境変数 BROWSER も、"
        "zu のほかに HTML ﾌｧｲﾙを開くｱﾌﾟﾘｹｰｼｮﾝもありません。\n"
        "ﾌﾞﾗｳｻﾞをｲﾝｽﾄｰﾙし、ﾃﾞｽｸﾄｯﾌﾟの設定で既定の Web ﾌﾞﾗｳｻﾞに選んでください"
        " (xdg-settings set default-web-browser firefox-esr.desktop のようにも設定できます)。"
        "または環境変数 BROWSER にﾌﾞﾗｳｻﾞのｺﾏﾝﾄﾞ名を設定してください。";
    const char* const cannotStart =
        "ﾌﾞﾗｳｻﾞを起動できませんでした (broken.desktop)。\n"
        "ﾃﾞｽｸﾄｯﾌﾟの設定か環境変数 BROWSER で、起動できるﾌﾞﾗｳｻﾞを選んでください。";
    const struct {
        const char* name;
        const char* entries; // installed: "browser", "editor", "broken"
        const char* defaults;
        const char* browserVariable; // "FAKE" stands for the fake program
        const char* arguments;       // what the fake got, "URL" for the saved file's; or
        const char* message;         // the message shown instead
    } cases[] = {
        // clang-format off
        {"HttpDefault", "browser editor", "x-scheme-handler/http=browser.desktop;\n", nullptr, "--new-tab URL", nullptr},
        {"BrowserVariable", "editor", "", "/nowhere/b:FAKE --x=%s --y", "--x=URL --y", nullptr},
        {"APageHandlerOtherThanZu", "editor", "", nullptr, "URL", nullptr},
        {"NothingButZu", "", "", nullptr, nullptr, noBrowser},
        {"ABrowserThatCannotStart", "broken", "", nullptr, nullptr, cannotStart},
        // clang-format on
    };
    // A name a shell would trip over, and not ASCII.
    const QString file = path(QStringLiteral("ﾍﾟｰｼﾞ $(x) 1.htm"));
    dialogs.thenSaveAs(file);
    frame().onCommand(cmd::FileSave);
    settle();
    QTest::keyClicks(view(), "unsaved");
    // zu as a registration makes it: the default for web pages, with an
    // entry that says it opens web addresses too.
    put(QStringLiteral("data/applications/zu.desktop"),
        entry(QFile::encodeName(QCoreApplication::applicationFilePath()) + " %F",
              "text/html;x-scheme-handler/http;"));

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = root.filePath(QStringLiteral("out-") + QString::fromLatin1(c.name));
        const QString entries = QString::fromLatin1(c.entries);
        const QByteArray program = fake(QStringLiteral("fake-") + QString::fromLatin1(c.name), out);
        const std::pair<const char*, QByteArray> kinds[] = {
            {"browser", entry(program + " --new-tab %u", "x-scheme-handler/http;")},
            {"editor", entry(program, "text/html;")},
            {"broken", entry("/nowhere/browser %u", "x-scheme-handler/http;")}};
        for (const auto& [kind, text] : kinds) {
            const QString name =
                QStringLiteral("data/applications/%1.desktop").arg(QString::fromLatin1(kind));
            QFile::remove(root.filePath(name));
            if (entries.contains(QString::fromLatin1(kind)))
                put(name, text);
        }
        put(QStringLiteral("config/mimeapps.list"),
            QByteArray("[Default Applications]\ntext/html=zu.desktop;\n") + c.defaults);
        std::optional<ScopedEnv> variable;
        if (c.browserVariable)
            variable.emplace("BROWSER",
                             QByteArray(c.browserVariable).replace("FAKE", program).toStdString());
        if (c.message)
            dialogs.thenMessage(QMessageBox::Ok);

        frame().onCommand(cmd::ViewInBrowser);
        settle();
        if (c.message) {
            EXPECT_EQ(dialogs.messages().last(), QString::fromUtf8(c.message));
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(out); }, 10000));
        QFile got(out);
        ASSERT_TRUE(got.open(QIODevice::ReadOnly));
        // Each address that stands for the saved file reads "URL".
        QStringList arguments = QString::fromUtf8(got.readAll()).split(u'\n', Qt::SkipEmptyParts);
        for (QString& argument : arguments)
            if (const auto at = argument.indexOf(QStringLiteral("file:///"));
                at >= 0 && QUrl::fromEncoded(argument.mid(at).toLatin1()).toLocalFile() == file)
                argument = argument.left(at) + QStringLiteral("URL");
        EXPECT_EQ(arguments.join(u' ').toStdString(), c.arguments);
    }
    // zu started nothing of its own: it holds the one document it had.
    EXPECT_EQ(app->documents().size(), 1u);
}

TEST_F(Browser, WaitsForTheFirstSave) {
    EXPECT_FALSE(frame().action(cmd::ViewInBrowser)->isEnabled());
    dialogs.thenSaveAs(path(QStringLiteral("page.htm")));
    frame().onCommand(cmd::FileSave);
    settle();
    EXPECT_TRUE(frame().action(cmd::ViewInBrowser)->isEnabled());
}

} // namespace
} // namespace zu::test
