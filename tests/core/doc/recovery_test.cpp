// Recovery copies come back exactly as they were written, and a copy that
// was cut short (a crash while writing) is never offered.

#include "core/doc/recovery.h"

#include <gtest/gtest.h>

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

TEST(Recovery, FileNamesSayWhichProcessKeepsThem) {
    EXPECT_EQ(recoveryFileName(4242, 3), "4242-3.zurecover");
    EXPECT_EQ(recoveryOwner("4242-3.zurecover"), 4242);
    for (const char* other : {"4242-3.zurecover.tmp", "x-3.zurecover", "4242.zurecover",
                              "4242-.zurecover", ".4242-3.zurecover.zu-1-0", "zu.set"})
        EXPECT_EQ(recoveryOwner(other), std::nullopt) << other;
    EXPECT_EQ(recoveryDirectory("/c/zu/"), "/c/zu/recovery/");
}

} // namespace
} // namespace zu
