#pragma once

#include <functional>
#include <set>
#include <string>
#include <utility>

#include "subscriptions/CurlTransfers.h"
#include "subscriptions/ListSubscription.h"

class CReactor;
struct FetchResult;

// One update of subscribed lists: downloads each list added to it, side by side, and keeps
// the outcome in the filter folder. A good download replaces the list's file atomically; a
// 304 keeps it; a failure keeps the previous file and writes one line on standard error
// with the URL and the reason. The state file beside each list records the validators,
// the times and the last error. When the last download has ended, `onFinished` runs from
// dispatch with whether any list file changed.
//
// Owned by the list updater; destroying it abandons the downloads still running.
class CListUpdate {
public:
    using OnFinished = std::function<void(bool changed)>;

    // The reactor must outlive this object; `onFinished` must not destroy it.
    CListUpdate(CReactor& reactor, std::string filterFolder, OnFinished onFinished);

    // Starts downloading `list`, unless this update has already taken it.
    void Add(const ListSubscription& list);
    // No download of this update is running (none was added, or all have ended).
    bool IsFinished() const { return m_transfers.Running() == 0; }

private:
    void OnFetched(const ListSubscription& list, const FetchResult& result);

    const std::string m_folder;
    OnFinished m_onFinished;
    std::set<std::pair<ListSide, std::string>> m_taken;
    bool m_changed = false;
    CCurlTransfers m_transfers;  // last: destroyed first, so no download ends half-way
};
