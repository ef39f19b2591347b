// A large file opens in the background: its window shows how far it is,
// another document takes keystrokes meanwhile, and a load given up leaves
// nothing behind. What arrives is the same document opening at once gives.

#include "support/fixture.h"

#include "core/doc/content_hash.h"
#include "core/text/encoding.h"
#include "core/text/soft_joins.h"
#include "gui/app/load_frame.h"
#include "gui/doc/document_marks.h"
#include "gui/doc/text_load.h"
#include "gui/view/find_replace.h"
#include "gui/view/whole_text.h"
#include "gui/widgets/file_names.h"

#include <QLabel>
#include <QMdiArea>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace zu::test {
namespace {

class BackgroundOpen : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        CZuApp::backgroundOpenBytes() = 1000;
        // One small piece a turn: even this file takes many turns.
        TextLoad::setStep(0, 1000);
        removalBackgroundLength() = 1000;
        barDelayMilliseconds() = 0;
    }
    void TearDown() override {
        CZuApp::backgroundOpenBytes() = 4 << 20;
        TextLoad::setStep(TextLoad::kStepMilliseconds, TextLoad::kStepCharacters);
        TextModel::setDefaultJoinBound(kSoftJoinBound);
        removalBackgroundLength() = 4L << 20;
        barDelayMilliseconds() = 500;
        AppTest::TearDown();
    }
    CLoadFrame* loading() const {
        for (QMdiSubWindow* w : frame().mdiArea()->subWindowList())
            if (auto* l = qobject_cast<CLoadFrame*>(w))
                return l;
        return nullptr;
    }
    // The bar over a document at work, saying `caption`.
    LoadPanel* workPanel(const QString& caption) const {
        auto* panel = frame().findChild<LoadPanel*>();
        EXPECT_NE(panel, nullptr);
        if (panel) {
            EXPECT_EQ(panel->findChild<QLabel*>()->text(), caption);
        }
        return panel;
    }
    // Gives the work up with the bar's button, then waits long enough for
    // work not given up to be over.
    static void giveUp(LoadPanel* panel, const CZuDoc* doc) {
        panel->findChild<QPushButton*>()->click();
        QTest::qWait(300);
        settle();
        EXPECT_EQ(doc->text().work(), nullptr);
    }
    // Shift_JIS lines with CR LF, a few with LF, a line long enough to be
    // shown in pieces, raw bytes and the second byte form of a character.
    static QByteArray page() {
        QByteArray bytes;
        for (int n = 0; n < 3000; ++n)
            bytes +=
                "<p>\x93\xfa\x96\x7b " + QByteArray::number(n) + (n % 7 ? "</p>\r\n" : "</p>\n");
        bytes += QByteArray(900, 'w') + "\x80\xed\x40\r\n";
        return bytes;
    }
};

TEST_F(BackgroundOpen, AnotherDocumentTakesKeysWhileALargeFileLoads) {
    TextModel::setDefaultJoinBound(100);
    const QString file = writeFile(QStringLiteral("large.htm"), page());
    CZuView* other = view();
    ASSERT_NE(other, nullptr);
    CZuDoc* opened = nullptr;
    QObject::connect(app.get(), &CZuApp::documentOpened, [&](CZuDoc* d) { opened = d; });

    EXPECT_EQ(app->openFile(pathFromQt(file)), nullptr) << "still loading";
    CLoadFrame* window = loading();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("large.htm"));
    EXPECT_EQ(app->documents().size(), 1u) << "not a document before it is in";
    std::vector<int> shown;
    QObject::connect(window->findChild<QProgressBar*>(), &QProgressBar::valueChanged,
                     [&](int v) { shown.push_back(v); });
    // Typed into the other window while the file goes in, a key at a time.
    frame().mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(other->parentWidget()));
    int typed = 0;
    while (!opened && typed < 2000) {
        QTest::keyClick(other, Qt::Key_A);
        ++typed;
        QCoreApplication::processEvents();
    }
    ASSERT_NE(opened, nullptr);
    EXPECT_GT(typed, 10) << "the keys went in between pieces";
    EXPECT_EQ(other->doc()->text().sourceText(), QString(typed, u'a'));
    EXPECT_EQ(view(), other) << "the typist keeps the window";
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(std::ranges::is_sorted(shown));
    EXPECT_TRUE(std::ranges::any_of(shown, [](int v) { return v > 350 && v < 1000; }));
    settle();
    EXPECT_EQ(loading(), nullptr);

    // The same as opening at once, to the byte.
    CZuDoc::OpenResult direct = CZuDoc::open(pathFromQt(file));
    ASSERT_NE(direct.document, nullptr);
    EXPECT_EQ(opened->text().sourceText(), direct.document->text().sourceText());
    EXPECT_EQ(opened->text().joinMap().starts(), direct.document->text().joinMap().starts());
    EXPECT_FALSE(opened->text().joinMap().empty());
    EXPECT_TRUE(opened->text().hasMixedBreaks());
    EXPECT_EQ(opened->text().encode(opened->form(), Unmappable::Report).bytes,
              page().toStdString());
    EXPECT_FALSE(opened->text().isModified());
    EXPECT_FALSE(opened->text().textDocument()->isUndoAvailable());
    ASSERT_EQ(opened->views().size(), 1u);
    EXPECT_EQ(opened->views().front()->textCursor().position(), 0);
    EXPECT_FALSE(opened->views().front()->centerOnScroll()) << "scrolls no further than the end";
    EXPECT_EQ(app->recentFiles().paths().front().bytes(), file.toStdString());
}

