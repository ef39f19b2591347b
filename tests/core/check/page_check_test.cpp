#include "core/check/characters.h"
#include "core/check/check_page.h"
#include "core/check/check_run.h"
#include "core/text/encoding.h"
#include "core/text/utf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zu::check {
namespace {

// Each finding as "line:column: severity: message".
std::vector<std::string> found(std::u16string_view text, const Encoding* encoding) {
    std::vector<std::string> lines;
    for (const Finding& f : checkPage(text, {encoding}))
        lines.push_back(formatFinding("", f).substr(1));
    return lines;
}

struct Case {
    std::u16string text;
    std::vector<std::string> expected;
    const Encoding* encoding = &cp932Encoding();
};

void expectCases(const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(found(c.text, c.encoding), c.expected) << utf16ToUtf8(c.text);
}

// The head of a page that breaks no rule of the page as a whole.
const std::u16string kHead = u"<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"UTF-8\">"
                             u"<title>猫の飼い方</title></head>\n";

TEST(PageCheck, Characters) {
    expectCases({
        {u"①",
         {"1:1: 問題の可能性大: "
          "機種依存文字「①」は環境によって正しく表示されないことがあります。「(1)」にできます。"}},
        {u"a髙",
         {"1:2: 問題の可能性大: "
          "機種依存文字「髙」は環境によって正しく表示されないことがあります。"}},
        {u"≒∵￢ⅠＡ",
         {"1:4: 問題の可能性大: "
          "機種依存文字「Ⅰ」は環境によって正しく表示されないことがあります。「I」にできます。"}},
        {u"a€", {"1:2: 問題あり: 「€」はこのページの文字コード (Shift_JIS) では保存できません。"}},
        {u"a€①",
         {"1:3: 問題の可能性大: "
          "機種依存文字「①」は環境によって正しく表示されないことがあります。「(1)」にできます。"},
         &utf8Encoding()},
        // ISO-2022-JP holds NEC row 13 as Windows-made pages write it.
        {u"①€",
         {"1:1: 問題の可能性大: "
          "機種依存文字「①」は環境によって正しく表示されないことがあります。「(1)」にできます。",
          "1:2: 問題あり: 「€」はこのページの文字コード (ISO-2022-JP) では保存できません。"},
         &iso2022JpEncoding()},
        {u"a\uF781\uF782b\uF7FF",
         {"1:2: 問題あり: 文字として読めないバイト (0x81 0x82) "
          "があります。ファイルの文字コードを確かめてください。",
          "1:5: 問題あり: 文字として読めないバイト (0xFF) "
          "があります。ファイルの文字コードを確かめてください。"}},
        {u"<p>ｶﾞｿﾞｳ</p>",
         {"1:4: 問題の可能性大: 半角カタカナ「ｶﾞｿﾞｳ」があります。全角の「ガゾウ」にできます。"}},
        {u"<p title=\"ｶﾅ\">x</p><!-- ｶﾅ --><script>'ｶﾅ'</script>", {}},
    });
}

TEST(PageCheck, SpacedWords) {
    expectCases({
        {u"「氏　名」",
         {"1:2: 問題の可能性大: "
          "「氏　名」は単語の途中に空白があり、一語として読み上げられません。「氏名」にできます"
          "。"}},
        {u"決 定",
         {"1:1: 問題の可能性大: 「決 "
          "定」は単語の途中に空白があり、一語として読み上げられません。「決定」にできます。"}},
        {u"<td>住&nbsp;&nbsp;所</td>",
         {"1:5: 問題の可能性大: "
          "「住&nbsp;&nbsp;"
          "所」は単語の途中に空白があり、一語として読み上げられません。「住所」にできます。"}},
        {u"東京 都庁。東 京都。氏\n名。第 1 回。氏\t名", {}},
        {u"W E L C O M E",
         {"1:1: 問題の可能性大: 「W E L C O M "
          "E」は文字の間に空白があり、一語として読み上げられません。"}},
        {u"A B C D E",
         {"1:1: 問題の可能性大: 「A B C D "
          "E」は文字の間に空白があり、一語として読み上げられません。"}},
        {u"A B C, a  b  c  d, I am a b c", {}},
    });
}

TEST(PageCheck, ImagesAndLinks) {
    const std::u16string longAlt(151, u'猫');
    expectCases({
        {u"<img src=\"cat.gif\">", {"1:1: 問題あり: <img> に alt 属性がありません。"}},
        {u"<input type=image src=b.gif><input type=text><area href=a.htm>",
         {"1:1: 問題あり: <input type=\"image\"> に alt 属性がありません。",
          "1:46: 問題あり: <area> に alt 属性がありません。"}},
        {u"<img src=i.gif alt=\"\"><a href=x><img src=i.gif alt=\"\">ホーム</a>"
         u"<a href=y><img src=a alt=\"ホーム\"><img src=b alt=\"\"></a>",
         {}},
        {u"<a href=x><img src=i.gif alt=\"\"></a>",
         {"1:11: 問題あり: リンクやボタンの画像の alt が空で、行き先や働きがわかりません。"}},
        {u"<img src=i.gif alt=\"　&nbsp;\">", {"1:21: 問題あり: alt が空白だけです。"}},
        {u"<img src=p/cat.jpg alt=\"cat.jpg\"><img src=a.gif alt=\"DSC01.JPG\"><img src=a "
         u"alt=\"猫.gif の絵\"><img src=pic/top alt=top>",
         {"1:25: 問題あり: alt がファイル名「cat.jpg」になっています。",
          "1:54: 問題あり: alt がファイル名「DSC01.JPG」になっています。",
          "1:112: 問題あり: alt がファイル名「top」になっています。"}},
        {u"<img src=a alt='画像'><img src=a alt=Spacer><img src=a alt=\"画像処理\">",
         {"1:17: 問題の可能性大: alt「画像」は画像の内容を表していません。",
          "1:36: 問題の可能性大: alt「Spacer」は画像の内容を表していません。"}},
        {u"<img src=a alt=\"" + longAlt + u"\"><img src=a alt=\"" + longAlt.substr(1) + u"\">",
         {"1:17: 要判断: alt が 151 文字あります。150 "
          "文字を超える説明は本文に書けないか確かめてください。"}},
        {u"<a href=x> &nbsp; </a><a name=x></a><a href=x aria-label=\"ホーム\"></a>",
         {"1:1: 問題あり: リンクに読み取れるテキストがありません。"}},
        {u"<a href=x>≫ こちら</a>\n<a href=x>Click Here!</a><a href=x>こちらの資料</a>",
         {"1:1: 要判断: リンクのテキスト「こちら」だけでは行き先がわかりません。",
          "2:1: 要判断: リンクのテキスト「click here」だけでは行き先がわかりません。"}},
    });
}

TEST(PageCheck, ThePageAsAWhole) {
    const std::u16string body = u"<body>\n</body></html>";
    expectCases({
        {kHead + body, {}, &utf8Encoding()},
        {u"<?xml version=\"1.0\"?><p>part of a page</p>", {}},
        {u"<html lang=ja><head><meta charset=utf-8>\n</head>",
         {"1:15: 問題あり: title 要素がありません。"},
         &utf8Encoding()},
        {u"<html lang=ja><meta charset=utf-8><title> &nbsp;</title>",
         {"1:35: 問題あり: title が空です。"},
         &utf8Encoding()},
        {u"<html lang=ja><meta charset=utf-8><title> Untitled  Document </title>",
         {"1:42: 問題の可能性大: title「Untitled  Document」はページの内容を表していません。"},
         &utf8Encoding()},
        {u"<!doctype html>\n<html><meta charset=utf-8><title>猫</title>",
         {"2:1: 問題あり: html 要素に lang 属性がありません。"},
         &utf8Encoding()},
        {u"<html lang=\"\"><meta charset=utf-8><title>猫</title>",
         {"1:1: 問題あり: html 要素に lang 属性がありません。"},
         &utf8Encoding()},
        {u"<title>猫</title>",
         {"1:1: 問題あり: html 要素に lang 属性がありません。",
          "1:1: 問題の可能性大: 文字コードの宣言がありません。"}},
        {kHead + u"<meta http-equiv=Refresh content=\"5; url=b.htm\"><meta http-equiv=refresh "
                 u"content=0;url=c.htm>",
         {"2:1: 問題あり: meta refresh で 5 秒後にページが切り替わります。",
          "2:49: 要判断: meta refresh "
          "で別のページへ移ります。サーバーの転送にできないか確かめてください。"},
         &utf8Encoding()},
        {kHead,
         {"1:53: 問題あり: 文字コードの宣言 (UTF-8) がファイルの文字コード (Shift_JIS) "
          "と違います。"}},
        {kHead, {}, &utf8Encoding()},
        {kHead, {}, nullptr},
        // Anywhere in the head, as opening the file reads it; not in a
        // comment, nor after the head.
        {u"<html lang=ja><head><title>猫</title><script>" + std::u16string(1100, u'x') +
             u"</script><meta charset=UTF-8></head>",
         {"1:1168: 問題あり: 文字コードの宣言 (UTF-8) がファイルの文字コード (Shift_JIS) "
          "と違います。"}},
        {u"<html lang=ja><head><meta charset=x-unknown><meta charset=UTF-8><title>猫</title>",
         {"1:59: 問題あり: 文字コードの宣言 (UTF-8) がファイルの文字コード (Shift_JIS) "
          "と違います。"}},
        {u"<html lang=ja><head><title>猫</title><!-- <meta charset=utf-8> --></head>"
         u"<meta charset=utf-8>",
         {"1:15: 問題の可能性大: 文字コードの宣言がありません。"}},
        {u"<p id=a>\n<p id=\"a\"><p id=A>", {"2:8: 問題あり: id「a」は 1 行目にもあります。"}},
    });
}

TEST(PageCheck, TagsClosedAndKnown) {
    expectCases({
        {u"<div>", {"1:1: 問題あり: <div> が閉じられていません。"}},
        {u"<b><i>x</b></i></i>",
         {"1:8: 問題あり: </b> より前に <i> が閉じられていません。",
          "1:16: 問題あり: </i> に対応する開始タグがありません。"}},
        {u"<p>a<div>b</div></p><table><tr><td>1<td>2</td></td></table>",
         {"1:17: 問題あり: </p> に対応する開始タグがありません。",
          "1:47: 問題あり: </td> に対応する開始タグがありません。"}},
        {u"𠮷𠮷<foo></foo><p>x</p></body></html>",
         {"1:3: 問題の可能性大: <foo> は HTML の要素ではありません。"},
         &utf8Encoding()},
        {u"<p>x</p></em>", {"1:9: 問題あり: </em> に対応する開始タグがありません。"}},
        {u"𠮷\r\n\u2029\r<foo>x</foo>",
         {"1:1: 問題あり: 「𠮷」はこのページの文字コード (Shift_JIS) では保存できません。",
          "4:1: 問題の可能性大: <foo> は HTML の要素ではありません。"}},
        {u"<my-box>x</my-box><BR/><DIV/><Img src=a alt=x>", {}},
        {u"<html><head><title>t</title><body><ul><li>a<li>b</ul><table><tr><td>1<td>2<tr><td><p>3"
         u"</table><p>a<div>b</div><dl><dt>a<dd>b</dl><select><option>a<option>b</select></html>",
         {"1:1: 問題あり: html 要素に lang 属性がありません。",
          "1:7: 問題の可能性大: 文字コードの宣言がありません。"}},
        {u"<script>if (a<b) x = '<div>';</script><style>p>b{}</style><textarea><b></textarea>"
         u"<!-- a->b <b> -->",
         {}},
        {u"<svg><title>t</title><g><circle/></svg><math><mi>x</math>", {}},
        {u"<p>x</p>\n<img src=a alt=\"x>\n",
         {"2:1: 問題あり: <img が最後まで閉じられていません。"}},
        {u"<!-- <b>", {"1:1: 問題あり: <!-- が最後まで閉じられていません。"}},
    });
}

// What the editor selects for a finding.
TEST(PageCheck, EachFindingCoversWhatItNames) {
    const std::vector<Finding> f =
        checkPage(u"<img src=a>\uF781\uF782 氏 名<img src=a alt=\"画像\">", {&cp932Encoding()});
    ASSERT_EQ(f.size(), 4u);
    const std::pair<std::size_t, std::size_t> ranges[] = {{0, 11}, {11, 13}, {14, 17}, {33, 35}};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(std::pair(f[i].start, f[i].end), ranges[i]) << f[i].message;
}

TEST(PageCheck, FixesMadeGiveThePortableText) {
    const std::u16string text = kHead + u"<p>①ｶﾞ 氏　名 ㈱ 髙 ≒<meta charset=\"Shift_JIS\">";
    std::vector<Fix> fixes;
    for (const Finding& f : checkPage(text, {&utf8Encoding()}))
        if (f.fix)
            fixes.push_back(*f.fix);
    EXPECT_EQ(applyFixes(text, fixes),
              kHead + u"<p>(1)ガ 氏名 (株) 髙 ≒<meta charset=\"Shift_JIS\">");
    const std::u16string mislabelled = u"<meta charset=\"Shift_JIS\">①";
    const std::vector<Finding> f = checkPage(mislabelled, {&utf8Encoding()});
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].fix, (Fix{15, 24, u"UTF-8"}));
    EXPECT_EQ(f[1].fix, (Fix{26, 27, u"(1)"}));
}

