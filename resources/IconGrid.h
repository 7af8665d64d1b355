#pragma once

#include <QtGlobal>

// Every icon is designed on a 16 px grid and laid out again for each size it is drawn at.
// Coordinates snap to whole pixels of the target size, so straight edges stay crisp at
// every size instead of blurring the way a scaled-down bitmap does.
inline constexpr int kDesignGridPx = 16;

// The pixel position at `size` of a point placed at `at16` on the 16 px grid.
inline int Px(int size, double at16) {
    return qRound(at16 * size / kDesignGridPx);
}

// Dark outlines are one pixel wide up to 24 px and two from 32 px on, where one pixel
// no longer holds a shape apart from the panel behind it. From 64 px on, the large
// icons of desktop menus, they keep the 16 px design's proportion, a sixteenth of the size.
inline int OutlineWidthPx(int size) {
    if (size >= 64) {
        return size / kDesignGridPx;
    }
    return size >= 32 ? 2 : 1;
}
