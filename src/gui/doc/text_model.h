#pragma once
// The text of a document as the editing control holds it: the QTextDocument
// every view of it shares, the pieces long lines are shown in, the byte
// forms and line breaks the file gave its characters, the marks shown over
// it, and the positions of the file's text mapped to the control's. It is
// filled by load() and read back by encode(); every change to it goes
// through a DocumentEdit. Where the text came from and where it goes (the
// file, its encoding, its disk state) is the document's (CZuDoc).

#include "core/doc/recovery.h"
#include "core/text/document_text.h"
#include "core/text/fill_pieces.h"
#include "gui/doc/document_edit.h"
#include "gui/doc/document_joins.h"

#include <QObject>
#include <QString>
#include <QTextCursor>

#include <memory>
#include <span>
#include <string_view>
#include <vector>

class QTextDocument;

namespace zu {
class DocumentMarks;
class DocumentWork;

class TextModel final : public QObject {
    Q_OBJECT
public:
    explicit TextModel(QObject* parent = nullptr);
    ~TextModel() override;

    // The model that holds `text`, if one does.
    static TextModel* of(const QTextDocument* text);

    QTextDocument* textDocument() const { return text_; }
    // What is shown over the text without being part of it: tag colours and
    // the marks on raw bytes.
    DocumentMarks& marks() const { return *marks_; }

    // Fills the model anew with a decoded text, its byte forms and breaks;
    // `decoded.text` is taken. Nothing of it can be undone, and what Undo
    // held goes. Breaks unlike `decoded.lineBreak` are kept on their lines.
    void load(DocumentText& decoded);
    // What loading a text in steps needs to know of it first: where its
    // long lines are cut, found by a look through the whole text that any
    // thread may take (find). Made on the window's thread, it cuts as the
    // models made then do (joinBound()).
    class LoadPlan {
    public:
        LoadPlan() : LoadPlan(defaultJoinBound()) {}
        explicit LoadPlan(std::size_t bound) : bound_(bound) {}
        void find(std::u16string_view text);

    private:
        friend class TextModel;
        std::size_t bound_;
        std::vector<std::size_t> joins_;
    };
    // The same in steps, for a text so large that the window must go on
    // answering while it goes in: beginLoad with the text's plan, found
    // beforehand, loadSome between events
    // until it answers 1000, then endLoad. The text goes into the control
    // in pieces of at most `pieceCharacters`; `decoded` stays untouched
    // until endLoad takes its text. A load given up leaves a model to be
    // thrown away, not used.
    void beginLoad(const DocumentText& decoded, LoadPlan plan, std::size_t pieceCharacters);
    // Fills pieces for `milliseconds` at least (all of them when negative);
    // answers how far the text is in, in thousandths.
    int loadSome(int milliseconds);
    void endLoad(DocumentText& decoded);

    bool isModified() const;
    void setModified(bool modified);

    // The work under way on the whole text in the background (reading its
    // file again, removing every tag), while one is: the text is the
    // work's, its windows show how far it is, and nothing may edit or read
    // it meanwhile. Set by the work itself.
    DocumentWork* work() const { return work_; }
    void setWork(DocumentWork* work);

    // The text as the file holds it: every line ends in U+2029, as the
    // editing control ends its paragraphs, and the soft joins of long lines
    // are left out. Every command that names places in the text names them
    // in this text (source positions); the control counts one more place at
    // each join (control positions).
    QString sourceText() const;
    // The source text of the control positions from..to; line breaks as '\n'.
    QString sourceText(int from, int to) const;
    long sourceLength() const;
    long toSource(int control) const { return joins_.map().toSource(control); }
    int toControl(long source, JoinMap::Side side = JoinMap::Side::After) const {
        return static_cast<int>(joins_.map().toControl(source, side));
    }
    const JoinMap& joinMap() const { return joins_.map(); }
    // Whether `block` begins a line of the text rather than continuing
    // one: a long line is shown in pieces, each a paragraph of the control.
    static bool startsLine(const QTextBlock& block) {
        return !block.previous().isValid() || !isJoined(block);
    }
    // The same for the paragraphs of one walk through a text that does not
    // change meanwhile: cheaper than asking each paragraph for its format.
    class LineStarts {
    public:
        bool operator()(const QTextBlock& block) {
            return !block.previous().isValid() || !joined_(block);
        }

