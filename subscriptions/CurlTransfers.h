#pragma once

#include <curl/curl.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "net/Reactor.h"
#include "subscriptions/FetchResult.h"

// What to download, with the validators of the copy already kept (empty: none), which
// make the request conditional.
struct FetchRequest {
    std::string url;
    std::string etag;
    std::string lastModified;
};

// Downloads over HTTP and HTTPS through libcurl's multi interface, driven by the reactor of
// the thread: curl's sockets are watched by the reactor and its time-outs are reactor
// timers, so the loop never waits for a download. Each transfer: at most kTimeoutSeconds
// in all, at most kMaxRedirects redirects (to http or https only), certificates verified
// against the system's store, any compression curl can decode, at most kMaxListBytes.
//
// Destroying the object abandons every transfer still running, at once: nothing waits,
// not even for a name lookup (curl leaves its resolver thread to end by itself).
class CCurlTransfers {
public:
    static constexpr long kTimeoutSeconds = 60;
    static constexpr long kMaxRedirects = 5;

    using OnDone = std::function<void(const FetchResult&)>;

    // The reactor must outlive this object.
    explicit CCurlTransfers(CReactor& reactor);
    ~CCurlTransfers();

    CCurlTransfers(const CCurlTransfers&) = delete;
    CCurlTransfers& operator=(const CCurlTransfers&) = delete;

    // Starts a download; `onDone` runs from dispatch when it ends, however it ends (it may
    // start downloads, but must not destroy this object). False (and `onDone` never runs)
    // when curl cannot start it.
    bool Start(const FetchRequest& request, OnDone onDone);
    // Downloads that have not ended, or whose `onDone` has not run yet.
    std::size_t Running() const { return m_transfers.size() + m_undelivered; }

private:
    struct Transfer;

    static int OnSocket(CURL* easy, curl_socket_t fd, int what, void* self, void* socketData);
    static int OnTimer(CURLM* multi, long timeoutMs, void* self);
    void WatchSocket(curl_socket_t fd, int what);
    void UnwatchSocket(curl_socket_t fd);
    void SetTimer(long timeoutMs);
    // Tells curl what happened on `fd` (CURL_SOCKET_TIMEOUT: time passed), then hands over
    // the transfers that ended.
    void Act(curl_socket_t fd, int events);
    void FinishDone();

    CReactor& m_reactor;
    CURLM* m_multi;
    CReactor::TimerId m_timer = 0;
    std::set<curl_socket_t> m_watched;
    std::map<CURL*, std::unique_ptr<Transfer>> m_transfers;
    std::size_t m_undelivered = 0;  // ended transfers whose `onDone` is still to run
};
