#include "gui/doc/zu_doc.h"

#include "core/doc/content_hash.h"
#include "core/doc/doc_messages.h"
#include "core/doc/encoding_rules.h"
#include "core/doc/file_errors.h"
#include "core/doc/file_read.h"
#include "core/text/detect_encoding.h"
#include "core/text/utf.h"
#include "gui/doc/document_marks.h"
#include "gui/widgets/file_names.h"

#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>

namespace zu {
namespace {

const WriteJournal*& journal() {
    static const WriteJournal* current = nullptr;
    return current;
}

std::u16string_view asView(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

} // namespace

CZuDoc::CZuDoc(const QString& title, QObject* parent)
    : QObject(parent), text_(new QTextDocument(this)), title_(title), joins_(text_),
      joinBound_(defaultJoinBound()) {
    text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
    text_->setModified(false);
    marks_ = new DocumentMarks(text_);
    // Tag colours move with the text, and each new character may bring a
    // byte that is not valid Shift_JIS (pasted from another document), to
    // be marked as soon as it arrives. A file being loaded is marked once
    // it is in.
    connect(text_, &QTextDocument::contentsChange, this, [this](int from, int removed, int added) {
        if (loading_)
            return;
        joins_.touched();
        marks_->follow(from, removed, added);
    });
}

CZuDoc::~CZuDoc() = default;

CZuDoc::OpenResult CZuDoc::open(const QString& path) {
    OpenResult result;
    const std::string bytesPath = absolutePath(pathToBytes(path));
    const QString absolute = pathFromBytes(bytesPath);
    FileBytes file = readWholeFile(bytesPath, kMaxFileBytes);
    if (file.error != 0) {
        result.error = QString::fromStdString(
            fileErrorMessage(file.error, FileOp::Open, displayPath(absolute).toStdString()));
        return result;
    }
    const FileStamp stamp = file.stamp;
    const std::uint64_t hash = contentHash(file.bytes);
    DocumentText decoded = decodeDetected(file.bytes);
    file.bytes = std::string();

    auto doc = std::make_unique<CZuDoc>(displayName(absolute));
    doc->load(decoded);
    doc->takeSource(absolute, stamp, hash, decoded);
    result.notice = QString::fromStdString(openNotice(doc->title_.toStdString(), decoded));
    result.document = std::move(doc);
    return result;
}

void CZuDoc::takeSource(const QString& absolute, const FileStamp& stamp, std::uint64_t hash,
                        const DocumentText& decoded) {
    declared_ = decoded.declared;
    setModified(false);
    path_ = absolute;
    disk_.know(stamp);
    source_ = SourceIdentity{stamp, hash};
    // Read in the encoding found, which reading in that encoding gives again.
    sourceEncoding_ = std::string(decoded.encoding->name());
}

RecoveryRecord CZuDoc::recoveryRecord() const {
    RecoveryRecord r;
    r.title = title_.toStdString();
    r.path = pathToBytes(path_);
    r.encoding = std::string(form_.encoding->name());
    r.byteOrderMark = form_.byteOrderMark;
    r.lineBreak = form_.lineBreak;
    r.breaks = breaks();
    r.variants = variants();
    const QString raw = sourceText();
    r.text.assign(asView(raw));
    std::ranges::replace(r.text, u'\u2029', u'\n');
    r.source = source_;
    return r;
}

std::unique_ptr<CZuDoc> CZuDoc::restore(const RecoveryRecord& record,
                                        const std::optional<FileStamp>& known) {
    auto doc = std::make_unique<CZuDoc>(QString::fromStdString(record.title));
    DocumentText decoded;
    decoded.text = record.text;
    decoded.breaks = record.breaks;
    decoded.lineBreak = record.lineBreak;
    decoded.variants = record.variants;
    if (const Encoding* encoding = findEncoding(record.encoding))
        decoded.encoding = encoding;
    decoded.byteOrderMark = record.byteOrderMark;
    decoded.rawBytes = static_cast<std::size_t>(
        std::ranges::count_if(decoded.text, [](char16_t c) { return cp932::isRawByte(c); }));
    doc->load(decoded);
    doc->path_ = pathFromBytes(record.path);
    // Saved over a file another program has changed since, the edits would
    // destroy that program's work: Save asks first, as for any document.
    doc->source_ = record.source;
    doc->disk_.know(known);
    // The offer has already told the user of a change made to the file since
    // (or its deletion): the note when the window comes to the front would
    // only say it again.
    doc->disk_.noteForModified(stampOf(record.path), true);
    // What was restored has not been saved yet.
    doc->setModified(true);
    return doc;
}

bool CZuDoc::isModified() const {
    return text_->isModified();
}

void CZuDoc::setModified(bool modified) {
    text_->setModified(modified);
}

void CZuDoc::addView(CZuView* view) {
    views_.push_back(view);
}

void CZuDoc::removeView(CZuView* view) {
    std::erase(views_, view);
}

void CZuDoc::replaceText(std::u16string_view text, std::span<const TagSpan> removed) {
    // Whether a position of the old text lies in a removed range, and how
    // many removed characters stand in front of it; asked in ascending order.
    std::size_t next = 0;
    std::size_t gone = 0;
    const auto fate = [&](std::size_t at) {
        while (next < removed.size() && static_cast<std::size_t>(removed[next].end) <= at) {
            gone += static_cast<std::size_t>(removed[next].end - removed[next].start);
            ++next;
        }
        return next < removed.size() && static_cast<std::size_t>(removed[next].start) <= at;
    };

    // The characters that stay keep the byte forms the file gave them, at
    // the places they now stand.
    DocumentText kept;
    for (const Variant& v : hasVariants_ ? variants() : std::vector<Variant>())
        if (!fate(v.index))
            kept.variants.push_back({v.index - gone, v.code});
    // And the line breaks that stay are written as they were read.
    kept.lineBreak = form_.lineBreak;
    kept.encoding = form_.encoding;
    kept.byteOrderMark = form_.byteOrderMark;
    if (mixedBreaks_) {
        next = gone = 0;
        const std::vector<LineBreak> kinds = breaks();
        const JoinMap& joins = joins_.map();
        JoinedFormats joined;
        std::size_t k = 0;
        for (QTextBlock block = text_->begin().next(); k < kinds.size() && block.isValid();
             block = block.next()) {
            if (joined(block))
                continue;
            const auto at = static_cast<std::size_t>(joins.toSource(block.position() - 1));
            if (!fate(at))
                kept.breaks.push_back(kinds[k]);
            ++k;
        }
    }
    kept.text.assign(text);
    kept.rawBytes = static_cast<std::size_t>(
        std::ranges::count_if(kept.text, [](char16_t c) { return cp932::isRawByte(c); }));
    // Setting the text anew drops the undo history, which names places in
    // the old text.
    load(kept);
    setModified(true);
}

QString CZuDoc::proposedSaveName() const {
    if (!path_.isEmpty())
        return path_;
    return title_ + QStringLiteral(".htm");
}

bool CZuDoc::offerReload() {
    return !path_.isEmpty() && disk_.offerReload(stampOf(pathToBytes(path_)), isModified());
}

DiskChange CZuDoc::noteDiskChange() {
    if (path_.isEmpty())
        return DiskChange::None;
    return disk_.noteForModified(stampOf(pathToBytes(path_)), isModified());
}

bool CZuDoc::fileDeleted() const {
    // Gone, not replaced by a folder or anything else that took its name.
    return !path_.isEmpty() && disk_.deleted(stampOf(pathToBytes(path_))) &&
           kindOf(pathToBytes(path_)) == PathKind::Missing;
}

bool CZuDoc::changedOnDisk() const {
    return !path_.isEmpty() && disk_.warnBeforeSave(stampOf(pathToBytes(path_)));
}

QString CZuDoc::reload() {
    return readAgain(*form_.encoding);
}

QString CZuDoc::reopen(const Encoding& encoding) {
    const QString error = readAgain(encoding);
    if (error.isEmpty())
        emit formChanged();
    return error;
}

QString CZuDoc::readAgain(const Encoding& encoding) {
    // Read as any open reads, then loaded in place of the text: the byte
    // forms, the line breaks and the marks come with it. What could be
    // undone named places in the old text and goes.
    FileBytes file = readWholeFile(pathToBytes(path_), kMaxFileBytes);
    if (file.error != 0)
        return QString::fromStdString(
            fileErrorMessage(file.error, FileOp::Open, displayPath(path_).toStdString()));
    const Encoding& settled = settleByteOrder(encoding, file.bytes);
    const std::uint64_t hash = contentHash(file.bytes);
    DocumentText decoded = decodeDocument(file.bytes, settled);
    declared_ = zu::declaredEncoding(file.bytes);
    file.bytes = std::string();
    load(decoded);
    disk_.know(file.stamp);
    source_ = SourceIdentity{file.stamp, hash};
    sourceEncoding_ = std::string(settled.name());
    setModified(false);
    return {};
}

void CZuDoc::switchEncoding(const Encoding& encoding) {
    form_ = switchedForm(form_, encoding);
    // A page that declares another charset than it is saved in is shown
    // garbled by every browser.
    const QString raw = sourceText();
    if (const auto update = declarationUpdate(asView(raw), encoding)) {
        QTextCursor cursor(text_);
        const auto from = static_cast<long>(update->position);
        cursor.setPosition(toControl(from));
        cursor.setPosition(
            toControl(from + static_cast<long>(update->length), JoinMap::Side::Before),
            QTextCursor::KeepAnchor);
        cursor.beginEditBlock();
        removeSelection(cursor);
        cursor.insertText(QString::fromStdString(update->text));
        cursor.endEditBlock();
        declared_ = &encoding;
    }
    setModified(true);
    emit formChanged();
}

void CZuDoc::setLineBreakStyle(LineBreak style) {
    form_.lineBreak = style;
    // The lines' own break kinds are no longer read; they stay on the lines
    // unused (clearing them would be an edit of its own for Undo).
    mixedBreaks_ = false;
    setModified(true);
    emit formChanged();
}

void CZuDoc::replaceUnencodable(const std::vector<SaveProblem>& problems) {
    // What is saved is what the user sees: the references go into the text
    // too, as one step that Undo takes back.
    // The places are found before the first edit: the joins are known again
    // only once the edit block has ended. From the last one back, an edit
    // moves none of those still to come.
    struct Place {
        int from, to;
        char32_t ch;
    };
    std::vector<Place> places;
    for (const SaveProblem& problem : problems) {
        // A raw byte that joins its neighbour is saved as it is.
        if (problem.kind != SaveProblem::Kind::Unencodable)
            continue;
        const auto at = static_cast<long>(problem.index);
        const int width = problem.ch > 0xFFFF ? 2 : 1;
        places.push_back({toControl(at), toControl(at + width, JoinMap::Side::Before), problem.ch});
    }
    QTextCursor cursor(text_);
    cursor.beginEditBlock();
    for (std::size_t k = places.size(); k-- > 0;) {
        cursor.setPosition(places[k].from);
        cursor.setPosition(places[k].to, QTextCursor::KeepAnchor);
        removeSelection(cursor);
        cursor.insertText(QStringLiteral("&#%1;").arg(static_cast<uint>(places[k].ch)));
    }
    cursor.endEditBlock();
}

void CZuDoc::setWriteJournal(const WriteJournal* j) {
    journal() = j;
}

CZuDoc::SaveResult CZuDoc::saveTo(const QString& path, Unmappable policy) {
    SaveResult result;
    EncodedDocument encoded = encode(Unmappable::Report);
    const bool exact = encoded.problems.empty();
    if (!encoded.problems.empty()) {
        if (policy == Unmappable::Report) {
            result.problems = std::move(encoded.problems);
            return result;
        }
        const std::vector<SaveProblem> problems = std::move(encoded.problems);
        encoded = encode(Unmappable::CharacterReference);
        replaceUnencodable(problems);
    }
    const std::string bytesPath = absolutePath(pathToBytes(path));
    result.write = writeFileAtomically(bytesPath, encoded.bytes, journal());
    if (!result.write)
        return result;
    const std::optional<FileStamp> written = stampOf(bytesPath);
    disk_.know(written);
    source_.reset();
    if (written)
        source_ = SourceIdentity{*written, contentHash(encoded.bytes)};
    // Reading the bytes back gives this text exactly, unless some of it was
    // written as it is though it reads back otherwise (asked about above),
    // or byte forms are kept on characters the encoding does not write.
    sourceEncoding_ = exact && !(hasVariants_ && !form_.encoding->keepsByteForms())
                          ? std::string(form_.encoding->name())
                          : std::string();
    const QString absolute = pathFromBytes(bytesPath);
    const bool renamed = absolute != path_;
    path_ = absolute;
    title_ = displayName(absolute);
    setModified(false);
    if (renamed)
        emit pathChanged();
    emit titleChanged();
    emit fileUsed(path_);
    return result;
}

} // namespace zu
