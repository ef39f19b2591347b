#include "core/tags/tag_commands.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

namespace zu {
namespace {

Fragment fragmentOf(int id, const Settings& settings) {
    const TagCommand* command = findTagCommand(id);
    if (command == nullptr) {
        ADD_FAILURE() << "no tag command " << id;
        return {};
    }
    return tagFragment(*command, settings);
}

struct InsertCase {
    const char* name;
    int id;
    void (*adjust)(Settings&); // nullptr: the defaults
    std::string open;
    std::string close;
};

TEST(TagCommands, InsertTheExactBytes) {
    const InsertCase cases[] = {
        {"bold has no line break", 32793, nullptr, "<b>", "</b>"},
        {"italic does", 32794, nullptr, "<i>", "</i>\r\n"},
        {"site link", 32806, nullptr, "<a HREF=\"http://\">", "</a>"},
        {"page link placeholder follows selection", 32807, nullptr, "<a HREF=\"filename\">",
         "page-title</a>"},
        {"sound source is the selection", 32817, nullptr, "<bgsound SRC=\"", "\" LOOP=INFINITE>"},
        {"size with the default", 32792, nullptr, "<font SIZE=3>", "</font>"},
        {"face with the default", 32790, nullptr, "<font FACE=\"ＭＳ Ｐゴシック\">", "</font>"},
        {"colour with the default", 32791, nullptr, "<font COLOR=#000000>", "</font>"},
        {"mail with the default", 32810, nullptr, "<a HREF=\"mailto:webmaster@example.com\">",
         "E-mail</a>"},
        {"empty colour", 32791, [](Settings& s) { s.fontColor.clear(); }, "<font COLOR=>",
         "</font>"},
        {"empty mail address", 32810, [](Settings& s) { s.mailAddress.clear(); },
         "<a HREF=\"mailto:\">", "E-mail</a>"},
        {"a quote in the face is not escaped", 32790, [](Settings& s) { s.fontFace = "a\"b&<c>"; },
         "<font FACE=\"a\"b&<c>\">", "</font>"},
        {"negative size", 32792, [](Settings& s) { s.fontSize = -12; }, "<font SIZE=-12>",
         "</font>"},
        {"zero size", 32792, [](Settings& s) { s.fontSize = 0; }, "<font SIZE=0>", "</font>"},
        {"smallest size", 32792, [](Settings& s) { s.fontSize = INT_MIN; },
         "<font SIZE=-2147483648>", "</font>"},
        {"title inserts the html element", 32786, nullptr, "<html>", "</html>\r\n"},
        {"html with an empty line", 32784, nullptr, "<html>\r\n\r\n", "</html>\r\n"},
        {"frame cell closes nothing", 32833, nullptr, "<frame SRC=\"filename\" NAME=\"framename\">",
         ""},
        {"video has no blank before CONTROLS", 32812, nullptr, "<img DYNSRC=\"filename\"CONTROLS>",
         ""},
        {"map breaks inside the open text", 32814, nullptr, "<map NAME=\"mapname\">\r\n", "</map>"},
        {"definition item splits around the selection", 32823, nullptr, "<dt>\r\n", "<dd>\r\n"},
        {"comment", 32778, nullptr, "<!-- ", " -->\r\n"},
        {"heading", 32841, nullptr, "<h6>", "</h6>\r\n"},
    };
    for (const InsertCase& c : cases) {
        SCOPED_TRACE(c.name);
        Settings settings;
        if (c.adjust != nullptr)
            c.adjust(settings);
        const Fragment fragment = fragmentOf(c.id, settings);
        EXPECT_EQ(fragment.open, c.open);
        EXPECT_EQ(fragment.close, c.close);
    }
}

// Only the face, colour, size and mail entries may depend on Settings; any
// other entry reading a value would put user text where a fixed tag belongs.
TEST(TagCommands, OnlyFourEntriesReadSettings) {
    Settings changed;
    changed.fontFace = "F";
    changed.fontColor = "C";
    changed.fontSize = 99;
    changed.mailAddress = "M";
    std::set<int> reading;
    for (const TagCommand& command : tagCommands()) {
        if (!(tagFragment(command, Settings{}) == tagFragment(command, changed)))
            reading.insert(command.id);
    }
    EXPECT_EQ(reading, (std::set<int>{32790, 32791, 32792, 32810}));
}

bool inTagRange(int id) {
    return id == 32778 || (id >= 32784 && id <= 32787) || (id >= 32790 && id <= 32841);
}

TEST(TagCommands, IdsCoverTheTagRangesOnce) {
    const auto commands = tagCommands();
    ASSERT_EQ(commands.size(), 57u);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        SCOPED_TRACE(commands[i].id);
        EXPECT_TRUE(inTagRange(commands[i].id));
        if (i > 0) {
            EXPECT_LT(commands[i - 1].id, commands[i].id) << "not ascending or repeated";
        }
        EXPECT_EQ(findTagCommand(commands[i].id), &commands[i]);
    }
    for (int notTag : {32773, 32783, 32788, 32789, 32842, 65535, 0})
        EXPECT_EQ(findTagCommand(notTag), nullptr) << notTag;
}

bool isMnemonicLabel(std::string_view label) {
    // "...(&X)" with an ASCII capital letter, and no other "&".
    const std::size_t n = label.size();
    return n > 4 && label.substr(n - 4, 2) == "(&" && label[n - 2] >= 'A' && label[n - 2] <= 'Z' &&
           label[n - 1] == ')' && label.find('&') == n - 3;
}

TEST(TagCommands, MenuTextSplitsIntoLabelAndHint) {
    for (const TagCommand& command : tagCommands()) {
        SCOPED_TRACE(command.id);
        const std::string_view text = command.menuText;
        const std::size_t tab = text.find('\t');
        if (command.id >= 32836 && command.id <= 32841) {
            const std::string level = std::to_string(command.id - 32835);
            EXPECT_EQ(text, "<h" + level + "></h" + level + ">");
            EXPECT_TRUE(command.prompt.empty());
            continue;
        }
        ASSERT_NE(tab, std::string_view::npos);
        EXPECT_EQ(text.find('\t', tab + 1), std::string_view::npos) << "second tab";
        EXPECT_TRUE(isMnemonicLabel(text.substr(0, tab))) << text.substr(0, tab);
        const std::string_view hint = text.substr(tab + 1);
        EXPECT_TRUE(hint.starts_with('<') && hint.ends_with('>')) << hint;
        EXPECT_FALSE(command.prompt.empty());
        EXPECT_EQ(text.find('\r'), std::string_view::npos);
    }
}

} // namespace
} // namespace zu
