#include "gui/doc/text_load.h"

#include "core/doc/content_hash.h"
#include "core/doc/doc_messages.h"
#include "core/doc/file_errors.h"
#include "core/doc/file_read.h"
#include "core/text/detect_encoding.h"
#include "gui/widgets/file_names.h"
#include "gui/widgets/ui.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QTextDocument>
#include <QWidget>

#include <cerrno>

namespace zu {
namespace {

// Reading is the first part of the bar, decoding the second, filling the
// control the rest: filling takes by far the longest.
constexpr int kReadShare = 250;
constexpr int kDecodedAt = 350;

struct Step {
    int milliseconds = TextLoad::kStepMilliseconds;
    std::size_t characters = TextLoad::kStepCharacters;
};

Step& step() {
    static Step s;
    return s;
}

} // namespace

void TextLoad::setStep(int milliseconds, std::size_t characters) {
    step() = {milliseconds, characters};
}

int TextLoad::stepMilliseconds() {
    return step().milliseconds;
}

std::size_t TextLoad::stepCharacters() {
    return step().characters;
}

std::int64_t& TextLoad::backgroundBytes() {
    // Below this a file is in within about a tenth of a second: no bar.
    static std::int64_t bytes = 4 << 20;
    return bytes;
}

void reloadDocument(CZuDoc& doc, const Encoding* encoding, QWidget* window) {
    if (doc.text().work())
        return;
    const std::optional<FileStamp> stamp = stampOf(doc.pathName().bytes());
    if (!stamp || stamp->size < TextLoad::backgroundBytes()) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const QString error = doc.reload(encoding);
        QGuiApplication::restoreOverrideCursor();
        if (!error.isEmpty())
            ui::message(window, error);
        return;
    }
    auto* load = new TextLoad(doc, encoding);
    QObject::connect(load, &TextLoad::ended, window, [load, window] {
        if (const QString error = load->takeResult().error; !error.isEmpty())
            ui::message(window, error);
    });
}

TextLoad::TextLoad(const FilePath& path, QObject* parent)
    : DocumentWork(parent), absolute_(absolutePath(path.bytes())),
      reading_(std::make_shared<Reading>()) {
    start();
}

TextLoad::TextLoad(CZuDoc& document, const Encoding* encoding)
    : DocumentWork(&document), absolute_(document.pathName()),
      reading_(std::make_shared<Reading>()), target_(&document) {
    reading_->encoding = encoding ? encoding : document.form().encoding;
    document.text().setWork(this);
    start();
}

void TextLoad::start() {
    // The thread's progress is looked at on a clock: it sends this thread
    // nothing but the one call that hands its work over.
    poll_.setInterval(50);
    connect(&poll_, &QTimer::timeout, this, &TextLoad::poll);
    poll_.start();
    turn_.setInterval(0);
    connect(&turn_, &QTimer::timeout, this, &TextLoad::fillSome);
    reader_ = std::thread(&TextLoad::read, reading_, absolute_.bytes(), QPointer<TextLoad>(this));
}

TextLoad::~TextLoad() {
    // Gone with its document, the load touches it no more.
    reading_->cancelled = true;
    ended_ = true;
    poll_.stop();
    turn_.stop();
    document_.reset();
    if (!reader_.joinable())
        return;
    if (reading_->done) {
        reader_.join();
        return;
    }
    // A decoding under way cannot be stopped half-way; it is not waited
    // for now, but before the program ends, while everything it uses is
    // still there.
    static std::vector<std::jthread> parked;
    std::erase_if(parked, [](std::jthread& t) { return !t.joinable(); });
    parked.emplace_back([t = std::move(reader_)]() mutable { t.join(); });
}

QString TextLoad::title() const {
    return displayName(absolute_);
}

QString TextLoad::caption() const {
    return QStringLiteral("%1 を読み込んでいます。").arg(title());
}

