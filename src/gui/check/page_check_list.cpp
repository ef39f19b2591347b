#include "gui/check/page_check_list.h"

#include "core/check/check_page.h"
#include "gui/check/check_fixes.h"
#include "gui/commands/command_registry.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/ui.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeView>
#include <QVBoxLayout>

#include <cstdlib>
#include <limits>

namespace zu {

// The findings as rows. The rows are the vector itself: a page with many
// findings is shown without a copy of them, each cell made when it is
// drawn.
class FindingsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    enum Column { Severity, Line, Column, Message, ColumnCount };

    const std::vector<check::Finding>& findings() const { return findings_; }
    void reset(std::vector<check::Finding> findings) {
        beginResetModel();
        findings_ = std::move(findings);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(findings_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : ColumnCount;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        const check::Finding& f = findings_[static_cast<std::size_t>(index.row())];
        // A message too long for its column is read whole in the tip.
        if (role == Qt::ToolTipRole)
            return index.column() == Message ? ui::qs(f.message) : QVariant();
        switch (index.column()) {
        case Severity:
            return ui::qs(check::severityName(f.severity()));
        case Line:
            return QString::number(f.line);
        case Column:
            return QString::number(f.column);
        default:
            return ui::qs(f.message);
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char* const titles[] = {"重要度", "行", "列", "内容"};
        return QString::fromUtf8(titles[section]);
    }

private:
    std::vector<check::Finding> findings_;
};

namespace {

std::u16string_view asView(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

} // namespace

PageCheckList::PageCheckList(QWidget* parent)
    : QDockWidget(QStringLiteral("ﾍﾟｰｼﾞのﾁｪｯｸ"), parent), model_(new FindingsModel(this)),
      list_(new QTreeView), fix_(new QPushButton(QStringLiteral("修正"))),
      fixAll_(new QPushButton(QStringLiteral("同じ種類をすべて修正"))) {
    setObjectName(QStringLiteral("pageCheck"));
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);

    list_->setObjectName(QStringLiteral("findings"));
    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Widths from the widest text of each column rather than from the
    // rows: measuring many thousand rows would cost more than the check.
    const QFontMetrics metrics = list_->fontMetrics();
    const int pad = metrics.horizontalAdvance(QStringLiteral("MM"));
    list_->header()->setStretchLastSection(true);
    list_->setColumnWidth(FindingsModel::Severity,
                          metrics.horizontalAdvance(QStringLiteral("問題の可能性大")) + pad);
    for (int c : {FindingsModel::Line, FindingsModel::Column})
        list_->setColumnWidth(c, metrics.horizontalAdvance(QStringLiteral("00000")) + pad);

    auto* label = new QLabel(QStringLiteral("問題点(&R):"));
    label->setBuddy(list_);
    // A list of rows takes no name from its label on the bus; it is given it.
    list_->setAccessibleName(label->text().remove(u'&'));
    auto* count = new QLabel;
    count->setObjectName(QStringLiteral("count"));
    fix_->setObjectName(QStringLiteral("fix"));
    fixAll_->setObjectName(QStringLiteral("fixAll"));
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(count, 1);
    row->addWidget(fix_);
    row->addWidget(fixAll_);
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(4, 2, 4, 4);
    column->addLayout(row);
    column->addWidget(list_);
    setWidget(content);
    setFocusProxy(list_);
    // From the list to the buttons that act on its row.
    setTabOrder(list_, fix_);
    setTabOrder(fix_, fixAll_);

    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &PageCheckList::updateButtons);
    connect(list_, &QAbstractItemView::activated, this, &PageCheckList::goToCurrent);
    connect(fix_, &QPushButton::clicked, this, &PageCheckList::fixCurrent);
    connect(fixAll_, &QPushButton::clicked, this, &PageCheckList::fixAllOfKind);
    connect(model_, &QAbstractItemModel::modelReset, this, [this, count] {
        const std::size_t n = model_->findings().size();
        count->setText(!view_   ? QString()
                       : n == 0 ? QStringLiteral("問題は見つかりませんでした")
                                : QStringLiteral("%1 件").arg(n));
    });
    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMs);
    connect(&pause_, &QTimer::timeout, this, &PageCheckList::recheck);
    updateButtons();
}

PageCheckList* PageCheckList::showFor(CZuView& view) {
    auto* main = qobject_cast<QMainWindow*>(view.window());
    if (!main)
        return nullptr;
    auto* list = main->findChild<PageCheckList*>(QString(), Qt::FindDirectChildrenOnly);
    if (!list) {
        list = new PageCheckList(main);
        main->addDockWidget(Qt::BottomDockWidgetArea, list);
        // The list speaks of the document being worked on, whichever it is.
        if (auto* mdi = qobject_cast<QMdiArea*>(main->centralWidget()))
            connect(mdi, &QMdiArea::subWindowActivated, list, [list, mdi] {
                QMdiSubWindow* window = mdi->currentSubWindow();
                list->setView(window ? qobject_cast<CZuView*>(window->widget()) : nullptr);
            });
    }
    list->show();
    list->raise();
    if (list->view_ == &view)
        list->recheck();
    else
        list->setView(&view);
    list->list_->setFocus();
    if (!list->list_->currentIndex().isValid() && !list->findings().empty())
        list->setCurrentRow(0);
    return list;
}

