#pragma once

#include <QImage>

// A sheet for checking the icons by eye: one row per icon, every size enlarged four times
// without smoothing, once on a light and once on a dark panel colour.
QImage ComposePreviewSheet();
