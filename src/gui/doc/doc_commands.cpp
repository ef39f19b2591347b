#include "gui/doc/doc_commands.h"

#include "core/doc/doc_messages.h"
#include "core/doc/file_errors.h"
#include "core/doc/file_read.h"
#include "gui/commands/command_registry.h"
#include "gui/doc/zu_doc.h"
#include "gui/widgets/file_names.h"
#include "gui/widgets/ui.h"

#include <QFileDialog>
#include <QFileInfo>

namespace zu {

namespace {

// References (Ok), UTF-8 (Yes, when offered) or Cancel.
ui::Answer ask(const SaveQuestion& question) {
    const QString text = QString::fromStdString(question.text);
    if (!question.offersUtf8)
        return ui::message(nullptr, text, ui::Buttons::OkCancel, ui::Icon::Question);
    const ui::Button buttons[] = {
        {ui::Answer::Ok, QStringLiteral("数値文字参照で保存(&R)")},
        {ui::Answer::Yes, QStringLiteral("UTF-8 で保存(&U)")},
        {ui::Answer::Cancel, QStringLiteral("ｷｬﾝｾﾙ")},
    };
    return ui::message(nullptr, text, buttons, ui::Icon::Question);
}

} // namespace

bool saveDocumentTo(CZuDoc& doc, const QString& path) {
    // Another program wrote the file since zu read it: its work is lost if
    // this goes on, so the user decides.
    if (!doc.pathName().isEmpty() && sameFile(pathToBytes(path), pathToBytes(doc.pathName())) &&
        doc.changedOnDisk()) {
        const QString question = QString::fromStdString(
            changedOnDiskOverwriteQuestion(displayPath(doc.pathName()).toStdString()));
        if (ui::message(nullptr, question, ui::Buttons::YesNo, ui::Icon::Warning) !=
            ui::Answer::Yes)
            return false;
    }
    CZuDoc::SaveResult result = doc.saveTo(path, Unmappable::Report);
    // Switched to UTF-8, the text may still hold what no encoding writes
    // back as it is (a lone surrogate, a raw byte that joins): ask again.
    while (!result.problems.empty()) {
        switch (ask(saveQuestion(result.problems, *doc.form().encoding))) {
        case ui::Answer::Ok:
            result = doc.saveTo(path, Unmappable::CharacterReference);
            break;
        case ui::Answer::Yes:
            doc.switchEncoding(utf8Encoding());
            result = doc.saveTo(path, Unmappable::Report);
            break;
        default:
            return false;
        }
    }
    if (!result.write) {
        QString text = QString::fromStdString(
            fileErrorMessage(result.write.error, FileOp::Save,
                             displayPath(pathFromBytes(result.write.path)).toStdString()));
        // Written in place and the old bytes could not be put back: the user
        // must know where they are.
        if (!result.write.keptBackup.empty())
            text += QStringLiteral("\n元の内容は %1 に残してあります。")
                        .arg(displayPath(pathFromBytes(result.write.keptBackup)));
        ui::message(nullptr, text);
        return false;
    }
    return true;
}

bool saveDocumentAs(CZuDoc& doc) {
    QFileDialog dialog(nullptr, QStringLiteral("名前を付けて保存"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("Zu ﾌｧｲﾙ (*.htm)"), QStringLiteral("すべてのﾌｧｲﾙ (*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("htm"));
    // The file's own name, or the title with ".htm" for a new document.
    const QFileInfo proposed(doc.pathName().isEmpty() ? doc.title() + QStringLiteral(".htm")
                                                      : doc.pathName());
    if (proposed.isAbsolute())
        dialog.setDirectory(proposed.absolutePath());
    dialog.selectFile(proposed.fileName());
    if (ui::exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    return saveDocumentTo(doc, recoverLossyName(dialog.selectedFiles().constFirst()));
}

bool saveDocument(CZuDoc& doc) {
    // A file made read-only or deleted since it was opened is not written
    // behind the user's back: the save dialog asks where it should go.
    const QString path = doc.pathName();
    if (!path.isEmpty() && canSaveInPlace(pathToBytes(path)))
        return saveDocumentTo(doc, path);
    // A file another program deleted: the user learns why a name is asked.
    if (doc.fileDeleted())
        ui::message(nullptr, ui::qs(deletedBeforeSaveNote(displayPath(path).toStdString())),
                    ui::Buttons::Ok, ui::Icon::Information);
    return saveDocumentAs(doc);
}

bool maybeSave(CZuDoc& doc) {
    if (!doc.text().isModified())
        return true;
    const QString text = QStringLiteral("%1 への変更を保存しますか？").arg(doc.title());
    switch (ui::message(nullptr, text, ui::Buttons::YesNoCancel, ui::Icon::Warning)) {
    case ui::Answer::Yes:
        return saveDocument(doc);
    case ui::Answer::No:
        return true;
    default:
        return false;
    }
}

void registerDocumentCommands(HandlerTable<CZuDoc>& table) {
    table.add(cmd::FileClose, [](CZuDoc& doc) {
        if (maybeSave(doc))
            emit doc.closeRequested();
    });
    table.add(cmd::FileSave, [](CZuDoc& doc) { saveDocument(doc); });
    table.add(cmd::FileSaveAs, [](CZuDoc& doc) { saveDocumentAs(doc); });
}

} // namespace zu
