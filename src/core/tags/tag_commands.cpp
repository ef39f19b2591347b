#include "core/tags/tag_commands.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

namespace zu {
namespace {

using enum SettingsValue;

// One row per command, in id order. The table is constant-initialised, so
// the menu tables may read it while they are being set up.
//
// The hint after "\t" is only what the menu shows; the inserted texts are
// the open and close columns, which differ from the hint in several rows.
// The odd-looking rows are what the editor has always inserted, and users
// know them by heart: bold alone has no line break after its close tag,
// "title" inserts the html element, the video and embed rows have no blank
// before their next attribute, and the mail row's hint has no quote after
// the address.
constexpr TagCommand kTagCommands[] = {
    {32778, "ｺﾒﾝﾄ(&O)\t<!-- -->", "ｺﾒﾝﾄの挿入", "<!-- ", None, "", " -->\r\n"},
    {32784, "形式(&F)\t<html></html>", "html", "<html>\r\n\r\n", None, "", "</html>\r\n"},
    {32785, "ﾍｯﾀﾞ(&H)\t<head></head>", "head", "<head>\r\n", None, "", "</head>\r\n"},
    {32786, "ﾀｲﾄﾙ(&T)\t<title></title>", "title", "<html>", None, "", "</html>\r\n"},
    {32787, "内容(&B)\t<body></body>", "body", "<body>\r\n\r\n", None, "", "</body>\r\n"},
    {32790, "ﾌｪｰｽ(&F)\t<font FACE=\"\"></font>", "face", "<font FACE=\"", FontFace, "\">",
     "</font>"},
    {32791, "ｶﾗｰ(&C)\t<font COLOR=></font>", "color", "<font COLOR=", FontColor, ">", "</font>"},
    {32792, "ｻｲｽﾞ(&S)\t<font SIZE=></font>", "size", "<font SIZE=", FontSize, ">", "</font>"},
    {32793, "太字(&B)\t<b></b>", "bold", "<b>", None, "", "</b>"},
    {32794, "ｲﾀﾘｯｸ(&I)\t<i></i>", "italic", "<i>", None, "", "</i>\r\n"},
    {32795, "ｱﾝﾀﾞｰﾗｲﾝ(&U)\t<u></u>", "under line", "<u>", None, "", "</u>\r\n"},
    {32796, "削除線(&D)\t<s></s>", "s", "<s>", None, "", "</s>\r\n"},
    {32797, "上付き(&S)\t<sup></sup>", "sup", "<sup>", None, "", "</sup>\r\n"},
    {32798, "下付き(&B)\t<sub></sub>", "sub", "<sub>", None, "", "</sub>\r\n"},
    {32799, "ﾌﾟﾚﾌｫｰﾏｯﾄ(&P)\t<pre></pre>", "pre", "<pre>", None, "", "</pre>\r\n"},
    {32800, "ｾﾝﾀﾘﾝｸﾞ(&C)\t<center></center>", "center", "<center>", None, "", "</center>\r\n"},
    {32801, "ﾏｰｷｰ(&M)\t<marquee></marquee>", "marquee", "<marquee>", None, "", "</marquee>\r\n"},
    {32802, "段落(&P)\t<p>", "p", "<p>", None, "", "</p>\r\n"},
    {32803, "改行(&B)\t<br>", "br", "<br>", None, "", "\r\n"},
    {32804, "水平線(&H)\t<hr>", "hr", "<hr WIDTH=100%>", None, "", "\r\n"},
    {32805, "改行禁止(&N)\t<nobr></nobr>", "nobr", "<nobr>", None, "", "</nobr>\r\n"},
    {32806, "ｻｲﾄ(&S)\t<a HREF=\"http://\"></a>", "site", "<a HREF=\"http://\">", None, "", "</a>"},
    {32807, "ﾍﾟｰｼﾞ(&P)\t<a HREF=\"\"></a>", "page", "<a HREF=\"filename\">", None, "",
     "page-title</a>"},
    {32808, "ﾏｰｶｰの設定(&N)\t<a NAME=\"\"></a>", "name", "<a NAME=\"name\">", None, "", "</a>"},
    {32809, "ﾏｰｶｰへ(&T)\t<a HREF=\"#NAME\"></a>", "jump", "<a HREF=\"#marker-name\">", None, "",
     "hot-spot</a>"},
    // The hint shows an address like the default one of the options.
    {32810, "ﾒｰﾙ送信先(&M)\t<a HREF=\"mailto:webmaster@example.com></a>", "mail to",
     "<a HREF=\"mailto:", MailAddress, "\">", "E-mail</a>"},
    {32811, "ｲﾒｰｼﾞ(&I)\t<img SRC=\"\">", "image", "<img SRC=\"\">", None, "", "\r\n"},
    {32812, "ﾋﾞﾃﾞｵ(&V)\t<img DYNSRC=\"\">", "video", "<img DYNSRC=\"filename\"CONTROLS>", None, "",
     ""},
    {32813, "ｸﾗｲｱﾝﾄﾏｯﾌﾟ(&C)\t<img SRC=\"url\" USEMAP=\"\">", "usemap",
     "<img SRC=\"url\" USEMAP=\"#mapname\" BORDER=0>", None, "", "\r\n"},
    {32814, "ﾏｯﾌﾟﾃﾞｰﾀ(&D)\t<map NAME=\"\"></map>", "map", "<map NAME=\"mapname\">\r\n", None, "",
     "</map>"},
    {32815, "ﾏｯﾌﾟｴﾘｱ(&A)\t<area SHAPE=rect>", "area",
     "<area SHAPE=rect COORDS=left,top,right,bottom HREF=\"url\">", None, "", ""},
    {32816, "ｻｰﾊﾞﾏｯﾌﾟ(&S)\t<img SRC=\"url\" ISMAP>", "ismap", "<img SRC=\"url\" ISMAP>", None, "",
     ""},
    // The selection becomes the value of SRC.
    {32817, "BGｻｳﾝﾄﾞ(&B)\t<bgsound SRC=\"\">", "BGSound", "<bgsound SRC=\"", None, "",
     "\" LOOP=INFINITE>"},
    {32818, "ｵﾌﾞｼﾞｪｸﾄ(&O)\t<embed SRC=\"\">", "object embedding",
     "<embed SRC=\"filename\"WIDTH=70% HEIGHT=60%>", None, "", ""},
    {32819, "番号なし(&U)\t<ul></ul>", "ul", "<ul>\r\n<li>\r\n", None, "", "</ul>\r\n"},
    {32820, "番号つき(&O)\t<ol></ol>", "ol", "<ol>\r\n<li>\r\n", None, "", "</ol>\r\n"},
    {32821, "ﾘｽﾄ項目(&L)\t<li>", "li", "<li>", None, "", "\r\n"},
    {32822, "定義型ﾘｽﾄ(&D)\t<dl></dl>", "dl", "<dl>\r\n<dt>\r\n<dd>\r\n", None, "", "</dl>\r\n"},
    {32823, "定義型項目(&T)\t<dt><dd>", "dt-dd", "<dt>\r\n", None, "", "<dd>\r\n"},
    {32824, "ｲﾝﾃﾞﾝﾄ(&I)\t<blockquote></blockquote>", "blockquote", "<blockquote>", None, "",
     "</blockquote>\r\n"},
    {32825, "ﾃｰﾌﾞﾙ(&T)\t<table></table>", "table",
     "<table BORDER=0 CELLPADDING=0 CELLSPACING=0 WIDTH=80% HEIGHT=30%>\r\n", None, "", "</table>"},
    {32826, "ﾚｺｰﾄﾞ(&R)\t<tr></tr>", "tr", "<tr>", None, "", "</tr>"},
    {32827, "見出しｾﾙ(&H)\t<th></th>", "th", "<th>", None, "", "</th>"},
    {32828, "ﾃﾞｰﾀｾﾙ(&D)\t<td></td>", "td", "<td>", None, "", "</td>"},
    {32829, "ﾀｲﾄﾙ(&L)\t<caption></caption>", "caption", "<caption>", None, "", "</caption>"},
    {32830, "ﾌｫｰﾑ(&F)\t<form></form>", "form",
     "<form ENCTYPE=\"datatype\" ACTION=\"url\" METHOD=\"POST\">", None, "", "</form>"},
    {32831, "入力ｴﾘｱ(&I)\t<input TYPE=>", "input TYPE",
     "<input TYPE=\"format\" NAME=\"field-name\" VALUE=\"data\" SIZE=\"width\" "
     "MAXLENGTH=\"number\">",
     None, "", ""},
    {32832, "ﾌﾚｰﾑ設定(&S)\t<frameset></frameset>", "frameset", "<frameset COLS=20%,80%>", None, "",
     "</frameset>"},
    {32833, "ﾌﾚｰﾑｾﾙ(&C)\t<frame SRC=\"\" NAME=\"\">", "frame SRC",
     "<frame SRC=\"filename\" NAME=\"framename\">", None, "", ""},
    {32834, "ﾍﾞｰｽﾀｰｹﾞｯﾄ(&T)\t<base TARGET=\"\">", "base TARGET", "<base TARGET=\"\">", None, "",
     ""},
    {32835, "ﾉｰﾌﾚｰﾑ(&N)\t<noframe></noframe>", "noframe", "<noframe>", None, "", "</noframe>"},
    // The heading entries show only their tags and have no status prompt.
    {32836, "<h1></h1>", "", "<h1>", None, "", "</h1>\r\n"},
    {32837, "<h2></h2>", "", "<h2>", None, "", "</h2>\r\n"},
    {32838, "<h3></h3>", "", "<h3>", None, "", "</h3>\r\n"},
    {32839, "<h4></h4>", "", "<h4>", None, "", "</h4>\r\n"},
    {32840, "<h5></h5>", "", "<h5>", None, "", "</h5>\r\n"},
    {32841, "<h6></h6>", "", "<h6>", None, "", "</h6>\r\n"},
};

static_assert(std::size(kTagCommands) == 57);
static_assert(std::ranges::is_sorted(kTagCommands, {}, &TagCommand::id));

std::string settingsText(SettingsValue value, const Settings& settings) {
    switch (value) {
    case None:
        return {};
    case FontFace:
        return settings.fontFace;
    case FontColor:
        return settings.fontColor;
    case FontSize:
        // Plain signed decimal: no leading zeros, "-" only when negative.
        return std::to_string(settings.fontSize);
    case MailAddress:
        return settings.mailAddress;
    }
    return {};
}

} // namespace

std::span<const TagCommand> tagCommands() {
    return kTagCommands;
}

const TagCommand* findTagCommand(int id) {
    const auto* it = std::ranges::lower_bound(kTagCommands, id, {}, &TagCommand::id);
    return it != std::end(kTagCommands) && it->id == id ? it : nullptr;
}

Fragment tagFragment(const TagCommand& command, const Settings& settings) {
    // Values go in verbatim: the user's face or address is HTML source they
    // typed on purpose, so nothing is quoted or escaped.
    std::string open(command.open);
    open += settingsText(command.value, settings);
    open += command.openTail;
    return {std::move(open), std::string(command.close)};
}

} // namespace zu
