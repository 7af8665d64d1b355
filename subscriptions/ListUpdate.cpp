#include "subscriptions/ListUpdate.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <utility>

#include "settings/FileReplacement.h"
#include "subscriptions/FetchVerdict.h"
#include "subscriptions/ListPaths.h"
#include "subscriptions/ListState.h"

namespace {

void ReportFailure(const std::string& url, const std::string& reason) {
    std::fprintf(stderr, "Nimbrel: list %s not updated: %s\n", url.c_str(), reason.c_str());
}

}  // namespace

CListUpdate::CListUpdate(CReactor& reactor, std::string filterFolder, OnFinished onFinished)
    : m_folder(std::move(filterFolder)),
      m_onFinished(std::move(onFinished)),
      m_transfers(reactor) {}

void CListUpdate::Add(const ListSubscription& list) {
    if (!m_taken.emplace(list.side, list.url).second) {
        return;
    }
    FetchRequest request{list.url, "", ""};
    // The validators count only for the copy they came with.
    if (::access(ListFilePath(m_folder, list).c_str(), F_OK) == 0) {
        const ListState state = ReadListState(ListStatePath(m_folder, list));
        request.etag = state.etag;
        request.lastModified = state.lastModified;
    }
    if (!m_transfers.Start(request,
                           [this, list](const FetchResult& result) { OnFetched(list, result); })) {
        FetchResult notStarted;
        notStarted.failure = "the download could not be started";
        OnFetched(list, notStarted);
    }
}

void CListUpdate::OnFetched(const ListSubscription& list, const FetchResult& result) {
    const std::string statePath = ListStatePath(m_folder, list);
    ListState state = ReadListState(statePath);
    state.lastAttempt = static_cast<std::int64_t>(std::time(nullptr));
    FetchVerdict verdict = JudgeFetch(result, list.side);
    if (verdict.outcome == FetchOutcome::kReplace) {
        if (ReplaceFile(ListFilePath(m_folder, list), result.body)) {
            m_changed = true;
            state.etag = result.etag;
            state.lastModified = result.lastModified;
        } else {
            verdict = {FetchOutcome::kFailed, "cannot write " + ListFilePath(m_folder, list)};
        }
    } else if (verdict.outcome == FetchOutcome::kUnchanged) {
        // A 304 may bring fresher validators; without them the kept ones stay right.
        state.etag = result.etag.empty() ? state.etag : result.etag;
        state.lastModified = result.lastModified.empty() ? state.lastModified : result.lastModified;
    }
    if (verdict.outcome == FetchOutcome::kFailed) {
        state.lastError = verdict.reason;
        ReportFailure(list.url, verdict.reason);
    } else {
        state.lastGood = state.lastAttempt;
        state.lastError.clear();
    }
    WriteListState(statePath, state);
    if (IsFinished() && m_onFinished) {
        m_onFinished(std::exchange(m_changed, false));
    }
}
