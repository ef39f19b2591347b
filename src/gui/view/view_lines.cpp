// The view and the file's lines: the line-number gutter, the caret's line
// and column, Go to line, and the colours a line takes as it is drawn.

#include "gui/doc/document_marks.h"
#include "gui/doc/file_lines.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace zu {

// Drawn by the view, which knows where its rows stand.
class LineNumberGutter final : public QWidget {
public:
    explicit LineNumberGutter(CZuView* view) : QWidget(view), view_(view) {
        setObjectName(QStringLiteral("lineNumbers"));
        setAccessibleName(QStringLiteral("行番号"));
        setFont(view->font());
    }

    QSize sizeHint() const override { return {view_->gutterWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { view_->paintLineNumbers(event); }

private:
    CZuView* view_;
};

void CZuView::setLineNumbersShown(bool shown) {
    if (shown == lineNumbersShown())
        return;
    if (!shown) {
        delete gutter_;
        gutter_ = nullptr;
        setViewportMargins(0, 0, 0, 0);
        return;
    }
    gutter_ = new LineNumberGutter(this);
    // The numbers scroll with the text, and the gutter grows with the count.
    connect(this, &QPlainTextEdit::updateRequest, gutter_, [this](const QRect& rect, int dy) {
        if (dy != 0)
            gutter_->scroll(0, dy);
        else
            gutter_->update(0, rect.y(), gutter_->width(), rect.height());
    });
    connect(this, &QPlainTextEdit::blockCountChanged, gutter_, [this] { placeGutter(); });
    placeGutter();
    gutter_->show();
}

int CZuView::gutterWidth() const {
    // Room for the paragraph count, at least three digits: never narrower
    // than the file's line count needs.
    int digits = 1;
    for (int n = std::max(1, document()->blockCount()); n >= 10; n /= 10)
        ++digits;
    const QFontMetrics metrics(font());
    return metrics.horizontalAdvance(QLatin1Char('9')) * std::max(digits, 3) +
           metrics.horizontalAdvance(QLatin1Char(' ')) * 2;
}

void CZuView::placeGutter() {
    if (!gutter_)
        return;
    const int width = gutterWidth();
    setViewportMargins(width, 0, 0, 0);
    const QRect area = contentsRect();
    gutter_->setGeometry(area.left(), area.top(), width, area.height());
}

void CZuView::resizeEvent(QResizeEvent* event) {
    // The control lays the whole text out again for every change of the
    // width it is told of, giving each paragraph a layout object of its
    // own as it does: for a large file, hundreds of megabytes. A view shown
    // at the width its text is laid out for already (a large file's view,
    // made before the text went in) has nothing to lay out again. Only for
    // a document's one view: with two the control decides which width
    // counts.
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    const int width = viewport()->width();
    const bool widthChanged = event->oldSize().width() != event->size().width();
    if (widthChanged && document_->views().size() == 1 &&
        layout->property(kLaidOutWidth).toInt() == width) {
        QResizeEvent same(event->size(), QSize(event->size().width(), event->oldSize().height()));
        QPlainTextEdit::resizeEvent(&same);
    } else {
        QPlainTextEdit::resizeEvent(event);
        if (widthChanged) {
            layout->setProperty(kLaidOutWidth, width);
            // The control looks for its widest paragraph again, through
            // every paragraph, once the first one is laid out anew; done
            // now, while the text may still be short (a large file's view
            // made before its text), it is not done through all of it
            // later.
            layout->blockBoundingRect(document()->firstBlock());
        }
    }
    placeGutter();
}

std::vector<CZuView::NumberedRow> CZuView::numberedRows(int top, int bottom) const {
    std::vector<NumberedRow> rows;
    QTextBlock block = firstVisibleBlock();
    if (!block.isValid())
        return rows;
    // Counted along from the first row on screen: a piece carries no number
    // of its own, the line's first piece carries the line's.
    long index = lineIndex(document_->text(), block);
    qreal y = blockBoundingGeometry(block).translated(contentOffset()).top();
    for (bool first = true; block.isValid() && y <= bottom; block = block.next(), first = false) {
        const bool piece = !TextModel::startsLine(block);
        if (!first && !piece)
            ++index;
        const qreal next = y + blockBoundingRect(block).height();
        if (!piece && block.isVisible() && next >= top)
            rows.push_back({static_cast<int>(y), index + 1});
        y = next;
    }
    return rows;
}

void CZuView::paintLineNumbers(QPaintEvent* event) {
    QPainter painter(gutter_);
    painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    // Drawn at a point, right-aligned by hand: the rectangle form lays out
    // each number as a paragraph of its own.
    const QFontMetrics metrics = fontMetrics();
    const int right = gutter_->width() - metrics.horizontalAdvance(QLatin1Char(' '));
    for (const NumberedRow& row : numberedRows(event->rect().top(), event->rect().bottom())) {
        const QString number = QString::number(row.number);
        painter.drawText(right - metrics.horizontalAdvance(number), row.top + metrics.ascent(),
                         number);
    }
}

void CZuView::paintEvent(QPaintEvent* event) {
    // Colours painted while a line was not on screen are drawn as it comes
    // on: each line's formats are made before it is laid out for drawing.
    DocumentMarks& marks = document_->text().marks();
    const qreal height = viewport()->height();
    qreal top = 0;
    bool first = true;
    for (QTextBlock block = firstVisibleBlock(); block.isValid() && top <= height;
         block = block.next()) {
        marks.showBeforeDrawing(block);
        if (first)
            top = blockBoundingGeometry(block).translated(contentOffset()).top();
        first = false;
        top += blockBoundingRect(block).height();
    }
    QPlainTextEdit::paintEvent(event);
}

LineColumn CZuView::caretPlace() const {
    return lineColumnAt(document_->text(), textCursor().position());
}

void CZuView::goToPlace(long line, long column) {
    const QTextBlock first = lineBlock(document_->text(), line - 1);
    if (!first.isValid())
        return;
    const QString text = lineText(document_->text(), first);
    const auto offset = static_cast<long>(columnOffset(
        {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())},
        column));
    const long at = document_->text().toSource(first.position()) + offset;
    setSelection(at, at);
    centerCursor();
}

} // namespace zu
