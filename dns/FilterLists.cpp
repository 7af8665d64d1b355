#include "dns/FilterLists.h"

#include <cstdio>
#include <exception>
#include <string>

#include "dns/ActivitySink.h"
#include "dns/FilterFile.h"
#include "settings/ProfileStore.h"
#include "settings/TextFile.h"

namespace {

// Fills `list` from one filter file, read literally, and the names that lists gave its side.
void LoadList(const std::string& folder, std::string_view fileName, std::string_view names,
              CNameFilter& list) {
    const std::string path = FilterFilePath(folder, fileName);
    std::string text;
    try {
        ReadTextFile(path, text);
    } catch (const std::exception&) {
        // Out of memory (bad_alloc, or length_error for a file longer than a string can
        // hold): the file adds nothing, as one that cannot be read.
        text = std::string();
        std::fprintf(stderr, "Nimbrel: %s is too large to load\n", path.c_str());
    }
    try {
        list.Assign(std::move(text), names);
    } catch (const std::exception&) {
        list.Clear();
        std::fprintf(stderr, "Nimbrel: no room to load %s and its side of the lists\n",
                     path.c_str());
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
    m_passList.Clear();
    m_listFiles.clear();
    const std::string folder = FilterFolder(m_profile);
    ListNames names;
    m_listFiles = ReadListFiles(folder, names);
    LoadList(folder, kNamedListFile, names.block, m_namedList);
    names.block = std::string();
    LoadList(folder, kPassListFile, names.allow, m_passList);
    std::fprintf(stderr, "Nimbrel: %s\n", ListLoadSummary(m_listFiles).c_str());

    if (m_activity != nullptr) {
        m_activity->SetActivity(saved);
    }
}
