// Many documents, opened and closed again and again: the program's memory
// after each cycle of opening fifty pages and closing them all. What the
// first cycle leaves behind (fonts, caches, the allocator's pools) is paid
// once; any later growth would be a leak. And the memory the program itself
// holds once everything is closed, as the system sees it (nothing trimmed
// by the benchmark), against a fresh start with no document: closing must
// give the memory back.
//
//   zu_bench_load [--documents N] [--cycles N] [--kb SIZE]
//   zu_bench_load --documents 30 --kb 5000 --cycles 6   (30 pages of 5 MB)

#include "core/settings/settings.h"
#include "gui/app/main_frame.h"
#include "gui/app/zu_app.h"
#include "gui/doc/zu_doc.h"
#include "gui/widgets/file_names.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <string>
#include <unistd.h>

namespace {

// Resident memory as the program leaves it.
long programResidentKiB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// Resident memory once the allocator has handed back what it holds free:
// without the trim, freed memory the allocator keeps for reuse would look
// like growth.
long residentKiB() {
    ::malloc_trim(0);
    return programResidentKiB();
}

// What the program's objects hold: the allocator's bytes in use. Resident
// memory also counts the gaps between them, which a long run of allocations
// and frees leaves behind without anything being lost.
long heapInUseKiB() {
    return static_cast<long>(::mallinfo2().uordblks / 1024);
}

void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// A page of about `bytes`: markup and Shift_JIS text with CR LF breaks.
std::string page(int n, std::size_t bytes) {
    std::string text = "<html>\r\n<body>\r\n";
    while (text.size() < bytes)
        text += "<p>page " + std::to_string(n) + " \x93\xfa\x96\x7b\x8c\xea <b>bold</b></p>\r\n";
    return text + "</body>\r\n</html>\r\n";
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int documents = 50, cycles = 5, kb = 100;
    // --leave: end without freeing anything, so that a heap profiler lists
    // everything still held after the last cycle.
    bool leave = false;
    for (int i = 1; i < argc; ++i)
        leave |= std::strcmp(argv[i], "--leave") == 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--documents") == 0)
            documents = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--cycles") == 0)
            cycles = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--kb") == 0)
            kb = std::atoi(argv[++i]);
    }
    QApplication application(argc, argv);
    QTemporaryDir dir;
    qputenv("ZU_CONFIG_DIR", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    for (int n = 0; n < documents; ++n)
        std::ofstream(dir.filePath(QStringLiteral("p%1.htm").arg(n)).toStdString(),
                      std::ios::binary)
            << page(n, static_cast<std::size_t>(kb) * 1000);

    zu::settings();
    zu::CZuApp app;
    if (app.start({}).has_value())
        return 1;
    settle();
    const long fresh = programResidentKiB();
    const long start = residentKiB();
    const long startHeap = heapInUseKiB();
    std::printf("%d documents of about %d KB, opened together and closed, %d cycles\n", documents,
                kb, cycles);
    std::printf("before the first cycle: %.1f MiB resident, %.1f MiB of heap in use\n",
                start / 1024.0, startHeap / 1024.0);
    long afterFirst = 0, heapAfterFirst = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        for (int n = 0; n < documents; ++n)
            app.openFile(zu::pathFromQt(dir.filePath(QStringLiteral("p%1.htm").arg(n))));
        settle();
        const long open = programResidentKiB();
        app.closeAllDocuments();
        settle();
        const long program = programResidentKiB();
        const long closed = residentKiB();
        const long heap = heapInUseKiB();
        if (cycle == 1)
            afterFirst = closed, heapAfterFirst = heap;
        std::printf("cycle %d: %.1f MiB resident with all open; after closing %.1f MiB resident "
                    "(%+.2f since cycle 1), %.2f MiB heap in use (%+.2f since cycle 1)\n",
                    cycle, open / 1024.0, closed / 1024.0, (closed - afterFirst) / 1024.0,
                    heap / 1024.0, (heap - heapAfterFirst) / 1024.0);
        std::printf("         as the program leaves it: %.1f MiB resident, %.2f x a fresh start "
                    "with no document (%.1f MiB)\n",
                    program / 1024.0, static_cast<double>(program) / fresh, fresh / 1024.0);
    }
    if (leave)
        std::_Exit(0);
    return 0;
}
