#pragma once

class QPainter;

// Nimbrel's icons other than the lamp panel. Each fills a size x size image.

// Loading the filter lists: a green arrow pointing left into a bracket.
void DrawListLoading(QPainter& painter, int size);

// The second About icon: a globe, for the names of the wide world that Nimbrel resolves.
void DrawGlobe(QPainter& painter, int size);
