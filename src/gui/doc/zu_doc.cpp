#include "gui/doc/zu_doc.h"

#include "core/convert/page_declarations.h"
#include "core/doc/content_hash.h"
#include "core/doc/doc_messages.h"
#include "core/doc/encoding_rules.h"
#include "core/doc/file_errors.h"
#include "core/doc/file_read.h"
#include "core/text/detect_encoding.h"
#include "core/text/utf.h"
#include "gui/doc/document_edit.h"
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
    : QObject(parent), text_(new TextModel(this)), title_(title) {}

CZuDoc::~CZuDoc() = default;

CZuDoc::OpenResult CZuDoc::open(const FilePath& path) {
    OpenResult result;
    const FilePath absolute(absolutePath(path.bytes()));
    FileBytes file = readWholeFile(absolute.bytes(), kMaxFileBytes);
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
    doc->takeFile(absolute, stamp, hash, decoded);
    result.notice = QString::fromStdString(openNotice(doc->title_.toStdString(), decoded));
    result.document = std::move(doc);
    return result;
}

void CZuDoc::takeFile(const FilePath& absolute, const FileStamp& stamp, std::uint64_t hash,
                      const DocumentText& decoded) {
    form_ = decoded.form();
    text_->setDeclaredEncoding(decoded.declared);
    path_ = absolute;
    disk_.know(stamp);
    source_ = SourceIdentity{stamp, hash};
    // Read in the encoding found, which reading in that encoding gives again.
    sourceEncoding_ = std::string(decoded.encoding->name());
    // Last: whoever learns that the document is as its file now asks what
    // that file is.
    text_->setModified(false);
    emit formChanged();
}

RecoveryRecord CZuDoc::recoveryRecord() const {
    RecoveryRecord r;
    r.title = title_.toStdString();
    r.path = path_.bytes();
    r.encoding = std::string(form_.encoding->name());
    r.byteOrderMark = form_.byteOrderMark;
    r.lineBreak = form_.lineBreak;
    r.breaks = text_->breaks(form_.lineBreak);
    r.variants = text_->variants(*form_.encoding);
    const QString raw = text_->sourceText();
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
    doc->path_ = FilePath(record.path);
    // Saved over a file another program has changed since, the edits would
    // destroy that program's work: Save asks first, as for any document.
    doc->source_ = record.source;
    doc->disk_.know(known);
    // The offer has already told the user of a change made to the file since
    // (or its deletion): the note when the window comes to the front would
    // only say it again.
    doc->disk_.noteForModified(stampOf(record.path), true);
    // What was restored has not been saved yet.
    doc->text_->setModified(true);
    return doc;
}

std::optional<RecoveryWriter::FileBase> CZuDoc::fileBase() const {
    if (path_.empty() || !source_ || sourceEncoding_.empty())
        return std::nullopt;
    return RecoveryWriter::FileBase{path_.bytes(), *source_, sourceEncoding_};
}

void CZuDoc::load(DocumentText& decoded) {
    form_ = decoded.form();
    text_->load(decoded);
}

void CZuDoc::addView(CZuView* view) {
    views_.push_back(view);
}

void CZuDoc::removeView(CZuView* view) {
    std::erase(views_, view);
}

bool CZuDoc::offerReload() {
    return !path_.empty() && disk_.offerReload(stampOf(path_.bytes()), text_->isModified());
}

DiskChange CZuDoc::noteDiskChange() {
    if (path_.empty())
        return DiskChange::None;
    return disk_.noteForModified(stampOf(path_.bytes()), text_->isModified());
}

bool CZuDoc::fileDeleted() const {
    // Gone, not replaced by a folder or anything else that took its name.
    return !path_.empty() && disk_.deleted(stampOf(path_.bytes())) &&
           kindOf(path_.bytes()) == PathKind::Missing;
}

bool CZuDoc::changedOnDisk() const {
    return !path_.empty() && disk_.warnBeforeSave(stampOf(path_.bytes()));
}

QString CZuDoc::reload(const Encoding* in) {
    const Encoding& encoding = in ? *in : *form_.encoding;
    // Read as any open reads, then loaded in place of the text: the byte
    // forms, the line breaks and the marks come with it. What could be
    // undone named places in the old text and goes.
    FileBytes file = readWholeFile(path_.bytes(), kMaxFileBytes);
    if (file.error != 0)
        return QString::fromStdString(
            fileErrorMessage(file.error, FileOp::Open, displayPath(path_).toStdString()));
    const std::uint64_t hash = contentHash(file.bytes);
    DocumentText decoded = decodeChosen(file.bytes, encoding);
    file.bytes = std::string();
    load(decoded);
    takeFile(path_, file.stamp, hash, decoded);
    if (in)
        emit formChanged();
    return {};
}

