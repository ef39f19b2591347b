#include "core/app/commands.h"

#include "core/tags/tag_commands.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace zu {
namespace {

using enum CommandOwner;

// Every command except the Tag menu's (whose prompts live in their own rows),
// the recent-file entries and the Window menu's list (which are all alike). The standard
// commands keep the prompts and tooltips that Japanese users know from every other program of
// this kind, so that the status bar and the tips say what they expect to read.
constexpr CommandInfo kCommands[] = {
    // Escape's accelerator exists only to swallow the key.
    {cmd::Escape, "", "", Nobody},
    {cmd::TagColor, "ﾀｸﾞ部分を色分けして表示", "ﾀｸﾞ色分け", View},
    {cmd::ViewInBrowser, "保存した内容をﾌﾞﾗｳｻﾞで表示", "ﾌﾞﾗｳｻﾞで表示", View},
    {cmd::GenericForm, "汎用ﾌｫｰﾑの挿入", "汎用ﾌｫｰﾑ", View},
    {cmd::Index, "ｲﾝﾃﾞｯｸｽ項目の挿入", "ｲﾝﾃﾞｯｸｽ", View},
    {cmd::Topic, "ﾄﾋﾟｯｸの挿入", "ﾄﾋﾟｯｸ", View},
    {cmd::ColorReference, "ｶﾗｰ参照値の選択", "ｶﾗｰ参照", View},
    {cmd::QuickCreate, "ｸｲｯｸ作成", "ｸｲｯｸ作成", View},
    {cmd::TagRemove, "HTMLｿｰｽ中のﾀｸﾞのみ除去します", "ﾀｸﾞ除去", View},
    {cmd::Date, "現在の日付挿入", "日付", View},
    {cmd::DateTime, "日付と時刻の挿入", "", View},
    {cmd::Options, "設定情報の表示", "設定", View},
    {cmd::FileList, "ﾌｧｲﾙのﾘｽﾄを作成", "ﾌｧｲﾙﾘｽﾄ", View},
    {cmd::ImageLink, "ｲﾒｰｼﾞへのﾘﾝｸ作成", "ｲﾒｰｼﾞﾘﾝｸ", View},
    {cmd::Calendar, "ｶﾚﾝﾀﾞｰの作成", "ｶﾚﾝﾀﾞｰ", View},
    {cmd::TableTemplate, "ﾃｰﾌﾞﾙのﾃﾝﾌﾟﾚｰﾄを挿入", "ﾃｰﾌﾞﾙﾃﾝﾌﾟﾚｰﾄ", View},
    {cmd::FileTable, "ﾃｰﾌﾞﾙ形式のﾌｧｲﾙﾘｽﾄ", "ﾌｧｲﾙﾘｽﾄ", View},
    {cmd::FileNew, "新規にﾌｧｲﾙを作成", "新規ﾌｧｲﾙ", App},
    {cmd::FileOpen, "既存のﾌｧｲﾙを開く", "開く", App},
    {cmd::FileClose, "作業中のﾌｧｲﾙを閉じる", "閉じる", Document},
    {cmd::FileSave, "作業中のﾌｧｲﾙを保存", "保存", Document},
    {cmd::FileSaveAs, "作業中のﾌｧｲﾙを新しい名前で保存", "名前を付けて保存", Document},
    {cmd::FilePrintSetup, "ﾌﾟﾘﾝﾀおよびﾌﾟﾘﾝﾀ ｵﾌﾟｼｮﾝの変更", "印刷設定", App},
    // Printing goes through the view, which knows the text to print.
    {cmd::FilePrint, "作業中のﾌｧｲﾙを印刷", "印刷", View},
    {cmd::FilePrintDirect, "現在のｵﾌﾟｼｮﾝで作業中のﾌｧｲﾙを印刷", "ｸｲｯｸ印刷", View},
    {cmd::FilePrintPreview, "ﾌﾙ ﾍﾟｰｼﾞ表示", "印刷ﾌﾟﾚﾋﾞｭｰ", View},
    // The tooltip ends in a hyphen-minus, not a long-vowel mark: that is how
    // the toolbar has always shown it.
    {cmd::EditCopy, "選択範囲をｺﾋﾟｰしてｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存", "ｺﾋﾟ-", View},
    {cmd::EditCut, "選択範囲を切り取ってｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存", "切り取り", View},
    {cmd::EditFind, "指定した文字列の検索", "検索", View},
    {cmd::EditPaste, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容を貼り付け", "貼り付け", View},
    {cmd::EditRepeat, "直前に行った動作を繰り返す", "繰り返し", View},
    {cmd::EditReplace, "指定した文字列を他の文字列で置換", "置換", View},
    {cmd::EditSelectAll, "ﾌｧｲﾙ内のすべてを選択", "すべて選択", View},
    {cmd::EditUndo, "直前に行った動作を元に戻す", "元に戻す", View},
    {cmd::WindowNew, "作業中のｳｨﾝﾄﾞｳを複写して表示", "新規ｳｨﾝﾄﾞｳ", MainFrame},
    {cmd::WindowArrange, "ｱｲｺﾝをｳｨﾝﾄﾞｳの下に整列", "ｱｲｺﾝの整列", MainFrame},
    {cmd::WindowCascade, "ｳｨﾝﾄﾞｳを重ねて表示", "重ねて表示", MainFrame},
    {cmd::WindowTile, "ｳｨﾝﾄﾞｳを並べて表示", "並べて表示", MainFrame},
    {cmd::AppAbout, "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示", "ﾊﾞｰｼﾞｮﾝ情報", App},
    {cmd::AppExit, "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示", "終了", App},
    // Help opens the help page through the view, so it needs a document
    // window; the menu without documents has no Help entry.
    {cmd::Help, "ﾍﾙﾌﾟ ﾄﾋﾟｯｸの一覧を表示", "ﾍﾙﾌﾟ目次", View},
    // Pane switching and object properties have keys but nothing to act on:
    // there are no split windows and no embedded objects.
    {cmd::NextPane, "次のｳｨﾝﾄﾞｳ ﾍﾟｲﾝに切り替え", "次のﾍﾟｲﾝ", Nobody},
    {cmd::PrevPane, "前のｳｨﾝﾄﾞｳ ﾍﾟｲﾝに切り替え", "前のﾍﾟｲﾝ", Nobody},
    {cmd::OleProperties, "選択されたｱｲﾃﾑのﾌﾟﾛﾊﾟﾃｨを変更", "ﾌﾟﾛﾊﾟﾃｨ", Nobody},
    {cmd::ViewToolbar, "ﾂｰﾙ ﾊﾞｰの表示/非表示", "ﾂｰﾙ ﾊﾞｰの表示切り替え", MainFrame},
    {cmd::ViewStatusBar, "ｽﾃｰﾀｽ ﾊﾞｰの表示/非表示", "ｽﾃｰﾀｽ ﾊﾞｰの表示切り替え", MainFrame},
    {cmd::Symbols, "特殊記号の挿入", "特殊記号", View},
    // What zu adds: Go to line works on the active view; the two options
    // hold for every window, with or without a document.
    {cmd::GoToLine, "指定した行へ移動", "", View},
    {cmd::ColourWhileTyping, "入力に合わせてﾀｸﾞを色分けして表示", "", App},
    {cmd::LineNumbers, "行番号の表示/非表示", "", App},
    // A whole site moved to UTF-8: no document needed.
    {cmd::ConvertSite, "ﾌｫﾙﾀﾞのﾍﾟｰｼﾞをまとめて UTF-8 に変換", "", MainFrame},
    {cmd::PageCheck, "ﾍﾟｰｼﾞの問題点をﾁｪｯｸして一覧表示", "", View},
};

std::vector<CommandInfo> buildCommandTable() {
    std::vector<CommandInfo> rows(std::begin(kCommands), std::end(kCommands));
    for (int i = 0; i < cmd::RecentFileCount; ++i)
        rows.push_back({cmd::FileMru1 + i, "指定のﾌｧｲﾙを開く", "", App});
    for (int i = 0; i < cmd::WindowListCount; ++i)
        rows.push_back({cmd::WindowList1 + i, "このｳｨﾝﾄﾞｳをｱｸﾃｨﾌﾞにする", "", MainFrame});
    // The Tag menu's prompts are kept with the rest of each tag command, so
    // the two tables cannot drift apart.
    for (const TagCommand& tag : tagCommands())
        rows.push_back({tag.id, tag.prompt, "", View});
    std::ranges::sort(rows, {}, &CommandInfo::id);
    return rows;
}

// Table 128, in force in every window. The keys of one command stand in
// the order the menus show them: the first is the one a menu label names.
constexpr Accelerator kAccelerators[] = {
    {"Ctrl+N", cmd::FileNew},
    {"Ctrl+O", cmd::FileOpen},
    {"Ctrl+S", cmd::FileSave},
    {"Ctrl+P", cmd::FilePrint},
    {"Ctrl+Z", cmd::EditUndo},
    {"Alt+Backspace", cmd::EditUndo},
    {"Ctrl+X", cmd::EditCut},
    {"Shift+Del", cmd::EditCut},
    {"Ctrl+C", cmd::EditCopy},
    {"Ctrl+Ins", cmd::EditCopy},
    {"Ctrl+V", cmd::EditPaste},
    {"Shift+Ins", cmd::EditPaste},
    {"Ctrl+A", cmd::EditSelectAll},
    {"Ctrl+F", cmd::EditFind},
    {"F3", cmd::EditRepeat},
    {"Ctrl+H", cmd::EditReplace},
    {"Alt+Return", cmd::OleProperties},
    {"F6", cmd::NextPane},
    {"Shift+F6", cmd::PrevPane},
    {"Esc", cmd::Escape},
};

constexpr Accelerator kAddedAccelerators[] = {
    {"F1", cmd::Help},
    {"Ctrl+G", cmd::GoToLine},
    {"F7", cmd::PageCheck},
};

// The toolbar in five groups; kGap (0) stands between two of them.
constexpr int kGap = 0;
// clang-format off
constexpr int kToolbar[] = {
    cmd::FileNew, cmd::FileOpen, cmd::FileSave,
    kGap,
    cmd::EditCut, cmd::EditCopy, cmd::EditPaste,
    kGap,
    cmd::FilePrint, cmd::AppAbout,
    kGap,
    cmd::GenericForm, cmd::Index, cmd::Topic, cmd::TableTemplate, cmd::FileList, cmd::ImageLink,
    cmd::Calendar,
    kGap,
    cmd::TagColor, cmd::TagRemove, cmd::Symbols, cmd::ColorReference, cmd::Date,
    cmd::ViewInBrowser,
};
// clang-format on

} // namespace

std::span<const CommandInfo> allCommands() {
    static const std::vector<CommandInfo> table = buildCommandTable();
    return table;
}

const CommandInfo* findCommand(int id) {
    const std::span<const CommandInfo> table = allCommands();
    const auto it = std::ranges::lower_bound(table, id, {}, &CommandInfo::id);
    return it != table.end() && it->id == id ? &*it : nullptr;
}

std::span<const Accelerator> accelerators() {
    return kAccelerators;
}

std::span<const Accelerator> addedAccelerators() {
    return kAddedAccelerators;
}

std::span<const int> toolbarLayout() {
    return kToolbar;
}

} // namespace zu
