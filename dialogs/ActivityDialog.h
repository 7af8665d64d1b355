#pragma once

#include <string>
#include <string_view>

#include "activity/RecentQueries.h"

class CFilterLists;
class CQueryLog;
class IDesktop;
class ProfileStore;

// The "Activity" window's logic, without a toolkit: the query log it shows, which recent
// queries its table lists, and the Allow and Block buttons, which add a name to pass.txt or
// named.txt and load the lists again, so the next query for it takes its new road at once.
//
// Owned by the main window. The desktop shows it in a window of its own, not modal, one at a
// time; deleting the dialog closes that window.
class CActivityDialog {
public:
    static constexpr const char* kCaption = "Nimbrel";

    // None of the references is owned; all must outlive the dialog.
    CActivityDialog(const CQueryLog& log, CFilterLists& filters, const ProfileStore& profile,
                    IDesktop& desktop);
    ~CActivityDialog();

    CActivityDialog(const CActivityDialog&) = delete;
    CActivityDialog& operator=(const CActivityDialog&) = delete;

    // Opens the window, or brings the open one forward.
    void Show();

    const CQueryLog& Log() const { return m_log; }

    // Adds `name`, lower-cased, as a line of pass.txt (Allow) or named.txt (Block) of the
    // filter folder, then reloads both lists. False, after a message box that says why, when
    // the name cannot be a line of a list or the file cannot be written. A blocked name that
    // pass.txt still lets through is added, and the message box says so.
    bool Allow(std::string_view name);
    bool Block(std::string_view name);

private:
    bool AddName(std::string_view name, std::string_view listFile);

    const CQueryLog& m_log;
    CFilterLists& m_filters;
    const ProfileStore& m_profile;
    IDesktop& m_desktop;
};

// Whether the table lists `query`: its name holds `filter` (in any letter case; an empty
// filter is held by every name), and it was blocked when only blocked queries are listed.
bool ListsQuery(const RecentQuery& query, std::string_view filter, bool blockedOnly);
