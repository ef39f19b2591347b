#pragma once
// The file's text copied out of a document's control a run of lines at a
// time, so that a long text never holds the window up while it is copied
// (only the window's thread may read the control), then taken whole on any
// thread.

#include "gui/doc/text_model.h"

#include <QString>
#include <QTextBlock>

#include <string>

namespace zu {

class TextCopy {
public:
    explicit TextCopy(const TextModel& text);

    // Copies lines for about `milliseconds`; true once every line is in.
    // On the window's thread, with the text unchanged since the copy began.
    bool takeSome(int milliseconds);
    // How far the copy is, in thousandths of the lines.
    int permille() const;
    // The file's text, once takeSome() has said every line is in; on any
    // thread. The copy is empty afterwards.
    std::u16string takeSourceText();

private:
    QTextBlock line_;
    int lines_ = 1;
    QString copied_;
    TextModel::LineStarts startsLine_;
};

} // namespace zu