std::vector<std::string> CZuDoc::switchEncoding(const Encoding& encoding) {
    form_ = switchedForm(form_, encoding);
    // A page that declares another charset than it is saved in is shown
    // garbled by every browser.
    const QString raw = text_->sourceText();
    const auto add = convert::isPageName(path_.bytes()) ? convert::AddDeclaration::IfMissing
                                                        : convert::AddDeclaration::Never;
    const convert::DeclarationPlan plan = convert::planDeclarations(asView(raw), encoding, add);
    if (!plan.edits.empty()) {
        std::vector<DocumentEdit::Replacement> places;
        for (const TextReplacement& e : plan.edits) {
            const auto from = static_cast<long>(e.position);
            places.push_back(
                {{from, from + static_cast<long>(e.length)}, QString::fromStdString(e.text)});
        }
        std::ranges::sort(places, {}, [](const auto& r) { return r.range.from; });
        DocumentEdit edit(*this, places.front().range.from);
        edit.replace(places);
        text_->setDeclaredEncoding(&encoding);
    }
    text_->setModified(true);
    emit formChanged();
    std::vector<std::string> notes;
    for (const convert::CharsetMention& link : plan.leftAlone)
        notes.push_back(convert::leftAloneNote(link));
    return notes;
}

void CZuDoc::setLineBreakStyle(LineBreak style) {
    form_.lineBreak = style;
    // The lines' own break kinds are no longer read; they stay on the lines
    // unused (clearing them would be an edit of its own for Undo).
    text_->forgetBreakKinds();
    text_->setModified(true);
    emit formChanged();
}

void CZuDoc::replaceUnencodable(const std::vector<SaveProblem>& problems) {
    // What is saved is what the user sees: the references go into the text
    // too, as one step that Undo takes back.
    std::vector<DocumentEdit::Replacement> places;
    for (const SaveProblem& problem : problems) {
        // A raw byte that joins its neighbour is saved as it is.
        if (problem.kind != SaveProblem::Kind::Unencodable)
            continue;
        const auto at = static_cast<long>(problem.index);
        const int width = problem.ch > 0xFFFF ? 2 : 1;
        places.push_back(
            {{at, at + width}, QStringLiteral("&#%1;").arg(static_cast<uint>(problem.ch))});
    }
    DocumentEdit(*this).replace(places);
}

void setWriteJournal(const WriteJournal* j) {
    journal() = j;
}

CZuDoc::SaveResult CZuDoc::saveTo(const FilePath& path, Unmappable policy) {
    SaveResult result;
    // Encoded and written in pieces: a large document's text is never held
    // whole once more besides its bytes.
    PieceEncoder encoded = text_->encodeInPieces(form_, Unmappable::Report);
    const bool exact = encoded.problems.empty();
    if (!encoded.problems.empty()) {
        if (policy == Unmappable::Report) {
            result.problems = std::move(encoded.problems);
            return result;
        }
        const std::vector<SaveProblem> problems = std::move(encoded.problems);
        encoded = text_->encodeInPieces(form_, Unmappable::CharacterReference);
        replaceUnencodable(problems);
    }
    const std::vector<std::string_view> pieces(encoded.pieces.begin(), encoded.pieces.end());
    const FilePath absolute(absolutePath(path.bytes()));
    result.write = writeFileAtomically(absolute.bytes(), pieces, journal());
    if (!result.write)
        return result;
    const std::optional<FileStamp> written = stampOf(absolute.bytes());
    disk_.know(written);
    source_.reset();
    if (written) {
        ContentHash hash;
        for (const std::string_view piece : pieces)
            hash.update(piece);
        source_ = SourceIdentity{*written, hash.digest()};
    }
    // Reading the bytes back gives this text exactly, unless some of it was
    // written as it is though it reads back otherwise (asked about above),
    // or byte forms are kept on characters the encoding does not write.
    sourceEncoding_ = exact && !(text_->hasVariants() && !form_.encoding->keepsByteForms())
                          ? std::string(form_.encoding->name())
                          : std::string();
    const bool renamed = absolute != path_;
    path_ = absolute;
    title_ = displayName(absolute);
    text_->setModified(false);
    if (renamed)
        emit pathChanged();
    emit titleChanged();
    emit fileUsed(path_);
    return result;
}

} // namespace zu
