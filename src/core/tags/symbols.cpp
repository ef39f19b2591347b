#include "core/tags/symbols.h"

#include <algorithm>
#include <iterator>

namespace zu {
namespace {

// Both texts are kept as written rather than built from the name and code:
// they are exactly what goes into the user's page, and a literal is what a
// reader checks against the entity list.
//
// Control ids and icons are the numbers the buttons have always had, and
// they are not in code order: the letters and operators (192 to 255) hold the
// low ids from 1003 with 1004 skipped, and the signs (161 to 191) come after
// them in two blocks on either side of 1076 to 1099, which no symbol uses.
constexpr Symbol kSymbols[] = {
    {161, 1068, 197, "iexcl", "&iexcl;", "&#161;"},
    {162, 1069, 198, "cent", "&cent;", "&#162;"},
    {163, 1070, 199, "pound", "&pound;", "&#163;"},
    {164, 1071, 200, "curren", "&curren;", "&#164;"},
    {165, 1072, 201, "yen", "&yen;", "&#165;"},
    {166, 1073, 202, "brvbar", "&brvbar;", "&#166;"},
    {167, 1074, 203, "sect", "&sect;", "&#167;"},
    {168, 1075, 204, "uml", "&uml;", "&#168;"},
    {169, 1100, 205, "copy", "&copy;", "&#169;"},
    {170, 1101, 206, "ordf", "&ordf;", "&#170;"},
    {171, 1102, 207, "laquo", "&laquo;", "&#171;"},
    {172, 1103, 208, "not", "&not;", "&#172;"},
    {173, 1104, 209, "shy", "&shy;", "&#173;"},
    {174, 1105, 210, "reg", "&reg;", "&#174;"},
    {175, 1106, 211, "macr", "&macr;", "&#175;"},
    {176, 1107, 212, "deg", "&deg;", "&#176;"},
    {177, 1108, 213, "plusmn", "&plusmn;", "&#177;"},
    {178, 1109, 214, "sup2", "&sup2;", "&#178;"},
    {179, 1110, 215, "sup3", "&sup3;", "&#179;"},
    {180, 1111, 216, "acute", "&acute;", "&#180;"},
    {181, 1112, 217, "micro", "&micro;", "&#181;"},
    {182, 1113, 218, "para", "&para;", "&#182;"},
    {183, 1114, 219, "middot", "&middot;", "&#183;"},
    {184, 1115, 220, "cedil", "&cedil;", "&#184;"},
    {185, 1116, 221, "sup1", "&sup1;", "&#185;"},
    {186, 1117, 222, "ordm", "&ordm;", "&#186;"},
    {187, 1118, 223, "raquo", "&raquo;", "&#187;"},
    {188, 1119, 224, "frac14", "&frac14;", "&#188;"},
    {189, 1120, 225, "frac12", "&frac12;", "&#189;"},
    {190, 1121, 226, "frac34", "&frac34;", "&#190;"},
    {191, 1122, 227, "iquest", "&iquest;", "&#191;"},
    {192, 1003, 133, "Agrave", "&Agrave;", "&#192;"},
    {193, 1005, 134, "Aacute", "&Aacute;", "&#193;"},
    {194, 1006, 135, "Acirc", "&Acirc;", "&#194;"},
    {195, 1007, 136, "Atilde", "&Atilde;", "&#195;"},
    {196, 1008, 137, "Auml", "&Auml;", "&#196;"},
    {197, 1009, 138, "Aring", "&Aring;", "&#197;"},
    {198, 1010, 139, "AElig", "&AElig;", "&#198;"},
    {199, 1011, 140, "Ccedil", "&Ccedil;", "&#199;"},
    {200, 1012, 141, "Egrave", "&Egrave;", "&#200;"},
    {201, 1013, 142, "Eacute", "&Eacute;", "&#201;"},
    {202, 1014, 143, "Ecirc", "&Ecirc;", "&#202;"},
    {203, 1015, 144, "Euml", "&Euml;", "&#203;"},
    {204, 1016, 145, "Igrave", "&Igrave;", "&#204;"},
    {205, 1017, 146, "Iacute", "&Iacute;", "&#205;"},
    {206, 1018, 147, "Icirc", "&Icirc;", "&#206;"},
    {207, 1019, 148, "Iuml", "&Iuml;", "&#207;"},
    {208, 1020, 149, "ETH", "&ETH;", "&#208;"},
    {209, 1021, 150, "Ntilde", "&Ntilde;", "&#209;"},
    {210, 1022, 151, "Ograve", "&Ograve;", "&#210;"},
    {211, 1023, 152, "Oacute", "&Oacute;", "&#211;"},
    {212, 1024, 153, "Ocirc", "&Ocirc;", "&#212;"},
    {213, 1025, 154, "Otilde", "&Otilde;", "&#213;"},
    {214, 1026, 155, "Ouml", "&Ouml;", "&#214;"},
    {215, 1027, 156, "times", "&times;", "&#215;"},
    {216, 1028, 157, "Oslash", "&Oslash;", "&#216;"},
    {217, 1029, 158, "Ugrave", "&Ugrave;", "&#217;"},
    {218, 1030, 159, "Uacute", "&Uacute;", "&#218;"},
    {219, 1031, 160, "Ucirc", "&Ucirc;", "&#219;"},
    {220, 1032, 161, "Uuml", "&Uuml;", "&#220;"},
    {221, 1033, 162, "Yacute", "&Yacute;", "&#221;"},
    {222, 1034, 163, "THORN", "&THORN;", "&#222;"},
    {223, 1035, 164, "szlig", "&szlig;", "&#223;"},
    {224, 1036, 165, "agrave", "&agrave;", "&#224;"},
    {225, 1037, 166, "aacute", "&aacute;", "&#225;"},
    {226, 1038, 167, "acirc", "&acirc;", "&#226;"},
    {227, 1039, 168, "atilde", "&atilde;", "&#227;"},
    {228, 1040, 169, "auml", "&auml;", "&#228;"},
    {229, 1041, 170, "aring", "&aring;", "&#229;"},
    {230, 1042, 171, "aelig", "&aelig;", "&#230;"},
    {231, 1043, 172, "ccedil", "&ccedil;", "&#231;"},
    {232, 1044, 173, "egrave", "&egrave;", "&#232;"},
    {233, 1045, 174, "eacute", "&eacute;", "&#233;"},
    {234, 1046, 175, "ecirc", "&ecirc;", "&#234;"},
    {235, 1047, 176, "euml", "&euml;", "&#235;"},
    {236, 1048, 177, "igrave", "&igrave;", "&#236;"},
    {237, 1049, 178, "iacute", "&iacute;", "&#237;"},
    {238, 1050, 179, "icirc", "&icirc;", "&#238;"},
    {239, 1051, 180, "iuml", "&iuml;", "&#239;"},
    {240, 1052, 181, "eth", "&eth;", "&#240;"},
    {241, 1053, 182, "ntilde", "&ntilde;", "&#241;"},
    {242, 1054, 183, "ograve", "&ograve;", "&#242;"},
    {243, 1055, 184, "oacute", "&oacute;", "&#243;"},
    {244, 1056, 185, "ocirc", "&ocirc;", "&#244;"},
    {245, 1057, 186, "otilde", "&otilde;", "&#245;"},
    {246, 1058, 187, "ouml", "&ouml;", "&#246;"},
    {247, 1059, 188, "divide", "&divide;", "&#247;"},
    {248, 1060, 189, "oslash", "&oslash;", "&#248;"},
    {249, 1061, 190, "ugrave", "&ugrave;", "&#249;"},
    {250, 1062, 191, "uacute", "&uacute;", "&#250;"},
    {251, 1063, 192, "ucirc", "&ucirc;", "&#251;"},
    {252, 1064, 193, "uuml", "&uuml;", "&#252;"},
    {253, 1065, 194, "yacute", "&yacute;", "&#253;"},
    {254, 1066, 195, "thorn", "&thorn;", "&#254;"},
    {255, 1067, 196, "yuml", "&yuml;", "&#255;"},
};

static_assert(std::size(kSymbols) == 95);

// Left edges of the columns and top edges of the rows. The wider gap after
// the fourth column sets the signs and punctuation apart from the letters.
constexpr int kColumnX[kSymbolColumns] = {7, 29, 52, 75, 105, 127, 149, 171, 194, 217, 240, 262};
constexpr int kRowY[kSymbolRows] = {7, 31, 55, 79, 103, 127, 152, 177};

// The fourth column holds only 185 to 191, so the letters start at the top
// of the fifth.
constexpr int kFirstLetter = 192;
constexpr int kFourthColumnFirst = 185;

} // namespace

std::span<const Symbol> symbols() {
    return kSymbols;
}

const Symbol* findSymbol(int code) {
    const auto* it = std::ranges::lower_bound(kSymbols, code, {}, &Symbol::code);
    return it != std::end(kSymbols) && it->code == code ? it : nullptr;
}

const Symbol* findSymbolById(int controlId) {
    const auto* it = std::ranges::find(kSymbols, controlId, &Symbol::controlId);
    return it != std::end(kSymbols) ? it : nullptr;
}

std::string_view symbolReference(const Symbol& symbol, int entityMnemonic) {
    return entityMnemonic != 0 ? symbol.named : symbol.numeric;
}

SymbolCell symbolCell(const Symbol& symbol) {
    int column = 0;
    int row = 0;
    if (symbol.code >= kFirstLetter) {
        const int index = symbol.code - kFirstLetter;
        column = 4 + index / kSymbolRows;
        row = index % kSymbolRows;
    } else if (symbol.code >= kFourthColumnFirst) {
        column = 3;
        row = symbol.code - kFourthColumnFirst;
    } else {
        const int index = symbol.code - 161;
        column = index / kSymbolRows;
        row = index % kSymbolRows;
    }
    return {column, row, {kColumnX[column], kRowY[row], kSymbolButtonWidth, kSymbolButtonHeight}};
}

} // namespace zu
