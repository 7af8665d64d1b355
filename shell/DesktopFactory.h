#pragma once

#include <memory>
#include <string>

#include "shell/Desktop.h"

// The desktop the program runs on: Qt's in a graphical session (DISPLAY or
// WAYLAND_DISPLAY set) of a build with Qt, the headless one otherwise. `program` names the
// program's icon resources.
std::unique_ptr<IDesktop> MakeDesktop(int& argc, char** argv, const std::string& program);
