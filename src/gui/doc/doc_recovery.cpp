// The document as its recovery copy keeps it: the form, and the edits as
// stretches of the text in source positions with their breaks and byte
// forms, read from the control's paragraphs and characters.

#include "gui/doc/zu_doc.h"

#include "gui/widgets/file_names.h"

#include <QTextBlock>
#include <QTextDocument>

namespace zu {

RecoveryForm CZuDoc::recoveryForm() const {
    RecoveryForm f;
    f.title = title_.toStdString();
    f.path = pathToBytes(path_);
    f.encoding = std::string(form_.encoding->name());
    f.byteOrderMark = form_.byteOrderMark;
    f.lineBreak = form_.lineBreak;
    f.mixedBreaks = mixedBreaks_;
    f.source = source_;
    return f;
}

RecoveryEdit CZuDoc::recoveryEdit(int from, int to) const {
    RecoveryEdit edit;
    const JoinMap& joins = joins_.map();
    edit.from = static_cast<std::size_t>(joins.toSource(from));
    const QString text = sourceText(from, to);
    edit.text.assign(reinterpret_cast<const char16_t*>(text.utf16()),
                     static_cast<std::size_t>(text.size()));
    // The paragraphs that start inside the stretch: each that is no piece
    // of a long line follows a break, of its own kind in a file of mixed
    // breaks, as breaks() reads them.
    QTextBlock block = text_->findBlock(from);
    for (block = block.next(); block.isValid() && block.position() <= to; block = block.next()) {
        if (isJoined(block))
            continue;
        const QVariant kind = block.blockFormat().property(kBreakBeforeProperty);
        edit.breaks.push_back(mixedBreaks_ && kind.isValid() ? static_cast<LineBreak>(kind.toInt())
                                                             : form_.lineBreak);
    }
    // The byte forms, as variants() reads them; kept under every encoding,
    // since they count again when the document goes back to one that keeps
    // them.
    for (block = text_->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(fragment.position(), from);
            const int end = std::min(fragment.position() + fragment.length(), to);
            if (start >= end)
                continue;
            const QVariant code = fragment.charFormat().property(kVariantCodeProperty);
            if (!code.isValid())
                continue;
            for (int at = start; at < end; ++at)
                edit.variants.push_back({static_cast<std::size_t>(joins.toSource(at)) - edit.from,
                                         static_cast<std::uint16_t>(code.toInt())});
        }
    }
    return edit;
}

} // namespace zu
