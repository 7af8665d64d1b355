#include "dialogs/BlockListsDialog.h"

#include <algorithm>
#include <ctime>
#include <span>

#include "base/Thousands.h"
#include "dialogs/ListCatalogue.h"
#include "dns/FilterFile.h"
#include "dns/FilterLists.h"
#include "settings/ProfileKeys.h"
#include "settings/ProfileStore.h"
#include "shell/Desktop.h"
#include "subscriptions/ListPaths.h"
#include "subscriptions/ListState.h"

namespace {

// "1 name", "84,432 names".
std::string Counted(std::size_t count, const char* noun) {
    return WithThousands(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string LocalTime(std::int64_t seconds) {
    if (seconds <= 0) {
        return "";
    }
    const auto time = static_cast<std::time_t>(seconds);
    std::tm local{};
    char text[32];
    if (::localtime_r(&time, &local) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local) == 0) {
        return "";
    }
    return text;
}

std::size_t CountOnSide(const std::vector<ListSubscription>& lists, ListSide side) {
    return static_cast<std::size_t>(std::count_if(
        lists.begin(), lists.end(), [side](const ListSubscription& l) { return l.side == side; }));
}

// The keys of one side with their new values: the lists of that side in order, from the
// first key on, and "" for the keys left over. A key that holds something other than a list
// URL keeps it (and its place), so nothing typed by hand is lost. Only keys whose value
// changes are written.
void AddSideEntries(const ProfileStore& profile, ListSide side,
                    std::span<const std::string_view> keys,
                    const std::vector<ListSubscription>& lists,
                    std::vector<ProfileEntry>& entries) {
    auto next = lists.begin();
    const auto nextOnSide = [&] {
        while (next != lists.end() && next->side != side) {
            ++next;
        }
        return next != lists.end() ? (next++)->url : std::string();
    };
    for (const std::string_view key : keys) {
        const std::string stored = profile.ReadString(profile::kLists, key, "");
        if (!stored.empty() && !IsListUrl(stored)) {
            continue;
        }
        std::string value = nextOnSide();
        if (value != stored) {
            entries.push_back({profile::kLists, key, std::move(value)});
        }
    }
}

}  // namespace

CBlockListsDialog::CBlockListsDialog(const ProfileStore& profile, const CFilterLists& filters,
                                     StartUpdate startUpdate)
    : m_profile(profile), m_filters(filters), m_startUpdate(std::move(startUpdate)) {}

int CBlockListsDialog::DoModal(IDesktop& desktop) {
    return desktop.RunDialog(*this);
}

void CBlockListsDialog::OnInitDialog() {
    m_stored = ReadSubscriptions(m_profile);
    m_lists = m_stored;
}

std::string CBlockListsDialog::FilePath(const ListSubscription& list) const {
    return ListFilePath(FilterFolder(m_profile), list);
}

std::vector<CBlockListsDialog::Row> CBlockListsDialog::Rows() const {
    const std::string folder = FilterFolder(m_profile);
    std::vector<Row> rows;
    for (const ListSubscription& list : m_lists) {
        const ListState state = ReadListState(ListStatePath(folder, list));
        Row row{list, "", LocalTime(state.lastGood), state.lastError};
        const std::string path = ListFilePath(folder, list);
        for (const ListFileCounts& file : m_filters.ListFiles()) {
            if (file.path == path && file.read) {
                row.names = WithThousands(file.counts.blockNames + file.counts.allowNames);
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> CBlockListsDialog::OtherFiles() const {
    std::vector<std::string> paths;
    for (const ListSubscription& list : m_lists) {
        paths.push_back(FilePath(list));
    }
    std::vector<std::string> files;
    for (const ListFileCounts& file : m_filters.ListFiles()) {
        if (std::find(paths.begin(), paths.end(), file.path) != paths.end()) {
            continue;
        }
        const std::size_t slash = file.path.rfind('/');
        std::string text = std::string(SideFolder(file.folder)) + "/" + file.path.substr(slash + 1);
        if (!file.read) {
            files.push_back(text + ": cannot be read");
            continue;
        }
        text += ": " + Counted(file.counts.blockNames + file.counts.allowNames, "name");
        if (file.counts.skippedLines > 0) {
            text += " (" + Counted(file.counts.skippedLines, "line") + " skipped)";
        }
        files.push_back(std::move(text));
    }
    return files;
}

std::string CBlockListsDialog::Add(const ListSubscription& list) {
    if (!IsListUrl(list.url)) {
        return "Not an http:// or https:// URL.";
    }
    if (std::find(m_lists.begin(), m_lists.end(), list) != m_lists.end()) {
        return "This list is subscribed already.";
    }
    if (CountOnSide(m_lists, list.side) >= kMaxListsPerSide) {
        return "At most 16 lists on each side.";
    }
    m_lists.push_back(list);
    return "";
}

void CBlockListsDialog::Remove(std::size_t row) {
    if (row < m_lists.size()) {
        m_lists.erase(m_lists.begin() + static_cast<std::ptrdiff_t>(row));
    }
}

bool CBlockListsDialog::IsTicked(std::size_t catalogueIndex) const {
    const std::span<const CatalogueList> catalogue = ListCatalogue();
    if (catalogueIndex >= catalogue.size()) {
        return false;
    }
    const CatalogueList& entry = catalogue[catalogueIndex];
    const ListSubscription list{entry.side, entry.url};
    return std::find(m_lists.begin(), m_lists.end(), list) != m_lists.end();
}

void CBlockListsDialog::SetTicked(std::size_t catalogueIndex, bool ticked) {
    const std::span<const CatalogueList> catalogue = ListCatalogue();
    if (catalogueIndex >= catalogue.size() || IsTicked(catalogueIndex) == ticked) {
        return;
    }
    const CatalogueList& entry = catalogue[catalogueIndex];
    const ListSubscription list{entry.side, entry.url};
    if (ticked) {
        Add(list);
    } else {
        m_lists.erase(std::find(m_lists.begin(), m_lists.end(), list));
    }
}

void CBlockListsDialog::OnUpdateNow() const {
    m_startUpdate(ReadSubscriptions(m_profile));
}

bool CBlockListsDialog::OnOK() const {
    std::vector<ProfileEntry> entries;
    AddSideEntries(m_profile, ListSide::kBlock, profile::kBlockListKeys, m_lists, entries);
    AddSideEntries(m_profile, ListSide::kAllow, profile::kAllowListKeys, m_lists, entries);
    if (!entries.empty() && !m_profile.WriteStrings(entries)) {
        return false;
    }
    std::vector<ListSubscription> added;
    for (const ListSubscription& list : m_lists) {
        if (std::find(m_stored.begin(), m_stored.end(), list) == m_stored.end()) {
            added.push_back(list);
        }
    }
    if (!added.empty()) {
        m_startUpdate(added);
    }
    return true;
}
