#pragma once
// The file's lines as the document holds them: a line shown in pieces
// (TextModel::startsLine) is one line, with one number. For the line
// numbers, the status bar's line and column, and Go to line.

#include "core/text/line_column.h"

#include <QString>
#include <QTextBlock>

namespace zu {
class TextModel;

// The first piece of the line that `block` is, or is a piece of.
QTextBlock lineStart(const QTextBlock& block);
// The index (from 0) of the file's line that `block` is, or is a piece of.
long lineIndex(const TextModel& doc, const QTextBlock& block);
// How many lines the file has.
long lineCount(const TextModel& doc);
// The first block of the line whose index (from 0) is `index`; an invalid
// block when the file has no such line.
QTextBlock lineBlock(const TextModel& doc, long index);
// The text of the line that starts at `first`, as the file holds it.
QString lineText(const TextModel& doc, const QTextBlock& first);
// The line and column of control position `position`.
LineColumn lineColumnAt(const TextModel& doc, int position);

} // namespace zu
