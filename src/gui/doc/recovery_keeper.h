#pragma once
// Keeps a recovery copy of one document in the config folder while it has
// unsaved changes, removed when the document is saved, taken back to its
// saved state, or closed without saving.
//
// The copy follows the edits within about a second (ZU_RECOVERY_DELAY_MS
// sets how long), whether or not the typing pauses. What is handed to the
// writer is only what changed since the last time: the control reports
// every change as a place, what went and what came, and the stretch
// between the first and the last change is read once, when the copy is
// written. So a keystroke costs the same in a page of any size. The copy's
// base is the bytes of the file the document was read from, copied by the
// writer's thread, or the whole text where there is no such file.

#include "core/doc/recovery.h"
#include "core/doc/recovery_writer.h"
#include "core/text/file_path.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <climits>
#include <memory>
#include <optional>
#include <string>

namespace zu {
class CZuDoc;

class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    // A copy left over from an earlier run that the document was restored
    // from: it becomes this document's own copy, continued where it can be.
    struct Adopted {
        std::string file;
        RecoveryRead read; // its record left out
    };

    RecoveryKeeper(CZuDoc& doc, const std::string& folder, std::optional<Adopted> adopted = {});
    ~RecoveryKeeper() override;

    // Writes what the copy lacks and waits for it (the program is about to
    // end): whether the copy now holds every edit (while work in the
    // background changes the text: every edit made before it began).
    bool writeNow();
    // The whole document as a copy of the same name in `folder`, written now
    // (the recovery folder could not take it). 0, else the system's error.
    int writeTo(const std::string& folder);
    // From now on no copy is removed: the program is ending without asking,
    // and the copies are what the next start offers back.
    static void keepCopies();

    std::string file() const { return writer_->path(); }
    std::string folder() const;

signals:
    // Writing the copy failed (`error` is the system's) and is tried again
    // until it succeeds; then written() follows.
    void failed(const FilePath& folder, int error);
    void written();

private:
    void changed(int position, int removed, int added);
    void modificationChanged(bool modified);
    void scheduleFlush();
    void flush();
    void copyEdits();
    void startFromText();
    void captureBase();
    void reported(const RecoveryWriter::Report& report);

    CZuDoc& doc_;
    std::unique_ptr<RecoveryWriter> writer_;
    std::string adoptedFile_; // removed once this document's own copy is whole
    bool started_ = false;    // the writer has a copy to go on with
    bool needsText_ = false;  // the next copy must start from the whole text
    std::optional<RecoveryWriter::FileBase> fileBase_;
    RecoveryForm form_; // the form last handed over

    // The text as the copy last described it, and what has changed since:
    // how many control positions at its start and at its end are as they
    // were (kNone: nothing changed).
    static constexpr long kNone = LONG_MAX;
    long controlLength_ = 0;
    long sourceLength_ = 0;
    long head_ = kNone;
    long tail_ = kNone;

    QTimer flush_; // started by the first edit the copy lacks, never restarted
    QTimer retry_; // while writing fails
    bool failing_ = false;
};

} // namespace zu