// Written from the code tables of CP932's extension rows.
TEST(PortableForms, EveryRowOfTheTable) {
    const struct {
        char16_t c;
        std::u16string_view form;
    } rows[] = {
        {u'①', u"(1)"},
        {u'②', u"(2)"},
        {u'③', u"(3)"},
        {u'④', u"(4)"},
        {u'⑤', u"(5)"},
        {u'⑥', u"(6)"},
        {u'⑦', u"(7)"},
        {u'⑧', u"(8)"},
        {u'⑨', u"(9)"},
        {u'⑩', u"(10)"},
        {u'⑪', u"(11)"},
        {u'⑫', u"(12)"},
        {u'⑬', u"(13)"},
        {u'⑭', u"(14)"},
        {u'⑮', u"(15)"},
        {u'⑯', u"(16)"},
        {u'⑰', u"(17)"},
        {u'⑱', u"(18)"},
        {u'⑲', u"(19)"},
        {u'⑳', u"(20)"},
        {u'Ⅰ', u"I"},
        {u'Ⅱ', u"II"},
        {u'Ⅲ', u"III"},
        {u'Ⅳ', u"IV"},
        {u'Ⅴ', u"V"},
        {u'Ⅵ', u"VI"},
        {u'Ⅶ', u"VII"},
        {u'Ⅷ', u"VIII"},
        {u'Ⅸ', u"IX"},
        {u'Ⅹ', u"X"},
        {u'ⅰ', u"i"},
        {u'ⅱ', u"ii"},
        {u'ⅲ', u"iii"},
        {u'ⅳ', u"iv"},
        {u'ⅴ', u"v"},
        {u'ⅵ', u"vi"},
        {u'ⅶ', u"vii"},
        {u'ⅷ', u"viii"},
        {u'ⅸ', u"ix"},
        {u'ⅹ', u"x"},
        {u'㍉', u"ミリ"},
        {u'㌔', u"キロ"},
        {u'㌢', u"センチ"},
        {u'㍍', u"メートル"},
        {u'㌘', u"グラム"},
        {u'㌧', u"トン"},
        {u'㌃', u"アール"},
        {u'㌶', u"ヘクタール"},
        {u'㍑', u"リットル"},
        {u'㍗', u"ワット"},
        {u'㌍', u"カロリー"},
        {u'㌦', u"ドル"},
        {u'㌣', u"セント"},
        {u'㌫', u"パーセント"},
        {u'㍊', u"ミリバール"},
        {u'㌻', u"ページ"},
        {u'㎜', u"mm"},
        {u'㎝', u"cm"},
        {u'㎞', u"km"},
        {u'㎎', u"mg"},
        {u'㎏', u"kg"},
        {u'㏄', u"cc"},
        {u'㎡', u"m2"},
        {u'㍻', u"平成"},
        {u'㍼', u"昭和"},
        {u'㍽', u"大正"},
        {u'㍾', u"明治"},
        {u'№', u"No."},
        {u'㏍', u"K.K."},
        {u'℡', u"TEL"},
        {u'㊤', u"(上)"},
        {u'㊥', u"(中)"},
        {u'㊦', u"(下)"},
        {u'㊧', u"(左)"},
        {u'㊨', u"(右)"},
        {u'㈱', u"(株)"},
        {u'㈲', u"(有)"},
        {u'㈹', u"(代)"},
        // No form says the same.
        {u'〝', u""},
        {u'〟', u""},
        {u'∮', u""},
        {u'∑', u""},
        {u'∟', u""},
        {u'⊿', u""},
        {u'￤', u""},
        {u'＇', u""},
        {u'＂', u""},
        {u'髙', u""},
        {u'﨑', u""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(portableForm(row.c), row.form) << utf16ToUtf8({&row.c, 1});
        EXPECT_TRUE(isPlatformCharacter(row.c)) << utf16ToUtf8({&row.c, 1});
    }
}

TEST(PortableForms, TheExtensionCharactersAreThoseOfTheRowsWithoutTheStandardOnes) {
    // 457 characters in the three rows (Python's cp932 codec), ten of them
    // repeated from JIS X 0208.
    int count = 0;
    for (char32_t c = 0; c <= 0xFFFF; ++c)
        count += isPlatformCharacter(static_cast<char16_t>(c));
    EXPECT_EQ(count, 447);
    for (const char16_t c : std::u16string_view(u"√∠∩∪∫∵≒≡⊥￢あA\u00A0"))
        EXPECT_FALSE(isPlatformCharacter(c)) << utf16ToUtf8({&c, 1});
}

TEST(HalfWidthKana, EveryCharacterAndTheSoundMarks) {
    EXPECT_EQ(fullWidthKana(u"｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ"),
              u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
              u"ハヒフヘホ"
              u"マミムメモヤユヨラリルレロワン゛゜");
    const struct {
        std::u16string_view half, full;
    } rows[] = {
        {u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ", u"ガギグゲゴザジズゼゾダヂヅデド"},
        {u"ﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", u"バビブベボパピプペポ"},
        {u"ｳﾞﾃﾞｨｽｸ", u"ヴディスク"},
        {u"ﾜﾞｱﾞｶﾟﾞﾟ", u"ワ゛ア゛カ゜゛゜"},
        {u"aｶﾞ漢ガﾞ", u"aガ漢ガ゛"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(fullWidthKana(row.half), row.full) << utf16ToUtf8(row.half);
}

} // namespace
} // namespace zu::check
