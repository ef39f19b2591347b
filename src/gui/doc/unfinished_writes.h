#pragma once
// At start-up: saves that an earlier run left unfinished when it died
// (write_journal.h). Their temporary files go; where a file was written in
// place, the user learns what it holds and may have its old bytes back.

class QWidget;

namespace zu {
class WriteJournal;

void offerUnfinishedWrites(QWidget* parent, const WriteJournal& journal);

} // namespace zu
