#include "gui/doc/text_copy.h"

#include "gui/doc/text_properties.h"

#include <QElapsedTimer>
#include <QTextDocument>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zu {

TextCopy::TextCopy(const TextModel& text) {
    const QTextDocument& control = *text.textDocument();
    line_ = control.begin();
    lines_ = std::max(control.blockCount(), 1);
    copied_.reserve(control.characterCount());
    readForms_ = text.hasVariants();
    readBreaks_ = text.hasMixedBreaks();
}

bool TextCopy::takeSome(int milliseconds) {
    QElapsedTimer turn;
    turn.start();
    // The clock is looked at every 64 lines: reading it costs more than a
    // short line.
    for (int n = 0; line_.isValid(); ++n) {
        if (n % 64 == 63 && turn.elapsed() >= milliseconds)
            return false;
        if (readForms_) {
            const auto lineAt = static_cast<std::size_t>(copied_.size());
            for (auto it = line_.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                const QVariant code = fragment.charFormat().property(kVariantCodeProperty);
                if (!code.isValid())
                    continue;
                const auto at =
                    lineAt + static_cast<std::size_t>(fragment.position() - line_.position());
                for (int i = 0; i < fragment.length(); ++i)
                    forms_.push_back({at + static_cast<std::size_t>(i),
                                      static_cast<std::uint16_t>(code.toInt())});
            }
        }
        copied_ += line_.text();
        line_ = line_.next();
        if (!line_.isValid())
            break;
        // The pieces of a long line go together as the file holds them: a
        // cut ends no line, and has no break to keep.
        if (!startsLine_(line_)) {
            cuts_.push_back(static_cast<long>(copied_.size()));
            continue;
        }
        if (readBreaks_) {
            const QVariant kind = line_.blockFormat().property(kBreakBeforeProperty);
            breakAt_.push_back(static_cast<long>(copied_.size()));
            kinds_.push_back(kind.isValid() ? kind.toInt() : -1);
        }
        copied_ += QChar::ParagraphSeparator;
    }
    return true;
}

int TextCopy::permille() const {
    if (!line_.isValid())
        return 1000;
    return static_cast<int>(1000LL * line_.blockNumber() / lines_);
}

std::u16string TextCopy::takeSourceText() {
    std::u16string source(reinterpret_cast<const char16_t*>(copied_.utf16()),
                          static_cast<std::size_t>(copied_.size()));
    copied_ = QString();
    return source;
}

bool TextCopy::cutBetween(long from, long to) const {
    const auto cut = std::ranges::lower_bound(cuts_, from);
    return cut != cuts_.end() && *cut < to;
}

DocumentText TextCopy::keptText(std::u16string result, std::span<const SourceRange> removed,
                                const TextForm& form) const {
    const std::span<const Variant> variants = form.encoding->keepsByteForms()
                                                  ? std::span<const Variant>(forms_)
                                                  : std::span<const Variant>();
    std::vector<LineBreak> kinds;
    kinds.reserve(kinds_.size());
    for (const int kind : kinds_)
        kinds.push_back(kind < 0 ? form.lineBreak : static_cast<LineBreak>(kind));
    return zu::keptText(std::move(result), removed, form, variants, breakAt_, kinds);
}

} // namespace zu
