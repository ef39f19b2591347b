#include "gui/dialogs/assistant_commands.h"

#include "core/app/commands.h"
#include "core/assist/calendar.h"
#include "core/assist/file_links.h"
#include "core/assist/generic_form.h"
#include "core/assist/quick_create.h"
#include "core/assist/small_insertions.h"
#include "core/assist/table_template.h"
#include "core/edit/wrap_selection.h"
#include "core/settings/option_pages.h"
#include "core/settings/settings.h"
#include "gui/commands/command_registry.h"
#include "gui/dialogs/option_sheet.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/file_names.h"
#include "gui/widgets/ui.h"

#include <QColorDialog>
#include <QFileDialog>

#include <string>
#include <vector>

namespace zu {
namespace {

std::function<std::time_t()>& clock() {
    static std::function<std::time_t()> fn;
    return fn;
}

std::time_t now() {
    return clock() ? clock()() : std::time(nullptr);
}

// The colour dialog starts from black every time: it offers no memory of
// the last choice. Nothing is inserted when it is cancelled.
void insertColourReference(CZuView& view) {
    QColorDialog dialog(Qt::black, &view);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (ui::exec(dialog) != QDialog::Accepted)
        return;
    const QColor chosen = dialog.currentColor();
    WrapSelection(view, colourReference(Rgb{static_cast<std::uint8_t>(chosen.red()),
                                            static_cast<std::uint8_t>(chosen.green()),
                                            static_cast<std::uint8_t>(chosen.blue())}));
}

void insertDate(CZuView& view, DateForm form) {
    WrapSelection(view, dateHeading(localDateText(now(), form)));
}

// The picked files, in the order the dialog gives them; empty on Cancel.
std::vector<QString> pickFiles(CZuView& view) {
    QFileDialog dialog(&view);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(QStringLiteral("AllFiles (*)"));
    if (ui::exec(dialog) != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return {files.begin(), files.end()};
}

// What the list and the table show of each file, read when they are built.
std::vector<FileFacts> factsOf(const std::vector<QString>& files) {
    std::vector<FileFacts> facts;
    for (const QString& file : files) {
        FileFacts f = readFileFacts(pathToBytes(file));
        f.path = file.toStdString();
        facts.push_back(std::move(f));
    }
    return facts;
}

LinkForm linkForm() {
    return settings().linkWithDirectory != 0 ? LinkForm::WithDirectory : LinkForm::NameOnly;
}

Anchor anchor() {
    return settings().linkWithAnchor != 0 ? Anchor::Linked : Anchor::Plain;
}

void insertFileList(CZuView& view) {
    const std::vector<QString> files = pickFiles(view);
    if (!files.empty())
        WrapSelection(view, fileList(factsOf(files), linkForm(), anchor()));
}

void insertFileTable(CZuView& view) {
    const std::vector<QString> files = pickFiles(view);
    if (!files.empty())
        WrapSelection(view, fileTable(factsOf(files), linkForm()));
}

void insertImageLink(CZuView& view) {
    const std::vector<QString> files = pickFiles(view);
    if (files.empty())
        return;
    std::vector<std::string> paths;
    for (const QString& file : files)
        paths.push_back(file.toStdString());
    WrapSelection(view, imageLink(paths, linkForm(), anchor()));
}

// The sheets of the three assistants that remember their input show one
// page of the Options dialog alone; OK stores the page's values in the
// settings before anything is built (they stay even if the insertion is
// taken back), Cancel changes nothing at all.
bool askOnePage(CZuView& view, std::string_view caption, OptionPage page) {
    const OptionPage pages[] = {page};
    return runOptionSheet(view.window(), ui::qs(caption), pages, settings());
}

void insertGenericForm(CZuView& view) {
    if (!askOnePage(view, kFormSheetCaption, OptionPage::Form))
        return;
    const Settings& s = settings();
    const Fragment form =
        // The page declares the charset its document is saved in.
        genericForm({s.pageTitle, s.bodyOptions, s.fontFace, s.fontSize,
                     std::string(view.doc()->form().encoding->charset())});
    const long start = view.selection().start;
    WrapSelection(view, form);
    // The caret goes to the end of the open text, where the page's content
    // goes: the line that holds what was selected, wherever the form went.
    const long caret = caretAfterGenericForm(start, form);
    view.setSelection(caret, caret);
}

void insertTableTemplate(CZuView& view) {
    if (!askOnePage(view, kTableSheetCaption, OptionPage::Table))
        return;
    const Settings& s = settings();
    // A table too large to build is refused before anything is built, so the
    // program never stalls on it.
    if (const auto refusal = tableTemplateRefusal(s.tableColumns, s.tableRows)) {
        ui::message(&view, ui::qs(*refusal), ui::Buttons::Ok, ui::Icon::Warning);
        return;
    }
    WrapSelection(view, tableTemplate(s.tableColumns, s.tableRows));
}

void insertCalendar(CZuView& view) {
    if (!askOnePage(view, kCalendarSheetCaption, OptionPage::Calendar))
        return;
    const Settings& s = settings();
    WrapSelection(
        view, calendarPage({s.calendarYear, s.calendarMonth, s.calendarColumns, s.calendarWidth}));
}

} // namespace

void setAssistantClock(std::function<std::time_t()> fn) {
    clock() = std::move(fn);
}

void registerAssistantCommands(HandlerTable<CZuView>& table) {
    // The page declares the charset its document is saved in.
    table.add(cmd::QuickCreate, [](CZuView& view) {
        WrapSelection(view, quickCreate(std::string(view.doc()->form().encoding->charset())));
    });
    table.add(cmd::Index, [](CZuView& view) { WrapSelection(view, indexEntry()); });
    table.add(cmd::Topic, [](CZuView& view) { WrapSelection(view, topicEntry()); });
    table.add(cmd::ColorReference, insertColourReference);
    table.add(cmd::Date, [](CZuView& view) { insertDate(view, DateForm::Date); });
    table.add(cmd::DateTime, [](CZuView& view) { insertDate(view, DateForm::DateTime); });
    table.add(cmd::FileList, insertFileList);
    table.add(cmd::FileTable, insertFileTable);
    table.add(cmd::ImageLink, insertImageLink);
    table.add(cmd::GenericForm, insertGenericForm);
    table.add(cmd::TableTemplate, insertTableTemplate);
    table.add(cmd::Calendar, insertCalendar);
}

} // namespace zu
