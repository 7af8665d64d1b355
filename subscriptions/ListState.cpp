#include "subscriptions/ListState.h"

#include <charconv>

#include "settings/FileReplacement.h"
#include "settings/TextFile.h"

namespace {

constexpr std::string_view kETag = "ETag";
constexpr std::string_view kLastModified = "Last-Modified";
constexpr std::string_view kAttempted = "Attempted";
constexpr std::string_view kUpdated = "Updated";
constexpr std::string_view kError = "Error";

// A value on one line: line breaks would start keys of their own.
void AddLine(std::string& text, std::string_view key, std::string_view value) {
    if (value.empty()) {
        return;
    }
    text.append(key).append(": ");
    for (const char c : value) {
        text += c == '\n' || c == '\r' ? ' ' : c;
    }
    text += '\n';
}

std::int64_t SecondsOf(std::string_view value) {
    std::int64_t seconds = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    return error == std::errc() && end == value.data() + value.size() && seconds > 0 ? seconds : 0;
}

}  // namespace

std::string FormatListState(const ListState& state) {
    std::string text;
    AddLine(text, kETag, state.etag);
    AddLine(text, kLastModified, state.lastModified);
    AddLine(text, kAttempted, state.lastAttempt > 0 ? std::to_string(state.lastAttempt) : "");
    AddLine(text, kUpdated, state.lastGood > 0 ? std::to_string(state.lastGood) : "");
    AddLine(text, kError, state.lastError);
    return text;
}

ListState ParseListState(std::string_view text) {
    ListState state;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t colon = line.find(": ");
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string_view key = line.substr(0, colon);
        const std::string_view value = line.substr(colon + 2);
        if (key == kETag) {
            state.etag = value;
        } else if (key == kLastModified) {
            state.lastModified = value;
        } else if (key == kAttempted) {
            state.lastAttempt = SecondsOf(value);
        } else if (key == kUpdated) {
            state.lastGood = SecondsOf(value);
        } else if (key == kError) {
            state.lastError = value;
        }
    }
    return state;
}

ListState ReadListState(const std::string& path) {
    std::string text;
    return ReadTextFile(path, text) == ReadResult::kRead ? ParseListState(text) : ListState{};
}

bool WriteListState(const std::string& path, const ListState& state) {
    return ReplaceFile(path, FormatListState(state));
}
