#include "core/tags/symbols.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zu {
namespace {

struct NamedSymbol {
    int code;
    const char* name;
    const char* named;
    const char* numeric;
};

// The ISO 8859-1 entity set, in code order.
constexpr NamedSymbol kEntityList[] = {
    {161, "iexcl", "&iexcl;", "&#161;"},   {162, "cent", "&cent;", "&#162;"},
    {163, "pound", "&pound;", "&#163;"},   {164, "curren", "&curren;", "&#164;"},
    {165, "yen", "&yen;", "&#165;"},       {166, "brvbar", "&brvbar;", "&#166;"},
    {167, "sect", "&sect;", "&#167;"},     {168, "uml", "&uml;", "&#168;"},
    {169, "copy", "&copy;", "&#169;"},     {170, "ordf", "&ordf;", "&#170;"},
    {171, "laquo", "&laquo;", "&#171;"},   {172, "not", "&not;", "&#172;"},
    {173, "shy", "&shy;", "&#173;"},       {174, "reg", "&reg;", "&#174;"},
    {175, "macr", "&macr;", "&#175;"},     {176, "deg", "&deg;", "&#176;"},
    {177, "plusmn", "&plusmn;", "&#177;"}, {178, "sup2", "&sup2;", "&#178;"},
    {179, "sup3", "&sup3;", "&#179;"},     {180, "acute", "&acute;", "&#180;"},
    {181, "micro", "&micro;", "&#181;"},   {182, "para", "&para;", "&#182;"},
    {183, "middot", "&middot;", "&#183;"}, {184, "cedil", "&cedil;", "&#184;"},
    {185, "sup1", "&sup1;", "&#185;"},     {186, "ordm", "&ordm;", "&#186;"},
    {187, "raquo", "&raquo;", "&#187;"},   {188, "frac14", "&frac14;", "&#188;"},
    {189, "frac12", "&frac12;", "&#189;"}, {190, "frac34", "&frac34;", "&#190;"},
    {191, "iquest", "&iquest;", "&#191;"}, {192, "Agrave", "&Agrave;", "&#192;"},
    {193, "Aacute", "&Aacute;", "&#193;"}, {194, "Acirc", "&Acirc;", "&#194;"},
    {195, "Atilde", "&Atilde;", "&#195;"}, {196, "Auml", "&Auml;", "&#196;"},
    {197, "Aring", "&Aring;", "&#197;"},   {198, "AElig", "&AElig;", "&#198;"},
    {199, "Ccedil", "&Ccedil;", "&#199;"}, {200, "Egrave", "&Egrave;", "&#200;"},
    {201, "Eacute", "&Eacute;", "&#201;"}, {202, "Ecirc", "&Ecirc;", "&#202;"},
    {203, "Euml", "&Euml;", "&#203;"},     {204, "Igrave", "&Igrave;", "&#204;"},
    {205, "Iacute", "&Iacute;", "&#205;"}, {206, "Icirc", "&Icirc;", "&#206;"},
    {207, "Iuml", "&Iuml;", "&#207;"},     {208, "ETH", "&ETH;", "&#208;"},
    {209, "Ntilde", "&Ntilde;", "&#209;"}, {210, "Ograve", "&Ograve;", "&#210;"},
    {211, "Oacute", "&Oacute;", "&#211;"}, {212, "Ocirc", "&Ocirc;", "&#212;"},
    {213, "Otilde", "&Otilde;", "&#213;"}, {214, "Ouml", "&Ouml;", "&#214;"},
    {215, "times", "&times;", "&#215;"},   {216, "Oslash", "&Oslash;", "&#216;"},
    {217, "Ugrave", "&Ugrave;", "&#217;"}, {218, "Uacute", "&Uacute;", "&#218;"},
    {219, "Ucirc", "&Ucirc;", "&#219;"},   {220, "Uuml", "&Uuml;", "&#220;"},
    {221, "Yacute", "&Yacute;", "&#221;"}, {222, "THORN", "&THORN;", "&#222;"},
    {223, "szlig", "&szlig;", "&#223;"},   {224, "agrave", "&agrave;", "&#224;"},
    {225, "aacute", "&aacute;", "&#225;"}, {226, "acirc", "&acirc;", "&#226;"},
    {227, "atilde", "&atilde;", "&#227;"}, {228, "auml", "&auml;", "&#228;"},
    {229, "aring", "&aring;", "&#229;"},   {230, "aelig", "&aelig;", "&#230;"},
    {231, "ccedil", "&ccedil;", "&#231;"}, {232, "egrave", "&egrave;", "&#232;"},
    {233, "eacute", "&eacute;", "&#233;"}, {234, "ecirc", "&ecirc;", "&#234;"},
    {235, "euml", "&euml;", "&#235;"},     {236, "igrave", "&igrave;", "&#236;"},
    {237, "iacute", "&iacute;", "&#237;"}, {238, "icirc", "&icirc;", "&#238;"},
    {239, "iuml", "&iuml;", "&#239;"},     {240, "eth", "&eth;", "&#240;"},
    {241, "ntilde", "&ntilde;", "&#241;"}, {242, "ograve", "&ograve;", "&#242;"},
    {243, "oacute", "&oacute;", "&#243;"}, {244, "ocirc", "&ocirc;", "&#244;"},
    {245, "otilde", "&otilde;", "&#245;"}, {246, "ouml", "&ouml;", "&#246;"},
    {247, "divide", "&divide;", "&#247;"}, {248, "oslash", "&oslash;", "&#248;"},
    {249, "ugrave", "&ugrave;", "&#249;"}, {250, "uacute", "&uacute;", "&#250;"},
    {251, "ucirc", "&ucirc;", "&#251;"},   {252, "uuml", "&uuml;", "&#252;"},
    {253, "yacute", "&yacute;", "&#253;"}, {254, "thorn", "&thorn;", "&#254;"},
    {255, "yuml", "&yuml;", "&#255;"},
};

TEST(Symbols, EveryRowHasItsEntityAndBothTexts) {
    const auto table = symbols();
    ASSERT_EQ(table.size(), std::size(kEntityList));
    for (std::size_t i = 0; i < table.size(); ++i) {
        const NamedSymbol& want = kEntityList[i];
        SCOPED_TRACE(want.code);
        EXPECT_EQ(table[i].code, want.code);
        EXPECT_EQ(table[i].name, want.name);
        EXPECT_EQ(table[i].named, want.named);
        EXPECT_EQ(table[i].numeric, want.numeric);
        EXPECT_EQ(table[i].character(), static_cast<char32_t>(want.code));
        EXPECT_EQ(findSymbol(want.code), &table[i]);
    }
    for (int outside : {0, 60, 62, 159, 160, 256, 1003})
        EXPECT_EQ(findSymbol(outside), nullptr) << outside;
}

struct IdBlock {
    int firstCode, lastCode;
    int firstId, lastId;
    int firstIcon, lastIcon;
};

// Ids and icons run in blocks, each rising by one with the code.
constexpr IdBlock kIdBlocks[] = {
    {161, 168, 1068, 1075, 197, 204}, {169, 191, 1100, 1122, 205, 227},
    {192, 192, 1003, 1003, 133, 133}, {193, 193, 1005, 1005, 134, 134},
    {194, 255, 1006, 1067, 135, 196},
};

TEST(Symbols, IdsAndIconsFollowTheirBlocks) {
    std::set<int> ids, icons;
    for (const IdBlock& block : kIdBlocks) {
        for (int code = block.firstCode; code <= block.lastCode; ++code) {
            SCOPED_TRACE(code);
            const Symbol* symbol = findSymbol(code);
            ASSERT_NE(symbol, nullptr);
            const int offset = code - block.firstCode;
            EXPECT_EQ(symbol->controlId, block.firstId + offset);
            EXPECT_EQ(symbol->iconId, block.firstIcon + offset);
            EXPECT_LE(symbol->controlId, block.lastId);
            EXPECT_LE(symbol->iconId, block.lastIcon);
            EXPECT_EQ(findSymbolById(symbol->controlId), symbol);
            ids.insert(symbol->controlId);
            icons.insert(symbol->iconId);
        }
    }
    EXPECT_EQ(ids.size(), 95u);
    EXPECT_EQ(icons.size(), 95u);
    EXPECT_EQ(*icons.begin(), 133);
    EXPECT_EQ(*icons.rbegin(), 227);
    for (int unused = 1076; unused <= 1099; ++unused)
        EXPECT_EQ(ids.count(unused), 0u) << unused;
    EXPECT_EQ(ids.count(1004), 0u);
    EXPECT_EQ(findSymbolById(1004), nullptr);
    EXPECT_EQ(findSymbolById(2), nullptr); // Cancel
}

struct ReferenceCase {
    int code;
    int entityMnemonic;
    std::string_view inserted;
    char32_t character;
};

TEST(Symbols, ReferenceFollowsTheFormSetting) {
    const ReferenceCase cases[] = {
        {161, 1, "&iexcl;", U'¡'},
        {161, 0, "&#161;", U'¡'},
        {255, 1, "&yuml;", U'ÿ'},
        {255, 0, "&#255;", U'ÿ'},
        {192, 1, "&Agrave;", U'À'},
        {192, 0, "&#192;", U'À'},
        {198, 1, "&AElig;", U'Æ'},
        {230, 1, "&aelig;", U'æ'},
        {208, 1, "&ETH;", U'Ð'},
        {240, 1, "&eth;", U'ð'},
        {222, 1, "&THORN;", U'Þ'},
        {254, 1, "&thorn;", U'þ'},
        {215, 1, "&times;", U'×'},
        {247, 1, "&divide;", U'÷'},
        {173, 1, "&shy;", U'\u00AD'},
        {215, 0, "&#215;", U'×'},
        {173, 0, "&#173;", U'\u00AD'},
        // Any non-zero value asks for the name.
        {169, -1, "&copy;", U'©'},
        {169, 2, "&copy;", U'©'},
    };
    for (const ReferenceCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.code) + " form " + std::to_string(c.entityMnemonic));
        const Symbol* symbol = findSymbol(c.code);
        ASSERT_NE(symbol, nullptr);
        EXPECT_EQ(symbolReference(*symbol, c.entityMnemonic), c.inserted);
        EXPECT_EQ(symbol->character(), c.character);
    }
}

