#include "resources/QuorvinIcons.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRect>
#include <QRectF>

#include "resources/IconGrid.h"
#include "resources/IconPalette.h"
#include "resources/OutlinedShape.h"

namespace {

// Below this size the sun is a square block of pixels; a disc that small is only a blur.
constexpr int kRoundSunMinSizePx = 32;

QPointF GridPoint(int size, double x16, double y16) {
    return QPointF(Px(size, x16), Px(size, y16));
}

}  // namespace

void DrawPictureFrame(QPainter& painter, int size, const FrameColours& colours) {
    const int margin = OutlineWidthPx(size);
    const int topGap = Px(size, 1);
    const QRect outer(margin, margin + topGap, size - 2 * margin, size - 2 * (margin + topGap));
    const int frameWidth = Px(size, 2);
    const QRect inside = outer.adjusted(frameWidth, frameWidth, -frameWidth, -frameWidth);

    QPainterPath frame;
    const double radius = Px(size, 1.5);
    frame.addRoundedRect(QRectF(outer), radius, radius);
    DrawOutlined(painter, size, {{frame, QColor(colours.frame)}});
    painter.fillRect(inside, QColor(colours.inside));

    // The picture is laid out on the 16 px grid, where the inside spans (3,4)-(13,12).
    painter.save();
    painter.setClipRect(inside);
    QPainterPath hills;
    hills.addPolygon(QPolygonF({
        GridPoint(size, 3, 13),
        GridPoint(size, 3, 11),
        GridPoint(size, 7, 7),
        GridPoint(size, 9, 9),
        GridPoint(size, 10, 8),
        GridPoint(size, 14, 12),
        GridPoint(size, 14, 13),
    }));
    hills.closeSubpath();
    painter.fillPath(hills, QColor(colours.hills));

    const QRectF sun(GridPoint(size, 10, 5), GridPoint(size, 12, 7));
    if (size < kRoundSunMinSizePx) {
        painter.fillRect(sun, QColor(colours.sun));
    } else {
        QPainterPath disc;
        disc.addEllipse(sun);
        painter.fillPath(disc, QColor(colours.sun));
    }
    painter.restore();
}

void DrawShield(QPainter& painter, int size) {
    QPainterPath shield;
    shield.moveTo(GridPoint(size, 8, 1));
    shield.lineTo(GridPoint(size, 14, 3));
    shield.lineTo(GridPoint(size, 14, 8));
    shield.cubicTo(GridPoint(size, 14, 11.5), GridPoint(size, 11, 14), GridPoint(size, 8, 15));
    shield.cubicTo(GridPoint(size, 5, 14), GridPoint(size, 2, 11.5), GridPoint(size, 2, 8));
    shield.lineTo(GridPoint(size, 2, 3));
    shield.closeSubpath();
    DrawOutlined(painter, size, {{shield, QColor(palette::kShapePink)}});

    QPainterPath check;
    check.moveTo(GridPoint(size, 5, 8));
    check.lineTo(GridPoint(size, 7, 10));
    check.lineTo(GridPoint(size, 11, 6));
    painter.strokePath(check, QPen(QColor(palette::kCheckMark), Px(size, 2), Qt::SolidLine,
                                   Qt::SquareCap, Qt::MiterJoin));
}
