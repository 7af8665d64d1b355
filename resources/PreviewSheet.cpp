#include "resources/PreviewSheet.h"

#include <array>
#include <numeric>

#include <QColor>
#include <QPainter>

#include "resources/IconCatalog.h"

namespace {

constexpr int kZoom = 4;
constexpr int kSpacingPx = 8;
constexpr std::array<QRgb, 2> kPanelColours = {0xffeeeeee, 0xff2a2a2e};

}  // namespace

QImage ComposePreviewSheet() {
    const int largest = kIconSizesPx.back() * kZoom;
    const int rowHeight = largest + kSpacingPx;
    const int sizesWidth = std::accumulate(kIconSizesPx.begin(), kIconSizesPx.end(), 0) * kZoom +
                           static_cast<int>(kIconSizesPx.size() + 1) * kSpacingPx;
    const auto icons = IconCatalog();

    QImage sheet(sizesWidth * static_cast<int>(kPanelColours.size()),
                 static_cast<int>(icons.size()) * rowHeight + kSpacingPx,
                 QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&sheet);
    for (std::size_t panel = 0; panel < kPanelColours.size(); ++panel) {
        const int left = static_cast<int>(panel) * sizesWidth;
        painter.fillRect(left, 0, sizesWidth, sheet.height(), QColor(kPanelColours[panel]));
        for (std::size_t row = 0; row < icons.size(); ++row) {
            int x = left + kSpacingPx;
            const int y = kSpacingPx + static_cast<int>(row) * rowHeight;
            for (const int size : kIconSizesPx) {
                const QImage icon = RenderIcon(icons[row], size)
                                        .scaled(size * kZoom, size * kZoom, Qt::IgnoreAspectRatio,
                                                Qt::FastTransformation);
                painter.drawImage(x, y + largest - icon.height(), icon);
                x += icon.width() + kSpacingPx;
            }
        }
    }
    painter.end();
    return sheet;
}
