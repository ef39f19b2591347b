// The CP932 codec against glibc's iconv on the same data, in bytes of CP932
// per second for both directions, so the two rates can be compared directly.
// The data is made here: HTML markup around Japanese text whose characters
// are taken from the code page itself.
//
// Arg 0: a markup-heavy page (about half the bytes double-byte).
// Arg 1: prose with little markup (most bytes double-byte).

#include "core/text/cp932.h"
#include "core/text/document_text.h"

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kDataBytes = 4 << 20;

// Two-byte forms of characters of rows lead..lastLead that are their
// character's default form, so the data is what an ordinary editor writes.
std::vector<std::string> defaultForms(unsigned lead, unsigned lastLead) {
    std::vector<std::string> forms;
    for (unsigned l = lead; l <= lastLead; ++l) {
        for (unsigned t = 0x40; t <= 0xFC; ++t) {
            const std::string pair{char(l), char(t)};
            const auto d = zu::cp932::decode(pair);
            if (d.text.size() == 1 && d.variants.empty())
                forms.push_back(pair);
        }
    }
    return forms;
}

std::string makePage(bool prose) {
    const auto hiragana = defaultForms(0x82, 0x82);
    const auto katakana = defaultForms(0x83, 0x83);
    // JIS level-1 kanji (rows 0x88..0x98), the everyday ones.
    const auto kanji = defaultForms(0x88, 0x98);
    const auto punctuation = defaultForms(0x81, 0x81);
    const char* const openTags[] = {"<p>", "<li>", "<td class=\"name\">", "<h2>",
                                    "<a href=\"page01.htm\">"};
    const char* const closeTags[] = {"</p>", "</li>", "</td>", "</h2>", "</a>"};
    std::mt19937 random(932);
    // Text repeats its words: a skewed pick makes a few hundred characters
    // common and the rest rare, as in real pages (and in the caches).
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto pick = [&](const std::vector<std::string>& from) -> const std::string& {
        const double u = unit(random);
        return from[static_cast<std::size_t>(u * u * u * double(from.size()))];
    };

    std::string page =
        "<html>\r\n<head><title>\x83\x65\x83\x58\x83\x67</title></head>\r\n<body>\r\n";
    while (page.size() < kDataBytes) {
        const unsigned tag = random() % 5;
        if (!prose || tag == 0) {
            page += "  ";
            page += openTags[tag];
        }
        const unsigned characters = prose ? 30 + random() % 60 : 4 + random() % 16;
        for (unsigned i = 0; i < characters; ++i) {
            const unsigned k = random() % 100;
            if (k < 50)
                page += pick(hiragana);
            else if (k < 60)
                page += pick(katakana);
            else if (k < 88)
                page += pick(kanji);
            else if (k < 94)
                page += pick(punctuation);
            else if (k < 98)
                // Latin words and numbers come as words, not single letters.
                for (unsigned n = 2 + random() % 7; n > 0; --n)
                    page += char('a' + random() % 26);
            else
                for (unsigned n = 2 + random() % 5; n > 0; --n)
                    page += char(0xA6 + random() % 0x38); // halfwidth katakana
        }
        if (!prose || tag == 0)
            page += closeTags[tag];
        page += "\r\n";
    }
    page += "</body>\r\n</html>\r\n";
    return page;
}

const std::string& page(bool prose) {
    static const std::string pages[2] = {makePage(false), makePage(true)};
    return pages[prose];
}

const std::u16string& pageText(bool prose) {
    static const std::u16string texts[2] = {zu::cp932::decode(page(false)).text,
                                            zu::cp932::decode(page(true)).text};
    return texts[prose];
}

// One iconv descriptor per direction, reused as the editor would.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in` into `out`, which must be large enough.
    std::size_t convert(const void* in, std::size_t inBytes, std::vector<char>& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* ip = const_cast<char*>(static_cast<const char*>(in));
        char* op = out.data();
        std::size_t ol = out.size();
        if (iconv(cd_, &ip, &inBytes, &op, &ol) == static_cast<std::size_t>(-1))
            std::abort();
        return out.size() - ol;
    }

private:
    iconv_t cd_;
};

void setRate(benchmark::State& state, bool prose) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(page(prose).size()));
}

void BM_DecodeZu(benchmark::State& state) {
    const bool prose = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(zu::cp932::decode(page(prose)));
    setRate(state, prose);
}

// iconv over the whole input per iteration, into an output sized once
// outside the loop, so that iconv is not charged for it.
void runIconv(benchmark::State& state, const char* to, const char* from, const void* in,
              std::size_t inBytes) {
    Iconv cd(to, from);
    if (!cd.ok()) {
        state.SkipWithError("iconv does not know CP932");
        return;
    }
    std::vector<char> out(inBytes * 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(cd.convert(in, inBytes, out));
        benchmark::ClobberMemory();
    }
}

void BM_DecodeIconv(benchmark::State& state) {
    const bool prose = state.range(0) != 0;
    runIconv(state, "UTF-16LE", "CP932", page(prose).data(), page(prose).size());
    setRate(state, prose);
}

void BM_EncodeZu(benchmark::State& state) {
    const bool prose = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(zu::cp932::encode(pageText(prose)));
    setRate(state, prose);
}

void BM_EncodeIconv(benchmark::State& state) {
    const bool prose = state.range(0) != 0;
    const std::u16string& text = pageText(prose);
    runIconv(state, "CP932", "UTF-16LE", text.data(), text.size() * 2);
    setRate(state, prose);
}

// Opening and saving a document also turn CR LF into one character and back.
void BM_DecodeDocument(benchmark::State& state) {
    const bool prose = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(zu::decodeDocument(page(prose)));
    setRate(state, prose);
}

void BM_EncodeDocument(benchmark::State& state) {
    const bool prose = state.range(0) != 0;
    const std::u16string text = zu::decodeDocument(page(prose)).text;
    for (auto _ : state)
        benchmark::DoNotOptimize(zu::encodeDocument(text, zu::LineBreak::CrLf));
    setRate(state, prose);
}

BENCHMARK(BM_DecodeZu)->Arg(0)->Arg(1);
BENCHMARK(BM_DecodeIconv)->Arg(0)->Arg(1);
BENCHMARK(BM_EncodeZu)->Arg(0)->Arg(1);
BENCHMARK(BM_EncodeIconv)->Arg(0)->Arg(1);
BENCHMARK(BM_DecodeDocument)->Arg(0)->Arg(1);
BENCHMARK(BM_EncodeDocument)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
