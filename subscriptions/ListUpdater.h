#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "net/Reactor.h"
#include "subscriptions/ListSubscription.h"

class CListUpdate;
class ProfileStore;

// Keeps the subscribed lists (section "Lists" of the profile) up to date: at start the
// lists whose file is missing, whose last try failed or that are older than
// "RefreshHours"; while the program runs, each list again once "RefreshHours" have passed
// since its last try (looked at every kDueCheckMinutes); and every list, or the lists
// given, whenever asked. A list already being fetched is not fetched twice. When an update
// has changed any list file, `reload` runs once, at its end.
//
// Owned by the main window. Works on the reactor of the thread that creates it (none: it
// does nothing). Destroying it abandons the downloads still running, without waiting.
class CListUpdater {
public:
    static constexpr int kDueCheckMinutes = 10;

    // `profile` must outlive the updater.
    CListUpdater(const ProfileStore& profile, std::function<void()> reload);
    ~CListUpdater();

    CListUpdater(const CListUpdater&) = delete;
    CListUpdater& operator=(const CListUpdater&) = delete;

    // Fetches the lists due at start, and from now on looks for due lists now and then.
    void Start();
    // Fetches every subscribed list now ("Update Lists", /u).
    void UpdateAll();
    // Fetches these lists now (those just subscribed to).
    void Update(const std::vector<ListSubscription>& lists);
    // Some download is running.
    bool IsUpdating() const;

private:
    void UpdateDue(bool atStart);
    void ArmDueCheck();
    void OnFinished(bool changed);

    const ProfileStore& m_profile;
    std::function<void()> m_reload;
    CReactor* const m_reactor;
    CReactor::TimerId m_dueCheck = 0;
    // The update running, or the last one until the next starts (its own callback ends it).
    std::unique_ptr<CListUpdate> m_update;
};
