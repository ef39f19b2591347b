#include "gui/dialogs/go_to_line_dlg.h"

#include "core/app/commands.h"
#include "core/text/line_column.h"
#include "gui/dialogs/dialog_units.h"
#include "gui/doc/file_lines.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zu {

CGoToLineDlg::CGoToLineDlg(long lineCount, long currentLine,
                           std::function<long(long line)> lineColumns, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      lineCount_(lineCount), lineColumns_(std::move(lineColumns)),
      line_(new QLineEdit(QString::number(currentLine))), column_(new QLineEdit),
      ok_(new QPushButton(QStringLiteral("OK"))) {
    setWindowTitle(QStringLiteral("行へ移動"));
    setFont(dialogFont());

    auto* lineLabel = new QLabel(QStringLiteral("行番号(&L) (1 - %1):").arg(lineCount));
    lineLabel->setBuddy(line_);
    auto* columnLabel = new QLabel(QStringLiteral("桁(&C) (省略可):"));
    columnLabel->setBuddy(column_);
    auto* fields = new QGridLayout;
    fields->addWidget(lineLabel, 0, 0);
    fields->addWidget(line_, 0, 1);
    fields->addWidget(columnLabel, 1, 0);
    fields->addWidget(column_, 1, 1);

    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"));
    ok_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    setTabOrder(line_, column_);
    setTabOrder(column_, ok_);
    setTabOrder(ok_, cancel);
    connect(ok_, &QPushButton::clicked, this, &CGoToLineDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    line_->selectAll();
    line_->setFocus();
}

void CGoToLineDlg::accept() {
    const auto read = readGoTo(line_->text().toStdString(), column_->text().toStdString(),
                               lineCount_, lineColumns_);
    if (const auto* place = std::get_if<GoToPlace>(&read)) {
        place_ = *place;
        QDialog::accept();
        return;
    }
    const FieldFailure& failure = std::get<FieldFailure>(read);
    ui::message(this, ui::qs(failure.message), ui::Buttons::Ok, ui::Icon::Warning);
    QLineEdit* field = failure.control == kGoToColumnField ? column_ : line_;
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void registerGoToLineCommand(HandlerTable<CZuView>& table) {
    table.add(cmd::GoToLine, [](CZuView& view) {
        const TextModel& doc = view.doc()->text();
        const auto columns = [&doc](long line) {
            const QString text = lineText(doc, lineBlock(doc, line - 1));
            return characterColumns({reinterpret_cast<const char16_t*>(text.utf16()),
                                     static_cast<std::size_t>(text.size())});
        };
        CGoToLineDlg dialog(lineCount(doc), view.caretPlace().line, columns, view.window());
        if (ui::exec(dialog) != QDialog::Accepted)
            return;
        view.goToPlace(dialog.place().line, dialog.place().column);
        view.setFocus();
    });
}

} // namespace zu
