#include "core/app/menus.h"

#include "core/app/commands.h"
#include "core/tags/tag_commands.h"

#include <cassert>

namespace zu {
namespace {

using Kind = MenuNode::Kind;

constexpr MenuNode item(int id, std::string_view label) {
    return {Kind::Command, id, label, {}};
}
constexpr MenuNode popup(std::string_view label, std::span<const MenuNode> children) {
    return {Kind::Popup, 0, label, children};
}
constexpr MenuNode separator() {
    return {Kind::Separator, 0, {}, {}};
}
// The recent-file entries are added by the window at run time; the node
// marks where they go and carries the text shown while there are none.
constexpr MenuNode recentFiles() {
    return {Kind::RecentFiles, 0, kRecentFilePlaceholder, {}};
}

// The list of open document windows is filled in by the window at run time,
// below the Window menu's own commands.
constexpr MenuNode windowList() {
    return {Kind::WindowList, 0, {}, {}};
}

// A Tag menu entry shows its command's own menu text, so the menu and the
// command table cannot disagree.
MenuNode tag(int id) {
    const TagCommand* command = findTagCommand(id);
    assert(command != nullptr);
    return item(id, command->menuText);
}

// Shortcut texts after "\t" name the first key of each command in the
// accelerator table.
constexpr MenuNode kFileNew = item(cmd::FileNew, "新規作成(&N)\tCtrl+N");
constexpr MenuNode kFileOpen = item(cmd::FileOpen, "開く(&O)...\tCtrl+O");
constexpr MenuNode kPrintSetup = item(cmd::FilePrintSetup, "ﾌﾟﾘﾝﾀの設定(&R)...");
constexpr MenuNode kExit = item(cmd::AppExit, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)");
constexpr MenuNode kToolbar = item(cmd::ViewToolbar, "ﾂｰﾙ ﾊﾞｰ(&T)");
constexpr MenuNode kStatusBar = item(cmd::ViewStatusBar, "ｽﾃｰﾀｽ ﾊﾞｰ(&S)");
constexpr MenuNode kAbout = item(cmd::AppAbout, "ﾊﾞｰｼﾞｮﾝ情報(zu)(&A)...");

// Menu 128: only what makes sense without a document.
constexpr MenuNode kMainFile[] = {
    kFileNew, kFileOpen, separator(), kPrintSetup, separator(), recentFiles(), separator(), kExit,
};
constexpr MenuNode kMainView[] = {kToolbar, kStatusBar};
constexpr MenuNode kMainHelp[] = {kAbout};
constexpr MenuNode kMainMenu[] = {
    popup("ﾌｧｲﾙ(&F)", kMainFile),
    popup("表示(&V)", kMainView),
    popup("ﾍﾙﾌﾟ(&H)", kMainHelp),
};

// Menu 129, popups other than the Tag menu.
constexpr MenuNode kDocFile[] = {
    kFileNew,
    kFileOpen,
    item(cmd::FileClose, "閉じる(&C)"),
    item(cmd::FileSave, "上書き保存(&S)\tCtrl+S"),
    item(cmd::FileSaveAs, "名前を付けて保存(&A)..."),
    separator(),
    item(cmd::FilePrint, "印刷(&P)...\tCtrl+P"),
    item(cmd::FilePrintPreview, "印刷ﾌﾟﾚﾋﾞｭｰ(&V)"),
    kPrintSetup,
    separator(),
    recentFiles(),
    separator(),
    kExit,
};
constexpr MenuNode kDocEdit[] = {
    item(cmd::EditUndo, "元に戻す(&U)\tCtrl+Z"),
    separator(),
    item(cmd::EditCut, "切り取り(&T)\tCtrl+X"),
    item(cmd::EditCopy, "ｺﾋﾟｰ(&C)\tCtrl+C"),
    item(cmd::EditPaste, "貼り付け(&P)\tCtrl+V"),
    item(cmd::EditSelectAll, "すべて選択(&L)\tCtrl+A"),
    separator(),
    item(cmd::EditFind, "検索(&F)...\tCtrl+F"),
    item(cmd::EditRepeat, "次を検索(&N)\tF3"),
    item(cmd::EditReplace, "置換(&E)...\tCtrl+H"),
    separator(),
    item(cmd::GoToLine, "行へ移動(&G)..."),
};
constexpr MenuNode kDocView[] = {
    kToolbar,
    kStatusBar,
    separator(),
    item(cmd::TagColor, "ﾀｸﾞの色分け(&C)"),
    separator(),
    item(cmd::ViewInBrowser, "ﾌﾞﾗｳｻﾞで表示(&B)"),
    separator(),
    item(cmd::Options, "ｵﾌﾟｼｮﾝ(&O)"),
    // What zu adds, after a separator of its own.
    separator(),
    item(cmd::ColourWhileTyping, "ﾀｸﾞを自動で色分け(&A)"),
    item(cmd::LineNumbers, "行番号(&L)"),
};
constexpr MenuNode kAssistDate[] = {
    item(cmd::Date, "日付"),
    item(cmd::DateTime, "日付時刻"),
};
constexpr MenuNode kAssistTable[] = {
    item(cmd::TableTemplate, "ﾃﾝﾌﾟﾚｰﾄ(&T)"),
    item(cmd::Calendar, "ｶﾚﾝﾀﾞｰ(&C)"),
    item(cmd::FileTable, "ﾌｧｲﾙ(&F)"),
};
constexpr MenuNode kAssistFile[] = {item(cmd::FileList, "ﾘｽﾄ(&L)")};
constexpr MenuNode kAssistImage[] = {item(cmd::ImageLink, "ﾘﾝｸ(&L)")};
constexpr MenuNode kDocAssist[] = {
    item(cmd::GenericForm, "汎用ﾌｫｰﾑ(&C)"),
    item(cmd::Index, "ｲﾝﾃﾞｯｸｽ(&X)"),
    item(cmd::Topic, "ﾄﾋﾟｯｸ(&T)"),
    separator(),
    popup("日付と時刻(&D)", kAssistDate),
    item(cmd::ColorReference, "ｶﾗｰ参照値(&C)"),
    popup("ﾃｰﾌﾞﾙ(&T)", kAssistTable),
    popup("ﾌｧｲﾙ(&F)", kAssistFile),
    popup("ｲﾒｰｼﾞ(&I)", kAssistImage),
    separator(),
    item(cmd::QuickCreate, "ｸｲｯｸ作成(&Q)"),
    item(cmd::TagRemove, "ﾀｸﾞ除去(&S)"),
    // What zu adds, after a separator of its own.
    separator(),
    item(cmd::ConvertSite, "ﾌｫﾙﾀﾞを UTF-8 に変換(&U)..."),
    item(cmd::PageCheck, "ﾍﾟｰｼﾞのﾁｪｯｸ(&K)"),
};
constexpr MenuNode kDocWindow[] = {
    item(cmd::WindowNew, "新しいｳｨﾝﾄﾞｳを開く(&N)"),
    item(cmd::WindowCascade, "重ねて表示(&C)"),
    item(cmd::WindowTile, "並べて表示(&T)"),
    item(cmd::WindowArrange, "ｱｲｺﾝの整列(&A)"),
    separator(),
    windowList(),
};
constexpr MenuNode kDocHelp[] = {kAbout, separator(), item(cmd::Help, "ﾍﾙﾌﾟ(&H)")};

// The Tag menu reads the tag table, which lives in another file; building
// it on first use rather than at start-up keeps it independent of the order
// in which files are initialised.
std::span<const MenuNode> tagMenu() {
    static const MenuNode general[] = {tag(32784), tag(32785), tag(32786), tag(32787)};
    static const MenuNode headings[] = {tag(32836), tag(32837), tag(32838),
                                        tag(32839), tag(32840), tag(32841)};
    static const MenuNode decoration[] = {
        popup("見出し(&H)", headings),
        tag(32793),
        tag(32794),
        tag(32795),
        tag(32796),
        tag(32797),
        tag(32798),
        tag(32799),
        tag(32800),
        tag(32801),
    };
    static const MenuNode font[] = {tag(32790), tag(32791), tag(32792)};
    static const MenuNode breaks[] = {tag(32802), tag(32803), tag(32804), tag(32805), tag(32824)};
    static const MenuNode links[] = {tag(32806), tag(32807), tag(32808), tag(32809), tag(32810)};
    static const MenuNode multimedia[] = {tag(32811), tag(32812), tag(32813), tag(32814),
                                          tag(32815), tag(32816), tag(32817), tag(32818)};
    static const MenuNode lists[] = {tag(32819), tag(32820), tag(32821), tag(32822), tag(32823)};
    static const MenuNode tables[] = {tag(32825), tag(32826), tag(32827), tag(32828), tag(32829)};
    static const MenuNode forms[] = {tag(32830), tag(32831)};
    static const MenuNode frames[] = {tag(32832), tag(32833), tag(32834), tag(32835)};
    static const MenuNode menu[] = {
        popup("一般定義(&C)", general),
        popup("文字装飾(&E)", decoration),
        popup("ﾌｫﾝﾄ(&N)", font),
        popup("区切り(&D)", breaks),
        separator(),
        tag(32778),
        separator(),
        popup("ﾘﾝｸ(&A)", links),
        popup("ﾏﾙﾁﾒﾃﾞｨｱ(&M)", multimedia),
        popup("ﾘｽﾄ(&L)", lists),
        popup("ﾃｰﾌﾞﾙ(&T)", tables),
        separator(),
        popup("ﾌｫｰﾑ(&F)", forms),
        popup("ﾌﾚｰﾑ(&R)", frames),
        separator(),
        item(cmd::Symbols, "特殊記号(&S)"),
    };
    return menu;
}

// The right-button menu offers the most used commands without mnemonics,
// as a mouse user reaches them.
constexpr MenuNode kContextMenu[] = {
    item(cmd::EditUndo, "元に戻す"),
    separator(),
    item(cmd::EditCut, "切り取り"),
    item(cmd::EditCopy, "ｺﾋﾟｰ"),
    item(cmd::EditPaste, "貼り付け"),
    separator(),
    item(cmd::FileList, "ﾌｧｲﾙﾘﾝｸ"),
    item(cmd::ImageLink, "ｲﾒｰｼﾞﾘﾝｸ"),
    separator(),
    item(cmd::Symbols, "特殊記号"),
    separator(),
    item(cmd::Options, "ｵﾌﾟｼｮﾝ"),
};

} // namespace

std::span<const MenuNode> mainMenu() {
    return kMainMenu;
}

std::span<const MenuNode> documentMenu() {
    static const MenuNode menu[] = {
        popup("ﾌｧｲﾙ(&F)", kDocFile),     popup("編集(&E)", kDocEdit),
        popup("表示(&V)", kDocView),     popup("ﾀｸﾞ(&T)", tagMenu()),
        popup("ｱｼｽﾀﾝﾄ(&A)", kDocAssist), popup("ｳｨﾝﾄﾞｳ(&W)", kDocWindow),
        popup("ﾍﾙﾌﾟ(&H)", kDocHelp),
    };
    return menu;
}

std::span<const MenuNode> contextMenu() {
    return kContextMenu;
}

std::string literalMenuText(std::string_view text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '&')
            out += '&';
    }
    return out;
}

bool contextItemEnabled(int id, const EditState& state) {
    switch (id) {
    case cmd::EditUndo:
        return state.canUndo;
    case cmd::EditCut:
    case cmd::EditCopy:
        return state.hasSelection;
    case cmd::EditPaste:
        return state.canPaste;
    default:
        return true;
    }
}

} // namespace zu
