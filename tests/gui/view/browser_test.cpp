// ﾌﾞﾗｳｻﾞで表示 on a desktop made in a scratch folder, where zu is the
// default for web pages as a registration would have made it: fake browsers
// (scripts that write down their arguments) as desktop entries and in
// $BROWSER, and a desktop with none.

#include "support/fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <optional>

namespace zu::test {
namespace {

// One environment variable for the life of the object.
class EnvSet {
public:
    EnvSet(const char* name, const std::optional<QByteArray>& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~EnvSet() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

struct BrowserCase {
    const char* name;
    const char* entries;  // "browser" and/or "editor" and/or "broken": entries installed
    const char* defaults; // added to the user's list
    const char* browserVariable;
    QStringList arguments; // what the started program got; {} when a message is expected
    const char* message;
};

const char* const kNoBrowser =
    "ﾌﾞﾗｳｻﾞが見つかりません。\n"
    "Web ﾍﾟｰｼﾞ (http) を開く既定のｱﾌﾟﾘｹｰｼｮﾝも、環境変数 BROWSER も、"
    "zu のほかに HTML ﾌｧｲﾙを開くｱﾌﾟﾘｹｰｼｮﾝもありません。\n"
    "ﾌﾞﾗｳｻﾞをｲﾝｽﾄｰﾙし、ﾃﾞｽｸﾄｯﾌﾟの設定で既定の Web ﾌﾞﾗｳｻﾞに選んでください"
    " (xdg-settings set default-web-browser firefox-esr.desktop のようにも設定できます)。"
    "または環境変数 BROWSER にﾌﾞﾗｳｻﾞのｺﾏﾝﾄﾞ名を設定してください。";

class Browser : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(xdg(QStringLiteral("data/applications"))));
        ASSERT_TRUE(QDir().mkpath(xdg(QStringLiteral("config"))));
        // zu as a registration makes it: the user's default for web pages,
        // with an entry that says it opens web addresses too.
        put(QStringLiteral("data/applications/zu.desktop"),
            "[Desktop Entry]\nType=Application\nName=zu\nExec=" +
                QFile::encodeName(QCoreApplication::applicationFilePath()) +
                " %F\nMimeType=text/html;x-scheme-handler/http;\n");
    }

    QString xdg(const QString& name) const { return root.filePath(name); }
    void put(const QString& name, const QByteArray& bytes) {
        QFile f(xdg(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // A program that writes the arguments it was started with to `out`.
    QByteArray fakeProgram(const QString& name, const QString& out) {
        const QString script = xdg(name);
        put(name, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + QFile::encodeName(out) + ".part'\nmv '" +
                      QFile::encodeName(out) + ".part' '" + QFile::encodeName(out) + "'\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return QFile::encodeName(script);
    }

    QTemporaryDir root;
    EnvSet data{"XDG_DATA_HOME", QFile::encodeName(xdg(QStringLiteral("data")))};
    EnvSet config{"XDG_CONFIG_HOME", QFile::encodeName(xdg(QStringLiteral("config")))};
    EnvSet dataDirs{"XDG_DATA_DIRS", QFile::encodeName(xdg(QStringLiteral("system")))};
    EnvSet configDirs{"XDG_CONFIG_DIRS", QFile::encodeName(xdg(QStringLiteral("etc")))};
    EnvSet desktop{"XDG_CURRENT_DESKTOP", std::nullopt};
    EnvSet browser{"BROWSER", std::nullopt};
};

TEST_F(Browser, TheDesktopsBrowserGetsTheSavedFilesUrlAndZuNeverDoes) {
    const BrowserCase cases[] = {
        {"HttpDefault",
         "browser editor",
         "x-scheme-handler/http=fake-browser.desktop;\n",
         nullptr,
         {QStringLiteral("--new-tab"), QStringLiteral("URL")},
         nullptr},
        {"BrowserVariable",
         "editor",
         "",
         "/nowhere/b:BROWSER-SCRIPT --x=%s --y",
         {QStringLiteral("--x=URL"), QStringLiteral("--y")},
         nullptr},
        {"APageHandlerOtherThanZu", "editor", "", nullptr, {QStringLiteral("URL")}, nullptr},
        {"NothingButZu", "", "", nullptr, {}, kNoBrowser},
        {"ABrowserThatCannotStart",
         "broken",
         "",
         nullptr,
         {},
         "ﾌﾞﾗｳｻﾞを起動できませんでした (fake-broken.desktop)。\n"
         "ﾃﾞｽｸﾄｯﾌﾟの設定か環境変数 BROWSER で、起動できるﾌﾞﾗｳｻﾞを選んでください。"},
    };
    // A name a shell would trip over, and not ASCII.
    const QString file = path(QStringLiteral("ﾍﾟｰｼﾞ $(x) 1.htm"));
    dialogs.thenSaveAs(file);
    frame().onCommand(cmd::FileSave);
    settle();
    QTest::keyClicks(view(), "unsaved");

    for (const BrowserCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = xdg(QStringLiteral("out-") + QString::fromLatin1(c.name));
        const QString entries = QString::fromLatin1(c.entries);
        for (const char* kind : {"browser", "editor", "broken"})
            QFile::remove(xdg(QStringLiteral("data/applications/fake-%1.desktop").arg(kind)));
        if (entries.contains(QStringLiteral("browser")))
            put(QStringLiteral("data/applications/fake-browser.desktop"),
                "[Desktop Entry]\nType=Application\nName=B\nExec=" +
                    fakeProgram(QStringLiteral("browser"), out) +
                    " --new-tab %u\nMimeType=x-scheme-handler/http;\n");
        if (entries.contains(QStringLiteral("editor")))
            put(QStringLiteral("data/applications/fake-editor.desktop"),
                "[Desktop Entry]\nType=Application\nName=E\nExec=" +
                    fakeProgram(QStringLiteral("editor"), out) + "\nMimeType=text/html;\n");
        if (entries.contains(QStringLiteral("broken")))
            put(QStringLiteral("data/applications/fake-broken.desktop"),
                "[Desktop Entry]\nType=Application\nName=X\nExec=/nowhere/browser %u\n"
                "MimeType=x-scheme-handler/http;\n");
        put(QStringLiteral("config/mimeapps.list"),
            QByteArray("[Default Applications]\ntext/html=zu.desktop;\n") + c.defaults);
        std::optional<EnvSet> variable;
        if (c.browserVariable)
            variable.emplace("BROWSER",
                             QByteArray(c.browserVariable)
                                 .replace("BROWSER-SCRIPT", fakeProgram(QStringLiteral("b"), out)));
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
        for (QString& argument : arguments) {
            const auto at = argument.indexOf(QStringLiteral("file:///"));
            if (at >= 0 && QUrl::fromEncoded(argument.mid(at).toLatin1()).toLocalFile() == file)
                argument = argument.left(at) + QStringLiteral("URL");
        }
        EXPECT_EQ(arguments.join(u' ').toStdString(), c.arguments.join(u' ').toStdString());
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
