#pragma once

#include <string_view>

#include "dns/NameFilter.h"

class IActivitySink;
class ProfileStore;

// The two filter lists of the DNS engine: names answered locally (named.txt) and names
// always relayed (pass.txt). Owned by the main window; lives as long as it does.
class CFilterLists {
public:
    // Neither pointer is owned; `activity` may be null (then no activity is reported).
    CFilterLists(const ProfileStore& profile, IActivitySink* activity);

    // Reloads both lists from the folder in Preferences/FilterPath (default: the current
    // directory). A file that is missing or unreadable leaves its list empty, silently.
    // Shows activity 4 while loading and restores the state it found.
    void LoadFilters();

    bool IsNamed(std::string_view name) const { return m_namedList.Matches(name); }
    bool IsPassed(std::string_view name) const { return m_passList.Matches(name); }

    const CNameFilter& NamedList() const { return m_namedList; }
    const CNameFilter& PassList() const { return m_passList; }

private:
    const ProfileStore& m_profile;
    IActivitySink* m_activity;
    CNameFilter m_namedList;
    CNameFilter m_passList;
};
