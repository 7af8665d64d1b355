#include "dialogs/ActivityDialog.h"

#include <algorithm>
#include <string>

#include "dns/FilterFile.h"
#include "dns/FilterFileLine.h"
#include "dns/FilterLists.h"
#include "shell/Desktop.h"

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    return lower;
}

}  // namespace

CActivityDialog::CActivityDialog(const CQueryLog& log, CFilterLists& filters,
                                 const ProfileStore& profile, IDesktop& desktop)
    : m_log(log), m_filters(filters), m_profile(profile), m_desktop(desktop) {}

CActivityDialog::~CActivityDialog() {
    m_desktop.CloseActivity();
}

void CActivityDialog::Show() {
    m_desktop.ShowActivity(*this);
}

bool CActivityDialog::Allow(std::string_view name) {
    return AddName(name, kPassListFile);
}

bool CActivityDialog::Block(std::string_view name) {
    if (!AddName(name, kNamedListFile)) {
        return false;
    }
    if (m_filters.IsPassed(LowerCase(name))) {
        m_desktop.ShowMessage(kCaption, std::string(name) + " is also matched by pass.txt, " +
                                            "which wins: it is still relayed.");
    }
    return true;
}

bool CActivityDialog::AddName(std::string_view name, std::string_view listFile) {
    if (!dns::IsListableName(name)) {
        m_desktop.ShowMessage(kCaption, "This name cannot be a line of " + std::string(listFile) +
                                            ": it is empty or holds spaces or control characters.");
        return false;
    }
    const std::string path = FilterFilePath(FilterFolder(m_profile), listFile);
    if (dns::AddFilterLine(path, LowerCase(name)) == dns::AddLineResult::kFailed) {
        m_desktop.ShowMessage(kCaption, "Cannot write " + path + "; it is left as it was.");
        return false;
    }
    m_filters.LoadFilters();
    return true;
}

bool ListsQuery(const RecentQuery& query, std::string_view filter, bool blockedOnly) {
    if (blockedOnly && query.outcome != ActivityOutcome::kBlocked) {
        return false;
    }
    const std::string_view name = query.Name();
    return filter.empty() ||
           std::search(name.begin(), name.end(), filter.begin(), filter.end(),
                       [](char a, char b) { return Lower(a) == Lower(b); }) != name.end();
}
