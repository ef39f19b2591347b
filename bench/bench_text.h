#pragma once
// Text the benchmarks build their pages from.

#include "core/text/cp932.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zu::bench {

// Every two-byte Shift_JIS character of the rows led by `leads` that decodes
// to one ordinary character (no raw byte, no second byte form): Japanese
// text as a page holds it.
inline std::vector<std::string> shiftJisPairs(std::initializer_list<unsigned> leads) {
    std::vector<std::string> pairs;
    for (unsigned lead : leads)
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string pair{char(lead), char(trail)};
            const auto d = cp932::decode(pair);
            if (d.text.size() == 1 && d.rawBytes == 0 && d.variants.empty())
                pairs.push_back(pair);
        }
    return pairs;
}

// An HTML page of about `bytes` bytes: markup around Japanese text (kanji,
// kana, punctuation) with CR LF breaks, as a hand-written page has.
inline std::string htmlPage(std::size_t bytes) {
    const std::vector<std::string> japanese =
        shiftJisPairs({0x81u, 0x82u, 0x83u, 0x88u, 0x89u, 0x8Au, 0x8Bu, 0x8Cu, 0x93u, 0x96u});
    const char* const tags[][2] = {{"<p>", "</p>"},
                                   {"<li>", "</li>"},
                                   {"<td class=\"item\">", "</td>"},
                                   {"<a href=\"index.htm\">", "</a>"},
                                   {"<h2>", "</h2>"}};
    std::mt19937 random(16);
    std::string page = "<html>\r\n<head><title>bench</title></head>\r\n<body>\r\n";
    page.reserve(bytes + 256);
    while (page.size() < bytes) {
        const auto& tag = tags[random() % 5];
        page += tag[0];
        const int words = 4 + int(random() % 30);
        for (int w = 0; w < words; ++w)
            page +=
                (random() % 4 == 0) ? std::string(" HTML ") : japanese[random() % japanese.size()];
        page += tag[1];
        page += "\r\n";
    }
    page += "</body>\r\n</html>\r\n";
    return page;
}

// A figure of /proc/self/status ("VmRSS:", "VmHWM:"), in kilobytes.
inline long statusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::strtol(line.c_str() + std::strlen(field), nullptr, 10);
    return -1;
}

// Runs this program again with `args` (argv[0] first), so that a figure
// such as a peak of memory belongs to the one thing measured: what it
// wrote to its standard output, once it has ended well.
inline std::optional<std::string> childOutput(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t child = 0;
    const bool spawned =
        posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string written;
    char buffer[256];
    for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;)
        written.append(buffer, std::size_t(got));
    ::close(out[0]);
    int status = 0;
    if (!spawned || ::waitpid(child, &status, 0) != child || status != 0)
        return std::nullopt;
    return written;
}

} // namespace zu::bench
