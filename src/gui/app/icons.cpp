#include "gui/app/icons.h"

#include "core/app/commands.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSvgRenderer>

namespace zu {
namespace {

// Every icon is drawn on a 16 x 16 grid; the engine scales it to the size
// asked for, so lines fall on whole device pixels at the toolbar's size.
void drawPage(QPainter& p, const QColor& fill = Qt::white) {
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(10.5, 1.5);
    page.lineTo(13.5, 4.5);
    page.lineTo(13.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setBrush(fill);
    p.drawPath(page);
    p.drawLine(QPointF(10.5, 1.5), QPointF(10.5, 4.5));
    p.drawLine(QPointF(10.5, 4.5), QPointF(13.5, 4.5));
}

void drawText(QPainter& p, const QRectF& box, const QString& text, const QColor& colour,
              double pixelSize, bool bold = true) {
    QFont f(QStringLiteral("Sans"));
    f.setPixelSize(qRound(pixelSize));
    f.setBold(bold);
    p.save();
    p.setFont(f);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

void drawAngles(QPainter& p, const QColor& left, const QColor& right) {
    QPen pen = p.pen();
    pen.setWidthF(1.6);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setColor(left);
    p.setPen(pen);
    p.drawPolyline(QPolygonF{{6.5, 3.5}, {1.5, 8}, {6.5, 12.5}});
    pen.setColor(right);
    p.setPen(pen);
    p.drawPolyline(QPolygonF{{9.5, 3.5}, {14.5, 8}, {9.5, 12.5}});
}

void draw(int id, QPainter& p) {
    const QColor ink(40, 40, 40);
    p.setPen(QPen(ink, 1.0));
    p.setBrush(Qt::NoBrush);
    switch (id) {
    case cmd::FileNew:
        drawPage(p);
        break;
    case cmd::FileOpen: {
        p.setBrush(QColor(240, 200, 90));
        p.drawPolygon(
            QPolygonF{{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {13.5, 5}, {13.5, 13.5}, {1.5, 13.5}});
        p.setBrush(QColor(250, 222, 130));
        p.drawPolygon(QPolygonF{{1.5, 13.5}, {4, 7.5}, {15.5, 7.5}, {13.5, 13.5}});
        break;
    }
    case cmd::FileSave:
        p.setBrush(QColor(70, 110, 180));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(3.5, 9.5, 9, 5));
        break;
    case cmd::EditCut:
        p.drawEllipse(QRectF(2.5, 10.5, 4, 4));
        p.drawEllipse(QRectF(9.5, 10.5, 4, 4));
        p.drawLine(QPointF(5.5, 10.5), QPointF(11, 1.5));
        p.drawLine(QPointF(10.5, 10.5), QPointF(5, 1.5));
        break;
    case cmd::EditCopy:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 1.5, 8, 10));
        p.drawRect(QRectF(6.5, 4.5, 8, 10));
        for (double y = 7.5; y < 14; y += 2)
            p.drawLine(QPointF(8.5, y), QPointF(12.5, y));
        break;
    case cmd::EditPaste:
        p.setBrush(QColor(190, 150, 90));
        p.drawRect(QRectF(2.5, 2.5, 10, 12));
        p.setBrush(QColor(220, 220, 220));
        p.drawRect(QRectF(5.5, 1.5, 4, 2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7.5, 6.5, 7, 8));
        break;
    case cmd::FilePrint:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(QRectF(1.5, 6.5, 13, 6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        break;
    case cmd::AppAbout:
        p.setBrush(QColor(60, 110, 200));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(1, 1, 14, 14));
        drawText(p, QRectF(1, 1, 14, 14), QStringLiteral("?"), Qt::white, 9);
        break;
    case cmd::GenericForm:
        drawPage(p);
        p.setPen(QPen(QColor(30, 90, 190), 1.0));
        for (double y = 6.5; y < 14; y += 2)
            p.drawLine(QPointF(5.5, y), QPointF(y < 8 ? 9.5 : 11.5, y));
        break;
    case cmd::Index:
        drawText(p, QRectF(0, 0, 16, 12), QStringLiteral("H"), QColor(30, 90, 190), 9);
        p.setPen(QPen(QColor(30, 90, 190), 1.0));
        p.drawLine(QPointF(2.5, 13.5), QPointF(13.5, 13.5));
        break;
    case cmd::Topic:
        p.setPen(QPen(QColor(30, 90, 190), 2.0));
        p.drawLine(QPointF(2, 3), QPointF(10, 3));
        p.setPen(QPen(ink, 1.0));
        for (double y = 6.5; y < 15; y += 2.5)
            p.drawLine(QPointF(5.5, y), QPointF(14.5, y));
        break;
    case cmd::TableTemplate:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.fillRect(QRectF(2, 3, 12, 3), QColor(150, 180, 230));
        p.drawLine(QPointF(1.5, 6.5), QPointF(14.5, 6.5));
        p.drawLine(QPointF(1.5, 10), QPointF(14.5, 10));
        p.drawLine(QPointF(6, 2.5), QPointF(6, 13.5));
        p.drawLine(QPointF(10.5, 2.5), QPointF(10.5, 13.5));
        break;
    case cmd::FileList:
        for (int i = 0; i < 3; ++i) {
            const double y = 3.5 + i * 4.5;
            p.fillRect(QRectF(1.5, y - 1, 2, 2), QColor(30, 90, 190));
            p.drawLine(QPointF(5.5, y), QPointF(14.5, y));
        }
        break;
    case cmd::ImageLink:
        p.setBrush(QColor(200, 230, 255));
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setBrush(QColor(70, 150, 70));
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF{{2, 13}, {6.5, 6.5}, {9.5, 10.5}, {11, 8.5}, {14, 13}});
        p.setBrush(QColor(240, 190, 40));
        p.drawEllipse(QRectF(10, 3.5, 3, 3));
        break;
    case cmd::Calendar:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 2.5, 13, 12));
        p.fillRect(QRectF(2, 3, 12, 3), QColor(200, 60, 60));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                p.fillRect(QRectF(3 + c * 3, 7.5 + r * 2.3, 1.6, 1.4), ink);
        break;
    case cmd::TagColor:
        drawAngles(p, QColor(200, 40, 40), QColor(30, 90, 210));
        break;
    case cmd::TagRemove:
        drawAngles(p, QColor(120, 120, 120), QColor(120, 120, 120));
        p.setPen(QPen(QColor(210, 30, 30), 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(11, 11));
        p.drawLine(QPointF(11, 5), QPointF(5, 11));
        break;
    case cmd::Symbols:
        drawText(p, QRectF(0, 0, 16, 16), QStringLiteral("&"), QColor(120, 40, 150), 11);
        break;
    case cmd::ColorReference:
        p.setPen(QPen(ink, 0.8));
        p.setBrush(QColor(230, 40, 40));
        p.drawEllipse(QRectF(1, 1.5, 8, 8));
        p.setBrush(QColor(40, 180, 60));
        p.drawEllipse(QRectF(7, 1.5, 8, 8));
        p.setBrush(QColor(40, 90, 230));
        p.drawEllipse(QRectF(4, 6.5, 8, 8));
        break;
    case cmd::Date:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 1.5, 11, 13));
        p.fillRect(QRectF(3, 2, 10, 3), QColor(200, 60, 60));
        drawText(p, QRectF(2.5, 5, 11, 9.5), QStringLiteral("7"), ink, 7);
        break;
    case cmd::ViewInBrowser:
        p.setBrush(QColor(200, 225, 255));
        p.setPen(QPen(QColor(30, 90, 190), 1.0));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(5, 1.5, 6, 13));
        p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
        p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
        break;
    default:
        drawPage(p, QColor(230, 230, 230));
        break;
    }
}

