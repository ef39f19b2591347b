#include "core/doc/doc_messages.h"

#include "core/doc/encoding_rules.h"
#include "core/doc/file_errors.h"
#include "core/text/utf.h"

#include <algorithm>
#include <cstdio>

namespace zu {
namespace {

std::string utf8Of(char32_t ch) {
    std::u16string units;
    appendUtf16(units, ch);
    return utf16ToUtf8(units);
}

// A path is the system's bytes. Shown as text: as it stands when it is UTF-8,
// else with each byte that is not spelled out as "\xNN", so that the user
// still sees which file it is.
std::string printablePath(std::string_view path) {
    if (utf16ToUtf8(utf8ToUtf16(path)) == path)
        return std::string(path);
    std::string out;
    for (unsigned char b : path) {
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(b));
            out += escaped;
        }
    }
    return out;
}

// The character itself, or "?" for a lone surrogate, which is no character
// to show (its code point still is).
std::string shown(char32_t ch) {
    return isSurrogate(ch) ? std::string("?") : utf8Of(ch);
}

std::string codeName(char32_t ch) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(ch));
    return code;
}

} // namespace

std::string openNotice(std::string_view title, const DocumentText& decoded) {
    std::string out(title);
    if (decoded.mixedBreaks)
        return out +
               " には種類の異なる改行が混在しています。それぞれそのまま保存し、"
               "新しい改行は " +
               std::string(lineBreakName(decoded.lineBreak)) + " にします。";
    if (decoded.rawBytes > 0)
        return out + " には " + std::string(decoded.encoding->name()) + " として正しくないﾊﾞｲﾄが " +
               std::to_string(decoded.rawBytes) +
               " 個あります。色付きで表示し、そのまま保存します。";
    return {};
}

SaveQuestion saveQuestion(const std::vector<SaveProblem>& problems, const Encoding& encoding) {
    using Kind = SaveProblem::Kind;
    const std::string name(encoding.name());
    const SaveProblem& first = problems.front();
    std::string text =
        std::to_string(first.line) + " 行目 " + std::to_string(first.column) + " 文字目の";
    if (first.kind == Kind::BytePair) {
        if (first.ch <= 0xFFFF && isRawByteChar(static_cast<char16_t>(first.ch))) {
            char byte[8];
            std::snprintf(byte, sizeof byte, "0x%02X",
                          static_cast<unsigned>(first.ch - kRawByteBase));
            text += " " + name + " として正しくないﾊﾞｲﾄ (" + byte + ")";
        } else {
            text += "「" + shown(first.ch) + "」(" + codeName(first.ch) + ")";
        }
        text += first.readsAs != 0 ? " は次の文字と合わさり、読み込み直すと「" +
                                         utf8Of(first.readsAs) + "」になります。"
                                   : " は読み込み直すと別の文字になります。";
    } else {
        text += "「" + shown(first.ch) + "」(" + codeName(first.ch) + ") は " + name +
                " で保存できない文字です。";
    }
    if (problems.size() > 1)
        text += "\nほかにも保存すると変わってしまう箇所が " + std::to_string(problems.size() - 1) +
                " 個あります。";
    const auto unencodable = std::find_if(problems.begin(), problems.end(), [](const auto& p) {
        return p.kind == Kind::Unencodable;
    });
    if (unencodable == problems.end())
        return {text + "\n\nこのまま保存しますか？"};
    const bool pairs = std::any_of(problems.begin(), problems.end(),
                                   [](const auto& p) { return p.kind == Kind::BytePair; });
    // UTF-8 holds every character but a lone surrogate, which is also all
    // that UTF-8 and UTF-16 themselves cannot hold.
    const bool utf8Helps = std::any_of(problems.begin(), problems.end(), [](const auto& p) {
        return p.kind == Kind::Unencodable && !isSurrogate(p.ch);
    });
    text += "\n\n保存できない文字を数値文字参照 (&#" + std::to_string(unencodable->ch) +
            "; の形) に置き換え" + (pairs ? "、ほかはそのまま" : "て");
    if (!utf8Helps)
        return {text + "保存しますか？"};
    return {text + " " + name + " で保存するか、この文書を UTF-8 に切り替えて保存しますか？", true};
}

