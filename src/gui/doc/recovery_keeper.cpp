#include "gui/doc/recovery_keeper.h"

#include "core/doc/recovery_store.h"
#include "core/text/encoding.h"
#include "gui/doc/zu_doc.h"
#include "gui/widgets/file_names.h"

#include <QTextDocument>

#include <algorithm>
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

// How long after an edit its copy is written at the latest: a second, so
// that a crash in the middle of typing loses at most about that much.
// Tests make it shorter through the environment.
int delayMilliseconds() {
    if (const char* value = std::getenv("ZU_RECOVERY_DELAY_MS"); value && *value)
        return std::max(0, std::atoi(value));
    return 1000;
}

bool keepsByteForms(const std::string& encoding) {
    const Encoding* found = findEncoding(encoding);
    return found && found->keepsByteForms();
}

long controlLength(const CZuDoc& doc) {
    return doc.text().textDocument()->characterCount() - 1;
}

} // namespace

RecoveryKeeper::RecoveryKeeper(CZuDoc& doc, const std::string& folder,
                               std::optional<Adopted> adopted)
    : QObject(&doc), doc_(doc) {
    writer_ = std::make_unique<RecoveryWriter>(folder + recoveryFileName(::getpid(), nextNumber()),
                                               [this](const RecoveryWriter::Report& report) {
                                                   QMetaObject::invokeMethod(
                                                       this, [this, report] { reported(report); },
                                                       Qt::QueuedConnection);
                                               });
    flush_.setSingleShot(true);
    flush_.setInterval(delayMilliseconds());
    retry_.setInterval(1000);
    connect(&flush_, &QTimer::timeout, this, &RecoveryKeeper::flush);
    // What was typed before work in the background began is copied before
    // the work changes the text; the copy then stays that text until the
    // work is over. A text half put in is no copy to offer back, and
    // copying one changed throughout would hold the window up.
    connect(&doc.text(), &TextModel::workChanged, this, [this] {
        if (doc_.text().work())
            copyEdits();
        else
            scheduleFlush();
    });
    connect(&retry_, &QTimer::timeout, this, [this] { writer_->retry(); });
    connect(doc.text().textDocument(), &QTextDocument::contentsChange, this,
            &RecoveryKeeper::changed);
    connect(doc.text().textDocument(), &QTextDocument::modificationChanged, this,
            &RecoveryKeeper::modificationChanged);
    // A new encoding or line-break style changes no character.
    connect(&doc, &CZuDoc::formChanged, this, &RecoveryKeeper::scheduleFlush);
    connect(&doc, &CZuDoc::titleChanged, this, &RecoveryKeeper::scheduleFlush);

    if (!adopted) {
        captureBase();
        return;
    }
    controlLength_ = controlLength(doc_);
    sourceLength_ = doc_.text().sourceLength();
    const bool moved = std::rename(adopted->file.c_str(), file().c_str()) == 0;
    if (moved && adopted->read.form && writer_->resume(adopted->read)) {
        started_ = true;
        form_ = *adopted->read.form;
        return;
    }
    // Written anew, from the text; the old copy goes once the new one is
    // whole, or stays with this name until then.
    if (!moved)
        adoptedFile_ = adopted->file;
    needsText_ = true;
    scheduleFlush();
}

RecoveryKeeper::~RecoveryKeeper() {
    flush_.stop();
    retry_.stop();
    if (!keeping()) {
        writer_->discard();
        if (!adoptedFile_.empty())
            ::unlink(adoptedFile_.c_str());
    }
    writer_.reset(); // what is queued is written first
}

void RecoveryKeeper::keepCopies() {
    keeping() = true;
}

std::string RecoveryKeeper::folder() const {
    const std::string path = file();
    return path.substr(0, path.find_last_of('/') + 1);
}

void RecoveryKeeper::captureBase() {
    // The document is as saved (or new): the next copy's base is this text,
    // which the file's bytes give back where the document says they do.
    started_ = false;
    controlLength_ = controlLength(doc_);
    sourceLength_ = doc_.text().sourceLength();
    head_ = tail_ = kNone;
    fileBase_ = doc_.fileBase();
    needsText_ = !fileBase_ && sourceLength_ > 0;
}

void RecoveryKeeper::changed(int position, int /*removed*/, int added) {
    const long length = controlLength(doc_);
    head_ = std::min<long>(head_, position);
    tail_ = std::min<long>(tail_, std::max<long>(0, length - position - added));
    if (doc_.text().isModified())
        scheduleFlush();
}