TEST_F(BackgroundOpen, CancelLeavesNothingOpenAndOpeningAgainWorks) {
    const QString file = writeFile(QStringLiteral("large.htm"), page());
    const auto recent = app->recentFiles().paths();
    EXPECT_EQ(app->openFile(pathFromQt(file)), nullptr);
    CLoadFrame* window = loading();
    ASSERT_NE(window, nullptr);
    // Half-way into the control, then the button.
    while (window->load()->permille() <= 400)
        QCoreApplication::processEvents();
    EXPECT_EQ(app->openFile(pathFromQt(file)), nullptr)
        << "the window already loading comes forward";
    EXPECT_EQ(frame().mdiArea()->subWindowList().size(), 2);
    window->findChild<QPushButton*>()->click();
    settle();
    EXPECT_EQ(loading(), nullptr);
    EXPECT_EQ(app->documents().size(), 1u);
    EXPECT_EQ(frame().mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(app->recentFiles().paths(), recent);

    // Closing the window gives a load up as well; a third one goes through.
    app->openFile(pathFromQt(file));
    loading()->close();
    settle();
    EXPECT_EQ(app->documents().size(), 1u);
    CZuDoc* opened = nullptr;
    QObject::connect(app.get(), &CZuApp::documentOpened, [&](CZuDoc* d) { opened = d; });
    app->openFile(pathFromQt(file));
    for (int turns = 0; !opened && turns < 100000; ++turns)
        QCoreApplication::processEvents();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->text().encode(opened->form(), Unmappable::Report).bytes,
              page().toStdString());

    // From the recent files, it stays on the list while it loads.
    emit opened->closeRequested();
    settle();
    frame().onCommand(cmd::FileMru1);
    EXPECT_NE(loading(), nullptr);
    EXPECT_EQ(app->recentFiles().paths().front().bytes(), file.toStdString());
}