std::string recoveryQuestion(const RecoveryRecord& record, SourceState file) {
    std::string text = record.title + " の保存されていない変更が、前回の終了時に残っています。\n";
    // The path is the system's bytes; shown as text, whatever it holds.
    text += record.path.empty() ? std::string("(まだ保存されていない文書)")
                                : "ﾌｧｲﾙ: " + printablePath(record.path);
    text += "\nｴﾝｺｰﾃﾞｨﾝｸﾞ: " + record.encoding;
    // Restored and saved, the edits would replace what is in the file now.
    if (!record.path.empty() && file == SourceState::Changed)
        text += "\n\nﾌｧｲﾙはこの変更のあと、他のﾌﾟﾛｸﾞﾗﾑで変更されています。";
    else if (!record.path.empty() && file == SourceState::Missing)
        text += "\n\nﾌｧｲﾙはこの変更のあと、削除されたか移動されています。";
    return text + "\n\n復元しますか？「いいえ」を選ぶと、この変更は破棄されます。";
}

std::string recoveryWriteFailure(std::string_view folder, int error) {
    std::string reason = fileErrorMessage(error, FileOp::Save, folder);
    // The general message names no folder; this one must.
    if (reason.find(folder) == std::string::npos)
        reason = std::string(folder) + " に書き込めません (ｴﾗｰ " + std::to_string(error) + ")。";
    return "保存されていない変更の回復用ｺﾋﾟｰを書き込めません。\n" + reason +
           "\n書き込めるようになるまで、書き込みを繰り返します。";
}

std::string recoveryWriteFailureStatus(std::string_view folder) {
    return "回復用ｺﾋﾟｰを " + std::string(folder) + " に書き込めません";
}

std::string recoveryDamagedNotice(const std::vector<std::string>& kept) {
    std::string text = "壊れていて読み込めない回復用ｺﾋﾟｰがありました。復元せずに残してあります:";
    for (const std::string& name : kept)
        text += "\n" + printablePath(name);
    return text;
}

std::string changedOnDiskReloadQuestion(std::string_view path) {
    return std::string(path) + " は他のﾌﾟﾛｸﾞﾗﾑで変更されました。再読み込みしますか？";
}

std::string changedOnDiskOverwriteQuestion(std::string_view path) {
    return std::string(path) + " は他のﾌﾟﾛｸﾞﾗﾑで変更されています。上書きしますか？";
}

std::string changedOnDiskNote(std::string_view path, bool deleted) {
    return std::string(path) + " は他のﾌﾟﾛｸﾞﾗﾑで" + (deleted ? "削除" : "変更") +
           "されました。編集中の内容はそのまま残っています。";
}

std::string deletedBeforeSaveNote(std::string_view path) {
    return std::string(path) +
           " は他のﾌﾟﾛｸﾞﾗﾑで削除されています。保存するﾌｧｲﾙの名前を指定してください。";
}

std::string unfinishedWriteQuestion(std::string_view path, WriteJournal::Unfinished::Holds holds) {
    using Holds = WriteJournal::Unfinished::Holds;
    std::string text = printablePath(path) + " の保存中に zu が終了しました。\n";
    switch (holds) {
    case Holds::New:
        text += "新しい内容は最後まで書き込まれています。";
        break;
    case Holds::Old:
        text += "ﾌｧｲﾙは保存前の内容のままです。";
        break;
    case Holds::Neither:
        text += "ﾌｧｲﾙは保存前の内容でも新しい内容でもありません (書き込みの途中で終わったか、"
                "その後ほかのﾌﾟﾛｸﾞﾗﾑが変更しました)。";
        break;
    case Holds::Missing:
        text += "ﾌｧｲﾙはその後なくなっています。";
        break;
    }
    return text + "\n\n保存前の内容は控えに残っています。ﾌｧｲﾙを保存前の内容に戻しますか？";
}

std::string unfinishedWriteWithoutCopy(std::string_view path) {
    return printablePath(path) + " の保存中に zu が終了したため、ﾌｧｲﾙは書き込みの途中のままです。"
                                 "保存前の内容の控えが見つからないため、元に戻せません。";
}

std::string putBackFailed(std::string_view path, std::string_view copy) {
    return printablePath(path) + " を保存前の内容に戻せませんでした。保存前の内容は " +
           printablePath(copy) + " に残してあります。";
}

} // namespace zu
