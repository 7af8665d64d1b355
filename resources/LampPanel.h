#pragma once

class QPainter;

// Nimbrel's activity display: a small dark panel with one wide lamp on top and two small
// lamps below it.
enum class Lamp { Dark, Green, Blue };

struct LampStates {
    Lamp top;
    Lamp left;
    Lamp right;
};

// Draws the panel filling a size x size image. Dark lamps stay visible as dim grey-green;
// lit lamps are bright with a small highlight.
void DrawLampPanel(QPainter& painter, int size, LampStates lamps);
