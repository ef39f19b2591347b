#pragma once
// gui/doc: the document (CZuDoc) and its save and close commands.
//
// One HTML source document: its text (a TextModel, whose QTextDocument every
// view of it shares), where it lives on disk, its encoding and line-break
// style, and what its recovery copy keeps. It opens and saves and reports how
// that went; it never asks the user anything (the commands in
// doc_commands.h do).

#include "core/doc/atomic_write.h"
#include "core/doc/disk_watch.h"
#include "core/doc/file_read.h"
#include "core/doc/recovery.h"
#include "core/doc/recovery_writer.h"
#include "core/tags/tag_spans.h"
#include "core/text/document_text.h"
#include "core/text/file_path.h"
#include "gui/doc/text_model.h"

#include <QObject>
#include <QString>

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zu {
class CZuView;

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
    static OpenResult open(const FilePath& path);

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
    // The version of its file the document was last read from or saved to,
    // when those bytes, read in the encoding named, give the text as it was
    // then, exactly (it was not made from them, or saving changed what
    // reading them would give, when they do not).
    std::optional<RecoveryWriter::FileBase> fileBase() const;

    // Files above this size are refused whole rather than held in part.
    static constexpr std::size_t kMaxFileBytes = kMaxDocumentBytes;

    // The text, its pieces, marks and positions (text_model.h).
    TextModel& text() const { return *text_; }
    const FilePath& pathName() const { return path_; }
    QString title() const { return title_; }
    // The encoding, its byte-order mark and the style of new breaks.
    const TextForm& form() const { return form_; }

    // The encoding and the line-break style the next save writes. Changing
    // the encoding also rewrites every charset the page declares (or adds a
    // <meta charset> to a page that has none); changing the style rewrites
    // every break. The document is then modified. Returns what was left
    // alone: the charsets of links, which name other files' encodings.
    std::vector<std::string> switchEncoding(const Encoding& encoding);
    void setLineBreakStyle(LineBreak style);

    // Views showing this document, the first one opened first.
    const std::vector<CZuView*>& views() const { return views_; }
    void addView(CZuView* view);
    void removeView(CZuView* view);

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
    SaveResult saveTo(const FilePath& path, Unmappable policy);

    // Whether another program has changed the file since zu last read or
    // wrote it: offered for reloading once per version while the document
    // is unmodified, and warned about before a save writes over it.
    bool offerReload();
    bool changedOnDisk() const;
    // For a modified document: whether to tell the user, once, that another
    // program changed or deleted the file; and whether the file is gone.
    DiskChange noteDiskChange();
    bool fileDeleted() const;
    // Reads the file again into this document, in every window: in
    // `encoding` when one is given (for UTF-16, in the byte order the file
    // shows), else in the document's own. What Undo held goes. Empty on
    // success, else the message to show; the document is then unchanged.
    // Another encoding is only for an unmodified document with a file.
    QString reload(const Encoding* encoding = nullptr);

signals:
    void titleChanged();
    void pathChanged();
    // After a successful open or save, for the recent-file list.
    void fileUsed(const FilePath& path);
    // Asks the frames to close every window of this document.
    void closeRequested();
    // The encoding or the line-break style changed.
    void formChanged();

private:
    friend class DocumentEdit;
    // Opening and reading again in the background, in steps (text_load.h):
    // it ends as open() and reload() do, by taking the file.
    friend class TextLoad;
    void replaceUnencodable(const std::vector<SaveProblem>& problems);
    // Fills the text from a decoded one, whose form becomes the document's.
    void load(DocumentText& decoded);
    // Makes the document the one of the file at `absolute`, read with
    // `stamp` and content hash `hash` and decoded into `decoded`, whose
    // text is in text() already: how every read of a file ends.
    void takeFile(const FilePath& absolute, const FileStamp& stamp, std::uint64_t hash,
                  const DocumentText& decoded);

    TextModel* text_;
    FilePath path_; // absolute; empty for a new document
    QString title_;
    TextForm form_; // the encoding, its byte-order mark, the style of new breaks
    DiskWatch disk_;
    std::optional<SourceIdentity> source_;
    std::string sourceEncoding_;
    std::vector<CZuView*> views_;
};

// Where saves note themselves while they run (the program's one journal;
// none in tests that do not set it).
void setWriteJournal(const WriteJournal* journal);

} // namespace zu
