// Typing into a 16 MB page while its recovery copy follows the edits,
// against the same typing with no copy kept, in one run: twenty keystrokes
// a second for ten seconds, each timed from the moment it was due until it
// was handled and painted (time the window spent writing a copy in between
// makes the next keystroke late). For scale, what taking the whole
// document at once costs the window: what every copy cost before copies
// were a journal of the edits.
//
//   zu_bench_recovery [SECONDS]

#include "gui/doc/recovery_keeper.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"

#include "bench_text.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Lines of markup around Japanese text, as a page holds them.
std::string makePage(std::size_t bytes) {
    const std::vector<std::string> japanese = zu::bench::shiftJisPairs({0x82u, 0x88u, 0x93u});
    std::mt19937 random(16);
    std::string page;
    page.reserve(bytes + 256);
    while (page.size() < bytes) {
        page += "<p>";
        for (int w = 4 + int(random() % 30); w > 0; --w)
            page +=
                random() % 4 == 0 ? std::string(" HTML ") : japanese[random() % japanese.size()];
        page += "</p>\r\n";
    }
    return page;
}

struct Typing {
    double median = 0, p99 = 0, longest = 0;
    std::size_t keys = 0;
};

// Types into the middle of `path` for `seconds`; with `folder`, a keeper
// writes the document's copy there as zu does.
Typing type(const QString& path, const std::string& folder, int seconds) {
    auto doc = std::move(zu::CZuDoc::open(path).document);
    auto view = std::make_unique<zu::CZuView>(doc.get());
    view->resize(800, 600);
    view->show();
    if (!folder.empty())
        new zu::RecoveryKeeper(*doc, folder);
    QTextCursor c(doc->text().textDocument());
    c.setPosition(doc->text().textDocument()->characterCount() / 2);
    view->setTextCursor(c);
    view->setFocus();
    QCoreApplication::processEvents();

    std::vector<double> late;
    QElapsedTimer clock;
    clock.start();
    const qint64 step = 50; // milliseconds: twenty keystrokes a second
    for (qint64 due = step; due < seconds * 1000; due += step) {
        while (clock.elapsed() < due) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::usleep(500);
        }
        const QString letter(QChar(char16_t(u'a' + late.size() % 26)));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, letter);
        QApplication::sendEvent(view.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, letter);
        QApplication::sendEvent(view.get(), &release);
        view->viewport()->repaint();
        late.push_back(double(clock.nsecsElapsed()) / 1e6 - double(due));
    }
    if (auto* keeper = doc->findChild<zu::RecoveryKeeper*>())
        keeper->writeNow();
    doc->text().setModified(false);
    view.reset();
    std::sort(late.begin(), late.end());
    return {late[late.size() / 2], late[late.size() * 99 / 100], late.back(), late.size()};
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10;
    QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("page.htm"));
    {
        QFile file(path);
        const std::string page = makePage(16u << 20);
        file.open(QIODevice::WriteOnly);
        file.write(page.data(), qint64(page.size()));
    }
    const std::string folder = scratch.filePath(QStringLiteral("recovery/")).toStdString();
    QDir().mkpath(QString::fromStdString(folder));

    std::printf("A keystroke in a 16 MB page, from when it was due until painted (%d s of "
                "typing at 20 keys/s):\n",
                seconds);
    std::printf("%-34s %10s %10s %10s %6s\n", "", "median", "99th", "longest", "keys");
    const auto row = [](const char* what, const Typing& t) {
        std::printf("%-34s %7.2f ms %7.2f ms %7.2f ms %6zu\n", what, t.median, t.p99, t.longest,
                    t.keys);
        std::fflush(stdout);
    };
    // In turns, three times each, so that what else the machine does meanwhile
    // falls on both alike.
    Typing bare, kept;
    for (int round = 0; round < 3; ++round) {
        const Typing b = type(path, {}, seconds);
        const Typing k = type(path, folder, seconds);
        row("no recovery copy (baseline)", b);
        row("recovery copy following the edits", k);
        for (auto [sum, one] : {std::pair{&bare, &b}, std::pair{&kept, &k}}) {
            sum->median += one->median / 3;
            sum->p99 += one->p99 / 3;
            sum->longest = std::max(sum->longest, one->longest);
            sum->keys += one->keys;
        }
    }
    row("mean of the baseline's rounds", bare);
    row("mean of the copy's rounds", kept);
    std::printf("ratio to the baseline: median %.2f, 99th %.2f\n", kept.median / bare.median,
                kept.p99 / bare.p99);

    // What one copy of the whole document costs the window.
    auto doc = std::move(zu::CZuDoc::open(path).document);
    QElapsedTimer t;
    t.start();
    const zu::RecoveryRecord record = doc->recoveryRecord();
    std::printf("for scale, the whole document taken once (each copy before the journal): "
                "%.1f ms\n",
                double(t.nsecsElapsed()) / 1e6);
    return 0;
}
