#include "core/app/commands.h"
#include "core/app/menus.h"
#include "core/tags/tag_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zu {
namespace {

using Kind = MenuNode::Kind;

void walk(std::span<const MenuNode> nodes, const std::function<void(const MenuNode&)>& visit) {
    for (const MenuNode& node : nodes) {
        visit(node);
        if (node.kind == Kind::Popup)
            walk(node.children, visit);
    }
}

std::vector<std::string_view> titles(std::span<const MenuNode> bar) {
    std::vector<std::string_view> out;
    for (const MenuNode& node : bar)
        out.push_back(node.label);
    return out;
}

const MenuNode& popupTitled(std::span<const MenuNode> nodes, std::string_view title) {
    for (const MenuNode& node : nodes)
        if (node.kind == Kind::Popup && node.label == title)
            return node;
    static const MenuNode none{Kind::Separator, 0, "missing", {}};
    ADD_FAILURE() << "no popup " << title;
    return none;
}

bool isTagCommand(int id) {
    return findTagCommand(id) != nullptr;
}

TEST(Menus, PopupTitlesInOrder) {
    EXPECT_EQ(titles(mainMenu()),
              (std::vector<std::string_view>{"ﾌｧｲﾙ(&F)", "表示(&V)", "ﾍﾙﾌﾟ(&H)"}));
    EXPECT_EQ(titles(documentMenu()),
              (std::vector<std::string_view>{"ﾌｧｲﾙ(&F)", "編集(&E)", "表示(&V)", "ﾀｸﾞ(&T)",
                                             "ｱｼｽﾀﾝﾄ(&A)", "ｳｨﾝﾄﾞｳ(&W)", "ﾍﾙﾌﾟ(&H)"}));
    for (const MenuNode& node : documentMenu())
        EXPECT_EQ(node.kind, Kind::Popup) << node.label;
}

TEST(Menus, TagMenuReachesEveryTagCommandOnce) {
    const MenuNode& tagMenu = popupTitled(documentMenu(), "ﾀｸﾞ(&T)");
    std::map<int, int> seen;
    walk(tagMenu.children, [&](const MenuNode& node) {
        if (node.kind != Kind::Command)
            return;
        ++seen[node.id];
        if (const TagCommand* command = findTagCommand(node.id)) {
            EXPECT_EQ(node.label, command->menuText) << node.id;
        }
    });
    std::map<int, int> expected{{cmd::Symbols, 1}};
    for (const TagCommand& command : tagCommands())
        expected[command.id] = 1;
    EXPECT_EQ(seen, expected);

    // The headings open the decoration popup; special symbols close the menu
    // after a separator.
    const MenuNode& decoration = popupTitled(tagMenu.children, "文字装飾(&E)");
    ASSERT_FALSE(decoration.children.empty());
    EXPECT_EQ(decoration.children[0].label, "見出し(&H)");
    ASSERT_GE(tagMenu.children.size(), 2u);
    EXPECT_EQ(tagMenu.children.back().id, cmd::Symbols);
    EXPECT_EQ(tagMenu.children.back().label, "特殊記号(&S)");
    EXPECT_EQ(tagMenu.children[tagMenu.children.size() - 2].kind, Kind::Separator);
}

TEST(Menus, EveryMenuCommandIsKnownAndHasAPrompt) {
    for (auto menu : {mainMenu(), documentMenu(), contextMenu()}) {
        walk(menu, [](const MenuNode& node) {
            if (node.kind != Kind::Command)
                return;
            const CommandInfo* info = findCommand(node.id);
            ASSERT_NE(info, nullptr) << node.id << " " << node.label;
            const bool heading = node.id >= 32836 && node.id <= 32841;
            EXPECT_EQ(info->prompt.empty(), heading) << node.id;
            EXPECT_NE(info->owner, CommandOwner::Nobody) << node.id;
        });
    }
}

TEST(Menus, MainMenuHasNoHelpAndNoTags) {
    walk(mainMenu(), [](const MenuNode& node) {
        EXPECT_NE(node.id, cmd::Help);
        EXPECT_FALSE(isTagCommand(node.id)) << node.id;
        EXPECT_NE(node.id, cmd::Symbols);
    });
}

TEST(Menus, RecentFilesSitBetweenSeparatorsInBothFileMenus) {
    for (auto bar : {mainMenu(), documentMenu()}) {
        const auto file = popupTitled(bar, "ﾌｧｲﾙ(&F)").children;
        int count = 0;
        for (std::size_t i = 0; i < file.size(); ++i) {
            if (file[i].kind != Kind::RecentFiles)
                continue;
            ++count;
            ASSERT_TRUE(i > 0 && i + 2 < file.size());
            EXPECT_EQ(file[i - 1].kind, Kind::Separator);
            EXPECT_EQ(file[i + 1].kind, Kind::Separator);
            EXPECT_EQ(file[i + 2].id, cmd::AppExit);
        }
        EXPECT_EQ(count, 1);
    }
}

// The text after "\t" of a non-Tag entry is a key; it has to be the first
// key the accelerator table gives that command, or the menu would promise a
// key that does something else.
TEST(Menus, ShortcutTextsMatchTheAccelerators) {
    std::map<int, std::string_view> firstKey;
    for (const Accelerator& accelerator : accelerators())
        firstKey.try_emplace(accelerator.id, accelerator.keys);
    int withKeys = 0;
    for (auto bar : {mainMenu(), documentMenu()}) {
        walk(bar, [&](const MenuNode& node) {
            if (node.kind != Kind::Command || isTagCommand(node.id))
                return;
            const std::size_t tab = node.label.find('\t');
            const auto key = firstKey.find(node.id);
            if (key == firstKey.end()) {
                EXPECT_EQ(tab, std::string_view::npos) << node.label;
                return;
            }
            ++withKeys;
            ASSERT_NE(tab, std::string_view::npos) << node.label;
            EXPECT_EQ(node.label.substr(tab + 1), key->second) << node.label;
        });
    }
    EXPECT_EQ(withKeys, 2 + 12); // New and Open in menu 128, then the document menu
}

TEST(Menus, AcceleratorsReachOnlyFrameworkCommands) {
    for (const Accelerator& accelerator : accelerators()) {
        SCOPED_TRACE(accelerator.keys);
        ASSERT_NE(findCommand(accelerator.id), nullptr);
        EXPECT_FALSE(accelerator.id >= 32773 && accelerator.id <= 32855);
        EXPECT_NE(accelerator.id, cmd::Symbols);
        EXPECT_EQ(accelerator.keys.find(' '), std::string_view::npos); // portable key text
    }
    EXPECT_EQ(findCommand(cmd::Escape)->owner, CommandOwner::Nobody);
}

TEST(Menus, TheAddedKeysAreF1CtrlGAndF7AndNoKeyOfTheTable) {
    const std::pair<std::string_view, int> added[] = {
        {"F1", cmd::Help}, {"Ctrl+G", cmd::GoToLine}, {"F7", cmd::PageCheck}};
    ASSERT_EQ(addedAccelerators().size(), std::size(added));
    for (std::size_t i = 0; i < std::size(added); ++i) {
        EXPECT_EQ(addedAccelerators()[i].keys, added[i].first);
        EXPECT_EQ(addedAccelerators()[i].id, added[i].second);
        for (const Accelerator& accelerator : accelerators())
            EXPECT_NE(accelerator.keys, added[i].first);
    }
}

// What zu adds to the ｱｼｽﾀﾝﾄ menu follows a separator after ﾀｸﾞ除去; the
// page check ends the menu.
TEST(Menus, PageCheckEndsTheAssistantMenu) {
    const auto assist = popupTitled(documentMenu(), "ｱｼｽﾀﾝﾄ(&A)").children;
    std::size_t own = 0;
    while (own < assist.size() && assist[own].id != cmd::TagRemove)
        ++own;
    ASSERT_LT(own + 2, assist.size());
    EXPECT_EQ(assist[own + 1].kind, Kind::Separator);
    EXPECT_EQ(assist.back().id, cmd::PageCheck);
    EXPECT_EQ(assist.back().label, "ﾍﾟｰｼﾞのﾁｪｯｸ(&K)");
}

// Every label of the two menu bars carries one "(&X)" mnemonic, except the
// entries the program has always shown without one.
TEST(Menus, EveryLabelHasItsMnemonic) {
    const auto exempt = [](const MenuNode& node) {
        return (node.id >= 32836 && node.id <= 32841) || node.id == cmd::Date ||
               node.id == cmd::DateTime;
    };
    for (auto bar : {mainMenu(), documentMenu()}) {
        walk(bar, [&](const MenuNode& node) {
            if ((node.kind != Kind::Command && node.kind != Kind::Popup) || exempt(node))
                return;
            const std::string_view label = node.label.substr(0, node.label.find('\t'));
            const std::size_t amp = label.find("(&");
            ASSERT_NE(amp, std::string_view::npos) << label;
            ASSERT_LT(amp + 3, label.size()) << label;
            const char letter = label[amp + 2];
            EXPECT_TRUE((letter >= 'A' && letter <= 'Z') && label[amp + 3] == ')') << label;
            EXPECT_EQ(label.find('&', amp + 2), std::string_view::npos) << label;
        });
    }
}

TEST(Menus, ContextMenuOrderAndLabels) {
    const std::vector<std::pair<int, std::string_view>> expected{
        {cmd::EditUndo, "元に戻す"},
        {0, ""},
        {cmd::EditCut, "切り取り"},
        {cmd::EditCopy, "ｺﾋﾟｰ"},
        {cmd::EditPaste, "貼り付け"},
        {0, ""},
        {cmd::FileList, "ﾌｧｲﾙﾘﾝｸ"},
        {cmd::ImageLink, "ｲﾒｰｼﾞﾘﾝｸ"},
        {0, ""},
        {cmd::Symbols, "特殊記号"},
        {0, ""},
        {cmd::Options, "ｵﾌﾟｼｮﾝ"},
    };
    std::vector<std::pair<int, std::string_view>> actual;
    for (const MenuNode& node : contextMenu()) {
        EXPECT_EQ(node.kind, node.id == 0 ? Kind::Separator : Kind::Command);
        actual.emplace_back(node.id, node.label);
    }
    EXPECT_EQ(actual, expected);
}

TEST(Toolbar, TwentyOneButtonsInFiveGroups) {
    const auto layout = toolbarLayout();
    std::vector<int> buttons;
    std::vector<std::size_t> gapsAfter;
    for (int id : layout) {
        if (id == 0)
            gapsAfter.push_back(buttons.size());
        else
            buttons.push_back(id);
    }
    ASSERT_EQ(buttons.size(), 21u);
    EXPECT_EQ(gapsAfter, (std::vector<std::size_t>{3, 6, 8, 15}));
    for (int id : buttons) {
        const CommandInfo* info = findCommand(id);
        ASSERT_NE(info, nullptr) << id;
        EXPECT_FALSE(info->prompt.empty()) << id;
        EXPECT_FALSE(info->tooltip.empty()) << id;
    }
    const std::pair<std::size_t, std::string_view> tips[] = {
        {1, "新規ﾌｧｲﾙ"}, {5, "ｺﾋﾟ-"}, {8, "ﾊﾞｰｼﾞｮﾝ情報"}, {18, "特殊記号"}, {21, "ﾌﾞﾗｳｻﾞで表示"},
    };
    for (const auto& [button, tip] : tips)
        EXPECT_EQ(findCommand(buttons[button - 1])->tooltip, tip) << "button " << button;
}

TEST(Commands, TableIsAscendingWithEveryCommandOnce) {
    const auto all = allCommands();
    for (std::size_t i = 1; i < all.size(); ++i)
        EXPECT_LT(all[i - 1].id, all[i].id);
    EXPECT_EQ(findCommand(cmd::FileMru1 + cmd::RecentFileCount), nullptr);
    EXPECT_EQ(findCommand(32777), nullptr);
    EXPECT_EQ(findCommand(32817)->prompt, "BGSound");
}

// The program writes its katakana half-width; a full-width one in a label or
// prompt is a typing slip (U+30A1..U+30FC is E3 82 A1 .. E3 83 BC in UTF-8).
bool hasFullWidthKatakana(std::string_view text) {
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        const auto b1 = static_cast<unsigned char>(text[i + 1]);
        const auto b2 = static_cast<unsigned char>(text[i + 2]);
        if (b0 == 0xE3 && ((b1 == 0x82 && b2 >= 0xA1) || (b1 == 0x83 && b2 <= 0xBC)))
            return true;
    }
    return false;
}

TEST(Commands, KatakanaIsHalfWidthThroughout) {
    for (const CommandInfo& info : allCommands()) {
        EXPECT_FALSE(hasFullWidthKatakana(info.prompt)) << info.prompt;
        EXPECT_FALSE(hasFullWidthKatakana(info.tooltip)) << info.tooltip;
    }
    for (auto menu : {mainMenu(), documentMenu(), contextMenu()})
        walk(menu, [](const MenuNode& node) {
            EXPECT_FALSE(hasFullWidthKatakana(node.label)) << node.label;
        });
    EXPECT_TRUE(hasFullWidthKatakana("ファイル")); // the check itself works
}

} // namespace
} // namespace zu
