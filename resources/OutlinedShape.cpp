#include "resources/OutlinedShape.h"

#include <QPainter>
#include <QPen>

#include "resources/IconGrid.h"
#include "resources/IconPalette.h"

void DrawOutlined(QPainter& painter, int size, std::initializer_list<FilledPath> parts) {
    // The pen is centred on the edge, so twice the outline width leaves one outline width
    // outside; the fills drawn afterwards cover the inner half. All outlines go first so
    // that no part's outline cuts into a neighbouring part.
    const QPen outline(QColor(palette::kOutline), 2 * OutlineWidthPx(size), Qt::SolidLine,
                       Qt::SquareCap, Qt::MiterJoin);
    for (const FilledPath& part : parts) {
        painter.strokePath(part.path, outline);
    }
    for (const FilledPath& part : parts) {
        painter.fillPath(part.path, part.colour);
    }
}
