// Recovery copies come back exactly as they were written, and a copy that
// was cut short (a crash while writing) is never offered.

#include "core/doc/recovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace zu {
namespace {

RecoveryRecord sample() {
    RecoveryRecord r;
    r.title = "日本語 page.htm";
    r.path = std::string("/home/u/\x95\x5c\n\0x.htm", 18); // CP932 bytes, a newline, a NUL
    r.encoding = "UTF-8";
    r.byteOrderMark = true;
    r.lineBreak = LineBreak::Lf;
    r.breaks = {LineBreak::Cr, LineBreak::CrLf, LineBreak::Lf};
    r.variants = {{3, 0xED40}, {70000, 0xFA5C}};
    r.text = u"a\n\uF781\U0001F600b\n\xD800\n"; // a raw byte, a pair, a lone surrogate
    return r;
}

TEST(Recovery, EveryFieldComesBack) {
    const RecoveryRecord records[] = {sample(), RecoveryRecord{}};
    for (const RecoveryRecord& r : records) {
        const auto back = parseRecovery(serializeRecovery(r));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, r);
    }
}

TEST(Recovery, ACopyCutShortOrDamagedIsNotOffered) {
    const std::string whole = serializeRecovery(sample());
    for (std::size_t length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(parseRecovery(whole.substr(0, length)).has_value()) << length;
    std::string longer = whole + "x";
    EXPECT_FALSE(parseRecovery(longer).has_value());
    std::string badHex = whole;
    badHex[badHex.find("title ") + 6] = 'g';
    EXPECT_FALSE(parseRecovery(badHex).has_value());
    EXPECT_FALSE(parseRecovery("zu recovery 2\n").has_value());
}

TEST(Recovery, TheHashIsXxh64) {
    // Values from the reference library, libxxhash 0.8.1.
    std::string bytes256(1024, '\0'); // each byte value four times, and "xyz"
    for (std::size_t i = 0; i < bytes256.size(); ++i)
        bytes256[i] = static_cast<char>(i);
    bytes256 += "xyz";
    const std::pair<std::string, std::uint64_t> rows[] = {
        {"", 0xEF46DB3751D8E999},
        {"a", 0xD24EC4F1A98C6E5B},
        {"abc", 0x44BC2CF5AD770999},
        {"0123456789abcdef0123456789abcdef0123456789", 0xA76190C3ACF08A1C},
        {bytes256, 0xE146CB31B65BC21A}};
    for (const auto& [bytes, expected] : rows) {
        EXPECT_EQ(contentHash(bytes), expected) << bytes.size();
        // Fed in pieces of every size, as a file is read.
        for (std::size_t piece = 1; piece < 40; ++piece) {
            ContentHash hash;
            for (std::size_t at = 0; at < bytes.size(); at += piece)
                hash.update(std::string_view(bytes).substr(at, piece));
            EXPECT_EQ(hash.digest(), expected) << bytes.size() << " in " << piece;
        }
    }
}

TEST(Recovery, EditsAreLaidOverTheBase) {
    RecoveryRecord base;
    base.encoding = "CP932";
    base.lineBreak = LineBreak::CrLf;
    base.breaks = {LineBreak::Cr, LineBreak::Lf};
    base.variants = {{1, 0xED40}, {4, 0xFA5C}};
    base.text = u"ab\ncd\nef";
    // A copy as the keeper writes it: a text base, then edits: "X\nY" with
    // an LF break over "b\nc", then "Z" in front; a form last.
    const std::string journal = recoveryStart() + formEntry(formOf(base)) + textEntry(base) +
                                editEntry({1, 3, u"X\nY", {LineBreak::Lf}, {{2, 0xEEEF}}, 8}) +
                                editEntry({0, 0, u"Z", {}, {}, 9});
    RecoveryForm form = formOf(base);
    form.title = "t.htm";
    form.source = SourceIdentity{{1, 2, 3, 4, 5}, 6};
    const auto back = parseRecovery(journal + formEntry(form));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->text, u"ZaX\nYd\nef");
    EXPECT_EQ(back->breaks, (std::vector<LineBreak>{LineBreak::Lf, LineBreak::Lf}));
    EXPECT_EQ(back->variants, (std::vector<cp932::Variant>{{4, 0xEEEF}, {5, 0xFA5C}}));
    EXPECT_EQ(back->title, "t.htm");
    EXPECT_EQ(back->source, form.source);
    // Every break in the style of the form once the file's own are dropped.
    form.mixedBreaks = false;
    const auto flat = parseRecovery(journal + formEntry(form));
    ASSERT_TRUE(flat.has_value());
    EXPECT_TRUE(flat->breaks.empty());
}