class DrawnIconEngine final : public QIconEngine {
public:
    explicit DrawnIconEngine(int id) : id_(id) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.35);
        draw(id_, *painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pm(size * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paint(&p, QRect(QPoint(), size), mode, state);
        return pm;
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(id_); }

private:
    int id_;
};

const char* themeName(int id) {
    switch (id) {
    case cmd::FileNew:
        return "document-new";
    case cmd::FileOpen:
        return "document-open";
    case cmd::FileSave:
        return "document-save";
    case cmd::EditCut:
        return "edit-cut";
    case cmd::EditCopy:
        return "edit-copy";
    case cmd::EditPaste:
        return "edit-paste";
    case cmd::FilePrint:
        return "document-print";
    case cmd::AppAbout:
        return "help-about";
    default:
        return nullptr;
    }
}

} // namespace

QIcon commandIcon(int id) {
    QIcon drawn(new DrawnIconEngine(id));
    if (const char* name = themeName(id))
        return QIcon::fromTheme(QString::fromLatin1(name), drawn);
    return drawn;
}

namespace {

// The one picture of zu, also installed for the desktop; drawn here at the
// sizes a window, a task bar and the About box ask for.
QIcon drawAppIcon() {
    QSvgRenderer renderer(QStringLiteral(":/icons/zu.svg"));
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace

QIcon appIcon() {
    // Drawn once: every window shares the one icon, and with it the scaled
    // copies the pixmap cache keeps of it. A new icon per window would fill
    // the cache with copies nobody asks for again.
    static const QIcon icon = drawAppIcon();
    return icon;
}

} // namespace zu
