#include "gui/widgets/glyph_icon.h"

#include <QFont>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <utility>

namespace zu::ui {
namespace {

class GlyphEngine final : public QIconEngine {
public:
    explicit GlyphEngine(QString glyph) : glyph_(std::move(glyph)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        QFont font;
        // A face that has every Latin-1 letter and sign, whichever is there.
        font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans"),
                          QStringLiteral("Noto Sans CJK JP")});
        font.setPixelSize(std::max(1, rect.height() * 3 / 4));
        painter->save();
        painter->setRenderHint(QPainter::TextAntialiasing);
        painter->setFont(font);
        painter->setPen(mode == QIcon::Disabled ? QColor(128, 128, 128) : QColor(Qt::black));
        painter->drawText(rect, Qt::AlignCenter, glyph_);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new GlyphEngine(glyph_); }

private:
    QString glyph_;
};

} // namespace

QIcon glyphIcon(const QString& glyph) {
    return QIcon(new GlyphEngine(glyph));
}

} // namespace zu::ui