// The same edits on a plain text, one after the other.
struct Model {
    std::u16string text;
    std::vector<LineBreak> breaks;
    std::vector<cp932::Variant> variants;
    void apply(const RecoveryEdit& e) {
        const auto lineOf = [&](std::size_t at) {
            return static_cast<std::size_t>(std::count(text.begin(), text.begin() + at, u'\n'));
        };
        const std::size_t first = lineOf(e.from), last = lineOf(e.from + e.removed);
        breaks.erase(breaks.begin() + first, breaks.begin() + last);
        breaks.insert(breaks.begin() + first, e.breaks.begin(), e.breaks.end());
        std::vector<cp932::Variant> kept;
        for (const cp932::Variant& v : variants)
            if (v.index < e.from || v.index >= e.from + e.removed)
                kept.push_back(
                    {v.index < e.from ? v.index : v.index - e.removed + e.text.size(), v.code});
        for (const cp932::Variant& v : e.variants)
            kept.push_back({v.index + e.from, v.code});
        std::ranges::sort(kept, {}, &cp932::Variant::index);
        variants = kept;
        text.replace(e.from, e.removed, e.text);
    }
};

TEST(Recovery, RandomEditsReadBackAsMadeAndACutShortEntryIsTheOneLost) {
    std::mt19937 random(8);
    for (int round = 0; round < 40; ++round) {
        RecoveryRecord base;
        const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
        const auto someText = [&](std::size_t length, std::vector<LineBreak>& breaks,
                                  std::vector<cp932::Variant>& variants) {
            std::u16string t;
            for (std::size_t i = 0; i < length; ++i) {
                const char16_t c = u"ab\n\xF781\xD800x"[pick(6)];
                if (c == u'\n')
                    breaks.push_back(static_cast<LineBreak>(pick(3)));
                else if (pick(4) == 0)
                    variants.push_back({t.size(), static_cast<std::uint16_t>(0xED40 + pick(9))});
                t += c;
            }
            return t;
        };
        base.text = someText(pick(30), base.breaks, base.variants);
        Model model{base.text, base.breaks, base.variants};
        std::string copy = recoveryStart() + formEntry(formOf(base)) + textEntry(base);
        for (int step = 0; step < 30; ++step) {
            RecoveryEdit e;
            e.from = pick(model.text.size() + 1);
            e.removed = pick(model.text.size() - e.from + 1);
            e.text = someText(pick(6), e.breaks, e.variants);
            e.length = model.text.size() - e.removed + e.text.size();
            const std::string entry = editEntry(e);
            // Cut anywhere inside, the copy is what it was before it.
            const std::size_t cut = copy.size() + 1 + pick(entry.size() - 1);
            const auto before = parseRecovery((copy + entry).substr(0, cut));
            ASSERT_TRUE(before.has_value()) << round << " " << step;
            EXPECT_EQ(before->text, model.text);
            model.apply(e);
            copy += entry;
        }
        const RecoveryRead read = readRecovery(copy);
        ASSERT_TRUE(read.record.has_value()) << round;
        EXPECT_EQ(read.record->text, model.text) << round;
        EXPECT_EQ(read.record->variants, model.variants) << round;
        if (!base.breaks.empty()) {
            EXPECT_EQ(read.record->breaks, model.breaks) << round;
        }
        EXPECT_EQ(read.wholeLength, copy.size());
        EXPECT_EQ(read.entries, 30u);
    }
}

