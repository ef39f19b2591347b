#include "gui/view/whole_text.h"

#include "core/tags/tag_spans.h"
#include "gui/doc/document_edit.h"
#include "gui/doc/document_marks.h"
#include "gui/doc/document_work.h"
#include "gui/doc/text_copy.h"
#include "gui/doc/text_load.h"
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

// The tags searched for and cut out on a thread of their own, which also
// finds what the new text keeps of the old one's byte forms and breaks and
// where its long lines are cut; the new text then goes into the control a
// piece at a time, as a file read in the background does.
class TagRemovalWork final : public WholeTextWork {
public:
    TagRemovalWork(CZuDoc& document, std::function<void(TagRemoval::Outcome)> done)
        : TagRemovalWork(document, std::move(done), std::make_shared<Removal>(document)) {}

    QString caption() const override {
        return QStringLiteral("%1 のタグを取り除いています。").arg(document().title());
    }

private:
    struct Removal {
        explicit Removal(const CZuDoc& document) : form(document.form()) {}
        const TextForm form;
        // Written by the thread before the search is over, then read on
        // the window's thread only.
        TagRemoval::Outcome outcome = TagRemoval::Outcome::Unchanged;
        DocumentText kept;
        // Made on the window's thread, found on the search's.
        TextModel::LoadPlan plan;
    };

    TagRemovalWork(CZuDoc& document, std::function<void(TagRemoval::Outcome)> done,
                   std::shared_ptr<Removal> removal)
        : WholeTextWork(document, [removal](TextCopy& copy) { search(copy, *removal); }),
          done_(std::move(done)), removal_(std::move(removal)) {
        start();
    }

    static void search(TextCopy& copy, Removal& r) {
        TagRemoval removal = removeTags(copy.takeSourceText());
        r.outcome = removal.outcome;
        if (removal.outcome != TagRemoval::Outcome::Removed)
            return;
        const std::vector<SourceRange> tags = tagRanges(removal);
        removal.tags = {};
        r.kept = copy.keptText(std::move(removal.text), tags, r.form);
        r.plan.find(r.kept.text);
    }

    bool beginPutting() override {
        if (removal_->outcome != TagRemoval::Outcome::Removed)
            return false;
        // Loading anew drops the undo history, which names places in the
        // old text: the change cannot be undone, as at once.
        document().text().beginLoad(removal_->kept, std::move(removal_->plan),
                                    TextLoad::stepCharacters());
        return true;
    }

    int putSome(int milliseconds) override {
        const int done = document().text().loadSome(milliseconds);
        if (done >= 1000)
            document().text().endLoad(removal_->kept);
        return done;
    }

    void finish() override {
        if (removal_->outcome == TagRemoval::Outcome::Removed)
            document().text().setModified(true);
        if (done_)
            done_(removal_->outcome);
    }

    std::function<void(TagRemoval::Outcome)> done_;
    std::shared_ptr<Removal> removal_;
};

} // namespace

struct WholeTextWork::Copying {
    explicit Copying(const TextModel& text) : copy(text) {}
    TextCopy copy;
    std::atomic<bool> searched{false};
};

namespace {
// Copying the text is the first part of the bar, the search the next;
// putting the outcome in, the longest, the rest.
constexpr int kCopiedAt = 300;
constexpr int kSearchedAt = 400;
} // namespace

WholeTextWork::WholeTextWork(CZuDoc& document, std::function<void(TextCopy&)> search)
    : DocumentWork(&document), document_(document),
      copying_(std::make_shared<Copying>(document.text())), search_(std::move(search)) {
    poll_.setInterval(10);
    connect(&poll_, &QTimer::timeout, this, &WholeTextWork::poll);
    turn_.setInterval(0);
    connect(&turn_, &QTimer::timeout, this, &WholeTextWork::turn);
}

void WholeTextWork::start() {
    turn_.start();
    document_.text().setWork(this);
}

void WholeTextWork::turn() {
    if (putting_)
        putTurn();
    else
        copySome();
}

int WholeTextWork::showAfterMilliseconds() const {
    return barDelayMilliseconds();
}

void WholeTextWork::cancel() {
    if (cancellable())
        end();
}

void WholeTextWork::copySome() {
    if (over_)
        return;
    if (!copying_->copy.takeSome(TextLoad::stepMilliseconds())) {
        show(kCopiedAt * copying_->copy.permille() / 1000);
        return;
    }
    turn_.stop();
    show(kCopiedAt);
    std::thread([copying = copying_, search = std::move(search_)] {
        search(copying->copy);
        copying->searched.store(true, std::memory_order_release);
    }).detach();
    poll_.start();
}

void WholeTextWork::poll() {
    if (over_ || !copying_->searched.load(std::memory_order_acquire))
        return;
    poll_.stop();
    show(kSearchedAt);
    if (!beginPutting()) {
        end();
        finish();
        return;
    }
    putting_ = true;
    emit cancellableChanged(false);
    turn_.start();
}

void WholeTextWork::putTurn() {
    if (over_)
        return;
    const int done = putSome(TextLoad::stepMilliseconds());
    show(kSearchedAt + (1000 - kSearchedAt) * done / 1000);
    if (done < 1000)
        return;
    end();
    finish();
}

void WholeTextWork::show(int permille) {
    if (permille != shown_)
        emit progressed(shown_ = permille);
}

void WholeTextWork::end() {
    if (over_)
        return;
    over_ = true;
    poll_.stop();
    turn_.stop();
    document_.text().setWork(nullptr);
    deleteLater();
}

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
