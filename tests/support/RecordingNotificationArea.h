#pragma once

#include <vector>

#include "shell/HeadlessNotificationArea.h"
#include "shell/NotifyIconData.h"

// A headless notification area that also remembers every image it was asked to show, in
// order, for tests that follow the icon's animation.
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

    const std::vector<int>& Images() const { return m_images; }

private:
    std::vector<int> m_images;
};