TEST(Recovery, ACopyThatDoesNotReadBackWholeIsNotOffered) {
    RecoveryRecord base;
    base.text = u"abc";
    const std::string start = recoveryStart() + formEntry(formOf(base)) + textEntry(base);
    const std::string edit = editEntry({1, 1, u"X", {}, {}, 3});
    std::string flipped = start + edit;
    flipped[start.size() / 2] ^= 1; // a byte of the base, with an entry after it
    std::string badKind = start + edit;
    badKind[start.size()] = 'Q';
    const std::string cases[] = {
        flipped,
        badKind,
        start + editEntry({4, 0, u"X", {}, {}, 4}),            // past the end
        start + editEntry({0, 1, u"X", {}, {}, 4}),            // a wrong length
        start + editEntry({0, 0, u"\n", {}, {}, 4}),           // a break without its kind
        start + editEntry({0, 0, u"X", {}, {{1, 0xED40}}, 4}), // a byte form past the text
        recoveryStart() + textEntry(base),                     // no form
        recoveryStart() + formEntry(formOf(base)) + edit,      // no base
        start + textEntry(base),                               // two bases
        // A length past any text (2^63 + 1), in a copy of the first kind.
        std::string("zu recovery 1\ntitle \npath \nencoding \nbom 0\nlinebreak 0\nbreaks "
                    "\nvariants\ntext 9223372036854775809\nab"),
    };
    for (const std::string& bytes : cases)
        EXPECT_FALSE(parseRecovery(bytes).has_value()) << bytes.size();
    // That length announced by the last entry, or its bytes not those
    // checked: cut short while appended, or never written to the disk.
    std::string huge = edit;
    huge.replace(1, 8, std::string("\x01\0\0\0\0\0\0\x80", 8));
    std::string zeroed = edit;
    zeroed.replace(9, 10, std::string(10, '\0'));
    for (const std::string& last : {huge, zeroed}) {
        const auto back = parseRecovery(start + last);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->text, u"abc");
    }
}

TEST(Recovery, AFileBaseIsTheFileReadInItsEncoding) {
    const std::string bytes = "\xEF\xBB\xBF"
                              "a\r\n\xE6\x97\xA5\nb";
    ContentHash check;
    const std::string front = fileEntryFront("UTF-8", bytes.size());
    check.update(front);
    check.update(bytes);
    RecoveryForm form;
    form.encoding = "UTF-8";
    form.mixedBreaks = true;
    const auto back = parseRecovery(recoveryStart() + formEntry(form) + front + bytes +
                                    entryCheck(check) + editEntry({1, 0, u"X", {}, {}, 6}));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->text, u"aX\n\u65E5\nb");
    EXPECT_EQ(back->breaks, (std::vector<LineBreak>{LineBreak::CrLf, LineBreak::Lf}));
}

TEST(Recovery, FileNamesSayWhichProcessKeepsThem) {
    EXPECT_EQ(recoveryFileName(4242, 3), "4242-3.zurecover");
    EXPECT_EQ(recoveryOwner("4242-3.zurecover"), 4242);
    for (const char* other : {"4242-3.zurecover.tmp", "x-3.zurecover", "4242.zurecover",
                              "4242-.zurecover", ".4242-3.zurecover.zu-1-0", "zu.set"})
        EXPECT_EQ(recoveryOwner(other), std::nullopt) << other;
    EXPECT_EQ(recoveryDirectory("/c/zu/"), "/c/zu/recovery/");
}

TEST(Recovery, OnlyTheWritersOwnTemporaryNamesAreLeftovers) {
    EXPECT_EQ(recoveryTemporaryName("42-1.zurecover", 0xABC),
              ".42-1.zurecover.0000000000000abc.zutmp");
    const struct {
        const char* name;
        std::optional<long> process;
        std::optional<std::uint64_t> host;
    } rows[] = {
        {".42-1.zurecover.0000000000000abc.zutmp", 42, 0xABC},
        {".42-1.zurecover.zu-42-0", 42, std::nullopt}, // written by earlier versions
        {".42-1.zurecover.zu-42-17", 42, std::nullopt},
        {".42-1.zurecover.zu-43-0", std::nullopt, std::nullopt}, // not the copy's process
        {".42-1.zurecover.zu-backup-42-0", std::nullopt, std::nullopt},
        {".page.htm.zu-42-0", std::nullopt, std::nullopt}, // beside a document
        {".42-1.zurecover.0000000000000ABC.zutmp", std::nullopt, std::nullopt},
        {".42-1.zurecover.000000000000abc.zutmp", std::nullopt, std::nullopt},
        {".x-1.zurecover.0000000000000abc.zutmp", std::nullopt, std::nullopt},
        {"42-1.zurecover.0000000000000abc.zutmp", std::nullopt, std::nullopt},
        {"42-1.zurecover", std::nullopt, std::nullopt},
        {"42-1.zurecover.damaged", std::nullopt, std::nullopt},
    };
    for (const auto& row : rows) {
        const auto left = recoveryLeftover(row.name);
        EXPECT_EQ(left ? std::optional<long>(left->processId) : std::nullopt, row.process)
            << row.name;
        if (left) {
            EXPECT_EQ(left->hostId, row.host) << row.name;
        }
    }
    EXPECT_EQ(damagedRecoveryName("42-1.zurecover"), "42-1.zurecover.damaged");
    EXPECT_NE(recoveryHostId("a"), recoveryHostId("b"));
}

} // namespace
} // namespace zu
