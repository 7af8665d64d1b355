#pragma once

#include <memory>
#include <optional>
#include <string>

#include "DnsQueryBuilder.h"
#include "RecordingActivity.h"
#include "TempProfileFolder.h"
#include "dns/DnsSocket.h"
#include "dns/FilterLists.h"
#include "dns/UpstreamRelay.h"
#include "net/AsyncSocket.h"
#include "net/Reactor.h"

namespace dnstest {

// A CDnsSocket on 127.0.0.1 (any free port) with its filter lists, relay and profile in a
// temporary folder, driven by a reactor on the test's thread, and a client socket that
// talks to it.
class CDnsServerHarness {
public:
    static constexpr int kReplyTimeoutMs = 150;
    static constexpr std::uint16_t kSentinelId = 0xC0DE;
    static constexpr int kGenerousPatienceMs = 5000;
    // The filter files the harness starts with; the sentinel query needs ads.example.
    static constexpr const char* kNamedList = "ads.example\nboth.example\nin-addr.arpa\n";
    static constexpr const char* kPassList = "both.example\npassed.example\n7.7.7.7.in-addr.arpa\n";

    CDnsServerHarness();

    const CTempProfileFolder& Folder() const { return m_folder; }
    CRecordingActivity& Activity() { return m_activity; }

    // Loads the lists and the upstream table (relayed to `upstreamPort`) and opens the
    // server. False when it could not be opened.
    bool Start(unsigned upstreamPort = 0);

    void Send(const Bytes& datagram);
    // Runs the loop until a reply reaches the client; nothing after `patienceMs`.
    std::optional<Bytes> NextReply(int patienceMs = kGenerousPatienceMs);
    // Sends `datagram` and returns its reply.
    std::optional<Bytes> Exchange(const Bytes& datagram);
    // A query for a listed name with kSentinelId: queued behind other datagrams, its
    // answer shows that those before it have been handled.
    static Bytes SentinelQuery();
    // Sends `datagram` and then the sentinel query; true when the sentinel's answer is the
    // first reply, that is when `datagram` got none and did not stop the server.
    bool DroppedAndServerStillAnswers(const Bytes& datagram);

private:
    CReactor m_reactor;
    CTempProfileFolder m_folder;
    CRecordingActivity m_activity;
    std::unique_ptr<CFilterLists> m_filters;
    std::unique_ptr<CUpstreamRelay> m_relay;
    std::unique_ptr<CDnsSocket> m_server;
    CAsyncSocket m_client;
};

}  // namespace dnstest
