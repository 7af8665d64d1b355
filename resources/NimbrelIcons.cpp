#include "resources/NimbrelIcons.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRectF>

#include "resources/IconGrid.h"
#include "resources/IconPalette.h"
#include "resources/OutlinedShape.h"

void DrawListLoading(QPainter& painter, int size) {
    // Shapes are placed from the outline's margin and the middle row outwards, so both
    // halves of the arrow get the same number of pixels at every size.
    const int margin = OutlineWidthPx(size);
    const int middle = size / 2;
    const int stroke = Px(size, 2);
    const int serifEnd = margin + Px(size, 5);

    QPainterPath bracket;
    bracket.addRect(QRectF(margin, margin, stroke, size - 2 * margin));
    bracket.addRect(QRectF(margin, margin, serifEnd - margin, stroke));
    bracket.addRect(QRectF(margin, size - margin - stroke, serifEnd - margin, stroke));
    bracket.setFillRule(Qt::WindingFill);

    const int tip = margin + Px(size, 4);
    const int headHalf = Px(size, 5);
    const int headBase = tip + headHalf;  // 45 degree flanks
    const int shaftHalf = Px(size, 1);
    QPainterPath arrow;
    arrow.addPolygon(QPolygonF({
        QPointF(tip, middle),
        QPointF(headBase, middle - headHalf),
        QPointF(headBase, middle - shaftHalf),
        QPointF(size - margin, middle - shaftHalf),
        QPointF(size - margin, middle + shaftHalf),
        QPointF(headBase, middle + shaftHalf),
        QPointF(headBase, middle + headHalf),
    }));
    arrow.closeSubpath();

    DrawOutlined(painter, size,
                 {{bracket, QColor(palette::kBracket)}, {arrow, QColor(palette::kArrowGreen)}});
}

void DrawGlobe(QPainter& painter, int size) {
    const int margin = OutlineWidthPx(size);
    const QRectF disc(margin, margin, size - 2 * margin, size - 2 * margin);
    QPainterPath globe;
    globe.addEllipse(disc);
    DrawOutlined(painter, size, {{globe, QColor(palette::kGlobeSea)}});

    // Two parallels and a pair of meridians, one pixel wide (two from 32 px), kept inside
    // the disc. The parallels sit on whole rows placed symmetrically about the middle.
    painter.save();
    painter.setClipPath(globe);
    const int line = OutlineWidthPx(size);
    const int middle = size / 2;
    const int latitude = Px(size, 3);
    const QColor grid(palette::kGlobeGrid);
    painter.fillRect(QRectF(0, middle - latitude - line, size, line), grid);
    painter.fillRect(QRectF(0, middle + latitude, size, line), grid);
    painter.setPen(QPen(grid, line));
    painter.setBrush(Qt::NoBrush);
    const double meridianHalf = Px(size, 3) - line / 2.0;
    painter.drawEllipse(QRectF(middle - meridianHalf, disc.top() - line, 2 * meridianHalf,
                               disc.height() + 2 * line));
    painter.restore();
}
