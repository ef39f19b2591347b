#pragma once
// gui/doc: the document (CZuDoc) and its save and close commands.
//
// One HTML source document: its text (held by a QTextDocument that every
// view of it shares), where it lives on disk, its encoding and its
// line-break style. It
// opens and saves and reports how that went; it never asks the user anything
// (the commands in doc_commands.h do).

#include "core/doc/atomic_write.h"
#include "core/text/document_text.h"

#include <QObject>
#include <QString>
#include <QTextFormat>

#include <memory>
#include <string>
#include <vector>

class QSyntaxHighlighter;
class QTextDocument;
class QWidget;

namespace zu {
class CZuView;

// Properties the document puts on the text to remember what the file's bytes
// were. They are invisible and never saved as such.
//  - A character format property on a character the file wrote in its
//    non-default byte form: the two bytes it used.
//  - A block format property on a line that follows a break the file wrote
//    other than in its most frequent style: that break's LineBreak. A block
//    format, because the editing control keeps it with the line through
//    edits, Undo and Redo; a break the user makes starts a line without it
//    (the view sees to that) and is written in the most frequent style.
inline constexpr int kVariantCodeProperty = QTextFormat::UserProperty + 1;
inline constexpr int kBreakBeforeProperty = QTextFormat::UserProperty + 2;

class CZuDoc : public QObject {
    Q_OBJECT
public:
    // A new, empty, unmodified document with the given title ("Zu1").
    explicit CZuDoc(const QString& title, QObject* parent = nullptr);
    ~CZuDoc() override;

    struct OpenResult {
        std::unique_ptr<CZuDoc> document;
        QString error;  // the message to show when document is null
        QString notice; // a status-bar remark about the file, when there is one
    };
    // Loads a file in the encoding detectEncoding finds. Fails with the
    // message the user should see; never cut.
    static OpenResult open(const QString& path);

    // Reads the document's file again in `encoding` (for UTF-16, in the
    // byte order the file shows), replacing the text; what Undo held goes.
    // Returns the message to show when the file cannot be read, else empty.
    // Only for an unmodified document with a file (canReopen).
    QString reopen(const Encoding& encoding);

    // Files above this size are refused whole rather than held in part.
    static constexpr std::size_t kMaxFileBytes = 512u << 20;

    QTextDocument* textDocument() const { return text_; }
    QString pathName() const { return path_; }
    QString title() const { return title_; }
    LineBreak lineBreak() const { return form_.lineBreak; }
    const Encoding& encoding() const { return *form_.encoding; }
    const TextForm& form() const { return form_; }
    // Whether the file's breaks disagree, each being kept as it was.
    bool hasMixedBreaks() const { return mixedBreaks_; }
    // The charset the generic form and quick create declare for this
    // document: "x-sjis" for CP932, else the encoding's IANA name.
    std::string charsetName() const { return std::string(form_.encoding->charset()); }

    // The next save writes `encoding` (the document is then modified); a
    // charset the page declares is changed to match, as one step Undo
    // takes back.
    void switchEncoding(const Encoding& encoding);
    // The next save writes every line break in `style`, the file's own
    // breaks too; the document is then modified.
    void setLineBreakStyle(LineBreak style);
    bool isModified() const;
    void setModified(bool modified);

    // Views showing this document, the first one opened first.
    const std::vector<CZuView*>& views() const { return views_; }
    void addView(CZuView* view);
    void removeView(CZuView* view);

    // The bytes the file would hold now. Characters the encoding cannot hold
    // are listed in `problems` unless `policy` writes them as references.
    EncodedDocument encode(Unmappable policy) const;

    struct SaveResult {
        // With Unmappable::Report: the characters that stopped the save.
        std::vector<SaveProblem> problems;
        WriteResult write; // why writing failed
        bool saved() const { return problems.empty() && static_cast<bool>(write); }
    };
    // Writes the document to `path` and makes it the document's file. With
    // Unmappable::CharacterReference the references go into the text too, as
    // one step that Undo takes back, so that what is shown is what is saved.
    // Asks nothing and shows nothing: the caller tells the user.
    SaveResult saveTo(const QString& path, Unmappable policy);

    // The name proposed in the save dialog.
    QString proposedSaveName() const;

    // Asks every window of this document to close, without a question.
    void requestClose() { emit closeRequested(); }

signals:
    void titleChanged();
    void pathChanged();
    // After a successful open or save, for the recent-file list.
    void fileUsed(const QString& path);
    // Asks the frames to close every window of this document.
    void closeRequested();
    // The encoding or the line-break style changed.
    void formChanged();

private:
    void load(DocumentText decoded);
    void replaceUnencodable(const std::vector<SaveProblem>& problems);
    std::vector<Variant> variants() const;
    void markRawBytes();

    QTextDocument* text_;
    QSyntaxHighlighter* rawMarker_ = nullptr;
    QString path_;
    QString title_;
    std::vector<LineBreak> breaks() const;

    // New documents: CP932 and CR LF.
    TextForm form_;
    // Whether the lines' kBreakBeforeProperty counts: only a file with
    // mixed breaks has them, and the others need not be searched for them.
    bool mixedBreaks_ = false;
    bool loading_ = false;
    std::vector<CZuView*> views_;
};

} // namespace zu
