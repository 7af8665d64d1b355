#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>

// The control of a dialog window with the id `id` (its object name); a missing one fails
// the test.
template <typename Widget>
Widget* Control(QWidget& window, int id) {
    auto* widget = window.findChild<Widget*>(QString::number(id));
    EXPECT_NE(widget, nullptr) << id;
    return widget;
}
