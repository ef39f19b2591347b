#include "gui/doc/zu_doc.h"

#include "core/doc/doc_messages.h"
#include "core/doc/file_errors.h"
#include "core/doc/file_read.h"
#include "core/text/utf.h"
#include "gui/doc/document_marks.h"

#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace zu {
namespace {

std::u16string_view asView(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

// Gives characters the byte forms a file used for them. Done with Undo
// off: it restores what the text was, it is not an edit.
void applyVariants(QTextDocument* text, std::span<const cp932::Variant> variants) {
    QTextCursor cursor(text);
    for (const cp932::Variant& v : variants) {
        cursor.setPosition(static_cast<int>(v.index));
        cursor.setPosition(static_cast<int>(v.index) + 1, QTextCursor::KeepAnchor);
        QTextCharFormat form;
        form.setProperty(kVariantCodeProperty, static_cast<int>(v.code));
        cursor.mergeCharFormat(form);
    }
}

} // namespace

CZuDoc::CZuDoc(const QString& title, QObject* parent)
    : QObject(parent), text_(new QTextDocument(this)), title_(title) {
    text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
    text_->setModified(false);
    marks_ = new DocumentMarks(text_);
    // Tag colours move with the text, and each new character may bring a
    // byte that is not valid Shift_JIS (pasted from another document), to
    // be marked as soon as it arrives. A file being loaded is marked once
    // it is in.
    connect(text_, &QTextDocument::contentsChange, this, [this](int from, int removed, int added) {
        if (!loading_)
            marks_->follow(from, removed, added);
    });
}

CZuDoc::~CZuDoc() = default;

CZuDoc::OpenResult CZuDoc::open(const QString& path) {
    OpenResult result;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    FileBytes file = readWholeFile(QFile::encodeName(absolute).toStdString(), kMaxFileBytes);
    if (file.error != 0) {
        result.error = QString::fromStdString(
            fileErrorMessage(file.error, FileOp::Open, absolute.toStdString()));
        return result;
    }
    DocumentText decoded = decodeDocument(file.bytes);
    file.bytes = std::string();

    auto doc = std::make_unique<CZuDoc>(QFileInfo(absolute).fileName());
    QTextDocument* text = doc->text_;
    // Loading is not an edit: nothing of it may be undone. The decoder has
    // counted the raw bytes already; the text need not be searched again.
    text->setUndoRedoEnabled(false);
    doc->loading_ = true;
    // The control copies the text in; lending it the decoded buffer instead
    // of a copy keeps one whole copy of a large file out of memory.
    text->setPlainText(QString::fromRawData(reinterpret_cast<const QChar*>(decoded.text.data()),
                                            static_cast<qsizetype>(decoded.text.size())));
    decoded.text = std::u16string();
    applyVariants(text, decoded.variants);
    doc->hasVariants_ = !decoded.variants.empty();
    doc->loading_ = false;
    text->setUndoRedoEnabled(true);
    if (decoded.rawBytes > 0)
        doc->marks_->reset();
    text->setModified(false);

    doc->path_ = absolute;
    doc->lineBreak_ = decoded.lineBreak;
    result.notice = QString::fromStdString(openNotice(doc->title_.toStdString(), decoded));
    result.document = std::move(doc);
    return result;
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

std::vector<cp932::Variant> CZuDoc::variants() const {
    std::vector<cp932::Variant> found;
    for (QTextBlock block = text_->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QVariant code = fragment.charFormat().property(kVariantCodeProperty);
            if (!code.isValid())
                continue;
            for (int i = 0; i < fragment.length(); ++i)
                found.push_back({static_cast<std::size_t>(fragment.position() + i),
                                 static_cast<std::uint16_t>(code.toInt())});
        }
    }
    return found;
}

EncodedDocument CZuDoc::encode(cp932::Unmappable policy) const {
    const QString raw = text_->toRawText();
    const std::vector<cp932::Variant> forms = variants();
    return encodeDocument(asView(raw), lineBreak_, forms, policy);
}

void CZuDoc::replaceText(std::u16string_view text, std::span<const TagSpan> removed) {
    // The byte forms of the characters that stay move to where those
    // characters now stand.
    std::vector<cp932::Variant> kept;
    std::size_t next = 0;
    std::size_t gone = 0;
    for (const cp932::Variant& v : hasVariants_ ? variants() : std::vector<cp932::Variant>()) {
        while (next < removed.size() && static_cast<std::size_t>(removed[next].end) <= v.index) {
            gone += static_cast<std::size_t>(removed[next].end - removed[next].start);
            ++next;
        }
        if (next < removed.size() && static_cast<std::size_t>(removed[next].start) <= v.index)
            continue;
        kept.push_back({v.index - gone, v.code});
    }

    // Setting the text anew drops the undo history, which names places in
    // the old text; with it off, neither the text nor the byte forms are
    // recorded.
    loading_ = true;
    text_->setUndoRedoEnabled(false);
    text_->setPlainText(QString::fromRawData(reinterpret_cast<const QChar*>(text.data()),
                                             static_cast<qsizetype>(text.size())));
    applyVariants(text_, kept);
    hasVariants_ = !kept.empty();
    text_->setUndoRedoEnabled(true);
    loading_ = false;
    marks_->reset();
    setModified(true);
}

QString CZuDoc::proposedSaveName() const {
    if (!path_.isEmpty())
        return path_;
    return title_ + QStringLiteral(".htm");
}

void CZuDoc::replaceUnencodable(const std::vector<SaveProblem>& problems) {
    // What is saved is what the user sees: the references go into the text
    // too, as one step that Undo takes back.
    QTextCursor cursor(text_);
    cursor.beginEditBlock();
    for (auto it = problems.rbegin(); it != problems.rend(); ++it) {
        const int width = it->ch > 0xFFFF ? 2 : 1;
        cursor.setPosition(static_cast<int>(it->index));
        cursor.setPosition(static_cast<int>(it->index) + width, QTextCursor::KeepAnchor);
        cursor.insertText(QStringLiteral("&#%1;").arg(static_cast<uint>(it->ch)));
    }
    cursor.endEditBlock();
}

CZuDoc::SaveResult CZuDoc::saveTo(const QString& path, cp932::Unmappable policy) {
    SaveResult result;
    EncodedDocument encoded = encode(cp932::Unmappable::Report);
    if (!encoded.problems.empty()) {
        if (policy == cp932::Unmappable::Report) {
            result.problems = std::move(encoded.problems);
            return result;
        }
        const std::vector<SaveProblem> problems = std::move(encoded.problems);
        encoded = encode(cp932::Unmappable::CharacterReference);
        replaceUnencodable(problems);
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    result.write = writeFileAtomically(QFile::encodeName(absolute).toStdString(), encoded.bytes);
    if (!result.write)
        return result;
    const bool renamed = absolute != path_;
    path_ = absolute;
    title_ = QFileInfo(absolute).fileName();
    setModified(false);
    if (renamed)
        emit pathChanged();
    emit titleChanged();
    emit fileUsed(path_);
    return result;
}

} // namespace zu
