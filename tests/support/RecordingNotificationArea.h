#pragma once

#include <string>
#include <vector>

#include "shell/HeadlessNotificationArea.h"
#include "shell/NotifyIconData.h"

// A headless notification area that also remembers every image it was asked to show, in
// order, for tests that follow the icon's animation, and every balloon.
class CRecordingNotificationArea : public CHeadlessNotificationArea {
public:
    bool Notify(NotifyMessage message, const NotifyIconData& data) override {
        const bool done = CHeadlessNotificationArea::Notify(message, data);
        if (done &&
            (message == NotifyMessage::kAdd || (message == NotifyMessage::kModify &&
                                                (data.flags & NotifyIconData::kFlagIcon) != 0))) {
            m_images.push_back(data.icon);
        }
        return done;
    }

    void ShowBalloon(const std::string& title, const std::string& text) override {
        m_balloons.push_back(title + ": " + text);
    }

    const std::vector<int>& Images() const { return m_images; }
    // "title: text" of every balloon shown.
    const std::vector<std::string>& Balloons() const { return m_balloons; }

private:
    std::vector<int> m_images;
    std::vector<std::string> m_balloons;
};