TEST_F(BackgroundOpen, ReloadShowsItsBarAndCancelLeavesTheDocumentAsItWas) {
    const QString file = writeFile(QStringLiteral("large.htm"), page());
    CZuDoc* doc = openWhole(file);
    ASSERT_NE(doc, nullptr);
    CZuView* shown = doc->views().front();
    QTest::keyClick(shown, Qt::Key_X);
    QTest::keyClick(shown, Qt::Key_Z, Qt::ControlModifier);
    const QString before = doc->text().sourceText();
    ASSERT_TRUE(doc->text().textDocument()->isRedoAvailable());
    // The file changes on disk and is read again, in UTF-8.
    const QByteArray changed = "<p>\xe6\x97\xa5\xe6\x9c\xac</p>\n" + QByteArray(8000, 'a');
    writeFile(QStringLiteral("large.htm"), changed);
    const Encoding& utf8 = *findEncoding("UTF-8");

    // Given up twice, at once and a little later: before the text goes in.
    for (const int turns : {0, 1}) {
        reloadDocument(*doc, &utf8, &frame());
        for (int t = 0; t < turns; ++t)
            QCoreApplication::processEvents();
        auto* panel = frame().findChild<LoadPanel*>();
        ASSERT_NE(panel, nullptr);
        EXPECT_FALSE(frame().isCommandEnabled(cmd::FileSave)) << "no command touches it";
        EXPECT_FALSE(shown->isEnabled());
        panel->findChild<QPushButton*>()->click();
        settle();
        EXPECT_EQ(doc->text().sourceText(), before);
        EXPECT_TRUE(doc->text().textDocument()->isRedoAvailable()) << "Undo keeps its steps";
    }

    // Once the text goes in it can no longer be given up; then it is the
    // file's, as reading it at once gives it.
    reloadDocument(*doc, &utf8, &frame());
    QPushButton* cancel = frame().findChild<LoadPanel*>()->findChild<QPushButton*>();
    bool refused = false;
    for (int turns = 0; doc->text().work() && turns < 100000; ++turns) {
        QCoreApplication::processEvents();
        if (doc->text().work() && doc->text().work()->permille() > 400) {
            refused = refused || !cancel->isEnabled();
            EXPECT_FALSE(doc->text().isModified());
        }
    }
    EXPECT_TRUE(refused);
    settle();
    EXPECT_TRUE(frame().isCommandEnabled(cmd::FileSave));
    EXPECT_EQ(doc->form().encoding, &utf8);
    EXPECT_FALSE(doc->text().isModified());
    EXPECT_EQ(doc->text().encode(doc->form(), Unmappable::Report).bytes, changed.toStdString());
}

// Tag removal on a long text: the bar shows over the document, another
// document takes keys meanwhile, a removal given up changes nothing, and
// one let run leaves the text removal at once leaves, a long line shown in
// pieces included.
TEST_F(BackgroundOpen, TagRemovalOnALongTextLeavesTheWindowUsable) {
    TextModel::setDefaultJoinBound(100);
    CZuView* other = view();
    CZuDoc* doc = openWhole(writeFile(QStringLiteral("large.htm"), page()));
    ASSERT_NE(doc, nullptr);
    QByteArray removed;
    for (int n = 0; n < 3000; ++n)
        removed += "\x93\xfa\x96\x7b " + QByteArray::number(n) + (n % 7 ? "\r\n" : "\n");
    removed += QByteArray(900, 'w') + "\x80\xed\x40\r\n";
    for (const bool giveUp : {true, false}) {
        std::optional<TagRemoval::Outcome> outcome;
        removeAllTags(*doc, [&](TagRemoval::Outcome o) { outcome = o; });
        LoadPanel* panel = workPanel(QStringLiteral("large.htm のタグを取り除いています。"));
        ASSERT_NE(panel, nullptr);
        EXPECT_TRUE(panel->isVisible());
        EXPECT_FALSE(frame().isCommandEnabled(cmd::FileSave)) << "no command touches it";
        if (giveUp) {
            this->giveUp(panel, doc);
            EXPECT_FALSE(outcome);
            EXPECT_EQ(doc->text().encode(doc->form(), Unmappable::Report).bytes,
                      page().toStdString());
            EXPECT_FALSE(doc->text().isModified());
            continue;
        }
        frame().mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(other->parentWidget()));
        int typed = 0;
        for (; !outcome && typed < 2000; ++typed) {
            QTest::keyClick(other, Qt::Key_A);
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(other->doc()->text().sourceText(), QString(typed, u'a'));
        EXPECT_EQ(outcome, TagRemoval::Outcome::Removed);
        EXPECT_EQ(doc->text().encode(doc->form(), Unmappable::Report).bytes, removed.toStdString());
        EXPECT_TRUE(doc->text().isModified());
        EXPECT_TRUE(doc->views().front()->isEnabled());
    }
}

