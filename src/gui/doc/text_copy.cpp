#include "gui/doc/text_copy.h"

#include <QElapsedTimer>
#include <QTextDocument>

#include <algorithm>

namespace zu {

TextCopy::TextCopy(const TextModel& text) {
    const QTextDocument& control = *text.textDocument();
    line_ = control.begin();
    lines_ = std::max(control.blockCount(), 1);
    copied_.reserve(control.characterCount());
}

bool TextCopy::takeSome(int milliseconds) {
    QElapsedTimer turn;
    turn.start();
    // The clock is looked at every 64 lines: reading it costs more than a
    // short line.
    for (int n = 0; line_.isValid(); ++n) {
        if (n % 64 == 63 && turn.elapsed() >= milliseconds)
            return false;
        copied_ += line_.text();
        line_ = line_.next();
        // The pieces of a long line go together as the file holds them.
        if (line_.isValid() && startsLine_(line_))
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

} // namespace zu
