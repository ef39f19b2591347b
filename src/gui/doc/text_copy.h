#pragma once
// The file's text copied out of a document's control a run of lines at a
// time, so that a long text never holds the window up while it is copied
// (only the window's thread may read the control), then taken whole on any
// thread. What the file gave the characters beyond themselves (their byte
// forms, the kinds of the line breaks) is copied along where the text has
// any, so that a text made from the copy can keep it.

#include "core/text/document_text.h"
#include "gui/doc/text_model.h"

#include <QString>
#include <QTextBlock>

#include <span>
#include <string>
#include <vector>

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
    // Whether a long line's cut lies at one of the source positions
    // from..to-1: the control then shows them on more than one paragraph.
    bool cutBetween(long from, long to) const;

    // `result`, the copied text with the ascending ranges `removed` taken
    // out, as it is loaded in place of the copied one (see keptText); on
    // any thread, once every line is in.
    DocumentText keptText(std::u16string result, std::span<const SourceRange> removed,
                          const TextForm& form) const;

private:
    QTextBlock line_;
    int lines_ = 1;
    QString copied_;
    TextModel::LineStarts startsLine_;
    // The source positions where the control cuts a long line, ascending.
    std::vector<long> cuts_;
    // Where the text has them: the byte forms at their source positions,
    // and the source position of every break with its kind (-1: the
    // document's usual kind).
    bool readForms_ = false;
    bool readBreaks_ = false;
    std::vector<Variant> forms_;
    std::vector<long> breakAt_;
    std::vector<int> kinds_;
};

} // namespace zu
