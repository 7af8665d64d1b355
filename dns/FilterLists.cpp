#include "dns/FilterLists.h"

#include <unistd.h>

#include <climits>
#include <string>

#include "dns/ActivitySink.h"
#include "dns/FilterFile.h"
#include "settings/ProfileStore.h"
#include "settings/TextFile.h"

namespace {

std::string CurrentFolder() {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) != nullptr) {
        return buffer;
    }
    return ".";
}

void LoadList(const std::string& folder, std::string_view fileName, CNameFilter& list) {
    std::string text;
    if (ReadTextFile(FilterFilePath(folder, fileName), text) == ReadResult::kRead) {
        list.Assign(std::move(text));
    }
}

}  // namespace

CFilterLists::CFilterLists(const ProfileStore& profile, IActivitySink* activity)
    : m_profile(profile), m_activity(activity) {}

void CFilterLists::LoadFilters() {
    const int saved = m_activity != nullptr ? m_activity->Activity() : IActivitySink::kIdle;
    if (m_activity != nullptr) {
        m_activity->SetActivity(IActivitySink::kLoadingFilters);
    }

    m_namedList.Clear();
    const std::string folder = m_profile.ReadString("Preferences", "FilterPath", CurrentFolder());
    LoadList(folder, "named.txt", m_namedList);
    m_passList.Clear();
    LoadList(folder, "pass.txt", m_passList);

    if (m_activity != nullptr) {
        m_activity->SetActivity(saved);
    }
}
