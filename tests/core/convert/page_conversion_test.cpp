#include "core/convert/page_conversion.h"
#include "core/convert/page_declarations.h"
#include "core/text/utf.h"

#include <gtest/gtest.h>

namespace zu::convert {
namespace {

// Every page in its own encoding, and the exact UTF-8 bytes it becomes.
TEST(PageConversion, PagesBecomeTheseBytes) {
    const ConvertOptions web, jis{false, SixForms::Jis}, mark{true, SixForms::Web};
    const struct {
        const char* name;
        std::string_view bytes;
        ConvertOptions options;
        std::string_view converted;
        std::vector<std::string> changes, notes;
    } pages[] = {
        // Shift_JIS in the http-equiv form, CR LF kept, a link's charset left alone.
        {"sjis.htm",
         "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
         "charset=x-sjis\">\r\n<title>\x93\xFA\x96\x7B</title>\r\n</head>\r\n<body><a "
         "charset=\"Shift_JIS\" href=\"a.htm\">\x82\xA0</a></body>\r\n",
         web,
         "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
         "charset=UTF-8\">\r\n<title>\xE6\x97\xA5\xE6\x9C\xAC</title>\r\n</head>\r\n<body><a "
         "charset=\"Shift_JIS\" href=\"a.htm\">\xE3\x81\x82</a></body>\r\n",
         {"Shift_JIS → UTF-8", "宣言 x-sjis → UTF-8"},
         {"<a charset=\"Shift_JIS\"> (6 行目) はほかのﾌｧｲﾙの文字ｺｰﾄﾞなのでそのままです。"}},
        // EUC-JP declaring nothing: a meta on a line of its own, indented as
        // the next; the six in the browsers' form, or in glibc's.
        {"euc.html",
         "<html>\n<head>\n  <title>\xC6\xFC\xCB\xDC</title>\n</head>\n"
         "<body>\xA1\xC1\xA1\xC2\xA1\xDD\xA1\xF1\xA1\xF2\xA2\xCC</body>\n",
         web,
         "<html>\n<head>\n  <meta charset=\"UTF-8\">\n  <title>\xE6\x97\xA5\xE6\x9C\xAC</title>\n"
         "</head>\n<body>\xEF\xBD\x9E\xE2\x88\xA5\xEF\xBC\x8D\xEF\xBF\xA0\xEF\xBF\xA1\xEF\xBF\xA2"
         "</body>\n",
         {"EUC-JP → UTF-8", "<meta charset=\"UTF-8\"> を追加",
          "JIS と Web で形の違う文字 6 個を Web の形 (～∥－￠￡￢) に"},
         {}},
        {"euc.html",
         "<html>\n<head>\n  <title>\xC6\xFC\xCB\xDC</title>\n</head>\n"
         "<body>\xA1\xC1\xA1\xC2\xA1\xDD\xA1\xF1\xA1\xF2\xA2\xCC</body>\n",
         jis,
         "<html>\n<head>\n  <meta charset=\"UTF-8\">\n  <title>\xE6\x97\xA5\xE6\x9C\xAC</title>\n"
         "</head>\n<body>\xE3\x80\x9C\xE2\x80\x96\xE2\x88\x92\xC2\xA2\xC2\xA3\xC2\xAC</body>\n",
         {"EUC-JP → UTF-8", "<meta charset=\"UTF-8\"> を追加",
          "JIS と Web で形の違う文字 6 個を JIS の形 (〜‖−¢£¬) のまま"},
         {}},
        // ISO-2022-JP in an XML declaration and a meta; both say UTF-8 after.
        {"jis.htm",
         "<?xml version=\"1.0\" encoding=\"ISO-2022-JP\"?>\r\n<html><head><meta "
         "charset=iso-2022-jp></head><body>\x1B$BF|K\\!A\x1B(B</body></html>",
         web,
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<html><head><meta "
         "charset=UTF-8></head><body>\xE6\x97\xA5\xE6\x9C\xAC\xEF\xBD\x9E</body></html>",
         {"ISO-2022-JP → UTF-8", "宣言 ISO-2022-JP → UTF-8", "宣言 iso-2022-jp → UTF-8",
          "JIS と Web で形の違う文字 1 個を Web の形 (～∥－￠￡￢) に"},
         {}},
        // A charset in a script, a comment or the text is no declaration.
        {"plain.htm",
         "<html><head><title>charset=x-sjis</title><script>w('<meta charset=\"x-sjis\">')"
         "</script><!-- <meta charset=\"x-sjis\"> --></head><p>charset=x-sjis",
         mark,
         "\xEF\xBB\xBF<html><head><meta charset=\"UTF-8\"><title>charset=x-sjis</title><script>"
         "w('<meta charset=\"x-sjis\">')</script><!-- <meta charset=\"x-sjis\"> --></head><p>"
         "charset=x-sjis",
         {"Shift_JIS → UTF-8 (BOM 付き)", "<meta charset=\"UTF-8\"> を追加"},
         {}},
        // A text file has no head: its bytes alone change.
        {"a.txt",
         "<head>\r\n\x93\xFA\r\n",
         web,
         "<head>\r\n\xE6\x97\xA5\r\n",
         {"Shift_JIS → UTF-8"},
         {}},
        // Already UTF-8 but undeclared: only the declaration goes in, its
        // byte-order mark stays.
        {"u.htm",
         "\xEF\xBB\xBF<head>\n\xE6\x97\xA5",
         web,
         "\xEF\xBB\xBF<head>\n<meta charset=\"UTF-8\">\n\xE6\x97\xA5",
         {"<meta charset=\"UTF-8\"> を追加"},
         {}},
    };
    for (const auto& page : pages) {
        SCOPED_TRACE(page.name);
        const PageConversion result = convertPage(page.bytes, page.name, page.options);
        EXPECT_EQ(result.plan.stop, "");
        EXPECT_TRUE(result.plan.needed);
        EXPECT_EQ(result.bytes, page.converted);
        EXPECT_EQ(result.plan.changes, page.changes);
        EXPECT_EQ(result.plan.notes, page.notes);
    }
}

TEST(PageConversion, WhatStopsAPage) {
    const struct {
        std::string_view bytes;
        std::string stop;
    } pages[] = {
        {"<meta charset=\"Shift_JIS\">\n<p>\n\x82\xA0\xFF",
         "Shift_JIS として読めないﾊﾞｲﾄが 1 個あります (最初は 3 行目)。"},
        // EUC-JP bytes under a Shift_JIS label.
        {"<meta charset=\"Shift_JIS\"><p>\xC6\xFC\xCB\xDC\xB8\xEC</p>",
         "宣言 (Shift_JIS) が中身の文字ｺｰﾄﾞ (EUC-JP) と違います。"},
        {"<meta charset=\"windows-1252\"><p>\x82\xA0</p>",
         "宣言されている文字ｺｰﾄﾞ「windows-1252」は zu が読めないものです。"},
        {std::string_view("<p>\0</p>", 8), "ﾃｷｽﾄのﾌｧｲﾙではありません (0 のﾊﾞｲﾄがあります)。"},
        // Nothing to do; and a label zu does not know over ASCII, which
        // any encoding reads alike.
        {"<meta charset=\"UTF-8\"><p>\xE6\x97\xA5</p>", ""},
        {"<meta charset=\"windows-1252\"><p>ascii</p>", ""},
    };
    for (const auto& page : pages) {
        const PagePlan plan = convertPage(page.bytes, "p.htm", {}).plan;
        EXPECT_EQ(plan.stop, page.stop) << page.bytes;
        EXPECT_EQ(plan.convertible(), &page == &pages[std::size(pages) - 1]) << page.bytes;
    }
}

// The one-page save path: the declarations made to name any encoding.
TEST(PageDeclarations, EveryDeclarationNamesTheNewEncoding) {
    const struct {
        std::u16string page;
        const Encoding& to;
        AddDeclaration add;
        std::u16string after;
    } cases[] = {
        {u"<meta charset=utf-8><html>", cp932Encoding(), AddDeclaration::IfMissing,
         u"<meta charset=x-sjis><html>"},
        // Named already, by another of its names: nothing to do.
        {u"<meta charset=\"Shift_JIS\">", cp932Encoding(), AddDeclaration::IfMissing,
         u"<meta charset=\"Shift_JIS\">"},
        {u"<meta charset=utf-16>", utf16BeEncoding(), AddDeclaration::IfMissing,
         u"<meta charset=utf-16>"},
        {u"<HTML><Head>\r<p>", eucJpEncoding(), AddDeclaration::IfMissing,
         u"<HTML><Head><meta charset=\"EUC-JP\">\r<p>"},
        {u"<html><p>", utf8Encoding(), AddDeclaration::IfMissing,
         u"<html><meta charset=\"UTF-8\"><p>"},
        {u"<html><head>", utf8Encoding(), AddDeclaration::Never, u"<html><head>"},
        // A part of a page gets none.
        {u"<p>no declaration</p>", utf8Encoding(), AddDeclaration::IfMissing,
         u"<p>no declaration</p>"},
        {u"<META HTTP-EQUIV=content-type CONTENT='text/html;charset = EUC-JP'>", utf8Encoding(),
         AddDeclaration::IfMissing,
         u"<META HTTP-EQUIV=content-type CONTENT='text/html;charset = UTF-8'>"},
        // Not a content type: its charset is text.
        {u"<head><meta name=description content=\"charset=EUC-JP\">", utf8Encoding(),
         AddDeclaration::IfMissing,
         u"<head><meta charset=\"UTF-8\"><meta name=description content=\"charset=EUC-JP\">"},
        {u"<head><link rel=stylesheet charset=EUC-JP href=a.css><script charset=EUC-JP>",
         utf8Encoding(), AddDeclaration::IfMissing,
         u"<head><meta charset=\"UTF-8\"><link rel=stylesheet charset=EUC-JP href=a.css><script "
         u"charset=EUC-JP>"},
    };
    for (const auto& c : cases) {
        const DeclarationPlan plan = planDeclarations(c.page, c.to, c.add);
        EXPECT_EQ(utf16ToUtf8(applyEdits(c.page, plan.edits)), utf16ToUtf8(c.after))
            << utf16ToUtf8(c.page);
    }
    const auto links = planDeclarations(cases[9].page, utf8Encoding()).leftAlone;
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(leftAloneNote(links[1]),
              "<script charset=\"EUC-JP\"> (1 行目) はほかのﾌｧｲﾙの文字ｺｰﾄﾞなのでそのままです。");
}

} // namespace
} // namespace zu::convert
