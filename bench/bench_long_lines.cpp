// Long lines against ordinary ones, and zu against the bare editing control
// (QPlainTextEdit, the same font, wrapping at the window's width, handed the
// same decoded text) in one run: opening, a keystroke until the view has
// painted, caret and view movement, the processor while nobody types, and
// the peak memory of opening (each in a process of its own).
//
//   zu_bench_long_lines [--quick]
//
// --quick leaves out the bare control's slowest figures (the 10 MB line).

#include "core/text/cp932.h"
#include "core/text/document_text.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/file_names.h"

#include "bench_text.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>


namespace {

// Markup around Japanese text, as a page holds it; with `breaks`, a CR LF
// after each element (ordinary lines of some 80 characters), else none at
// all (a minified page: one line).
std::string makePage(std::size_t bytes, bool breaks) {
    const std::vector<std::string> japanese =
        zu::bench::shiftJisPairs({0x82u, 0x83u, 0x88u, 0x89u, 0x8Au, 0x93u});
    const char* const tags[][2] = {{"<p>", "</p>"},
                                   {"<li>", "</li>"},
                                   {"<td class=\"item\">", "</td>"},
                                   {"<a href=\"index.htm\">", "</a>"}};
    std::mt19937 random(16);
    std::string page;
    page.reserve(bytes + 256);
    while (page.size() < bytes) {
        const auto& tag = tags[random() % 4];
        page += tag[0];
        const int words = 4 + int(random() % 30);
        for (int w = 0; w < words; ++w)
            page +=
                (random() % 4 == 0) ? std::string(" HTML ") : japanese[random() % japanese.size()];
        page += tag[1];
        if (breaks)
            page += "\r\n";
    }
    return page;
}

QString decoded(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    const zu::DocumentText text =
        zu::decodeDocument({bytes.constData(), std::size_t(bytes.size())});
    return QString(reinterpret_cast<const QChar*>(text.text.data()), qsizetype(text.text.size()));
}

double since(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// One editor in a window, zu's or the bare control.
struct Editor {
    std::unique_ptr<zu::CZuDoc> doc;
    std::unique_ptr<QPlainTextEdit> edit; // goes first: the view before its document

    // Opens `path` and shows it painted, as the user sees it open.
    static Editor open(const QString& path, bool bare, const QString& text) {
        Editor e;
        if (bare) {
            e.edit = std::make_unique<QPlainTextEdit>();
            e.edit->setFont(zu::CZuView::editorFont());
            e.edit->setPlainText(text);
        } else {
            e.doc = std::move(zu::CZuDoc::open(zu::pathFromQt(path)).document);
            e.edit = std::make_unique<zu::CZuView>(e.doc.get());
        }
        e.edit->resize(800, 600);
        e.edit->show();
        e.edit->viewport()->repaint();
        QCoreApplication::processEvents();
        return e;
    }

    void focus() {
        edit->activateWindow();
        edit->setFocus();
        QCoreApplication::processEvents();
    }
    void caretTo(double fraction) {
        QTextCursor c(edit->document());
        c.setPosition(int(fraction * (edit->document()->characterCount() - 1)));
        edit->setTextCursor(c);
        edit->ensureCursorVisible();
        painted();
    }
    void painted() {
        edit->viewport()->repaint();
        QCoreApplication::processEvents();
    }
    void key(int key, Qt::KeyboardModifiers m = Qt::NoModifier, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, m, text);
        QApplication::sendEvent(edit.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, m, text);
        QApplication::sendEvent(edit.get(), &release);
    }
    void click(QPoint at, bool shift = false) {
        const Qt::KeyboardModifiers m = shift ? Qt::ShiftModifier : Qt::NoModifier;
        QMouseEvent press(QEvent::MouseButtonPress, at, edit->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, m);
        QApplication::sendEvent(edit->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, edit->viewport()->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, m);
        QApplication::sendEvent(edit->viewport(), &release);
    }
};

// The median and the longest of `rounds` runs of `step`, each until painted;
// fewer rounds once two seconds have gone.
struct Figure {
    double median = 0, longest = 0;
    int rounds = 0;
};

Figure measure(Editor& e, int rounds, const std::function<void()>& step,
               const std::function<void()>& between = {}) {
    std::vector<double> times;
    QElapsedTimer all;
    all.start();
    for (int r = 0; r < rounds && (r == 0 || all.elapsed() < 2000); ++r) {
        if (between)
            between();
        QElapsedTimer t;
        t.start();
        step();
        e.painted();
        times.push_back(since(t));
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back(), int(times.size())};
}

std::string show(const Figure& f) {
    char text[64];
    std::snprintf(text, sizeof text, "%8.1f ms (max %.1f, n=%d)", f.median, f.longest, f.rounds);
    return text;
}

void row(const char* what, const std::string& zu, const std::string& bare, const char* target) {
    std::printf("%-44s %-30s %-30s %s\n", what, zu.c_str(), bare.c_str(), target);
    std::fflush(stdout);
}

const std::string kSkipped = "   (left out: --quick)";

// Clock ticks of processor time this process has used.
long cpuTicks() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    long ticks = 0;
    for (int i = 1; stat >> field; ++i)
        if (i == 14 || i == 15)
            ticks += std::stol(field);
    return ticks;
}

