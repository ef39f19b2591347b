// What zu adds while the user types, each with the option against without
// it, in one run: a keystroke until painted with tags coloured as they are
// typed (a 16 MB page, a page of one 1 MB line, and that line against the
// same colours left by the command), opening a 4 MB page of
// 200,000 tags until its first screen is painted, a keystroke in a 1 MB
// line with the line-and-column pane, and the paint of a page of a 16 MB
// page with the line numbers. Each figure is the median of many rounds, in
// wall-clock and in processor time (the latter holds up on a busy machine).
//
//   zu_bench_while_typing [--rounds N]

#include "gui/app/caret_pane.h"
#include "gui/doc/document_marks.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/whole_text.h"
#include "gui/view/zu_view.h"

#include "bench_text.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

int rounds = 30;

// Elements of Japanese and ASCII text in tags; `lineBytes` 0 puts them all
// on one line, else a CR LF ends each element. `tags` (when not 0) sets how
// many tags the page holds in all, the text between them sized to fit.
std::string makePage(std::size_t bytes, bool breaks, std::size_t tags = 0) {
    static const std::vector<std::string> japanese =
        zu::bench::shiftJisPairs({0x82u, 0x83u, 0x88u, 0x89u, 0x8Au, 0x93u});
    const char* const elements[][2] = {{"<p>", "</p>"},
                                       {"<li>", "</li>"},
                                       {"<td class=\"item\">", "</td>"},
                                       {"<a href=\"index.htm\">", "</a>"}};
    const std::size_t words = tags ? std::max<std::size_t>(1, bytes / (tags / 2) / 3) : 18;
    std::mt19937 random(21);
    std::string page;
    page.reserve(bytes + 256);
    for (std::size_t made = 0; tags ? made < tags : page.size() < bytes; made += 2) {
        const auto& element = elements[random() % 4];
        page += element[0];
        for (std::size_t w = 0; w < words; ++w)
            page +=
                random() % 4 == 0 ? std::string(" HTML ") : japanese[random() % japanese.size()];
        page += element[1];
        if (breaks)
            page += "\r\n";
    }
    return page;
}

double threadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double wallMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Figure {
    double wall = 0, cpu = 0;
};

// The medians of `step` on each side (0 without the option, 1 with it),
// taken in turn, so that whatever else the machine does falls on both
// alike; `between` runs untimed before each step.
std::pair<Figure, Figure> inTurn(int count, const std::function<void(int side)>& step,
                                 const std::function<void(int side)>& between = {}) {
    std::vector<double> walls[2], cpus[2];
    for (int r = 0; r < count; ++r)
        for (int side : {0, 1}) {
            if (between)
                between(side);
            const double w = wallMs(), c = threadMs();
            step(side);
            walls[side].push_back(wallMs() - w);
            cpus[side].push_back(threadMs() - c);
        }
    Figure figures[2];
    for (int side : {0, 1}) {
        std::ranges::sort(walls[side]);
        std::ranges::sort(cpus[side]);
        figures[side] = {walls[side][walls[side].size() / 2], cpus[side][cpus[side].size() / 2]};
    }
    return {figures[0], figures[1]};
}

// A document in its view, shown 800 x 600, with the options asked for.
struct Window {
    std::unique_ptr<zu::CZuDoc> doc;
    std::unique_ptr<zu::CZuView> view; // goes first

