#include "gui/dialogs/convert_dlg.h"

#include "core/app/commands.h"
#include "core/convert/site_conversion.h"
#include "gui/dialogs/dialog_units.h"
#include "gui/widgets/file_names.h"
#include "gui/widgets/ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace zu {
namespace {

enum Column { kFile, kEncoding, kDeclared, kChanges, kStop, kColumns };

// Progress between files, and the user's wish to stop, on a progress
// dialog that shows itself only when the work takes a moment.
class ProgressShown {
public:
    ProgressShown(QWidget* parent, const QString& label)
        : dialog_(label, QStringLiteral("中止"), 0, 0, parent) {
        dialog_.setWindowTitle(QStringLiteral("zu"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(400);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
    }
    convert::Progress progress() {
        return [this](std::size_t done, std::size_t total) {
            dialog_.setMaximum(static_cast<int>(total));
            dialog_.setValue(static_cast<int>(done));
            QApplication::processEvents();
            return !dialog_.wasCanceled();
        };
    }

private:
    QProgressDialog dialog_;
};

QString joinedLines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& line : lines)
        out << ui::qs(line);
    return out.join(QStringLiteral("\n"));
}

} // namespace

CConvertDlg::CConvertDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint),
      folder_(new QLineEdit), browse_(new QPushButton(QStringLiteral("参照(&B)..."))),
      byteOrderMark_(new QCheckBox(QStringLiteral("BOM を付ける(&M)"))), six_(new QComboBox),
      list_(new QPushButton(QStringLiteral("一覧を作る(&L)"))), pages_(new QTreeWidget),
      summary_(new QLabel), convert_(new QPushButton(QStringLiteral("変換(&C)"))),
      undo_(new QPushButton(QStringLiteral("前回の変換を元に戻す(&R)..."))) {
    setWindowTitle(QStringLiteral("ﾌｫﾙﾀﾞを UTF-8 に変換"));
    setFont(dialogFont());

    auto* folderLabel = new QLabel(QStringLiteral("ﾌｫﾙﾀﾞ(&F):"));
    folderLabel->setBuddy(folder_);
    auto* kinds = new QHBoxLayout;
    auto* kindsLabel = new QLabel(QStringLiteral("対象:"));
    kinds->addWidget(kindsLabel);
    for (std::string_view extension : convert::kPageExtensions) {
        auto* box = new QCheckBox(ui::qs(std::string(extension)));
        box->setChecked(true);
        box->setAccessibleName(QStringLiteral("対象 ") + box->text());
        extensions_.push_back(box);
        kinds->addWidget(box);
    }
    kinds->addStretch();
    six_->addItem(QStringLiteral("Web の標準の形 (ﾌﾞﾗｳｻﾞの表示どおり: ～∥－￠￡￢)"));
    six_->addItem(QStringLiteral("JIS の形 (glibc: 〜‖−¢£¬)"));
    auto* sixLabel = new QLabel(QStringLiteral("EUC-JP, ISO-2022-JP の 6 文字(&6):"));
    sixLabel->setBuddy(six_);
    auto* pagesLabel = new QLabel(QStringLiteral("ﾍﾟｰｼﾞ(&P) (ﾁｪｯｸしたものを変換します):"));
    pagesLabel->setBuddy(pages_);

    pages_->setColumnCount(kColumns);
    pages_->setHeaderLabels({QStringLiteral("ﾌｧｲﾙ"), QStringLiteral("文字ｺｰﾄﾞ"),
                             QStringLiteral("宣言"), QStringLiteral("変わること"),
                             QStringLiteral("変換できない理由")});
    pages_->setRootIsDecorated(false);
    pages_->setUniformRowHeights(true);
    // An item view does not take its label's text as its name.
    pages_->setAccessibleName(QStringLiteral("ﾍﾟｰｼﾞ(P) (ﾁｪｯｸしたものを変換します):"));
    pages_->header()->setStretchLastSection(true);

    auto* grid = new QGridLayout;
    grid->addWidget(folderLabel, 0, 0);
    grid->addWidget(folder_, 0, 1);
    grid->addWidget(browse_, 0, 2);
    grid->addLayout(kinds, 1, 1, 1, 2);
    grid->addWidget(sixLabel, 2, 0);
    grid->addWidget(six_, 2, 1);
    grid->addWidget(byteOrderMark_, 3, 1);
    grid->addWidget(list_, 3, 2);

    auto* close = new QPushButton(QStringLiteral("閉じる"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(undo_);
    buttons->addStretch();
    buttons->addWidget(convert_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(pagesLabel);
    layout->addWidget(pages_, 1);
    layout->addWidget(summary_);
    layout->addLayout(buttons);
    resize(DialogUnits(dialogFont()).size(480, 280));

    list_->setDefault(true);
    connect(browse_, &QPushButton::clicked, this, [this] {
        const QString chosen =
            QFileDialog::getExistingDirectory(this, QStringLiteral("ﾌｫﾙﾀﾞ"), folder_->text());
        if (!chosen.isEmpty()) {
            folder_->setText(chosen);
            listPages();
        }
    });
    connect(list_, &QPushButton::clicked, this, &CConvertDlg::listPages);
    connect(convert_, &QPushButton::clicked, this, &CConvertDlg::convertTicked);
    connect(undo_, &QPushButton::clicked, this, &CConvertDlg::undoLast);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(folder_, &QLineEdit::textChanged, this, [this] { updateButtons(); });
    connect(pages_, &QTreeWidget::itemChanged, this, [this] { updateButtons(); });
    updateButtons();
}

std::string CConvertDlg::folderPath() const {
    return pathToBytes(folder_->text().trimmed());
}

std::vector<std::string> CConvertDlg::extensions() const {
    std::vector<std::string> chosen;
    for (QCheckBox* box : extensions_)
        if (box->isChecked())
            chosen.push_back(box->text().toStdString());
    return chosen;
}

convert::ConvertOptions CConvertDlg::options() const {
    return {byteOrderMark_->isChecked(),
            six_->currentIndex() == 0 ? convert::SixForms::Web : convert::SixForms::Jis};
}

void CConvertDlg::listPages() {
    if (folderPath().empty())
        return;
    const ui::WaitCursor wait;
    ProgressShown shown(this, QStringLiteral("ﾍﾟｰｼﾞを読んでいます..."));
    listed_ = convert::listSite(folderPath(), extensions(), options(), shown.progress());
    listedFolder_ = folderPath();
    if (!listed_.error.empty())
        ui::message(this, ui::qs(listed_.error));
    showPages();
}

void CConvertDlg::showPages() {
    const QSignalBlocker quiet(pages_);
    pages_->clear();
    std::size_t convertible = 0, stopped = 0, unchanged = 0;
    for (const convert::SitePage& page : listed_.pages) {
        auto* row = new QTreeWidgetItem(pages_);
        row->setText(kFile, pathFromBytes(page.relative));
        row->setText(kEncoding, ui::qs(page.plan.encoding));
        row->setText(kDeclared, ui::qs(page.plan.declared));
        std::vector<std::string> changes = page.plan.changes;
        changes.insert(changes.end(), page.plan.notes.begin(), page.plan.notes.end());
        row->setText(kChanges,
                     joinedLines(changes).replace(QLatin1Char('\n'), QStringLiteral("; ")));
        row->setToolTip(kChanges, joinedLines(changes));
        row->setText(kStop, ui::qs(page.plan.stop));
        if (page.plan.convertible()) {
            ++convertible;
            row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            row->setCheckState(kFile, Qt::Checked);
        } else {
            page.plan.stop.empty() ? ++unchanged : ++stopped;
            row->setFlags(Qt::ItemIsSelectable);
            if (page.plan.stop.empty())
                row->setText(kChanges, QStringLiteral("変更なし"));
        }
    }
    for (int c = 0; c < kStop; ++c)
        pages_->resizeColumnToContents(c);
    // Long lists of changes stay in their tooltip, so the reasons show.
    pages_->setColumnWidth(kChanges, std::min(pages_->columnWidth(kChanges), 360));
    summary_->setText(listed_.cancelled
                          ? QStringLiteral("一覧を作るのを中止しました。")
                          : QStringLiteral("変換できる %1 個、変換できない %2 個、変更なし %3 個")
                                .arg(convertible)
                                .arg(stopped)
                                .arg(unchanged));
    updateButtons();
}

void CConvertDlg::updateButtons() {
    bool ticked = false;
    for (int k = 0; k < pages_->topLevelItemCount(); ++k)
        ticked = ticked || pages_->topLevelItem(k)->checkState(kFile) == Qt::Checked;
    convert_->setEnabled(ticked && listedFolder_ == folderPath());
    undo_->setEnabled(!folderPath().empty() && !convert::conversionsOf(folderPath()).empty());
}

void CConvertDlg::convertTicked() {
    // The ticked pages, and those that cannot be converted, whose reasons go
    // into the report.
    std::vector<convert::SitePage> chosen;
    for (std::size_t k = 0; k < listed_.pages.size(); ++k) {
        const convert::SitePage& page = listed_.pages[k];
        const auto* row = pages_->topLevelItem(static_cast<int>(k));
        if (!page.plan.stop.empty() || (row && row->checkState(kFile) == Qt::Checked))
            chosen.push_back(page);
    }
    convert::SiteConversion done;
    {
        const ui::WaitCursor wait;
        ProgressShown shown(this, QStringLiteral("変換しています..."));
        done = convert::convertSite(listedFolder_, chosen, options(), shown.progress());
    }
    QString text;
    if (done.originals.empty()) {
        text = ui::qs(done.error);
    } else {
        text = QStringLiteral("%1 個のﾌｧｲﾙを変換しました。").arg(done.converted());
        if (done.cancelled)
            text = QStringLiteral("途中で中止しました。") + text;
        for (const convert::PageOutcome& page : done.pages)
            if (page.kind == convert::PageOutcome::Kind::Failed && page.message != page.plan.stop)
                text += QStringLiteral("\n%1: %2")
                            .arg(pathFromBytes(page.relative), ui::qs(page.message));
        if (!done.error.empty())
            text += QStringLiteral("\n") + ui::qs(done.error);
        text += QStringLiteral("\n元のﾌｧｲﾙと変換の記録 (report.html) は %1 にあります。")
                    .arg(pathFromBytes(done.originals));
    }
    ui::message(this, text, ui::Buttons::Ok,
                done.originals.empty() ? ui::Icon::Warning : ui::Icon::Information);
    listPages();
}

void CConvertDlg::undoLast() {
    const std::vector<std::string> kept = convert::conversionsOf(folderPath());
    if (kept.empty())
        return;
    if (ui::message(this,
                    QStringLiteral("%1 に残した元のﾌｧｲﾙを元の場所に戻しますか?\n"
                                   "変換の後で変更したﾌｧｲﾙは戻しません。")
                        .arg(pathFromBytes(kept.front())),
                    ui::Buttons::YesNo, ui::Icon::Question) != ui::Answer::Yes)
        return;
    convert::SiteUndo undo;
    {
        const ui::WaitCursor wait;
        undo = convert::undoConversion(kept.front());
    }
    QString text;
    if (!undo.error.empty()) {
        text = ui::qs(undo.error);
    } else {
        std::size_t restored = 0;
        for (const convert::UndoOutcome& page : undo.pages) {
            if (page.kind == convert::UndoOutcome::Kind::Restored)
                ++restored;
            else if (page.kind != convert::UndoOutcome::Kind::AlreadyOriginal)
                text += QStringLiteral("\n%1: %2")
                            .arg(pathFromBytes(page.relative), ui::qs(page.message));
        }
        text = QStringLiteral("%1 個のﾌｧｲﾙを元に戻しました。").arg(restored) + text;
    }
    ui::message(this, text, ui::Buttons::Ok,
                undo.complete() ? ui::Icon::Information : ui::Icon::Warning);
    listPages();
}

void registerConvertCommand(HandlerTable<CMainFrame>& table) {
    table.add(cmd::ConvertSite, [](CMainFrame&) {
        CConvertDlg dialog(QApplication::activeWindow());
        ui::exec(dialog);
    });
}

} // namespace zu
