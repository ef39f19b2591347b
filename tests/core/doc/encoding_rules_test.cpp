// The encoding panes' rules: names an encoding goes by, what switching does
// to a document's form and to the charset its page declares, and what the
// panes say.

#include "core/doc/encoding_rules.h"

#include <gtest/gtest.h>

namespace zu {
namespace {

TEST(EncodingRules, NamesAndAliasesIgnoringCase) {
    struct Case {
        const char* name;
        const Encoding* encoding;
    };
    const Case cases[] = {
        {"Shift_JIS", &cp932Encoding()},
        {"x-sjis", &cp932Encoding()},
        {"WINDOWS-31J", &cp932Encoding()},
        {"sjis", &cp932Encoding()},
        {"utf-8", &utf8Encoding()},
        {"UTF8", &utf8Encoding()},
        {"utf-16", &utf16LeEncoding()},
        {"UTF-16BE", &utf16BeEncoding()},
        {"euc-jp", &eucJpEncoding()},
        {"iso-2022-jp", &iso2022JpEncoding()},
        {"iso-8859-1", nullptr},
        {"", nullptr},
        {"utf-8x", nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findEncoding(c.name), c.encoding) << c.name;
    // What pages declare: x-sjis for CP932 as zu always wrote, IANA names
    // for the others, one name for both UTF-16 byte orders.
    for (const EncodingChoice& choice : encodingChoices())
        EXPECT_EQ(findEncoding(choice.encoding->charset()), choice.encoding) << choice.label;
    EXPECT_EQ(cp932Encoding().charset(), "x-sjis");
    EXPECT_EQ(utf16BeEncoding().charset(), "UTF-16");
}

TEST(EncodingRules, SwitchingKeepsAMarkOnlyWithinTheEncodingAndGivesUtf16One) {
    const TextForm sjis{&cp932Encoding(), false, LineBreak::Lf};
    const TextForm markedUtf8{&utf8Encoding(), true, LineBreak::CrLf};
    const TextForm bigEndian{&utf16BeEncoding(), true, LineBreak::CrLf};
    struct Case {
        const char* name;
        TextForm now;
        const Encoding* to;
        const Encoding* encoding;
        bool mark;
    };
    const Case cases[] = {
        {"CP932 to UTF-8", sjis, &utf8Encoding(), &utf8Encoding(), false},
        {"CP932 to UTF-16", sjis, &utf16LeEncoding(), &utf16LeEncoding(), true},
        {"UTF-8 with a mark stays", markedUtf8, &utf8Encoding(), &utf8Encoding(), true},
        {"UTF-8 with a mark to EUC-JP", markedUtf8, &eucJpEncoding(), &eucJpEncoding(), false},
        {"UTF-16BE keeps its order", bigEndian, &utf16LeEncoding(), &utf16BeEncoding(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TextForm form = switchedForm(c.now, *c.to);
        EXPECT_EQ(form.encoding, c.encoding);
        EXPECT_EQ(form.byteOrderMark, c.mark);
        EXPECT_EQ(form.lineBreak, c.now.lineBreak);
    }
}

TEST(EncodingRules, PaneTexts) {
    EXPECT_EQ(encodingLabel({&cp932Encoding(), false}), "Shift_JIS");
    EXPECT_EQ(encodingLabel({&utf8Encoding(), true}), "UTF-8 (BOM)");
    EXPECT_EQ(encodingLabel({&utf16LeEncoding(), true}), "UTF-16LE (BOM)");
    // A page read in another encoding than it declares says which.
    EXPECT_EQ(encodingLabel({&eucJpEncoding()}, &cp932Encoding()), "EUC-JP (宣言: Shift_JIS)");
    EXPECT_EQ(encodingLabel({&utf8Encoding(), true}, &eucJpEncoding()),
              "UTF-8 (BOM) (宣言: EUC-JP)");
    EXPECT_EQ(encodingLabel({&eucJpEncoding()}, &eucJpEncoding()), "EUC-JP");
    EXPECT_EQ(encodingLabel({&utf16BeEncoding()}, &utf16LeEncoding()), "UTF-16BE");
    EXPECT_EQ(lineBreakLabel(LineBreak::CrLf, false), "CR+LF");
    EXPECT_EQ(lineBreakLabel(LineBreak::Lf, true), "混在 (LF)");
    EXPECT_EQ(lineBreakLabel(LineBreak::Cr, false), "CR");
}

} // namespace
} // namespace zu