    Window(const QString& path, bool colours, bool numbers) {
        doc = std::move(zu::CZuDoc::open(path).document);
        if (colours)
            doc->text().marks().setColourWhileTyping(true);
        view = std::make_unique<zu::CZuView>(doc.get());
        view->setLineNumbersShown(numbers);
        view->resize(800, 600);
        view->show();
        painted();
    }
    ~Window() {
        view.reset();
        doc.reset();
    }
    void painted() const {
        view->viewport()->repaint();
        QCoreApplication::processEvents();
    }
    void caretTo(double fraction) const {
        QTextCursor c(view->document());
        c.setPosition(int(fraction * (view->document()->characterCount() - 1)));
        view->setTextCursor(c);
        view->ensureCursorVisible();
        painted();
    }
    void key(int key, const QString& text = {}) const {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(view.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(view.get(), &release);
        painted();
    }
    void type(const QString& text) const { key(text == ">" ? Qt::Key_Greater : Qt::Key_A, text); }
};

void row(const char* what, const Figure& off, const Figure& on, const std::string& result,
         const char* target) {
    std::printf("%-46s %7.2f / %7.2f ms  %7.2f / %7.2f ms  %-22s %s\n", what, off.wall, off.cpu,
                on.wall, on.cpu, result.c_str(), target);
    std::fflush(stdout);
}

std::string difference(const Figure& off, const Figure& on) {
    char text[64];
    std::snprintf(text, sizeof text, "+%.2f ms (cpu +%.2f)", on.wall - off.wall, on.cpu - off.cpu);
    return text;
}

std::string ratio(const Figure& off, const Figure& on) {
    char text[64];
    std::snprintf(text, sizeof text, "x%.2f (cpu x%.2f)", on.wall / off.wall, on.cpu / off.cpu);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            rounds = std::max(3, std::atoi(argv[++i]));
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const auto write = [&](const char* name, const std::string& page) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        std::ofstream(path.toStdString(), std::ios::binary) << page;
        return path;
    };
    const QString lines16 = write("lines16.htm", makePage(16u << 20, true));
    const QString line1 = write("line1.htm", makePage(1u << 20, false));
    const QString tags4 = write("tags4.htm", makePage(4u << 20, true, 200'000));

    std::printf("%-46s %-22s %-22s %-22s %s\n", "median, wall / processor", "without",
                "with the option", "difference", "target");

    // A keystroke in the middle of the page until painted; a tag is typed
    // and taken back in turn, so that the colours have something to do.
    for (const auto& [what, path] :
         {std::pair{"keystroke, 16 MB page, tag colours", lines16},
          std::pair{"keystroke, 1 MB one-line page, tag colours", line1}}) {
        const Window windows[] = {{path, false, false}, {path, true, false}};
        for (const Window& w : windows)
            w.caretTo(0.5);
        int n = 0;
        const auto [off, on] = inTurn(rounds, [&](int side) {
            windows[side].type(n++ % 4 < 2 ? QStringLiteral("a") : QStringLiteral(">"));
        });
        row(what, off, on, difference(off, on), "at most +1 ms");
    }

    {
        // The share of following the edits alone: the same page coloured by
        // the command, which leaves the same colours to lay out and draw.
        const Window windows[] = {{line1, false, false}, {line1, true, false}};
        zu::colourTags(*windows[0].view);
        for (const Window& w : windows)
            w.caretTo(0.5);
        int n = 0;
        const auto [off, on] = inTurn(rounds, [&](int side) {
            windows[side].type(n++ % 4 < 2 ? QStringLiteral("a") : QStringLiteral(">"));
        });
        row("  the same, against the command's colours", off, on, difference(off, on),
            "(following the edits)");
    }

    {
        const auto [off, on] =
            inTurn(std::max(3, rounds / 5), [&](int side) { Window w(tags4, side == 1, false); });
        row("open 4 MB, 200,000 tags, until painted", off, on, ratio(off, on), "at most x1.5");
    }

    // In the middle of a 1 MB line, and at its end, where the column counts
    // every character from the line's start.
    for (const auto& [what, at, typing] :
         {std::tuple{"keystroke, middle of a 1 MB line, caret pane", 0.5, true},
          std::tuple{"caret moved, end of a 1 MB line, caret pane", 1.0, false}}) {
        const Window windows[] = {{line1, false, false}, {line1, false, false}};
        QStatusBar bar;
        zu::CaretPane caret(&bar, [] {});
        caret.setView(windows[1].view.get());
        for (const Window& w : windows)
            w.caretTo(at);
        int n = 0;
        const auto [off, on] = inTurn(rounds, [&, typing = typing](int side) {
            if (typing)
                windows[side].type(QStringLiteral("a"));
            else
                windows[side].key(n++ % 4 < 2 ? Qt::Key_Left : Qt::Key_Right);
        });
        row(what, off, on, difference(off, on), "at most +0.5 ms");
    }

    {
        // Page Down through the page, each page until painted, and a page
        // painted again where it stands: the gutter's own share.
        const Window windows[] = {{lines16, false, false}, {lines16, false, true}};
        const auto [off, on] = inTurn(
            rounds * 2,
            [&](int side) {
                windows[side].view->verticalScrollBar()->triggerAction(
                    QAbstractSlider::SliderPageStepAdd);
                windows[side].painted();
            },
            [&](int side) {
                QScrollBar* bar = windows[side].view->verticalScrollBar();
                if (bar->value() >= bar->maximum() / 2)
                    bar->setValue(0);
            });
        row("page down, 16 MB page, line numbers", off, on, ratio(off, on), "about x1");
        const auto [again, againOn] =
            inTurn(rounds * 2, [&](int side) { windows[side].painted(); });
        row("the same page again, line numbers", again, againOn, ratio(again, againOn), "about x1");
    }
    return 0;
}