// Replace All on a long text, in the same way: the bar, keys taken
// elsewhere, nothing changed when given up; let run, the text, its pieces
// and the caret are what replacing at once gives, matches on short lines
// and in the pieces of a long one alike, and Undo takes each back in one
// step as it does at once.
TEST_F(BackgroundOpen, ReplaceAllOnALongTextGivesWhatReplacingAtOnceGives) {
    TextModel::setDefaultJoinBound(100);
    CZuView* other = view();
    CZuDoc* doc = openWhole(writeFile(QStringLiteral("large.htm"), page()));
    CZuDoc* direct = openWhole(writeFile(QStringLiteral("direct.htm"), page()));
    ASSERT_TRUE(doc && direct);
    CZuView* shown = doc->views().front();
    FindReplace& find = FindReplace::instance();
    const auto same = [&] {
        EXPECT_EQ(doc->text().sourceText(), direct->text().sourceText());
        EXPECT_EQ(doc->text().joinMap().starts(), direct->text().joinMap().starts());
        EXPECT_EQ(shown->textCursor().position(), direct->views().front()->textCursor().position());
    };
    const struct {
        const char16_t* find;
        QString replacement;
        int matches;
    } rows[] = {
        {u"1</p>", QStringLiteral("1</p><!--") + QString(120, u'x') + QStringLiteral("-->"), 300},
        {u"ww", QStringLiteral("w w w"), 450}};
    std::vector<QString> steps{doc->text().sourceText()};
    int typed = 0;
    for (const auto& row : rows) {
        FindOptions options;
        options.text = QString::fromUtf16(row.find);
        options.replacement = row.replacement;
        removalBackgroundLength() = 1L << 40;
        EXPECT_EQ(find.replaceAll(direct->views().front(), options), row.matches);
        removalBackgroundLength() = 1000;
        const bool modified = doc->text().isModified();
        for (const bool giveUp : {true, false}) {
            ASSERT_TRUE(find.find(shown, options));
            std::optional<int> heard;
            EXPECT_EQ(find.replaceAll(shown, options, [&](int n) { heard = n; }), 0);
            EXPECT_FALSE(find.replace(shown, options)) << "the dialog may not touch it";
            LoadPanel* panel = workPanel(QStringLiteral("large.htm の文字列を置換しています。"));
            ASSERT_NE(panel, nullptr);
            if (giveUp) {
                this->giveUp(panel, doc);
                EXPECT_FALSE(heard);
                EXPECT_EQ(doc->text().sourceText(), steps.back());
                EXPECT_EQ(doc->text().isModified(), modified);
                continue;
            }
            frame().mdiArea()->setActiveSubWindow(
                qobject_cast<QMdiSubWindow*>(other->parentWidget()));
            const int before = typed;
            for (; !heard && typed < 5000; ++typed) {
                QTest::keyClick(other, Qt::Key_A);
                QCoreApplication::processEvents();
            }
            EXPECT_GE(typed - before, 3) << "keys went in between batches";
            EXPECT_EQ(other->doc()->text().sourceText(), QString(typed, u'a'));
            EXPECT_EQ(heard, row.matches);
            same();
            EXPECT_TRUE(doc->text().isModified());
        }
        steps.push_back(doc->text().sourceText());
    }
    steps.pop_back();
    for (; !steps.empty(); steps.pop_back()) {
        shown->undo();
        direct->views().front()->undo();
        EXPECT_EQ(doc->text().sourceText(), steps.back());
        same();
    }
}

// Saving reads the text a line at a time and encodes it in pieces: with
// pieces of a few characters, lines in pieces, mixed breaks, raw bytes and
// byte forms, the pieces together are the file's bytes.
TEST_F(BackgroundOpen, SavingInPiecesWritesTheBytesOfTheWholeText) {
    TextModel::setDefaultJoinBound(100);
    CZuDoc* doc = openWhole(writeFile(QStringLiteral("large.htm"), page()));
    ASSERT_NE(doc, nullptr);
    for (const std::size_t size : {1u, 7u}) {
        std::string joined;
        for (const std::string& piece :
             doc->text().encodeInPieces(doc->form(), Unmappable::Report, size).pieces)
            joined += piece;
        EXPECT_EQ(joined, page().toStdString()) << size;
    }
    ASSERT_TRUE(doc->saveTo(doc->pathName(), Unmappable::Report).saved());
    ASSERT_TRUE(doc->fileBase());
    EXPECT_EQ(doc->fileBase()->identity.hash, contentHash(page().toStdString()));
}

// The decoded text is as large as the file twice over: once in the
// control, it is given back.
TEST_F(BackgroundOpen, TheDecodedTextIsGivenBackOnceItIsIn) {
    TextModel model;
    DocumentText decoded = decodeDocument(std::string(100000, 'a'));
    model.load(decoded);
    EXPECT_LT(decoded.text.capacity(), 16u);
}

} // namespace
} // namespace zu::test
