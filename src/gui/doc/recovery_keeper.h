#pragma once
// Keeps a recovery copy of one document in the config folder while it has
// unsaved changes: written at most a few seconds after the edits stop (and
// never more than half a minute behind them), on a worker thread so that
// typing never waits for the disk, and removed when the document is saved,
// taken back to its saved state, or closed without saving.

#include <QObject>
#include <QString>
#include <QTimer>

#include <future>
#include <string>

namespace zu {
class CZuDoc;

class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    // `adoptedFile`: a copy left over from an earlier run that this document
    // was restored from; it becomes this document's own copy.
    RecoveryKeeper(CZuDoc& doc, const std::string& folder, const std::string& adoptedFile = {});
    ~RecoveryKeeper() override;

    // Writes the copy now and waits for it (the program is about to end).
    void writeNow();
    // From now on no copy is removed: the program is ending without asking,
    // and the copies are what the next start offers back.
    static void keepCopies();

    std::string file() const { return file_; }

private:
    void changed();
    void modificationChanged(bool modified);
    void writeInBackground();
    void waitForWrite();
    void discard();

    CZuDoc& doc_;
    std::string file_;
    QTimer quiet_;   // restarted by every edit: a copy once the edits pause
    QTimer longest_; // not restarted: a copy at the latest this long after an edit
    std::future<void> writing_;
    bool written_ = false;
};

} // namespace zu
