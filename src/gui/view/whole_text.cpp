#include "gui/view/whole_text.h"

#include "core/tags/tag_spans.h"
#include "gui/doc/document_edit.h"
#include "gui/doc/document_marks.h"
#include "gui/doc/document_work.h"
#include "gui/doc/text_copy.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/ui.h"

#include <QString>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace zu {
namespace {

// The text as the control holds it, U+2029 ending each line but the last.
std::u16string_view asView(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

// Where the tags stood, as the edit takes them.
std::vector<SourceRange> tagRanges(const TagRemoval& removal) {
    std::vector<SourceRange> tags;
    tags.reserve(removal.tags.size());
    for (const TagSpan& tag : removal.tags)
        tags.push_back({tag.start, tag.end});
    return tags;
}

// Setting the whole text anew, against deleting each tag where it stands:
// the tags are many and the fragment tree splits at each, which made the
// deletions take several times longer than filling the text.
void takeOutTags(CZuDoc& document, const TagRemoval& removal,
                 const std::vector<SourceRange>& tags) {
    if (removal.outcome == TagRemoval::Outcome::Removed)
        DocumentEdit(document).takeOut(tags, removal.text);
}

// The control's text taken out a run of lines at a time between events,
// since only the window's thread may read it (at once it held the window
// up for a third of a second at 64 MB); the tags then searched for and cut
// out on a thread of its own. Only the new text going in needs the window's
// thread for long.
class TagRemovalWork final : public DocumentWork {
public:
    TagRemovalWork(CZuDoc& document, std::function<void(TagRemoval::Outcome)> done)
        : DocumentWork(&document), document_(document), done_(std::move(done)),
          search_(std::make_shared<Search>(document.text())) {
        poll_.setInterval(10);
        connect(&poll_, &QTimer::timeout, this, &TagRemovalWork::poll);
        QTimer::singleShot(0, this, &TagRemovalWork::takeSome);
        document.text().setWork(this);
    }

    QString caption() const override {
        return QStringLiteral("%1 のタグを取り除いています。").arg(document_.title());
    }
    int permille() const override { return shown_; }
    bool cancellable() const override { return !over_; }
    void cancel() override { end(); }
    int showAfterMilliseconds() const override { return barDelayMilliseconds(); }

private:
    // Taking the text out is most of the bar; the search is short.
    static constexpr int kTakenAt = 900;
    static constexpr int kTurnMilliseconds = 25;

    struct Search {
        explicit Search(const TextModel& text) : copy(text) {}
        TextCopy copy;
        // Written by the thread before it sets done, then read here only.
        TagRemoval removal;
        std::vector<SourceRange> tags;
        std::atomic<bool> done{false};
    };

    void takeSome() {
        if (over_)
            return;
        if (!search_->copy.takeSome(kTurnMilliseconds)) {
            show(kTakenAt * search_->copy.permille() / 1000);
            QTimer::singleShot(0, this, &TagRemovalWork::takeSome);
            return;
        }
        show(kTakenAt);
        // Left to run on when given up: nothing stops removeTags, and the
        // search keeps what it works on alive.
        std::thread([search = search_] {
            const std::u16string source = search->copy.takeSourceText();
            search->removal = removeTags(source);
            search->tags = tagRanges(search->removal);
            search->done.store(true, std::memory_order_release);
        }).detach();
        poll_.start();
    }

    void poll() {
        if (over_ || !search_->done.load(std::memory_order_acquire))
            return;
        end();
        const ui::WaitCursor wait;
        takeOutTags(document_, search_->removal, search_->tags);
        if (done_)
            done_(search_->removal.outcome);
    }

    void show(int permille) {
        if (permille != shown_)
            emit progressed(shown_ = permille);
    }

    // Gives the document back to its windows and commands.
    void end() {
        if (over_)
            return;
        over_ = true;
        poll_.stop();
        document_.text().setWork(nullptr);
        deleteLater();
    }

    CZuDoc& document_;
    std::function<void(TagRemoval::Outcome)> done_;
    std::shared_ptr<Search> search_;
    int shown_ = 0;
    QTimer poll_;
    bool over_ = false;
};

} // namespace

long& removalBackgroundLength() {
    // About a 4 MB page, as for reading a file in the background: shorter
    // texts are done within a few tenths of a second.
    static long length = 4L << 20;
    return length;
}

int& barDelayMilliseconds() {
    static int milliseconds = 500;
    return milliseconds;
}

// The colours are drawn over the text (DocumentMarks says why), so the
// selection, the undo history and the modified flag are never touched.
void colourTags(CZuView& view) {
    const ui::WaitCursor wait;
    TextModel& text = view.doc()->text();
    // Found in the text, drawn on the control's paragraphs.
    text.marks().paintTags(controlTagSpans(text, text.sourceText()), view.tagColour());
}

TagRemoval::Outcome removeAllTags(CZuDoc& document) {
    const ui::WaitCursor wait;
    const QString text = document.text().sourceText();
    const TagRemoval removal = removeTags(asView(text));
    takeOutTags(document, removal, tagRanges(removal));
    return removal.outcome;
}

void removeAllTags(CZuDoc& document, std::function<void(TagRemoval::Outcome)> done) {
    if (document.text().work())
        return;
    if (document.text().sourceLength() < removalBackgroundLength()) {
        const TagRemoval::Outcome outcome = removeAllTags(document);
        if (done)
            done(outcome);
        return;
    }
    new TagRemovalWork(document, std::move(done));
}

} // namespace zu
