#pragma once

#include "shell/TrayFrame.h"
#include "shell/WindowMessages.h"

// A window of neither program, for the tests of the frame, its tray icon and the areas the
// icon shows in. Its service is a flag that a double-click, Start and Stop turn on and off;
// its menu has separators, the service's two items with a check mark and an item without a
// command.
class CTestFrame : public CTrayFrame {
public:
    static constexpr int kIconId = 130;
    static constexpr int kHide = 32771;
    static constexpr int kHideOnStart = 32772;
    static constexpr int kStart = 32773;
    static constexpr int kStop = 32774;
    static constexpr int kMissing = 32777;

    CTestFrame(const ProfileStore& profile, INotificationArea& area)
        : CTrayFrame(profile, area, {nullptr, [this] { ++closes; }}, m_menuResource, kIconId,
                     {kHide, kHideOnStart}) {
        m_commands.Add(
            kStart, [this] { SetRunning(true); }, [this] { return running; });
        m_commands.Add(
            kStop, [this] { SetRunning(false); }, [this] { return !running; });
    }
    bool Create() { return CreateTrayIcon("Tip"); }

    bool running = false;
    int closes = 0;

protected:
    void ToggleService() override { SetRunning(!running); }

private:
    void SetRunning(bool on) {
        running = on;
        m_trayIcon.UpdateMenu();
    }

    const MenuResource m_menuResource = {
        {"&About", ID_APP_ABOUT}, {nullptr, 0},           {"Load", kMissing},
        {"Hide", kHide},          {"Auto", kHideOnStart}, {nullptr, 0},
        {"Start", kStart},        {"Stop", kStop},        {nullptr, 0},
        {"Exit", ID_APP_EXIT}};
};