// Columns in order, with the codes each holds from top to bottom.
struct GridColumn {
    int x;
    int firstCode, lastCode;
};

constexpr GridColumn kGridColumns[] = {
    {7, 161, 168},   {29, 169, 176},  {52, 177, 184},  {75, 185, 191},
    {105, 192, 199}, {127, 200, 207}, {149, 208, 215}, {171, 216, 223},
    {194, 224, 231}, {217, 232, 239}, {240, 240, 247}, {262, 248, 255},
};
constexpr int kGridRowY[] = {7, 31, 55, 79, 103, 127, 152, 177};

TEST(SymbolDialog, GridIsFilledColumnByColumn) {
    std::set<std::pair<int, int>> used;
    for (int column = 0; column < 12; ++column) {
        const GridColumn& want = kGridColumns[column];
        for (int code = want.firstCode; code <= want.lastCode; ++code) {
            SCOPED_TRACE(code);
            const int row = code - want.firstCode;
            const SymbolCell cell = symbolCell(*findSymbol(code));
            EXPECT_EQ(cell.column, column);
            EXPECT_EQ(cell.row, row);
            EXPECT_EQ(cell.rect, (DialogRect{want.x, kGridRowY[row], 21, 24}));
            used.insert({cell.column, cell.row});
        }
    }
    EXPECT_EQ(used.size(), 95u);
    EXPECT_EQ(used.count({3, 7}), 0u) << "the fourth column's bottom cell is empty";
}

bool overlap(const DialogRect& a, const DialogRect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

TEST(SymbolDialog, ButtonsFitTheDialogWithoutOverlapping) {
    EXPECT_EQ(kSymbolDialogCaption, "特殊記号");
    EXPECT_EQ(kSymbolCancel.id, 2);
    EXPECT_EQ(kSymbolCancel.text, "ｷｬﾝｾﾙ");
    std::vector<DialogRect> rects{kSymbolCancel.rect};
    for (const Symbol& symbol : symbols())
        rects.push_back(symbolCell(symbol).rect);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const DialogRect& r = rects[i];
        EXPECT_TRUE(r.x > 0 && r.y > 0 && r.x + r.width < 290 && r.y + r.height < 235) << i;
        for (std::size_t j = i + 1; j < rects.size(); ++j)
            EXPECT_FALSE(overlap(r, rects[j])) << i << " and " << j;
    }
}

} // namespace
} // namespace zu
