#include "resources/LampPanel.h"

#include <algorithm>
#include <array>

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRect>

#include "resources/IconPalette.h"

namespace {

// The panel is laid out by hand for each size, so that borders, lamps and the gaps
// between them fall on whole pixels: at 16 px every lamp is a plain block of pixels.
struct PanelMetrics {
    int size;
    int marginX;  // transparent columns left and right of the panel
    int marginY;  // transparent rows above and below it
    int border;   // width of the light border
    int radius;   // corner radius of the panel
    int padding;  // dark space between the border and the lamps
    int gap;      // dark space between the lamps
};

constexpr std::array kPanelMetrics = {
    PanelMetrics{16, 0, 1, 1, 2, 2, 2}, PanelMetrics{22, 1, 2, 1, 3, 3, 2},
    PanelMetrics{24, 1, 2, 1, 3, 3, 2}, PanelMetrics{32, 1, 3, 2, 4, 4, 3},
    PanelMetrics{48, 2, 4, 2, 6, 6, 4}, PanelMetrics{256, 11, 21, 11, 32, 32, 21},
};

// A lamp at least this tall gets a darker rim; smaller ones have no pixels to spare. The
// rim is one pixel wide up to the lamps of the 48 px icon and grows with larger lamps.
constexpr int kRimmedLampMinHeightPx = 5;
constexpr int kThinRimMaxHeightPx = 32;
constexpr int kLampHeightPerRimPx = 16;

// The layout of the largest listed size that fits.
const PanelMetrics& MetricsFor(int size) {
    const PanelMetrics* best = &kPanelMetrics.front();
    for (const PanelMetrics& metrics : kPanelMetrics) {
        if (metrics.size <= size) {
            best = &metrics;
        }
    }
    return *best;
}

struct LampColours {
    QRgb base;
    QRgb rim;
    QRgb highlight;
};

LampColours ColoursOf(Lamp lamp) {
    switch (lamp) {
        case Lamp::Green:
            return {palette::kLampGreen, palette::kLampGreenRim, palette::kLampGreenHighlight};
        case Lamp::Blue:
            return {palette::kLampBlue, palette::kLampBlueRim, palette::kLampBlueHighlight};
        case Lamp::Dark:
            break;
    }
    return {palette::kLampDark, palette::kLampDarkRim, palette::kLampDark};  // no glint
}

void FillRounded(QPainter& painter, const QRect& rect, int radius, QRgb colour) {
    QPainterPath path;
    path.addRoundedRect(QRectF(rect), radius, radius);
    painter.fillPath(path, QColor(colour));
}

int RimWidthPx(int lampHeight) {
    if (lampHeight < kRimmedLampMinHeightPx) {
        return 0;
    }
    return lampHeight <= kThinRimMaxHeightPx ? 1 : lampHeight / kLampHeightPerRimPx;
}

void DrawLamp(QPainter& painter, const QRect& rect, Lamp lamp) {
    const LampColours colours = ColoursOf(lamp);
    const int inset = RimWidthPx(rect.height());
    painter.fillRect(rect, QColor(colours.rim));
    painter.fillRect(rect.adjusted(inset, inset, -inset, -inset), QColor(colours.base));
    if (lamp == Lamp::Dark) {
        return;
    }
    // A glint in the upper left corner, a third of the lit area in each direction.
    const int width = std::max(1, (rect.width() - 2 * inset) / 3);
    const int height = std::max(1, (rect.height() - 2 * inset) / 3);
    painter.fillRect(QRect(rect.left() + inset, rect.top() + inset, width, height),
                     QColor(colours.highlight));
}

}  // namespace

void DrawLampPanel(QPainter& painter, int size, LampStates lamps) {
    const PanelMetrics& m = MetricsFor(size);
    const QRect panel(m.marginX, m.marginY, size - 2 * m.marginX, size - 2 * m.marginY);
    const QRect inner = panel.adjusted(m.border, m.border, -m.border, -m.border);
    FillRounded(painter, panel, m.radius, palette::kPanelBorder);
    FillRounded(painter, inner, std::max(0, m.radius - m.border), palette::kPanelFill);

    const QRect area = inner.adjusted(m.padding, m.padding, -m.padding, -m.padding);
    const int topHeight = (area.height() - m.gap) / 2;
    const int smallHeight = area.height() - m.gap - topHeight;
    const int smallWidth = (area.width() - m.gap) / 2;
    const int smallTop = area.bottom() + 1 - smallHeight;

    DrawLamp(painter, QRect(area.left(), area.top(), area.width(), topHeight), lamps.top);
    DrawLamp(painter, QRect(area.left(), smallTop, smallWidth, smallHeight), lamps.left);
    DrawLamp(painter, QRect(area.right() + 1 - smallWidth, smallTop, smallWidth, smallHeight),
             lamps.right);
}
