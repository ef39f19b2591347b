#include "gui/doc/zu_doc.h"

#include "core/doc/doc_messages.h"
#include "core/doc/encoding_rules.h"
#include "core/doc/file_errors.h"
#include "core/doc/file_read.h"
#include "core/text/detect_encoding.h"
#include "core/text/utf.h"

#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace zu {
namespace {

std::u16string_view asView(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

// Shows the bytes that did not decode in the document's encoding, which the
// text holds as private-use characters, so that the user sees them and can
// leave them be.
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
            if (isRawByteChar(data[i].unicode()))
                setFormat(static_cast<int>(i), 1, mark);
    }
};

bool containsRawByte(std::u16string_view text) {
    for (char16_t c : text)
        if (isRawByteChar(c))
            return true;
    return false;
}

} // namespace

CZuDoc::CZuDoc(const QString& title, QObject* parent)
    : QObject(parent), text_(new QTextDocument(this)), title_(title) {
    text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
    text_->setModified(false);
    // Each new character may bring a byte that did not decode (pasted from
    // another document); mark it as soon as it arrives.
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
    const QString absolute = QFileInfo(path).absoluteFilePath();
    FileBytes file = readWholeFile(QFile::encodeName(absolute).toStdString(), kMaxFileBytes);
    if (file.error != 0) {
        result.error = QString::fromStdString(
            fileErrorMessage(file.error, FileOp::Open, absolute.toStdString()));
        return result;
    }
    DocumentText decoded = decodeDetected(file.bytes);
    file.bytes = std::string();

    auto doc = std::make_unique<CZuDoc>(QFileInfo(absolute).fileName());
    doc->path_ = absolute;
    result.notice = QString::fromStdString(openNotice(doc->title_.toStdString(), decoded));
    doc->load(std::move(decoded));
    result.document = std::move(doc);
    return result;
}

QString CZuDoc::reopen(const Encoding& encoding) {
    FileBytes file = readWholeFile(QFile::encodeName(path_).toStdString(), kMaxFileBytes);
    if (file.error != 0)
        return QString::fromStdString(
            fileErrorMessage(file.error, FileOp::Open, path_.toStdString()));
    DocumentText decoded = decodeDocument(file.bytes, settleByteOrder(encoding, file.bytes));
    file.bytes = std::string();
    load(std::move(decoded));
    emit formChanged();
    return {};
}

void CZuDoc::load(DocumentText decoded) {
    QTextDocument* text = text_;
    // Loading is not an edit: nothing of it may be undone. The decoder has
    // counted the raw bytes already; the text need not be searched again.
    text->setUndoRedoEnabled(false);
    loading_ = true;
    // The control copies the text in; lending it the decoded buffer instead
    // of a copy keeps one whole copy of a large file out of memory.
    text->setPlainText(QString::fromRawData(reinterpret_cast<const QChar*>(decoded.text.data()),
                                            static_cast<qsizetype>(decoded.text.size())));
    decoded.text = std::u16string();
    if (!decoded.variants.empty()) {
        QTextCursor cursor(text);
        for (const Variant& v : decoded.variants) {
            cursor.setPosition(static_cast<int>(v.index));
            cursor.setPosition(static_cast<int>(v.index) + 1, QTextCursor::KeepAnchor);
            QTextCharFormat form;
            form.setProperty(kVariantCodeProperty, static_cast<int>(v.code));
            cursor.mergeCharFormat(form);
        }
    }
    mixedBreaks_ = decoded.mixedBreaks;
    if (decoded.mixedBreaks) {
        // Only the breaks unlike the most frequent style are marked.
        QTextBlock block = text->begin().next();
        for (std::size_t k = 0; k < decoded.breaks.size() && block.isValid();
             ++k, block = block.next()) {
            if (decoded.breaks[k] == decoded.lineBreak)
                continue;
            QTextBlockFormat format = block.blockFormat();
            format.setProperty(kBreakBeforeProperty, static_cast<int>(decoded.breaks[k]));
            QTextCursor(block).setBlockFormat(format);
        }
    }
    loading_ = false;
    text->setUndoRedoEnabled(true);
    if (decoded.rawBytes > 0)
        markRawBytes();
    text->setModified(false);
    form_ = decoded.form();
}

void CZuDoc::switchEncoding(const Encoding& encoding) {
    form_ = switchedForm(form_, encoding);
    // A page that declares another charset than it is saved in is shown
    // garbled by every browser.
    const QString raw = text_->toRawText();
    if (const auto update = declarationUpdate(asView(raw), encoding)) {
        QTextCursor cursor(text_);
        cursor.setPosition(static_cast<int>(update->position));
        cursor.setPosition(static_cast<int>(update->position + update->length),
                           QTextCursor::KeepAnchor);
        cursor.insertText(QString::fromStdString(update->text));
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

std::vector<Variant> CZuDoc::variants() const {
    std::vector<Variant> found;
    if (!form_.encoding->keepsByteForms())
        return found;
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

std::vector<LineBreak> CZuDoc::breaks() const {
    std::vector<LineBreak> kinds;
    if (!mixedBreaks_)
        return kinds; // every break in the most frequent style
    kinds.reserve(static_cast<std::size_t>(text_->blockCount()));
    for (QTextBlock block = text_->begin().next(); block.isValid(); block = block.next()) {
        const QVariant kind = block.blockFormat().property(kBreakBeforeProperty);
        kinds.push_back(kind.isValid() ? static_cast<LineBreak>(kind.toInt()) : form_.lineBreak);
    }
    return kinds;
}

EncodedDocument CZuDoc::encode(Unmappable policy) const {
    const QString raw = text_->toRawText();
    const std::vector<Variant> forms = variants();
    return encodeDocument(asView(raw), form_, forms, policy, breaks());
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
        // A raw byte that joins its neighbour is saved as it is.
        if (it->kind != SaveProblem::Kind::Unencodable)
            continue;
        const int width = it->ch > 0xFFFF ? 2 : 1;
        cursor.setPosition(static_cast<int>(it->index));
        cursor.setPosition(static_cast<int>(it->index) + width, QTextCursor::KeepAnchor);
        cursor.insertText(QStringLiteral("&#%1;").arg(static_cast<uint>(it->ch)));
    }
    cursor.endEditBlock();
}

CZuDoc::SaveResult CZuDoc::saveTo(const QString& path, Unmappable policy) {
    SaveResult result;
    EncodedDocument encoded = encode(Unmappable::Report);
    if (!encoded.problems.empty()) {
        if (policy == Unmappable::Report) {
            result.problems = std::move(encoded.problems);
            return result;
        }
        const std::vector<SaveProblem> problems = std::move(encoded.problems);
        encoded = encode(Unmappable::CharacterReference);
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
