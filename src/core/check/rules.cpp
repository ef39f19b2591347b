#include "core/check/finding.h"

#include <array>

namespace zu::check {
namespace {

// A fault that breaks the page for some reader whatever its context is a
// Problem (a build fails on it); what is nearly always wrong but may be
// meant is Likely; what only the author can weigh is Judge.
constexpr std::array kRules{
    RuleRow{Rule::PlatformCharacter, Severity::Likely,
            "機種依存文字「%1」は環境によって正しく表示されないことがあります。%2"},
    RuleRow{Rule::Unencodable, Severity::Problem,
            "「%1」はこのページの文字コード (%2) では保存できません。"},
    RuleRow{Rule::UnreadableBytes, Severity::Problem,
            "文字として読めないバイト (%1) があります。ファイルの文字コードを確かめてください。"},
    RuleRow{Rule::HalfWidthKana, Severity::Likely,
            "半角カタカナ「%1」があります。全角の「%2」にできます。"},
    RuleRow{Rule::SpacedWord, Severity::Likely,
            "「%1」は単語の途中に空白があり、一語として読み上げられません。「%2」にできます。"},
    RuleRow{Rule::SpacedLetters, Severity::Likely,
            "「%1」は文字の間に空白があり、一語として読み上げられません。"},
    RuleRow{Rule::MissingAlt, Severity::Problem, "%1 に alt 属性がありません。"},
    RuleRow{Rule::EmptyAltInLink, Severity::Problem,
            "リンクやボタンの画像の alt が空で、行き先や働きがわかりません。"},
    RuleRow{Rule::BlankAlt, Severity::Problem, "alt が空白だけです。"},
    RuleRow{Rule::FileNameAlt, Severity::Problem, "alt がファイル名「%1」になっています。"},
    RuleRow{Rule::PlaceholderAlt, Severity::Likely, "alt「%1」は画像の内容を表していません。"},
    RuleRow{Rule::LongAlt, Severity::Judge,
            "alt が %1 文字あります。150 文字を超える説明は本文に書けないか確かめてください。"},
    RuleRow{Rule::EmptyLink, Severity::Problem, "リンクに読み取れるテキストがありません。"},
    RuleRow{Rule::VagueLinkText, Severity::Judge,
            "リンクのテキスト「%1」だけでは行き先がわかりません。"},
    RuleRow{Rule::MissingTitle, Severity::Problem, "title 要素がありません。"},
    RuleRow{Rule::EmptyTitle, Severity::Problem, "title が空です。"},
    RuleRow{Rule::PlaceholderTitle, Severity::Likely,
            "title「%1」はページの内容を表していません。"},
    RuleRow{Rule::MissingLang, Severity::Problem, "html 要素に lang 属性がありません。"},
    RuleRow{Rule::TimedRefresh, Severity::Problem,
            "meta refresh で %1 秒後にページが切り替わります。"},
    RuleRow{Rule::Redirect, Severity::Judge,
            "meta refresh で別のページへ移ります。サーバーの転送にできないか確かめてください。"},
    RuleRow{Rule::MissingCharset, Severity::Likely, "文字コードの宣言がありません。"},
    RuleRow{Rule::CharsetMismatch, Severity::Problem,
            "文字コードの宣言 (%1) がファイルの文字コード (%2) と違います。"},
    RuleRow{Rule::DuplicateId, Severity::Problem, "id「%1」は %2 行目にもあります。"},
    RuleRow{Rule::UnclosedElement, Severity::Problem, "<%1> が閉じられていません。"},
    RuleRow{Rule::MisnestedElement, Severity::Problem,
            "</%1> より前に <%2> が閉じられていません。"},
    RuleRow{Rule::StrayEndTag, Severity::Problem, "</%1> に対応する開始タグがありません。"},
    RuleRow{Rule::UnknownElement, Severity::Likely, "<%1> は HTML の要素ではありません。"},
    RuleRow{Rule::UnterminatedTag, Severity::Problem, "%1 が最後まで閉じられていません。"},
};

constexpr bool inRuleOrder() {
    for (std::size_t i = 0; i < kRules.size(); ++i)
        if (static_cast<std::size_t>(kRules[i].rule) != i)
            return false;
    return true;
}
static_assert(inRuleOrder(), "one row per rule, in the order of Rule");

} // namespace

std::string_view severityName(Severity severity) {
    switch (severity) {
    case Severity::Problem:
        return "問題あり";
    case Severity::Likely:
        return "問題の可能性大";
    case Severity::Judge:
        break;
    }
    return "要判断";
}

std::span<const RuleRow> ruleRows() {
    return kRules;
}

const RuleRow& ruleRow(Rule rule) {
    return kRules[static_cast<std::size_t>(rule)];
}

} // namespace zu::check