    private:
        JoinedFormats joined_;
    };
    // Puts `cursor` on the source positions anchor..position. A selection
    // keeps the joins at its ends outside it; a caret stands at the start of
    // a piece rather than at the end of the one before.
    void select(QTextCursor& cursor, long anchor, long position) const;

    // The bytes the text makes in `form`. Characters the encoding cannot
    // hold are listed in `problems` unless `policy` writes them as
    // references.
    EncodedDocument encode(const TextForm& form, Unmappable policy) const;
    // The same in pieces of whole lines of about `pieceCharacters` each,
    // read from the control a line at a time: saving a large text then
    // holds its bytes once and never a whole copy of the text.
    PieceEncoder encodeInPieces(const TextForm& form, Unmappable policy,
                                std::size_t pieceCharacters = kEncodePiece) const;
    static constexpr std::size_t kEncodePiece = 256u << 10;
    // The text between two control positions as a recovery copy's edit: its
    // source position, text, breaks (`usual` where the file's own kind is
    // not kept) and byte forms. What it replaced, and the length after it,
    // are for the caller to fill in.
    RecoveryEdit recoveryEdit(int controlFrom, int controlTo, LineBreak usual) const;
    // The kind of every break, in order, where the file mixed them; empty
    // when every break is `usual`.
    std::vector<LineBreak> breaks(LineBreak usual) const;
    // The characters that carry a byte form other than their usual one,
    // where `encoding` keeps such forms.
    std::vector<Variant> variants(const Encoding& encoding) const;
    bool hasVariants() const { return hasVariants_; }
    // Whether lines keep the break kinds the file gave them; forgotten when
    // every break is to be written in one style.
    bool hasMixedBreaks() const { return mixedBreaks_; }
    void forgetBreakKinds() { mixedBreaks_ = false; }
    // The encoding the page declares, as it was when the text was read or
    // its declaration last rewritten; null when none.
    const Encoding* declaredEncoding() const { return declared_; }
    void setDeclaredEncoding(const Encoding* encoding) { declared_ = encoding; }

    // How long a line may be before it is shown in pieces. Tests lower it,
    // so that a line of a few characters already meets joins: for the
    // models made after the call.
    std::size_t joinBound() const { return joinBound_; }
    static std::size_t defaultJoinBound();
    static void setDefaultJoinBound(std::size_t bound);

signals:
    // work() changed.
    void workChanged();

private:
    friend class DocumentEdit;
    // Replaces the whole text by `text`, which is the old text with the
    // ascending ranges `removed` taken out; what stays keeps its byte forms
    // and breaks (DocumentEdit::takeOut).
    void replaceText(std::u16string_view text, std::span<const SourceRange> removed,
                     const TextForm& form);
    void insertPiece(const FillPiece& piece);

    QTextDocument* text_;
    DocumentMarks* marks_ = nullptr;
    DocumentJoins joins_;
    std::size_t joinBound_;
    const Encoding* declared_ = nullptr;
    // Whether any line carries kBreakBeforeProperty: only a file with mixed
    // breaks has them, and the others need not be searched for them.
    bool mixedBreaks_ = false;
    // Whether any character carries a byte form: only loading gives them,
    // and most files have none, which spares a look through the text.
    bool hasVariants_ = false;
    bool loading_ = false;
    DocumentWork* work_ = nullptr;
    // A load under way: the text going in, its join points, its pieces and
    // where the next goes.
    struct Filling {
        std::u16string_view text;
        std::vector<std::size_t> joins;
        std::vector<FillPiece> pieces;
        std::size_t next = 0;
        QTextCursor cursor;
    };
    std::unique_ptr<Filling> filling_;
};

} // namespace zu
