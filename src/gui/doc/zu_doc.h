#pragma once
// gui/doc: the document (CZuDoc) and its save and close commands.
//
// One HTML source document: its text (held by a QTextDocument that every
// view of it shares), where it lives on disk and its line-break style. It
// opens and saves and reports how that went; it never asks the user anything
// (the commands in doc_commands.h do).

#include "core/doc/atomic_write.h"
#include "core/doc/disk_watch.h"
#include "core/doc/file_read.h"
#include "core/doc/recovery.h"
#include "core/tags/tag_spans.h"
#include "core/text/document_text.h"
#include "core/text/fill_pieces.h"
#include "gui/doc/document_joins.h"
#include "gui/doc/text_properties.h"

#include <QObject>
#include <QString>
#include <QTextFormat>

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QTextCursor;
class QTextDocument;
class QWidget;

namespace zu {
class CZuView;
class DocumentMarks;

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
    // Loads a file. Fails with the message the user should see; never cut.
    // `path` is as file_names.h makes it from the bytes of the path.
    static OpenResult open(const QString& path);

    // A new window's document made from a recovery copy: modified, with the
    // title, file and text the copy kept. `known` is the version of the
    // file its Save compares with the file on disk: the one the edits were
    // made to, unless the file holds the very same bytes again.
    static std::unique_ptr<CZuDoc> restore(const RecoveryRecord& record,
                                           const std::optional<FileStamp>& known = {});
    // What a recovery copy keeps of the document now.
    RecoveryRecord recoveryRecord() const;
    // The same without the text.
    RecoveryForm recoveryForm() const;
    // The text between two control positions as a recovery copy's edit: its
    // source position, text, breaks and byte forms. What it replaced, and
    // the length after it, are for the caller to fill in.
    RecoveryEdit recoveryEdit(int controlFrom, int controlTo) const;
    // The version of its file the document was last read from or saved to.
    const std::optional<SourceIdentity>& source() const { return source_; }
    // The encoding in which that version's bytes read back as the text was
    // then, exactly; empty when they do not (the text was not made from
    // them, or saving changed what reading them would give).
    const std::string& sourceEncoding() const { return sourceEncoding_; }

    // Files above this size are refused whole rather than held in part.
    static constexpr std::size_t kMaxFileBytes = kMaxDocumentBytes;

    QTextDocument* textDocument() const { return text_; }
    QString pathName() const { return path_; }
    QString title() const { return title_; }
    LineBreak lineBreak() const { return form_.lineBreak; }
    const Encoding& encoding() const { return *form_.encoding; }
    const TextForm& form() const { return form_; }
    // The encoding the page declares, as it was when the file was read or
    // its declaration last rewritten; null when none.
    const Encoding* declaredEncoding() const { return declared_; }
    bool hasMixedBreaks() const { return mixedBreaks_; }
    // The charset a page of this document declares: "x-sjis" for Shift_JIS,
    // else the encoding's own name ("UTF-8", "EUC-JP"...).
    std::string charsetName() const { return std::string(form_.encoding->charset()); }

    // The encoding and the line-break style the next save writes. Changing
    // the encoding also rewrites a charset the page declares; changing the
    // style rewrites every break. The document is then modified.
    void switchEncoding(const Encoding& encoding);
    void setLineBreakStyle(LineBreak style);
    bool isModified() const;
    void setModified(bool modified);

    // Views showing this document, the first one opened first.
    const std::vector<CZuView*>& views() const { return views_; }
    void addView(CZuView* view);
    void removeView(CZuView* view);

    // The bytes the file would hold now. Characters Shift_JIS cannot hold are
    // listed in `problems` unless `policy` writes them as references.
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
    // Where saves note themselves while they run (the program's one
    // journal; none in tests that do not set it).
    static void setWriteJournal(const WriteJournal* journal);

    // What is shown over the text without being part of it: tag colours and
    // the marks on raw bytes.
    DocumentMarks& marks() const { return *marks_; }

