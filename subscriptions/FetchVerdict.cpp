#include "subscriptions/FetchVerdict.h"

#include "subscriptions/FetchResult.h"
#include "subscriptions/ListBody.h"

namespace {

constexpr long kStatusOk = 200;
constexpr long kStatusNotModified = 304;

}  // namespace

FetchVerdict JudgeFetch(const FetchResult& result, ListSide side) {
    if (!result.failure.empty()) {
        return {FetchOutcome::kFailed, result.failure};
    }
    if (result.status == kStatusNotModified) {
        return {FetchOutcome::kUnchanged, ""};
    }
    if (result.status != kStatusOk) {
        return {FetchOutcome::kFailed, "HTTP status " + std::to_string(result.status)};
    }
    if (!GivesAnyName(result.body, side)) {
        return {FetchOutcome::kFailed, "no name in the body (not a list?)"};
    }
    return {FetchOutcome::kReplace, ""};
}
