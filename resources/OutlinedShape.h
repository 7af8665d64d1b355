#pragma once

#include <initializer_list>

#include <QColor>
#include <QPainterPath>

class QPainter;

// One filled part of an outlined shape.
struct FilledPath {
    QPainterPath path;
    QColor colour;
};

// Fills the parts and puts one dark outline, OutlineWidthPx(size) wide, around their union.
// The outline lies outside the paths: a part placed on whole pixels keeps its full area.
void DrawOutlined(QPainter& painter, int size, std::initializer_list<FilledPath> parts);