    // The text as the file holds it: every line ends in U+2029, as the
    // editing control ends its paragraphs, and the soft joins of long lines
    // are left out. Every command that names places in the text names them
    // in this text (source positions); the control counts one more place at
    // each join (control positions).
    QString sourceText() const;
    // The source text of the control positions from..to; line breaks as '\n'.
    QString sourceText(int from, int to) const;
    long toSource(int control) const { return joins_.map().toSource(control); }
    int toControl(long source, JoinMap::Side side = JoinMap::Side::After) const {
        return static_cast<int>(joins_.map().toControl(source, side));
    }
    long sourceLength() const;
    DocumentJoins& joins() { return joins_; }
    const JoinMap& joinMap() const { return joins_.map(); }
    // The document that holds `text`, if a document does.
    static CZuDoc* of(QTextDocument* text);

    // How long a line may be before it is shown in pieces. Tests lower it,
    // so that a line of a few characters already meets joins: for this
    // document, or for the documents made after the call.
    std::size_t joinBound() const { return joinBound_; }
    void setJoinBound(std::size_t bound) { joinBound_ = bound; }
    static std::size_t defaultJoinBound();
    static void setDefaultJoinBound(std::size_t bound);

    // Replaces the whole text by `text`, which is the old text with the
    // ascending ranges `removed` taken out. The characters that stay keep
    // the byte forms the file gave them. It cannot be undone: the undo
    // history, which names places in the old text, is dropped. The document
    // is then modified.
    void replaceText(std::u16string_view text, std::span<const TagSpan> removed);

    // The name proposed in the save dialog.
    QString proposedSaveName() const;

    // Whether another program has changed the file since zu last read or
    // wrote it: offered for reloading once per version while the document
    // is unmodified, and warned about before a save writes over it.
    bool offerReload();
    bool changedOnDisk() const;
    // For a modified document: whether to tell the user, once, that another
    // program changed or deleted the file; and whether the file is gone.
    DiskChange noteDiskChange();
    bool fileDeleted() const;
    // Reads the file again into this document, in every window. Empty on
    // success, else the message to show; the document is then unchanged.
    QString reload();
    // Reads the document's file again in `encoding` (for UTF-16, in the
    // byte order the file shows), replacing the text; what Undo held goes.
    // Empty on success, else the message to show. Only for an unmodified
    // document with a file.
    QString reopen(const Encoding& encoding);

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
    void replaceUnencodable(const std::vector<SaveProblem>& problems);
    std::vector<Variant> variants() const;

    QTextDocument* text_;
    DocumentMarks* marks_ = nullptr;
    QString path_;
    QString title_;
    std::vector<LineBreak> breaks() const;
    // Fills the (empty) document with decoded text, its byte forms and
    // breaks; `decoded.text` is taken.
    void load(DocumentText& decoded);
    // The same in steps, for a load that lets the window answer between
    // pieces (TextLoad): begin, the pieces in order, end with the text's
    // join points.
    void beginLoad(const DocumentText& decoded);
    static void insertPiece(QTextCursor& cursor, std::u16string_view all, const FillPiece& piece);
    void endLoad(DocumentText& decoded, const std::vector<std::size_t>& joins);
    // What opening or reading the file again leaves known of it.
    void takeSource(const QString& absolute, const FileStamp& stamp, std::uint64_t hash,
                    const DocumentText& decoded);
    friend class TextLoad;
    QString readAgain(const Encoding& encoding);

    TextForm form_; // the encoding, its byte-order mark, the style of new breaks
    const Encoding* declared_ = nullptr;
    // Whether any line carries kBreakBeforeProperty: only a file with mixed
    // breaks has them, and the others need not be searched for them.
    bool mixedBreaks_ = false;
    DiskWatch disk_;
    std::optional<SourceIdentity> source_;
    std::string sourceEncoding_;
    bool loading_ = false;
    // Whether any character carries a byte form: only loading gives them,
    // and most files have none, which spares a look through the text.
    bool hasVariants_ = false;
    DocumentJoins joins_;
    std::size_t joinBound_;
    std::vector<CZuView*> views_;
};

} // namespace zu
