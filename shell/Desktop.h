#pragma once

#include <memory>
#include <string>

#include "shell/NotificationArea.h"

class CReactor;

// What an About box shows: a title, the program and version line, one more line of text,
// an icon resource at the left and one at the right.
struct AboutInfo {
    std::string title;
    std::string versionLine;
    std::string text;
    int leftIcon = 0;
    int rightIcon = 0;
};

// The desktop a program runs on: its notification area, its message boxes and dialogs,
// and the loop that delivers everything on the one thread. A graphical desktop (Qt) or a
// headless one (no display: nothing is shown, the socket reactor runs the loop).
class IDesktop {
public:
    virtual ~IDesktop() = default;

    virtual std::unique_ptr<INotificationArea> CreateNotificationArea(
        const std::string& program) = 0;

    // A message box with an OK button and the program title as caption.
    virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;
    // Runs the About box modally; socket notifications keep flowing meanwhile.
    virtual void RunAbout(const AboutInfo& about) = 0;

    // Runs the loop, socket notifications and posted commands included, until Quit.
    virtual void Run(CReactor& reactor) = 0;
    virtual void Quit() = 0;
};
