#include "resources/IconCatalog.h"

#include <QPainter>

#include "resources/IconPalette.h"
#include "resources/LampPanel.h"
#include "resources/NimbrelIcons.h"
#include "resources/QuorvinIcons.h"

namespace {

constexpr FrameColours OneColourFrame(QRgb shape) {
    return {shape, palette::kOutline, shape, shape};
}

constexpr std::array kIcons = {
    // Nimbrel: 128 program icon, 132 second About icon, the rest activity states 0-5.
    IconEntry{"nimbrel", 128,
              [](QPainter& p, int s) {
                  DrawLampPanel(p, s, {Lamp::Green, Lamp::Blue, Lamp::Green});
              }},
    IconEntry{"nimbrel", 131,
              [](QPainter& p, int s) {
                  DrawLampPanel(p, s, {Lamp::Green, Lamp::Dark, Lamp::Dark});
              }},
    IconEntry{"nimbrel", 132, [](QPainter& p, int s) { DrawGlobe(p, s); }},
    IconEntry{"nimbrel", 138,
              [](QPainter& p, int s) {
                  DrawLampPanel(p, s, {Lamp::Dark, Lamp::Dark, Lamp::Dark});
              }},
    IconEntry{"nimbrel", 139,
              [](QPainter& p, int s) {
                  DrawLampPanel(p, s, {Lamp::Green, Lamp::Blue, Lamp::Dark});
              }},
    IconEntry{"nimbrel", 140,
              [](QPainter& p, int s) {
                  DrawLampPanel(p, s, {Lamp::Green, Lamp::Dark, Lamp::Blue});
              }},
    IconEntry{"nimbrel", 141, [](QPainter& p, int s) { DrawListLoading(p, s); }},
    IconEntry{"nimbrel", 144,
              [](QPainter& p, int s) {
                  DrawLampPanel(p, s, {Lamp::Dark, Lamp::Green, Lamp::Green});
              }},
    // Quorvin: 128 program icon, 132 second About icon; 129 stopped, 130 running and
    // first animation frame, 131 second animation frame.
    IconEntry{"quorvin", 128,
              [](QPainter& p, int s) {
                  DrawPictureFrame(p, s,
                                   {palette::kShapeWhite, palette::kPictureSky,
                                    palette::kPictureHill, palette::kPictureSun});
              }},
    IconEntry{
        "quorvin", 129,
        [](QPainter& p, int s) { DrawPictureFrame(p, s, OneColourFrame(palette::kShapeGrey)); }},
    IconEntry{
        "quorvin", 130,
        [](QPainter& p, int s) { DrawPictureFrame(p, s, OneColourFrame(palette::kShapeWhite)); }},
    IconEntry{
        "quorvin", 131,
        [](QPainter& p, int s) { DrawPictureFrame(p, s, OneColourFrame(palette::kShapePink)); }},
    IconEntry{"quorvin", 132, [](QPainter& p, int s) { DrawShield(p, s); }},
};

}  // namespace

std::span<const IconEntry> IconCatalog() {
    return kIcons;
}

QImage RenderIcon(const IconEntry& icon, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    icon.draw(painter, size);
    painter.end();
    return image;
}

QString IconFileName(const IconEntry& icon, int size) {
    return QStringLiteral("%1-%2-%3.png").arg(icon.program).arg(icon.resourceId).arg(size);
}
