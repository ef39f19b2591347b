#include "core/doc/recovery_writer.h"

#include "core/doc/recovery_store.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {
namespace {

// writeNewCopy(): the file base could not be read as the version the
// document was read from.
constexpr int kBaseChanged = -1;

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void syncFolder(const std::string& folder) {
    if (const int dir =
            ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// Copies the file base into `fd` at `offset` as one entry, checking that
// the bytes are the version the document was read from.
int copyFileBase(int fd, const RecoveryWriter::FileBase& base, std::size_t& offset) {
    const int source = ::open(base.path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (source < 0)
        return kBaseChanged;
    struct stat info {};
    const auto size = static_cast<std::uint64_t>(base.identity.stamp.size);
    int error = 0;
    if (::fstat(source, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uint64_t>(info.st_size) != size)
        error = kBaseChanged;
    ContentHash entry, bytes;
    const std::string front = fileEntryFront(base.encoding, size);
    entry.update(front);
    if (error == 0)
        error = writeAllAt(fd, front, offset);
    std::string chunk(1 << 20, '\0');
    std::uint64_t copied = 0;
    while (error == 0) {
        const ssize_t got = ::read(source, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got < 0 || copied != size)
                error = kBaseChanged;
            break;
        }
        const std::string_view piece(chunk.data(), static_cast<std::size_t>(got));
        copied += piece.size();
        if (copied > size) {
            error = kBaseChanged;
            break;
        }
        entry.update(piece);
        bytes.update(piece);
        error = writeAllAt(fd, piece, offset);
    }
    ::close(source);
    if (error == 0 && bytes.digest() != base.identity.hash)
        error = kBaseChanged;
    if (error == 0)
        error = writeAllAt(fd, entryCheck(entry), offset);
    return error;
}

} // namespace

RecoveryWriter::RecoveryWriter(std::string path, Listener listener, RecoveryJournalLimits limits)
    : path_(std::move(path)), listener_(std::move(listener)), limits_(limits),
      thread_([this] { run(); }) {}

RecoveryWriter::~RecoveryWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    if (fd_ >= 0)
        ::close(fd_);
}

void RecoveryWriter::start(std::string form, std::string textEntry) {
    std::lock_guard lock(mutex_);
    jobs_.push_back([this, form = std::move(form), text = std::move(textEntry)]() mutable {
        base_ = PendingBase{std::move(form), std::move(text), std::nullopt};
        backlog_.clear();
        waitingForText_ = false;
    });
    ++queued_;
    written_ = false;
    wake_.notify_all();
}

void RecoveryWriter::start(std::string form, FileBase file) {
    std::lock_guard lock(mutex_);
    jobs_.push_back([this, form = std::move(form), file = std::move(file)]() mutable {
        base_ = PendingBase{std::move(form), {}, std::move(file)};
        backlog_.clear();
        waitingForText_ = false;
    });
    ++queued_;
    written_ = false;
    wake_.notify_all();
}

bool RecoveryWriter::resume(const RecoveryRead& read) {
    const int fd = ::open(path_.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    // Copies of earlier runs may have been made for everyone to read.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::fchmod(fd, 0600) != 0 ||
        ::ftruncate(fd, static_cast<off_t>(read.wholeLength)) != 0) {
        ::close(fd);
        return false;
    }
    std::lock_guard lock(mutex_);
    jobs_.push_back(
        [this, fd, length = read.wholeLength, baseEnd = read.baseEnd, entries = read.entries] {
            if (fd_ >= 0)
                ::close(fd_);
            fd_ = fd;
            length_ = length;
            baseEnd_ = baseEnd;
            entries_ = entries;
            base_.reset();
            backlog_.clear();
            waitingForText_ = false;
        });
    ++queued_;
    wake_.notify_all();
    return true;
}

void RecoveryWriter::append(std::string entry) {
    std::lock_guard lock(mutex_);
    jobs_.push_back([this, entry = std::move(entry)]() mutable {
        if (!waitingForText_)
            backlog_.push_back(std::move(entry));
    });
    ++queued_;
    written_ = false;
    wake_.notify_all();
}

void RecoveryWriter::retry() {
    std::lock_guard lock(mutex_);
    jobs_.push_back([] {});
    ++queued_;
    wake_.notify_all();
}

void RecoveryWriter::discard() {
    std::lock_guard lock(mutex_);
    jobs_.push_back([this] {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        ::unlink(path_.c_str());
        length_ = baseEnd_ = entries_ = 0;
        base_.reset();
        backlog_.clear();
        waitingForText_ = false;
    });
    ++queued_;
    wake_.notify_all();
}

bool RecoveryWriter::finish() {
    std::unique_lock lock(mutex_);
    jobs_.push_back([] {});
    const std::uint64_t ticket = ++queued_;
    wake_.notify_all();
    done_.wait(lock, [&] { return finished_ >= ticket; });
    return written_;
}

bool RecoveryWriter::waitingForText() {
    std::lock_guard lock(mutex_);
    return baseGone_;
}

void RecoveryWriter::run() {
    // Copying a large file base takes the processor for a moment; the
    // window's thread, which the user types into, goes first.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty() && stopping_)
            return;
        // Everything handed over so far is taken at once and written in
        // one go: a burst of edits costs one write.
        std::deque<std::function<void()>> jobs;
        jobs.swap(jobs_);
        const std::uint64_t taken = queued_;
        lock.unlock();
        for (auto& job : jobs)
            job();
        flush();
        const bool written = !base_ && backlog_.empty() && !waitingForText_;
        lock.lock();
        baseGone_ = waitingForText_;
        finished_ = taken;
        written_ = written && finished_ == queued_;
        done_.notify_all();
    }
}

void RecoveryWriter::flush() {
    if (waitingForText_)
        return;
    if (base_) {
        const int error = writeNewCopy();
        if (error == kBaseChanged) {
            base_.reset();
            backlog_.clear();
            waitingForText_ = true;
            report(0, Event::BaseChanged);
            return;
        }
        report(error, error == 0 ? Event::Started : Event::None);
        if (error == 0) {
            base_.reset();
            backlog_.clear();
        }
        return;
    }
    if (backlog_.empty() || fd_ < 0)
        return;
    const int error = appendBacklog();
    report(error);
    if (error == 0 &&
        (entries_ > limits_.entries || length_ - baseEnd_ > std::max(limits_.bytes, baseEnd_)))
        compact();
}

int RecoveryWriter::writeNewCopy() {
    const std::string temporary =
        folderOf(path_) + recoveryTemporaryName(nameOf(path_), thisHostId());
    const int fd =
        ::open(temporary.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    std::size_t offset = 0;
    int error = ::fchmod(fd, 0600) == 0 ? 0 : errno;
    if (error == 0)
        error = writeAllAt(fd, recoveryStart() + base_->form, offset);
    if (error == 0 && base_->file)
        error = copyFileBase(fd, *base_->file, offset);
    else if (error == 0)
        error = writeAllAt(fd, base_->text, offset);
    const std::size_t baseEnd = offset;
    for (std::size_t i = 0; error == 0 && i < backlog_.size(); ++i)
        error = writeAllAt(fd, backlog_[i], offset);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path_.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return error;
    }
    syncFolder(folderOf(path_));
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
    length_ = offset;
    baseEnd_ = baseEnd;
    entries_ = backlog_.size();
    return 0;
}

int RecoveryWriter::appendBacklog() {
    std::string bytes;
    for (const std::string& entry : backlog_)
        bytes += entry;
    std::size_t offset = length_;
    int error = writeAllAt(fd_, bytes, offset);
    if (error == 0 && ::fdatasync(fd_) != 0)
        error = errno;
    if (error != 0) {
        // What was written in part is cut again, so that the next entry
        // follows the last whole one; the entries wait in memory.
        [[maybe_unused]] const int ignored = ::ftruncate(fd_, static_cast<off_t>(length_));
        return error;
    }
    length_ = offset;
    entries_ += backlog_.size();
    backlog_.clear();
    return 0;
}

void RecoveryWriter::compact() {
    std::string bytes(length_, '\0');
    std::size_t have = 0;
    while (have < length_) {
        const ssize_t got =
            ::pread(fd_, bytes.data() + have, length_ - have, static_cast<off_t>(have));
        if (got <= 0 && !(got < 0 && errno == EINTR))
            return;
        if (got > 0)
            have += static_cast<std::size_t>(got);
    }
    RecoveryRead read = readRecovery(bytes);
    bytes = std::string();
    if (!read.record || !read.form)
        return;
    base_ = PendingBase{formEntry(*read.form), textEntry(*read.record), std::nullopt};
    read.record.reset();
    // Written like any new copy; should the disk not take it, the copy as
    // it is goes on, and so does the journal.
    if (writeNewCopy() != 0) {
        // Tried again only once as much has been added.
        baseEnd_ = length_;
        entries_ = 0;
    }
    base_.reset();
}

void RecoveryWriter::report(int error, Event event) {
    if (event == Event::None && error == lastError_)
        return;
    lastError_ = error;
    if (listener_)
        listener_({error == 0 && event != Event::BaseChanged, error, event});
}

} // namespace zu
