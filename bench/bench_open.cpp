// Opening a large document against Qt's own editor being handed the same,
// already decoded text, in one run. The document path reads the file,
// detects its encoding, decodes CP932, finds the line breaks and fills a
// view; the baseline is only QPlainTextEdit::setPlainText. What detecting
// the encoding takes of opening is measured on its own, for the page and
// for the same page in EUC-JP (whose detection reads it twice). A second
// process measures the peak memory that opening takes, against the file's
// size.
//
//   zu_bench_open [--megabytes N] [benchmark flags]

#include "core/text/cp932.h"
#include "core/text/detect_encoding.h"
#include "core/text/document_text.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/file_names.h"

#include "bench_text.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace {

std::size_t megabytes = 16;
QString filePath;

void BM_OpenDocumentIntoView(benchmark::State& state) {
    for (auto _ : state) {
        zu::CZuDoc::OpenResult opened = zu::CZuDoc::open(zu::pathFromQt(filePath));
        if (!opened.document) {
            state.SkipWithError("open failed");
            return;
        }
        zu::CZuView view(opened.document.get());
        benchmark::DoNotOptimize(view.document()->characterCount());
        state.PauseTiming();
        // The view goes first: it must not outlive its document.
        { auto discard = std::move(opened.document); }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(QFile(filePath).size()));
}

void BM_SetPlainTextBaseline(benchmark::State& state) {
    QFile file(filePath);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    const zu::DocumentText decoded =
        zu::decodeDocument({bytes.constData(), std::size_t(bytes.size())});
    const QString text(reinterpret_cast<const QChar*>(decoded.text.data()),
                       qsizetype(decoded.text.size()));
    for (auto _ : state) {
        QPlainTextEdit edit;
        edit.setPlainText(text);
        benchmark::DoNotOptimize(edit.document()->characterCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

// The file's bytes, in the encoding it is written in or in `other`.
std::string fileBytes(const zu::Encoding* other = nullptr) {
    QFile file(filePath);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    std::string page(bytes.constData(), std::size_t(bytes.size()));
    if (!other)
        return page;
    const zu::DocumentText decoded = zu::decodeDocument(page);
    return zu::encodeDocument(decoded.text, zu::TextForm{other}, {}, zu::Unmappable::Report,
                              decoded.breaks)
        .bytes;
}

void detect(benchmark::State& state, const zu::Encoding* other, const zu::Encoding& expected) {
    const std::string bytes = fileBytes(other);
    for (auto _ : state) {
        const zu::Detected detected = zu::detectEncoding(bytes);
        if (detected.encoding != &expected) {
            state.SkipWithError("detected another encoding");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void BM_DetectEncoding(benchmark::State& state) {
    detect(state, nullptr, zu::cp932Encoding());
}

void BM_DetectEncodingEucJp(benchmark::State& state) {
    detect(state, &zu::eucJpEncoding(), zu::eucJpEncoding());
}

BENCHMARK(BM_OpenDocumentIntoView)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_SetPlainTextBaseline)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_DetectEncoding)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_DetectEncodingEucJp)->Unit(benchmark::kMillisecond)->MinTime(1);

// Keeps each benchmark's time per iteration, to set detection against
// opening once all have run.
class Times : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                ms[run.run_name.function_name] = {run.GetAdjustedRealTime(),
                                                  run.GetAdjustedCPUTime()};
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, std::pair<double, double>> ms; // real, processor
};

// Runs in a process of its own, so that the peak belongs to opening alone.
// The baseline's peak (the decoded text handed to QPlainTextEdit) is
// measured the same way, for comparison.
int measurePeak(bool baseline) {
    const double size = double(QFile(filePath).size());
    long before = 0;
    std::unique_ptr<zu::CZuDoc> document;
    std::unique_ptr<QPlainTextEdit> view;
    if (baseline) {
        QFile file(filePath);
        file.open(QIODevice::ReadOnly);
        QByteArray bytes = file.readAll();
        zu::DocumentText decoded =
            zu::decodeDocument({bytes.constData(), std::size_t(bytes.size())});
        bytes = QByteArray();
        const QString text(reinterpret_cast<const QChar*>(decoded.text.data()),
                           qsizetype(decoded.text.size()));
        decoded = zu::DocumentText();
        before = zu::bench::statusKilobytes("VmRSS:");
        view = std::make_unique<QPlainTextEdit>();
        view->setPlainText(text);
    } else {
        before = zu::bench::statusKilobytes("VmRSS:");
        zu::CZuDoc::OpenResult opened = zu::CZuDoc::open(zu::pathFromQt(filePath));
        if (!opened.document)
            return 1;
        document = std::move(opened.document);
        view = std::make_unique<zu::CZuView>(document.get());
    }
    view->resize(800, 600);
    view->show();
    QCoreApplication::processEvents();
    const long peak = zu::bench::statusKilobytes("VmHWM:");
    std::printf("peak memory, %s: %.1f MB over the %.1f MB before it; file %.1f MB; "
                "ratio to the file %.2f%s\n",
                baseline ? "setPlainText of the decoded text (baseline)" : "opening the file",
                (peak - before) / 1024.0, before / 1024.0, size / 1048576.0,
                (peak - before) * 1024.0 / size, baseline ? "" : " (target under 12)");
    view.reset();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bool peakOnly = false, baseline = false;
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--megabytes") == 0 && i + 1 < argc)
            megabytes = std::strtoul(argv[++i], nullptr, 10);
        else if (std::strcmp(argv[i], "--peak-of") == 0 && i + 1 < argc)
            filePath = QString::fromLocal8Bit(argv[++i]), peakOnly = true;
        else if (std::strcmp(argv[i], "--baseline") == 0)
            baseline = true;
        else
            rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    QApplication app(restCount, rest.data());
    if (peakOnly)
        return measurePeak(baseline);

    QTemporaryDir dir;
    filePath = dir.filePath(QStringLiteral("large.htm"));
    {
        const std::string page = zu::bench::htmlPage(megabytes << 20);
        std::ofstream(filePath.toStdString(), std::ios::binary) << page;
    }
    benchmark::Initialize(&restCount, rest.data());
    Times times;
    benchmark::RunSpecifiedBenchmarks(&times);
    benchmark::Shutdown();
    // The processor's time too: on a machine that other work shares, the
    // wall-clock times stretch with the load.
    const auto open = times.ms["BM_OpenDocumentIntoView"];
    for (const char* name : {"BM_DetectEncoding", "BM_DetectEncodingEucJp"}) {
        const auto detecting = times.ms[name];
        if (open.first > detecting.first && open.second > detecting.second && detecting.first > 0)
            std::printf("%s adds to opening without it: %.1f%% in real time (%.1f of %.1f ms), "
                        "%.1f%% in processor time (%.1f of %.1f ms); target at most 10%%\n",
                        name, 100.0 * detecting.first / (open.first - detecting.first),
                        detecting.first, open.first - detecting.first,
                        100.0 * detecting.second / (open.second - detecting.second),
                        detecting.second, open.second - detecting.second);
    }
    const std::string file = filePath.toStdString();
    for (const char* mode : {"--open", "--baseline"}) {
        char* args[] = {argv[0], const_cast<char*>("--peak-of"), const_cast<char*>(file.c_str()),
                        const_cast<char*>(mode), nullptr};
        pid_t child = 0;
        if (posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, args, environ) == 0) {
            int status = 0;
            waitpid(child, &status, 0);
        }
    }
    return 0;
}
