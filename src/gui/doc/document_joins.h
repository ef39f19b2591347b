#pragma once
// The soft joins of a document's text (core/text/soft_joins.h): which
// paragraphs of the editing control continue the line before them, found
// from the paragraphs themselves. Only the document's edit
// (document_edit.h) cuts and joins pieces.

#include "core/text/soft_joins.h"
#include "gui/doc/text_properties.h"

#include <QTextBlock>

#include <vector>

class QTextDocument;

namespace zu {

// A block format property on a paragraph that is no line of the text but
// the next piece of a long one: the paragraph end in front of it is a soft
// join, not a break. A block format, because the editing control keeps it
// with that paragraph end through edits, Undo and Redo. The number after
// those of the properties that keep the file's bytes.
inline constexpr int kJoinProperty = kBreakBeforeProperty + 1;

// Whether `block` is the next piece of a long line rather than a line.
bool isJoined(const QTextBlock& block);

// Where a document's joins stand now. The paragraphs carry them (a block
// format survives every edit, Undo and Redo), so the map is only a summary,
// made again from the paragraphs when the text has changed. A document that
// never had a join maps every position to itself and is never looked at.
class DocumentJoins {
public:
    explicit DocumentJoins(QTextDocument* text) : text_(text) {}

    // The text was filled anew with these joins.
    void reset(JoinMap map);
    // The text has changed. Also told by edits made inside an edit block,
    // whose change the document reports only at the block's end.
    void touched() { dirty_ = true; }
    // Joins were made by an edit.
    void joinsMade() { ever_ = dirty_ = true; }

    const JoinMap& map() const;

private:
    QTextDocument* text_;
    mutable JoinMap map_;
    bool ever_ = false;
    mutable bool dirty_ = false;
    // The size of the text when the map was made: an edit nobody reported
    // yet changes it nearly always.
    mutable int characters_ = 0;
    mutable int blocks_ = 0;
};

// Tells joined paragraphs in a walk over many, by the index of their format:
// cheaper than asking each paragraph for its format. For one walk only, as
// a text set anew numbers its formats anew.
class JoinedFormats {
public:
    bool operator()(const QTextBlock& block);

private:
    std::vector<signed char> known_; // per format index: 0 not asked yet, 1 joined, 2 not
};

} // namespace zu
