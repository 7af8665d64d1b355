#include "dns/FilterLists.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <exception>
#include <string>

#include "dns/ActivitySink.h"
#include "dns/FilterFile.h"
#include "settings/ProfileStore.h"
#include "settings/TextFile.h"

namespace {

void LoadList(const std::string& folder, std::string_view fileName, CNameFilter& list) {
    const std::string path = FilterFilePath(folder, fileName);
    std::string text;
    try {
        if (ReadTextFile(path, text) == ReadResult::kRead) {
            list.Assign(std::move(text));
        }
    } catch (const std::exception&) {
        // Out of memory (bad_alloc, or length_error for a file longer than a string can
        // hold): the list stays empty, as for a file that cannot be read.
        list.Clear();
        std::fprintf(stderr, "Nimbrel: %s is too large to load\n", path.c_str());
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
    const std::string folder = FilterFolder(m_profile);
    LoadList(folder, kNamedListFile, m_namedList);
    m_passList.Clear();
    LoadList(folder, kPassListFile, m_passList);

    if (m_activity != nullptr) {
        m_activity->SetActivity(saved);
    }
}
