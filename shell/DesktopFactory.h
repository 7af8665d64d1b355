#pragma once

#include <memory>
#include <string>

#include "shell/Desktop.h"

// The desktop the program runs on: Qt's when a display server of the graphical session
// (DISPLAY or WAYLAND_DISPLAY) answers, in a build with Qt; the headless one otherwise, with
// one line on standard error when a display is named but does not answer. `program` names
// the program's icon resources.
std::unique_ptr<IDesktop> MakeDesktop(int& argc, char** argv, const std::string& program);