// In a process of its own: the peak resident memory that opening `path`
// and showing it takes, in MB.
int peakOf(const QString& path, bool bare) {
    QString text;
    if (bare)
        text = decoded(path);
    const long before = zu::bench::statusKilobytes("VmRSS:");
    {
        Editor e = Editor::open(path, bare, text);
        text = QString();
        e.caretTo(0.5);
        e.key(Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        e.painted();
        std::printf("%.1f\n", (zu::bench::statusKilobytes("VmHWM:") - before) / 1024.0);
    }
    return 0;
}

std::string peakInChild(const char* self, const QString& path, bool bare) {
    std::string result =
        zu::bench::childOutput({self, "--peak-of", path.toStdString(), bare ? "--bare" : "--zu"})
            .value_or("?");
    while (!result.empty() && (result.back() == '\n'))
        result.pop_back();
    return "   " + result + " MB";
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bool quick = false;
    QString peakPath;
    bool peakBare = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
        else if (std::strcmp(argv[i], "--peak-of") == 0 && i + 1 < argc)
            peakPath = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--bare") == 0)
            peakBare = true;
    }
    QApplication app(argc, argv);
    if (!peakPath.isEmpty())
        return peakOf(peakPath, peakBare);

    QTemporaryDir dir;
    const auto write = [&](const char* name, std::size_t megabytes, bool breaks) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        std::ofstream(path.toStdString(), std::ios::binary) << makePage(megabytes << 20, breaks);
        return path;
    };
    const QString line1 = write("line1.htm", 1, false);
    const QString line10 = write("line10.htm", 10, false);
    const QString lines10 = write("lines10.htm", 10, true);
    const QString lines16 = write("lines16.htm", 16, true);

    std::printf("%-44s %-30s %-30s %s\n", "", "zu", "bare QPlainTextEdit", "target");

    // Opening, until the first screen is painted.
    double ordinaryOpen = 0;
    for (const auto& [what, path, long_] :
         {std::tuple{"open 10 MB of ordinary lines", lines10, false},
          std::tuple{"open one line of 10 MB", line10, true}}) {
        const QString text = decoded(path);
        std::vector<double> times;
        for (int r = 0; r < 3; ++r) {
            QElapsedTimer t;
            t.start();
            Editor e = Editor::open(path, false, {});
            times.push_back(since(t));
        }
        std::sort(times.begin(), times.end());
        const Figure zu{times[1], times[2], 3};
        if (!long_)
            ordinaryOpen = zu.median;
        std::string bare = kSkipped;
        if (!long_ || !quick) {
            QElapsedTimer t;
            t.start();
            Editor e = Editor::open(path, true, text);
            bare = show({since(t), since(t), 1});
        }
        char target[64] = "";
        if (long_)
            std::snprintf(target, sizeof target, "<= %.0f ms (twice the ordinary)",
                          2 * ordinaryOpen);
        row(what, show(zu), bare, target);
    }

    // A keystroke in the middle of the text, until painted.
    for (const auto& [what, path, bareToo, target] :
         {std::tuple{"keystroke, middle of a 1 MB line", line1, true, "< 50 ms"},
          std::tuple{"keystroke, middle of a 10 MB line", line10, !quick, "< 100 ms"},
          std::tuple{"keystroke, 16 MB of ordinary lines", lines16, true, "as the bare control"}}) {
        std::string figures[2];
        for (const bool bare : {false, true}) {
            if (bare && !bareToo) {
                figures[1] = kSkipped;
                continue;
            }
            Editor e = Editor::open(path, bare, bare ? decoded(path) : QString());
            e.focus();
            e.caretTo(0.5);
            const int before = e.edit->document()->characterCount();
            const Figure f = measure(e, 20, [&] { e.key(Qt::Key_A, {}, QStringLiteral("a")); });
            // Every keystroke must have typed its character.
            figures[bare] = e.edit->document()->characterCount() == before + f.rounds
                                ? show(f)
                                : std::string("   keys were not typed");
        }
        row(what, figures[0], figures[1], target);
    }

    // Caret and view movement in the 10 MB line, each until painted.
    {
        struct Move {
            const char* what;
            std::function<void(Editor&)> before, step;
        };
        const auto mid = [](Editor& e) { e.caretTo(0.5); };
        const auto start = [](Editor& e) { e.caretTo(0); };
        const std::vector<Move> moves = {
            {"End (10 MB line)", mid, [](Editor& e) { e.key(Qt::Key_End); }},
            {"Home (10 MB line)", mid, [](Editor& e) { e.key(Qt::Key_Home); }},
            {"Ctrl+End (10 MB line)", start,
             [](Editor& e) { e.key(Qt::Key_End, Qt::ControlModifier); }},
            {"Page Down (10 MB line)", mid, [](Editor& e) { e.key(Qt::Key_PageDown); }},
            {"click far along (10 MB line)",
             [](Editor& e) {
                 e.caretTo(0);
                 QScrollBar* bar = e.edit->verticalScrollBar();
                 bar->setValue(bar->maximum() * 3 / 4);
                 e.painted();
             },
             [](Editor& e) { e.click(e.edit->viewport()->rect().center()); }},
            {"select the whole line (10 MB line)", start,
             [](Editor& e) { e.key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier); }},
        };
        // One editor at a time: a caret blinking in the bare control's long
        // line would cost the other's figures half a second now and then.
        std::vector<std::string> figures[2];
        for (const bool bare : {false, true}) {
            if (bare && quick) {
                figures[1].assign(moves.size(), kSkipped);
                continue;
            }
            Editor e = Editor::open(line10, bare, bare ? decoded(line10) : QString());
            e.focus();
            for (const Move& m : moves)
                figures[bare].push_back(show(measure(
                    e, bare ? 3 : 10, [&] { m.step(e); }, [&] { m.before(e); })));
        }
        for (std::size_t k = 0; k < moves.size(); ++k)
            row(moves[k].what, figures[0][k], figures[1][k], "< 50 ms");
    }

    // The processor while nobody types, after a keystroke in the long line.
    {
        std::string figures[2];
        for (const bool bare : {false, true}) {
            if (bare && quick) {
                figures[1] = kSkipped;
                continue;
            }
            Editor e = Editor::open(line10, bare, bare ? decoded(line10) : QString());
            e.focus();
            e.caretTo(0.5);
            e.key(Qt::Key_A, {}, QStringLiteral("a"));
            e.painted();
            const long before = cpuTicks();
            QEventLoop loop;
            QTimer::singleShot(3000, &loop, &QEventLoop::quit);
            loop.exec();
            char text[64];
            std::snprintf(text, sizeof text, "%8.2f s of 3 s",
                          double(cpuTicks() - before) / double(::sysconf(_SC_CLK_TCK)));
            figures[bare] = text;
        }
        row("processor while idle (10 MB line)", figures[0], figures[1], "none");
    }

    // Peak memory of opening, showing and one keystroke.
    const std::string zuLines = peakInChild(argv[0], lines10, false);
    const std::string zuLine = peakInChild(argv[0], line10, false);
    row("peak memory, 10 MB of ordinary lines", zuLines, peakInChild(argv[0], lines10, true), "");
    row("peak memory, one line of 10 MB", zuLine,
        quick ? kSkipped : peakInChild(argv[0], line10, true), "<= ordinary lines + 25%");
    return 0;
}
