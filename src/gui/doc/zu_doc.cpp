#include "gui/doc/zu_doc.h"

#include "core/doc/doc_messages.h"
#include "core/doc/file_errors.h"
#include "core/doc/file_read.h"
#include "core/text/utf.h"
#include "gui/widgets/file_names.h"

#include <QPlainTextDocumentLayout>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace zu {
namespace {

std::u16string_view asView(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

// Shows the bytes that are not valid Shift_JIS, which the text holds as
// private-use characters, so that the user sees them and can leave them be.
class RawByteMarker final : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString& text) override {
        QTextCharFormat mark;
        mark.setBackground(QColor(255, 200, 200));
        mark.setForeground(QColor(160, 0, 0));
        const QChar* data = text.constData();
        for (qsizetype i = 0; i < text.size(); ++i)
            if (cp932::isRawByte(data[i].unicode()))
                setFormat(static_cast<int>(i), 1, mark);
    }
};

bool containsRawByte(std::u16string_view text) {
    for (char16_t c : text)
        if (cp932::isRawByte(c))
            return true;
    return false;
}

} // namespace

CZuDoc::CZuDoc(const QString& title, QObject* parent)
    : QObject(parent), text_(new QTextDocument(this)), title_(title) {
    text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
    text_->setModified(false);
    // Each new character may bring a byte that is not valid Shift_JIS
    // (pasted from another document); mark it as soon as it arrives.
    connect(text_, &QTextDocument::contentsChange, this, [this](int from, int, int added) {
        if (rawMarker_ || loading_ || added <= 0)
            return;
        QTextCursor c(text_);
        c.setPosition(from);
        c.setPosition(std::min(from + added, text_->characterCount() - 1), QTextCursor::KeepAnchor);
        if (containsRawByte(asView(c.selectedText())))
            markRawBytes();
    });
}

CZuDoc::~CZuDoc() = default;

void CZuDoc::markRawBytes() {
    if (!rawMarker_)
        rawMarker_ = new RawByteMarker(text_);
}

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
    DocumentText decoded = decodeDocument(file.bytes);
    file.bytes = std::string();

    auto doc = std::make_unique<CZuDoc>(displayName(absolute));
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
    if (!decoded.variants.empty()) {
        QTextCursor cursor(text);
        for (const cp932::Variant& v : decoded.variants) {
            cursor.setPosition(static_cast<int>(v.index));
            cursor.setPosition(static_cast<int>(v.index) + 1, QTextCursor::KeepAnchor);
            QTextCharFormat form;
            form.setProperty(kVariantCodeProperty, static_cast<int>(v.code));
            cursor.mergeCharFormat(form);
        }
    }
    doc->loading_ = false;
    text->setUndoRedoEnabled(true);
    if (decoded.rawBytes > 0)
        doc->markRawBytes();
    text->setModified(false);

    doc->path_ = absolute;
    doc->disk_.know(stamp);
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

QString CZuDoc::proposedSaveName() const {
    if (!path_.isEmpty())
        return path_;
    return title_ + QStringLiteral(".htm");
}

bool CZuDoc::offerReload() {
    return !path_.isEmpty() && disk_.offerReload(stampOf(pathToBytes(path_)), isModified());
}

bool CZuDoc::changedOnDisk() const {
    return !path_.isEmpty() && disk_.warnBeforeSave(stampOf(pathToBytes(path_)));
}

QString CZuDoc::reload() {
    // Read as any open reads, then taken over whole: the text with every
    // property open put on its characters, and what open learnt of the file.
    OpenResult fresh = open(path_);
    if (!fresh.document)
        return fresh.error;
    CZuDoc& from = *fresh.document;
    loading_ = true;
    text_->setUndoRedoEnabled(false);
    QTextCursor cursor(text_);
    cursor.select(QTextCursor::Document);
    cursor.insertFragment(QTextDocumentFragment(from.text_));
    text_->setUndoRedoEnabled(true);
    loading_ = false;
    if (from.rawMarker_)
        markRawBytes();
    lineBreak_ = from.lineBreak_;
    disk_ = from.disk_;
    setModified(false);
    return {};
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
    const std::string bytesPath = absolutePath(pathToBytes(path));
    result.write = writeFileAtomically(bytesPath, encoded.bytes);
    if (!result.write)
        return result;
    disk_.know(stampOf(bytesPath));
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
