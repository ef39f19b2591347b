#include "gui/view/view_print.h"

#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/ui.h"

#include <QAbstractTextDocumentLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSettings>
#include <QTextDocument>

#include <memory>

namespace zu {
namespace {

int& previewPagesValue() {
    static int pages = 1;
    return pages;
}

void reportFailure(QWidget* parent) {
    ui::message(parent, QStringLiteral("印刷を開始できませんでした。"));
}

} // namespace

QPrinter& sharedPrinter() {
    static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
    return *printer;
}

int previewPages() {
    return previewPagesValue();
}

void setPreviewPages(int pages) {
    previewPagesValue() = pages == 2 ? 2 : 1;
}

bool printDocument(const QString& text, const QFont& font, QPrinter& printer) {
    // The text as the file holds it, not the view's paragraphs: a long line
    // shown in pieces prints as one line, wrapped at the paper's width only.
    auto copy = std::make_unique<QTextDocument>();
    copy->setPlainText(text);
    copy->setDefaultFont(font);
    printer.setPageMargins(CZuView::printMargins(), QPageLayout::Millimeter);
    // Lay the copy out on the printable area itself, so that the printer's
    // margins are the only ones.
    QPainter probe;
    if (!probe.begin(&printer))
        return false;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    copy->documentLayout()->setPaintDevice(&printer);
    copy->setPageSize(page.size());
    copy->setDocumentMargin(0);
    const int pages = copy->pageCount();
    for (int n = 0; n < pages; ++n) {
        if (n > 0 && !printer.newPage())
            return false;
        probe.save();
        probe.translate(0, -page.height() * n);
        const QRectF visible(0, page.height() * n, page.width(), page.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = visible;
        context.palette.setColor(QPalette::Text, Qt::black);
        probe.setClipRect(visible);
        copy->documentLayout()->draw(&probe, context);
        probe.restore();
    }
    return probe.end();
}

void printWithDialog(CZuView& view) {
    QPrinter& printer = sharedPrinter();
    QPrintDialog dialog(&printer, &view);
    dialog.setWindowTitle(QStringLiteral("印刷"));
    if (ui::exec(dialog) != QDialog::Accepted)
        return;
    if (!printDocument(view.doc()->text().sourceText(), view.font(), printer))
        reportFailure(&view);
}

void printDirect(CZuView& view) {
    if (!printDocument(view.doc()->text().sourceText(), view.font(), sharedPrinter()))
        reportFailure(&view);
}

void printPreview(CZuView& view) {
    QPrinter& printer = sharedPrinter();
    QPrintPreviewDialog dialog(&printer, &view);
    dialog.setWindowTitle(QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&view](QPrinter* p) {
        printDocument(view.doc()->text().sourceText(), view.font(), *p);
    });
    if (auto* preview = dialog.findChild<QPrintPreviewWidget*>()) {
        if (previewPages() == 2)
            preview->setViewMode(QPrintPreviewWidget::FacingPagesView);
        QObject::connect(&dialog, &QDialog::finished, &dialog, [preview] {
            setPreviewPages(preview->viewMode() == QPrintPreviewWidget::FacingPagesView ? 2 : 1);
        });
    }
    ui::exec(dialog);
}

void printSetup() {
    QPageSetupDialog dialog(&sharedPrinter());
    dialog.setWindowTitle(QStringLiteral("ﾌﾟﾘﾝﾀの設定"));
    ui::exec(dialog);
}

} // namespace zu
