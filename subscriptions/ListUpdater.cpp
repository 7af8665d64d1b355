#include "subscriptions/ListUpdater.h"

#include <unistd.h>

#include <ctime>

#include "dns/FilterFile.h"
#include "subscriptions/ListPaths.h"
#include "subscriptions/ListSchedule.h"
#include "subscriptions/ListState.h"
#include "subscriptions/ListUpdate.h"

namespace {

constexpr int kMillisecondsPerMinute = 60 * 1000;

}  // namespace

CListUpdater::CListUpdater(const ProfileStore& profile, std::function<void()> reload)
    : m_profile(profile), m_reload(std::move(reload)), m_reactor(CReactor::Current()) {}

CListUpdater::~CListUpdater() {
    if (m_reactor != nullptr) {
        m_reactor->StopTimer(m_dueCheck);
    }
}

void CListUpdater::Start() {
    UpdateDue(true);
    ArmDueCheck();
}

void CListUpdater::UpdateAll() {
    Update(ReadSubscriptions(m_profile));
}

void CListUpdater::Update(const std::vector<ListSubscription>& lists) {
    if (m_reactor == nullptr || lists.empty()) {
        return;
    }
    // A new update takes over from a finished one; a running one takes the new lists too.
    // The folder is the one of the update's start.
    if (!m_update || m_update->IsFinished()) {
        m_update = std::make_unique<CListUpdate>(*m_reactor, FilterFolder(m_profile),
                                                 [this](bool changed) { OnFinished(changed); });
    }
    for (const ListSubscription& list : lists) {
        m_update->Add(list);
    }
}

bool CListUpdater::IsUpdating() const {
    return m_update && !m_update->IsFinished();
}

void CListUpdater::UpdateDue(bool atStart) {
    const int refreshHours = RefreshHours(m_profile);
    if (refreshHours <= 0) {
        return;
    }
    const std::string folder = FilterFolder(m_profile);
    const auto now = static_cast<std::int64_t>(std::time(nullptr));
    std::vector<ListSubscription> due;
    for (ListSubscription& list : ReadSubscriptions(m_profile)) {
        const ListState state = ReadListState(ListStatePath(folder, list));
        const ListAge age{::access(ListFilePath(folder, list).c_str(), F_OK) == 0,
                          state.lastAttempt, !state.lastError.empty()};
        if (IsListDue(age, now, refreshHours, atStart)) {
            due.push_back(std::move(list));
        }
    }
    Update(due);
}

void CListUpdater::ArmDueCheck() {
    if (m_reactor == nullptr) {
        return;
    }
    m_dueCheck = m_reactor->StartTimer(kDueCheckMinutes * kMillisecondsPerMinute, [this] {
        m_dueCheck = 0;
        UpdateDue(false);
        ArmDueCheck();
    });
}

void CListUpdater::OnFinished(bool changed) {
    if (changed && m_reload) {
        m_reload();
    }
}