void TextLoad::cancel() {
    if (!cancellable())
        return;
    reading_->cancelled = true;
    ended_ = true;
    poll_.stop();
    turn_.stop();
    if (target_) {
        target_->text().setWork(nullptr);
        deleteLater();
    }
    // The half-filled document goes with everything it holds.
    document_.reset();
    // The text read so far is freed with the last owner: this object, or
    // the thread while it still works on it.
    if (reading_->done) {
        reading_->decoded = DocumentText();
        reading_->plan = TextModel::LoadPlan();
    }
}

void TextLoad::read(const std::shared_ptr<Reading>& reading, const std::string& path,
                    QPointer<TextLoad> owner) {
    Reading& r = *reading;
    const auto handOver = [&] {
        r.done = true;
        // A load given up wants nothing more; its thread may be the last
        // thing of the program still running.
        if (r.cancelled)
            return;
        QMetaObject::invokeMethod(
            qApp,
            [reading, owner = std::move(owner)] {
                if (owner && !reading->cancelled)
                    owner->startFilling();
            },
            Qt::QueuedConnection);
    };
    FileBytes file =
        readWholeFile(path, CZuDoc::kMaxFileBytes, [&r](std::size_t have, std::size_t expected) {
            if (expected > 0)
                r.permille = static_cast<int>(std::min(have, expected) * kReadShare / expected);
            return !r.cancelled;
        });
    r.error = file.error;
    if (file.error == 0 && !r.cancelled) {
        r.stamp = file.stamp;
        r.hash = contentHash(file.bytes);
        r.decoded = r.encoding ? decodeChosen(file.bytes, *r.encoding) : decodeDetected(file.bytes);
        file.bytes = std::string();
        if (!r.cancelled)
            r.plan.find(r.decoded.text);
        r.permille = kDecodedAt;
    }
    handOver();
}

void TextLoad::poll() {
    const int now =
        !filling_ ? reading_->permille.load() : kDecodedAt + (1000 - kDecodedAt) * filled_ / 1000;
    if (now != shown_) {
        shown_ = now;
        emit progressed(now);
    }
}

void TextLoad::startFilling() {
    if (ended_)
        return;
    if (reader_.joinable())
        reader_.join();
    Reading& r = *reading_;
    if (r.error != 0) {
        finish(QString::fromStdString(
            fileErrorMessage(r.error, FileOp::Open, displayPath(absolute_).toStdString())));
        return;
    }
    if (!target_)
        document_ = std::make_unique<CZuDoc>(title());
    filling_ = true;
    emit cancellableChanged(cancellable());
    filled()->text().beginLoad(r.decoded, std::move(r.plan), step().characters);
    if (document_)
        emit filling(document_.get());
    // After the events now waiting: a view made for the document is laid
    // out for its size while the text is still empty. The turns then go
    // by the timer from the first on: a first turn of its own would run
    // next to the timer's first, with nothing between them.
    QTimer::singleShot(0, this, [this] {
        if (!ended_)
            turn_.start();
    });
}

void TextLoad::fillSome() {
    if (ended_)
        return;
    if (filled_ < 1000) {
        filled_ = filled()->text().loadSome(step().milliseconds);
        poll();
        // After the events that came in meanwhile: typing elsewhere, a
        // click on the cancel button. The end, which makes the document's
        // window, takes a turn of its own.
        if (!turn_.isActive())
            turn_.start();
        return;
    }
    if (!filledIn_) {
        // The text's own buffer goes here, which for the largest files
        // takes the system a few tens of milliseconds: the window for the
        // document is made on the next turn.
        Reading& r = *reading_;
        filled()->text().endLoad(r.decoded);
        filled()->takeFile(absolute_, r.stamp, r.hash, r.decoded);
        if (document_)
            result_.notice = QString::fromStdString(openNotice(title().toStdString(), r.decoded));
        filledIn_ = true;
        return;
    }
    turn_.stop();
    finish({});
}

void TextLoad::finish(const QString& error) {
    ended_ = true;
    poll_.stop();
    turn_.stop();
    shown_ = 1000;
    result_.document = std::move(document_);
    result_.error = error;
    reading_->decoded = DocumentText();
    reading_->plan = TextModel::LoadPlan();
    if (target_) {
        target_->text().setWork(nullptr);
        deleteLater();
    }
    emit ended();
}

} // namespace zu
