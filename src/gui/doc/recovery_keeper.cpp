#include "gui/doc/recovery_keeper.h"

#include "core/doc/atomic_write.h"
#include "core/doc/recovery.h"
#include "gui/doc/zu_doc.h"

#include <QTextDocument>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace zu {
namespace {

std::atomic<bool>& keeping() {
    static std::atomic<bool> keep{false};
    return keep;
}

int nextNumber() {
    static int number = 0;
    return ++number;
}

// How long the edits must pause before a copy is written. Tests make it
// short through the environment; users get two seconds, and a copy at the
// latest after twenty, well within half a minute of any edit.
int quietMilliseconds() {
    if (const char* value = std::getenv("ZU_RECOVERY_DELAY_MS"); value && *value)
        return std::max(0, std::atoi(value));
    return 2000;
}

} // namespace

RecoveryKeeper::RecoveryKeeper(CZuDoc& doc, const std::string& folder,
                               const std::string& adoptedFile)
    : QObject(&doc), doc_(doc), file_(folder + recoveryFileName(::getpid(), nextNumber())) {
    quiet_.setSingleShot(true);
    quiet_.setInterval(quietMilliseconds());
    longest_.setSingleShot(true);
    longest_.setInterval(std::max(quietMilliseconds(), 20000));
    connect(&quiet_, &QTimer::timeout, this, &RecoveryKeeper::writeInBackground);
    connect(&longest_, &QTimer::timeout, this, &RecoveryKeeper::writeInBackground);
    connect(doc.textDocument(), &QTextDocument::contentsChanged, this, &RecoveryKeeper::changed);
    connect(doc.textDocument(), &QTextDocument::modificationChanged, this,
            &RecoveryKeeper::modificationChanged);
    if (!adoptedFile.empty() && std::rename(adoptedFile.c_str(), file_.c_str()) == 0)
        written_ = true;
}

RecoveryKeeper::~RecoveryKeeper() {
    waitForWrite();
    discard();
}

void RecoveryKeeper::keepCopies() {
    keeping() = true;
}

void RecoveryKeeper::changed() {
    if (!doc_.isModified())
        return;
    quiet_.start();
    if (!longest_.isActive())
        longest_.start();
}

void RecoveryKeeper::modificationChanged(bool modified) {
    if (modified)
        return;
    // Saved, or taken back to what is saved: nothing to recover.
    quiet_.stop();
    longest_.stop();
    waitForWrite();
    discard();
}

void RecoveryKeeper::writeInBackground() {
    quiet_.stop();
    longest_.stop();
    if (!doc_.isModified())
        return;
    // One write at a time; a write still running means the next one waits
    // for the next pause.
    if (writing_.valid() &&
        writing_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        quiet_.start();
        return;
    }
    // The snapshot is taken here, on the window's thread; turning it into
    // bytes and writing them happen on the worker.
    written_ = true;
    writing_ =
        std::async(std::launch::async, [record = doc_.recoveryRecord(), file = file_]() mutable {
            writeFileAtomically(file, serializeRecovery(record));
        });
}

void RecoveryKeeper::writeNow() {
    quiet_.stop();
    longest_.stop();
    waitForWrite();
    if (!doc_.isModified())
        return;
    written_ = true;
    writeFileAtomically(file_, serializeRecovery(doc_.recoveryRecord()));
}

void RecoveryKeeper::waitForWrite() {
    if (writing_.valid())
        writing_.wait();
}

void RecoveryKeeper::discard() {
    if (!written_ || keeping())
        return;
    ::unlink(file_.c_str());
    written_ = false;
}

} // namespace zu
