#include "subscriptions/CurlTransfers.h"

#include <sys/epoll.h>

#include <algorithm>
#include <climits>
#include <mutex>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUserAgent = "Nimbrel/" NQ_VERSION;
constexpr const char* kProtocols = "http,https";

// curl's global set-up, once, before the first transfer.
void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

struct CCurlTransfers::Transfer {
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    OnDone onDone;
    FetchResult result;
    bool tooLarge = false;
    char error[CURL_ERROR_SIZE] = {};

    ~Transfer() {
        curl_easy_cleanup(easy);
        curl_slist_free_all(headers);
    }

    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
        auto& transfer = *static_cast<Transfer*>(self);
        const std::size_t bytes = size * count;
        if (transfer.result.body.size() + bytes > kMaxListBytes) {
            transfer.tooLarge = true;
            return 0;  // ends the transfer with a write error
        }
        transfer.result.body.append(data, bytes);
        return bytes;
    }

    // The validators of the last response only: each redirect starts a new one.
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
        auto& result = static_cast<Transfer*>(self)->result;
        const std::string_view line(data, size * count);
        if (line.starts_with("HTTP/")) {
            result.etag.clear();
            result.lastModified.clear();
        } else if (const std::size_t colon = line.find(':'); colon != std::string_view::npos) {
            const std::string_view name = line.substr(0, colon);
            const std::string_view value = Trimmed(line.substr(colon + 1));
            if (EqualsNoCase(name, "ETag")) {
                result.etag = value;
            } else if (EqualsNoCase(name, "Last-Modified")) {
                result.lastModified = value;
            }
        }
        return size * count;
    }

    bool Configure(const FetchRequest& request) {
        if (!request.etag.empty()) {
            headers = curl_slist_append(headers, ("If-None-Match: " + request.etag).c_str());
        }
        if (!request.lastModified.empty()) {
            headers =
                curl_slist_append(headers, ("If-Modified-Since: " + request.lastModified).c_str());
        }
        return curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str()) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, kProtocols) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, kProtocols) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_TIMEOUT, kTimeoutSeconds) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "") == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE,
                                static_cast<curl_off_t>(kMaxListBytes)) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, error) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::OnBody) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_WRITEDATA, this) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader) == CURLE_OK &&
               curl_easy_setopt(easy, CURLOPT_HEADERDATA, this) == CURLE_OK;
    }

    void Conclude(CURLcode code) {
        if (code == CURLE_OK) {
            curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &result.status);
            return;
        }
        result.body.clear();
        if (tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
            result.failure = "over the size limit of 64 MiB";
        } else {
            result.failure = error[0] != '\0' ? error : curl_easy_strerror(code);
        }
    }
};

CCurlTransfers::CCurlTransfers(CReactor& reactor) : m_reactor(reactor) {
    InitCurlOnce();
    m_multi = curl_multi_init();
    if (m_multi != nullptr) {
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &CCurlTransfers::OnSocket);
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &CCurlTransfers::OnTimer);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    }
}

CCurlTransfers::~CCurlTransfers() {
    m_reactor.StopTimer(m_timer);
    for (const curl_socket_t fd : m_watched) {
        m_reactor.Unwatch(fd);
    }
    if (m_multi == nullptr) {
        return;
    }
    // From here on curl closes its sockets without telling anyone.
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, nullptr);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, nullptr);
    for (const auto& [easy, transfer] : m_transfers) {
        curl_multi_remove_handle(m_multi, easy);
    }
    m_transfers.clear();
    curl_multi_cleanup(m_multi);
}

bool CCurlTransfers::Start(const FetchRequest& request, OnDone onDone) {
    if (m_multi == nullptr) {
        return false;
    }
    auto transfer = std::make_unique<Transfer>();
    transfer->easy = curl_easy_init();
    transfer->onDone = std::move(onDone);
    if (transfer->easy == nullptr || !transfer->Configure(request) ||
        curl_multi_add_handle(m_multi, transfer->easy) != CURLM_OK) {
        return false;
    }
    CURL* easy = transfer->easy;
    m_transfers.emplace(easy, std::move(transfer));
    return true;
}

int CCurlTransfers::OnSocket(CURL*, curl_socket_t fd, int what, void* self, void*) {
    auto& transfers = *static_cast<CCurlTransfers*>(self);
    transfers.UnwatchSocket(fd);
    if (what != CURL_POLL_REMOVE) {
        transfers.WatchSocket(fd, what);
    }
    return 0;
}

int CCurlTransfers::OnTimer(CURLM*, long timeoutMs, void* self) {
    static_cast<CCurlTransfers*>(self)->SetTimer(timeoutMs);
    return 0;
}

void CCurlTransfers::WatchSocket(curl_socket_t fd, int what) {
    std::uint32_t events = 0;
    if (what == CURL_POLL_IN || what == CURL_POLL_INOUT) {
        events |= EPOLLIN;
    }
    if (what == CURL_POLL_OUT || what == CURL_POLL_INOUT) {
        events |= EPOLLOUT;
    }
    if (m_reactor.WatchReadiness(fd, events, [this, fd](std::uint32_t readiness) {
            int bits = 0;
            bits |= (readiness & EPOLLIN) != 0 ? CURL_CSELECT_IN : 0;
            bits |= (readiness & EPOLLOUT) != 0 ? CURL_CSELECT_OUT : 0;
            bits |= (readiness & (EPOLLERR | EPOLLHUP)) != 0 ? CURL_CSELECT_ERR : 0;
            Act(fd, bits);
        })) {
        m_watched.insert(fd);
    }
}

void CCurlTransfers::UnwatchSocket(curl_socket_t fd) {
    if (m_watched.erase(fd) != 0) {
        m_reactor.Unwatch(fd);
    }
}

void CCurlTransfers::SetTimer(long timeoutMs) {
    m_reactor.StopTimer(m_timer);
    m_timer = 0;
    if (timeoutMs >= 0) {
        // curl may not be called back from inside its own callback: even "at once" waits
        // for the loop.
        m_timer =
            m_reactor.StartTimer(static_cast<int>(std::min<long>(timeoutMs, INT_MAX)), [this] {
                m_timer = 0;
                Act(CURL_SOCKET_TIMEOUT, 0);
            });
    }
}

void CCurlTransfers::Act(curl_socket_t fd, int events) {
    int running = 0;
    curl_multi_socket_action(m_multi, fd, events, &running);
    FinishDone();
}

void CCurlTransfers::FinishDone() {
    std::vector<std::unique_ptr<Transfer>> done;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg != CURLMSG_DONE) {
            continue;
        }
        const auto found = m_transfers.find(message->easy_handle);
        if (found == m_transfers.end()) {
            continue;
        }
        found->second->Conclude(message->data.result);
        curl_multi_remove_handle(m_multi, message->easy_handle);
        done.push_back(std::move(found->second));
        m_transfers.erase(found);
    }
    // The callbacks run last: one may start new transfers.
    m_undelivered = done.size();
    for (const auto& transfer : done) {
        --m_undelivered;
        transfer->onDone(transfer->result);
    }
}
