#pragma once
// core/app, the top of the core: the command table (with each command's
// owner), menus, accelerators, toolbar layout, command line, recent files.
//
// Every command number of the program with its status-bar prompt, tooltip
// and the class that handles it. Menus, toolbar, accelerators, status bar
// and command routing all read this one table.

#include <span>
#include <string_view>

namespace zu {

// Who runs a command: the active view, its document, the main frame or the
// application. Routing goes straight to the owner.
enum class CommandOwner { View, Document, MainFrame, App, Nobody };

struct CommandInfo {
    int id;
    std::string_view prompt;  // status-bar text; empty when the command has none
    std::string_view tooltip; // toolbar tip; empty when it has none
    CommandOwner owner;
};

// Command numbers used by name in the program.
namespace cmd {
inline constexpr int FileNew = 57600, FileOpen = 57601, FileClose = 57602, FileSave = 57603,
                     FileSaveAs = 57604, FilePrintSetup = 57606, FilePrint = 57607,
                     FilePrintDirect = 57608, FilePrintPreview = 57609, FileMru1 = 57616,
                     AppExit = 57665, AppAbout = 57664, Help = 57666;
inline constexpr int EditUndo = 57643, EditCut = 57635, EditCopy = 57634, EditPaste = 57637,
                     EditSelectAll = 57642, EditFind = 57636, EditRepeat = 57640,
                     EditReplace = 57641;
inline constexpr int WindowNew = 57648, WindowArrange = 57649, WindowCascade = 57650,
                     WindowTile = 57651;
inline constexpr int ViewToolbar = 59392, ViewStatusBar = 59393;
inline constexpr int TagColor = 32773, ViewInBrowser = 32774, GenericForm = 32776, Comment = 32778,
                     Index = 32779, Topic = 32780, ColorReference = 32781, QuickCreate = 32782,
                     TagRemove = 32783, Date = 32788, DateTime = 32789, Options = 32842,
                     FileList = 32843, ImageLink = 32844, Calendar = 32845, TableTemplate = 32852,
                     FileTable = 32855, Symbols = 65535;
// Commands zu adds, numbered apart from the program's own and the
// framework's: Go to line, tags coloured while typing, line numbers, the
// page check.
inline constexpr int GoToLine = 33100, ColourWhileTyping = 33101, LineNumbers = 33102,
                     PageCheck = 33103;
// The folder's pages moved to UTF-8 (ｱｼｽﾀﾝﾄ menu, after its own separator).
inline constexpr int ConvertSite = 33120;
// Accelerator-only commands that nothing handles: they take their keys (Esc,
// F6, Shift+F6, Alt+Return) so that pressing one in the main window does
// nothing at all.
inline constexpr int Escape = 32768, OleProperties = 57860, NextPane = 57680, PrevPane = 57681;
inline constexpr int RecentFileCount = 10;
// The entries of the Window menu's list of open windows, at the top of the
// range, apart from every other command's number.
inline constexpr int WindowList1 = 65280, WindowListCount = 9;
} // namespace cmd

std::span<const CommandInfo> allCommands(); // ascending id
const CommandInfo* findCommand(int id); // nullptr when unknown; recent-file and window ids included

struct Accelerator {
    std::string_view keys; // in QKeySequence's portable text form, e.g. "Ctrl+N", "Shift+Del"
    int id;
};
std::span<const Accelerator> accelerators(); // table 128, in its order
// Keys zu adds to that table, none of them a key the table uses: F1 for the
// help page and Ctrl+G for Go to line, where a user of today looks for them;
// F7, the key of a proofreading check, for the page check.
std::span<const Accelerator> addedAccelerators();

// The toolbar, left to right; 0 stands for a gap between groups.
std::span<const int> toolbarLayout();

} // namespace zu
