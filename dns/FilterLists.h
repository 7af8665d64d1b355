#pragma once

#include <string_view>
#include <vector>

#include "dns/ListFiles.h"
#include "dns/NameFilter.h"

class IActivitySink;
class ProfileStore;

// The two filter lists of the DNS engine: names answered locally (named.txt and the lists in
// the `block` folder) and names always relayed (pass.txt and the lists in `allow`). Owned by
// the main window; lives as long as it does.
class CFilterLists {
public:
    // Neither pointer is owned; `activity` may be null (then no activity is reported).
    CFilterLists(const ProfileStore& profile, IActivitySink* activity);

    // Reloads both sides from the folder in Preferences/FilterPath (default: the current
    // directory). A missing or unreadable named.txt or pass.txt adds nothing, silently; a list
    // that cannot be read adds nothing and writes one line on standard error. Every load
    // writes one line on standard error with what the lists gave. Shows activity 4 while
    // loading and restores the state it found.
    void LoadFilters();

    bool IsNamed(std::string_view name) const { return m_namedList.Matches(name); }
    bool IsPassed(std::string_view name) const { return m_passList.Matches(name); }

    const CNameFilter& NamedList() const { return m_namedList; }
    const CNameFilter& PassList() const { return m_passList; }

    // Each list file of the last load with what it gave, `block` files first.
    const std::vector<ListFileCounts>& ListFiles() const { return m_listFiles; }

private:
    const ProfileStore& m_profile;
    IActivitySink* m_activity;
    CNameFilter m_namedList;
    CNameFilter m_passList;
    std::vector<ListFileCounts> m_listFiles;
};
