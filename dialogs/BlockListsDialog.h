#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "subscriptions/ListSubscription.h"

class CFilterLists;
class IDesktop;
class ProfileStore;

// The "Block Lists" dialog: the subscribed lists (section "Lists") with what each gave at
// the last load and the outcome of its downloads, Add, Remove and Update Now, the catalogue
// of well-known lists to tick, and the other list files of the `block` and `allow` folders
// with their counts. A member of Nimbrel's main window; every opening starts afresh from
// the profile, and only OK writes it, in one write, then has the lists it added fetched.
class CBlockListsDialog {
public:
    static constexpr int kTemplateId = 139;
    static constexpr std::size_t kMaxListsPerSide = 16;

    // Asks for the download of these lists now.
    using StartUpdate = std::function<void(const std::vector<ListSubscription>&)>;

    // A subscribed list as the dialog shows it.
    struct Row {
        ListSubscription list;
        std::string names;    // "84,432" from the last load; "" before its first
        std::string updated;  // local time of the last good download; "" before one
        std::string error;    // why the last try failed; "" when it did not
        bool operator==(const Row&) const = default;
    };

    // None of the references is owned; all must outlive the dialog.
    CBlockListsDialog(const ProfileStore& profile, const CFilterLists& filters,
                      StartUpdate startUpdate);

    // Runs the dialog on `desktop`: IDOK after OK, IDCANCEL otherwise.
    int DoModal(IDesktop& desktop);

    void OnInitDialog();
    std::vector<Row> Rows() const;
    // The list files that are no subscription, e.g. "block/mine.txt: 12 names (3 lines
    // skipped)", as the last load found them.
    std::vector<std::string> OtherFiles() const;

    // Subscribes to `list`; "" when done, else why not.
    std::string Add(const ListSubscription& list);
    void Remove(std::size_t row);
    bool IsTicked(std::size_t catalogueIndex) const;
    void SetTicked(std::size_t catalogueIndex, bool ticked);
    // Downloads the lists the profile holds now, as "Update Lists" does.
    void OnUpdateNow() const;
    // Stores the lists in one write and starts the download of those added. False, with
    // nothing stored, when the profile cannot be written.
    bool OnOK() const;

private:
    std::string FilePath(const ListSubscription& list) const;

    const ProfileStore& m_profile;
    const CFilterLists& m_filters;
    StartUpdate m_startUpdate;
    std::vector<ListSubscription> m_stored;  // as the profile held them at the opening
    std::vector<ListSubscription> m_lists;   // as shown
};
