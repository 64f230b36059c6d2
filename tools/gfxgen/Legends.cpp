// Brass captions over the overview and the preview.
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "Artwork.h"
#include "Layout.h"
#include "Raster.h"

namespace tessum::gfx {

QImage PaintLegend(const std::string& Text, const QImage& Behind, int Scale) {
    const int w = LegendWidth, h = LegendHeight;
    QImage img = Behind.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.scale(Scale, Scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF plate(0.5, 0.5, w - 1.0, h - 1.0);
    QPainterPath shape;
    shape.addRoundedRect(plate, 3.5, 3.5);

    QLinearGradient brass(0, 0, w * 0.35, h * 1.6);
    brass.setColorAt(0.0, QColor(250, 228, 150));
    brass.setColorAt(0.4, QColor(214, 172, 84));
    brass.setColorAt(0.75, QColor(178, 134, 52));
    brass.setColorAt(1.0, QColor(138, 98, 34));
    p.fillPath(shape, brass);

    // Brushed metal: faint horizontal streaks of fixed pattern.
    p.save();
    p.setClipPath(shape);
    Rng rng(7 + Text.size());
    for (int y = 1; y < h - 1; ++y) {
        for (int k = 0; k < 3; ++k) {
            const double x0 = rng.Range(-20, w), len = rng.Range(15, 60);
            const int a = static_cast<int>(rng.Range(10, 34));
            p.setPen(QPen(rng.Uniform() < 0.5 ? QColor(255, 245, 210, a) : QColor(90, 60, 20, a / 2), 1.0));
            p.drawLine(QPointF(x0, y + 0.5), QPointF(x0 + len, y + 0.5));
        }
    }
    p.restore();

    // Bevel: lit upper left edge, shaded lower right edge.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 248, 210, 230), 1.2));
    p.drawLine(QPointF(3, 1.2), QPointF(w - 4, 1.2));
    p.drawLine(QPointF(1.2, 3), QPointF(1.2, h - 4));
    p.setPen(QPen(QColor(90, 58, 16, 230), 1.2));
    p.drawLine(QPointF(3, h - 1.3), QPointF(w - 3, h - 1.3));
    p.drawLine(QPointF(w - 1.3, 3), QPointF(w - 1.3, h - 3));
    p.setPen(QPen(QColor(70, 45, 12, 200), 1.0));
    p.drawPath(shape);

    // Two screws.
    for (double sx : {8.5, w - 8.5}) {
        const QPointF c(sx, h * 0.5);
        QRadialGradient head(c + QPointF(-1, -1), 3.6);
        head.setColorAt(0.0, QColor(255, 240, 190));
        head.setColorAt(0.7, QColor(170, 128, 50));
        head.setColorAt(1.0, QColor(96, 66, 20));
        p.setPen(QPen(QColor(80, 52, 14), 0.8));
        p.setBrush(head);
        p.drawEllipse(c, 3.0, 3.0);
        p.setPen(QPen(QColor(70, 44, 10), 1.0));
        p.drawLine(c + QPointF(-2.0, 1.3), c + QPointF(2.0, -1.3));
    }

    // Engraved caption: the groove's lower right wall catches the light.
    QFont font("DejaVu Serif");
    font.setPixelSize(13);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    p.setFont(font);
    const QString text = QString::fromUtf8(Text.c_str());
    const QRectF box(14, 0, w - 28, h);
    p.setPen(QColor(255, 244, 200, 210));
    p.drawText(box.translated(0.8, 0.9), Qt::AlignCenter, text);
    p.setPen(QColor(62, 38, 8));
    p.drawText(box, Qt::AlignCenter, text);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

}  // namespace tessum::gfx
