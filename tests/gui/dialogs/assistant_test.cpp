// The Assistant menu as a user drives it: each command chosen from the
// keyboard, its dialog answered, inserts the expected text around the
// selection and saves as the expected bytes.

#include "support/fixed_time_zone.h"
#include "support/fixture.h"
#include "support/keyboard.h"

#include "core/settings/settings.h"
#include "gui/dialogs/assistant_commands.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QTest>

#include <sys/stat.h>
#include <utime.h>

namespace zu::test {
namespace {

class Assistant : public AppTest {
protected:
    void TearDown() override {
        setAssistantClock({});
        AppTest::TearDown();
    }

    // Puts `text` in the document, selects from..to and runs `id` from the menu.
    QString run(int id, const QString& text, int from, int to) {
        view()->setPlainText(text);
        view()->setSelection(from, to);
        view()->setFocus();
        EXPECT_TRUE(chooseFromMenu(view(), id));
        settle();
        return view()->toPlainText();
    }

    // Saves the document as `name` and gives back the bytes written.
    QByteArray saved(const QString& name) {
        dialogs.thenSaveAs(path(name));
        frame().onCommand(cmd::FileSave);
        return readFile(path(name));
    }
};

TEST_F(Assistant, FixedFragmentsWrapTheSelection) {
    struct Case {
        const char* name;
        int id;
        QString text;
        int from, to;
        QString expected;
    } cases[] = {
        {"index with Top", cmd::Index, "Top", 0, 3, "<h3><a HREF=\"URL\">Top</a></h3>\n"},
        {"index empty", cmd::Index, "", 0, 0, "<h3><a HREF=\"URL\"></a></h3>\n"},
        {"topic with abc", cmd::Topic, "abc", 3, 0,
         "<h4></h4>\nabc<blockquote>\n\n</blockquote>\n"},
        {"quick create keeps markup", cmd::QuickCreate, "<b>x</b>", 0, 8,
         "<html>\n<head>\n<meta NAME=\"GENERATOR\" Content=\"ZO 2.00\">\n"
         "<meta HTTP-EQUIV=\"Content-Type\" content=\"text/html; charset=x-sjis\">\n"
         "<title>Title</title>\n</head>\n"
         "<body BGCOLOR=#ffffff LINK=#ff0000 VLINK=#0000ff ALINK=#000000>\n<pre>\n"
         "<font FACE=\"FixedSys\">\n<b>x</b>\n</font>\n</pre>\n\n</body>\n</html>\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.id, c.text, c.from, c.to), c.expected) << c.name;
        EXPECT_EQ(view()->selection(),
                  (EditBuffer::Range{std::min(c.from, c.to), std::min(c.from, c.to)}))
            << c.name;
    }
    // Saved with the document's CR LF breaks.
    EXPECT_TRUE(saved(QStringLiteral("quick.htm"))
                    .startsWith("<html>\r\n<head>\r\n<meta NAME=\"GENERATOR\""));
}

TEST_F(Assistant, DatesAreLocalTimeWhereUniversalTimeIsStillTheDayBefore) {
    // 5 January 1998 09:07 in Japan is 00:07 universal time; 00:10 in Japan
    // is still the 4th in universal time.
    const testing::FixedTimeZone japan("JST-9");
    struct Case {
        std::time_t when;
        int id;
        const char* expected;
    } cases[] = {
        {883958820, cmd::Date, "<h5>1998/01/05</h5><br>"},
        {883958820, cmd::DateTime, "<h5>1998/01/05 09:07</h5><br>"},
        {883926600, cmd::Date, "<h5>1998/01/05</h5><br>"},
    };
    for (const Case& c : cases) {
        setAssistantClock([when = c.when] { return when; });
        EXPECT_EQ(run(c.id, QString(), 0, 0), QString::fromUtf8(c.expected));
    }
    EXPECT_EQ(saved(QStringLiteral("date.htm")), QByteArray("<h5>1998/01/05</h5><br>"));
}

TEST_F(Assistant, ColourReferenceStartsFromBlackAndGoesInFrontOfTheSelection) {
    dialogs.then([](QDialog& dialog) {
        auto* colours = qobject_cast<QColorDialog*>(&dialog);
        EXPECT_NE(colours, nullptr)
            << dialog.metaObject()->className() << " " << dialog.windowTitle().toStdString();
        if (!colours)
            return int(QDialog::Rejected);
        EXPECT_EQ(colours->currentColor(), QColor(Qt::black));
        colours->setCurrentColor(QColor(10, 5, 255));
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(run(cmd::ColorReference, QStringLiteral("abc"), 0, 3), QStringLiteral("#0a05ffabc"));
    EXPECT_EQ(view()->selection(), (EditBuffer::Range{0, 0}));

    dialogs.thenCancel();
    EXPECT_EQ(run(cmd::ColorReference, QStringLiteral("abc"), 0, 3), QStringLiteral("abc"));
    EXPECT_FALSE(view()->document()->isUndoAvailable()) << "a cancel inserts nothing";
}

class FileAssistant : public Assistant {
protected:
    void SetUp() override {
        Assistant::SetUp();
        const testing::FixedTimeZone japan("JST-9");
        folder = path(QStringLiteral("表 site"));
        QDir().mkpath(folder);
        make(QStringLiteral("a.htm"), "abc");
        make(QStringLiteral("b.gif"), "");
    }

    void make(const QString& name, const QByteArray& bytes) {
        QFile f(folder + QLatin1Char('/') + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        // 15 July 1998, 09:05 in Japan.
        const utimbuf times{900461100, 900461100};
        ASSERT_EQ(::utime(QFile::encodeName(f.fileName()).constData(), &times), 0);
    }

    // Answers the file picker with the files in this order.
    void pick(const QStringList& names) {
        dialogs.then([this, names](QDialog& dialog) {
            auto* picker = qobject_cast<QFileDialog*>(&dialog);
            EXPECT_NE(picker, nullptr);
            if (!picker)
                return int(QDialog::Rejected);
            EXPECT_EQ(picker->fileMode(), QFileDialog::ExistingFiles);
            EXPECT_EQ(picker->nameFilters(), QStringList{QStringLiteral("AllFiles (*)")});
            picker->setDirectory(folder);
            QString typed;
            for (const QString& n : names)
                typed += QStringLiteral("\"%1\" ").arg(n);
            picker->selectFile(typed.trimmed());
            return int(QDialog::Accepted);
        });
    }

    QString folder;
};

TEST_F(FileAssistant, ListTableAndImageLinkInTheOrderPicked) {
    const testing::FixedTimeZone japan("JST-9");
    const QString heading = QStringLiteral("<center><h3><u>%1</u></h3></center>\n").arg(folder);
    settings().linkWithDirectory = 0;
    settings().linkWithAnchor = 1;

    pick({QStringLiteral("b.gif"), QStringLiteral("a.htm")});
    EXPECT_EQ(run(cmd::FileList, QStringLiteral("X"), 0, 1),
              heading + QStringLiteral("<a HREF=\"b.gif\">b.gif</a>\t98/07/15 09:05 0Bytes<br>\n"
                                       "<a HREF=\"a.htm\">a.htm</a>\t98/07/15 09:05 3Bytes<br>\n"
                                       "X\n"));
    const QByteArray bytes = saved(QStringLiteral("list.htm"));
    EXPECT_TRUE(bytes.endsWith("3Bytes<br>\r\nX\r\n")) << bytes.toStdString();
    EXPECT_TRUE(bytes.startsWith("<center><h3><u>")) << bytes.toStdString();

    settings().linkWithDirectory = 1;
    settings().linkWithAnchor = 0;
    pick({QStringLiteral("a.htm")});
    const QString full = folder + QStringLiteral("/a.htm");
    EXPECT_EQ(run(cmd::ImageLink, QString(), 0, 0),
              heading + QStringLiteral("<img SRC=\"%1\">\n\n").arg(full));

    // The table links every file, whatever the anchor setting says.
    pick({QStringLiteral("a.htm")});
    EXPECT_EQ(run(cmd::FileTable, QString(), 0, 0),
              QStringLiteral("<center>\n<h3><u>%1</u></h3>\n"
                             "<table BORDER=1 CELLPADDING=4 BGCOLOR=#ffffff>\n<tr>\n"
                             "<th BGCOLOR=#00eecc ALIGN=\"center\">Name</th>\n"
                             "<th BGCOLOR=#00eecc ALIGN=\"center\">Update</th>\n"
                             "<th BGCOLOR=#00eecc ALIGN=\"center\">Bytes</th>\n"
                             "<th BGCOLOR=#00eecc ALIGN=\"center\">Comments</th>\n</tr>\n"
                             "<tr>\n<td><a HREF=\"%2\">%2</a></td>\n<td>98/07/15 09:05</td>\n"
                             "<td ALIGN=\"right\">3</td>\n<td>ファイル</td>\n</tr>\n"
                             "</table>\n</center>\n")
                  .arg(folder, full));

    dialogs.thenCancel();
    EXPECT_EQ(run(cmd::FileList, QStringLiteral("kept"), 0, 4), QStringLiteral("kept"));
}

} // namespace
} // namespace zu::test
