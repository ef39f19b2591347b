// Rules of the document and the view that need no window: the remarks and
// questions about a file's bytes, when Save may write in place, and what
// the right-button menu greys.

#include "core/app/commands.h"
#include "core/app/menus.h"
#include "core/doc/doc_messages.h"
#include "core/doc/file_read.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {
namespace {

TEST(OpenNotice, MixedBreaksFirstThenRawBytesElseNothing) {
    DocumentText plain;
    EXPECT_EQ(openNotice("a.htm", plain), "");

    DocumentText raw;
    raw.rawBytes = 3;
    EXPECT_EQ(openNotice("a.htm", raw),
              "a.htm には Shift_JIS として正しくないﾊﾞｲﾄが 3 個あります。色付きで表示し、"
              "そのまま保存します。");
    raw.encoding = &eucJpEncoding();
    EXPECT_EQ(openNotice("a.htm", raw),
              "a.htm には EUC-JP として正しくないﾊﾞｲﾄが 3 個あります。色付きで表示し、"
              "そのまま保存します。");
    raw.encoding = &cp932Encoding();

    DocumentText mixed = raw;
    mixed.mixedBreaks = true;
    mixed.lineBreak = LineBreak::Lf;
    EXPECT_EQ(openNotice("a.htm", mixed),
              "a.htm には種類の異なる改行が混在しています。それぞれそのまま保存し、"
              "新しい改行は LF にします。");
}

TEST(SaveQuestion, NamesTheFirstPlaceCountsTheRestAndOffersUtf8WhereItHelps) {
    using Kind = SaveProblem::Kind;
    const Encoding& sjis = cp932Encoding();
    struct Case {
        const Encoding* encoding;
        std::vector<SaveProblem> problems;
        std::string expected;
        bool offersUtf8;
    } cases[] = {
        {&sjis,
         {{U'€', 1, 2, 2}},
         "2 行目 2 文字目の「€」(U+20AC) は Shift_JIS で保存できない文字です。\n\n"
         "保存できない文字を数値文字参照 (&#8364; の形) に置き換えて Shift_JIS で保存するか、"
         "この文書を UTF-8 に切り替えて保存しますか？",
         true},
        {&sjis,
         {{U'😀', 0, 1, 1}, {U'€', 3, 1, 3}},
         "1 行目 1 文字目の「😀」(U+1F600) は Shift_JIS で保存できない文字です。\n"
         "ほかにも保存すると変わってしまう箇所が 1 個あります。\n\n"
         "保存できない文字を数値文字参照 (&#128512; の形) に置き換えて Shift_JIS で保存するか、"
         "この文書を UTF-8 に切り替えて保存しますか？",
         true},
        {&eucJpEncoding(),
         {{U'①', 0, 1, 1}},
         "1 行目 1 文字目の「①」(U+2460) は EUC-JP で保存できない文字です。\n\n"
         "保存できない文字を数値文字参照 (&#9312; の形) に置き換えて EUC-JP で保存するか、"
         "この文書を UTF-8 に切り替えて保存しますか？",
         true},
        // A lone surrogate cannot be shown, its code still can; UTF-8 cannot
        // hold it either, so switching is not offered.
        {&sjis,
         {{char32_t(0xD800), 0, 1, 1}},
         "1 行目 1 文字目の「?」(U+D800) は Shift_JIS で保存できない文字です。\n\n"
         "保存できない文字を数値文字参照 (&#55296; の形) に置き換えて保存しますか？",
         false},
        {&utf8Encoding(),
         {{char32_t(0xDC00), 0, 1, 1}},
         "1 行目 1 文字目の「?」(U+DC00) は UTF-8 で保存できない文字です。\n\n"
         "保存できない文字を数値文字参照 (&#56320; の形) に置き換えて保存しますか？",
         false},
        // A kept byte that the next one completes: nothing to replace, the
        // user only decides whether to save it so.
        {&sjis,
         {{0xF781, 4, 3, 5, Kind::BytePair, U'\u3000'}},
         "3 行目 5 文字目の Shift_JIS として正しくないﾊﾞｲﾄ (0x81) は次の文字と合わさり、"
         "読み込み直すと「　」になります。\n\nこのまま保存しますか？",
         false},
        {&utf8Encoding(),
         {{0xF7E3, 0, 1, 1, Kind::BytePair, U'あ'}},
         "1 行目 1 文字目の UTF-8 として正しくないﾊﾞｲﾄ (0xE3) は次の文字と合わさり、"
         "読み込み直すと「あ」になります。\n\nこのまま保存しますか？",
         false},
        {&sjis,
         {{0xF781, 0, 1, 1, Kind::BytePair, U'\u3000'}, {U'€', 5, 1, 5}},
         "1 行目 1 文字目の Shift_JIS として正しくないﾊﾞｲﾄ (0x81) は次の文字と合わさり、"
         "読み込み直すと「　」になります。\n"
         "ほかにも保存すると変わってしまう箇所が 1 個あります。\n\n"
         "保存できない文字を数値文字参照 (&#8364; の形) に置き換え、ほかはそのまま Shift_JIS "
         "で保存するか、この文書を UTF-8 に切り替えて保存しますか？",
         true},
    };
    for (const Case& c : cases) {
        const SaveQuestion q = saveQuestion(c.problems, *c.encoding);
        EXPECT_EQ(q.text, c.expected);
        EXPECT_EQ(q.offersUtf8, c.offersUtf8) << c.expected;
    }
}

TEST(ChangedOnDisk, TheTwoQuestionsNameTheFile) {
    EXPECT_EQ(changedOnDiskReloadQuestion("/w/a.htm"),
              "/w/a.htm は他のﾌﾟﾛｸﾞﾗﾑで変更されました。再読み込みしますか？");
    EXPECT_EQ(changedOnDiskOverwriteQuestion("/w/a.htm"),
              "/w/a.htm は他のﾌﾟﾛｸﾞﾗﾑで変更されています。上書きしますか？");
    EXPECT_EQ(changedOnDiskNote("/w/a.htm", false),
              "/w/a.htm は他のﾌﾟﾛｸﾞﾗﾑで変更されました。編集中の内容はそのまま残っています。");
    EXPECT_EQ(changedOnDiskNote("/w/a.htm", true),
              "/w/a.htm は他のﾌﾟﾛｸﾞﾗﾑで削除されました。編集中の内容はそのまま残っています。");
    EXPECT_EQ(deletedBeforeSaveNote("/w/a.htm"),
              "/w/a.htm は他のﾌﾟﾛｸﾞﾗﾑで削除されています。保存するﾌｧｲﾙの名前を指定してください。");
}

TEST(UnfinishedWrite, SaysWhatTheFileHoldsAndOffersTheOldBytes) {
    using Holds = WriteJournal::Unfinished::Holds;
    const std::string head = "/w/\\x82\\xA0.htm の保存中に zu が終了しました。\n";
    const std::string tail =
        "\n\n保存前の内容は控えに残っています。ﾌｧｲﾙを保存前の内容に戻しますか？";
    const struct {
        Holds holds;
        std::string says;
    } cases[] = {
        {Holds::New, "新しい内容は最後まで書き込まれています。"},
        {Holds::Old, "ﾌｧｲﾙは保存前の内容のままです。"},
        {Holds::Neither, "ﾌｧｲﾙは保存前の内容でも新しい内容でもありません (書き込みの途中で終わった"
                         "か、その後ほかのﾌﾟﾛｸﾞﾗﾑが変更しました)。"},
        {Holds::Missing, "ﾌｧｲﾙはその後なくなっています。"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(unfinishedWriteQuestion("/w/\x82\xa0.htm", c.holds), head + c.says + tail);
    EXPECT_EQ(unfinishedWriteWithoutCopy("/w/a.htm"),
              "/w/a.htm の保存中に zu が終了したため、ﾌｧｲﾙは書き込みの途中のままです。"
              "保存前の内容の控えが見つからないため、元に戻せません。");
    EXPECT_EQ(putBackFailed("/w/a.htm", "/w/.a.htm.zu-backup-7-0"),
              "/w/a.htm を保存前の内容に戻せませんでした。保存前の内容は "
              "/w/.a.htm.zu-backup-7-0 に残してあります。");
    EXPECT_EQ(kPutBackButton, "保存前の内容に戻す(&R)");
    EXPECT_EQ(kKeepButton, "今の内容のままにする(&K)");
}

TEST(CanSaveInPlace, OnlyAnExistingFileThatMayBeWritten) {
    const testing::ScratchFolder dir;
    const std::string file = dir.file("f.htm");
    std::ofstream(file) << "x";

    EXPECT_TRUE(canSaveInPlace(file));
    // Made read-only: no write bit left, which stops even root here.
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    EXPECT_FALSE(canSaveInPlace(file));
    ASSERT_EQ(chmod(file.c_str(), 0644), 0);
    EXPECT_FALSE(canSaveInPlace(dir.path().string())) << "a folder";
    EXPECT_FALSE(canSaveInPlace(dir.file("gone.htm"))) << "deleted";
}

TEST(ContextMenu, GreysByTheEditState) {
    struct Case {
        EditState state;
        bool undo, cut, copy, paste;
    } cases[] = {
        {{false, false, false}, false, false, false, false},
        {{true, false, false}, true, false, false, false},
        {{false, true, false}, false, true, true, false},
        {{false, false, true}, false, false, false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(contextItemEnabled(cmd::EditUndo, c.state), c.undo);
        EXPECT_EQ(contextItemEnabled(cmd::EditCut, c.state), c.cut);
        EXPECT_EQ(contextItemEnabled(cmd::EditCopy, c.state), c.copy);
        EXPECT_EQ(contextItemEnabled(cmd::EditPaste, c.state), c.paste);
        // The assistant, symbol and option items never grey.
        for (const MenuNode& node : contextMenu()) {
            if (node.kind == MenuNode::Kind::Command && node.id != cmd::EditUndo &&
                node.id != cmd::EditCut && node.id != cmd::EditCopy && node.id != cmd::EditPaste) {
                EXPECT_TRUE(contextItemEnabled(node.id, c.state)) << node.id;
            }
        }
    }
}

} // namespace
} // namespace zu
