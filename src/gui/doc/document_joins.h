#pragma once
// The soft joins of a document's text (core/text/soft_joins.h): which
// paragraphs of the editing control continue the line before them, found
// from the paragraphs themselves, and the pieces cut from a paragraph that
// grew too long.

#include "core/text/soft_joins.h"

#include <QTextBlock>

#include <vector>

class QTextCursor;
class QTextDocument;

namespace zu {

// Whether `block` is the next piece of a long line rather than a line.
bool isJoined(const QTextBlock& block);

// Cuts every paragraph from `first` to `last` (block numbers) that is longer
// than `bound` into pieces, as loading would have; the pieces after the
// first are marked as joined. Part of the edit block open on the document.
// Whether it cut any.
bool splitLongBlocks(QTextDocument* text, int first, int last, std::size_t bound);

// Whether removing the cursor's selection would lose what the paragraph
// end in front of it is. Each paragraph's format says what the paragraph
// end in front of it is (a join, or a break of an unusual kind); a
// removal that starts at a paragraph's start and takes its end with it
// leaves the paragraph end in front of it to the format of the paragraph
// where the removal ends.
bool removalLosesALineStart(const QTextCursor& cursor);

// Removes the cursor's selection, as QTextCursor::removeSelectedText does,
// but the paragraph end in front of it stays what it was. Every removal of
// text that may start at a line's start goes through here.
void removeSelection(QTextCursor& cursor);

// Removes the empty piece at control position `at`, if one is there,
// together with one of its joins: an edit can leave one, and it would show
// as an empty line the text does not have. Changes nothing of the text.
void dropEmptyPiece(QTextDocument* text, int at);

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
