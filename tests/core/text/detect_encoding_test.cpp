// Which encoding a file is opened in: the byte-order mark, ISO-2022-JP by
// its escapes, strict UTF-8, the declaration anywhere in the head, then the
// reading that leaves the fewest bytes raw and reads most like Japanese.

#include "core/text/detect_encoding.h"
#include "core/text/document_text.h"
#include "core/text/iconv_converter.h"
#include "core/text/japanese_reading.h"
#include "core/text/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace zu {
namespace {

using namespace std::string_literals;

// iconv's writing of UTF-8 text; false when it cannot write all of it.
bool convert(const char* to, const std::string& utf8, std::string& out) {
    IconvConverter cd(to, "UTF-8");
    out.assign(utf8.size() * 4 + 16, '\0');
    const char* in = utf8.data();
    std::size_t inLeft = utf8.size();
    char* o = out.data();
    std::size_t oLeft = out.size();
    const bool whole = cd.convert(in, inLeft, o, oLeft) != static_cast<std::size_t>(-1);
    out.resize(out.size() - oLeft);
    return whole;
}

TEST(DetectEncoding, MarkThenUtf8ThenDeclarationThenCp932) {
    const std::string padding(1100, ' ');
    struct Case {
        const char* name;
        std::string bytes;
        const Encoding* encoding;
        bool mark = false;
    };
    const Case cases[] = {
        {"UTF-8 mark", "\xEF\xBB\xBFplain", &utf8Encoding(), true},
        {"UTF-16LE mark", "\xFF\xFEx\0"s, &utf16LeEncoding(), true},
        {"UTF-16BE mark", "\xFE\xFF\0x"s, &utf16BeEncoding(), true},
        {"UTF-8 page with Japanese text",
         "<html><head><title>\xE6\x97\xA5\xE6\x9C\xAC</title></head></html>\r\n", &utf8Encoding()},
        {"Shift_JIS page", "<html><title>\x93\xFA\x96\x7B\x8C\xEA</title></html>\r\n",
         &cp932Encoding()},
        {"EUC-JP page declaring it",
         "<html><head>\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
         "charset=EUC-JP\">\r\n</head><body>\xC6\xFC\xCB\xDC\xB8\xEC</body></html>",
         &eucJpEncoding()},
        {"short meta charset", "<meta charset='euc-jp'>\xA4\xA2", &eucJpEncoding()},
        {"ISO-2022-JP declared", "<meta charset=iso-2022-jp>\x1B$B$\"\x1B(B", &iso2022JpEncoding()},
        {"Shift_JIS page declaring x-sjis",
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">\x82\xA0",
         &cp932Encoding()},
        // Valid UTF-8 wins over what the page says.
        {"UTF-8 page declaring x-sjis", "<meta charset=x-sjis>\xE3\x81\x82", &utf8Encoding()},
        // A declaration that can be read as ASCII is no UTF-16.
        {"declared UTF-16", "<meta charset=\"UTF-16\">", &utf8Encoding()},
        {"declared and unsupported", "<meta charset=iso-8859-1>\xE9t\xE9", &cp932Encoding()},
        {"ASCII declaring UTF-8", "<meta charset=utf-8>plain", &utf8Encoding()},
        {"ASCII without declaration", "<p>plain</p>", &cp932Encoding()},
        {"declaration past the first 1,024 bytes", padding + "<meta charset=euc-jp>\xA4\xA2",
         &eucJpEncoding()},
        // Half-width katakana in Shift_JIS: C1-continuation bytes, no UTF-8.
        {"short half-width katakana", "\xB6\xC0\xB6\xC5", &cp932Encoding()},
        {"half-width katakana after a lead-like byte", "\xC3\xDD\xC4\xDE", &cp932Encoding()},
        {"empty file", "", &cp932Encoding()},
        // Shift_JIS lead bytes that EUC-JP would read as C1 controls count
        // as unread, as does any byte of JIS escapes beside 8-bit bytes.
        {"C1 controls", "\x81\x41\x80", &cp932Encoding()},
        {"escapes beside 8-bit bytes", "\x1B$B$\"\x1B(B \x82\xA0", &cp932Encoding()},
        // Fewest raw bytes first: EUC-JP's kana with a lead byte cut off
        // read as Shift_JIS half-width katakana with none.
        {"fewest raw bytes", "\xA4\xA2\xA4\xEA\xA4\xAC\xA4\xC8\xA4\xA6\xA4", &cp932Encoding()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Detected d = detectEncoding(c.bytes);
        EXPECT_EQ(d.encoding->name(), c.encoding->name());
        EXPECT_EQ(d.byteOrderMark, c.mark);
    }
    // Opening takes the mark off the text and keeps it for saving.
    const DocumentText marked = decodeDetected("\xEF\xBB\xBF\xE3\x81\x82");
    EXPECT_EQ(marked.text, u"あ");
    EXPECT_TRUE(marked.byteOrderMark);
    EXPECT_EQ(encodeDocument(marked.text, marked.form()).bytes, "\xEF\xBB\xBF\xE3\x81\x82");
}

TEST(DetectEncoding, Utf8IsStrict) {
    struct Case {
        const char* name;
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"two, three and four bytes", "\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80", true},
        {"the highest", "\xEF\xBF\xBF\xF4\x8F\xBF\xBF", true},
        {"ASCII run past a word", "0123456789abcdef\xC3\xA9", true},
        {"overlong two bytes", "\xC0\x80", false},
        {"overlong three bytes", "\xE0\x80\x80", false},
        {"overlong four bytes", "\xF0\x80\x80\x80", false},
        {"surrogate", "\xED\xA0\x80", false},
        {"past U+10FFFF", "\xF4\x90\x80\x80", false},
        {"no such lead", "\xF5\x80\x80\x80", false},
        {"continuation alone", "abc\x80", false},
        {"cut short", "\xE3\x81", false},
        {"bad third byte", "\xE3\x81\x41", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.name;
}

TEST(DetectEncoding, FindsTheDeclaredCharsetInBytesAndText) {
    struct Case {
        std::string page;
        std::string value; // empty: no declaration
    };
    const Case cases[] = {
        {"<meta charset=\"utf-8\">", "utf-8"},
        {"<META CHARSET = 'Shift_JIS' />", "Shift_JIS"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">", "x-sjis"},
        {"<meta content=\"text/html;charset=euc-jp\" http-equiv=\"content-type\">", "euc-jp"},
        {"<meta name=\"xcharset=euc-jp\">", ""},
        {"<metadata charset=\"euc-jp\">", ""},
        {"<p charset=\"euc-jp\">", ""},
        {"<meta charset=\"euc-jp\"", ""}, // the tag never closes
        {"<meta name=\"a\"><meta charset=\"utf-8\">", "utf-8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        const auto inBytes = findCharsetDeclaration(c.page);
        const std::u16string text(c.page.begin(), c.page.end());
        const auto inText = findCharsetDeclaration(text);
        ASSERT_EQ(inBytes.has_value(), !c.value.empty());
        ASSERT_EQ(inText.has_value(), !c.value.empty());
        if (c.value.empty())
            continue;
        EXPECT_EQ(c.page.substr(inBytes->position, inBytes->length), c.value);
        EXPECT_EQ(inText->position, inBytes->position);
        EXPECT_EQ(inText->length, inBytes->length);
    }
}

TEST(DetectEncoding, Utf16ChosenByTheUserTakesItsByteOrderFromTheFile) {
    struct Case {
        std::string bytes;
        const Encoding* expected;
    };
    const Case cases[] = {
        {"\xFF\xFEx\0"s, &utf16LeEncoding()}, {"\xFE\xFF\0x"s, &utf16BeEncoding()},
        {"<\0p\0>\0"s, &utf16LeEncoding()},   {"\0<\0p\0>"s, &utf16BeEncoding()},
        {"\x42\x30"s, &utf16LeEncoding()}, // nothing to tell: as chosen
    };
    for (const Case& c : cases)
        EXPECT_EQ(&settleByteOrder(utf16LeEncoding(), c.bytes), c.expected)
            << testing::PrintToString(c.bytes);
    EXPECT_EQ(&settleByteOrder(eucJpEncoding(), "\0x"s), &eucJpEncoding());
}

// Read again as the user chose: the file's own byte order, its mark taken
// off, and the charset it declares found as on opening.
TEST(DetectEncoding, TextReadAgainAsChosenKeepsTheFilesByteOrderAndDeclaration) {
    const DocumentText be = decodeChosen("\xFE\xFF\0<\0p"s, utf16LeEncoding());
    EXPECT_EQ(be.encoding, &utf16BeEncoding());
    EXPECT_TRUE(be.byteOrderMark);
    EXPECT_EQ(be.text, u"<p");
    const DocumentText declared =
        decodeChosen("<meta charset=\"euc-jp\">\x82\xA0"s, cp932Encoding());
    EXPECT_EQ(declared.encoding, &cp932Encoding());
    EXPECT_EQ(declared.declared, &eucJpEncoding());
    EXPECT_EQ(declared.text, u"<meta charset=\"euc-jp\">\u3042");
}

// Pages of our own: ordinary Japanese (prose, a notice, kanji-heavy and
// katakana-heavy text, a short word, half-width katakana), written by iconv
// in each encoding, each declared in every way, not at all, or wrongly.
TEST(DetectEncoding, PagesOpenInTheEncodingTheyAreWrittenIn) {
    const std::string paragraphs[] = {
        "今日は朝から雨が降っていたので、駅まで歩くのをやめてバスに乗りました。窓の外を眺めて"
        "いると、傘を差した子どもたちが楽しそうに水たまりを跳び越えていくのが見えました。",
        "設定ファイルを書き換えたあとは、サーバーを再起動してください。",
        "本会議は、地域経済の活性化と観光振興に関する基本計画を承認した。",
        "コンピューター、キーボード、マウス、ディスプレイ、プリンター。",
        "ありがとう",
        "ﾎｰﾑﾍﾟｰｼﾞへようこそ！ｶﾞﾗｸﾀ置き場の日記です。",
    };
    struct Written {
        const char* iconvName;
        const Encoding* encoding;
        const char* label;     // another label of the same encoding
        const Encoding* wrong; // what a mislabelled page declares
    };
    const Written encodings[] = {
        {"CP932", &cp932Encoding(), "windows-31j", &eucJpEncoding()},
        {"EUC-JP", &eucJpEncoding(), "x-euc", &cp932Encoding()},
        {"ISO-2022-JP", &iso2022JpEncoding(), "csiso2022jp", &cp932Encoding()},
        {"UTF-8", &utf8Encoding(), "unicode-1-1-utf-8", &eucJpEncoding()},
    };
    const std::string late = "<!-- " + std::string(1100, '-') + " -->";
    for (const std::string& paragraph : paragraphs) {
        for (const Written& w : encodings) {
            const std::string name(w.encoding->charset());
            const std::string wrong(w.wrong->name());
            const struct {
                std::string head;
                const Encoding* declared;
            } heads[] = {
                {"", nullptr},
                {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + name + "\">",
                 w.encoding},
                {"<meta charset='" + std::string(w.label) + "'>", w.encoding},
                {late + "<meta charset=" + name + ">", w.encoding},
                {"<meta charset=\"" + wrong + "\">", w.wrong},
            };
            for (const auto& h : heads) {
                for (const bool xml : {false, true}) {
                    const std::string page =
                        (xml ? "<?xml version=\"1.0\" encoding=\"" + name + "\"?>\n" : "") +
                        "<html><head>" + h.head + "<title>t</title></head><body>\n<p>" + paragraph +
                        "</p>\n</body></html>\n";
                    std::string bytes;
                    if (!convert(w.iconvName, page, bytes))
                        continue; // ISO-2022-JP has no half-width katakana
                    SCOPED_TRACE(std::string(w.iconvName) + " " + (xml ? "xml " : "") + h.head +
                                 paragraph);
                    const Detected d = detectEncoding(bytes);
                    EXPECT_EQ(d.encoding, w.encoding) << d.encoding->name();
                    EXPECT_EQ(d.declared, xml ? w.encoding : h.declared);
                    EXPECT_NE(decodeDetected(bytes).text.find(utf8ToUtf16(paragraph)),
                              std::u16string::npos);
                }
            }
        }
    }
}

TEST(DetectEncoding, TheDeclarationIsFoundAnywhereInTheHead) {
    struct Case {
        std::string page;
        const Encoding* declared;
    };
    const Case cases[] = {
        {"<?xml version=\"1.0\" encoding='EUC_JP'?><html>", &eucJpEncoding()},
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html;charset=cseucpkdfmtjapanese\">",
         &eucJpEncoding()},
        {"<!-- <meta charset=euc-jp> --><meta charset=x-sjis>", &cp932Encoding()},
        {"<meta charset=iso-8859-1><meta charset=ms_kanji>", &cp932Encoding()},
        {"<meta charset=\"utf-16\">", &utf8Encoding()},
        {"<head></head><meta charset=euc-jp>", nullptr},
        {"<body><meta charset=euc-jp>", nullptr},
        {"<metadata charset=euc-jp>", nullptr},
        {"<meta charset=euc-jp", nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(declaredEncoding(c.page), c.declared) << c.page;
}

TEST(DetectEncoding, KanaAndCommonKanjiReadAsJapanese) {
    const std::pair<char16_t, int> weights[] = {
        {u'あ', 3}, {u'ア', 3}, {u'ー', 3},      {u'。', 2},      {u'」', 2},
        {u'亜', 2}, {u'腕', 2}, {u'弌', 1},      {u'熙', 1},      {u'纊', 0},
        {u'ｱ', 1},  {u'｡', 0},  {u'Ａ', 1},      {u'　', 1},      {u'a', 0},
        {u'é', 0},  {u'Ω', 0},  {u'\uE000', -3}, {u'\u0085', -3},
    };
    for (auto [c, weight] : weights)
        EXPECT_EQ(japaneseWeight(c), weight) << static_cast<int>(c);
}

TEST(DetectEncoding, EveryLabelOfTheJapaneseEncodingsAndUtf8IsKnown) {
    struct Label {
        const char* label;
        const char* name;
    };
    const Label labels[] = {
        {"csshiftjis", "Shift_JIS"},
        {"ms932", "Shift_JIS"},
        {"ms_kanji", "Shift_JIS"},
        {"shift-jis", "Shift_JIS"},
        {"shift_jis", "Shift_JIS"},
        {"sjis", "Shift_JIS"},
        {"windows-31j", "Shift_JIS"},
        {"x-sjis", "Shift_JIS"},
        {"cseucpkdfmtjapanese", "EUC-JP"},
        {"euc-jp", "EUC-JP"},
        {"x-euc-jp", "EUC-JP"},
        {"x-euc", "EUC-JP"},
        {"EUC_JP", "EUC-JP"},
        {"csiso2022jp", "ISO-2022-JP"},
        {"iso-2022-jp", "ISO-2022-JP"},
        {"unicode-1-1-utf-8", "UTF-8"},
        {"unicode11utf8", "UTF-8"},
        {"unicode20utf8", "UTF-8"},
        {"utf-8", "UTF-8"},
        {"utf8", "UTF-8"},
        {"x-unicode20utf8", "UTF-8"},
    };
    for (const Label& l : labels) {
        const Encoding* e = findEncoding(l.label);
        ASSERT_NE(e, nullptr) << l.label;
        EXPECT_EQ(e->name(), l.name) << l.label;
    }
    EXPECT_EQ(findEncoding("euc-kr"), nullptr);
}

} // namespace
} // namespace zu
