#pragma once
// The one way to change a document's text. An edit names places in the
// text as the file holds it (source positions: TextModel::sourceText), makes
// one or more replacements, and is one step for Undo. While it runs and
// once, when it ends, it keeps what the file's text is: a removal that
// starts at a line's start leaves the line in front its own end (a join
// or a break of an unusual kind), new lines start without either, a
// break inserted at a join takes its place, long lines are cut into
// pieces again and no empty piece is left. The marks follow the change
// as the document reports it.

#include "core/text/document_text.h"

#include <QString>
#include <QTextCursor>

#include <span>

namespace zu {
class CZuDoc;
class TextModel;

class DocumentEdit {
public:
    // The step opens with the first replacement. Undo of it leaves the caret
    // at source position `undoCaret` of the text as it stands then, where
    // the control's own edits would leave it.
    explicit DocumentEdit(CZuDoc& doc, long undoCaret = 0);
    // An edit made in several turns, between events: each after the first
    // goes into the step the one before opened, so that Undo takes the
    // whole back at once and leaves the caret where the first would.
    enum class Step { New, JoinPrevious };
    DocumentEdit(CZuDoc& doc, long undoCaret, Step step);
    // Closes the step, after the work the edit's replacements left to do.
    ~DocumentEdit();
    DocumentEdit(const DocumentEdit&) = delete;
    DocumentEdit& operator=(const DocumentEdit&) = delete;

    // Replaces `range` of the text as it stands now (after this edit's
    // earlier replacements) by `text`. Every kind of line break in `text`
    // (CR LF, CR, LF, U+2028, U+2029) becomes an ordinary break, written in
    // the document's most frequent style.
    void replace(SourceRange range, const QString& text);

    struct Replacement {
        SourceRange range;
        QString text;
    };
    // Many replacements at once: ascending ranges that do not overlap, in
    // the text as it stands before any of them.
    void replace(std::span<const Replacement> replacements);

    // Takes the ascending ranges `removed` out of the whole text, which
    // then is `result`. For many removals at once (every tag): the text is
    // set anew, which cannot be undone, so the edit must make no other
    // change. The characters that stay keep their byte forms and breaks.
    void takeOut(std::span<const SourceRange> removed, std::u16string_view result);

    // A cursor of the control after the text of the replacement made last
    // (for many at once, made from the last back: the lowest): the caret
    // once the edit is done. A copy taken before the edit ends follows the
    // rest of its work.
    QTextCursor end() const { return end_; }

private:
    void apply(QTextCursor& cursor, QString text);

    CZuDoc& doc_;
    TextModel& model_;
    long undoCaret_;
    Step stepKind_ = Step::New;
    QTextCursor step_;
    QTextCursor end_;
    // From the start of the first changed place to the end of the last.
    QTextCursor regionStart_;
    QTextCursor regionEnd_;
    bool changed_ = false;
    bool inserted_ = false;
};

} // namespace zu
