#include "core/app/command_line.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace zu {
namespace {

// A switch is "/" or "-" and one of the known words. Anything else that
// starts with "/" is an absolute path on this system, not a switch.
std::string switchName(const std::string& arg) {
    // The long forms of this desktop, and its one-letter one, which has no
    // "/" form: "/n" is a path.
    if (arg == "--unregister")
        return "unregister";
    if (arg == "--check")
        return "check";
    for (const char* word : {"convert", "convert-undo", "apply", "bom", "jis-forms"})
        if (arg == std::string("--") + word)
            return word;
    if (arg == "--new-instance" || arg == "-n")
        return "new-instance";
    if (arg == "--help" || arg == "-h")
        return "help";
    if (arg == "--version" || arg == "-V")
        return "version";
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-'))
        return {};
    std::string word = arg.substr(1);
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static const char* const known[] = {"p",         "pt",         "dde",        "automation",
                                        "embedding", "unregister", "unregserver"};
    for (const char* k : known)
        if (word == k)
            return word;
    return {};
}

// How many arguments a switch of the window system's toolkit takes, its
// value included (1 or 2); 0 when it is none of them. Each may start with
// "-" or "--", and a value may follow "=" instead.
int toolkitSwitch(const std::string& arg) {
    if (arg.size() < 2 || arg[0] != '-')
        return 0;
    std::string_view name = std::string_view(arg).substr(arg[1] == '-' ? 2 : 1);
    const std::size_t equals = name.find('=');
    const bool valueJoined = equals != std::string_view::npos;
    name = name.substr(0, equals);
    static const char* const withValue[] = {
        "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
        "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
        "style",       "stylesheet",         "qmljsdebugger"};
    static const char* const flags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    for (const char* known : withValue)
        if (name == known)
            return valueJoined ? 1 : 2;
    for (const char* known : flags)
        if (name == known && !valueJoined)
            return 1;
    return 0;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool printing = false, printingTo = false, checking = false;
    std::optional<std::string> convertTo, undoFrom;
    bool convertFlag = false;
    std::vector<std::string> plain;
    bool switchesDone = false;
    bool help = false, version = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!switchesDone && arg == "--") {
            switchesDone = true;
            continue;
        }
        const std::string name = switchesDone ? std::string() : switchName(arg);
        if (name.empty() && !switchesDone) {
            if (const int taken = toolkitSwitch(arg)) {
                i += static_cast<std::size_t>(taken - 1);
                continue;
            }
            if (arg.starts_with("--") && line.usageError.empty())
                line.usageError = "不明なｽｲｯﾁです: " + arg;
        }
        if (name == "help")
            help = true;
        else if (name == "version")
            version = true;
        else if (name == "p")
            printing = true;
        else if (name == "pt")
            printingTo = true;
        else if (name == "unregister" || name == "unregserver")
            line.action = CommandLine::Action::Unregister;
        else if (name == "new-instance")
            line.newInstance = true;
        else if (name == "check")
            checking = true;
        else if (name == "convert" || name == "convert-undo") {
            // The switch's value is the next argument, whatever it looks like.
            std::string value = i + 1 < args.size() ? args[++i] : std::string();
            (name == "convert" ? convertTo : undoFrom) = std::move(value);
        } else if (name == "apply" || name == "bom" || name == "jis-forms") {
            convertFlag = true;
            (name == "apply" ? line.apply
             : name == "bom" ? line.byteOrderMark
                             : line.jisForms) = true;
        } else if (name.empty() && line.usageError.empty())
            plain.push_back(arg);
        // "/dde", "/automation" and "/embedding" have no counterpart here.
    }
    if (!line.usageError.empty())
        return line;
    if (help || version) {
        line.action = help ? CommandLine::Action::Help : CommandLine::Action::Version;
        return line;
    }
    if (line.action == CommandLine::Action::Unregister)
        return line;
    if (undoFrom) {
        line.action = CommandLine::Action::ConvertUndo;
        line.files = {*undoFrom};
        if (undoFrom->empty() || !plain.empty())
            line.error = "--convert-undo には元のﾌｧｲﾙを置いたﾌｫﾙﾀﾞを一つ指定します。";
        return line;
    }
    if (convertTo) {
        line.action = CommandLine::Action::Convert;
        line.files = std::move(plain);
        std::string to = *convertTo;
        std::transform(to.begin(), to.end(), to.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (to != "utf-8" && to != "utf8")
            line.error = "--convert で変換できるのは utf-8 だけです。";
        else if (line.files.empty())
            line.error = "--convert utf-8 にはﾌｫﾙﾀﾞかﾌｧｲﾙの名前が必要です。";
        return line;
    }
    if (convertFlag) {
        line.error = "--apply, --bom, --jis-forms は --convert utf-8 と使います。";
        return line;
    }
    if (checking) {
        line.action = CommandLine::Action::Check;
        line.files = std::move(plain);
        if (line.files.empty())
            line.error = "--check にはﾌｧｲﾙ名が必要です。";
        return line;
    }
    if (printingTo) {
        line.action = CommandLine::Action::PrintTo;
        if (plain.size() < 2) {
            line.error = "/pt にはﾌｧｲﾙ名とﾌﾟﾘﾝﾀ名が必要です。";
            return line;
        }
        line.files = {plain[0]};
        line.printer = plain[1];
        return line;
    }
    if (printing) {
        line.action = CommandLine::Action::Print;
        if (plain.empty()) {
            line.error = "/p にはﾌｧｲﾙ名が必要です。";
            return line;
        }
        line.files = {plain[0]};
        return line;
    }
    line.files = std::move(plain);
    line.action = line.files.empty() ? CommandLine::Action::New : CommandLine::Action::Open;
    return line;
}