void RecoveryKeeper::modificationChanged(bool modified) {
    if (modified) {
        scheduleFlush();
        return;
    }
    // Saved, or taken back to what is saved: nothing to recover.
    flush_.stop();
    if (!keeping()) {
        writer_->discard();
        if (!adoptedFile_.empty())
            ::unlink(adoptedFile_.c_str());
        adoptedFile_.clear();
    }
    captureBase();
    if (failing_) {
        failing_ = false;
        retry_.stop();
        emit written();
    }
}

void RecoveryKeeper::scheduleFlush() {
    if (doc_.text().isModified() && !flush_.isActive())
        flush_.start();
}

void RecoveryKeeper::startFromText() {
    const RecoveryForm form = doc_.recoveryForm();
    writer_->start(formEntry(form), textEntry(doc_.recoveryRecord()));
    started_ = true;
    needsText_ = false;
    form_ = form;
    controlLength_ = controlLength(doc_);
    sourceLength_ = doc_.text().sourceLength();
    head_ = tail_ = kNone;
}

void RecoveryKeeper::flush() {
    flush_.stop();
    if (!doc_.text().work())
        copyEdits();
}

void RecoveryKeeper::copyEdits() {
    if (!doc_.text().isModified())
        return;
    const RecoveryForm form = doc_.recoveryForm();
    // What edits cannot carry: breaks kept one by one again, or byte forms
    // that count again under an encoding that keeps them.
    if (started_ && ((form.mixedBreaks && !form_.mixedBreaks) ||
                     (keepsByteForms(form.encoding) && !keepsByteForms(form_.encoding))))
        needsText_ = true;
    if (needsText_)
        return startFromText();
    if (!started_) {
        if (fileBase_)
            writer_->start(formEntry(form), *fileBase_);
        else
            writer_->start(formEntry(form), textEntry({}));
        started_ = true;
        form_ = form;
    } else if (form != form_) {
        writer_->append(formEntry(form));
        form_ = form;
    }
    if (head_ == kNone)
        return;
    const long length = controlLength(doc_);
    const long from = std::clamp<long>(head_ - 1, 0, length);
    const long to = std::clamp<long>(length - tail_, from, length);
    // Most of the text changed (a reload, a command on the whole text): a
    // new base costs no more than the edit would.
    if (to - from > 65536 && to - from > length / 2)
        return startFromText();
    RecoveryEdit edit = doc_.text().recoveryEdit(static_cast<int>(from), static_cast<int>(to),
                                                 doc_.form().lineBreak);
    const long sourceLength = doc_.text().sourceLength();
    const long kept = sourceLength - doc_.text().toSource(static_cast<int>(to));
    const long removed = sourceLength_ - kept - static_cast<long>(edit.from);
    if (removed < 0)
        return startFromText(); // never expected: the whole text is then sure
    edit.removed = static_cast<std::size_t>(removed);
    edit.length = static_cast<std::size_t>(sourceLength);
    writer_->append(editEntry(edit));
    controlLength_ = length;
    sourceLength_ = sourceLength;
    head_ = tail_ = kNone;
}

void RecoveryKeeper::reported(const RecoveryWriter::Report& report) {
    using Event = RecoveryWriter::Event;
    if (report.event == Event::Started && !adoptedFile_.empty()) {
        ::unlink(adoptedFile_.c_str());
        adoptedFile_.clear();
    }
    if (report.event == Event::BaseChanged) {
        // The file is no longer the version the document was read from:
        // the copy starts from the text instead.
        needsText_ = true;
        started_ = false;
        QTimer::singleShot(0, this, &RecoveryKeeper::flush);
        return;
    }
    if (report.error != 0) {
        if (!failing_)
            retry_.start();
        failing_ = true;
        emit failed(FilePath(folder()), report.error);
    } else if (report.written && failing_) {
        failing_ = false;
        retry_.stop();
        emit written();
    }
}

bool RecoveryKeeper::writeNow() {
    flush();
    if (writer_->finish())
        return true;
    if (!writer_->waitingForText())
        return false;
    // The file changed since it was read: the copy starts from the text.
    startFromText();
    return writer_->finish();
}

int RecoveryKeeper::writeTo(const std::string& folder) {
    if (const int error = ensurePrivateFolder(folder); error != 0)
        return error;
    const std::string name = file().substr(file().find_last_of('/') + 1);
    return writePrivateFile(folder + name, recoveryStart() + formEntry(doc_.recoveryForm()) +
                                               textEntry(doc_.recoveryRecord()));
}

} // namespace zu
