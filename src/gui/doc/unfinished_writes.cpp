#include "gui/doc/unfinished_writes.h"

#include "core/doc/doc_messages.h"
#include "core/doc/write_journal.h"
#include "gui/widgets/ui.h"

namespace zu {

void offerUnfinishedWrites(QWidget* parent, const WriteJournal& journal) {
    using Holds = WriteJournal::Unfinished::Holds;
    for (WriteJournal::Unfinished& write : journal.unfinished()) {
        const WriteNote& note = write.note();
        if (note.backup && write.canPutBack() && write.holds() != Holds::Old) {
            const ui::Button buttons[] = {
                {ui::Answer::Yes, ui::qs(kPutBackButton)},
                {ui::Answer::No, ui::qs(kKeepButton)},
            };
            const QString question = ui::qs(unfinishedWriteQuestion(note.target, write.holds()));
            if (ui::message(parent, question, buttons, ui::Icon::Warning) == ui::Answer::Yes &&
                !write.putBack(journal)) {
                // The copy stays, and so does the note: the next start asks again.
                ui::message(parent, ui::qs(putBackFailed(note.target, note.backup->path)));
                continue;
            }
        } else if (note.backup && !write.canPutBack() && write.holds() == Holds::Neither) {
            ui::message(parent, ui::qs(unfinishedWriteWithoutCopy(note.target)));
        }
        write.finish();
    }
}

} // namespace zu