std::string usageText() {
    return "使い方: zu [ｽｲｯﾁ] [--] [ﾌｧｲﾙ...]\n"
           "       zu /p ﾌｧｲﾙ\n"
           "       zu /pt ﾌｧｲﾙ ﾌﾟﾘﾝﾀ\n"
           "\n"
           "HTML のﾌｧｲﾙを開いて編集します。ﾌｧｲﾙを指定しないときは新しい文書で始まります。\n"
           "zu がすでに動いていれば、ﾌｧｲﾙはそのｳｨﾝﾄﾞｳで開きます。\n"
           "\n"
           "ｽｲｯﾁ (/ でも - でも始められます):\n"
           "  /p ﾌｧｲﾙ             ﾌｧｲﾙを通常使うﾌﾟﾘﾝﾀで印刷して終了する\n"
           "  /pt ﾌｧｲﾙ ﾌﾟﾘﾝﾀ      ﾌｧｲﾙを指定したﾌﾟﾘﾝﾀで印刷して終了する\n"
           "                      (.pdf で終わる名前ならその PDF ﾌｧｲﾙに印刷する)\n"
           "  /dde                何もしない (以前の関連付けのｺﾏﾝﾄﾞとの互換のため)\n"
           "  /unregister, /unregserver, --unregister\n"
           "                      ﾃﾞｽｸﾄｯﾌﾟへの登録 (ﾃﾞｽｸﾄｯﾌﾟ ｴﾝﾄﾘと、zu が設定した\n"
           "                      text/html の既定のｱﾌﾟﾘｹｰｼｮﾝ) を取り消して終了する\n"
           "  -n, --new-instance  動いている zu に渡さず、新しい zu でﾌｧｲﾙを開く\n"
           "  --check ﾌｧｲﾙ...     ｳｨﾝﾄﾞｳを開かずにﾍﾟｰｼﾞを検査し、見つけた問題を\n"
           "                      ﾌｧｲﾙ:行:桁: 重要度: 内容 の形で表示する (問題ありが\n"
           "                      あれば終了状態 1、読めないﾌｧｲﾙがあれば 2)\n"
           "  --convert utf-8 [--apply] [--bom] [--jis-forms] ﾌｫﾙﾀﾞ|ﾌｧｲﾙ...\n"
           "                      ｳｨﾝﾄﾞｳを開かずにﾌｫﾙﾀﾞの .htm .html .shtml .txt (または\n"
           "                      ﾌｧｲﾙ) を UTF-8 にするとき何が変わるかを表示する。--apply\n"
           "                      で変換し、元のﾌｧｲﾙと記録をﾌｫﾙﾀﾞの横に残す。--bom で BOM\n"
           "                      を付け、--jis-forms で JIS と Web で形の違う 6 文字を JIS\n"
           "                      の形で書く (変換できないﾌｧｲﾙがあれば終了状態 1、読めない\n"
           "                      ﾌｫﾙﾀﾞがあれば 2)\n"
           "  --convert-undo ﾌｫﾙﾀﾞ\n"
           "                      --convert で残した元のﾌｧｲﾙを元の場所に戻す\n"
           "  -h, --help          この説明を表示して終了する\n"
           "  -V, --version       ﾊﾞｰｼﾞｮﾝを表示して終了する\n"
           "  --                  これより後の引数をすべてﾌｧｲﾙ名とする\n"
           "\n"
           "環境変数:\n"
           "  ZU_CONFIG_DIR         zu.set と zu.conf を置くﾌｫﾙﾀﾞ\n"
           "  XDG_CONFIG_HOME       設定のﾌｫﾙﾀﾞ (既定 ~/.config): zu/ と mimeapps.list\n"
           "  XDG_DATA_HOME         ﾃﾞｰﾀのﾌｫﾙﾀﾞ (既定 ~/.local/share): ﾃﾞｽｸﾄｯﾌﾟ ｴﾝﾄﾘ\n"
           "  XDG_CONFIG_DIRS, XDG_DATA_DIRS, XDG_CURRENT_DESKTOP\n"
           "                        既定のｱﾌﾟﾘｹｰｼｮﾝを探す、ｼｽﾃﾑとﾃﾞｽｸﾄｯﾌﾟの一覧の場所\n"
           "  XDG_RUNTIME_DIR       動いている zu にﾌｧｲﾙを渡すｿｹｯﾄのﾌｫﾙﾀﾞ\n"
           "  BROWSER               既定の Web ﾌﾞﾗｳｻﾞがないときにﾌﾞﾗｳｻﾞで表示に使うｺﾏﾝﾄﾞ\n"
           "  ZU_MESSAGE_LOG        ﾒｯｾｰｼﾞをこのﾌｧｲﾙに書き、Esc で答えたものとする (無人実行用)\n"
           "  ZU_RECOVERY_DELAY_MS  回復用のｺﾋﾟｰを書くまでの待ち時間 (ﾐﾘ秒、既定 2000)\n";
}

std::string versionText(std::string_view version) {
    return "zu " + std::string(version) + "\n";
}

} // namespace zu
