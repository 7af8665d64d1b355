#pragma once

#include <QRgb>

class QPainter;

// Quorvin's icons. Each fills a size x size image.

// The colours of a picture frame: the frame itself, the picture's background, and the
// hills and sun drawn on it.
struct FrameColours {
    QRgb frame;
    QRgb inside;
    QRgb hills;
    QRgb sun;
};

// A small picture in a frame: two hills and a sun. The tray states draw it in one colour
// on a dark inside; the program icon in full colour.
void DrawPictureFrame(QPainter& painter, int size, const FrameColours& colours);

// The second About icon: a shield with a check mark, for the content kept off the page.
void DrawShield(QPainter& painter, int size);
