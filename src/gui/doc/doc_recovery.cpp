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
    f.mixedBreaks = text_->hasMixedBreaks();
    f.source = source_;
    return f;
}

} // namespace zu