void PageCheckList::setView(CZuView* view) {
    if (view == view_)
        return;
    if (doc_) {
        disconnect(doc_, nullptr, this, nullptr);
        disconnect(doc_->text().textDocument(), nullptr, this, nullptr);
    }
    view_ = view;
    doc_ = view ? view->doc() : nullptr;
    if (doc_) {
        connect(doc_->text().textDocument(), &QTextDocument::contentsChanged, this,
                &PageCheckList::textChanged);
        // The charset rules depend on the encoding the file is saved in.
        connect(doc_, &CZuDoc::formChanged, this, &PageCheckList::textChanged);
    }
    if (!isHidden())
        recheck();
    else
        model_->reset({});
}

CZuView* PageCheckList::view() const {
    return view_;
}

const std::vector<check::Finding>& PageCheckList::findings() const {
    return model_->findings();
}

void PageCheckList::textChanged() {
    if (view_ && !isHidden())
        pause_.start();
}

void PageCheckList::recheck() {
    pause_.stop();
    // The row the user was on is looked for again among the new findings:
    // the same rule and message nearest where it was, as the edits in
    // front of it moved it. A fixed finding is gone, and the row after it
    // takes its place.
    const check::Finding* was = current();
    const int wasRow = list_->currentIndex().row();
    const check::Rule rule = was ? was->rule : check::Rule{};
    const std::string message = was ? was->message : std::string();
    const std::size_t start = was ? was->start : 0;

    std::vector<check::Finding> found;
    if (view_) {
        CZuDoc& doc = *view_->doc();
        const QString text = doc.text().sourceText();
        found = check::checkPage(asView(text), {doc.form().encoding});
    }
    int row = -1;
    if (was) {
        std::size_t nearest = std::numeric_limits<std::size_t>::max();
        for (std::size_t i = 0; i < found.size(); ++i) {
            const check::Finding& f = found[i];
            const std::size_t distance = f.start > start ? f.start - start : start - f.start;
            if (f.rule == rule && f.message == message && distance < nearest) {
                nearest = distance;
                row = static_cast<int>(i);
            }
        }
        if (row < 0 && !found.empty())
            row = std::min(wasRow, static_cast<int>(found.size()) - 1);
    }
    model_->reset(std::move(found));
    if (row >= 0)
        setCurrentRow(row);
    updateButtons();
}

const check::Finding* PageCheckList::current() const {
    const QModelIndex index = list_->currentIndex();
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= findings().size())
        return nullptr;
    return &findings()[static_cast<std::size_t>(index.row())];
}

void PageCheckList::setCurrentRow(int row) {
    const QModelIndex index = model_->index(row, 0);
    list_->setCurrentIndex(index);
    list_->scrollTo(index);
}

void PageCheckList::updateButtons() {
    const check::Finding* f = current();
    fix_->setEnabled(f && f->fix);
    fixAll_->setEnabled(f && f->fix);
}

const check::Finding* PageCheckList::currentNow() {
    if (stale())
        recheck();
    return view_ ? current() : nullptr;
}

void PageCheckList::goToCurrent() {
    const check::Finding* f = currentNow();
    if (!f)
        return;
    view_->setSelection(static_cast<long>(f->start), static_cast<long>(f->end));
    view_->ensureCursorVisible();
    view_->setFocus();
}

void PageCheckList::fixCurrent() {
    const check::Finding* f = currentNow();
    if (f && f->fix) {
        const check::Fix fix = *f->fix;
        make({&fix, 1}, fix_);
    }
}

void PageCheckList::fixAllOfKind() {
    const check::Finding* f = currentNow();
    if (!f || !f->fix)
        return;
    std::vector<check::Fix> fixes;
    for (const check::Finding& other : findings())
        // Fixes of one rule never overlap; one that did would be left for
        // a later run rather than made inside another.
        if (other.rule == f->rule && other.fix &&
            (fixes.empty() || other.fix->start >= fixes.back().end))
            fixes.push_back(*other.fix);
    make(fixes, fixAll_);
}

void PageCheckList::make(std::span<const check::Fix> fixes, QPushButton* button) {
    const bool pressed = button->hasFocus();
    applyCheckFixes(*view_->doc(), fixes);
    recheck();
    // A button pressed from the keyboard that has nothing left to fix
    // would hand the keyboard on to whatever follows it in the window; it
    // goes back to the list instead.
    if (pressed && !button->isEnabled())
        list_->setFocus();
}

void registerPageCheckCommand(HandlerTable<CZuView>& table) {
    table.add(cmd::PageCheck, [](CZuView& view) { PageCheckList::showFor(view); });
}

} // namespace zu
