#pragma once

#include <memory>
#include <string>

#include "shell/NotificationArea.h"

class CActivityDialog;
class CBlockListsDialog;
class CIPInfoDialog;
class CProxyDNSDialog;
class CReactor;

// What a modal dialog returns: OK, or Cancel (also after closing it by other means).
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// The program that opens a file in the user's preferred application.
inline constexpr const char* kEditorLauncher = "xdg-open";

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

    // Runs one of Nimbrel's dialogs modally, socket notifications flowing meanwhile, and
    // returns IDOK or IDCANCEL. A desktop that cannot show it returns IDCANCEL at once
    // without letting the dialog initialise.
    virtual int RunDialog(CIPInfoDialog& dialog) = 0;
    virtual int RunDialog(CProxyDNSDialog& dialog) = 0;
    // Shows Nimbrel's Activity window for `dialog`, not modal; while one is open, it is
    // brought forward instead. A desktop that cannot show it does nothing.
    virtual void ShowActivity(CActivityDialog& dialog) = 0;
    // Closes and forgets the Activity window, if one was shown: its dialog is going away.
    virtual void CloseActivity() = 0;
    virtual int RunDialog(CBlockListsDialog& dialog) = 0;
    // Lets the user choose a folder in a chooser titled `title` that starts at `start`.
    // True with `folder` set to the chosen path; false, `folder` untouched, on cancel or
    // where no chooser can be shown.
    virtual bool ChooseFolder(const std::string& title, const std::string& start,
                              std::string& folder) = 0;
    // Hands the file to the user's editor (`xdg-open <path>`), started detached and not
    // waited for; its outcome is not examined.
    virtual void OpenInEditor(const std::string& path) = 0;

    // Runs the loop, socket notifications and posted commands included, until Quit.
    virtual void Run(CReactor& reactor) = 0;
    virtual void Quit() = 0;
};
